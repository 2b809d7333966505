// SPDX-License-Identifier: GPL-3.0-or-later
// Bringing the window of another program of ours (one the program started and waits for)
// above the program's own windows, through the window manager.
#pragma once

#include <QtGlobal>

namespace platform {

// Asks the window manager to keep the windows of the process pid above normal windows
// and to raise and activate them, as a pager would. False when the process shows no
// window yet, or the desktop is no X11 desktop.
bool bringProcessWindowsForward(qint64 pid);

}  // namespace platform
