// SPDX-License-Identifier: GPL-3.0-or-later
// Runtime errors: a number and a description, and the texts of the error boxes built from them.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// Well-known runtime error numbers.
namespace err {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kPathNotFound = 76;
inline constexpr int kInvalidPropertyValue = 380;
inline constexpr int kCannotCreateComponent = 339;
inline constexpr int kObjectDoesNotSupport = 445;
inline constexpr int kUnexpected = 50003;
}  // namespace err

// The description the runtime gives for an error number ("Application-defined or
// object-defined error" for numbers it does not know).
std::string errorDescription(int number);

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(int number);
  RuntimeError(int number, std::string description);
  int number() const { return number_; }
  const std::string& description() const { return description_; }

 private:
  int number_;
  std::string description_;
};

// Lines of an error box are joined with CR LF.
inline constexpr const char* kCrLf = "\r\n";

// The standard error box text:
//   An Error was generated: / (empty) / Description: / Error <n> - <desc> / <location> /
//   (empty) / Please inform the author with the error description above.
std::string standardErrorText(int number, const std::string& description, const std::string& location);

// The start-up error texts: 339 and 50003 get the re-install advice, any other number
// the standard text with the given location.
std::string startupErrorText(int number, const std::string& description, const std::string& location);

// Runs one statement and swallows any error it raises ("ignored statement by statement").
// Returns true when the statement completed.
bool ignoreErrors(const std::function<void()>& statement);
// The same, the error logged under what failed ("ignored error 13 in the stored clock mode").
bool ignoreErrors(std::string_view what, const std::function<void()>& statement);

}  // namespace platform
