// regsvr: registers a component library in the per-user store by calling its own
// DllRegisterServer (or, with -u, DllUnregisterServer).
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

int usage() {
  std::fprintf(stderr,
               "Usage: regsvr [-u] [-s] PATH\n"
               "  Registers the component library PATH for the current user.\n"
               "  -u  unregister it instead\n"
               "  -s  silent: print nothing on success\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  bool unregister = false;
  bool silent = false;
  std::string path;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-u" || a == "/u") {
      unregister = true;
    } else if (a == "-s" || a == "/s") {
      silent = true;
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
  if (hr != 0) {
    std::fprintf(stderr, "regsvr: The module \"%s\" was loaded but the call to %s failed with error code 0x%08X.\n",
                 full.c_str(), entry, static_cast<unsigned>(hr));
    return 5;
  }
  if (!silent) std::printf("%s in %s succeeded.\n", entry, full.c_str());
  return 0;
}
