// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon, from the pixels of the rendered icon built into the program.
#include "app/program_icon.h"

#include <QImage>
#include <QPixmap>

#include "icon_data.h"

QIcon programIcon() {
  static const QIcon icon = [] {
    // Every size drawn for it, so a window, the notification area and a HiDPI screen each
    // get a picture made for their size rather than a scaled one.
    QIcon made;
    for (const auto& picture : icon_data::kPictures) {
      const QImage image(reinterpret_cast<const uchar*>(picture.pixels), picture.size, picture.size,
                         QImage::Format_ARGB32);
      made.addPixmap(QPixmap::fromImage(image));
    }
    return made;
  }();
  return icon;
}
