// SPDX-License-Identifier: GPL-3.0-or-later
// The table of known systems.
#include "platform/winversion.h"

#include <array>
#include <utility>

namespace platform {

std::string windowsVersionName(long platformId, long major, long minor) {
  static constexpr std::array<std::pair<const char*, const char*>, 10> kTable{{
      {"1.4.0", "Windows 95"},
      {"1.4.10", "Windows 98"},
      {"1.4.90", "Windows ME"},
      {"2.3.51", "Windows NT 3"},
      {"2.4.0", "Windows NT 4"},
      {"2.5.0", "Windows 2000"},
      {"2.5.1", "Windows XP"},
      {"2.5.2", "Windows Server 2003"},
      {"2.6.0", "Windows Vista"},
      {"2.6.1", "Windows 7"},
  }};
  const std::string key = std::to_string(platformId) + "." + std::to_string(major) + "." + std::to_string(minor);
  for (const auto& [k, name] : kTable)
    if (key == k) return name;
  return "Unknown";
}

}  // namespace platform
