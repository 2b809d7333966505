// SPDX-License-Identifier: GPL-3.0-or-later
// What the user must be told in words while nothing waits for an answer (an alarm missed,
// settings that cannot be saved or a settings file kept aside, a computer that cannot be
// woken): a notification from the tray icon while it shows, otherwise a desktop notification
// (where the desktop has a notification server) and a box beside the main window that
// blocks nothing, held until the window has first shown. The services log them.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <set>
#include <vector>

class QWidget;
namespace platform {
class DesktopNotification;
}

class UserNotice {
 public:
  explicit UserNotice(QWidget* window);
  ~UserNotice();

  void tell(const QString& title, const QString& text);
  // Once per run for each `key` (a failing settings write is told the first time only).
  void tellOnce(const QString& key, const QString& title, const QString& text);
  // The window has shown: what waited for it is told now.
  void windowShown();
  // The program is ending: what is told from now on is kept for its next start instead,
  // where that can be done.
  void keepForNextStart() { ending_ = true; }
  // At the start: tells what the last run kept.
  void tellKept();

 private:
  struct Waiting {
    QString title, text;
  };
  QWidget* window_;
  std::unique_ptr<platform::DesktopNotification> desktop_;
  bool shown_ = false;
  bool ending_ = false;
  std::vector<Waiting> waiting_;
  std::set<QString> told_;
};
