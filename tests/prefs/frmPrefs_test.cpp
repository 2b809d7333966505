// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences dialog on the offscreen platform with fake services, a fake mixer and
// scripted file and font dialogs: the first start, the stored settings both ways, Done's
// checks, the frame close, staying modal, the volumes, damaged settings, the music and
// font choices, the command frame and the interval links.
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QDir>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "audio/fake_mixer.h"
#include "audio/shell_wait.h"
#include "audio/volume.h"
#include "notify/interval_dialog.h"
#include "platform/errors.h"
#include "platform/services_qt.h"
#include "prefs/frmPrefs.h"
#include "prefs/pickers.h"
#include "prefs/prefs_holder.h"
#include "prefs/prefs_host.h"
#include "window_fixture.h"

namespace {

using audio::FakeMixerBackend;
namespace line = audio::line;
namespace control = audio::control;

class ScriptedPickers final : public prefs::Pickers {
 public:
  QString openFile(QWidget*, const QString& title, const QString& filter) override {
    titles << title;
    filters << filter;
    return file;
  }
  std::optional<QString> chooseFont(QWidget*, const QString& title, const QFont&) override {
    titles << title;
    return face;
  }
  QString file;                 // "" answers Cancel
  std::optional<QString> face;  // nothing answers Cancel
  QStringList titles, filters;
};

// A volume program that ends at once (or cannot be found).
class EndingProgram final : public audio::RunningProgram {
 public:
  bool hasExited() const override { return true; }
};
class VolumeLauncher final : public audio::ProgramLauncher {
 public:
  std::unique_ptr<audio::RunningProgram> start(const QString& commandLine) override {
    if (fail) throw platform::RuntimeError(platform::err::kFileNotFound);
    started << commandLine;
    if (onStart) onStart();
    return std::make_unique<EndingProgram>();
  }
  QStringList started;
  bool fail = false;
  std::function<void()> onStart;
};

class CountingParts final : public PrefsHost {
 public:
  AlarmSettings& settings() override {
    if (!value) value = loadAlarmSettings();
    return *value;
  }
  void stopPlayer() override { ++stops; }
  std::optional<AlarmSettings> value;
  int stops = 0;
};

class Preferences : public testsupport::SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    audio::setVolumeModule(&volume);
    audio::setProgramLauncher(&launcher);
    prefs::setPickers(&pickers);
    owner.resize(200, 100);
    owner.show();
  }
  void TearDown() override {
    holder.reset();
    prefs::setPickers(nullptr);
    audio::setProgramLauncher(nullptr);
    audio::setVolumeModule(nullptr);
    SettingsTest::TearDown();
  }
  frmPrefs& dialog() { return holder->prefs(); }
  std::vector<QString> titles() const {
    std::vector<QString> t;
    for (const auto& b : fakes.messageBox.boxes) t.push_back(b.title);
    return t;
  }

  // Opens the preferences as the main window does and runs the steps inside the dialog's
  // own modal loop; records whether they left it open (then it is closed by Done's hide).
  void whileOpen(const std::function<void(frmPrefs&)>& steps) {
    const auto inside = [&]() -> QDialog* {
      frmPrefs& p = dialog();
      steps(p);
      return &p;
    };
    leftOpen = testsupport::whileModal(&owner, inside, [&] { holder->showPrefs(owner); });
  }
  void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

  FakeMixerBackend mixer = FakeMixerBackend::typical();
  audio::Volume volume{mixer};
  VolumeLauncher launcher;
  ScriptedPickers pickers;
  CountingParts parts;
  QWidget owner;
  std::unique_ptr<PrefsHolder> holder = std::make_unique<PrefsHolder>(parts);
  bool leftOpen = false;
};

const QString kNoMusic = QStringLiteral("No music loaded...");

