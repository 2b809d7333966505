// SPDX-License-Identifier: GPL-3.0-or-later
// The program's style: a menu bar made under it reads no image file, so no image format
// plugin is loaded, and the overflow button still has its icon; the narrow AM/PM box shows
// its text whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyleOptionComboBox>

#include "app/program_style.h"
#include "window_fixture.h"

namespace {

int imagePluginsLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(maps.readAll().count("/imageformats/"));
}

// First in this program: nothing else has read an image yet.
TEST(ProgramStyle, AMenuBarLoadsNoImagePluginAndKeepsItsOverflowIcon) {
  testsupport::startApplication(true);
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

TEST(ProgramStyle, TheAmPmBoxShowsItsTextWhole) {
  testsupport::startApplication(true);
  QComboBox box;
  box.addItems({QStringLiteral("AM"), QStringLiteral("PM")});
  box.setGeometry(0, 0, 41, 21);  // the main window's box
  QStyleOptionComboBox option;
  option.initFrom(&box);
  option.rect = box.rect();
  const auto rect = [&](QStyle::SubControl sub) {
    return box.style()->subControlRect(QStyle::CC_ComboBox, &option, sub, &box);
  };
  const QRect plain = rect(QStyle::SC_ComboBoxEditField);
  ProgramStyle::makeCompact(&box);
  const QRect text = rect(QStyle::SC_ComboBoxEditField);
  const QRect arrow = rect(QStyle::SC_ComboBoxArrow);
  EXPECT_EQ(text.left(), 3);
  EXPECT_LT(text.right(), arrow.left());
  EXPECT_EQ(arrow.right(), box.rect().right() - 1);
  EXPECT_GT(text.width(), plain.width());
  // The label is drawn one pixel in and clipped to the field.
  for (const char* half : {"AM", "PM"})
    EXPECT_GE(text.width() - 1, box.fontMetrics().horizontalAdvance(QString::fromLatin1(half))) << half;
}

}  // namespace
