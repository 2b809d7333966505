// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start: the single-instance rule, then the main window.
#pragma once

#include <QString>
#include <memory>

class frmMain;

namespace platform {
class InstanceGuard;
}

namespace startup {

// Runs the start order. Returns the main window, or nothing when the program is to end
// at once (another copy runs, the main window could not be created, or it was unloaded
// while it loaded).
std::unique_ptr<frmMain> Main(platform::InstanceGuard& instance);

}  // namespace startup
