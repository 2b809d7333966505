// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm engine: the armed alarm and its hidden state, arming and deactivating, the
// check at each second with its catch-up, the daily re-arm at the turn of the day, snooze
// and stop, and the previous-alarm record. It has no widgets: the main window shows what it
// reports and forwards the user's actions to it, and a Ringer (the firing) rings the alarm.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTime>
#include <cstdint>
#include <functional>
#include <optional>

#include "alarm/engine_state.h"
#include "alarm/tick_timer.h"
#include "alarm/week_days.h"

namespace platform {
class ClockService;
}

class AlarmEngine : public QObject {
  Q_OBJECT
 public:
  // How an alert ended: its Stop (or Esc, a double-click, the frame), its Snooze, or its
  // hide time.
  enum class AlertEnd { Stopped, Snoozed, Hidden };

  // What rings the alarm once its second has come.
  class Ringer {
   public:
    virtual ~Ringer() = default;
    // The armed second is two seconds away: load what the firing needs now.
    virtual void prepareAlarm() = 0;
    // Volumes, sound, command and the alert window, shown without waiting for it; the
    // ringer calls alertEnded once the alert has closed (at once when it shows none).
    virtual void raiseAlarm() = 0;
  };

  // The machine's own clocks, which the wall clock's jumps do not move: milliseconds since
  // boot without the time asleep (monotonic) and with it (boottime).
  struct Uptime {
    int64_t monotonicMs = 0;
    int64_t boottimeMs = 0;
  };
  static Uptime machineUptime();

  // The time comes from `clock`, or from the platform's clock service when none is given.
  explicit AlarmEngine(const platform::ClockService* clock = nullptr, QObject* parent = nullptr);
  void setUptimeSource(std::function<Uptime()> uptime) { uptime_ = std::move(uptime); }

  void setRinger(Ringer* ringer) { ringer_ = ringer; }
  // The clock mode the alarm texts are written in, asked each time it matters (24-hour
  // unless set).
  void setClockMode(std::function<bool()> is24) { is24_ = std::move(is24); }
  bool is24() const { return !is24_ || is24_(); }
  QDateTime now() const;

  // --- Arming
  // Whether an alarm time is set, rung today or not.
  bool armed() const { return lblHDDNtime.has_value(); }
  // The armed time of day, if any (a snooze's own time while snoozed).
  std::optional<QTime> armedTime() const { return lblHDDNtime; }
  // The armed time as the clock mode writes it ("07:00:00", "7:00:00 AM"); empty when none.
  QString alarmText() const;
  // Arms the time of day typed in the entry fields.
  void arm(const QTime& time);
  // Arms now plus that many minutes; RuntimeError when the text is no usable number.
  void armInMinutes(const QString& minutes);
  void deactivate();
  // The alarm check's timer: on while an alarm is to be looked for today.
  bool alarmEnabled() const { return Alarm.isActive(); }
  void setAlarmEnabled(bool on);
  // The clock mode changed: the armed alarm's text follows it; the moment stays.
  void followClockMode();
  // The status line: "Activated  [ … ]" or "Alarm not activated ...".
  const QString& status() const { return status_; }
  // The daily time armed (a snooze's own time aside), if any.
  std::optional<QTime> dailyTime() const;
  // The next moment the alarm rings, if one is armed (today's, or tomorrow's once it rang),
  // on the first day it rings on.
  std::optional<QDateTime> nextRing() const;

  // --- The days of the week
  // The days the daily alarm rings on (every day unless set); a snooze and a quick alarm
  // ring whatever the day.
  const WeekDays& days() const { return days_; }
  void setDays(const WeekDays& days);

  // --- The clock's second
  // The alarm check (first, as soon after the second as possible), the clock's tick, and
  // the firing when the alarm's second has come; two seconds before, the ringer prepares.
  void onSecond();
  // The clock's part: shows the time, and re-arms a stopped alarm when the time of day
  // went backwards (midnight, or the clock set back).
  void Clock_Timer();
  // While nothing shows the time: the seconds the clock may sleep before the next tick
  // that matters, waking two seconds early for the alarm's own second.
  int idleTickSeconds() const;
  bool firing() const { return firing_; }

  // --- Late and missed alarms
  // How late an alarm whose second a jump of the clock skipped (a suspend, a clock set
  // forward) may still ring, in minutes; 0: never late. Beyond it the alarm is reported
  // missed and stays armed for the next day.
  static constexpr int kDefaultLateMinutes = 30;
  void setLateMinutes(int minutes) { lateMinutes_ = minutes; }
  int lateMinutes() const { return lateMinutes_; }
  // "Rang late: due at 07:00:00" while the alert of a late alarm shows, else empty.
  const QString& lateNote() const { return lateNote_; }

