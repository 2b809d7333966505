// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences dialog: its controls, loading, Done, and the handlers of its frames.
// Play, Stop and Preview are in frmPrefs_sound.cpp.
#include "prefs/frmPrefs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>

#include "audio/fade_in.h"
#include "audio/play_sound.h"
#include "audio/shell_wait.h"
#include "audio/volume.h"
#include "platform/errors.h"
#include "platform/fileexists.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/stay_with_owner.h"
#include "platform/place_twips.h"
#include "platform/twips.h"
#include "platform/winversion.h"
#include "prefs/pickers.h"
#include "prefs/prefs_holder.h"
#include "prefs/prefs_host.h"

namespace {

using platform::ignoreErrors;

const QString kNoMusic = QStringLiteral("No music loaded...");
const QString kCommandTip = QStringLiteral(" Enter your command here... ");
const QString kMessageTip = QStringLiteral(" Enter your string here... ");
const QString kDesignFace = QStringLiteral("MS Sans Serif");
const QString kCrLf = QStringLiteral("\r\n");

// 0x00BBGGRR as a colour.
QColor bgr(int v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

}  // namespace

QString filePart(const QString& FullPath, int WhichPart) {
  if (WhichPart != 2) return FullPath;
  const qsizetype slash = FullPath.lastIndexOf('/');
  return slash < 0 ? FullPath : FullPath.mid(slash + 1);
}

frmPrefs::frmPrefs(PrefsHolder& holder, PrefsHost& host, QWidget* parent)
    : QDialog(parent), holder_(holder), host_(host) {
  setObjectName(QStringLiteral("frmPrefs"));
  setWindowTitle(QStringLiteral("Preferences"));
  setWindowFlags(platform::dialogFlags(Qt::Dialog, false));
  new platform::StayWithOwner(this, false);
  buildControls();
}

frmPrefs::~frmPrefs() = default;

void frmPrefs::buildControls() {
  auto option = [](QWidget* frame, const char* name, const char* caption, const char* tip) {
    auto* o = new QRadioButton(QString::fromLatin1(caption), frame);
    o->setObjectName(QString::fromLatin1(name));
    if (tip) o->setToolTip(QString::fromLatin1(tip));
    return o;
  };
  auto check = [](QWidget* frame, const char* name, const char* caption, const char* tip) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), frame);
    c->setObjectName(QString::fromLatin1(name));
    c->setToolTip(QString::fromLatin1(tip));
    return c;
  };
  auto button = [](QWidget* frame, const char* name, const QString& caption, const char* tip) {
    auto* b = new QPushButton(caption, frame);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(true);  // a focused button takes Enter; elsewhere Enter presses Done
    if (tip) b->setToolTip(QString::fromLatin1(tip));
    return b;
  };
  auto frame = [this](const char* name, const char* caption) {
    auto* f = new QGroupBox(QString::fromLatin1(caption), this);
    f->setObjectName(QString::fromLatin1(name));
    return f;
  };

  frameAAudio = frame("frameAAudio", "Alarm/Audio");
  placeTwips(frameAAudio, 120, 90, 3495, 2565);
  optBeep = option(frameAAudio, "optBeep", "Beep", " Double click to hear the beep... ");
  placeTwips(optBeep, 120, 285, 1500, 255);
  optSound = option(frameAAudio, "optSound", "Play sound   (alarm.wav file)", " Double click to hear the sound... ");
  placeTwips(optSound, 120, 555, 3135, 255);
  optSound->setChecked(true);
  optMusic = option(frameAAudio, "optMusic", "Play music", nullptr);
  placeTwips(optMusic, 120, 825, 1380, 255);
  cmdLoadMusic = button(frameAAudio, "cmdLoadMusic", QStringLiteral("Load Music"), " Load a music file ");
  placeTwips(cmdLoadMusic, 1500, 780, 1170, 345);
  cmdPlay = button(frameAAudio, "cmdPlay", QString(), " Play the music file ");
  cmdPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  placeTwips(cmdPlay, 2715, 780, 345, 345);
  cmdStop = button(frameAAudio, "cmdStop", QString(), " Stop playing ");
  cmdStop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  placeTwips(cmdStop, 3075, 780, 345, 345);
  lblTrack = new QLabel(kNoMusic, frameAAudio);
  lblTrack->setObjectName(QStringLiteral("lblTrack"));
  QFont small(QStringLiteral("Small Fonts"));
  small.setPointSizeF(6.75);
  lblTrack->setFont(small);
  QPalette grey = lblTrack->palette();
  grey.setColor(QPalette::WindowText, bgr(0x404040));
  lblTrack->setPalette(grey);
  placeTwips(lblTrack, 120, 1185, 3255, 255);
  chkRepeat = check(frameAAudio, "chkRepeat", "Repeat", " Continuous Play ");
  placeTwips(chkRepeat, 120, 1485, 1215, 255);
  const auto* fadeTip = " Let the sound rise from silence to its volume over these seconds (0: off; not the beep) ";
  lblFadeIn = new QLabel(QStringLiteral("Fade in over"), frameAAudio);
  lblFadeIn->setObjectName(QStringLiteral("lblFadeIn"));
  lblFadeIn->setToolTip(QString::fromLatin1(fadeTip));
  placeTwips(lblFadeIn, 1350, 1485, 1170, 255);
  spnFadeIn = new QSpinBox(frameAAudio);
  spnFadeIn->setObjectName(QStringLiteral("spnFadeIn"));
  spnFadeIn->setRange(0, AlarmSettings::kMaxFadeInSeconds);
  spnFadeIn->setSuffix(QStringLiteral(" s"));
  spnFadeIn->setToolTip(QString::fromLatin1(fadeTip));
  lblFadeIn->setBuddy(spnFadeIn);
  placeTwips(spnFadeIn, 2520, 1440, 855, 345);
  cmdSetVolume = button(frameAAudio, "cmdSetVolume", QStringLiteral("Set Volume"), " Set an independent audio volume ");
  placeTwips(cmdSetVolume, 120, 1935, 1335, 375);
  chkUnmute = check(frameAAudio, "chkUnmute", "Unmute", " Always overide Mute setting (no mute) ");
  placeTwips(chkUnmute, 1590, 1995, 1215, 255);

  frameAMessage = frame("frameAMessage", "Alarm/Message");
  placeTwips(frameAMessage, 3735, 90, 3255, 1425);
  txtMessage = new QLineEdit(QStringLiteral("Alarm !!!"), frameAMessage);
  txtMessage->setObjectName(QStringLiteral("txtMessage"));
  txtMessage->setMaxLength(AlarmSettings::kMaxMessageLength);
  txtMessage->setToolTip(kMessageTip);
  QFont messageFont(kDesignFace);
  messageFont.setPointSizeF(8.25);
  messageFont.setBold(true);
  txtMessage->setFont(messageFont);
  QPalette colours = txtMessage->palette();
  colours.setColor(QPalette::Base, bgr(0x400000));
  colours.setColor(QPalette::Text, bgr(0xFFFF00));
  txtMessage->setPalette(colours);
  placeTwips(txtMessage, 120, 300, 3015, 375);
  cmdFont = button(frameAMessage, "cmdFont", QStringLiteral("Choose font"), nullptr);
  placeTwips(cmdFont, 120, 855, 1455, 375);
  cmdDefaultFont = button(frameAMessage, "cmdDefaultFont", QStringLiteral("Default"), " Default font ");
  placeTwips(cmdDefaultFont, 1680, 855, 1455, 375);

  frameAShow = frame("frameAShow", "Alarm/Show");
  placeTwips(frameAShow, 3735, 1605, 3255, 1050);
  optMessage = option(frameAShow, "optMessage", "Message", nullptr);
  placeTwips(optMessage, 120, 285, 1455, 255);
  optMessage->setChecked(true);
  optFullscreen =
      option(frameAShow, "optFullscreen", "Full screen", " Double-click or press the ESCape key to quit the screen... ");
  placeTwips(optFullscreen, 120, 615, 1455, 255);
  cmdPreview = button(frameAShow, "cmdPreview", QStringLiteral("Preview"), nullptr);
  placeTwips(cmdPreview, 1800, 390, 1335, 375);

  frameCommand = frame("frameCommand", "Alarm/Command");
  placeTwips(frameCommand, 120, 2745, 6870, 1140);
  chkCommand = check(frameCommand, "chkCommand", "Activate", " Run this command at alarm time ");
  placeTwips(chkCommand, 120, 330, 1095, 255);
  txtCommand = new QLineEdit(frameCommand);
  txtCommand->setObjectName(QStringLiteral("txtCommand"));
  txtCommand->setToolTip(kCommandTip);
  // What the settings can give back whole is checked as the text changes (a paste longer
  // than that is refused with a word, never cut).
  placeTwips(txtCommand, 1290, 300, 4035, 330);
  cmdTestCommand = button(frameCommand, "cmdTestCommand", QStringLiteral("Test"), " Test the command ");
  placeTwips(cmdTestCommand, 5445, 285, 1305, 360);
  chkMSDOS = check(frameCommand, "chkMSDOS", "MSDOS", " Let the command behave like it was triggered from a command prompt ");
  placeTwips(chkMSDOS, 1290, 735, 1215, 255);

  frameMisc = frame("frameMisc", "Miscellaneous");
  placeTwips(frameMisc, 120, 3975, 4935, 915);
  auto link = [this](const char* name, const char* caption) {
    auto* l = new QLabel(QString::fromLatin1(caption), frameMisc);
    l->setObjectName(QString::fromLatin1(name));
    l->setToolTip(QStringLiteral(" Click to show the dialog "));
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, bgr(0xC00000));
    l->setPalette(p);
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
    return l;
  };
  lblSnooze = link("lblSnooze", "Set Snooze Interval");
  placeTwips(lblSnooze, 120, 300, 3600, 255);
  lblHideInterval = link("lblHideInterval", "Set Time to Hide Alarm Messages");
  placeTwips(lblHideInterval, 120, 570, 3600, 255);

  cmdDone = new QPushButton(QStringLiteral("Done!"), this);
  cmdDone->setObjectName(QStringLiteral("cmdDone"));
  cmdDone->setDefault(true);
  placeTwips(cmdDone, 5415, 4290, 1575, 495);

  setFixedSize(twipsToPx(7110), twipsToPx(5010));

  const QWidget* order[] = {optBeep,   optSound,      optMusic,       cmdLoadMusic,  cmdPlay,   cmdStop,
                            chkRepeat, spnFadeIn,     cmdSetVolume,   chkUnmute,     txtMessage, cmdFont, cmdDefaultFont,
                            optMessage, optFullscreen, cmdPreview,    chkCommand,    txtCommand, cmdTestCommand,
                            chkMSDOS,  cmdDone};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i)
    setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));

  for (QWidget* w : {static_cast<QWidget*>(optBeep), static_cast<QWidget*>(optSound), static_cast<QWidget*>(txtMessage),
                     static_cast<QWidget*>(lblTrack), static_cast<QWidget*>(cmdPreview)})
    w->installEventFilter(this);

  connect(optBeep, &QRadioButton::toggled, this, [this](bool on) { if (on) optBeep_Click(); });
  connect(optSound, &QRadioButton::toggled, this, [this](bool on) { if (on) optSound_Click(); });
  connect(optMusic, &QRadioButton::toggled, this, [this](bool on) { if (on) optMusic_Click(); });
  connect(cmdLoadMusic, &QPushButton::clicked, this, &frmPrefs::cmdLoadMusic_Click);
  connect(cmdPlay, &QPushButton::clicked, this, &frmPrefs::cmdPlay_Click);
  connect(cmdStop, &QPushButton::clicked, this, &frmPrefs::cmdStop_Click);
  connect(cmdSetVolume, &QPushButton::clicked, this, &frmPrefs::cmdSetVolume_Click);
  connect(cmdFont, &QPushButton::clicked, this, &frmPrefs::cmdFont_Click);
  connect(cmdDefaultFont, &QPushButton::clicked, this, &frmPrefs::cmdDefaultFont_Click);
  connect(cmdPreview, &QPushButton::clicked, this, &frmPrefs::cmdPreview_Click);
  connect(chkCommand, &QCheckBox::toggled, this, &frmPrefs::chkCommand_Click);
  connect(cmdTestCommand, &QPushButton::clicked, this, &frmPrefs::cmdTestCommand_Click);
  connect(txtCommand, &QLineEdit::textChanged, this, &frmPrefs::txtCommand_Change);
  connect(txtCommand, &QLineEdit::textEdited, this, &frmPrefs::txtCommand_Edited);
  connect(cmdDone, &QPushButton::clicked, this, &frmPrefs::cmdDone_Click);
}

