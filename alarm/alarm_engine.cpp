// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm engine.
#include "alarm/alarm_engine.h"

#include <time.h>

#include <QLocale>
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

// Minutes as typed, for "now plus minutes": RuntimeError 6 where no time could follow.
double minutesValue(const QString& minutes) {
  const double n = platform::vbCDbl(minutes.toStdString());
  if (!std::isfinite(n) || std::fabs(n) > 1e9) throw platform::RuntimeError(platform::err::kOverflow);
  return n;
}

void logLine(const QString& text) { platform::logEvent(text.toStdString()); }

// A time of day to the whole second, as the clock shows it.
QTime wholeSecond(const QTime& t) { return QTime(t.hour(), t.minute(), t.second()); }

// Now plus the minutes, to the whole second, round midnight.
QTime nowPlus(const QDateTime& now, double minutes) {
  return *platform::timeValue(platform::nowPlusMinutes(now, minutes, platform::kFmt24));
}

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

QString AlarmEngine::text(const std::optional<QTime>& t) const { return t ? engine::alarmText(*t, is24()) : QString(); }

QString AlarmEngine::alarmText() const { return text(lblHDDNtime); }

void AlarmEngine::armedAnew() {
  dailyFiredOn_ = QDate();
  lblHDDNsnooze = false;
  snoozedTo_.reset();
}

void AlarmEngine::arm(const QTime& time) {
  armedAnew();
  lblHDDNtime = wholeSecond(time);
  setStatus(engine::activatedText(alarmText()), true);
  setAlarmEnabled(true);
  logLine("alarm set for " + alarmText());
}

void AlarmEngine::armInMinutes(const QString& minutes) {
  const double n = minutesValue(minutes);
  armedAnew();
  lblHDDNtime = nowPlus(now(), n);
  setAlarmEnabled(true);
  setStatus(engine::activatedText(alarmText()), true);
  logLine("alarm set for " + alarmText());
}

void AlarmEngine::deactivate() {
  lblHDDNtime.reset();
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
  if (lblHDDNsnooze && daily_) return daily_;
  return lblHDDNtime;
}

std::optional<QDateTime> AlarmEngine::nextRing() const {
  const auto t = lblHDDNtime;
  if (!t) return std::nullopt;
  const QDateTime at = now();
  QDateTime next(at.date(), *t, at.timeZone());
  const bool rangToday = !lblHDDNsnooze && dailyFiredOn_ == at.date();
  if (!Alarm.isActive() || next <= at || rangToday) next = QDateTime(at.date().addDays(1), *t, at.timeZone());
  return next;
}

void AlarmEngine::followClockMode() {
  if (armed()) setStatus(engine::activatedText(alarmText()), true);
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
  if (!due && Alarm.isActive() && !firing_ && lblHDDNtime && wholeSecond(now().time().addSecs(2)) == *lblHDDNtime &&
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
    logLine("alarm re-armed for " + alarmText());
    emit nextRingChanged();
  }
  if (value) previousTick = *value;
  lastTickAt_ = at;
}

int AlarmEngine::idleTickSeconds() const {
  const QDateTime at = now();
  int wait = engine::secondsToNextIdleTick(at, alarmText(), Alarm.isActive() && armed(), is24());
  // Waking two seconds before the alarm's own second leaves time to prepare its firing.
  if (wait > 2 && Alarm.isActive() && lblHDDNtime && wholeSecond(at.time().addSecs(wait)) == *lblHDDNtime) wait -= 2;
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
  const auto armedAt = lblHDDNtime;
  if (!armedAt) return false;

  // The alarm's second among those the clock showed, or skipped, since the last check.
  const std::optional<QDateTime> due = engine::passedAt(from, at, *armedAt);
  if (!due) return false;
  const bool daily = !lblHDDNsnooze;
  if (daily && dailyFiredOn_ == due->date()) return false;  // it rang that day already

  // How late, by the clock shown, but never more than the time that really passed: an hour
  // the clock skips for daylight saving delays nothing.
  const qint64 late = from.isValid() ? std::min(due->secsTo(engine::shown(at)), from.secsTo(at)) : 0;
  lateNote_.clear();
  if (late > engine::kMaxCatchUpSeconds) {
    if (lateMinutes_ <= 0 || late > qint64{lateMinutes_} * 60) {
      if (daily) dailyFiredOn_ = due->date();
      reportMissed(from, since, due->date());
      return false;
    }
    lateNote_ = "Rang late: due at " + alarmText();
  }
  dueOn_ = due->date();
  logLine("fire: alarm " + alarmText() + (lateNote_.isEmpty() ? QString() : " (" + lateNote_ + ")"));
  return true;
}