TEST_F(Preferences, AFirstStartReadsTheDesignedDefaultsAndAppliesFullVolume) {
  EXPECT_FALSE(holder->prefsVisible());
  EXPECT_EQ(mixer.opens, 0);  // asking did not load the dialog
  EXPECT_EQ(parts.settings(), AlarmSettings{});  // the program runs with the defaults (8 and 15 minutes among them)
  frmPrefs& p = dialog();  // created and loaded, hidden
  EXPECT_FALSE(holder->prefsVisible());
  EXPECT_TRUE(p.optSound->isChecked() && p.optMessage->isChecked());
  EXPECT_EQ(p.txtMessage->text(), "Alarm!!!");
  EXPECT_FALSE(p.chkRepeat->isChecked() || p.chkUnmute->isChecked() || p.chkCommand->isChecked() || p.chkMSDOS->isChecked());
  EXPECT_EQ(p.txtCommand->text(), "");
  EXPECT_EQ(p.lblTrack->text(), kNoMusic);
  EXPECT_FALSE(p.cmdLoadMusic->isEnabled() || p.chkRepeat->isEnabled() || p.cmdPlay->isEnabled() || p.cmdStop->isEnabled());
  EXPECT_FALSE(p.txtCommand->isEnabled() || p.cmdTestCommand->isEnabled() || p.chkMSDOS->isEnabled());
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 65500);
  EXPECT_EQ(mixer.value(line::kWaveOut, control::kVolume), 65500);
  EXPECT_TRUE(p.cmdDone->isDefault());
  EXPECT_EQ(p.optSound->text(), "Play sound   (alarm.wav file)");
  EXPECT_EQ(p.chkUnmute->toolTip(), " Always overide Mute setting (no mute) ");
}

TEST_F(Preferences, DoneStoresWhatTheUserChoseAndTheNextLoadRestoresIt) {
  put("PlayMusic", "True");
  put("Repeat", "1");
  const QString song = file("song.mp3");
  put("PlayMusicFile", song);
  whileOpen([&](frmPrefs& p) {
    EXPECT_TRUE(p.optMusic->isChecked());
    EXPECT_TRUE(p.chkRepeat->isChecked() && p.cmdLoadMusic->isEnabled());
    EXPECT_EQ(p.lblTrack->text(), "song.mp3");
    click(p.optFullscreen);
    p.txtMessage->selectAll();
    QTest::keyClicks(p.txtMessage, "Wake up");
    click(p.chkCommand);
    EXPECT_TRUE(p.txtCommand->isEnabled());
    QTest::keyClicks(p.txtCommand, "xdg-open /tmp");
    click(p.chkUnmute);
    auto* fade = p.findChild<QSpinBox*>(QStringLiteral("spnFadeIn"));
    fade->setFocus();
    fade->selectAll();
    QTest::keyClicks(fade, "450");  // more than the longest fade: the box keeps what fits
    QTest::keyClick(p.cmdStop, Qt::Key_Return);  // a focused button takes Enter
    EXPECT_EQ(parts.stops, 1);
    click(p.optBeep);  // greys the music controls and stops the player
    EXPECT_FALSE(p.cmdLoadMusic->isEnabled());
    EXPECT_EQ(parts.stops, 2);
    QTest::keyClick(p.txtMessage, Qt::Key_Return);  // Enter presses Done
  });
  EXPECT_FALSE(leftOpen);
  EXPECT_EQ(stored("ShowMessage"), "False");
  EXPECT_EQ(stored("ShowFullscreen"), "True");
  EXPECT_EQ(stored("Beep"), "True");
  EXPECT_EQ(stored("PlayMusic"), "False");
  EXPECT_EQ(stored("PlayMusicFile"), song);
  EXPECT_EQ(stored("Repeat"), "1");
  EXPECT_EQ(stored("Message"), "Wake up");
  EXPECT_EQ(stored("TriggerCommand"), "1");
  EXPECT_EQ(stored("Command"), "xdg-open /tmp");
  EXPECT_EQ(stored("CommandMSDOS"), "0");  // its own box, not Activate's
  EXPECT_EQ(stored("VolumeForceUnmute"), "1");
  EXPECT_EQ(stored("FadeInSeconds"), "45");
  EXPECT_EQ(parts.stops, 3);  // Done stops the player too
  EXPECT_EQ(parts.settings().messageText, "Wake up");  // the program runs with them at once

  const AlarmSettings next = loadAlarmSettings();
  EXPECT_EQ(next.sound, AlarmSettings::Sound::Beep);
  EXPECT_FALSE(next.showMessage);
  EXPECT_EQ(next.messageText, "Wake up");
  EXPECT_TRUE(next.commandOn && !next.commandMSDOS && next.unmute);
  EXPECT_FALSE(next.repeat);  // Repeat is read only while music is the sound
  EXPECT_EQ(next.musicFile, song);
  EXPECT_EQ(next.fadeInSeconds, 45);
}