// ---------------------------------------------------------------------------------------
// Loading, activation, Done and closing

void frmPrefs::Form_Load(const AlarmSettings& settings) {
  // Topmost before it first shows: changing the flag of a shown dialog would re-create its
  // window and end its modal wait.
  ignoreErrors([this] { platform::services().window->setTopmost(this, true); });
  setSettings(settings);
  ignoreErrors([this] { applyAlarmVolume(); });
  applyLedColour();
}

void frmPrefs::setSettings(const AlarmSettings& s) {
  using Sound = AlarmSettings::Sound;
  settings_ = s;
  // Choosing an option runs its click handler, as a click would.
  (s.showMessage ? optMessage : optFullscreen)->setChecked(true);
  (s.sound == Sound::Beep ? optBeep : s.sound == Sound::Music ? optMusic : optSound)->setChecked(true);
  chkCommand->setChecked(s.commandOn);
  chkMSDOS->setChecked(s.commandMSDOS);
  chkUnmute->setChecked(s.unmute);
  chkRepeat->setChecked(s.repeat);
  spnFadeIn->setValue(s.fadeInSeconds);
  setMusicControls(s.sound == Sound::Music);
  applyFontFace(s.font.isEmpty() ? kDesignFace : s.font);
  lblTrack->setText(s.musicFile.isEmpty() ? kNoMusic : filePart(s.musicFile, 2));
  txtMessage->setText(s.messageText);
  txtCommand->setText(s.commandText);
  chkCommand_Click();
}

