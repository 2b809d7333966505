// SPDX-License-Identifier: GPL-3.0-or-later
// Play, Stop and Preview in the preferences dialog of the running program: the music once
// through the main window's player, and the whole alarm rehearsed without arming anything.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "../notify/firing_fixture.h"
#include "notify/frmAlarmMessage.h"
#include "prefs/frmPrefs.h"
#include "prefs/prefs_holder.h"

namespace firingtest {
namespace {

class PrefsSound : public Firing {
 protected:
  void SetUp() override {
    realSettings = true;
    Firing::SetUp();
  }
  // Opens the preferences with the main window's Prefs button and runs the steps inside.
  void inPrefs(const std::function<void(frmPrefs&)>& steps) {
    const auto inside = [&]() -> QDialog* {
      frmPrefs& p = static_cast<PrefsHolder&>(parts->settings()).prefs();
      steps(p);
      return &p;
    };
    testsupport::whileModal(win.get(), inside, [&] { win->cmdPrefs->click(); });
  }
  QString musicFile() {
    const QString path = file("song.ogg");
    put("PlayMusic", "True");
    put("PlaySound", "False");
    put("PlayMusicFile", path);
    put("Repeat", "1");
    return path;
  }
};

TEST_F(PrefsSound, PlayPlaysTheMusicOnceStopStopsItAndAMovedFileIsReported) {
  const QString song = musicFile();
  load();
  inPrefs([&](frmPrefs& p) {
    ASSERT_TRUE(p.cmdPlay->isEnabled());
    QTest::mouseClick(p.cmdPlay, Qt::LeftButton);
    ASSERT_EQ(graphs.graphs.size(), 1u);
    EXPECT_EQ(graphs.graphs[0].file, song);
    EXPECT_TRUE(graphs.graphs[0].running);
    EXPECT_FALSE(music().isActive());  // Repeat is for the alarm only
    EXPECT_FALSE(mixer.writes.empty());     // the alarm volumes first
    QTest::mouseClick(p.cmdStop, Qt::LeftButton);
    EXPECT_FALSE(graphs.graphs[0].running);

    QFile::remove(song);
    QTest::mouseClick(p.cmdPlay, Qt::LeftButton);
    EXPECT_EQ(graphs.graphs.size(), 1u);
  });
  expectOneBox("You moved it didn't you...",
               "A previous selected sound file was not found.\r\nPlease select a sound file to play.");
}

TEST_F(PrefsSound, WithoutAMusicFilePlayAndPreviewSaySoAndThePreviewMarkStays) {
  put("PlayMusic", "True");
  load();
  inPrefs([&](frmPrefs& p) {
    QTest::mouseClick(p.cmdPlay, Qt::LeftButton);
    QTest::mouseClick(p.cmdPreview, Qt::LeftButton);
    EXPECT_EQ(p.lblHDDNpreview, "Preview!");
  });
  ASSERT_EQ(fakes.messageBox.boxes.size(), 2u);
  EXPECT_EQ(fakes.messageBox.boxes[0].title, "Going Deaf for a Living");
  EXPECT_EQ(fakes.messageBox.boxes[1].title, "Play dumb");
  EXPECT_EQ(fakes.messageBox.boxes[1].prompt,
            "You selected \"Play Music\" but there is no sound file to play...\r\nPlease correct your settings... ");
  EXPECT_EQ(alertsSeen, 0);
}

TEST_F(PrefsSound, PreviewRehearsesTheAlarmOverTheDialogWithoutArmingOrRecording) {
  const QString song = musicFile();
  frmMain& w = load();
  onAlert([&](AlertWindow& a) {
    auto& m = static_cast<frmAlarmMessage&>(a);
    EXPECT_TRUE(m.isPreview());
    EXPECT_EQ(m.parentWidget(), static_cast<PrefsHolder&>(parts->settings()).prefs().window());
    EXPECT_FALSE(m.cmdSnooze->isEnabled());
    ASSERT_EQ(graphs.graphs.size(), 1u);
    EXPECT_TRUE(graphs.graphs[0].running);
    EXPECT_FALSE(music().isActive());  // a preview plays the music once
    QTest::mouseClick(m.cmdOk, Qt::LeftButton);
  });
  onAlert([&](AlertWindow& a) {
    EXPECT_EQ(a.objectName(), "frmAlarmFullscreen");
    QTest::keyClick(&a, Qt::Key_Space);
  });
  inPrefs([&](frmPrefs& p) {
    QTest::mouseClick(p.cmdPreview, Qt::LeftButton);
    EXPECT_EQ(p.lblHDDNpreview, "Preview!");
    EXPECT_FALSE(graphs.graphs[0].running);  // Stop stopped it
    p.optFullscreen->setChecked(true);
    QTest::mouseClick(p.cmdPreview, Qt::LeftButton);
  });
  EXPECT_EQ(alertsSeen, 2);
  EXPECT_EQ(w.engine().lblHDDNpreviousAlarm, "lblHDDNpreviousAlarm");
  EXPECT_EQ(w.engine().lblHDDNtime, "lblHDDNtime");
  EXPECT_FALSE(w.engine().alarmEnabled());
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

}  // namespace
}  // namespace firingtest
