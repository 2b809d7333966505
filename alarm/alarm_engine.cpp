// The alarm engine.
#include "alarm/alarm_engine.h"

#include <cmath>

#include "alarm/timetext.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/services.h"
#include "platform/vbtime.h"

namespace {

const QString kSnoozed = QStringLiteral("Snooze!");
const QString kUnsnoozed = QStringLiteral("lblHDDNsnooze");

// Minutes as typed, for "now plus minutes": RuntimeError 6 where no time could follow.
double minutesValue(const QString& minutes) {
  const double n = platform::vbCDbl(minutes.toStdString());
  if (!std::isfinite(n) || std::fabs(n) > 1e9) throw platform::RuntimeError(platform::err::kOverflow);
  return n;
}

void logLine(const QString& text) { platform::logEvent(text.toStdString()); }

}  // namespace

AlarmEngine::AlarmEngine(const platform::ClockService* clock, QObject* parent)
    : QObject(parent), clock_(clock), status_(engine::kNotActivated) {}

QDateTime AlarmEngine::now() const { return (clock_ ? *clock_ : *platform::services().clock).now(); }

void AlarmEngine::setStatus(const QString& caption, bool armedLook) {
  status_ = caption;
  emit statusChanged(caption, armedLook);
}

// ---------------------------------------------------------------------------------------
// Arming

void AlarmEngine::arm(const QString& alarmText) {
  lblHDDNtime = alarmText;
  setStatus(engine::activatedText(lblHDDNtime), true);
  setAlarmEnabled(true);
  logLine("alarm set for " + lblHDDNtime);
}

void AlarmEngine::armInMinutes(const QString& minutes) {
  const double n = minutesValue(minutes);
  lblHDDNtime = platform::nowPlusMinutes(now(), n, is24() ? platform::kFmt24 : platform::kFmtAmPm);
  setAlarmEnabled(true);
  setStatus(engine::activatedText(lblHDDNtime), true);
  logLine("alarm set for " + lblHDDNtime);
}

void AlarmEngine::deactivate() {
  lblHDDNtime = QStringLiteral("lblHDDNtime");
  setStatus(engine::kNotActivated, false);
  setAlarmEnabled(false);
  platform::logEvent("alarm deactivated");
}

void AlarmEngine::setAlarmEnabled(bool on) {
  if (on && !Alarm.isActive()) alarmCheckedUpTo_ = now();
  Alarm.setEnabled(on);
  if (on) emit checkSwitchedOn();
}

void AlarmEngine::followClockMode() {
  if (!armed()) return;
  if (const auto t = platform::timeValue(lblHDDNtime)) {
    lblHDDNtime = engine::alarmText(*t, is24());
    setStatus(engine::activatedText(lblHDDNtime), true);
  }
}

// ---------------------------------------------------------------------------------------
// The clock's second

void AlarmEngine::onSecond() {
  // The alarm check comes first, as soon after the second as possible; the alarm itself is
  // raised once the clock shows the new second. A standing alarm that the clock re-arms at
  // midnight is checked in that same second.
  const bool wasEnabled = Alarm.isActive();
  bool due = wasEnabled && alarmDue();
  Clock_Timer();
  if (!wasEnabled && Alarm.isActive()) due = alarmDue();
  if (due) fireAlarm();
  if (!due && Alarm.isActive() && !firing_ && engine::alarmText(now().time().addSecs(2), is24()) == lblHDDNtime &&
      ringer_)
    ringer_->prepareAlarm();
}

void AlarmEngine::Clock_Timer() {
  const QDateTime at = now();
  const QString t = engine::clockText(at.time(), is24());
  emit timeShown(t);
  const auto value = platform::timeValue(t);
  // Daily re-arm: the time of day went backwards (midnight, or the clock set back).
  const bool backwards = value && status_ != engine::kNotActivated && *value < previousTick;
  if (backwards && firing_) dayTurnedWhileFiring_ = true;  // the alert is still open
  if (backwards && !Alarm.isActive()) {
    Alarm.start();
    // The check that follows looks at this very second too, so an alarm at midnight rings.
    alarmCheckedUpTo_ = lastTickAt_.isValid() && lastTickAt_ < at ? lastTickAt_ : at.addSecs(-1);
    logLine("alarm re-armed for " + lblHDDNtime);
  }
  if (value) previousTick = *value;
  lastTickAt_ = at;
}

