// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the desktop platform before Qt starts.
#include "program/desktop_session.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>
#include <vector>

#include "platform/log.h"

namespace desktop_session {

namespace {
std::vector<const char*> setForQtOnly;
}

void setForQt(const char* name, const char* value) {
  if (qEnvironmentVariableIsSet(name)) return;
  qputenv(name, value);
  setForQtOnly.push_back(name);
}

void restoreForChildren() {
  for (const char* name : setForQtOnly) qunsetenv(name);
  setForQtOnly.clear();
}

std::string commandName(const char* argv0) {
  QByteArray command = qgetenv("ALARM_COMMAND");
  qunsetenv("ALARM_COMMAND");
  if (command.isEmpty()) command = argv0 ? argv0 : "Alarm";
  return command.toStdString();
}

bool choosePlatform(const std::string& command) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return true;
  const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (wayland && x11) {
    // Qt would take the Wayland platform when its plugin is installed, and the windows
    // would lose their places, staying on top and the tray icon.
    setForQt("QT_QPA_PLATFORM", "xcb");
    platform::logEvent("Wayland session (" + qgetenv("WAYLAND_DISPLAY").toStdString() +
                       "): running through XWayland on display " + qgetenv("DISPLAY").toStdString());
    return true;
  }
  if (wayland) {
    platform::logEvent("Wayland session without XWayland: window places, staying on top and the "
                       "notification area may not work");
    return true;
  }
  if (x11) return true;
  std::fprintf(stderr,
               "Alarm needs a graphical desktop, and none was found (DISPLAY is not set).\n"
               "To run it without one: xvfb-run -a %s\n",
               command.c_str());
  return false;
}

}  // namespace desktop_session
