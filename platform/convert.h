// SPDX-License-Identifier: GPL-3.0-or-later
// Number and text conversions with the runtime's rules: the leading-number reading of a
// text, Boolean texts, whole numbers with halves to even, and numbers written back as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The leading decimal number of a text ("12ab" is 12, "" and "ab" are 0). Blanks, tabs and
// line feeds are skipped, also between digits; a sign, a fraction and an exponent are read.
double vbVal(std::string_view text);

// True when the whole text (blanks around it allowed) is a number.
bool isNumeric(std::string_view text);

// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// Strict conversions; a text that is not a number raises error 13, one out of range error 6.
double vbCDbl(std::string_view text);
float vbCSng(std::string_view text);
int16_t vbCInt(std::string_view text);
int32_t vbCLng(std::string_view text);
int16_t vbCInt(double value);
int32_t vbCLng(double value);
uint8_t vbCByte(double value);

// "True"/"False" in any case, or a number (non-zero is true); anything else raises error 13.
bool vbCBool(std::string_view text);

// The same conversions without raising: no value where they would raise an error. For the
// common "no such setting" case at start-up, where raising would be the only exception the
// program ever throws (the first one costs about 0.2 MB of unwinding machinery).
std::optional<double> tryCDbl(std::string_view text);
std::optional<int16_t> tryCInt(std::string_view text);
std::optional<bool> tryCBool(std::string_view text);
inline const char* vbBoolText(bool b) { return b ? "True" : "False"; }

// A number as text: Str writes a leading blank when it is not negative and drops a leading
// zero before the decimal point (" 5", "-5", " .5"); CStr writes no blank ("5", "0.5").
// Doubles keep 15 significant digits, singles 7.
std::string vbStr(double value);
std::string vbCStr(double value);
std::string vbCStrSingle(float value);

// Trim removes blanks (spaces only) from both ends, LTrim and RTrim from one.
std::string vbTrim(std::string_view s);
std::string vbLTrim(std::string_view s);
std::string vbRTrim(std::string_view s);

// Mid with a 1-based start; out-of-range parts give what is there.
std::string vbMid(std::string_view s, std::size_t start1, std::size_t length = std::string::npos);

}  // namespace platform
