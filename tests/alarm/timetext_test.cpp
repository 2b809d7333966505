// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm engine's text rules: the clock's display text, cutting AM/PM texts, widening a
// digit, and which seconds a late alarm check still compares.
#include <gtest/gtest.h>

#include "alarm/timetext.h"

using namespace engine;

namespace {
QDateTime at(int h, int m, int s, int day = 8) { return QDateTime(QDate(2026, 12, day), QTime(h, m, s)); }
QStringList texts(const std::vector<QTime>& v) {
  QStringList out;
  for (const QTime& t : v) out << t.toString(QStringLiteral("HH:mm:ss"));
  return out;
}
}  // namespace

TEST(ClockText, TwentyFourHourTextIsWholeAndAmPmLosesItsDesignatorOnOneDigitHours) {
  EXPECT_EQ(clockText(QTime(7, 5, 9), true), "07:05:09");
  EXPECT_EQ(clockText(QTime(19, 5, 9), false), "7:05:09 ");
  EXPECT_EQ(clockText(QTime(12, 5, 9), false), "12:05:09 PM");
  EXPECT_EQ(clockText(QTime(0, 0, 0), false), "12:00:00 AM");
  EXPECT_EQ(alarmText(QTime(19, 5, 9), false), "7:05:09 PM");
}

TEST(AmPmText, CutsOneAndTwoDigitHoursAndPassesOtherLengthsWhole) {
  const AmPmFields one = cutAmPmText(QStringLiteral("7:05:09 PM"));
  EXPECT_EQ(one.hours, "7");
  EXPECT_EQ(one.minutes, "05");
  EXPECT_EQ(one.seconds, "09");
  EXPECT_EQ(one.half, "PM");
  const AmPmFields two = cutAmPmText(QStringLiteral("11:05:09 AM"));
  EXPECT_EQ(two.hours, "11");
  EXPECT_EQ(two.half, "AM");
  EXPECT_EQ(cutAmPmText(QStringLiteral("odd")).hours, "odd");
  EXPECT_TRUE(cutAmPmText(QStringLiteral("odd")).half.isEmpty());
}

TEST(EntryText, OnlyASingleDigitIsWidenedAndOnlyDigitsAndBackspacePass) {
  EXPECT_EQ(useTwoNumbersText("7"), "07");
  EXPECT_EQ(useTwoNumbersText("0"), "00");
  EXPECT_EQ(useTwoNumbersText("07"), "07");
  EXPECT_EQ(useTwoNumbersText("17"), "17");
  EXPECT_EQ(useTwoNumbersText(""), "");
  EXPECT_EQ(useTwoNumbersText("a"), "a");
  for (int c : {48, 57, 8}) EXPECT_TRUE(isEntryKey(c)) << c;
  for (int c : {97, 45, 32, 46, 47, 58, 13}) EXPECT_FALSE(isEntryKey(c)) << c;
}

TEST(HideTooltip, OnlyTheTextOneIsSingular) {
  EXPECT_EQ(hideAlertTooltip("1"), "This message will disappear automatically after 1 minute");
  EXPECT_EQ(hideAlertTooltip("2"), "This message will disappear automatically after 2 minutes");
  EXPECT_EQ(hideAlertTooltip("01"), "This message will disappear automatically after 01 minutes");
}

TEST(CatchUp, ALateCheckLooksAtEverySecondItSkipped) {
  EXPECT_EQ(texts(secondsToCheck(at(6, 59, 59), at(7, 0, 0))), QStringList{"07:00:00"});
  EXPECT_EQ(texts(secondsToCheck(at(6, 59, 58), at(7, 0, 1))), (QStringList{"06:59:59", "07:00:00", "07:00:01"}));
  // Across midnight.
  EXPECT_EQ(texts(secondsToCheck(at(23, 59, 59), at(0, 0, 1, 9))), (QStringList{"00:00:00", "00:00:01"}));
  // Milliseconds do not matter: a check late within its second looks at that second once.
  EXPECT_EQ(texts(secondsToCheck(at(7, 0, 0).addMSecs(2), at(7, 0, 1).addMSecs(900))), QStringList{"07:00:01"});
}

TEST(CatchUp, LongGapsBackwardClocksAndFirstChecksLookAtNowAlone) {
  EXPECT_EQ(secondsToCheck(at(7, 0, 0), at(7, 1, 0)).size(), 60u);
  EXPECT_EQ(texts(secondsToCheck(at(7, 0, 0), at(7, 1, 1))), QStringList{"07:01:01"});
  EXPECT_EQ(texts(secondsToCheck(at(8, 0, 0), at(7, 0, 0))), QStringList{"07:00:00"});
  EXPECT_EQ(texts(secondsToCheck(QDateTime(), at(7, 0, 0))), QStringList{"07:00:00"});
  EXPECT_TRUE(secondsToCheck(at(7, 0, 0), at(7, 0, 0).addMSecs(500)).empty());
}

TEST(IdleTick, SleepsToTheAlarmsSecondMidnightOrHalfAMinute) {
  const QDate d(2026, 12, 8);
  const QDateTime seven(d, QTime(7, 0, 0, 2));
  EXPECT_EQ(engine::secondsToNextIdleTick(seven, "07:00:10", true, true), 10);
  EXPECT_EQ(engine::secondsToNextIdleTick(seven, "07:00:01", true, true), 1);
  EXPECT_EQ(engine::secondsToNextIdleTick(seven, "07:00:10", false, true), 30);  // not armed
  EXPECT_EQ(engine::secondsToNextIdleTick(seven, "07:00:10", true, false), 30);  // another mode's text
  EXPECT_EQ(engine::secondsToNextIdleTick(seven, "7:00:15 AM", true, false), 15);
  EXPECT_EQ(engine::secondsToNextIdleTick(seven, "07:05:00", true, true), 30);    // beyond the half minute
  EXPECT_EQ(engine::secondsToNextIdleTick(seven, "0:00:10 AM", true, false), 30);  // never shown
  // The daily re-arm needs the first second of the new day.
  EXPECT_EQ(engine::secondsToNextIdleTick(QDateTime(d, QTime(23, 59, 50)), "lblHDDNtime", false, true), 10);
  EXPECT_EQ(engine::secondsToNextIdleTick(QDateTime(d, QTime(23, 59, 50)), "23:59:55", true, true), 5);
}
