#include "app/program_icon.h"

#include <QImage>
#include <QPixmap>

#include "icon_data.h"

QIcon programIcon() {
  static const QIcon icon = [] {
    const QImage image(reinterpret_cast<const uchar*>(icon_data::kPixels), icon_data::kWidth, icon_data::kHeight,
                       QImage::Format_ARGB32);
    return QIcon(QPixmap::fromImage(image));
  }();
  return icon;
}
