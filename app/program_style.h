// SPDX-License-Identifier: GPL-3.0-or-later
// The program's widget style: the desktop's style, with room for the text of narrow combo
// boxes, and without the standard icons that Qt reads from image files at start-up. One
// style for the whole program, set up once: a second style object for a single widget
// would cost the idle clock about 0.4 MB, a style sheet about 1 MB.
#pragma once

#include <QProxyStyle>

class QComboBox;

class ProgramStyle final : public QProxyStyle {
 public:
  // Sets it as the application's style (call once the QApplication exists).
  static void install();

  // A combo box too narrow for the desktop style's margins (the AM/PM box): a 16-pixel arrow,
  // and the text from 3 pixels off the left edge up to it.
  static void makeCompact(QComboBox* combo);

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override;

  // A menu bar creates the icon of its overflow button ("more menus") when it is made, and
  // Qt reads that icon from a file by asking every installed image format plugin what the
  // file is: all of them stay loaded, 0.2 MB for a button that a window as wide as its
  // menus never shows. The overflow icon is drawn here instead.
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override;

 private:
  static constexpr int kCompactArrowWidth = 16;
};
