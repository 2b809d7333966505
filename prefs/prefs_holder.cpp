// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences and interval dialogs for the program's run.
#include "prefs/prefs_holder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "notify/interval_dialog.h"
#include "platform/log.h"
#include "prefs/frmPrefs.h"

PrefsHolder::PrefsHolder(PrefsHost& host) : host_(host) {}

PrefsHolder::~PrefsHolder() {
  delete prefs_.data();
  delete snooze_.data();
  delete hideAlert_.data();
}

frmPrefs& PrefsHolder::prefs() {
  if (prefs_ && prefs_->unloaded()) {
    // Closed through its frame: gone, and loaded again from the store below.
    prefs_->deleteLater();
    prefs_ = nullptr;
  }
  if (!prefs_) {
    prefs_ = new frmPrefs(*this, host_, owner_.data());
    prefs_->Form_Load();
  }
  return *prefs_;
}

template <class Dialog>
static Dialog& loaded(QPointer<Dialog>& dialog) {
  if (!dialog) {
    dialog = new Dialog;
    dialog->Form_Load();
  }
  return *dialog;
}

frmSnooze& PrefsHolder::snooze() { return loaded(snooze_); }
frmHideAlert& PrefsHolder::hideAlert() { return loaded(hideAlert_); }

void PrefsHolder::showPrefs(QWidget& owner) {
  owner_ = &owner;
  frmPrefs& dialog = prefs();
  if (dialog.isVisible()) {
    dialog.raise();
    dialog.activateWindow();
    return;
  }
  // Modal to the window that opened it: the tray icon and the other windows still answer.
  if (dialog.parentWidget() != &owner) dialog.setParent(&owner, dialog.windowFlags());
  dialog.setWindowModality(Qt::WindowModal);
  platform::logEvent("preferences shown");
  // Where it was last time; a dialog shown again would otherwise be placed anew over its
  // owner, lower by the height of its title bar. The place is that of its inside, taken as
  // it closes: the place of its frame depends on whether the program has learnt the frame's
  // size yet, and under load it sometimes had not, so that it opened 20 px lower.
  if (placed_) dialog.setGeometry(QRect(*placed_, dialog.size()));
  QPointer<frmPrefs> open = &dialog;
  const auto closing =
      QObject::connect(open, &QDialog::finished, open, [this, open] { placed_ = open->geometry().topLeft(); });
  open->exec();
  QObject::disconnect(closing);
  if (open && open->unloaded()) {
    open->deleteLater();
    prefs_ = nullptr;
  }
}

bool PrefsHolder::prefsVisible() const {
  // Minimised with the main window, the dialog is not on the screen: Launch brings both back.
  return prefs_ && !prefs_->unloaded() && prefs_->isVisible() && !prefs_->isMinimized();
}

AlarmSettings::Sound PrefsHolder::sound() {
  frmPrefs& p = prefs();
  if (p.optBeep->isChecked()) return Sound::Beep;
  if (p.optMusic->isChecked()) return Sound::Music;
  return Sound::Wave;
}

QString PrefsHolder::musicFile() { return prefs().lblHDDNfilename; }
bool PrefsHolder::repeat() { return prefs().chkRepeat->isChecked(); }
bool PrefsHolder::unmute() { return prefs().chkUnmute->isChecked(); }
QString PrefsHolder::volumeSpeaker() { return prefs().lblHDDNvolumeSpeaker; }
QString PrefsHolder::volumeWave() { return prefs().lblHDDNvolumeWave; }
bool PrefsHolder::showMessage() { return prefs().optMessage->isChecked(); }
QString PrefsHolder::messageText() { return prefs().txtMessage->text(); }
bool PrefsHolder::commandOn() { return prefs().chkCommand->isChecked(); }
QString PrefsHolder::commandText() { return prefs().txtCommand->text(); }
void PrefsHolder::setCommandText(const QString& text) { prefs().txtCommand->setText(text); }
bool PrefsHolder::commandMSDOS() { return prefs().chkMSDOS->isChecked(); }
bool PrefsHolder::previewing() { return prefs().lblHDDNpreview == QLatin1String("Preview!"); }
QString PrefsHolder::snoozeMinutes() { return snooze().txtSnoozeMinutes->text(); }
QString PrefsHolder::hideAlertMinutes() { return hideAlert().txtHideAlertMinutes->text(); }
int PrefsHolder::fadeInSeconds() { return prefs().spnFadeIn->value(); }
QWidget* PrefsHolder::dialogWindow() { return &prefs(); }
