// Small helpers for the windows' tightly laid-out fields, without style sheets (which would
// put every widget of the program under the style-sheet machinery, about 1 MB).
#pragma once

#include <QProxyStyle>
#include <QValidator>

// Accepts up to maxDigits ASCII digits and nothing else.
class DigitsValidator final : public QValidator {
 public:
  DigitsValidator(int maxDigits, QObject* parent) : QValidator(parent), maxDigits_(maxDigits) {}
  State validate(QString& input, int& pos) const override;

 private:
  int maxDigits_;
};

// A combo box style that leaves its text room in a narrow box: a 16-pixel arrow, and the
// text from 3 pixels off the left edge up to it.
class CompactComboStyle final : public QProxyStyle {
 public:
  // Owned by the widget it styles.
  static void applyTo(QWidget* combo);
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override;

 private:
  static constexpr int kArrowWidth = 16;
};
