// SPDX-License-Identifier: GPL-3.0-or-later
// The INI text of the settings files: read leniently, written as QSettings writes it.
//
// A file edited by hand stays useful: a missing final newline and CRLF line ends are
// accepted, and a line that cannot be read (not UTF-8, no "=", an open quote, a broken
// section header) is skipped and kept, so writing the file back loses nothing.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ini {

using Section = std::map<std::string, std::string>;

struct Document {
  std::map<std::string, Section> sections;
  // The lines that could not be read, and the comments, by the section they stood in:
  // written back after that section's values exactly as they were.
  std::map<std::string, std::vector<std::string>> keptLines;

  // The kept lines that are not comments.
  std::size_t unreadLineCount() const;
};

// Parses the text of a settings file. Nothing when none of its lines can be read although
// it holds some (a binary file, or text of another kind): such a file is no file of ours.
std::optional<Document> parse(std::string_view text);
std::string serialize(const Document& doc);

std::string escapeValue(std::string_view value);
std::string escapeKey(std::string_view key);

}  // namespace platform::ini
