// SPDX-License-Identifier: GPL-3.0-or-later
// Runtime errors and the texts of the error boxes.
#include "platform/errors.h"

#include "platform/convert.h"
#include "platform/log.h"

namespace platform {

std::string errorDescription(int number) {
  switch (number) {
    case 3: return "Return without GoSub";
    case 5: return "Invalid procedure call or argument";
    case 6: return "Overflow";
    case 7: return "Out of memory";
    case 9: return "Subscript out of range";
    case 11: return "Division by zero";
    case 13: return "Type mismatch";
    case 52: return "Bad file name or number";
    case 53: return "File not found";
    case 70: return "Permission denied";
    case 75: return "Path/File access error";
    case 76: return "Path not found";
    case 91: return "Object variable or With block variable not set";
    case 94: return "Invalid use of Null";
    case 339: return "Component 'liblumicell.so' or one of its dependencies not correctly registered: a file is missing or invalid";
    case 380: return "Invalid property value";
    case 429: return "ActiveX component can't create object";
    case 438: return "Object doesn't support this property or method";
    case 445: return "Object doesn't support this action";
    case 50003: return "Unexpected error";
    default: return "Application-defined or object-defined error";
  }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, errorDescription(number)) {}

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error("Error " + std::to_string(number) + " - " + description),
      number_(number),
      description_(std::move(description)) {}

std::string standardErrorText(int number, const std::string& description, const std::string& location) {
  std::string t = "An Error was generated:";
  t += kCrLf;
  t += kCrLf;
  t += "Description:";
  t += kCrLf;
  t += "Error" + vbStr(number) + " - " + description;
  t += kCrLf;
  t += location;
  t += kCrLf;
  t += kCrLf;
  t += "Please inform the author with the error description above.";
  return t;
}

std::string startupErrorText(int number, const std::string& description, const std::string& location) {
  if (number != err::kCannotCreateComponent && number != err::kUnexpected)
    return standardErrorText(number, description, location);
  std::string t = "An Error was generated:";
  t += kCrLf;
  t += "Description: Error" + vbStr(number) + " - " + description;
  t += kCrLf;
  t += kCrLf;
  t += number == err::kCannotCreateComponent
           ? "Re-install the program to fix this."
           : "Re-install the program to fix this, or get the latest vbruntimes at Orvanta.";
  return t;
}

bool ignoreErrors(const std::function<void()>& statement) {
  try {
    statement();
    return true;
  } catch (const RuntimeError& e) {
    logEvent("ignored error " + std::to_string(e.number()) + ": " + e.description());
  } catch (const std::exception& e) {
    logEvent(std::string("ignored error: ") + e.what());
  }
  return false;
}

bool ignoreErrors(std::string_view what, const std::function<void()>& statement) {
  try {
    statement();
    return true;
  } catch (const RuntimeError& e) {
    logEvent("ignored error " + std::to_string(e.number()) + " in " + std::string(what) + ": " + e.description());
  } catch (const std::exception& e) {
    logEvent("ignored error in " + std::string(what) + ": " + e.what());
  }
  return false;
}

}  // namespace platform
