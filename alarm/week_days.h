// SPDX-License-Identifier: GPL-3.0-or-later
// The days of the week an alarm rings on, with their text in the settings ("Mon,Tue,Wed")
// and in the tooltips ("Mon, Tue, Wed", "Every day").
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <bitset>
#include <optional>

class WeekDays {
 public:
  // Every day, as an alarm rang before days could be chosen.
  WeekDays() { days_.set(); }
  static WeekDays none() { return WeekDays(std::bitset<7>()); }

  // Days are numbered as QDate::dayOfWeek numbers them: 1 Monday to 7 Sunday.
  bool has(int dayOfWeek) const { return dayOfWeek >= 1 && dayOfWeek <= 7 && days_.test(dayOfWeek - 1); }
  bool has(const QDate& day) const { return has(day.dayOfWeek()); }
  void set(int dayOfWeek, bool on) {
    if (dayOfWeek >= 1 && dayOfWeek <= 7) days_.set(dayOfWeek - 1, on);
  }
  bool empty() const { return days_.none(); }
  bool everyDay() const { return days_.all(); }
  bool operator==(const WeekDays&) const = default;

  // The settings' text: the chosen days' short names, Monday first, joined by commas.
  QString text() const;
  // A settings' text read back; nothing when it names no day or something that is no day.
  static std::optional<WeekDays> fromText(const QString& text);
  // The tooltips' text: "Every day", or the chosen days' short names, Monday first.
  QString shownText() const;

  // "Mon".."Sun" (English, as every text of the program).
  static QString shortName(int dayOfWeek);

 private:
  explicit WeekDays(std::bitset<7> days) : days_(days) {}
  std::bitset<7> days_;
};

namespace engine {

// The tooltips' line of an armed alarm: "Mon, Tue, Wed, Thu, Fri - Next: Mon 07:00" (the
// time "7:00 AM" in AM/PM mode).
QString nextRingText(const WeekDays& days, const QDateTime& next, bool mode24);

}  // namespace engine
