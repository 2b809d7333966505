// SPDX-License-Identifier: GPL-3.0-or-later
// The digits-only check of the time fields and the quick-alarm minutes.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/digits_validator.h"
#include "window_fixture.h"

namespace {

TEST(DigitsValidator, TakesUpToItsLengthOfAsciiDigitsOnly) {
  testsupport::startApplication(false);
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

}  // namespace
