// SPDX-License-Identifier: GPL-3.0-or-later
// Notices the end of the user's session: the session manager's request to quit, or a
// termination signal (SIGTERM, SIGHUP, SIGINT). The signal handler only writes one byte to
// a pipe; the event loop reads it and reports sessionEnding() on the user-interface thread.
#pragma once

#include <QObject>

class QSocketNotifier;

class SessionEndWatcher : public QObject {
  Q_OBJECT
 public:
  explicit SessionEndWatcher(QObject* parent = nullptr);
  ~SessionEndWatcher() override;

 signals:
  void sessionEnding();

 private:
  void readPipe();
  QSocketNotifier* notifier_ = nullptr;
};
