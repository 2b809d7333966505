// SPDX-License-Identifier: GPL-3.0-or-later
// Telling the user without blocking anything.
#include "app/user_notice.h"

#include "app/kept_notice.h"
#include "platform/desktop_notification.h"
#include "platform/services.h"

UserNotice::UserNotice(QWidget* window) : window_(window) {}

UserNotice::~UserNotice() = default;

void UserNotice::tell(const QString& title, const QString& text) {
  if (ending_ && keptnotice::keep({title, text})) return;
  auto& tray = *platform::services().tray;
  if (tray.shown()) {
    tray.showMessage(title, text);
    return;
  }
  if (!shown_) {
    waiting_.push_back({title, text});
    return;
  }
  // No tray icon (GNOME shows none): the desktop's own notification, on a locked screen too.
  if (!desktop_) desktop_ = std::make_unique<platform::DesktopNotification>();
  desktop_->notify(title, text, false, false, false);
  platform::services().messageBox->notice(text, platform::mb::kExclamation, title, window_);
}

void UserNotice::tellOnce(const QString& key, const QString& title, const QString& text) {
  if (told_.insert(key).second) tell(title, text);
}

void UserNotice::tellKept() {
  if (const auto kept = keptnotice::take()) tell(kept->title, kept->text);
}

void UserNotice::windowShown() {
  if (shown_) return;
  shown_ = true;
  for (const Waiting& w : std::exchange(waiting_, {})) tell(w.title, w.text);
}
