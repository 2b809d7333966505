// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user store on INI files and XDG autostart entries.
#include "platform/store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ctime>
#include <utility>
#include <vector>

#include "platform/ini.h"
#include "platform/log.h"
#include "platform/private_folder.h"
#include "platform/settings_file.h"

namespace platform {
namespace {

// Paths are plain strings handled with system calls: std::filesystem would bring its share
// of the C++ library into the memory of a program that reads its settings at every start.
std::string join(const std::string& dir, std::string_view name) {
  std::string out = dir;
  if (!out.empty() && out.back() != '/') out += '/';
  out += name;
  return out;
}

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates the folder and the folders above it; false (errno says why) when it cannot.
bool makeDirectories(const std::string& path) {
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    const std::string part = path.substr(0, i);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;  // settings are private
  }
  if (isDirectory(path)) return true;
  errno = ENOTDIR;
  return false;
}

std::vector<std::string> splitKey(std::string_view subKey) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : subKey) {
    if (c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// A component of a key that is safe as a file or folder name.
bool safeName(const std::string& s) {
  return !s.empty() && s != "." && s != ".." && s.find('/') == std::string::npos &&
         s.find('\0') == std::string::npos;
}

std::function<void(StoreTrouble, const std::string&, const std::string&)>& troubleHandler() {
  static std::function<void(StoreTrouble, const std::string&, const std::string&)> handler;
  return handler;
}

void writeFailed(const std::string& file, const std::string& what) {
  const std::string reason = std::strerror(errno);
  logEvent("settings: cannot " + what + " " + file + ": " + reason);
  if (troubleHandler()) troubleHandler()(StoreTrouble::WriteFailed, file, reason);
}

// An existing file that cannot be read: its values read as absent and it is never
// replaced, so what it holds is there again once it can be read.
void unreadable(const std::string& file, int error) {
  const std::string reason = std::strerror(error);
  logEvent("settings: cannot read " + file + ": " + reason + "; it is left as it is");
  if (troubleHandler()) troubleHandler()(StoreTrouble::Unreadable, file, reason);
}

// The file a chain of symbolic links ends at, or the path itself when it is no link: a
// settings file kept elsewhere (in a folder of dotfiles) is replaced there, and the link
// stays. A link to a file not made yet gives the path where it is to be made.
std::string finalTarget(std::string path) {
  for (int links = 0; links < 40; ++links) {
    char buf[4096];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<std::size_t>(n) == sizeof buf) return path;
    const std::string to(buf, static_cast<std::size_t>(n));
    path = to.front() == '/' ? to : join(parentOf(path), to);
  }
  return path;
}

// Writes the whole text to a temporary file beside the file that path names (through
// links), flushes it to disk and renames it over that file, so it is always either the old
// or the new file.
// `written`, when given, receives the status of the new file.
bool atomicWrite(const std::string& path, const std::string& text, struct stat* written = nullptr) {
  const std::string target = finalTarget(path);
  const std::string dir = parentOf(target);
  const std::string tmp = join(dir, "." + nameOf(target) + ".tmp." + std::to_string(::getpid()));
  // A new file always, never through a link: one planted under this name (or left by a
  // writer that was killed) is removed first.
  constexpr int kNew = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(tmp.c_str(), kNew, 0600);
  if (fd < 0 && errno == EEXIST && ::unlink(tmp.c_str()) == 0) fd = ::open(tmp.c_str(), kNew, 0600);
  if (fd < 0) {
    writeFailed(path, "write");
    return false;
  }
  std::size_t done = 0;
  bool ok = true;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (ok && written && ::fstat(fd, written) != 0) *written = {};
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) {
    writeFailed(path, "write");
    ::unlink(tmp.c_str());
    return false;
  }
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

// An exclusive lock on "<file>.lock" for the time of one read-modify-write.
class FileLock {
 public:
  explicit FileLock(const std::string& file) {
    const std::string lock = join(parentOf(file), "." + nameOf(file) + ".lock");
    fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);  // never through a link
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Moves an unreadable file aside as "<file>.damaged-<time>" so that nothing in it is lost.
void keepAside(const std::string& file) {
  char stamp[32];
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &tm);
  std::string aside = file + ".damaged-" + stamp;
  for (int i = 1; exists(aside); ++i) aside = file + ".damaged-" + stamp + "-" + std::to_string(i);
  ::rename(file.c_str(), aside.c_str());
  logEvent("settings: " + file + " could not be read; kept aside as " + aside);
  if (troubleHandler()) troubleHandler()(StoreTrouble::KeptAside, file, aside);
}

// Removes temporary files that a writer killed mid-write left behind. Only called with the
// file's lock held, so no live writer owns one.
void removeStaleTemporaries(const std::string& file) {
  const std::string prefix = "." + nameOf(file) + ".tmp.";
  const std::string dir = parentOf(file);
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (const dirent* entry = ::readdir(d))
    if (std::string_view(entry->d_name).starts_with(prefix)) ::unlink(join(dir, entry->d_name).c_str());
  ::closedir(d);
}

// --- XDG autostart entries -------------------------------------------------------------

std::string desktopExec(std::string_view program) {
  // One argument, quoted when it holds anything the Exec field treats specially.
  bool quote = program.empty();
  for (char c : program)
    if (std::strchr(" \t\n\"'\\><~|&;$*?#()`=%", c)) quote = true;
  std::string arg;
  if (!quote) {
    arg = program;
  } else {
    arg = "\"";
    for (char c : program) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') arg += '\\';
      arg += c;
    }
    arg += '"';
  }
  // The desktop file format escapes backslashes, and a literal % is doubled.
  std::string out;
  for (char c : arg) {
    if (c == '\\') out += "\\\\";
    else if (c == '%') out += "%%";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

std::string undesktopExec(std::string_view field) {
  std::string arg;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 1 < field.size()) {
      const char n = field[++i];
      arg += n == 'n' ? '\n' : n == 's' ? ' ' : n == 't' ? '\t' : n;
    } else if (field[i] == '%' && i + 1 < field.size() && field[i + 1] == '%') {
      arg += '%';
      ++i;
    } else {
      arg += field[i];
    }
  }
  if (arg.size() >= 2 && arg.front() == '"' && arg.back() == '"') {
    std::string out;
    for (std::size_t i = 1; i + 1 < arg.size(); ++i) {
      if (arg[i] == '\\' && i + 2 < arg.size()) ++i;
      out += arg[i];
    }
    return out;
  }
  return arg;
}

