// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm engine.
#include "alarm/alarm_engine.h"

#include <time.h>

#include <QTimeZone>

#include <algorithm>
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

// A moment as the clock shows it: its date and time of day, read as if no time zone had
// changed in between (so a daylight-saving change shows as the jump the clock makes).

int64_t clockMs(clockid_t id) {
  timespec ts{};
  ::clock_gettime(id, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// More than this between the machine's two clocks over a gap means it was asleep.
constexpr int64_t kAsleepMs = 2000;

}  // namespace

AlarmEngine::Uptime AlarmEngine::machineUptime() { return {clockMs(CLOCK_MONOTONIC), clockMs(CLOCK_BOOTTIME)}; }

AlarmEngine::AlarmEngine(const platform::ClockService* clock, QObject* parent)
    : QObject(parent), clock_(clock), uptime_(&AlarmEngine::machineUptime), status_(engine::kNotActivated) {}

QDateTime AlarmEngine::now() const { return (clock_ ? *clock_ : *platform::services().clock).now(); }

void AlarmEngine::setStatus(const QString& caption, bool armedLook) {
  status_ = caption;
  emit statusChanged(caption, armedLook);
}

// ---------------------------------------------------------------------------------------
// Arming

void AlarmEngine::armedAnew() {
  dailyFiredOn_ = QDate();
  lblHDDNsnooze = kUnsnoozed;
  snoozedTo_.reset();
}

void AlarmEngine::arm(const QString& alarmText) {
  armedAnew();
  lblHDDNtime = alarmText;
  setStatus(engine::activatedText(lblHDDNtime), true);
  setAlarmEnabled(true);
  logLine("alarm set for " + lblHDDNtime);
}

void AlarmEngine::armInMinutes(const QString& minutes) {
  const double n = minutesValue(minutes);
  armedAnew();
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
  emit nextRingChanged();
}

std::optional<QTime> AlarmEngine::dailyTime() const {
  if (lblHDDNsnooze == kSnoozed && daily_) return daily_;
  return platform::timeValue(lblHDDNtime);
}

std::optional<QDateTime> AlarmEngine::nextRing() const {
  const auto t = armed() ? platform::timeValue(lblHDDNtime) : std::nullopt;
  if (!t) return std::nullopt;
  const QDateTime at = now();
  QDateTime next(at.date(), *t, at.timeZone());
  const bool rangToday = lblHDDNsnooze != kSnoozed && dailyFiredOn_ == at.date();
  if (!Alarm.isActive() || next <= at || rangToday) next = QDateTime(at.date().addDays(1), *t, at.timeZone());
  return next;
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
  // Daily re-arm: a new day, or the time of day went backwards (midnight, the clock set
  // back). An alarm still rings at most once a day (see alarmDue).
  const bool newDay = lastTickAt_.isValid() && at.date() != lastTickAt_.date();
  const bool backwards = value && status_ != engine::kNotActivated && (*value < previousTick || newDay);
  if (backwards && firing_) dayTurnedWhileFiring_ = true;  // the alert is still open
  if (backwards && !Alarm.isActive()) {
    Alarm.start();
    // The check that follows looks at this very second too, so an alarm at midnight rings.
    alarmCheckedUpTo_ = lastTickAt_.isValid() && lastTickAt_ < at ? lastTickAt_ : at.addSecs(-1);
    logLine("alarm re-armed for " + lblHDDNtime);
    emit nextRingChanged();
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
  const Uptime up = uptime_ ? uptime_() : Uptime{};
  const QDateTime from = alarmCheckedUpTo_;
  const Uptime since = checkedAt_;
  alarmCheckedUpTo_ = at;
  checkedAt_ = up;
  if (firing_) return false;  // an alert is open; the time has moved on anyway
  // Text equality stays the rule: an alarm text the clock never shows never rings.
  const auto armedAt = platform::timeValue(lblHDDNtime);
  if (!armedAt || engine::alarmText(*armedAt, is24()) != lblHDDNtime) return false;

  // The alarm's second among those the clock showed, or skipped, since the last check.
  const std::optional<QDateTime> due = engine::passedAt(from, at, *armedAt);
  if (!due) return false;
  const bool daily = lblHDDNsnooze != kSnoozed;
  if (daily && dailyFiredOn_ == due->date()) return false;  // it rang that day already

  // How late, by the clock shown, but never more than the time that really passed: an hour
  // the clock skips for daylight saving delays nothing.
  const qint64 late = from.isValid() ? std::min(due->secsTo(engine::shown(at)), from.secsTo(at)) : 0;
  lateNote_.clear();
  if (late > engine::kMaxCatchUpSeconds) {
    if (lateMinutes_ <= 0 || late > qint64{lateMinutes_} * 60) {
      if (daily) dailyFiredOn_ = due->date();
      reportMissed(from, since);
      return false;
    }
    lateNote_ = "Rang late: due at " + lblHDDNtime;
  }
  dueOn_ = due->date();
  logLine("fire: alarm " + lblHDDNtime + (lateNote_.isEmpty() ? QString() : " (" + lateNote_ + ")"));
  return true;
}

QString AlarmEngine::shortTime(const QTime& t) const {
  return platform::formatTime(t, is24() ? QStringLiteral("hh:nn") : QStringLiteral("h:nn AM/PM"));
}

void AlarmEngine::reportMissed(const QDateTime& from, const Uptime& since) {
  const QDateTime at = now();
  const Uptime up = uptime_ ? uptime_() : Uptime{};
  const int64_t awakeMs = up.monotonicMs - since.monotonicMs;
  const bool slept = (up.boottimeMs - since.boottimeMs) - awakeMs > kAsleepMs;
  QString text = "Alarm " + lblHDDNtime + " missed: ";
  if (slept)
    text += "the computer was asleep from " + shortTime(from.addMSecs(std::max<int64_t>(awakeMs, 0)).time()) + " to " +
            shortTime(at.time());
  else
    text += QStringLiteral("the clock moved");
  // A snooze that was missed ends as a stop would: the daily time stays armed.
  if (lblHDDNsnooze == kSnoozed) {
    if (daily_) {
      lblHDDNtime = engine::alarmText(*daily_, is24());
      setStatus(engine::activatedText(lblHDDNtime), true);
    }
    lblHDDNsnooze = kUnsnoozed;
    snoozedTo_.reset();
  }
  logLine(text);
  emit alarmMissed(text);
  emit nextRingChanged();
}

void AlarmEngine::fireAlarm() {
  firing_ = true;
  dayTurnedWhileFiring_ = false;
  try {
    const QDate today = now().date();
    // The day the daily alarm rang; a snoozed alarm keeps the day it first rang.
    if (lblHDDNsnooze != kSnoozed) dailyFiredOn_ = dueOn_.isValid() ? dueOn_ : today;
    firedOn_ = today;
    const auto armedAt = platform::timeValue(lblHDDNtime);
    if (!snoozedTo_ || armedAt != snoozedTo_) daily_ = armedAt;  // not a snoozed alarm: the user's own
    // Each alert starts unsnoozed, so only its own Snooze keeps the alarm on the snooze time.
    lblHDDNsnooze = kUnsnoozed;
    if (ringer_) ringer_->raiseAlarm();
    firing_ = false;
    lateNote_.clear();

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
