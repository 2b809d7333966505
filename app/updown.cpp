// The spinner.
#include "app/updown.h"

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
}

void UpDown::step(int direction) {
  emit aboutToStep();
  const double v = platform::vbVal(buddy_->text().toStdString());
  const int lo = std::min(Min, Max), hi = std::max(Min, Max);
  const int current = std::isfinite(v) ? static_cast<int>(std::clamp(v, double(lo), double(hi))) : lo;
  const int next = std::clamp(current + direction, lo, hi);
  buddy_->setText(QString::number(next));
  emit Change();
}

void UpDown::resizeEvent(QResizeEvent*) {
  const int h = height() / 2;
  up_->setGeometry(0, 0, width(), h);
  down_->setGeometry(0, h, width(), height() - h);
}