bool safeEntryName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

std::optional<std::string> readAutostart(const std::string& dir, std::string_view name) {
  if (!safeEntryName(name)) return std::nullopt;
  std::string text;
  if (settings_file::readText(join(dir, std::string(name) + ".desktop"), text) != settings_file::Found::Read)
    return std::nullopt;
  for (std::string_view rest(text); !rest.empty();) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    if (line.starts_with("Exec=")) return undesktopExec(line.substr(5));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return std::nullopt;
}

bool writeAutostart(const std::string& dir, std::string_view name, std::string_view value) {
  if (!safeEntryName(name)) return false;
  makeDirectories(dir);
  std::string text = "[Desktop Entry]\nType=Application\nName=";
  for (char c : name) text += c == '\n' ? ' ' : c;
  text += "\nExec=" + desktopExec(value) + "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
  return atomicWrite(join(dir, std::string(name) + ".desktop"), text);
}

}  // namespace

// --- FileStore -----------------------------------------------------------------------

void setStoreTroubleHandler(std::function<void(StoreTrouble, const std::string&, const std::string&)> handler) {
  troubleHandler() = std::move(handler);
}

namespace {
// The fallback folder configHome() last refused, and why.
std::pair<std::string, std::string>& refusedHome() {
  static std::pair<std::string, std::string> refused;
  return refused;
}
}  // namespace

std::string configHome() {
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') return x;
  if (const char* h = std::getenv("HOME"); h && *h) return join(h, ".config");
  const std::string fallback = "/tmp/.config-" + std::to_string(::getuid());
  std::string why;
  std::string home = privateFolder(fallback, &why);
  refusedHome() = home.empty() ? std::pair(fallback, why) : std::pair<std::string, std::string>();
  return home;
}

FileStore::FileStore(std::string home) : home_(std::move(home)) {
  if (home_.empty()) refused_ = refusedHome();
}

bool FileStore::unsaved() {
  if (!refused_.first.empty() && !std::exchange(told_, true)) {
    logEvent("settings: not saved: the folder " + refused_.first + " is refused (" + refused_.second + ")");
    if (troubleHandler()) troubleHandler()(StoreTrouble::WriteFailed, refused_.first, refused_.second);
  }
  return false;
}