AlarmSettings frmPrefs::edited() const {
  using Sound = AlarmSettings::Sound;
  AlarmSettings s = settings_;
  s.sound = optBeep->isChecked() ? Sound::Beep : optMusic->isChecked() ? Sound::Music : Sound::Wave;
  s.showMessage = optMessage->isChecked();
  s.repeat = chkRepeat->isChecked();
  s.fadeInSeconds = spnFadeIn->value();
  s.unmute = chkUnmute->isChecked();
  s.messageText = txtMessage->text();
  s.commandOn = chkCommand->isChecked();
  s.commandText = txtCommand->text();
  s.commandMSDOS = chkMSDOS->isChecked();
  return s;
}

void frmPrefs::Form_Activate() {
  // Already topmost since its load (see Form_Load): only the colour follows the LED.
  applyLedColour();
}

void frmPrefs::applyLedColour() {
  const int index = host_.colourIndex();
  int colour = -1;
  if (index == 0) colour = 0xFFFF00;
  if (index == 1) colour = 0x00FF00;
  if (index == 2) colour = 0x0000FF;
  if (colour < 0) return;
  QPalette p = txtMessage->palette();
  p.setColor(QPalette::Text, bgr(colour));
  txtMessage->setPalette(p);
}

void frmPrefs::applyFontFace(const QString& face) {
  // Nothing stored: the design face stays. A face this desktop does not have still shows,
  // in the nearest face the desktop offers.
  if (face.isEmpty()) return;
  if (face != kDesignFace && !QFontDatabase::hasFamily(face))
    platform::logEvent(("the message font \"" + face + "\" is not installed; the nearest face shows").toStdString());
  QFont f = txtMessage->font();
  f.setFamily(face);
  txtMessage->setFont(f);
}

