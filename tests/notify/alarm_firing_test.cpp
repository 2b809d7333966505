// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm ringing through the clock's tick with the program's own parts: each sound with
// each alert window, snooze and the daily time, midnight, the music's repeat, failing
// steps, and "Exit Program after Alarm".
#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "firing_fixture.h"
#include "notify/frmAlarmFullscreen.h"
#include "notify/frmAlarmMessage.h"
#include "platform/vbtime.h"

namespace firingtest {
namespace {

using Sound = AlarmSettings::Sound;

void stopIt(AlertWindow& w) {
  if (auto* m = qobject_cast<frmAlarmMessage*>(&w))
    QTest::mouseClick(m->cmdOk, Qt::LeftButton);
  else
    QTest::keyClick(&w, Qt::Key_Escape);
}

void snoozeIt(AlertWindow& w) {
  if (auto* m = qobject_cast<frmAlarmMessage*>(&w))
    QTest::mouseClick(m->cmdSnooze, Qt::LeftButton);
  else
    QTest::keyClick(&w, Qt::Key_Space);
}

TEST_F(Firing, EachSoundRingsWithEachAlertWindowAndStopEndsTheAlarm) {
  settings().musicFile = file("wake.mp3");
  settings().volumeSpeaker = 80;
  settings().volumeWave = 60;
  settings().unmute = true;
  for (Sound sound : {Sound::Beep, Sound::Wave, Sound::Music}) {
    for (bool message : {true, false}) {
      SCOPED_TRACE(testing::Message() << "sound " << int(sound) << (message ? " message" : " full screen"));
      settings().sound = sound;
      settings().showMessage = message;
      fakes.sound = {};
      graphs.graphs.clear();
      mixer.writes.clear();
      fakes.clock.current = at(6, 0, 0);
      frmMain& w = armAt("07", "00", "00");
      QString shownText;
      bool musicPlaying = false;
      int32_t speakersRinging = -1, muteRinging = -1;
      onAlert([&](AlertWindow& a) {
        speakersRinging = mixer.value(audio::line::kSpeakers, audio::control::kVolume);
        muteRinging = mixer.value(audio::line::kSpeakers, audio::control::kMute);
        EXPECT_EQ(a.objectName(), message ? "frmAlarmMessage" : "frmAlarmFullscreen");
        EXPECT_TRUE(a.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(a.windowModality(), Qt::WindowModal);
        shownText = a.lblMessage->text();
        musicPlaying = !graphs.graphs.empty() && graphs.graphs.back().running;
        stopIt(a);
      });
      tickAt(at(6, 59, 59));
      EXPECT_EQ(alert(), nullptr);
      tickAt(at(7, 0, 0));
      EXPECT_EQ(shownText, "Wake up!");
      // The volumes come first: speakers 80 %, the mute switched off; once the alert has
      // closed, the user's full and muted speakers are back.
      EXPECT_EQ(speakersRinging, 80 * 655);  // whole hundredths of the range
      EXPECT_EQ(muteRinging, 0);
      EXPECT_EQ(mixer.value(audio::line::kSpeakers, audio::control::kVolume), 65535);
      EXPECT_EQ(mixer.value(audio::line::kSpeakers, audio::control::kMute), 1);
      EXPECT_EQ(fakes.sound.beeps.size(), sound == Sound::Beep ? 1u : 0u);
      EXPECT_EQ(fakes.sound.waves, sound == Sound::Wave ? QStringList{dir.path() + "/alarm.wav"} : QStringList{});
      if (sound == Sound::Music) {
        ASSERT_EQ(graphs.graphs.size(), 1u);
        EXPECT_EQ(graphs.graphs[0].file, settings().musicFile);
        EXPECT_TRUE(musicPlaying);
        EXPECT_FALSE(graphs.graphs[0].running);  // Stop stopped it
      }
      // Stopped: resting until midnight, the status keeps the daily alarm, the record is made.
      EXPECT_FALSE(w.engine().alarmEnabled());
      EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 07:00:00 ]");
      EXPECT_EQ(w.engine().previousAlarm(), record(8, "07:00:00"));
      EXPECT_TRUE(fakes.messageBox.boxes.empty());
    }
  }
  // The status line's tooltip tells of it.
  QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(ui<QLabel>(*win, "lblAlarm"), &move);
  EXPECT_EQ(ui<QLabel>(*win, "lblAlarm")->toolTip().section('\n', 0, 0),
            " A previous alarm was shown at: " + platform::shortDate(QDate(2026, 12, 8)) + " 07:00:00 ");
}

TEST_F(Firing, SnoozeThenStopGoesBackToTheArmedTimeAlsoAfterTheClockModeChanged) {
  frmMain& w = armAt("07", "00", "00");
  onAlert([&](AlertWindow& a) {
    fakes.clock.current = at(7, 0, 3);  // the snooze counts from the press
    snoozeIt(a);
  });
  tickAt(at(7, 0, 0));
  EXPECT_EQ(w.engine().alarmText(), "07:08:03");
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 07:08:03 ]");
  EXPECT_TRUE(w.engine().alarmEnabled());
  EXPECT_EQ(w.engine().previousAlarm(), record(8, "07:00:00"));