  // --- What the firing and the alert windows do
  // The alert's hide time becomes now plus the minutes.
  void setHideAlertIn(int minutes);
  // The second at which the open alert closes by itself, if one was set.
  std::optional<QTime> hideAlertTime() const { return lblHDDNhideAlert; }
  // Re-arms at now plus the minutes; the alert that asked ends as snoozed.
  void snooze(int minutes);
  // The alert of the alarm raised last has closed: a snooze stays armed; otherwise a
  // snoozed alarm goes back to the daily time and the check rests until the day turns.
  void alertEnded(AlertEnd end);
  // The record of the alarm just shown: the day it fired and its time.
  void recordPreviousAlarm();
  // The previous alarm's record (none when there is none), as restored and as shown.
  const std::optional<QDateTime>& previousAlarm() const { return lblHDDNpreviousAlarm; }
  void setPreviousAlarm(const std::optional<QDateTime>& record) { lblHDDNpreviousAlarm = record; }

  // --- Across an end of the program
  // What decides the next ring, to be stored whenever stateChanged says so.
  EngineState state() const;
  // At the start, after the stored alarm was armed (or not): a pending snooze or quick alarm
  // comes back, and the time since the last check is caught up as a jump of the clock is
  // (late within the late window, else told missed); the day's alarm that rang already
  // does not ring again.
  void restore(const EngineState& kept);
  // While an alarm is armed the last moment checked is reported this often, never each second.
  static constexpr int kStateEverySeconds = 300;

 signals:
  void statusChanged(const QString& caption, bool armed);
  // The clock's text of the second, for the displays.
  void timeShown(const QString& clockText);
  // The check was switched on: a clock that sleeps while hidden should look again at once.
  void checkSwitchedOn();
  // An alert closed without a snooze.
  void alarmStopped();
  // The next moment the alarm rings may have changed (see nextRing).
  void nextRingChanged();
  // An alarm too late to ring: "Alarm 07:00:00 missed: the computer was asleep from 06:10
  // to 09:30" (or "... missed: the clock moved"); a day other than today is named:
  // "Alarm 07:00:00 of Sun 12/13/26 missed: the computer was asleep from Fri 12/11/26 22:00 to 06:10".
  void alarmMissed(const QString& text);
  // What decides the next ring changed (see state): store it at once.
  void stateChanged();

 private:
  bool alarmDue();
  // Whether the armed alarm rings on that day.
  bool ringsOn(const QDate& day) const;
  // The armed time as the alarm's texts write it (empty when none).
  QString text(const std::optional<QTime>& t) const;
  void fireAlarm();
  void setStatus(const QString& caption, bool armedLook);
  // A new alarm time: it has not rung on any day yet.
  void armedAnew();
  // Tells of an alarm too late to ring; `from` and `since`: the check before the jump;
  // `day`: the day whose alarm was missed.
  void reportMissed(const QDateTime& from, const Uptime& since, const QDate& day);
  QString shortTime(const QTime& t) const;
  // Reports the state to be stored.
  void stateMoved();

  // The alarm's hidden state, named after the labels that held it as text.
  // lblHDDNtime: the armed time of day (the label held its text, or its own name when none).
  std::optional<QTime> lblHDDNtime;
  // lblHDDNsnooze: the armed time is a snooze (the label held "Snooze!").
  bool lblHDDNsnooze = false;
  // lblHDDNhideAlert: the second the open alert hides itself (the label held its 24-hour text).
  std::optional<QTime> lblHDDNhideAlert;
  // lblHDDNpreviousAlarm: the day and time of the alarm shown last (the label held "date time").
  std::optional<QDateTime> lblHDDNpreviousAlarm;
  // The time of day of the clock's last tick (the daily re-arm watches it go backwards).
  QTime previousTick = QTime(0, 0);
  // The alarm check: on while an alarm is to be looked for today.
  engine::TickTimer Alarm;

  const platform::ClockService* clock_;
  Ringer* ringer_ = nullptr;
  std::function<bool()> is24_;
  std::function<Uptime()> uptime_;
  QString status_;
  QString lateNote_;
  int lateMinutes_ = kDefaultLateMinutes;
  QDateTime alarmCheckedUpTo_;
  Uptime checkedAt_;  // the machine's clocks at that check
  QDateTime lastTickAt_;
  QDate dailyFiredOn_;  // the day the daily alarm last rang (or was missed): once a day
  QDate firedOn_;       // the day of the alarm shown last (its record's date)
  QDate dueOn_;         // the day whose alarm second the last check found due
  // The daily alarm the user armed, and the moment the last snooze set; a stop after a
  // snooze goes back to the daily one.
  std::optional<QTime> daily_;
  std::optional<QTime> snoozedTo_;
  bool firing_ = false;
  bool dayTurnedWhileFiring_ = false;
  bool quick_ = false;       // the armed time is a quick alarm that has not rung yet
  QDateTime stateAt_;        // when the state was last reported
  QDateTime restoredFrom_;   // the last check before the program's end, as restored
  WeekDays days_;
  QDate quickOn_;  // the day a quick alarm armed is due, which it rings on whatever the day
};