void frmPrefs::setMusicControls(bool enabled) {
  for (QWidget* w : {static_cast<QWidget*>(cmdLoadMusic), static_cast<QWidget*>(chkRepeat),
                     static_cast<QWidget*>(cmdPlay), static_cast<QWidget*>(cmdStop)})
    w->setEnabled(enabled);
}

void frmPrefs::warn(const QString& text, const QString& title) {
  platform::services().messageBox->msgBox(text, platform::mb::kExclamation, title);
}

bool frmPrefs::captureVolumes() {
  auto& volume = audio::volumeModule();
  if (!volume.OpenMixer(0)) {
    // Without a mixer there is nothing to capture: the alarm volumes stay as they were.
    platform::logEvent("no mixer: the alarm volumes are left as they were");
    return false;
  }
  const std::pair<int, int*> lines[] = {{audio::Volume::kSpeakersVolume, &settings_.volumeSpeaker},
                                        {audio::Volume::kWaveOutVolume, &settings_.volumeWave}};
  for (const auto& [index, percent] : lines)
    if (volume.found(index)) *percent = volume.GetVolume(index);  // a line this mixer lacks keeps its volume
  volume.CloseMixer();
  return true;
}

void frmPrefs::cmdDone_Click() {
  // Handed back (and stored) whatever the checks below find; the volumes are those the
  // mixer has now.
  bool volumesRead = false;
  ignoreErrors([&] { volumesRead = captureVolumes(); });
  emit settingsDone(edited(), volumesRead);
  ignoreErrors([this] { host_.stopPlayer(); });

  try {
    if (musicChoiceUnplayable(QStringLiteral("Oops..."))) return;
    // Blanks alone are no command: the alarm trims the text before it starts it.
    if (chkCommand->isChecked() && txtCommand->text().trimmed().isEmpty()) {
      warn("You have not entered a command string." + kCrLf +
               "Please unmark the \"Activate\" box under Alarm/Command or enter a command to correct this.",
           QStringLiteral("Oops..."));
      return;
    }
    done(QDialog::Accepted);
  } catch (const platform::RuntimeError& e) {
    platform::showErrorBox(e, "frmPrefs, cmdDone_Click");
  }
}

