// SPDX-License-Identifier: GPL-3.0-or-later
// A property bag in memory, and the text form a form designer saves it in.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/host/com.h"

namespace platform {

// Keeps values in the order they were first written.
class PropertyBag final : public com::IPropertyBag {
 public:
  bool Read(const char* name, com::Variant* value) override;
  void Write(const char* name, const com::Variant& value) override;

  bool contains(std::string_view name) const;
  const std::vector<std::pair<std::string, com::Variant>>& values() const { return values_; }

  // The designer's text form, one property a line:
  //   DigitDisplay    =   "543"
  //   DigitSize       =   1
  //   DigitOutLine    =   0   'False
  // Strings are quoted (a quote inside is doubled); numbers are whole or decimal;
  // Booleans are -1 or 0, with the comment 'True or 'False. Blank lines are skipped.
  // Raises RuntimeError(380) with the line number on a line it cannot read.
  static PropertyBag fromFormText(std::string_view text);
  std::string toFormText() const;

 private:
  std::vector<std::pair<std::string, com::Variant>> values_;
};

}  // namespace platform
