// SPDX-License-Identifier: GPL-3.0-or-later
// The settings files' INI text, as a hand-edited or damaged file may hold it: what is read,
// written and read again gives the same values and keeps every line it could not read, and
// a value written into it reads back whole.
//   input: file text | section | key | value
#include <cstdint>

#include "fuzz_input.h"
#include "platform/ini.h"

using platform::ini::Document;

namespace {

// The values by section; [General], the key itself, exists whether it has a header or not.
std::map<std::string, platform::ini::Section> values(const Document& d) {
  auto v = d.sections;
  if (auto g = v.find("General"); g != v.end() && g->second.empty()) v.erase(g);
  return v;
}

void requireSame(const Document& a, const Document& b, const char* when) {
  fuzz::require(values(a) == values(b), std::string("values kept when ") + when);
  fuzz::require(a.keptLines == b.keptLines, std::string("unread lines kept when ") + when);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const auto doc = platform::ini::parse(in.text());
  if (!doc) return 0;  // no file of ours: the store puts it aside whole
  (void)doc->unreadLineCount();

  const std::string written = platform::ini::serialize(*doc);
  const auto again = platform::ini::parse(written);
  fuzz::require(again.has_value(), "a written file reads");
  requireSame(*doc, *again, "written and read again");
  fuzz::require(platform::ini::serialize(*again) == written, "writing again gives the same text");

  if (in.done()) return 0;
  // A value set by the program, with any name and text.
  Document changed = *doc;
  std::string section(in.text());
  if (section.empty()) section = "General";
  const std::string key(in.text()), value(in.text());
  if (key.empty()) return 0;
  changed.sections[section][key] = value;
  const auto read = platform::ini::parse(platform::ini::serialize(changed));
  fuzz::require(read.has_value(), "a file with a new value reads");
  requireSame(changed, *read, "a value was set");
  return 0;
}
