// SPDX-License-Identifier: GPL-3.0-or-later
// regsvr: registers a component library in the per-user store by calling its own
// DllRegisterServer (or, with -u, DllUnregisterServer); with --system, in the machine-wide
// folder that every user's component registry reads after their own.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/host/component_registry.h"
#include "platform/host/library_trust.h"

namespace fs = std::filesystem;

namespace {

int usage() {
  std::fprintf(stderr,
               "Usage: regsvr [-u] [-s] [--system] PATH\n"
               "  Registers the component library PATH for the current user.\n"
               "  -u        unregister it instead\n"
               "  -s        silent: print nothing on success\n"
               "  --system  for every user of this machine (in the first folder of\n"
               "            $XDG_CONFIG_DIRS, normally /etc/xdg; needs root)\n");
  return 1;
}

// Whether the folder could be created or written: the nearest existing one of it and the
// folders above it must be writable.
bool writable(fs::path dir) {
  std::error_code ec;
  while (!dir.empty() && !fs::exists(dir, ec) && dir != dir.parent_path()) dir = dir.parent_path();
  return ::access(dir.c_str(), W_OK) == 0;
}

// True when the settings file holds no value: only section headers, comments and blanks.
bool holdsNoValue(const fs::path& file) {
  std::ifstream in(file);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    if (line[first] != '[' && line[first] != ';' && line[first] != '#') return false;
  }
  return !in.bad();
}

// The first symbolic link in the machine-wide folder (or the folder itself), "" when there
// is none. regsvr writes its settings files, their locks and temporary files there as root:
// a link planted there would send those writes anywhere.
std::string plantedLink(const fs::path& classes) {
  std::error_code ec;
  if (fs::is_symlink(classes, ec)) return classes.string();
  for (const auto& entry : fs::directory_iterator(classes, ec))
    if (entry.is_symlink(ec)) return entry.path().string();
  return {};
}

// A machine-wide registration is read by every user: its files must be readable by all,
// whatever the umask of the one who registered.
void shareRegistration(const fs::path& classes) {
  std::error_code ec;
  fs::permissions(classes, fs::perms(0755), ec);
  for (const auto& entry : fs::directory_iterator(classes, ec))
    if (entry.is_regular_file(ec) && entry.path().extension() == ".conf" && entry.path().filename().string()[0] != '.')
      fs::permissions(entry.path(), fs::perms(0644), ec);
}

// What an unregistration leaves in the machine-wide folder: files with no value left, their
// lock files, and the folder itself when it is empty then.
void tidyRegistration(const fs::path& classes) {
  std::error_code ec;
  std::vector<fs::path> empty;
  for (const auto& entry : fs::directory_iterator(classes, ec)) {
    const std::string name = entry.path().filename().string();
    if (name[0] != '.' && entry.path().extension() == ".conf" && entry.is_regular_file(ec) && holdsNoValue(entry.path()))
      empty.push_back(entry.path());
  }
  for (const auto& file : empty) {
    fs::remove(file, ec);
    fs::remove(classes / ("." + file.filename().string() + ".lock"), ec);
  }
  fs::remove(classes, ec);  // only when empty
}

}  // namespace

int main(int argc, char** argv) {
  bool unregister = false;
  bool silent = false;
  bool system = false;
  std::string path;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-u" || a == "/u") {
      unregister = true;
    } else if (a == "-s" || a == "/s") {
      silent = true;
    } else if (a == "--system") {
      system = true;
    } else if (a == "-h" || a == "--help") {
      usage();
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "regsvr: unknown option %s\n", a.c_str());
      return usage();
    } else if (path.empty()) {
      path = a;
    } else {
      std::fprintf(stderr, "regsvr: only one library can be given\n");
      return usage();
    }
  }
  if (path.empty()) return usage();

  std::error_code ec;
  const auto absolute = std::filesystem::absolute(path, ec);
  const std::string full = ec ? path : absolute.lexically_normal().string();
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";

  if (!std::filesystem::is_regular_file(full, ec)) {
    std::fprintf(stderr, "regsvr: The module \"%s\" failed to load.\nThe file does not exist.\n", full.c_str());
    return 3;
  }

  // A library another user could change would run inside every program that loads it: it
  // is neither registered nor loaded (the program refuses it too).
  if (const std::string why = platform::libraryRefusal(full); !why.empty()) {
    std::fprintf(stderr, "regsvr: The module \"%s\" is not registered: %s.\nOnly a library that no other user can "
                 "change or replace may be registered; it and its folders must belong to root or to you, and others "
                 "must not write into them.\n", full.c_str(), why.c_str());
    return 7;
  }

  // The library registers itself in the store under $XDG_CONFIG_HOME; for all users that is
  // the machine-wide folder.
  fs::path classes;
  if (system) {
    const std::string dir = platform::systemConfigDirs().front();
    classes = fs::path(dir) / "Classes";
    if (!writable(classes)) {
      std::fprintf(stderr, "regsvr: The folder \"%s\" cannot be written (%s).\nRegistering for all users needs root.\n",
                   classes.c_str(), std::strerror(errno));
      return 6;
    }
    if (const std::string link = plantedLink(classes); !link.empty()) {
      std::fprintf(stderr, "regsvr: \"%s\" is a symbolic link.\nRegistering for all users writes through no link; "
                   "remove it first.\n", link.c_str());
      return 6;
    }
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  }

  void* lib = ::dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    const char* e = ::dlerror();
    std::fprintf(stderr, "regsvr: The module \"%s\" failed to load.\n%s\n", full.c_str(), e ? e : "");
    return 3;
  }
  using EntryFn = int32_t (*)();
  auto fn = reinterpret_cast<EntryFn>(::dlsym(lib, entry));
  if (!fn) {
    std::fprintf(stderr, "regsvr: The module \"%s\" was loaded but the entry-point %s was not found.\n",
                 full.c_str(), entry);
    ::dlclose(lib);
    return 4;
  }
  const int32_t hr = fn();
  ::dlclose(lib);
  if (system && hr == 0) {
    if (unregister) tidyRegistration(classes);
    else shareRegistration(classes);
  }
  if (hr != 0) {
    std::fprintf(stderr, "regsvr: The module \"%s\" was loaded but the call to %s failed with error code 0x%08X.\n",
                 full.c_str(), entry, static_cast<unsigned>(hr));
    return 5;
  }
  if (!silent) std::printf("%s in %s succeeded.\n", entry, full.c_str());
  return 0;
}
