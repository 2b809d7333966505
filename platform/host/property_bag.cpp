// SPDX-License-Identifier: GPL-3.0-or-later
// The in-memory property bag and its designer text form.
#include "platform/host/property_bag.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/convert.h"
#include "platform/errors.h"

namespace platform {

bool PropertyBag::Read(const char* name, com::Variant* value) {
  for (const auto& [n, v] : values_) {
    if (n == name) {
      if (value) *value = v;
      return true;
    }
  }
  return false;
}

void PropertyBag::Write(const char* name, const com::Variant& value) {
  for (auto& [n, v] : values_) {
    if (n == name) {
      v = value;
      return;
    }
  }
  values_.emplace_back(name, value);
}

bool PropertyBag::contains(std::string_view name) const {
  for (const auto& entry : values_)
    if (entry.first == name) return true;
  return false;
}

namespace {

[[noreturn]] void badLine(std::size_t lineNo) {
  throw RuntimeError(err::kInvalidPropertyValue,
                     "Invalid property value on line " + std::to_string(lineNo) + " of the form text");
}

bool isNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

}  // namespace

PropertyBag PropertyBag::fromFormText(std::string_view text) {
  PropertyBag bag;
  std::size_t lineNo = 0;
  while (!text.empty()) {
    ++lineNo;
    const auto eol = text.find('\n');
    std::string line(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t i = 0;
    auto skipBlanks = [&] {
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    };
    skipBlanks();
    if (i == line.size()) continue;
    const std::size_t nameStart = i;
    while (i < line.size() && isNameChar(line[i])) ++i;
    const std::string name = line.substr(nameStart, i - nameStart);
    skipBlanks();
    if (name.empty() || i == line.size() || line[i] != '=') badLine(lineNo);
    ++i;
    skipBlanks();
    com::Variant value;
    if (i < line.size() && line[i] == '"') {
      std::string s;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            s += '"';
            i += 2;
            continue;
          }
          closed = true;
          ++i;
          break;
        }
        s += line[i++];
      }
      if (!closed) badLine(lineNo);
      value = com::Variant(std::move(s));
    } else {
      const std::size_t numStart = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\'') ++i;
      const std::string num = line.substr(numStart, i - numStart);
      if (num.empty() || !isNumeric(num)) badLine(lineNo);
      const double d = vbVal(num);
      if (!std::isfinite(d)) badLine(lineNo);  // beyond a Double: it could not be written back
      skipBlanks();
      if (i < line.size() && line[i] != '\'') badLine(lineNo);
      const std::string comment = i < line.size() ? line.substr(i + 1) : std::string{};
      if ((comment == "True" || comment == "False") && (d == 0 || d == -1)) {
        value = com::Variant(d != 0);
      } else if (d == std::floor(d) && d >= -2147483648.0 && d <= 2147483647.0) {
        value = com::Variant(static_cast<int32_t>(d));
      } else {
        value = com::Variant(d);
      }
      i = line.size();
    }
    skipBlanks();
    if (i < line.size() && line[i] != '\'') badLine(lineNo);
    bag.Write(name.c_str(), value);
  }
  return bag;
}

std::string PropertyBag::toFormText() const {
  std::string out;
  for (const auto& [name, v] : values_) {
    std::string line = name;
    if (line.size() < 16) line.append(16 - line.size(), ' ');
    line += "=   ";
    switch (v.type()) {
      case com::Variant::Type::String: {
        line += '"';
        for (char c : v.text()) line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
        break;
      }
      case com::Variant::Type::Boolean:
        line += v.number() != 0 ? "-1  'True" : "0   'False";
        break;
      case com::Variant::Type::Double: {
        // Every digit the value needs to read back the same: 15 digits would turn
        // 120.00000000000019 into 120, a whole number of another type.
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, v.number()).ptr;
        line.append(digits, end);
        break;
      }
      default:
        line += v.toText();
        break;
    }
    out += line + "\n";
  }
  return out;
}

}  // namespace platform
