#include "app/compact_widgets.h"

#include <QStyleOptionComplex>
#include <QWidget>

QValidator::State DigitsValidator::validate(QString& input, int&) const {
  if (input.size() > maxDigits_) return Invalid;
  for (QChar c : input)
    if (c < u'0' || c > u'9') return Invalid;
  return Acceptable;
}

void CompactComboStyle::applyTo(QWidget* combo) {
  auto* style = new CompactComboStyle;
  style->setParent(combo);
  combo->setStyle(style);
}

QRect CompactComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                        SubControl sub, const QWidget* widget) const {
  if (control == CC_ComboBox && (sub == SC_ComboBoxArrow || sub == SC_ComboBoxEditField)) {
    const QRect box = option->rect;
    const QRect arrow(box.right() - kArrowWidth, box.top() + 1, kArrowWidth, box.height() - 2);
    if (sub == SC_ComboBoxArrow) return arrow;
    return QRect(box.left() + 3, box.top() + 1, arrow.left() - box.left() - 3, box.height() - 2);
  }
  return QProxyStyle::subControlRect(control, option, sub, widget);
}
