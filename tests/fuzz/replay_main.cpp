// SPDX-License-Identifier: GPL-3.0-or-later
// Replays the kept inputs of a fuzz target without the fuzzer: each file named on the
// command line (or each file in a folder named there) goes through the target once. The
// normal test run uses it, so an input that once crashed or broke a property stays tested.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

void replay(const std::string& path, int& count) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    std::fprintf(stderr, "no such input: %s\n", path.c_str());
    std::exit(2);
  }
  if (S_ISDIR(st.st_mode)) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(path.c_str())) {
      while (const dirent* e = ::readdir(d))
        if (e->d_name[0] != '.') names.emplace_back(e->d_name);
      ::closedir(d);
    }
    for (const auto& n : names) replay(path + "/" + n, count);
    return;
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::fprintf(stderr, "replaying %s\n", path.c_str());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  ++count;
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  int count = 0;
  for (int i = 1; i < argc; ++i) replay(argv[i], count);
  std::printf("%d inputs replayed, every property held\n", count);
  return count > 0 ? 0 : 1;
}
