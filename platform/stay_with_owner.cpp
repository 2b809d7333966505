// SPDX-License-Identifier: GPL-3.0-or-later
// A dialog kept with its owner.
#include "platform/stay_with_owner.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "platform/log.h"

namespace platform {

Qt::WindowFlags dialogFlags(Qt::WindowFlags type, bool onTop) {
  // Without CustomizeWindowHint the window system adds its default buttons back.
  Qt::WindowFlags f = type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                      Qt::MSWindowsFixedSizeDialogHint;
  f.setFlag(Qt::WindowStaysOnTopHint, onTop);
  return f;
}

StayWithOwner::StayWithOwner(QWidget* window, bool always) : QObject(window), window_(window), always_(always) {
  window_->installEventFilter(this);
}

bool StayWithOwner::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (watched == window_) {
    if (type == QEvent::Show) follow();
    // Looked at once the desktop has finished: an owner minimised takes its dialogs along,
    // and its own state may arrive a moment after theirs.
    if (type == QEvent::WindowStateChange && window_->isMinimized())
      QTimer::singleShot(50, this, [this] {
        // Only an owner that has just gone (minimised, or hidden in the tray) takes it along;
        // minimised on its own, also while the owner was already hidden, it comes back.
        const bool withOwner = !ownerShown() && ownerGone_.isValid() && ownerGone_.elapsed() < 1000;
        if (window_->isVisible() && window_->isMinimized() && (always_ || !withOwner)) {
          logEvent(("a minimised " + window_->objectName() + " comes back").toStdString());
          comeBack();
        }
      });
  } else if (watched == owner_ && (type == QEvent::Hide || (type == QEvent::WindowStateChange && owner_->isMinimized()))) {
    ownerGone_.start();
    // A dialog goes with its owner; the window manager does so only while it still knows
    // whose dialog it is, which it forgets once the owner has been hidden in the tray.
    if (!always_ && window_->isVisible() && !window_->isMinimized())
      QTimer::singleShot(0, this, [this] {
        if (window_->isVisible() && !window_->isMinimized() && !ownerShown())
          window_->setWindowState(window_->windowState() | Qt::WindowMinimized);
      });
  } else if (watched == owner_ && (type == QEvent::Show || type == QEvent::WindowStateChange)) {
    QTimer::singleShot(50, this, [this] {
      if (window_->isVisible() && ownerShown()) comeBack();
    });
  }
  return false;
}

void StayWithOwner::follow() {
  QWidget* owner = window_->parentWidget() ? window_->parentWidget()->window() : nullptr;
  if (owner == owner_) return;
  if (owner_) owner_->removeEventFilter(this);
  owner_ = owner;
  if (owner_) owner_->installEventFilter(this);
}

bool StayWithOwner::ownerShown() const { return owner_ && owner_->isVisible() && !owner_->isMinimized(); }

void StayWithOwner::comeBack() {
  if (window_->isMinimized()) window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
  window_->show();
  window_->raise();
  window_->activateWindow();
}

}  // namespace platform
