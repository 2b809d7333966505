// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a component library may be loaded: its code runs as the user of the program.
#pragma once

#include <string>

namespace platform {

// Why the library must not be loaded, or "" when it may. Refused: a relative path (it would
// be looked for in whatever the working folder is), a file that is missing, and a file, link
// or folder on the way to it that belongs to a user other than root and the current one or
// that others may write into (a folder such as /tmp, owned by root and sticky, lets nobody
// replace what others own in it, and passes).
std::string libraryRefusal(const std::string& path);

}  // namespace platform