TEST_F(Preferences, EverySettingSavedLoadsBackAsItWas) {
  // Each setting other than its default, so that one left unsaved shows.
  const AlarmSettings s{.sound = AlarmSettings::Sound::Music, .musicFile = "/music/wake up.ogg", .repeat = true,
                        .unmute = true, .volumeSpeaker = 35, .volumeWave = 0, .showMessage = false,
                        .messageText = "Up, the bus leaves at eight", .font = "DejaVu Serif", .commandOn = true,
                        .commandText = "notify-send up", .commandMSDOS = true, .snoozeMinutes = 1439,
                        .hideAlertMinutes = 1, .lateMinutes = 0, .fadeInSeconds = 45};
  savePrefsSettings(s);
  saveAlarmVolumes(s);
  saveFont(s.font);
  saveSnoozeMinutes(s.snoozeMinutes);
  saveHideAlertMinutes(s.hideAlertMinutes);
  saveLateMinutes(s.lateMinutes);
  EXPECT_TRUE(loadAlarmSettings() == s);
}

TEST_F(Preferences, DoneRefusesMusicWithoutAFileAMovedFileAndAnEmptyCommandButHasStoredEverything) {
  whileOpen([&](frmPrefs& p) {
    click(p.optMusic);
    click(p.cmdDone);
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(stored("PlayMusic"), "True");
    EXPECT_EQ(p.focusWidget(), p.cmdLoadMusic);

    pickers.file = file("gone.ogg");
    click(p.cmdLoadMusic);
    QFile::remove(pickers.file);
    click(p.cmdDone);
    EXPECT_TRUE(p.isVisible());

    pickers.file = file("here.ogg");
    click(p.cmdLoadMusic);
    click(p.chkCommand);
    QTest::keyClicks(p.txtCommand, "   ");  // blanks alone are no command
    click(p.cmdDone);
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(stored("TriggerCommand"), "1");
    click(p.chkMSDOS);
    click(p.chkCommand);
    click(p.cmdDone);
  });
  EXPECT_EQ(stored("TriggerCommand") + stored("CommandMSDOS"), "01");
  EXPECT_FALSE(leftOpen);
  EXPECT_EQ(titles(), (std::vector<QString>{"Play dumb", "Oops...", "Oops..."}));
  const auto& b = fakes.messageBox.boxes;
  EXPECT_EQ(b[0].prompt, "You selected \"Play Music\" but there is no sound file to play...\r\nPlease correct your settings... ");
  EXPECT_EQ(b[0].flags, platform::mb::kExclamation);
  EXPECT_EQ(b[1].prompt, "A previous selected audio file was not found.\r\nPlease use the \"Load Music\" button to correct this problem.");
  EXPECT_EQ(b[2].prompt,
            "You have not entered a command string.\r\nPlease unmark the \"Activate\" box under Alarm/Command or enter a "
            "command to correct this.");
  EXPECT_EQ(stored("PlayMusicFile"), dir.path() + "/here.ogg");
}

