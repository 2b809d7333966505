// The program's style: a menu bar made under it reads no image file, so no image format
// plugin is loaded, and the overflow button still has its icon.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolButton>

#include "app/program_style.h"

namespace {

int imagePluginsLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(maps.readAll().count("/imageformats/"));
}

TEST(ProgramStyle, AMenuBarLoadsNoImagePluginAndKeepsItsOverflowIcon) {
  int argc = 1;
  char name[] = "program_style_test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  ProgramStyle::install();
  ASSERT_EQ(imagePluginsLoaded(), 0);

  QMainWindow window;
  QMenuBar* bar = window.menuBar();
  for (const char* title : {"&Project", "&Edit", "&Quick"}) bar->addMenu(QString::fromLatin1(title))->addAction("x");
  window.show();
  QApplication::processEvents();
  EXPECT_EQ(imagePluginsLoaded(), 0);

  for (auto which : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
    const QIcon icon = QApplication::style()->standardIcon(which);
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(16, 16).toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) ink += qAlpha(image.pixel(x, y)) > 128;
    EXPECT_GT(ink, 10) << "the chevrons are drawn";
  }
  // Other icons still come from the desktop's style.
  EXPECT_FALSE(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).isNull());
}

}  // namespace
