// The diagnostic log: one line per significant event, on standard error and optionally in a file.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Writes "YYYY-MM-DDTHH:MM:SS.mmm <event>" to standard error and, once setLogFile
// has been called, appends the same line to that file.
void logEvent(std::string_view event);

// Sends the log to a file as well (the --log FILE option). An empty path turns it off.
void setLogFile(const std::string& path);

// Silences standard error (tests that produce many events use this); the file still receives lines.
void setLogToStderr(bool on);

// The local date and time to the millisecond in ISO 8601, as each log line begins.
std::string logTimestamp();

}  // namespace platform
