// SPDX-License-Identifier: GPL-3.0-or-later
// The days of the week an alarm rings on.
#include "alarm/week_days.h"

#include <QStringList>

#include "platform/vbtime.h"

QString WeekDays::shortName(int dayOfWeek) {
  static const char* const names[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  return dayOfWeek >= 1 && dayOfWeek <= 7 ? QString::fromLatin1(names[dayOfWeek - 1]) : QString();
}

QString WeekDays::text() const {
  QStringList names;
  for (int d = 1; d <= 7; ++d)
    if (has(d)) names << shortName(d);
  return names.join(QLatin1Char(','));
}

std::optional<WeekDays> WeekDays::fromText(const QString& text) {
  WeekDays days = none();
  for (const QString& part : text.split(QLatin1Char(','))) {
    int found = 0;
    for (int d = 1; d <= 7 && !found; ++d)
      if (part.trimmed().compare(shortName(d), Qt::CaseInsensitive) == 0) found = d;
    if (!found) return std::nullopt;
    days.set(found, true);
  }
  return days;
}

QString WeekDays::shownText() const {
  if (everyDay()) return QStringLiteral("Every day");
  return text().replace(QLatin1Char(','), QLatin1String(", "));
}

namespace engine {

QString nextRingText(const WeekDays& days, const QDateTime& next, bool mode24) {
  const QString time = platform::formatTime(next.time(), mode24 ? QStringLiteral("hh:nn") : QStringLiteral("h:nn AM/PM"));
  return days.shownText() + " - Next: " + WeekDays::shortName(next.date().dayOfWeek()) + " " + time;
}

}  // namespace engine
