// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzz targets' shared ground: an input cut into fields, and the check that stops a run
// with the property that broke.
//
// A field is the text up to the next 0x1F byte (the ASCII unit separator), so the seed files
// stay readable: "07\x1f05\x1f00" is three fields. A number is read from the text of a field.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

namespace fuzz {

class Input {
 public:
  Input(const uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

  bool done() const { return ended_; }

  // The next field; empty once the input is used up.
  std::string_view text() {
    if (ended_) return {};
    const std::size_t cut = rest_.find('\x1f');
    const std::string_view field = rest_.substr(0, cut);
    if (cut == std::string_view::npos) {
      ended_ = true;
      rest_ = {};
    } else {
      rest_.remove_prefix(cut + 1);
    }
    return field;
  }

  // The next field as a whole number in [lo, hi]: its digits (and a leading minus) read
  // modulo the range, so every text gives some number.
  int64_t number(int64_t lo, int64_t hi) {
    const std::string_view t = text();
    uint64_t v = 0;
    bool negative = false;
    for (const char c : t) {
      if (c == '-' && v == 0) negative = true;
      if (c >= '0' && c <= '9') v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    const uint64_t span = static_cast<uint64_t>(hi - lo) + 1;
    const int64_t off = static_cast<int64_t>(v % span);
    return negative ? hi - off : lo + off;
  }

 private:
  std::string_view rest_;
  bool ended_ = false;
};

// Stops the run when a property does not hold; libFuzzer then keeps the input and prints it.
inline void require(bool holds, const std::string& property) {
  if (holds) return;
  std::fprintf(stderr, "broken property: %s\n", property.c_str());
  std::fflush(stderr);
  std::abort();
}

// A new folder for a target's files, in memory where the machine has /dev/shm (each settings
// write flushes to disk).
inline std::string scratchFolder(const std::string& name) {
  for (const char* root : {"/dev/shm", "/tmp"}) {
    std::string pattern = std::string(root) + "/alarm-fuzz-" + name + "-XXXXXX";
    if (::mkdtemp(pattern.data())) return pattern;
  }
  require(false, "a scratch folder");
  return {};
}

}  // namespace fuzz