bool frmPrefs::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Form_Activate();
  return QDialog::event(e);
}

void frmPrefs::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F1) {
    showHelp();
    return;
  }
  if (e->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(e);
}

void frmPrefs::closeEvent(QCloseEvent* e) {
  // While "Set Volume" waits for the volume program the dialog stays.
  if (waiting_) {
    e->ignore();
    return;
  }
  // Closed through its frame: unloaded without storing anything.
  unloaded_ = true;
  done(QDialog::Rejected);
  e->accept();
}

bool frmPrefs::eventFilter(QObject* watched, QEvent* e) {
  const auto type = e->type();
  const bool hover = type == QEvent::Enter || type == QEvent::MouseMove || type == QEvent::ToolTip;
  if (hover) {
    if (watched == txtMessage) txtMessage_MouseMove();
    if (watched == lblTrack) lblTrack_MouseMove();
    if (watched == cmdPreview) cmdPreview_MouseMove();
  }
  if (type == QEvent::MouseButtonDblClick) {
    if (watched == optBeep) optBeep_DblClick();
    if (watched == optSound) optSound_DblClick();
  }
  if (type == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
    if (watched == lblSnooze) lblSnooze_Click();
    if (watched == lblHideInterval) lblHideInterval_Click();
  }
  return QDialog::eventFilter(watched, e);
}

void frmPrefs::showHelp() {
  const QString file = Registry::programFolder() + QStringLiteral("/readme.txt");
  if (!fileexists(file)) {
    warn(QStringLiteral("The Alarm readme.txt seems to be missing..."), QStringLiteral("Info"));
    return;
  }
  platform::services().shell->openTextFile(file);
}

// ---------------------------------------------------------------------------------------
// Alarm/Audio

void frmPrefs::optBeep_Click() {
  ignoreErrors([this] { host_.stopPlayer(); });
  setMusicControls(false);
}

void frmPrefs::optSound_Click() { optBeep_Click(); }

void frmPrefs::optMusic_Click() { setMusicControls(true); }

void frmPrefs::optBeep_DblClick() { ignoreErrors([] { platform::services().sound->beep(1500, 500); }); }

void frmPrefs::optSound_DblClick() {
  const QString wave = Registry::programFolder() + QStringLiteral("/alarm.wav");
  ignoreErrors([&] { audio::PlaySound(wave); });
}

