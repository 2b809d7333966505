// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm engine alone on a fake clock: days of seconds in a moment, with a ringer that
// answers each alert as a user would.
#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>
#include <QTimeZone>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <random>

#include "alarm/alarm_engine.h"
#include "alarm/engine_state.h"
#include "alarm/timetext.h"
#include "platform/fake_services.h"
#include "platform/vbtime.h"

// Failures show the texts, not their bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

QDateTime at(int h, int m, int s, int day = 8) { return QDateTime(QDate(2026, 12, day), QTime(h, m, s)); }

// Records each ring's moment and answers its alert at once: by default a stop.
struct Ringer final : AlarmEngine::Ringer {
  using End = AlarmEngine::AlertEnd;
  explicit Ringer(AlarmEngine& e, const platform::FakeClockService& c) : engine(&e), clock(c) {}
  void prepareAlarm() override { ++prepared; }
  void raiseAlarm() override {
    rings << clock.now().toString(Qt::ISODate);
    engine->alertEnded(answer ? answer(rings.size()) : End::Stopped);
  }
  AlarmEngine* engine;  // the running one
  const platform::FakeClockService& clock;
  std::function<End(qsizetype ring)> answer;
  QStringList rings;
  int prepared = 0;
};

class Engine : public ::testing::Test {
 protected:
  void SetUp() override { engine.setRinger(&ringer); }
  // The clock's tick every `step` seconds from `from` up to `to`.
  void run(const QDateTime& from, const QDateTime& to, int step = 1) {
    for (QDateTime t = from; t <= to; t = t.addSecs(step)) {
      clock.current = t;
      engine.onSecond();
    }
  }

  platform::FakeServices fakes;  // the log and the error box, should the engine need them
  platform::FakeClockService clock;
  AlarmEngine engine{&clock};
  Ringer ringer{engine, clock};
};

TEST_F(Engine, AStoppedAlarmRingsOnceADayInItsSecondWhetherTheTicksComeOnTimeOrLate) {
  clock.current = at(6, 0, 0);
  engine.arm(QTime(7, 0));
  EXPECT_EQ(engine.status(), "Activated  [ 07:00:00 ]");
  run(at(6, 0, 0), at(23, 59, 59));           // each second
  run(at(0, 0, 4, 9), at(23, 59, 59, 9), 7);  // a busy machine: every seventh second
  bool twentyFour = true;
  engine.setClockMode([&] { return twentyFour; });
  twentyFour = false;
  engine.followClockMode();
  run(at(0, 0, 2, 10), at(12, 0, 0, 10));

  EXPECT_EQ(ringer.rings, QStringList({"2026-12-08T07:00:00", "2026-12-09T07:00:04", "2026-12-10T07:00:00"}));
  EXPECT_EQ(ringer.prepared, 2);  // two seconds ahead, where the ticks come every second
  EXPECT_FALSE(engine.alarmEnabled());  // until midnight
  EXPECT_EQ(engine.status(), "Activated  [ 7:00:00 AM ]");
}

TEST_F(Engine, ASnoozeRingsAgainAndItsStopGoesBackToTheDailyTimeWithTheRecordOfTheDay) {
  ringer.answer = [&](qsizetype ring) {
    engine.recordPreviousAlarm();
    if (ring != 1) return Ringer::End::Hidden;
    engine.snooze(8);
    EXPECT_EQ(engine.status(), "Activated  [ 07:08:00 ]");
    return Ringer::End::Snoozed;
  };
  clock.current = at(6, 59, 0);
  engine.arm(QTime(7, 0));
  run(at(6, 59, 0), at(23, 59, 59));
  EXPECT_EQ(engine.previousAlarm(), at(7, 8, 0));
  EXPECT_EQ(engine.status(), "Activated  [ 07:00:00 ]");
  run(at(0, 0, 0, 9), at(7, 0, 30, 9));

  EXPECT_EQ(ringer.rings, QStringList({"2026-12-08T07:00:00", "2026-12-08T07:08:00", "2026-12-09T07:00:00"}));
  EXPECT_EQ(engine.status(), "Activated  [ 07:00:00 ]");
}

TEST_F(Engine, ADeactivatedAlarmNeverRingsAndAQuickAlarmRingsInItsMinutes) {
  clock.current = at(6, 0, 0);
  engine.arm(QTime(6, 30));
  engine.deactivate();
  EXPECT_EQ(engine.status(), "Alarm not activated ...");
  run(at(6, 0, 0), at(6, 0, 0, 9), 5);
  EXPECT_TRUE(ringer.rings.isEmpty());

  engine.armInMinutes("15");
  run(at(6, 0, 0, 9), at(6, 20, 0, 9));
  EXPECT_EQ(ringer.rings, QStringList({"2026-12-09T06:15:00"}));
}

