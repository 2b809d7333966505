// SPDX-License-Identifier: GPL-3.0-or-later
// The name of the operating system, as the volume dialog asks for it.
#pragma once

#include <string>

namespace platform {

// Looks up "platform.major.minor" in the table of known systems; "Unknown" otherwise.
std::string windowsVersionName(long platformId, long major, long minor);

}  // namespace platform

// The name of the running operating system ("Unknown" off Windows: no Windows platform id
// exists here, so the table never matches).
inline std::string GetWindowsVersion() { return platform::windowsVersionName(0, 0, 0); }
