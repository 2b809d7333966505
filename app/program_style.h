// The program's widget style: the desktop's style, except for the few standard icons that
// Qt reads from image files at start-up.
#pragma once

#include <QProxyStyle>

class ProgramStyle final : public QProxyStyle {
 public:
  // Sets it as the application's style (call once the QApplication exists).
  static void install();

  // A menu bar creates the icon of its overflow button ("more menus") when it is made, and
  // Qt reads that icon from a file by asking every installed image format plugin what the
  // file is: all of them stay loaded, half a megabyte for a button that a window as wide as
  // its menus never shows. The overflow icon is drawn here instead.
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override;
};
