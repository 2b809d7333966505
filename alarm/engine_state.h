// SPDX-License-Identifier: GPL-3.0-or-later
// What the alarm engine keeps across an end of the program (a crash, a kill, a quit): the
// snooze or quick alarm still to ring, the last moment the alarm check looked at, and the
// day the daily alarm last rang. It is stored beside the alarm's fields as these settings,
// always written together in one write; a settings file without them starts as if nothing
// was pending, nothing checked and nothing rung:
//   PendingAlarm       the snooze's or quick alarm's time of day, "07:08:01" ("" when none)
//   PendingAlarmKind   "Snooze" or "Quick"
//   PendingAlarmDaily  a snooze's daily time, the one a Stop goes back to, "07:00:00"
//   AlarmCheckedUpTo   the last moment checked, ISO 8601 with its offset from UTC,
//                      "2026-12-08T07:03:00.000+01:00" ("" while no alarm is armed)
//   AlarmDoneOn        the day the daily alarm rang or was told missed, with that alarm's
//                      time: "2026-12-08 07:00:00"
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

struct EngineState {
  // The snooze or quick alarm armed and not rung yet.
  std::optional<QTime> pending;
  bool snooze = false;
  // The daily time a pending snooze goes back to.
  std::optional<QTime> daily;
  // The last moment the alarm check looked at (invalid: none, nothing to catch up).
  QDateTime checkedUpTo;
  // The day the daily alarm `doneFor` rang or was told missed.
  QDate doneOn;
  std::optional<QTime> doneFor;

  bool operator==(const EngineState&) const = default;
};

namespace engine {

// The settings and their texts, in one list for one write.
std::vector<std::pair<QString, QString>> stateValues(const EngineState& state);
// The state from the stored texts; `read` gives a setting's text ("Error" or anything else
// that cannot be read counts as not stored).
EngineState readState(const std::function<QString(const QString& name)>& read);

}  // namespace engine
