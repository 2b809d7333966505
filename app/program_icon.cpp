#include "app/program_icon.h"

#include <QImageReader>
#include <QPixmap>

QIcon programIcon() {
  static const QIcon icon = [] {
    QImageReader reader(QStringLiteral(":/alarm/icon.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
  }();
  return icon;
}
