// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_style.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPixmap>

namespace {
constexpr char kCompact[] = "compactCombo";
}

void ProgramStyle::install() { QApplication::setStyle(new ProgramStyle); }

void ProgramStyle::makeCompact(QComboBox* combo) { combo->setProperty(kCompact, true); }

QRect ProgramStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                                   const QWidget* widget) const {
  if (control == CC_ComboBox && (sub == SC_ComboBoxArrow || sub == SC_ComboBoxEditField) && widget &&
      widget->property(kCompact).toBool()) {
    const QRect box = option->rect;
    const QRect arrow(box.right() - kCompactArrowWidth, box.top() + 1, kCompactArrowWidth, box.height() - 2);
    if (sub == SC_ComboBoxArrow) return arrow;
    return QRect(box.left() + 3, box.top() + 1, arrow.left() - box.left() - 3, box.height() - 2);
  }
  return QProxyStyle::subControlRect(control, option, sub, widget);
}

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
  if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
    return QProxyStyle::standardIcon(icon, option, widget);
  // Two chevrons pointing right (or down), two pixels thick, in the text colour. Set pixel by
  // pixel: a painted line would bring in the stroker and its maths for one small icon.
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  const QRgb ink = QApplication::palette().color(QPalette::ButtonText).rgba();
  const bool down = icon == SP_ToolBarVerticalExtensionButton;
  for (const int x0 : {4, 9})
    for (int i = 0; i <= 4; ++i)
      for (int t = 0; t < 2; ++t)
        for (const int y : {4 + i, 12 - i}) {
          const int x = x0 + i + t;
          if (down)
            image.setPixel(y, x, ink);
          else
            image.setPixel(x, y, ink);
        }
  const QPixmap pixmap = QPixmap::fromImage(image);
  return QIcon(pixmap);
}
