// SPDX-License-Identifier: GPL-3.0-or-later
// Class ids as text, and the coercions of late-bound values.
#include "platform/host/com.h"

#include <cctype>
#include <cstdio>

#include "platform/convert.h"
#include "platform/errors.h"

namespace platform::com {

std::string toString(const Guid& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.d1, g.d2, g.d3,
                g.d4[0], g.d4[1], g.d4[2], g.d4[3], g.d4[4], g.d4[5], g.d4[6], g.d4[7]);
  return buf;
}

std::optional<Guid> parseGuid(std::string_view text) {
  // {8-4-4-4-12}
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  std::string hex;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    const char c = text[i];
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      if (c != '-') return std::nullopt;
      continue;
    }
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    hex += c;
  }
  auto take = [&hex](std::size_t pos, std::size_t len) {
    return static_cast<uint32_t>(std::stoul(hex.substr(pos, len), nullptr, 16));
  };
  Guid g;
  g.d1 = take(0, 8);
  g.d2 = static_cast<uint16_t>(take(8, 4));
  g.d3 = static_cast<uint16_t>(take(12, 4));
  for (std::size_t i = 0; i < 8; ++i) g.d4[i] = static_cast<uint8_t>(take(16 + 2 * i, 2));
  return g;
}

int16_t Variant::toInteger() const {
  if (type_ == Type::String) return vbCInt(std::string_view(text_));
  return vbCInt(number_);
}

int32_t Variant::toLong() const {
  if (type_ == Type::String) return vbCLng(std::string_view(text_));
  return vbCLng(number_);
}

double Variant::toDouble() const {
  if (type_ == Type::String) return vbCDbl(text_);
  return number_;
}

bool Variant::toBoolean() const {
  if (type_ == Type::String) return vbCBool(text_);
  return number_ != 0;
}

std::string Variant::toText() const {
  switch (type_) {
    case Type::Empty: return {};
    case Type::String: return text_;
    case Type::Boolean: return vbBoolText(number_ != 0);
    case Type::Single: return vbCStrSingle(static_cast<float>(number_));
    default: return vbCStr(number_);
  }
}

}  // namespace platform::com
