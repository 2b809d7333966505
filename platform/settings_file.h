// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the settings files: whole, and parsed once until the file changes on disk.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>

#include "platform/ini.h"

namespace platform::settings_file {

// What a read found. Only "no such file" is Absent: a file that is there but cannot be
// opened or read is Failed, and must never be taken for a missing one.
enum class Found { Absent, Read, Failed };

// The whole text of a file; on Failed errno says why.
Found readText(const std::string& path, std::string& text);

struct Parsed {
  Found found = Found::Absent;
  int error = 0;                               // why, when Failed
  std::shared_ptr<const ini::Document> doc;    // null unless Read and something could be read
};

// The parsed file. A file still the same one as at the last load or write in this process
// (same device and inode, modification time and size) is not read again: a write replaces
// the file by a new one, and an edit in place changes its modification time, so a change by
// another process is seen at the next load.
Parsed load(const std::string& path);

// After a write of doc to the file whose status is `written`: the next load uses doc.
void remember(const std::string& path, const struct stat& written, ini::Document doc);

}  // namespace platform::settings_file
