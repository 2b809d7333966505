// SPDX-License-Identifier: GPL-3.0-or-later
// The settings files read and parsed, and kept parsed while they stay the same.
#include "platform/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <utility>

namespace platform::settings_file {
namespace {

struct Known {
  struct stat id {};
  std::shared_ptr<const ini::Document> doc;
};

struct Cache {
  std::mutex mutex;
  std::map<std::string, Known> files;
};

Cache& cache() {
  static Cache c;
  return c;
}

bool same(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Plain system calls rather than streams: the program reads its settings at start, and
// the streams' locale machinery would cost it about 400 KB of memory for that alone.
Found readAll(int fd, std::string& text) {
  char buf[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) text.append(buf, static_cast<std::size_t>(n));
    else if (n == 0) return Found::Read;
    else if (errno != EINTR) return Found::Failed;
  }
}

// Closes fd and gives back what was found, keeping errno.
Found closing(int fd, Found found) {
  const int error = errno;
  ::close(fd);
  errno = error;
  return found;
}

}  // namespace

Found readText(const std::string& path, std::string& text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? Found::Absent : Found::Failed;
  return closing(fd, readAll(fd, text));
}

Parsed load(const std::string& path) {
  Parsed out;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat id {};
  if (fd < 0 || ::fstat(fd, &id) != 0) {
    out.found = fd < 0 && errno == ENOENT ? Found::Absent : Found::Failed;
    out.error = errno;
    if (fd >= 0) ::close(fd);
    return out;
  }
  {
    std::lock_guard lock(cache().mutex);
    auto known = cache().files.find(path);
    if (known != cache().files.end() && same(known->second.id, id)) {
      ::close(fd);
      out.found = Found::Read;
      out.doc = known->second.doc;
      return out;
    }
  }
  std::string text;
  out.found = closing(fd, readAll(fd, text));
  out.error = errno;
  if (out.found != Found::Read) return out;
  if (auto doc = ini::parse(text)) out.doc = std::make_shared<const ini::Document>(std::move(*doc));
  std::lock_guard lock(cache().mutex);
  cache().files[path] = Known{id, out.doc};
  return out;
}

void remember(const std::string& path, const struct stat& written, ini::Document doc) {
  std::lock_guard lock(cache().mutex);
  cache().files[path] = Known{written, std::make_shared<const ini::Document>(std::move(doc))};
}

}  // namespace platform::settings_file
