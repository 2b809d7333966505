// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps a dialog or an alert with the window that owns it, so that a modal window never
// hides where the user cannot reach it: it cannot be minimised on its own (a desktop that
// still offers it sees the window come straight back), it goes with its owner when the
// owner is minimised, and it comes back on top with the keyboard whenever the owner is
// shown again (from the tray, from Launch).
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QWidget;

namespace platform {

class StayWithOwner final : public QObject {
 public:
  // always: never stays minimised, not even with its owner (an alert must be seen).
  StayWithOwner(QWidget* window, bool always);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void follow();
  void comeBack();
  bool ownerShown() const;

  QWidget* window_;
  bool always_;
  QPointer<QWidget> owner_;
  QElapsedTimer ownerGone_;  // since the owner was last minimised or hidden
};

// The window flags of a dialog or alert of ours: a title and a close box, no minimise or
// maximise, on top when asked.
Qt::WindowFlags dialogFlags(Qt::WindowFlags type, bool onTop);

}  // namespace platform
