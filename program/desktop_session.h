// SPDX-License-Identifier: GPL-3.0-or-later
// How the program reaches the desktop, decided before Qt starts: X11 directly, or through
// XWayland on a Wayland session; and the hint when there is no desktop at all.
#pragma once

#include <string>

namespace desktop_session {

// The command the user typed: the launcher passes its own name on (ALARM_COMMAND, taken
// out of the environment here so that programs Alarm starts do not inherit it); otherwise
// the program's own argv[0].
std::string commandName(const char* argv0);

// Chooses Qt's platform for this session and logs the choice. Alarm needs what only X11
// gives (its windows' places, staying on top, the XEmbed notification area), so on a
// Wayland session with XWayland it runs as an X11 client (Qt's platform "xcb"). A platform
// the user chose (QT_QPA_PLATFORM) is left alone. False, after telling the user on standard
// error how to run `command` on a virtual screen, when there is no desktop.
bool choosePlatform(const std::string& command);

// Sets an environment variable for Qt's start (unless the user set it): the choices above
// are made this way too.
void setForQt(const char* name, const char* value);
// Once Qt has started: what was set for it is taken out again, so that the programs Alarm
// starts (the alarm command, the volume program, the wake helper) get the environment
// Alarm was given.
void restoreForChildren();

}  // namespace desktop_session