QString AlarmEngine::shortTime(const QTime& t) const {
  return platform::formatTime(t, is24() ? QStringLiteral("hh:nn") : QStringLiteral("h:nn AM/PM"));
}

void AlarmEngine::reportMissed(const QDateTime& from, const Uptime& since, const QDate& day) {
  const QDateTime at = now();
  const Uptime up = uptime_ ? uptime_() : Uptime{};
  const int64_t awakeMs = up.monotonicMs - since.monotonicMs;
  const bool slept = (up.boottimeMs - since.boottimeMs) - awakeMs > kAsleepMs;
  // A day other than today is named, and so is the day a sleep began on.
  const auto dayText = [](const QDate& d) {
    return QLocale::system().toString(d, QStringLiteral("ddd")) + " " + platform::shortDate(d);
  };
  QString text = "Alarm " + alarmText() + (day != at.date() ? " of " + dayText(day) : QString()) + " missed: ";
  if (slept) {
    const QDateTime fellAsleep = from.addMSecs(std::max<int64_t>(awakeMs, 0));
    text += "the computer was asleep from " +
            (fellAsleep.date() != at.date() ? dayText(fellAsleep.date()) + " " : QString()) +
            shortTime(fellAsleep.time()) + " to " + shortTime(at.time());
  } else {
    text += QStringLiteral("the clock moved");
  }
  // A snooze that was missed ends as a stop would: the daily time stays armed.
  if (lblHDDNsnooze) {
    if (daily_) {
      lblHDDNtime = daily_;
      setStatus(engine::activatedText(alarmText()), true);
    }
    lblHDDNsnooze = false;
    snoozedTo_.reset();
  }
  logLine(text);
  emit alarmMissed(text);
  emit nextRingChanged();
}

void AlarmEngine::fireAlarm() {
  firing_ = true;
  dayTurnedWhileFiring_ = false;
  const QDate today = now().date();
  // The day the daily alarm rang; a snoozed alarm keeps the day it first rang.
  if (!lblHDDNsnooze) dailyFiredOn_ = dueOn_.isValid() ? dueOn_ : today;
  firedOn_ = today;
  if (!snoozedTo_ || lblHDDNtime != snoozedTo_) daily_ = lblHDDNtime;  // not a snoozed alarm: the user's own
  // Each alert starts unsnoozed, so only its own Snooze keeps the alarm on the snooze time.
  lblHDDNsnooze = false;
  // The ringer shows the alert and comes back at once; alertEnded follows when it closes.
  if (!ringer_) {
    alertEnded(AlertEnd::Stopped);
    return;
  }
  try {
    ringer_->raiseAlarm();
  } catch (const platform::RuntimeError& e) {
    // No alert came: the check goes on as it was.
    firing_ = false;
    platform::showErrorBox(e, "frmMain, Alarm_Timer");
  }
}

void AlarmEngine::alertEnded(AlertEnd end) {
  if (!firing_) return;
  firing_ = false;
  lateNote_.clear();
  lblHDDNhideAlert.reset();
  if (end == AlertEnd::Snoozed && lblHDDNsnooze) {
    snoozedTo_ = lblHDDNtime;
    setAlarmEnabled(true);
    return;
  }
  lblHDDNsnooze = false;
  // Stopped: a snoozed alarm goes back to the time the user armed, in today's clock mode.
  if (snoozedTo_ && daily_ && lblHDDNtime != daily_) {
    lblHDDNtime = daily_;
    setStatus(engine::activatedText(alarmText()), true);
    logLine("alarm back on " + alarmText());
  }
  snoozedTo_.reset();
  // An alert still open when the day turned (or the clock went back) missed the daily
  // re-arm of the clock's tick: tomorrow's alarm stays armed.
  const bool pastMidnight = dayTurnedWhileFiring_ || now().date() != dailyFiredOn_;
  setAlarmEnabled(pastMidnight);
  platform::logEvent(pastMidnight ? "alarm stopped; armed again for the new day" : "alarm stopped");
  emit alarmStopped();
}

// ---------------------------------------------------------------------------------------
// What the firing and the alert windows do

void AlarmEngine::setHideAlertIn(int minutes) { lblHDDNhideAlert = nowPlus(now(), minutes); }

void AlarmEngine::snooze(int minutes) {
  lblHDDNtime = nowPlus(now(), minutes);
  setStatus(engine::activatedText(alarmText()), true);
  lblHDDNsnooze = true;
  logLine("snooze: alarm set for " + alarmText());
}

void AlarmEngine::recordPreviousAlarm() {
  const QDate day = firedOn_.isValid() ? firedOn_ : now().date();
  if (lblHDDNtime) lblHDDNpreviousAlarm = QDateTime(day, *lblHDDNtime);
}