// Asleep from Friday night to Monday morning: the alarm missed is Sunday's, and the notice
// names that day and the day the sleep began (one missed today names none: the year below).
TEST_F(Engine, AnAlarmMissedOnAnotherDayIsToldWithItsDay) {
  QStringList missed;
  QObject::connect(&engine, &AlarmEngine::alarmMissed, [&](const QString& text) { missed << text; });
  int64_t boot = 0;
  engine.setUptimeSource([&] { return AlarmEngine::Uptime{0, boot}; });
  clock.current = at(22, 0, 0, 11);
  engine.arm(QTime(7, 0));
  run(at(22, 0, 0, 11), at(22, 0, 5, 11));
  boot += 56 * 3600 * 1000;
  run(at(6, 0, 5, 14), at(6, 0, 5, 14));
  const auto day = [](int d) {
    return QLocale::system().toString(QDate(2026, 12, d), "ddd ") + platform::shortDate(QDate(2026, 12, d));
  };
  EXPECT_EQ(missed, QStringList("Alarm 07:00:00 of " + day(13) + " missed: the computer was asleep from " + day(11) +
                                " 22:00 to 06:00"));
}

// On the spring day of daylight saving the clock goes from 01:59:59 to 03:00:00: an alarm in
// the hour it skips rings at 03:00:00, on time, for no time passed.
TEST_F(Engine, AnAlarmInTheHourSkippedInSpringRingsOnTimeWhenTheClockJumpsOverIt) {
  const QTimeZone berlin("Europe/Berlin");
  QStringList missed, notes;
  QObject::connect(&engine, &AlarmEngine::alarmMissed, [&](const QString& text) { missed << text; });
  ringer.answer = [&](qsizetype) {
    notes << engine.lateNote();
    return Ringer::End::Stopped;
  };
  const QDateTime before(QDate(2027, 3, 28), QTime(1, 59, 0), berlin);
  clock.current = before;
  engine.arm(QTime(2, 10));
  // The computer is woken for that moment, not an hour later nor the next day; in autumn for
  // the first of the two 02:30.
  EXPECT_EQ(engine.nextRing(), QDateTime(QDate(2027, 3, 28), QTime(3, 0), berlin));
  clock.current = QDateTime(QDate(2027, 10, 31), QTime(1, 59, 0), berlin);
  EXPECT_EQ(engine.nextRing(), QDateTime(QDate(2027, 10, 31), QTime(2, 10), QTimeZone(7200)));
  clock.current = before;
  run(before, before.addSecs(600));
  EXPECT_EQ(ringer.rings, QStringList{"2027-03-28T03:00:00+02:00"});
  EXPECT_EQ(notes, QStringList{QString()});
  EXPECT_EQ(missed, QStringList());
}

