// SPDX-License-Identifier: GPL-3.0-or-later
// The spinner.
#include "platform/updown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "platform/convert.h"

UpDown::UpDown(QLineEdit* buddy, int min, int max, QWidget* parent)
    : QWidget(parent), Min(min), Max(max), buddy_(buddy), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  for (QToolButton* b : {up_, down_}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
    b->setAutoRaise(false);
    b->setIconSize(QSize(7, 4));
  }
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
  connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
  buddy_->installEventFilter(this);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched != buddy_ || event->type() != QEvent::KeyPress || !isEnabled()) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  int delta = 0;
  switch (key->key()) {
    case Qt::Key_Up: delta = 1; break;
    case Qt::Key_Down: delta = -1; break;
    case Qt::Key_PageUp: delta = 10; break;
    case Qt::Key_PageDown: delta = -10; break;
    default: return false;
  }
  step(delta);
  buddy_->selectAll();  // typing replaces the stepped value, as after tabbing in
  return true;
}

void UpDown::step(int delta) {
  emit aboutToStep();
  const double v = platform::vbVal(buddy_->text().toStdString());
  const int lo = std::min(Min, Max), hi = std::max(Min, Max);
  const int current = std::isfinite(v) ? static_cast<int>(std::clamp(v, double(lo), double(hi))) : lo;
  const int next = std::clamp(current + delta, lo, hi);
  buddy_->setText(QString::number(next));
  emit Change();
}

void UpDown::resizeEvent(QResizeEvent*) {
  const int h = height() / 2;
  up_->setGeometry(0, 0, width(), h);
  down_->setGeometry(0, h, width(), height() - h);
}
