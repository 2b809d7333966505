// SPDX-License-Identifier: GPL-3.0-or-later
// The single-instance rule on an advisory file lock.
#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/log.h"
#include "platform/private_folder.h"

namespace platform {

std::string runtimeDir() {
  // The desktop's folder is held to the same rule as the fallback: in a folder of another
  // user, or one others may write into, they could hold the lock or plant the file.
  if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x == '/')
    if (std::string dir = privateFolder(x); !dir.empty()) return dir;
  return privateFolder("/tmp/orvanta-" + std::to_string(::getuid()));
}

LockFileInstanceGuard::LockFileInstanceGuard(std::string programName) : programName_(std::move(programName)) {}

LockFileInstanceGuard::~LockFileInstanceGuard() {
  if (fd_ >= 0) ::close(fd_);
}

std::string LockFileInstanceGuard::lockPath() const {
  std::string dir = runtimeDir();
  if (dir.empty()) return {};
  if (dir.back() != '/') dir += '/';
  return dir + "Orvanta-" + programName_ + ".instance";
}

bool LockFileInstanceGuard::acquire() {
  if (fd_ >= 0) return true;
  const std::string path = lockPath();
  // Without a lock nobody can tell whether another copy runs: never refuse to start the
  // user's alarm clock for that.
  if (path.empty()) {
    logEvent("no private runtime folder: running without the single-instance lock");
    return true;
  }
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    logEvent("cannot open " + path + ": " + std::strerror(errno) + "; running without the single-instance lock");
    return true;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) return false;  // held by another copy
    logEvent("cannot lock " + path + ": " + std::strerror(error) + "; running without the single-instance lock");
    return true;
  }
  fd_ = fd;
  return true;
}

}  // namespace platform
