// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences and interval dialogs for the program's run.
#include "prefs/prefs_holder.h"

#include "alarm/alarm_settings.h"
#include "notify/interval_dialog.h"
#include "platform/log.h"
#include "prefs/frmPrefs.h"
#include "prefs/prefs_host.h"

namespace {

// One interval dialog, built from the settings' interval and gone once it closes.
template <class Dialog>
std::optional<int> editInterval(PrefsHost& host, QWidget* owner, int AlarmSettings::*interval, void (*save)(int)) {
  const QPointer<Dialog> dialog = new Dialog(owner);
  dialog->Form_Load(host.settings().*interval);
  const std::optional<int> minutes = dialog->showModal(owner);
  delete dialog.data();
  if (minutes) {
    host.settings().*interval = *minutes;
    save(*minutes);
  }
  return minutes;
}

}  // namespace

PrefsHolder::PrefsHolder(PrefsHost& host) : host_(host) {}

PrefsHolder::~PrefsHolder() { delete prefs_.data(); }

frmPrefs& PrefsHolder::prefs() {
  if (prefs_ && prefs_->unloaded()) {
    // Closed through its frame: gone, and loaded again from the settings below.
    prefs_->deleteLater();
    prefs_ = nullptr;
  }
  if (!prefs_) {
    auto* p = new frmPrefs(*this, host_, owner_.data());
    prefs_ = p;
    QObject::connect(p, &frmPrefs::settingsDone, p, [this](const AlarmSettings& edited, bool volumesRead) {
      AlarmSettings& settings = host_.settings();
      settings = edited;
      savePrefsSettings(settings);
      if (volumesRead) saveAlarmVolumes(settings);
      platform::logEvent("preferences stored");
    });
    QObject::connect(p, &frmPrefs::volumesSet, p, [this](const AlarmSettings& edited, bool volumesRead) {
      AlarmSettings& settings = host_.settings();
      settings.unmute = edited.unmute;
      saveUnmute(settings.unmute);
      if (!volumesRead) return;
      settings.volumeSpeaker = edited.volumeSpeaker;
      settings.volumeWave = edited.volumeWave;
      saveAlarmVolumes(settings);
    });
    QObject::connect(p, &frmPrefs::fontChosen, p, [this](const QString& face) {
      host_.settings().font = face;
      saveFont(face);
    });
    p->Form_Load(host_.settings());
  }
  return *prefs_;
}

std::optional<int> PrefsHolder::editSnooze(QWidget* owner) {
  return editInterval<frmSnooze>(host_, owner, &AlarmSettings::snoozeMinutes, saveSnoozeMinutes);
}

std::optional<int> PrefsHolder::editHideAlert(QWidget* owner) {
  return editInterval<frmHideAlert>(host_, owner, &AlarmSettings::hideAlertMinutes, saveHideAlertMinutes);
}

void PrefsHolder::showPrefs(QWidget& owner) {
  owner_ = &owner;
  // Shown again after Done: with the settings as the program has them now.
  if (prefs_ && !prefs_->unloaded() && !prefs_->isVisible()) prefs_->setSettings(host_.settings());
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
