// SPDX-License-Identifier: GPL-3.0-or-later
// The end of the session, routed to the main window's unload.
#include "app/session_end.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
int g_watchers = 0;  // the handlers are installed while at least one watcher lives

extern "C" void onTerminationSignal(int) {
  const int saved = errno;
  const char byte = 1;
  if (g_pipe[1] >= 0) {
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
  }
  errno = saved;
}

}  // namespace

SessionEndWatcher::SessionEndWatcher(QObject* parent) : QObject(parent) {
  if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
    g_pipe[0] = g_pipe[1] = -1;
  }
  if (g_pipe[0] >= 0) {
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SessionEndWatcher::readPipe);
    if (g_watchers++ == 0) {
      struct sigaction sa {};
      sa.sa_handler = onTerminationSignal;
      sigemptyset(&sa.sa_mask);
      sa.sa_flags = SA_RESTART;
      for (int sig : {SIGTERM, SIGHUP, SIGINT}) sigaction(sig, &sa, nullptr);
    }
  }
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { emit sessionEnding(); });
  }
}

SessionEndWatcher::~SessionEndWatcher() {
  if (!notifier_ || --g_watchers > 0) return;
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGTERM, SIGHUP, SIGINT}) sigaction(sig, &sa, nullptr);
}

void SessionEndWatcher::readPipe() {
  char buf[16];
  bool any = false;
  while (::read(g_pipe[0], buf, sizeof buf) > 0) any = true;
  if (any) emit sessionEnding();
}
