// SPDX-License-Identifier: GPL-3.0-or-later
// Number and text conversions with the runtime's rules.
#include "platform/convert.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/errors.h"

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads a number at the start of text; returns how many characters it used (0: none).
std::size_t scanNumber(std::string_view text, double& out, bool skipInnerBlanks) {
  std::string digits;
  std::size_t i = 0;
  auto skip = [&] {
    while (i < text.size() && isBlank(text[i])) ++i;
  };
  skip();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    digits += text[i++];
    skip();
  }
  bool any = false;
  while (i < text.size()) {
    if (std::isdigit(static_cast<unsigned char>(text[i]))) {
      digits += text[i++];
      any = true;
    } else if (skipInnerBlanks && isBlank(text[i])) {
      ++i;
    } else {
      break;
    }
  }
  if (i < text.size() && text[i] == '.') {
    digits += text[i++];
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || (skipInnerBlanks && isBlank(text[i])))) {
      if (!isBlank(text[i])) {
        digits += text[i];
        any = true;
      }
      ++i;
    }
  }
  if (!any) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp += text[j++];
    bool expDigits = false;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
      exp += text[j++];
      expDigits = true;
    }
    if (expDigits) {
      digits += exp;
      i = j;
    }
  }
  out = std::strtod(digits.c_str(), nullptr);
  return i;
}

std::string trimZeros(std::string s) {
  // "1.2300000" -> "1.23", "5.000" -> "5"
  const auto dot = s.find('.');
  if (dot == std::string::npos) return s;
  auto end = s.find_first_of("eE");
  std::string exp = end == std::string::npos ? "" : s.substr(end);
  std::string mant = s.substr(0, end);
  while (!mant.empty() && mant.back() == '0') mant.pop_back();
  if (!mant.empty() && mant.back() == '.') mant.pop_back();
  return mant + exp;
}

std::string formatSignificant(double value, int digits) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  const int exp10 = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  char buf[64];
  if (exp10 >= digits || exp10 < -digits) {
    std::snprintf(buf, sizeof buf, "%.*E", digits - 1, value);
    std::string s = trimZeros(buf);
    // The runtime writes E+30 and E-05 as E+30 and E-05: keep two digits at least.
    const auto e = s.find('E');
    std::string mant = s.substr(0, e);
    std::string rest = s.substr(e + 1);
    const char sign = rest[0];
    std::string ed = rest.substr(1);
    while (ed.size() > 2 && ed[0] == '0') ed.erase(0, 1);
    return mant + "E" + sign + ed;
  }
  std::snprintf(buf, sizeof buf, "%.*f", std::max(0, digits - 1 - exp10), value);
  return trimZeros(buf);
}

}  // namespace

double vbVal(std::string_view text) {
  double v = 0;
  return scanNumber(text, v, true) ? v : 0.0;
}

bool isNumeric(std::string_view text) {
  double v = 0;
  const std::size_t used = scanNumber(text, v, false);
  if (!used) return false;
  for (std::size_t i = used; i < text.size(); ++i)
    if (!isBlank(text[i])) return false;
  return true;
}

double roundHalfEven(double value) {
  const double fl = std::floor(value);
  const double diff = value - fl;
  if (diff > 0.5) return fl + 1;
  if (diff < 0.5) return fl;
  return std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
}

namespace {

// The conversions' common core: the value, or the number of the error it raises.
struct Converted {
  double value = 0;
  int error = 0;
};

Converted cdbl(std::string_view text) {
  const std::string t = vbTrim(text);
  if (t == "True" || t == "true" || t == "TRUE") return {-1};
  if (t == "False" || t == "false" || t == "FALSE") return {0};
  if (!isNumeric(text)) return {0, err::kTypeMismatch};
  double v = 0;
  scanNumber(text, v, false);
  if (std::isinf(v)) return {0, err::kOverflow};
  return {v};
}

Converted cint(Converted c) {
  if (c.error) return c;
  const double r = roundHalfEven(c.value);
  if (!(r >= -32768.0 && r <= 32767.0)) return {0, err::kOverflow};
  return {r};
}

Converted cbool(std::string_view text) {
  std::string t = vbTrim(text);
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (t == "true") return {1};
  if (t == "false") return {0};
  if (isNumeric(text)) {
    const Converted d = cdbl(text);
    return d.error ? d : Converted{d.value != 0 ? 1.0 : 0.0};
  }
  return {0, err::kTypeMismatch};
}

double orRaise(Converted c) {
  if (c.error) throw RuntimeError(c.error);
  return c.value;
}

}  // namespace

double vbCDbl(std::string_view text) { return orRaise(cdbl(text)); }

std::optional<double> tryCDbl(std::string_view text) {
  const Converted c = cdbl(text);
  return c.error ? std::nullopt : std::optional<double>(c.value);
}

std::optional<int16_t> tryCInt(std::string_view text) {
  const Converted c = cint(cdbl(text));
  return c.error ? std::nullopt : std::optional<int16_t>(static_cast<int16_t>(c.value));
}

std::optional<bool> tryCBool(std::string_view text) {
  const Converted c = cbool(text);
  return c.error ? std::nullopt : std::optional<bool>(c.value != 0);
}

float vbCSng(std::string_view text) {
  const double v = vbCDbl(text);
  if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) throw RuntimeError(err::kOverflow);
  return static_cast<float>(v);
}

int16_t vbCInt(double value) { return static_cast<int16_t>(orRaise(cint({value}))); }

int32_t vbCLng(double value) {
  const double r = roundHalfEven(value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw RuntimeError(err::kOverflow);
  return static_cast<int32_t>(r);
}

uint8_t vbCByte(double value) {
  const double r = roundHalfEven(value);
  if (!(r >= 0.0 && r <= 255.0)) throw RuntimeError(err::kOverflow);
  return static_cast<uint8_t>(r);
}

int16_t vbCInt(std::string_view text) { return vbCInt(vbCDbl(text)); }
int32_t vbCLng(std::string_view text) { return vbCLng(vbCDbl(text)); }

bool vbCBool(std::string_view text) { return orRaise(cbool(text)) != 0; }

std::string vbCStr(double value) { return formatSignificant(value, 15); }

std::string vbCStrSingle(float value) { return formatSignificant(static_cast<double>(value), 7); }

std::string vbStr(double value) {
  std::string s = vbCStr(value);
  // Str drops the zero before the decimal point: " .5", "-.5".
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  return value < 0 ? s : " " + s;
}

std::string vbLTrim(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && s[b] == ' ') ++b;
  return std::string(s.substr(b));
}

std::string vbRTrim(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && s[e - 1] == ' ') --e;
  return std::string(s.substr(0, e));
}

std::string vbTrim(std::string_view s) { return vbLTrim(vbRTrim(s)); }

std::string vbMid(std::string_view s, std::size_t start1, std::size_t length) {
  if (start1 == 0 || start1 > s.size()) return {};
  return std::string(s.substr(start1 - 1, length));
}

}  // namespace platform