// A year of mornings in a time zone with both daylight-saving changes, for an alarm at 02:30
// (inside the skipped and the repeated hour), with suspends of random length, clock steps
// either way, and ends of the program (a new engine restored from what the last one stored,
// sometimes on a clock set back an hour) around it: each day the alarm rings once or is
// reported missed, never twice, and how is what that day's events call for. It rings on
// time unless a jump, or the time the program was not running, carried the clock over 02:30;
// then it is late by how far past 02:30 the clock reads after it, yet no more than the time
// that passed since the last check (the hour daylight saving skips delays nothing): within
// a minute that is on time, within the late window late, beyond it missed.
TEST_F(Engine, AYearOfSuspendsClockStepsRestartsAndDaylightSavingRingsEachDayOnceOrSaysItWasMissed) {
  for (const char* zoneName : {"Europe/Berlin", "America/New_York"}) {
    const QTimeZone zone(zoneName);
    ASSERT_TRUE(zone.isValid()) << zoneName;
    std::mt19937 random(20261209);
    const auto pick = [&](std::initializer_list<int64_t> v) { return *(v.begin() + random() % v.size()); };
    int64_t real = QDateTime(QDate(2027, 1, 1), QTime(12, 0), zone).toMSecsSinceEpoch();
    int64_t step = 0, mono = 0, boot = 0;
    const auto shown = [&](int64_t ms) { return QDateTime::fromMSecsSinceEpoch(ms, zone); };
    const auto show = [&] { clock.current = shown(real + step); };
    const auto callFor = [&](int64_t checked, int64_t from, int64_t to) -> QString {
      const QTime alarm(2, 30);
      if (shown(from).time() > alarm || shown(to).time() < alarm) return "rang";
      const int64_t late = std::min<int64_t>(alarm.msecsTo(shown(to).time()), to - checked) / 1000;
      if (late <= engine::kMaxCatchUpSeconds) return "rang";
      return late <= AlarmEngine::kDefaultLateMinutes * 60 ? "rang late" : "missed";
    };
    std::map<QDate, QStringList> outcomes, expected;
    int late = 0, missed = 0, restarts = 0, writes = 0, missedAway = 0, toldAway = 0;
    ringer.answer = [&](qsizetype) {
      const QDateTime t = clock.now();
      const bool isLate = !ringer.engine->lateNote().isEmpty();
      outcomes[t.date()] << (isLate ? "rang late" : "rang");
      const int secs = QTime(2, 30).secsTo(t.time());
      EXPECT_TRUE(secs >= 0 && secs <= 31 * 60) << zoneName << " rang at " << t.toString(Qt::ISODate).toStdString();
      late += isLate;
      return Ringer::End::Stopped;
    };
    // The settings, written as the main window writes them whenever the engine says so; a
    // start arms the stored 02:30 and restores what was stored.
    std::map<QString, QString> stored;
    std::unique_ptr<AlarmEngine> running;
    const auto start = [&] {
      const EngineState kept = engine::readState([&](const QString& name) {
        const auto it = stored.find(name);
        return it == stored.end() ? QStringLiteral("Error") : it->second;
      });
      running = std::make_unique<AlarmEngine>(&clock);
      AlarmEngine* e = running.get();
      e->setRinger(&ringer);
      ringer.engine = e;
      e->setUptimeSource([&] { return AlarmEngine::Uptime{mono, boot}; });
      QObject::connect(e, &AlarmEngine::alarmMissed, [&](const QString& text) {
        outcomes[clock.now().date()] << "missed";
        ++missed;
        EXPECT_TRUE(text.startsWith("Alarm 02:30:00 missed: ")) << text.toStdString();
        toldAway += text == "Alarm 02:30:00 missed: Alarm was not running at that time";
      });
      QObject::connect(e, &AlarmEngine::stateChanged, [&, e] {
        ++writes;
        for (auto& [name, value] : engine::stateValues(e->state())) stored[name] = value;
      });
      e->arm(QTime(2, 30));
      e->restore(kept);
    };
    show();
    start();
    const auto advance = [&](int64_t ms) { real += ms, mono += ms, boot += ms; };
    for (int day = 0; day < 365; ++day) {
      const QDate date = QDate(2027, 1, 2).addDays(day);
      const int64_t alarm = QDateTime(date, QTime(2, 30), zone).toMSecsSinceEpoch();
      expected[date] = QStringList{"rang"};
      // Quiet hours: a tick an hour up to 90 minutes before the alarm, then as the hidden
      // window ticks, until 90 minutes after; the clock is set right at noon.
      while (real + step < alarm - 5400000) advance(3600000), show(), running->onSecond();
      const auto event = random() % 12;
      const bool suspend = event < 2, jump = event >= 2 && event < 4, restart = event >= 4 && event < 7;
      const int64_t eventAt = restart ? alarm + pick({-1800000, -60000, -1000, 0, 1000, 60000, 1800000})
                                      : alarm - 3600000 + int64_t(random() % 7200) * 1000;
      bool done = !(suspend || jump || restart);
      while (real + step < alarm + 5400000) {
        const int64_t next = real + running->idleTickSeconds() * 1000;
        if (!done && next >= eventAt - step) {
          const int64_t checked = real + step;
          advance(std::max<int64_t>(eventAt - step - real, 0));
          const int64_t from = real + step;
          if (suspend) {  // asleep: the monotonic clock stands still
            const int64_t asleep = pick({5000, 40000, 180000, 1200000, 2700000, 10800000});
            real += asleep, boot += asleep;
            expected[date] = QStringList{callFor(checked, from, real + step)};
          } else if (jump) {
            step += pick({-3600000, -600000, -30000, 30000, 600000, 2700000});
            expected[date] = QStringList{callFor(checked, from, real + step)};
          } else {  // ended, and started again after a while: caught up from the last stored check
            ++restarts;
            const bool rang = outcomes.count(date) > 0;
            running.reset();
            advance(pick({1000, 20000, 90000, 600000, 2700000, 7200000}));
            if (random() % 2) step -= 3600000;
            const int64_t storedCheck = QDateTime::fromString(stored["AlarmCheckedUpTo"], Qt::ISODateWithMs).toMSecsSinceEpoch();
            if (!rang) expected[date] = QStringList{callFor(storedCheck, storedCheck, real + step)};
            missedAway += expected[date] == QStringList{"missed"};
            show();
            start();
          }
          done = true;
        } else {
          advance(next - real);
        }
        show();
        running->onSecond();
      }
      while (real + step < alarm + 10 * 3600000) advance(3600000), show(), running->onSecond();
      step = 0;
    }
    EXPECT_EQ(outcomes.size(), 365u) << zoneName;
    for (const auto& [date, want] : expected)
      EXPECT_EQ(outcomes[date], want) << zoneName << " " << date.toString(Qt::ISODate).toStdString();
    EXPECT_GT(late, 0) << zoneName;
    EXPECT_GT(missed, 0) << zoneName;
    EXPECT_GT(restarts, 50) << zoneName;
    EXPECT_EQ(toldAway, missedAway) << zoneName;
    EXPECT_GT(missedAway, 0) << zoneName;
    // The moment checked is stored every few minutes, not at each tick.
    EXPECT_LT(writes, 365 * 80) << zoneName;
  }
}