void AlarmEngine::Alarm_Timer() {
  if (alarmDue()) fireAlarm();
}

int AlarmEngine::idleTickSeconds() const {
  const QDateTime at = now();
  int wait = engine::secondsToNextIdleTick(at, lblHDDNtime, Alarm.isActive(), is24());
  // Waking two seconds before the alarm's own second leaves time to prepare its firing.
  if (wait > 2 && Alarm.isActive() && engine::alarmText(at.time().addSecs(wait), is24()) == lblHDDNtime) wait -= 2;
  return wait;
}

bool AlarmEngine::alarmDue() {
  const QDateTime at = now();
  const auto seconds = engine::secondsToCheck(alarmCheckedUpTo_, at);
  alarmCheckedUpTo_ = at;
  if (firing_) return false;  // an alert is open; the time has moved on anyway
  for (const QTime& s : seconds) {
    if (engine::alarmText(s, is24()) == lblHDDNtime) {
      logLine("fire: alarm " + lblHDDNtime);
      return true;
    }
  }
  return false;
}

void AlarmEngine::fireAlarm() {
  firing_ = true;
  dayTurnedWhileFiring_ = false;
  try {
    const QDate today = now().date();
    // The day the daily alarm rang; a snoozed alarm keeps the day it first rang.
    if (lblHDDNsnooze != kSnoozed) dailyFiredOn_ = today;
    firedOn_ = today;
    const auto armedAt = platform::timeValue(lblHDDNtime);
    if (!snoozedTo_ || armedAt != snoozedTo_) daily_ = armedAt;  // not a snoozed alarm: the user's own
    // Each alert starts unsnoozed, so only its own Snooze keeps the alarm on the snooze time.
    lblHDDNsnooze = kUnsnoozed;
    if (ringer_) ringer_->raiseAlarm();
    firing_ = false;

    if (lblHDDNsnooze == kSnoozed) {
      snoozedTo_ = platform::timeValue(lblHDDNtime);
      setAlarmEnabled(true);
      return;
    }
    // Stopped: a snoozed alarm goes back to the time the user armed, in today's clock mode.
    if (snoozedTo_ && daily_ && platform::timeValue(lblHDDNtime) != daily_) {
      lblHDDNtime = engine::alarmText(*daily_, is24());
      setStatus(engine::activatedText(lblHDDNtime), true);
      logLine("alarm back on " + lblHDDNtime);
    }
    snoozedTo_.reset();
    // An alert still open when the day turned (or the clock went back) missed the daily
    // re-arm of the clock's tick: tomorrow's alarm stays armed.
    const bool pastMidnight = dayTurnedWhileFiring_ || now().date() != dailyFiredOn_;
    setAlarmEnabled(pastMidnight);
    lblHDDNsnooze = kUnsnoozed;
    platform::logEvent(pastMidnight ? "alarm stopped; armed again for the new day" : "alarm stopped");
    emit alarmStopped();
  } catch (const platform::RuntimeError& e) {
    firing_ = false;
    platform::showErrorBox(e, "frmMain, Alarm_Timer");
  }
}

// ---------------------------------------------------------------------------------------
// What the firing and the alert windows do

void AlarmEngine::setHideAlertIn(const QString& minutes) {
  lblHDDNhideAlert = platform::nowPlusMinutes(now(), minutesValue(minutes), platform::kFmt24);
}

void AlarmEngine::snooze(int minutes) {
  lblHDDNtime = platform::nowPlusMinutes(now(), minutes, is24() ? platform::kFmt24 : platform::kFmtAmPm);
  setStatus(engine::activatedText(lblHDDNtime), true);
  lblHDDNsnooze = kSnoozed;
  logLine("snooze: alarm set for " + lblHDDNtime);
}

void AlarmEngine::markStopped() { lblHDDNsnooze = kUnsnoozed; }

void AlarmEngine::recordPreviousAlarm() {
  const QDate day = firedOn_.isValid() ? firedOn_ : now().date();
  lblHDDNpreviousAlarm = platform::shortDate(day) + " " + lblHDDNtime;
}
