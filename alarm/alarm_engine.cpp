// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm engine.
#include "alarm/alarm_engine.h"

#include <time.h>

#include <QLocale>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstdlib>

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
  quickOn_ = QDate();
  lblHDDNsnooze = false;
  snoozedTo_.reset();
  quick_ = false;
}

void AlarmEngine::arm(const QTime& time) {
  armedAnew();
  lblHDDNtime = wholeSecond(time);
  setStatus(engine::activatedText(alarmText()), true);
  setAlarmEnabled(true);
  logLine("alarm set for " + alarmText());
  stateMoved();
}

void AlarmEngine::armInMinutes(const QString& minutes) {
  const double n = minutesValue(minutes);
  armedAnew();
  quick_ = true;
  const QDateTime at = now();
  lblHDDNtime = nowPlus(at, n);
  quickOn_ = *lblHDDNtime >= wholeSecond(at.time()) ? at.date() : at.date().addDays(1);
  setAlarmEnabled(true);
  setStatus(engine::activatedText(alarmText()), true);
  logLine("alarm set for " + alarmText());
  stateMoved();
}

void AlarmEngine::deactivate() {
  lblHDDNtime.reset();
  setStatus(engine::kNotActivated, false);
  setAlarmEnabled(false);
  platform::logEvent("alarm deactivated");
  stateMoved();
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
  QDateTime next = engine::ringMoment(at.date(), *t, at.timeZone());
  const bool rangToday = !lblHDDNsnooze && dailyFiredOn_ == at.date();
  if (!Alarm.isActive() || next <= at || rangToday) next = engine::ringMoment(at.date().addDays(1), *t, at.timeZone());
  for (int day = 0; day < 7 && !ringsOn(next.date()); ++day) next = engine::ringMoment(next.date().addDays(1), *t, at.timeZone());
  return next;
}

bool AlarmEngine::ringsOn(const QDate& day) const { return lblHDDNsnooze || day == quickOn_ || days_.has(day); }

void AlarmEngine::setDays(const WeekDays& days) {
  if (days.empty() || days == days_) return;
  days_ = days;
  logLine("alarm days: " + days_.shownText());
  // Today may be a day the turn of the day passed over, and now one to ring on.
  const QDate today = now().date();
  if (armed() && !Alarm.isActive() && !firing_ && dailyFiredOn_ != today && ringsOn(today))
    setAlarmEnabled(true);
  else
    emit nextRingChanged();
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
      ringsOn(now().addSecs(2).date()) && ringer_)
    ringer_->prepareAlarm();
  // The moment checked, every few minutes (the clock set back counts as a change).
  if (armed() && (!stateAt_.isValid() || std::abs(stateAt_.secsTo(now())) >= kStateEverySeconds)) stateMoved();
}

void AlarmEngine::Clock_Timer() {
  const QDateTime at = now();
  const QString t = engine::clockText(at.time(), is24());
  emit timeShown(t);
  const auto value = platform::timeValue(t);
  // Daily re-arm: a new day, or the time of day went backwards (midnight, the clock set
  // back), on a day the alarm rings on. An alarm still rings at most once a day (see alarmDue).
  const bool newDay = lastTickAt_.isValid() && at.date() != lastTickAt_.date();
  const bool backwards = value && status_ != engine::kNotActivated && (*value < previousTick || newDay);
  if (backwards && firing_) dayTurnedWhileFiring_ = true;  // the alert is still open
  if (backwards && !Alarm.isActive() && ringsOn(at.date())) {
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
  std::optional<QDateTime> due = engine::passedAt(from, at, *armedAt);
  // The latest of them on a day the alarm rings on.
  while (due && !ringsOn(due->date())) {
    const QDateTime dayBefore = due->addDays(-1);
    due = from.isValid() && dayBefore > engine::shown(from) ? std::optional(dayBefore) : std::nullopt;
  }
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
  if (restoredFrom_.isValid() && from == restoredFrom_) {
    text += QStringLiteral("Alarm was not running at that time");
  } else if (slept) {
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
  stateMoved();
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
  quick_ = false;
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
  // Stored once the alert shows: nothing stands between the alarm's second and its alert.
  stateMoved();
}

void AlarmEngine::alertEnded(AlertEnd end) {
  if (!firing_) return;
  firing_ = false;
  lateNote_.clear();
  lblHDDNhideAlert.reset();
  if (end == AlertEnd::Snoozed && lblHDDNsnooze) {
    snoozedTo_ = lblHDDNtime;
    setAlarmEnabled(true);
    stateMoved();
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
  stateMoved();
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
  stateMoved();
}

void AlarmEngine::recordPreviousAlarm() {
  const QDate day = firedOn_.isValid() ? firedOn_ : now().date();
  if (lblHDDNtime) lblHDDNpreviousAlarm = QDateTime(day, *lblHDDNtime);
}

// ---------------------------------------------------------------------------------------
// Across an end of the program

void AlarmEngine::stateMoved() {
  stateAt_ = now();
  emit stateChanged();
}

EngineState AlarmEngine::state() const {
  EngineState s;
  if (lblHDDNtime && (lblHDDNsnooze || quick_)) {
    s.pending = lblHDDNtime;
    s.snooze = lblHDDNsnooze;
    if (lblHDDNsnooze) s.daily = daily_;
  }
  // While the check rests (the alarm rang today) the clock's last tick is what was seen.
  if (armed()) s.checkedUpTo = Alarm.isActive() || !lastTickAt_.isValid() ? alarmCheckedUpTo_ : lastTickAt_;
  if (dailyFiredOn_.isValid() && dailyTime()) {
    s.doneOn = dailyFiredOn_;
    s.doneFor = dailyTime();
  }
  return s;
}

void AlarmEngine::restore(const EngineState& kept) {
  if (kept.pending) {
    if (kept.snooze) {
      daily_ = kept.daily ? kept.daily : dailyTime();
      snoozedTo_ = kept.pending;
    } else {
      armedAnew();
      quick_ = true;
      // Due on the first day its time comes after the last check, whatever days are chosen.
      const QDateTime from = kept.checkedUpTo.isValid() ? kept.checkedUpTo.toTimeZone(now().timeZone()) : now();
      quickOn_ = *kept.pending >= wholeSecond(from.time()) ? from.date() : from.date().addDays(1);
    }
    lblHDDNtime = kept.pending;
    lblHDDNsnooze = kept.snooze;
    setStatus(engine::activatedText(alarmText()), true);
    setAlarmEnabled(true);
    logLine((kept.snooze ? "snooze" : "quick alarm") + QStringLiteral(" set again for ") + alarmText());
  }
  if (armed() && Alarm.isActive()) {
    if (kept.doneOn.isValid() && kept.doneFor == dailyTime()) dailyFiredOn_ = kept.doneOn;
    if (kept.checkedUpTo.isValid()) {
      // Looked at from where the last run stopped looking, in the zone the clock reads now.
      restoredFrom_ = alarmCheckedUpTo_ = kept.checkedUpTo.toTimeZone(now().timeZone());
      checkedAt_ = uptime_ ? uptime_() : Uptime{};
      logLine("alarm checked up to " + restoredFrom_.toString(Qt::ISODate) + " before the start");
    }
  }
  stateMoved();
  emit nextRingChanged();
}
