// SPDX-License-Identifier: GPL-3.0-or-later
// The digits-only check of the time fields and the quick-alarm minutes.
#pragma once

#include <QValidator>

// Accepts up to maxDigits ASCII digits and nothing else.
class DigitsValidator final : public QValidator {
 public:
  DigitsValidator(int maxDigits, QObject* parent) : QValidator(parent), maxDigits_(maxDigits) {}
  State validate(QString& input, int& pos) const override;

 private:
  int maxDigits_;
};