TEST_F(Preferences, EscDoesNothingAndTheFrameCloseForgetsUnsavedEditsAndLoadsAgain) {
  whileOpen([&](frmPrefs& p) {
    p.txtMessage->selectAll();
    QTest::keyClicks(p.txtMessage, "Not kept");
    QTest::keyClick(p.txtMessage, Qt::Key_Escape);
    EXPECT_TRUE(p.isVisible());
    p.close();
  });
  EXPECT_FALSE(leftOpen);
  EXPECT_FALSE(holder->prefsVisible());
  EXPECT_EQ(stored("Message"), "Error");
  EXPECT_EQ(parts.settings().messageText, "Alarm!!!");
  EXPECT_EQ(dialog().txtMessage->text(), "Alarm!!!");  // a new dialog, loaded from the settings
  EXPECT_EQ(mixer.opens, 2);                           // and the load's volume step ran again
}

TEST_F(Preferences, ActivationKeepsTheDialogModalToItsOwnerOnly) {
  platform::QtWindowService realWindows;
  fakes.services.window = &realWindows;
  bool doneClicked = false;
  QTimer::singleShot(0, &owner, [&] {
    frmPrefs& p = dialog();
    EXPECT_EQ(p.windowModality(), Qt::WindowModal);
    EXPECT_EQ(p.parentWidget(), &owner);
    EXPECT_TRUE(p.windowFlags() & Qt::WindowStaysOnTopHint);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&p, &activate);
    QTimer::singleShot(20, &owner, [&] {
      EXPECT_EQ(QApplication::activeModalWidget(), &dialog());
      doneClicked = true;
      click(dialog().cmdDone);
    });
  });
  holder->showPrefs(owner);
  EXPECT_TRUE(doneClicked);  // the modal wait ended with Done, not with the activation
  if (!doneClicked) QTest::qWait(100);
}

TEST_F(Preferences, VolumesAreCapturedOnlyFromAMixerThatOpens) {
  put("VolumeSpeaker", "40");
  put("VolumeWaveOut", "60");
  mixer.devices = 0;
  whileOpen([&](frmPrefs& p) {
    click(p.cmdSetVolume);
    click(p.cmdDone);
  });
  EXPECT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(stored("VolumeSpeaker"), "40");
  EXPECT_EQ(stored("VolumeWaveOut"), "60");
  EXPECT_EQ(parts.settings().volumeSpeaker, 40);

  // With a mixer: unmute first, the program, then both volumes into the settings and the store.
  mixer.devices = 1;
  launcher.onStart = [&] {
    EXPECT_EQ(mixer.value(line::kSpeakers, control::kMute), 0);
    mixer.controls[1].value = 32750;  // the user sets the speakers to 50 %
  };
  whileOpen([&](frmPrefs& p) {
    click(p.chkUnmute);
    click(p.cmdSetVolume);
    EXPECT_EQ(stored("VolumeSpeaker"), "50");
    EXPECT_EQ(parts.settings().volumeSpeaker, 50);
    EXPECT_EQ(parts.settings().volumeWave, 100);
    mixer.controls[1].value = 65500;  // changed outside the program: Done stores it, and the alarm uses it
    click(p.cmdDone);
  });
  EXPECT_EQ(stored("VolumeSpeaker"), "100");
  EXPECT_EQ(parts.settings().volumeSpeaker, 100);
  EXPECT_EQ(stored("VolumeForceUnmute"), "1");

  launcher.fail = true;
  whileOpen([&](frmPrefs& p) { click(p.cmdSetVolume); });
  ASSERT_FALSE(fakes.messageBox.boxes.empty());
  EXPECT_EQ(fakes.messageBox.boxes.back().title, "Oops");
  EXPECT_EQ(fakes.messageBox.boxes.back().prompt, "Sorry, couldn't start the audio volume application.  ");
  EXPECT_EQ(fakes.messageBox.boxes.size(), 1u);
}

