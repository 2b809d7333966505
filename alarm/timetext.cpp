// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm engine's text rules.
#include "alarm/timetext.h"

#include "platform/vbtime.h"

namespace engine {

QString useTwoNumbersText(const QString& text) {
  if (text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9')) return "0" + text;
  return text;
}

AmPmFields cutAmPmText(const QString& s) {
  if (s.size() == 11) return {s.mid(0, 2), s.mid(3, 2), s.mid(6, 2), s.mid(9, 2)};
  if (s.size() == 10) return {s.mid(0, 1), s.mid(2, 2), s.mid(5, 2), s.mid(8, 2)};
  return {s, {}, {}, {}};
}

QString alarmText(const QTime& t, bool mode24) {
  return platform::formatTime(t, mode24 ? platform::kFmt24 : platform::kFmtAmPm);
}

QString clockText(const QTime& t, bool mode24) {
  QString s = alarmText(t, mode24);
  if (mode24) return s;
  if (s.size() == 10)
    s.truncate(8);
  else if (s.size() == 9)
    s.truncate(7);
  return s;
}

QString hideAlertTooltip(const QString& minutes) {
  return "This message will disappear automatically after " + minutes +
         (minutes == QLatin1String("1") ? " minute" : " minutes");
}

QDateTime shown(const QDateTime& at) { return QDateTime(at.date(), at.time(), Qt::UTC); }

std::optional<QDateTime> passedAt(const QDateTime& from, const QDateTime& to, QTime timeOfDay) {
  if (from.isValid() && from.toSecsSinceEpoch() == to.toSecsSinceEpoch()) return std::nullopt;  // looked at already
  const QTime second(timeOfDay.hour(), timeOfDay.minute(), timeOfDay.second());
  const QDateTime end = shown(to);
  QDateTime last(end.date(), second, Qt::UTC);
  if (!from.isValid() || shown(from) >= end) {
    const QTime now = end.time();
    if (QTime(now.hour(), now.minute(), now.second()) == second) return last;
    return std::nullopt;
  }
  if (last > end) last = last.addDays(-1);
  if (last > shown(from)) return last;
  return std::nullopt;
}

QDateTime ringMoment(const QDate& date, QTime timeOfDay, const QTimeZone& zone) {
  if (!zone.isValid()) return QDateTime(date, timeOfDay);
  // The clock's reading as if it were UTC, less each offset the zone has around that day.
  const qint64 reading = QDateTime(date, timeOfDay, Qt::UTC).toMSecsSinceEpoch();
  const auto offsetAt = [&](qint64 ms) { return zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC)); };
  const qint64 day = 86400000;
  const int before = offsetAt(reading - day), after = offsetAt(reading + day);
  std::optional<qint64> first;
  for (const int offset : {before, after}) {
    const qint64 ms = reading - qint64{offset} * 1000;
    if (offsetAt(ms) == offset && (!first || ms < *first)) first = ms;
  }
  if (!first) {
    // Neither offset reads it: the clock skips it, at the change between the two.
    const qint64 late = reading - qint64{before} * 1000;
    const QTimeZone::OffsetData change = zone.previousTransition(QDateTime::fromMSecsSinceEpoch(late + 1, Qt::UTC));
    first = change.atUtc.isValid() ? change.atUtc.toMSecsSinceEpoch() : late;
  }
  return QDateTime::fromMSecsSinceEpoch(*first, zone);
}

int secondsToNextIdleTick(const QDateTime& now, const QString& alarmTime, bool armed, bool mode24) {
  const QTime t = now.time();
  for (int s = 1; s < kIdleTickSeconds; ++s) {
    const QTime next = t.addSecs(s);
    if (next < t) return s;  // midnight
    if (armed && alarmText(next, mode24) == alarmTime) return s;
  }
  return kIdleTickSeconds;
}

}  // namespace engine