// A year of a Monday-to-Friday alarm at 07:00, armed on a Saturday, the clock ticking as a
// hidden window ticks and the computer now and then asleep from 06:30 to 07:10, to 08:00 or,
// on a Friday, to Saturday 07:10: a weekday rings once (late, or told missed), a Saturday or
// Sunday never rings nor is told missed, and the wake-up is for the next weekday. Then, on a
// Sunday, the day added rings that same day, and a quick alarm and its snooze ring on days
// not chosen.
TEST_F(Engine, AWeekdayAlarmRingsOnTheChosenDaysOnlyAndWakesForTheNextOfThem) {
  const QTimeZone berlin("Europe/Berlin");
  const auto moment = [&](QDate d, int h, int m) { return QDateTime(d, QTime(h, m), berlin); };
  std::map<QDate, QStringList> outcomes, expected;
  ringer.answer = [&](qsizetype) {
    outcomes[clock.now().date()] << (engine.lateNote().isEmpty() ? "rang" : "rang late");
    return Ringer::End::Stopped;
  };
  QObject::connect(&engine, &AlarmEngine::alarmMissed, [&](const QString&) { outcomes[clock.now().date()] << "missed"; });
  QDateTime t = moment(QDate(2027, 1, 2), 6, 0);
  clock.current = t;
  engine.setDays(*WeekDays::fromText("Mon,Tue,Wed,Thu,Fri"));
  engine.arm(QTime(7, 0));
  int onTime = 0;
  QDate slept;
  for (const QDateTime end = t.addDays(365); t < end;) {
    const QDate d = t.date();
    if (d != slept && t.time() >= QTime(6, 30)) {
      const auto kind = d.toJulianDay() % 6;
      const bool overnight = kind == 5 && d.dayOfWeek() == 5;  // Friday's alarm, told on Saturday
      slept = overnight ? d.addDays(1) : d;
      if (kind == 1 || kind == 3 || overnight) t = moment(slept, kind == 3 ? 8 : 7, kind == 3 ? 0 : 10);
      if (d.dayOfWeek() <= 5) expected[slept] = {kind == 3 || overnight ? "missed" : kind == 1 ? "rang late" : "rang"};
      onTime += expected[slept] == QStringList{"rang"};
    }
    clock.current = t;
    engine.onSecond();
    if (t.time() >= QTime(12, 0) && t.time() < QTime(12, 30)) {
      QDate next = d.addDays(1);
      while (next.dayOfWeek() > 5) next = next.addDays(1);
      EXPECT_EQ(engine.nextRing().value_or(QDateTime()).toString(Qt::ISODate), moment(next, 7, 0).toString(Qt::ISODate));
      // The check rests over a weekend after a Friday that rang.
      if (d.dayOfWeek() == 7 && expected[d.addDays(-2)].value(0).startsWith("rang")) {
        EXPECT_FALSE(engine.alarmEnabled()) << d.toString(Qt::ISODate).toStdString();
      }
    }
    t = t.addSecs(t.time() >= QTime(5, 30) && t.time() < QTime(8, 30) ? engine.idleTickSeconds() : 1800);
  }
  for (const auto& day : outcomes) expected[day.first];  // a day that rang, though none should
  for (const auto& [d, want] : expected) EXPECT_EQ(outcomes[d], want) << d.toString(Qt::ISODate).toStdString();
  EXPECT_EQ(ringer.prepared, onTime);

  ringer.rings.clear();
  clock.current = moment(QDate(2028, 1, 2), 6, 59);
  engine.setDays(WeekDays());
  run(clock.current, clock.current.addSecs(60));
  engine.setDays(*WeekDays::fromText("Sat"));
  clock.current = moment(QDate(2028, 1, 2), 23, 50);
  engine.armInMinutes("5");
  ringer.answer = [&](qsizetype ring) { return ring == 2 ? (engine.snooze(8), Ringer::End::Snoozed) : Ringer::End::Stopped; };
  run(clock.current, clock.current.addSecs(1200));
  EXPECT_EQ(ringer.rings,
            QStringList({"2028-01-02T07:00:00+01:00", "2028-01-02T23:55:00+01:00", "2028-01-03T00:03:00+01:00"}));
}

}  // namespace
