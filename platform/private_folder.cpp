// SPDX-License-Identifier: GPL-3.0-or-later
// Private folders in shared places.
#include "platform/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/log.h"

namespace platform {

std::string privateFolder(const std::string& path, std::string* why) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    const std::string reason = std::strerror(errno);
    logEvent("cannot create " + path + ": " + reason);
    if (why) *why = reason;
    return {};
  }
  struct stat st {};
  const char* refused = nullptr;
  if (::lstat(path.c_str(), &st) != 0) refused = std::strerror(errno);
  else if (!S_ISDIR(st.st_mode)) refused = "it is not a folder";
  else if (st.st_uid != ::getuid()) refused = "another user owns it";
  else if (st.st_mode & (S_IWGRP | S_IWOTH)) refused = "others may write into it";
  if (refused) {
    logEvent("not using " + path + ": " + refused);
    if (why) *why = refused;
    return {};
  }
  return path;
}

}  // namespace platform
