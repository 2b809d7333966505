// SPDX-License-Identifier: GPL-3.0-or-later
// A folder of the user's own inside a folder every user shares, such as /tmp.
#pragma once

#include <string>

namespace platform {

// Creates the folder (mode 0700) when it is missing and returns its path. Returns "" (and
// logs why) when it cannot be made or is not private: a symbolic link, a folder another
// user owns, or one that others may write into. Another local user could otherwise create
// it first and read what is put there or plant files in it. `why`, when given, receives
// the reason of a refusal.
std::string privateFolder(const std::string& path, std::string* why = nullptr);

}  // namespace platform