  // The user switches to the AM/PM clock meanwhile; the snoozed alarm follows.
  w.menuEdit_Click();
  ui<QAction>(w, "menuAMPM", 0)->setChecked(true);
  w.menuAMPM_Click(0);
  EXPECT_EQ(w.engine().alarmText(), "7:08:03 AM");
  onAlert([&](AlertWindow& a) { stopIt(a); });
  tickAt(at(7, 8, 3));
  EXPECT_EQ(alertsSeen, 2);
  EXPECT_EQ(w.engine().previousAlarm(), record(8, "7:08:03 AM"));
  EXPECT_EQ(w.engine().alarmText(), "7:00:00 AM");
  EXPECT_EQ(ui<QLabel>(w, "lblAlarm")->text(), "Activated  [ 7:00:00 AM ]");
  EXPECT_FALSE(w.engine().alarmEnabled());
  // And it is the daily time again: the next day rings at seven.
  tickAt(at(0, 0, 0, 9));
  onAlert([&](AlertWindow& a) { stopIt(a); });
  tickAt(at(7, 0, 0, 9));
  EXPECT_EQ(alertsSeen, 3);
}

TEST_F(Firing, AFullScreenSnoozeEndedByADoubleClickOrTheHideTimeIsAStop) {
  settings().showMessage = false;
  frmMain& w = armAt("07", "00", "00");
  onAlert([&](AlertWindow& a) { snoozeIt(a); });
  tickAt(at(7, 0, 0));
  EXPECT_EQ(w.engine().alarmText(), "07:08:00");
  onAlert([&](AlertWindow& a) {
    EXPECT_EQ(w.engine().hideAlertTime(), QTime(7, 23));
    QTest::mouseDClick(a.lblMessage, Qt::LeftButton);
  });
  tickAt(at(7, 8, 0));
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_EQ(w.engine().alarmText(), "07:00:00");

  // Snoozed again the next day, then left alone: it hides itself 15 minutes later.
  tickAt(at(0, 0, 0, 9));
  onAlert([&](AlertWindow& a) { snoozeIt(a); });
  tickAt(at(7, 0, 0, 9));
  onAlert([&](AlertWindow& a) {
    hideTickAt(a, at(7, 22, 59, 9));
    EXPECT_TRUE(a.isVisible());
    hideTickAt(a, at(9, 40, 0, 9));  // woken from a suspend long after 07:23:00: it hides
  });
  tickAt(at(7, 8, 0, 9));
  EXPECT_EQ(alertsSeen, 4);
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_EQ(w.engine().alarmText(), "07:00:00");
}

TEST_F(Firing, AnAlertOpenAtMidnightLeavesTomorrowsAlarmArmedAndRecordsTheDayItRang) {
  frmMain& w = armAt("23", "59", "30");
  onAlert([&](AlertWindow& a) {
    tickAt(at(23, 59, 59));
    tickAt(at(0, 0, 0, 9));  // the daily re-arm's second passes while the alert shows
    fakes.clock.current = at(0, 2, 0, 9);
    stopIt(a);
  });
  tickAt(at(23, 59, 30));
  EXPECT_EQ(w.engine().previousAlarm(), record(8, "23:59:30"));
  EXPECT_TRUE(w.engine().alarmEnabled());
  onAlert([&](AlertWindow& a) { stopIt(a); });
  tickAt(at(23, 59, 30, 9));
  EXPECT_EQ(alertsSeen, 2);

  // A snooze across midnight: the stop after it also keeps the new day's alarm.
  tickAt(at(0, 0, 0, 10));
  onAlert([&](AlertWindow& a) { snoozeIt(a); });
  tickAt(at(23, 59, 30, 10));
  EXPECT_EQ(w.engine().alarmText(), "00:07:30");
  tickAt(at(0, 0, 0, 11));
  onAlert([&](AlertWindow& a) { stopIt(a); });
  tickAt(at(0, 7, 30, 11));
  EXPECT_EQ(w.engine().alarmText(), "23:59:30");
  EXPECT_TRUE(w.engine().alarmEnabled());
}

TEST_F(Firing, AnAlarmSkippedByAJumpOfTheClockRingsOnlyWithinTheStoredLateMinutesAndNeverWithZero) {
  put("LateMinutes", "0");  // never late: a jump of a minute and a half over the alarm misses it
  settings() = loadAlarmSettings();
  armAt("07", "00", "00");
  tickAt(at(7, 1, 30));
  EXPECT_EQ(alertsSeen, 0);
  EXPECT_EQ(fakes.tray.messages, QStringList{"Alarm missed: Alarm 07:00:00 missed: the clock moved"});
}

TEST_F(Firing, ExitAfterAlarmEndsTheProgramOnStopAndNotOnSnooze) {
  frmMain& w = armAt("07", "00", "00");
  ui<QAction>(w, "menuAutoQuit")->setChecked(true);
  onAlert([&](AlertWindow& a) { snoozeIt(a); });
  tickAt(at(7, 0, 0));
  EXPECT_FALSE(w.isUnloaded());
  onAlert([&](AlertWindow& a) { stopIt(a); });
  tickAt(at(7, 8, 0));
  EXPECT_TRUE(w.isUnloaded());
  EXPECT_TRUE(fakes.messageBox.boxes.empty());  // no quit question after an alarm
}

TEST_F(Firing, MusicRepeatsAtItsEndUntilTheAlertClosesAndPlaysOnceWithoutRepeat) {
  settings().sound = Sound::Music;
  settings().musicFile = file("song.ogg");
  settings().repeat = true;
  frmMain& w = armAt("07", "00", "00");
  onAlert([&](AlertWindow& a) {
    EXPECT_TRUE(music().isActive());
    auto& g = graphs.graphs.back();
    g.position = 12.0;
    pollMusic(w);
    EXPECT_EQ(g.runs, 1);
    g.position = 30.0;  // at its end: it starts again from the beginning
    pollMusic(w);
    EXPECT_EQ(g.runs, 2);
    EXPECT_EQ(g.position, 0.0);
    snoozeIt(a);
  });
  tickAt(at(7, 0, 0));
  EXPECT_FALSE(music().isActive());  // the poll ends with the alert, snoozed or not
  EXPECT_FALSE(graphs.graphs.back().running);

  settings().repeat = false;
  onAlert([&](AlertWindow& a) {
    EXPECT_FALSE(music().isActive());
    stopIt(a);
  });
  tickAt(at(7, 8, 0));
  EXPECT_EQ(alertsSeen, 2);
  EXPECT_EQ(graphs.graphs.back().runs, 1);
}

TEST_F(Firing, MusicThatIsMissingOrCannotPlayGivesWayToTheAlarmSoundAndSaysWhy) {
  settings().sound = Sound::Music;
  settings().repeat = true;
  const QString wav = dir.path() + "/alarm.wav";
  struct Case {
    QString file;
    bool exists;
    QString title;
  } cases[] = {{dir.path() + "/moved.mp3", false, "You moved it didn't you..."},
               {dir.path() + "/broken.mp3", true, "DS_Play - Oops"},
               {dir.path() + "/renders-but-will-not-play.mp3", true, "DS_Play - Oops"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    settings().musicFile = c.file;
    if (c.exists) QFile(c.file).open(QIODevice::WriteOnly);
    (c.file.contains("will-not-play") ? graphs.unplayable : graphs.undecodable) = QStringList{c.file};
    graphs.graphs.clear();
    fakes.messageBox.boxes.clear();
    fakes.clock.current = at(6, 0, 0);
    frmMain& w = armAt("07", "00", "00");
    onAlert([&](AlertWindow& a) {
      // alarm.wav plays through the player, repeating while Repeat is on.
      ASSERT_FALSE(graphs.graphs.empty());
      auto& g = graphs.graphs.back();
      EXPECT_EQ(g.file, wav);
      EXPECT_TRUE(g.running);
      EXPECT_TRUE(music().isActive());
      g.position = g.duration;
      pollMusic(w);
      EXPECT_EQ(g.runs, 2);
      stopIt(a);
    });
    tickAt(at(7, 0, 0));
    ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
    EXPECT_FALSE(fakes.messageBox.boxes[0].blocking);  // told beside the alert, never before it
    EXPECT_EQ(fakes.messageBox.boxes[0].title, c.title);
    EXPECT_TRUE(fakes.messageBox.boxes[0].prompt.contains(c.file));
    EXPECT_TRUE(fakes.messageBox.boxes[0].prompt.endsWith("Alarm plays its own sound instead."));
  }
  // Each ring tells it, and its box replaces the one the ring before left open.
  settings().musicFile = dir.path() + "/moved.mp3";
  fakes.messageBox.boxes.clear();
  fakes.clock.current = at(6, 0, 0);
  armAt("07", "00", "00");
  onAlert([&](AlertWindow& a) { snoozeIt(a); });
  tickAt(at(7, 0, 0));
  onAlert([&](AlertWindow& a) { stopIt(a); });
  tickAt(at(7, 8, 0));
  EXPECT_EQ(fakes.messageBox.boxes.size(), 2u);
  EXPECT_EQ(fakes.messageBox.noticesOpen(), 1);

  // A piece without a length never restarts: no box every 100 ms.
  settings().musicFile = dir.path() + "/broken.mp3";
  graphs.undecodable.clear();
  fakes.messageBox.boxes.clear();
  fakes.clock.current = at(6, 0, 0);
  frmMain& w = armAt("07", "00", "00");
  onAlert([&](AlertWindow& a) {
    auto& g = graphs.graphs.back();
    g.duration = g.position = 0;
    for (int i = 0; i < 5; ++i) pollMusic(w);
    EXPECT_EQ(g.runs, 1);
    stopIt(a);
  });
  tickAt(at(7, 0, 0));
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

TEST_F(Firing, AFadeInStartsSilentRisesAndEndsAtOnceWhenTheAlertClosesAndASnoozedRingFadesAgain) {
  settings().fadeInSeconds = 1;
  settings().sound = Sound::Music;
  settings().musicFile = file("wake.mp3");
  armAt("07", "00", "00");
  std::vector<int32_t> music;  // the music's own volume as each alert shows, a second later, once snoozed
  onAlert([&](AlertWindow& a) {
    music.push_back(graphs.graphs.back().volume);
    snoozeIt(a);
  });
  tickAt(at(7, 0, 0));
  music.push_back(graphs.graphs.back().volume);
  onAlert([&](AlertWindow& a) {
    music.push_back(graphs.graphs.back().volume);
    QTest::qWait(1300);
    music.push_back(graphs.graphs.back().volume);
    snoozeIt(a);
  });
  tickAt(at(7, 8, 0));
  EXPECT_EQ(music, (std::vector<int32_t>{-10000, 0, -10000, 0}));

  // The wave sound, still quiet, has played again; Stop puts it at full.
  settings().fadeInSeconds = 60;
  settings().sound = Sound::Wave;
  onAlert([&](AlertWindow& a) {
    QTest::qWait(300);
    EXPECT_LT(fakes.sound.waveVolume, 0.01f);
    EXPECT_GE(fakes.sound.waves.size(), 2);
    stopIt(a);
  });
  tickAt(at(7, 16, 0));
  EXPECT_EQ(fakes.sound.waveVolume, 1);
}

TEST_F(Firing, FailingStepsAreReportedAndTheAlertStillShows) {
  settings().commandOn = true;
  settings().commandMSDOS = true;
  settings().commandText = "  ;rm -rf ~  ";
  fakes.process.fail = true;
  settings().messageText = QString(10000, QChar('z'));
  settings().sound = Sound::Music;
  settings().musicFile = dir.path() + "/" + QString(300, QChar('m')) + ".mp3";  // never there
  put("Font", "No Such Font At All");
  bool shown = false;
  armAt("07", "00", "00");
  onAlert([&](AlertWindow& a) {
    shown = true;
    EXPECT_EQ(a.lblMessage->text().size(), 10000);
    EXPECT_EQ(a.lblMessage->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0xFF));  // the blue LED's cyan
    stopIt(a);
  });
  tickAt(at(7, 0, 0));
  EXPECT_TRUE(shown);
  // The command that cannot start is named, with what failed, not as an error of the program.
  EXPECT_TRUE(boxesTitled("Error").empty());
  const auto command = boxesTitled("Command Error");
  ASSERT_EQ(command.size(), 1u);
  EXPECT_EQ(command[0].prompt,
            "Alarm could not start the command:\r\n;rm -rf ~\r\n(no program of that name was found that could run)");
  EXPECT_EQ(command[0].flags, platform::mb::kExclamation);
  EXPECT_EQ(settings().commandText, ";rm -rf ~");  // trimmed in the settings
  EXPECT_EQ(boxesTitled("You moved it didn't you...").size(), 1u);
  for (const auto& box : fakes.messageBox.boxes) EXPECT_FALSE(box.blocking) << "nothing waits before the alert";
  ASSERT_EQ(graphs.graphs.size(), 1u);  // alarm.wav rang instead
  EXPECT_EQ(graphs.graphs[0].file, dir.path() + "/alarm.wav");

  // The console way hands the text to the program as typed; an empty command is skipped.
  fakes.process.fail = false;
  settings().sound = Sound::Wave;
  fakes.messageBox.boxes.clear();
  // The clock jumps ten minutes past the alarm: it rings late and says so.
  onAlert([&](AlertWindow& a) {
    EXPECT_TRUE(a.lblMessage->text().endsWith("\nRang late: due at 07:00:00"));
    stopIt(a);
  });
  tickAt(at(0, 0, 0, 9));
  tickAt(at(7, 10, 0, 9));
  EXPECT_EQ(fakes.process.started, QStringList{";rm -rf ~"});
  settings().commandText = "   ";
  onAlert([&](AlertWindow& a) { stopIt(a); });
  tickAt(at(0, 0, 0, 10));
  tickAt(at(7, 0, 0, 10));
  EXPECT_EQ(alertsSeen, 3);
  EXPECT_EQ(fakes.process.started.size(), 1);
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

}  // namespace
}  // namespace firingtest
