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

  // The time comes from `clock`, or from the platform's clock service when none is given.
  explicit AlarmEngine(const platform::ClockService* clock = nullptr, QObject* parent = nullptr);

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

 private:
  bool alarmDue();
  void fireAlarm();
  void setStatus(const QString& caption, bool armedLook);

  const platform::ClockService* clock_;
  Ringer* ringer_ = nullptr;
  std::function<bool()> is24_;
  QString status_;
  QDateTime alarmCheckedUpTo_;
  QDateTime lastTickAt_;
  QDate dailyFiredOn_;  // the day the daily alarm last rang
  QDate firedOn_;       // the day of the alarm shown last (its record's date)
  // The daily alarm the user armed, and the moment the last snooze set; a stop after a
  // snooze goes back to the daily one.
  std::optional<QTime> daily_;
  std::optional<QTime> snoozedTo_;
  bool firing_ = false;
  bool dayTurnedWhileFiring_ = false;
};
