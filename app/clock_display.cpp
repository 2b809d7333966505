// The clock display over a plain widget, until the display control is hosted.
#include "app/clock_display.h"

#include <QLabel>

namespace {

class LabelDisplay final : public ClockDisplay {
 public:
  explicit LabelDisplay(QWidget* parent) : label_(new QLabel(parent)) {
    label_->setAlignment(Qt::AlignCenter);
    label_->setStyleSheet(QStringLiteral("color: rgb(4,230,228); background: black;"));
    label_->setObjectName(QStringLiteral("Lumicell1"));
    resize();
  }
  QWidget* widget() override { return label_; }
  void putDisplay(const QString& text) override { label_->setText(text); }
  int color() override { return color_; }
  void putColor(int c) override { color_ = (c < 0 || c > 2) ? 1 : c; }
  int size() override { return size_; }
  void putSize(int s) override {
    size_ = (s < 0 || s > 1) ? 1 : s;
    resize();
  }
  int widthTwips() override { return label_->width() * 15; }
  int heightTwips() override { return label_->height() * 15; }
  void setLeftTwips(int left) override { label_->move(left / 15, label_->y()); }
  void setTopTwips(int top) override { label_->move(label_->x(), top / 15); }

 private:
  void resize() { label_->resize(size_ == 0 ? 88 : 118, size_ == 0 ? 21 : 27); }
  QLabel* label_;
  int color_ = 0;
  int size_ = 1;
};

}  // namespace

std::unique_ptr<ClockDisplay> ClockDisplay::create(QWidget* parent) { return std::make_unique<LabelDisplay>(parent); }
