// The helpers of the tightly laid-out fields: the digits-only check and the narrow AM/PM box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QStyleOptionComboBox>

#include "app/compact_widgets.h"

namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "compact_widgets_test";
  static char* argv[] = {name, nullptr};
  static QApplication a(argc, argv);
  return a;
}

TEST(DigitsValidator, TakesUpToItsLengthOfAsciiDigitsOnly) {
  app();
  DigitsValidator two(2, nullptr);
  int pos = 0;
  for (QString ok : {QString(), QStringLiteral("0"), QStringLiteral("07"), QStringLiteral("99")})
    EXPECT_EQ(two.validate(ok, pos), QValidator::Acceptable) << ok.toStdString();
  for (QString bad : {QStringLiteral("123"), QStringLiteral("1a"), QStringLiteral(" 1"), QStringLiteral("-1"),
                      QStringLiteral("1.5"), QString::fromUtf8("\u0661\u0662"), QString::fromUtf8("\uff11")})
    EXPECT_EQ(two.validate(bad, pos), QValidator::Invalid) << bad.toStdString();
  DigitsValidator three(3, nullptr);
  QString minutes = QStringLiteral("120");
  EXPECT_EQ(three.validate(minutes, pos), QValidator::Acceptable);
}

TEST(CompactComboStyle, TheAmPmBoxShowsItsTextWhole) {
  app();
  QComboBox box;
  box.addItems({QStringLiteral("AM"), QStringLiteral("PM")});
  CompactComboStyle::applyTo(&box);
  box.setGeometry(0, 0, 41, 21);  // the main window's box
  QStyleOptionComboBox option;
  option.initFrom(&box);
  option.rect = box.rect();
  const QRect text = box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box);
  const QRect arrow = box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &box);
  EXPECT_EQ(text.left(), 3);
  EXPECT_LT(text.right(), arrow.left());
  EXPECT_EQ(arrow.right(), box.rect().right() - 1);
  // The label is drawn one pixel in and clipped to the field.
  for (const char* half : {"AM", "PM"})
    EXPECT_GE(text.width() - 1, box.fontMetrics().horizontalAdvance(QString::fromLatin1(half))) << half;
}

}  // namespace