void frmPrefs::cmdLoadMusic_Click() {
  optMusic->setChecked(true);
  chkRepeat->setEnabled(true);
  const QString file = prefs::pickers().openFile(
      this, QStringLiteral("Alarm - Pick your music!"),
      QStringLiteral("Audio Files (*.aiff;*.avi;*.mid;*.mov;*.mp3;*.mpg;*.ogg;*.wav;*.wma)|"
                     "*.aiff;*.avi;*.mid;*.mov;*.mp3;*.mpg;*.ogg;*.wav;*.wma|All files (*.*)|*.*|"));
  if (file.isEmpty()) return;
  if (file.size() > kMaxStoredText) {
    // The settings could not give such a path back: the alarm would lose the music.
    warn("The path of this music file is too long to be remembered (more than 254 characters)." + kCrLf +
             "Please move the file to a shorter path and load it again.",
         QStringLiteral("Oops..."));
    return;
  }
  lblTrack->setText(QFileInfo(file).fileName());
  settings_.musicFile = file;
  platform::logEvent(("music chosen: " + file).toStdString());
}

void frmPrefs::lblTrack_MouseMove() {
  lblTrack->setToolTip(lblTrack->text() != kNoMusic ? " " + settings_.musicFile + " " : QString());
}

void frmPrefs::applyAlarmVolume() {
  audio::applyAlarmVolume(audio::volumeModule(), chkUnmute->isChecked(), settings_.volumeSpeaker, settings_.volumeWave);
}

bool frmPrefs::ShellandWait(const QString& ExeFullPath, int32_t TimeOutValue) {
  waiting_ = true;
  const bool started = audio::ShellandWait(ExeFullPath, TimeOutValue, volumeAppDone);
  waiting_ = false;
  return started;
}

void frmPrefs::cmdSetVolume_Click() {
  // Pressed again while the volume window is open: that one comes forward.
  if (waiting_) {
    audio::bringWaitedProgramForward();
    return;
  }
  try {
    volumeAppDone = false;
    auto& volume = audio::volumeModule();
    if (volume.OpenMixer(0)) {
      if (chkUnmute->isChecked()) volume.SetSpeakerMute(0);
      volume.CloseMixer();
    }
    ShellandWait(audio::volumeApplicationCommand(GetWindowsVersion()), 10);
    if (volumeAppDone) {
      const bool read = captureVolumes();
      emit volumesSet(edited(), read);
      if (read)
        platform::logEvent(QStringLiteral("alarm volumes: speakers %1, wave %2")
                               .arg(settings_.volumeSpeaker)
                               .arg(settings_.volumeWave)
                               .toStdString());
    }
  } catch (const platform::RuntimeError& e) {
    if (e.number() == platform::err::kFileNotFound) {
      warn(QStringLiteral("Sorry, couldn't start the audio volume application.  "), QStringLiteral("Oops"));
    } else {
      platform::showErrorBox(e, "frmPrefs, cmdSetVolume_Click");
    }
  }
}

// ---------------------------------------------------------------------------------------
// Alarm/Message

void frmPrefs::cmdFont_Click() {
  const auto face = prefs::pickers().chooseFont(this, QStringLiteral("Alarm - Pick your font!"), txtMessage->font());
  if (!face) return;
  settings_.font = *face;
  emit fontChosen(*face);
  applyFontFace(*face);
  cmdDone->setFocus();
}

void frmPrefs::cmdDefaultFont_Click() {
  settings_.font = kDesignFace;
  emit fontChosen(kDesignFace);
  applyFontFace(kDesignFace);
  cmdDone->setFocus();
}

void frmPrefs::txtMessage_MouseMove() {
  txtMessage->setToolTip(txtMessage->text().isEmpty() ? kMessageTip : txtMessage->text());
}

// ---------------------------------------------------------------------------------------
// Alarm/Show

void frmPrefs::cmdPreview_MouseMove() {
  cmdPreview->setToolTip(optFullscreen->isChecked() ? optFullscreen->toolTip() : QString());
}

// ---------------------------------------------------------------------------------------
// Miscellaneous

// Each interval set there is the program's at once; the copy here follows, so that Done
// hands it back as it is.
void frmPrefs::lblSnooze_Click() {
  if (const auto minutes = holder_.editSnooze(this)) settings_.snoozeMinutes = *minutes;
}

void frmPrefs::lblHideInterval_Click() {
  if (const auto minutes = holder_.editHideAlert(this)) settings_.hideAlertMinutes = *minutes;
}
