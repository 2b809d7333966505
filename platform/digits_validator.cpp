// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/digits_validator.h"

QValidator::State DigitsValidator::validate(QString& input, int&) const {
  if (input.size() > maxDigits_) return Invalid;
  for (QChar c : input)
    if (c < u'0' || c > u'9') return Invalid;
  return Acceptable;
}
