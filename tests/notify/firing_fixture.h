// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with the program's own parts on the offscreen platform, fake services, a
// fake mixer, scripted media graphs and settings, and a driver that acts on the alert
// window from inside its modal loop, as a user would.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <deque>
#include <functional>

#include "notify/alarm_firing.h"
#include "alarm/alarm_settings.h"
#include "audio/fake_mixer.h"
#include "audio/media_graph.h"
#include "audio/volume.h"
#include "fake_graph.h"
#include "notify/alert_window.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/second_timer.h"
#include "platform/vbtime.h"
#include "program/program_parts.h"
#include "window_fixture.h"

namespace firingtest {

using testsupport::at;

// The previous-alarm record of that day and time.
inline std::optional<QDateTime> record(int day, const QString& time) {
  return QDateTime(QDate(2026, 12, day), *platform::timeValue(time));
}

struct FakeSettings final : AlarmSettings {
  Sound sound() override { return soundChoice; }
  QString musicFile() override { return music; }
  bool repeat() override { return repeatOn; }
  bool unmute() override { return unmuteOn; }
  QString volumeSpeaker() override { return speaker; }
  QString volumeWave() override { return wave; }
  bool showMessage() override { return message; }
  QString messageText() override { return text; }
  bool commandOn() override { return commandActive; }
  QString commandText() override { return command; }
  void setCommandText(const QString& t) override { command = t; }
  bool commandMSDOS() override { return msdos; }
  bool previewing() override { return false; }
  QString snoozeMinutes() override { return snooze; }
  QString hideAlertMinutes() override { return hide; }
  QWidget* dialogWindow() override { return nullptr; }
  int fadeInSeconds() override { return fade; }

  Sound soundChoice = Sound::Wave;
  QString music;
  bool repeatOn = false, unmuteOn = false, message = true, commandActive = false, msdos = false;
  QString speaker = "100", wave = "100", text = "Wake up!", command, snooze = "8", hide = "15";
  int fade = 0;
};

// Every graph opened, in order; a render or run of an undecodable file fails.
struct GraphLog {
  std::deque<testsupport::GraphState> graphs;
  QStringList undecodable, unplayable;
  testsupport::GraphState cleared;
};

class Firing : public testsupport::MainWindowTest {
 protected:
  static void SetUpTestSuite() { startWindows(false); }
  void SetUp() override {
    MainWindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    audio::setVolumeModule(&volume);
    fakes.clock.current = at(6, 0, 0);
    watchdog.setInterval(10);
    QObject::connect(&watchdog, &QTimer::timeout, [this] { drive(); });
    watchdog.start();
  }
  void TearDown() override {
    watchdog.stop();
    MainWindowTest::TearDown();
    audio::setVolumeModule(nullptr);
  }

  frmMain& load() {
    auto p = std::make_unique<ProgramParts>();
    parts = p.get();
    if (!realSettings) p->setAlarmSettings(&settings);
    p->setMediaGraphFactory([this] {
      testsupport::GraphState& g = graphs.graphs.emplace_back();
      g.duration = 30.0;
      g.rate = 1;
      g.undecodable = graphs.undecodable;
      g.unplayable = graphs.unplayable;
      // A graph still held after the test cleared the log writes into a spare state.
      return std::unique_ptr<audio::MediaGraph>(std::make_unique<testsupport::FakeGraph>(
          [this, i = graphs.graphs.size() - 1]() -> testsupport::GraphState& {
            return i < graphs.graphs.size() ? graphs.graphs[i] : graphs.cleared;
          }));
    });
    return MainWindowTest::load(std::move(p));
  }
  // Arms the alarm from the fields, as typed.
  frmMain& armAt(const QString& h, const QString& m, const QString& s) {
    if (!win) load();
    return MainWindowTest::armAt(h, m, s);
  }
  // The clock's tick; an alert it opens is answered by the acts before this returns.
  void tickAt(const QDateTime& t) {
    const bool open = alert() && alert()->isVisible();
    MainWindowTest::tickAt(t);
    if (!open) untilAlertsClose();  // (a tick from inside an act: its alert is the one being answered)
  }
  // Until the alert on screen, the alarm's or a preview's, has been answered and closed.
  void untilAlertsClose() {
    QElapsedTimer waited;
    waited.start();
    while (alert() && alert()->isVisible() && waited.elapsed() < 10000)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  // One tick of the music's 100 ms repeat poll.
  void pollMusic(frmMain& w) { QMetaObject::invokeMethod(parts->firing(w).Music, "timeout", Qt::DirectConnection); }
  // The music's repeat poll.
  QTimer& music() { return *parts->firing(*win).Music; }
  // What to do once the next alert shows (each runs from inside its modal loop).
  void onAlert(std::function<void(AlertWindow&)> act) { acts.push_back(std::move(act)); }
  AlertWindow* alert() const { return parts ? qobject_cast<AlertWindow*>(parts->firing(*win).openAlert()) : nullptr; }
  // The hide timer's tick of the open alert at the given time.
  void hideTickAt(AlertWindow& w, const QDateTime& t) {
    fakes.clock.current = t;
    emit w.TimerMessage->timeout();
  }

  audio::FakeMixerBackend mixer = audio::FakeMixerBackend::typical();
  audio::Volume volume{mixer};
  FakeSettings settings;
  bool realSettings = false;  // read the preferences dialog's controls instead
  GraphLog graphs;
  ProgramParts* parts = nullptr;
  int alertsSeen = 0;

 private:
  // Runs the next act on a shown alert; an alert left open with nothing more to do is a
  // failure, closed so that the test ends.
  void drive() {
    AlertWindow* w = alert();
    if (!w || !w->isVisible()) {
      idleTicks_ = 0;
      return;
    }
    if (w != lastDriven_ && !acts.empty()) {
      idleTicks_ = 0;
      lastDriven_ = w;
      ++alertsSeen;
      // From a timer of its own, so that an alert opened by the act is driven too.
      QTimer::singleShot(0, w, [w, act = std::move(acts.front())] { act(*w); });
      acts.pop_front();
      return;
    }
    if (++idleTicks_ > 300) {
      ADD_FAILURE() << "an alert stayed open with nothing left to do";
      w->done(0);
    }
  }
  std::deque<std::function<void(AlertWindow&)>> acts;
  QTimer watchdog;
  QPointer<AlertWindow> lastDriven_;
  int idleTicks_ = 0;
};

}  // namespace firingtest
