// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the preferences dialog and the two interval dialogs, each built from the program's
// settings, and stores what they hand back into those settings and into the store. The
// preferences dialog is kept, hidden, from one showing to the next; closing it through its
// frame unloads it, and the next showing loads a new one.
#pragma once

#include <QPoint>
#include <QPointer>
#include <optional>

class PrefsHost;
class QWidget;
class frmPrefs;

class PrefsHolder final {
 public:
  // host: the program's settings, and what the dialog uses of the program (the player it
  // stops, the preview).
  explicit PrefsHolder(PrefsHost& host);
  ~PrefsHolder();
  PrefsHolder(const PrefsHolder&) = delete;
  PrefsHolder& operator=(const PrefsHolder&) = delete;

  // The preferences dialog, created and loaded from the settings on first use.
  frmPrefs& prefs();
  // Shows the preferences modal to owner (only owner's window is blocked); returns when
  // Done hides it or its frame closes it.
  void showPrefs(QWidget& owner);
  // Whether the preferences show; never creates the dialog.
  bool prefsVisible() const;

  // The snooze and hide-alert dialogs, modal to owner: the interval Set hands back becomes
  // the program's and is stored, and is returned; nothing when the dialog closed otherwise.
  std::optional<int> editSnooze(QWidget* owner);
  std::optional<int> editHideAlert(QWidget* owner);

 private:
  PrefsHost& host_;
  QPointer<QWidget> owner_;  // the window the dialog was last opened from
  std::optional<QPoint> placed_;  // where the dialog was when it last closed
  QPointer<frmPrefs> prefs_;
};