FileStore::Location FileStore::locate(uint32_t root, std::string_view subKey) const {
  Location loc;
  if (root != kHkeyCurrentUser || home_.empty()) return loc;
  const auto parts = splitKey(subKey);
  if (parts.empty()) {
    loc.kind = Location::Kind::Folder;
    loc.path = home_;
    return loc;
  }
  if (!iequals(parts[0], "Software")) return loc;
  for (const auto& p : parts)
    if (!safeName(p)) return loc;
  const auto runParts = splitKey(kRunSubKey);
  if (parts.size() == runParts.size()) {
    bool same = true;
    for (std::size_t i = 0; i < parts.size(); ++i) same = same && iequals(parts[i], runParts[i]);
    if (same) {
      loc.kind = Location::Kind::Autostart;
      loc.path = join(home_, "autostart");
      return loc;
    }
  }
  if (parts.size() == 1) {
    loc.kind = Location::Kind::Folder;
    loc.path = home_;
  } else if (parts.size() == 2) {
    loc.kind = Location::Kind::Folder;
    loc.path = join(home_, parts[1]);
  } else {
    loc.kind = Location::Kind::IniFile;
    loc.path = join(join(home_, parts[1]), parts[2] + ".conf");
    if (parts.size() == 3) {
      loc.section = "General";
    } else {
      for (std::size_t i = 3; i < parts.size(); ++i) loc.section += (i > 3 ? "/" : "") + parts[i];
    }
  }
  return loc;
}

namespace {

// Loads an INI file for reading: null when absent or unreadable. What could not be read
// is logged once, not at every one of the many reads of a start.
std::shared_ptr<const ini::Document> loadIni(const std::string& file) {
  static std::map<std::string, std::size_t> reported;  // file -> lines skipped when last logged
  constexpr std::size_t kUnopened = SIZE_MAX - 1;
  auto parsed = settings_file::load(file);
  if (parsed.found != settings_file::Found::Read) {
    if (parsed.found == settings_file::Found::Failed && std::exchange(reported[file], kUnopened) != kUnopened)
      unreadable(file, parsed.error);
    return nullptr;
  }
  const std::size_t skipped = parsed.doc ? parsed.doc->unreadLineCount() : SIZE_MAX;
  auto& last = reported[file];
  if (skipped != last && (skipped == SIZE_MAX || skipped > 0)) {
    if (!parsed.doc) logEvent("settings: " + file + " cannot be read at all; its values read as absent");
    else logEvent("settings: " + file + ": " + std::to_string(skipped) + " line(s) cannot be read; skipped and kept");
  }
  last = skipped;
  return parsed.doc;
}

// Read-modify-write of one INI file under its lock. `change` returns false to leave it
// untouched. A file of which nothing can be read is kept aside and replaced by a fresh one.
template <typename Change>
bool updateIni(const std::string& file, bool mustExist, Change change) {
  FileLock lock(file);
  if (!lock.held()) {
    writeFailed(file, "lock");
    return false;
  }
  removeStaleTemporaries(finalTarget(file));
  const auto parsed = settings_file::load(file);
  if (parsed.found == settings_file::Found::Absent && mustExist) return false;
  if (parsed.found == settings_file::Found::Failed) {
    unreadable(file, parsed.error);
    return false;
  }
  ini::Document doc;
  if (parsed.doc) doc = *parsed.doc;
  else if (parsed.found == settings_file::Found::Read) keepAside(finalTarget(file));
  if (!change(doc)) return false;
  struct stat written {};
  if (!atomicWrite(file, ini::serialize(doc), &written)) return false;
  settings_file::remember(file, written, std::move(doc));
  return true;
}

}  // namespace

bool FileStore::createKey(uint32_t root, std::string_view subKey) {
  if (home_.empty()) return unsaved();
  const Location loc = locate(root, subKey);
  switch (loc.kind) {
    case Location::Kind::None: return false;
    case Location::Kind::Folder:
    case Location::Kind::Autostart: return makeDirectories(loc.path);
    case Location::Kind::IniFile: {
      if (!makeDirectories(parentOf(loc.path))) {
        writeFailed(parentOf(loc.path), "create");
        return false;
      }
      auto doc = loadIni(loc.path);
      if (doc && (loc.section == "General" || doc->sections.count(loc.section))) return true;
      return updateIni(loc.path, false, [&](ini::Document& d) {
        if (loc.section != "General" && !d.sections.count(loc.section)) {
          d.sections[loc.section];
          return true;
        }
        return !exists(loc.path);  // create the empty file once
      }) || exists(loc.path);
    }
  }
  return false;
}

