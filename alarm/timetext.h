// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm engine's small text rules: the entry fields' key filter and digit widening,
// cutting an AM/PM time text into its fields, the clock's display text, and the seconds a
// late alarm check still has to look at.
#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>
#include <QTimeZone>
#include <optional>

namespace engine {

// The entry fields take only the digits and Backspace.
inline bool isEntryKey(int code) { return (code >= 48 && code <= 57) || code == 8; }

// "7" becomes "07"; any other text (empty, two digits, anything else) stays as it is.
QString useTwoNumbersText(const QString& text);

// The parts of a time text written "h:nn:ss AM/PM": a one-digit hour stays one digit.
// A text that is neither 10 nor 11 characters long goes whole into the hours.
struct AmPmFields {
  QString hours, minutes, seconds, half;
};
AmPmFields cutAmPmText(const QString& text);

// The text the clock shows: "hh:nn:ss" in 24-hour mode; in AM/PM mode "h:nn:ss AM/PM" with
// the designator cut off a one-digit hour's text (7:05:09 PM shows as "7:05:09 ") and kept
// on a two-digit hour's (12:05:09 PM).
QString clockText(const QTime& t, bool mode24);

// The alarm time text of the clock mode for a moment: "hh:nn:ss" or "h:nn:ss AM/PM".
QString alarmText(const QTime& t, bool mode24);

// The status line of an armed alarm.
inline QString activatedText(const QString& alarmTime) { return "Activated  [ " + alarmTime + " ]"; }
inline const QString kNotActivated = QStringLiteral("Alarm not activated ...");

// The tooltip an alert window's text gets when it is to hide itself after some minutes.
QString hideAlertTooltip(const QString& minutes);

// A moment as the wall clock reads it, with no zone: the hour that daylight saving skips or
// repeats shows as it does on the clock.
QDateTime shown(const QDateTime& at);

// When the clock, between a check at `from` and the next at `to`, last showed the second
// `timeOfDay`, read as the clock shows it: the latest such reading after `from` and up to
// `to`, however long the gap (a late tick, a suspend, a clock set forward). A first check
// (no `from`) or a clock that went back looks at `to`'s own second alone; a second check
// within the same second looks at nothing.
std::optional<QDateTime> passedAt(const QDateTime& from, const QDateTime& to, QTime timeOfDay);
// The moment an alarm of that time of day rings on that date in the zone: when the clock
// first shows it (the earlier of the two in the hour repeated in autumn), or, for a time in
// the hour skipped in spring, the first second after the skip, when the clock jumps past it.
QDateTime ringMoment(const QDate& date, QTime timeOfDay, const QTimeZone& zone);
// The lateness up to which a check still counts as on time.
inline constexpr int kMaxCatchUpSeconds = 60;

// While nothing shows the time the clock need not wake every second: the seconds from `now`
// to the next tick that matters — the armed alarm's own second, or the first second of a new
// day (the daily re-arm) — and never more than kIdleTickSeconds, well inside the look-back
// of the alarm check, so a second can never be missed.
int secondsToNextIdleTick(const QDateTime& now, const QString& alarmTime, bool armed, bool mode24);
inline constexpr int kIdleTickSeconds = 30;

}  // namespace engine
