// SPDX-License-Identifier: GPL-3.0-or-later
// The checks on a component library before it is loaded or registered.
#include "platform/host/library_trust.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// The first thing on the way from path up to "/" that someone else could change.
std::string changeableByOthers(const std::string& path) {
  for (std::string part = path;; part = parentOf(part)) {
    struct stat st {};
    if (::lstat(part.c_str(), &st) != 0) return part + ": " + std::strerror(errno);
    if (st.st_uid != 0 && st.st_uid != ::geteuid()) return part + " belongs to another user";
    const bool sharedTmp = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) && st.st_uid == 0;
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWOTH) && !sharedTmp) return part + " may be written by others";
    if (part == "/") return {};
  }
}

}  // namespace

std::string libraryRefusal(const std::string& path) {
  if (path.empty() || path.front() != '/') return "\"" + path + "\" is not an absolute path";
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path + ": " + std::strerror(errno);
  const std::string resolved = real;
  std::free(real);
  // The path as registered (whoever may change a link on it chooses the file) and the file
  // it ends at.
  std::string why = changeableByOthers(path);
  if (why.empty() && resolved != path) why = changeableByOthers(resolved);
  return why;
}

}  // namespace platform
