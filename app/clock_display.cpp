// SPDX-License-Identifier: GPL-3.0-or-later
// The clock display over the hosted Lumicell control, bound late by dispatch id.
#include "app/clock_display.h"

#include <QFrame>
#include <QPalette>
#include <QWidget>

#include "lumicell/lumicell.h"
#include "platform/host/lumicell_widget.h"

namespace {

class LumicellDisplay final : public ClockDisplay {
 public:
  explicit LumicellDisplay(QWidget* parent) : w_(new platform::LumicellWidget(lumicell::kProgId, parent)) {
    w_->setObjectName(QStringLiteral("Lumicell1"));
    w_->setAttribute(Qt::WA_TransparentForMouseEvents);
    w_->loadAlarmDesign();
  }
  QWidget* widget() override { return w_; }
  void putDisplay(const QString& text) override { w_->put(lumicell::kDispDigitDisplay, text); }
  int color() override { return w_->getLong(lumicell::kDispDigitColor); }
  void putColor(int color) override { w_->put(lumicell::kDispDigitColor, platform::com::Variant(int32_t{color})); }
  int size() override { return w_->getLong(lumicell::kDispDigitSize); }
  void putSize(int size) override { w_->put(lumicell::kDispDigitSize, platform::com::Variant(int32_t{size})); }
  int widthTwips() override { return w_->getLong(platform::extender::kDispWidth); }
  int heightTwips() override { return w_->getLong(platform::extender::kDispHeight); }
  void setLeftTwips(int left) override { w_->put(platform::extender::kDispLeft, platform::com::Variant(float(left))); }
  void setTopTwips(int top) override { w_->put(platform::extender::kDispTop, platform::com::Variant(float(top))); }
  void putToolTip(const QString& text) override { w_->put(platform::extender::kDispToolTipText, text); }

 private:
  platform::LumicellWidget* w_;
};

}  // namespace

void ClockDisplay::putToolTip(const QString& text) { widget()->setToolTip(text); }

std::unique_ptr<ClockDisplay> ClockDisplay::create(QWidget* parent) { return std::make_unique<LumicellDisplay>(parent); }

QFrame* makeDisplayBox(QWidget* parent) {
  auto* box = new QFrame(parent);
  box->setObjectName(QStringLiteral("Picture1"));
  box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  box->setLineWidth(2);
  box->setAutoFillBackground(true);
  QPalette black = box->palette();
  black.setColor(QPalette::Window, Qt::black);
  box->setPalette(black);
  return box;
}
