// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's kept state as settings texts.
#include "alarm/engine_state.h"

namespace engine {

namespace {

const QString kTimeFormat = QStringLiteral("HH:mm:ss");
const QString kDoneFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString timeText(const std::optional<QTime>& t) { return t ? t->toString(kTimeFormat) : QString(); }

std::optional<QTime> timeOf(const QString& text) {
  const QTime t = QTime::fromString(text, kTimeFormat);
  return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

}  // namespace

std::vector<std::pair<QString, QString>> stateValues(const EngineState& s) {
  const bool pending = s.pending.has_value();
  const bool done = s.doneOn.isValid() && s.doneFor;
  return {
      {QStringLiteral("PendingAlarm"), timeText(s.pending)},
      {QStringLiteral("PendingAlarmKind"),
       !pending ? QString() : s.snooze ? QStringLiteral("Snooze") : QStringLiteral("Quick")},
      {QStringLiteral("PendingAlarmDaily"), pending && s.snooze ? timeText(s.daily) : QString()},
      {QStringLiteral("AlarmCheckedUpTo"),
       s.checkedUpTo.isValid() ? s.checkedUpTo.toOffsetFromUtc(s.checkedUpTo.offsetFromUtc()).toString(Qt::ISODateWithMs)
                               : QString()},
      {QStringLiteral("AlarmDoneOn"), done ? QDateTime(s.doneOn, *s.doneFor).toString(kDoneFormat) : QString()},
  };
}

EngineState readState(const std::function<QString(const QString& name)>& read) {
  EngineState s;
  const QString kind = read(QStringLiteral("PendingAlarmKind"));
  if (kind == QLatin1String("Snooze") || kind == QLatin1String("Quick")) {
    s.pending = timeOf(read(QStringLiteral("PendingAlarm")));
    s.snooze = s.pending && kind == QLatin1String("Snooze");
    if (s.snooze) s.daily = timeOf(read(QStringLiteral("PendingAlarmDaily")));
  }
  const QDateTime checked = QDateTime::fromString(read(QStringLiteral("AlarmCheckedUpTo")), Qt::ISODateWithMs);
  if (checked.isValid()) s.checkedUpTo = checked;
  const QDateTime done = QDateTime::fromString(read(QStringLiteral("AlarmDoneOn")), kDoneFormat);
  if (done.isValid()) {
    s.doneOn = done.date();
    s.doneFor = done.time();
  }
  return s;
}

}  // namespace engine