bool FileStore::keyExists(uint32_t root, std::string_view subKey) {
  const Location loc = locate(root, subKey);
  switch (loc.kind) {
    case Location::Kind::None: return false;
    case Location::Kind::Folder: return isDirectory(loc.path);
    case Location::Kind::Autostart: return true;  // the desktop always looks there
    case Location::Kind::IniFile: {
      if (!exists(loc.path)) return false;
      if (loc.section == "General") return true;
      auto doc = loadIni(loc.path);
      return doc && doc->sections.count(loc.section);
    }
  }
  return false;
}

std::optional<std::string> FileStore::readValue(uint32_t root, std::string_view subKey, std::string_view name) {
  const Location loc = locate(root, subKey);
  if (loc.kind == Location::Kind::Autostart) return readAutostart(loc.path, name);
  if (loc.kind != Location::Kind::IniFile) return std::nullopt;
  auto doc = loadIni(loc.path);
  if (!doc) return std::nullopt;
  auto s = doc->sections.find(loc.section);
  if (s == doc->sections.end()) return std::nullopt;
  auto v = s->second.find(std::string(name));
  if (v == s->second.end()) return std::nullopt;
  return v->second;
}

// The values into the key's section of its INI file, in one replacement of the file.
static bool writeIni(const FileStore::Location& loc, const Store::Values& values) {
  return updateIni(loc.path, true, [&](ini::Document& d) {
    if (loc.section != "General" && !d.sections.count(loc.section)) return false;  // no such key
    for (const auto& [name, value] : values) d.sections[loc.section][name] = value;
    return true;
  });
}

bool FileStore::writeValue(uint32_t root, std::string_view subKey, std::string_view name, std::string_view value) {
  if (home_.empty()) return unsaved();
  const Location loc = locate(root, subKey);
  if (loc.kind == Location::Kind::Autostart) return writeAutostart(loc.path, name, value);
  if (loc.kind != Location::Kind::IniFile) return false;
  return writeIni(loc, {{std::string(name), std::string(value)}});
}

bool FileStore::writeValues(uint32_t root, std::string_view subKey, const Values& values) {
  const Location loc = locate(root, subKey);
  if (loc.kind != Location::Kind::IniFile) return Store::writeValues(root, subKey, values);
  return writeIni(loc, values);
}

bool FileStore::deleteValue(uint32_t root, std::string_view subKey, std::string_view name) {
  const Location loc = locate(root, subKey);
  if (loc.kind == Location::Kind::Autostart) {
    if (!safeEntryName(name)) return false;
    return ::unlink(join(loc.path, std::string(name) + ".desktop").c_str()) == 0;
  }
  if (loc.kind != Location::Kind::IniFile) return false;
  return updateIni(loc.path, true, [&](ini::Document& d) {
    auto s = d.sections.find(loc.section);
    return s != d.sections.end() && s->second.erase(std::string(name)) > 0;
  });
}

// --- MemoryStore ---------------------------------------------------------------------

std::string MemoryStore::id(uint32_t root, std::string_view subKey) {
  std::string s = std::to_string(root) + "\\";
  for (const auto& p : splitKey(subKey)) {
    for (char c : p) s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    s += '\\';
  }
  return s;
}

bool MemoryStore::createKey(uint32_t root, std::string_view subKey) {
  if (failWrites) return false;
  keys[id(root, subKey)];
  return true;
}

bool MemoryStore::keyExists(uint32_t root, std::string_view subKey) { return keys.count(id(root, subKey)) > 0; }

std::optional<std::string> MemoryStore::readValue(uint32_t root, std::string_view subKey, std::string_view name) {
  auto k = keys.find(id(root, subKey));
  if (k == keys.end()) return std::nullopt;
  auto v = k->second.find(std::string(name));
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

bool MemoryStore::writeValue(uint32_t root, std::string_view subKey, std::string_view name, std::string_view value) {
  auto k = keys.find(id(root, subKey));
  if (failWrites || k == keys.end()) return false;
  k->second[std::string(name)] = std::string(value);
  return true;
}

bool MemoryStore::deleteValue(uint32_t root, std::string_view subKey, std::string_view name) {
  auto k = keys.find(id(root, subKey));
  if (failWrites || k == keys.end()) return false;
  return k->second.erase(std::string(name)) > 0;
}

// --- the program's store --------------------------------------------------------------

namespace {
Store* g_override = nullptr;
}

Store& defaultStore() {
  if (g_override) return *g_override;
  static FileStore store;  // configHome() is read once, at first use
  return store;
}

void setDefaultStore(Store* store) { g_override = store; }

}  // namespace platform
