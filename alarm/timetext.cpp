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

std::vector<QTime> secondsToCheck(const QDateTime& last, const QDateTime& now) {
  const auto toSecond = [](const QDateTime& d) { return d.toSecsSinceEpoch(); };
  std::vector<QTime> out;
  const qint64 to = toSecond(now);
  const qint64 from = last.isValid() ? toSecond(last) : to - 1;
  if (from == to) return out;  // this second has been looked at already
  if (from > to || to - from > kMaxCatchUpSeconds) {
    out.push_back(now.time());
    return out;
  }
  for (qint64 s = from + 1; s <= to; ++s) out.push_back(QDateTime::fromSecsSinceEpoch(s).time());
  return out;
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