TEST_F(Preferences, DamagedStoredValuesOpenWithTheirFallbacks) {
  put("VolumeSpeaker", "1e30");
  put("VolumeWaveOut", "loud");
  put("PlayMusic", "True");
  put("PlayMusicFile", dir.path() + "/moved.mp3");
  put("Command", QString(10000, 'x'));
  put("TriggerCommand", "7");
  put("Font", "No Such Face At All");
  put("ShowMessage", "maybe");
  put("LateMinutes", "1440");
  put("Message", QString(150, 'm'));  // more than the box takes
  put("FadeInSeconds", "1e9");
  const AlarmSettings& s = parts.settings();
  EXPECT_EQ(s.volumeSpeaker, 100);
  EXPECT_EQ(s.volumeWave, 100);
  EXPECT_EQ(s.commandText, "");
  EXPECT_FALSE(s.commandOn);
  EXPECT_TRUE(s.showMessage);
  EXPECT_EQ(s.lateMinutes, 30);
  EXPECT_EQ(s.fadeInSeconds, 300);
  EXPECT_EQ(s.messageText, QString(100, 'm'));
  EXPECT_EQ(dialog().lblTrack->text(), "moved.mp3");
  EXPECT_EQ(mixer.value(line::kSpeakers, control::kVolume), 65500);
  EXPECT_EQ(dialog().txtMessage->font().family(), "No Such Face At All");
  whileOpen([&](frmPrefs& p) { click(p.cmdDone); });
  EXPECT_TRUE(leftOpen);
  EXPECT_EQ(titles(), std::vector<QString>{"Oops..."});
}

TEST_F(Preferences, LoadMusicKeepsMusicOnCancelAndRefusesAPathTheSettingsCannotKeep) {
  whileOpen([&](frmPrefs& p) {
    EXPECT_FALSE(p.cmdLoadMusic->isEnabled());
    click(p.optMusic);
    click(p.cmdLoadMusic);  // Cancel
    EXPECT_TRUE(p.optMusic->isChecked());
    EXPECT_TRUE(p.chkRepeat->isEnabled());
    EXPECT_EQ(p.lblTrack->text(), kNoMusic);

    pickers.file = "/music/" + QString(260, 'a') + ".mp3";
    click(p.cmdLoadMusic);
    EXPECT_EQ(p.lblTrack->text(), kNoMusic);
    EXPECT_EQ(p.edited().musicFile, "");

    pickers.file = file("tune.wav");
    click(p.cmdLoadMusic);
    EXPECT_EQ(p.lblTrack->text(), "tune.wav");
    QEvent hover(QEvent::Enter);
    QApplication::sendEvent(p.lblTrack, &hover);
    EXPECT_EQ(p.lblTrack->toolTip(), " " + pickers.file + " ");
    EXPECT_EQ(stored("PlayMusicFile"), "Error");  // nothing stored before Done
  });
  EXPECT_EQ(pickers.titles.first(), "Alarm - Pick your music!");
  EXPECT_EQ(prefs::nameFilters(pickers.filters.first()),
            "Audio Files (*.aiff *.avi *.mid *.mov *.mp3 *.mpg *.ogg *.wav *.wma);;All files (*)");
  EXPECT_EQ(titles(), std::vector<QString>{"Oops..."});
}

TEST_F(Preferences, TheFontIsStoredAtOnceAndCancelChangesNothing) {
  whileOpen([&](frmPrefs& p) {
    click(p.cmdFont);  // Cancel
    EXPECT_EQ(stored("Font"), "Error");
    pickers.face = "DejaVu Sans";
    click(p.cmdFont);
    EXPECT_EQ(stored("Font"), "DejaVu Sans");
    EXPECT_EQ(parts.settings().font, "DejaVu Sans");
    EXPECT_EQ(p.txtMessage->font().family(), "DejaVu Sans");
    EXPECT_EQ(p.focusWidget(), p.cmdDone);
    click(p.cmdDefaultFont);
    EXPECT_EQ(stored("Font"), "MS Sans Serif");
  });
  EXPECT_EQ(pickers.titles.first(), "Alarm - Pick your font!");
}

