// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm engine's text rules: the clock's display text, cutting AM/PM texts, widening a
// digit, and which seconds a late alarm check still compares.
#include <gtest/gtest.h>

#include "alarm/timetext.h"

using namespace engine;

namespace {
QDateTime at(int h, int m, int s, int day = 8) { return QDateTime(QDate(2026, 12, day), QTime(h, m, s)); }
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

TEST(CatchUp, ACheckSeesTheSecondTheClockPassedSinceTheLastOneHoweverLongTheGap) {
  const QTime seven(7, 0, 0);
  const auto passed = [&](const QDateTime& from, const QDateTime& to) {
    const auto when = passedAt(from, to, seven);
    return when ? when->toString("d hh:mm:ss") : QString("-");
  };
  const QString seventh = "8 07:00:00";
  EXPECT_EQ(passed(at(6, 59, 59), at(7, 0, 0)), seventh);
  EXPECT_EQ(passed(at(6, 59, 58), at(7, 0, 1)), seventh);
  EXPECT_EQ(passed(at(6, 10, 0), at(9, 30, 0)), seventh);             // a suspend
  EXPECT_EQ(passed(at(6, 10, 0).addDays(-2), at(9, 30, 0)), seventh);  // the last of them
  EXPECT_EQ(passed(at(7, 0, 0), at(7, 0, 1)), "-");                    // seen by the last check
  // Milliseconds do not matter: a check late within its second looks at that second once.
  EXPECT_EQ(passed(at(6, 59, 59).addMSecs(900), at(7, 0, 0).addMSecs(2)), seventh);
  EXPECT_EQ(passed(at(7, 0, 0).addMSecs(2), at(7, 0, 1).addMSecs(900)), "-");
  EXPECT_EQ(passed(at(7, 0, 0), at(7, 0, 0).addMSecs(500)), "-");
  // A first check, or a clock that went back, looks at its own second alone.
  EXPECT_EQ(passed(QDateTime(), at(7, 0, 0).addMSecs(9)), seventh);
  EXPECT_EQ(passed(at(8, 0, 0), at(7, 0, 0).addMSecs(9)), seventh);
  EXPECT_EQ(passed(at(8, 0, 0), at(7, 0, 1)), "-");
  // Across midnight.
  EXPECT_EQ(passedAt(at(23, 59, 59), at(0, 0, 1, 9), QTime(0, 0, 0))->date().day(), 9);
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
