// SPDX-License-Identifier: GPL-3.0-or-later
// The diagnostic log: one line per significant event, on standard error and optionally in a file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Writes "YYYY-MM-DDTHH:MM:SS.mmm <event>" to standard error and, once setLogFile
// has been called, appends the same line to that file.
void logEvent(std::string_view event);

// Sends the log to a file as well (the --log FILE option), created with mode 0600; a
// symbolic link there is refused. An empty path turns it off.
void setLogFile(const std::string& path);

// Silences standard error (tests that produce many events use this); the file still receives lines.
void setLogToStderr(bool on);

// A code module loaded at run time carries its own copy of this log; pointing it at the
// program's logEvent through this hook keeps one log. A sink receives each event without
// its timestamp. Null restores the module's own output.
using LogSink = void (*)(const char* event, std::size_t size);
void setLogSink(LogSink sink);

// The local date and time to the millisecond in ISO 8601, as each log line begins.
std::string logTimestamp();

}  // namespace platform
