// The single-instance rule on an advisory file lock.
#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

std::string runtimeDir() {
  if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x == '/') return x;
  std::string p = "/tmp/orvanta-" + std::to_string(::getuid());
  ::mkdir(p.c_str(), 0700);
  return p;
}

LockFileInstanceGuard::LockFileInstanceGuard(std::string programName) : programName_(std::move(programName)) {}

LockFileInstanceGuard::~LockFileInstanceGuard() {
  if (fd_ >= 0) ::close(fd_);
}

std::string LockFileInstanceGuard::lockPath() const {
  std::string dir = runtimeDir();
  if (dir.back() != '/') dir += '/';
  return dir + "Orvanta-" + programName_ + ".instance";
}

bool LockFileInstanceGuard::acquire() {
  if (fd_ >= 0) return true;
  const int fd = ::open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;  // cannot tell: never refuse to start the user's alarm clock
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

}  // namespace platform
