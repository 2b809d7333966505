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

#include "alarm/tick_timer.h"

namespace platform {
class ClockService;
}

class AlarmEngine : public QObject {
  Q_OBJECT
 public:
  // What rings the alarm once its second has come.
  class Ringer {
   public:
    virtual ~Ringer() = default;
    // The armed second is two seconds away: load what the firing needs now.
    virtual void prepareAlarm() = 0;
    // Volumes, sound, command and the alert window; returns when the alert has closed,
    // with "Snooze!" in lblHDDNsnooze when it was snoozed.
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
  // Whether an alarm time is set (lblHDDNtime holds one), rung today or not.
  bool armed() const { return lblHDDNtime != QLatin1String("lblHDDNtime"); }
  // Arms the alarm text as built from the entry fields.
  void arm(const QString& alarmText);
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
  // The next moment the alarm rings, if one is armed (today's, or tomorrow's once it rang).
  std::optional<QDateTime> nextRing() const;

  // --- The clock's second
  // The alarm check (first, as soon after the second as possible), the clock's tick, and
  // the firing when the alarm's second has come; two seconds before, the ringer prepares.
  void onSecond();
  // The clock's part: shows the time, and re-arms a stopped alarm when the time of day
  // went backwards (midnight, or the clock set back).
  void Clock_Timer();
  // The alarm check alone, firing when due.
  void Alarm_Timer();
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
  // lblHDDNhideAlert becomes now plus the minutes (24-hour text); RuntimeError for a text
  // that is no usable number.
  void setHideAlertIn(const QString& minutes);
  // Re-arms at now plus the minutes and marks "Snooze!".
  void snooze(int minutes);
  // The alert ends the alarm: lblHDDNsnooze back to its empty value.
  void markStopped();
  // lblHDDNpreviousAlarm: the day the alarm fired and its text.
  void recordPreviousAlarm();

  // The alarm's hidden state; each starts as its own name, which means "empty".
  QString lblHDDNtime = QStringLiteral("lblHDDNtime");
  QString lblHDDNsnooze = QStringLiteral("lblHDDNsnooze");
  QString lblHDDNform = QStringLiteral("lblHDDNform");
  QString lblHDDNhideAlert = QStringLiteral("lblHDDNhideAlert");
  QString lblHDDNpreviousAlarm = QStringLiteral("lblHDDNpreviousAlarm");
  QString lblHDDNduration = QStringLiteral("lblHDDNduration");
  QString lblHDDNposition = QStringLiteral("lblHDDNposition");
  // The LED colour index the alert windows show the text in.
  QString lblHDDNTempInteger = QStringLiteral("lblHDDNTempInteger");
  // The time of day of the clock's last tick (the daily re-arm watches it go backwards).
  QTime previousTick = QTime(0, 0);
  engine::TickTimer Alarm;

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
  // to 09:30" (or "... missed: the clock moved").
  void alarmMissed(const QString& text);

 private:
  bool alarmDue();
  void fireAlarm();
  void setStatus(const QString& caption, bool armedLook);
  // A new alarm time: it has not rung on any day yet.
  void armedAnew();
  // Tells of an alarm too late to ring; `from` and `since`: the check before the jump.
  void reportMissed(const QDateTime& from, const Uptime& since);
  QString shortTime(const QTime& t) const;

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
};
