// The alarm engine alone on a fake clock: days of seconds in a moment, with a ringer that
// answers each alert as a user would.
#include <gtest/gtest.h>

#include <QStringList>
#include <functional>
#include <ostream>

#include "alarm/alarm_engine.h"
#include "platform/fake_services.h"

// Failures show the texts, not their bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

QDateTime at(int h, int m, int s, int day = 8) { return QDateTime(QDate(2026, 12, day), QTime(h, m, s)); }

// Records each ring's moment and answers it: by default a stop.
struct Ringer final : AlarmEngine::Ringer {
  explicit Ringer(AlarmEngine& e, const platform::FakeClockService& c) : engine(e), clock(c) {}
  void prepareAlarm() override { ++prepared; }
  void raiseAlarm() override {
    rings << clock.now().toString(Qt::ISODate);
    if (answer) answer(rings.size());
  }
  AlarmEngine& engine;
  const platform::FakeClockService& clock;
  std::function<void(qsizetype ring)> answer;
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
  engine.arm("07:00:00");
  EXPECT_EQ(engine.status(), "Activated  [ 07:00:00 ]");
  run(at(6, 0, 0), at(23, 59, 59));           // each second
  run(at(0, 0, 4, 9), at(23, 59, 59, 9), 7);  // a busy machine: every seventh second
  bool twentyFour = true;
  engine.setClockMode([&] { return twentyFour; });
  twentyFour = false;
  engine.followClockMode();
  EXPECT_EQ(engine.lblHDDNtime, "7:00:00 AM");
  run(at(0, 0, 2, 10), at(12, 0, 0, 10));

  EXPECT_EQ(ringer.rings, QStringList({"2026-12-08T07:00:00", "2026-12-09T07:00:04", "2026-12-10T07:00:00"}));
  EXPECT_EQ(ringer.prepared, 2);  // two seconds ahead, where the ticks come every second
  EXPECT_FALSE(engine.alarmEnabled());  // until midnight
  EXPECT_EQ(engine.status(), "Activated  [ 7:00:00 AM ]");
}

TEST_F(Engine, ASnoozeRingsAgainAndItsStopGoesBackToTheDailyTimeWithTheRecordOfTheDay) {
  ringer.answer = [&](qsizetype ring) {
    if (ring == 1) engine.snooze(8);
    engine.recordPreviousAlarm();
  };
  clock.current = at(6, 59, 0);
  engine.arm("07:00:00");
  run(at(6, 59, 0), at(23, 59, 59));
  EXPECT_EQ(engine.lblHDDNpreviousAlarm.section(' ', -1), "07:08:00");
  run(at(0, 0, 0, 9), at(7, 0, 30, 9));

  EXPECT_EQ(ringer.rings, QStringList({"2026-12-08T07:00:00", "2026-12-08T07:08:00", "2026-12-09T07:00:00"}));
  EXPECT_EQ(engine.lblHDDNtime, "07:00:00");
  EXPECT_EQ(engine.lblHDDNsnooze, "lblHDDNsnooze");
}

TEST_F(Engine, ADeactivatedAlarmNeverRingsAndAQuickAlarmRingsInItsMinutes) {
  clock.current = at(6, 0, 0);
  engine.arm("06:30:00");
  engine.deactivate();
  EXPECT_EQ(engine.status(), "Alarm not activated ...");
  run(at(6, 0, 0), at(6, 0, 0, 9), 5);
  EXPECT_TRUE(ringer.rings.isEmpty());

  engine.armInMinutes("15");
  run(at(6, 0, 0, 9), at(6, 20, 0, 9));
  EXPECT_EQ(ringer.rings, QStringList({"2026-12-09T06:15:00"}));
}

}  // namespace