TEST_F(Preferences, TheCommandFrameTrimsTestsAndKeepsItsContentsWhenDeactivated) {
  whileOpen([&](frmPrefs& p) {
    click(p.chkCommand);
    QTest::keyClicks(p.txtCommand, "   ");
    click(p.cmdTestCommand);
    EXPECT_EQ(p.txtCommand->text(), "");
    EXPECT_EQ(p.txtCommand->toolTip(), " Enter your command here... ");

    QTest::keyClicks(p.txtCommand, "  notes.txt ");
    click(p.cmdTestCommand);  // opened by the desktop, as typed
    EXPECT_EQ(p.txtCommand->text(), "notes.txt");
    EXPECT_EQ(p.txtCommand->toolTip(), "notes.txt");

    click(p.chkMSDOS);
    fakes.process.fail = true;
    click(p.cmdTestCommand);

    click(p.chkCommand);
    EXPECT_FALSE(p.txtCommand->isEnabled() || p.cmdTestCommand->isEnabled() || p.chkMSDOS->isEnabled());
    EXPECT_EQ(p.txtCommand->text(), "notes.txt");
    EXPECT_TRUE(p.chkMSDOS->isChecked());

    // A pasted command longer than the settings give back whole is refused with a word,
    // never cut; the box keeps what it had.
    click(p.chkCommand);
    QApplication::clipboard()->setText(QString(300, 'c'));
    p.txtCommand->setFocus();
    QTest::keyClick(p.txtCommand, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(p.txtCommand->text(), "notes.txt");

    // Without MSDOS the whole text names a file in the program's folder: a document marked
    // executable is opened, a script runs; what cannot be started is an error, as in the
    // console mode.
    click(p.chkMSDOS);
    QFile doc(file("report 1.txt"));
    doc.setPermissions(doc.permissions() | QFile::ExeOwner);
    p.txtCommand->setText("report 1.txt");
    click(p.cmdTestCommand);
    {
      QFile script(file("wake.sh"));
      ASSERT_TRUE(script.open(QIODevice::WriteOnly));
      script.write("#!/bin/sh\n");
    }
    p.txtCommand->setText("wake.sh");
    click(p.cmdTestCommand);
    fakes.shell.fail = true;
    click(p.cmdTestCommand);
  });
  EXPECT_EQ(fakes.shell.opened, QStringList{"notes.txt"});
  EXPECT_EQ(fakes.shell.documents, QStringList{dir.path() + "/report 1.txt"});
  EXPECT_EQ(fakes.shell.ran, (QStringList{dir.path() + "/wake.sh", dir.path() + "/wake.sh"}));
  EXPECT_EQ(fakes.shell.folders, QStringList(3, dir.path()));  // run from the program's folder
  EXPECT_EQ(titles(), (std::vector<QString>{"Oops...", "Command Error", "Oops...", "Command Error"}));
  EXPECT_EQ(fakes.messageBox.boxes[1].prompt,
            "Your command generated an error.\r\nPlease check the syntax you entered into the text box, and try again. "
            "Also try your command with the MSDOS option checked/unchecked.");
  EXPECT_EQ(fakes.messageBox.boxes[2].prompt,
            "This command is too long to be remembered (more than 254 characters).\r\n"
            "Please shorten it, or put it in a script and enter the script's path.");
}

TEST_F(Preferences, AConsoleCommandReachesTheProgramWithItsArgumentsAsTypedAndNoShell) {
  platform::QtProcessService realProcesses;
  platform::DesktopShellService realShell;
  fakes.services.process = &realProcesses;
  fakes.services.shell = &realShell;
  {
    QFile f(dir.path() + "/where am i.sh");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\npwd > here.part && mv here.part here.txt\n");
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  const QString script = dir.path() + "/args.sh", out = dir.path() + "/args.txt";
  {
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$0.part\"\nmv \"$0.part\" \"$(dirname \"$0\")/args.txt\"\n");
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  whileOpen([&](frmPrefs& p) {
    click(p.chkCommand);
    click(p.chkMSDOS);
    QTest::keyClicks(p.txtCommand, script + " echo a;b | \"$(touch " + dir.path() + "/x)\" \"q r\"");
    click(p.cmdTestCommand);
    p.txtCommand->setText(dir.path() + "/no-such-program now");
    click(p.cmdTestCommand);
    // Without MSDOS a script named by the whole text (blank and all) runs in the program's folder.
    click(p.chkMSDOS);
    p.txtCommand->setText("where am i.sh");
    click(p.cmdTestCommand);
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.path() + "/here.txt"); }, 10000));
  QFile here(dir.path() + "/here.txt");
  ASSERT_TRUE(here.open(QIODevice::ReadOnly));
  EXPECT_EQ(QDir(QString::fromUtf8(here.readAll()).trimmed()).canonicalPath(), QDir(dir.path()).canonicalPath());
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 10000));
  QFile f(out);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(f.readAll()), "echo\na;b\n|\n$(touch " + dir.path() + "/x)\nq r\n");
  EXPECT_FALSE(QFile::exists(dir.path() + "/x"));
  EXPECT_EQ(titles(), std::vector<QString>{"Command Error"});
}

TEST_F(Preferences, TheLinksOpenTheIntervalDialogsModallyAndF1TheReadme) {
  whileOpen([&](frmPrefs& p) {
    QTimer::singleShot(0, [&] {
      auto* s = qobject_cast<frmSnooze*>(QApplication::activeModalWidget());
      ASSERT_TRUE(s);
      EXPECT_EQ(s->parentWidget(), &p);
      s->txtSnoozeMinutes->setText("20");
      click(s->cmdSetSnoozeMinutes);
    });
    click(p.lblSnooze);
    EXPECT_EQ(stored("Snooze"), "20");
    EXPECT_TRUE(p.isVisible());
    QTimer::singleShot(0, [&] {
      auto* h = qobject_cast<frmHideAlert*>(QApplication::activeModalWidget());
      ASSERT_TRUE(h);
      h->txtHideAlertMinutes->setText("7");
      click(h->cmdSetHideAlertMinutes);
    });
    click(p.lblHideInterval);

    QTest::keyClick(&p, Qt::Key_F1);
    file("readme.txt");
    QTest::keyClick(p.txtMessage, Qt::Key_F1);
    click(p.cmdDone);
  });
  EXPECT_FALSE(leftOpen);  // Done handed the intervals back as they were set, not as the dialog opened
  EXPECT_EQ(parts.settings().snoozeMinutes, 20);
  EXPECT_EQ(stored("HideAlert"), "7");
  EXPECT_EQ(parts.settings().hideAlertMinutes, 7);
  EXPECT_EQ(titles(), std::vector<QString>{"Info"});
  EXPECT_EQ(fakes.shell.textFiles, QStringList{dir.path() + "/readme.txt"});

  // A desktop whose opener finds no text viewer: F1 shows the readme in a window of our own.
  platform::DesktopShellService realShell;
  fakes.services.shell = &realShell;
  QDir(dir.path()).mkdir("bin");
  {
    QFile opener(dir.path() + "/bin/xdg-open"), readme(dir.path() + "/readme.txt");
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly) && readme.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\necho 'no method available for opening' >&2\nexit 3\n");
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    readme.write("How to use Alarm\n");
  }
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", dir.path().toUtf8() + "/bin:" + path);
  whileOpen([&](frmPrefs& p) {
    QTest::keyClick(&p, Qt::Key_F1);
    QWidget* shown = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "textWindow" && w->isVisible()) shown = w;
      return shown != nullptr;
    }, 10000));
    if (!shown) return;
    EXPECT_EQ(shown->windowTitle(), "readme.txt");
    EXPECT_EQ(shown->findChild<QPlainTextEdit*>()->toPlainText(), "How to use Alarm\n");
    EXPECT_TRUE(shown->findChild<QPlainTextEdit*>()->isReadOnly());
    shown->close();
  });
  qputenv("PATH", path);
}

}  // namespace
