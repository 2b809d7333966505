// SPDX-License-Identifier: GPL-3.0-or-later
// The Lumicell host window: the control's site, late-bound gets and puts, painting.
#include "platform/host/lumicell_widget.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/convert.h"
#include "platform/errors.h"

namespace platform {

const char* const kAlarmDisplayFormText =
    "DigitDisplay    =   \"543\"\n"
    "DigitSize       =   1\n"
    "DigitColor      =   0\n"
    "DigitOutLine    =   0   'False\n"
    "DigitFormat     =   2\n";

class LumicellWidget::Site final : public com::IControlSite {
 public:
  explicit Site(LumicellWidget* w) : w_(w) {}
  void PropertyChanged(const char* name) override { emit w_->propertyChanged(QString::fromUtf8(name)); }
  void Invalidate() override { w_->update(); }
  void Refresh() override { w_->repaint(); }
  void ExtentChanged(int32_t widthTwips, int32_t heightTwips) override { w_->applyExtent(widthTwips, heightTwips); }
  int32_t TwipsPerPixelX() override { return kTwipsPerPixel; }
  int32_t TwipsPerPixelY() override { return kTwipsPerPixel; }

 private:
  LumicellWidget* w_;
};

LumicellWidget::LumicellWidget(const char* progId, QWidget* parent)
    : QWidget(parent), control_(createControl(progId)) {
  site_ = new Site(this);
  setAttribute(Qt::WA_OpaquePaintEvent);
  check(control_->SetSite(site_));
}

LumicellWidget::~LumicellWidget() {
  if (control_) control_->SetSite(nullptr);
  control_ = ComPtr<com::IControl>();
  delete site_;
}

void LumicellWidget::check(com::HResult hr) {
  if (hr == com::kOk || hr == com::kFalse) return;
  throw RuntimeError(hr);
}

void LumicellWidget::initProperties() { check(control_->InitProperties()); }
void LumicellWidget::readProperties(PropertyBag& bag) { check(control_->ReadProperties(&bag)); }
void LumicellWidget::writeProperties(PropertyBag& bag) { check(control_->WriteProperties(&bag)); }

void LumicellWidget::loadAlarmDesign() {
  auto bag = PropertyBag::fromFormText(kAlarmDisplayFormText);
  readProperties(bag);
}

void LumicellWidget::ambientChanged(const std::string& name) { check(control_->AmbientChanged(name.c_str())); }

namespace {

// Twips to whole pixels. What no window can be placed at or sized to is refused before it
// reaches an int: not a number is an invalid value, beyond the largest window an overflow.
int toPixels(double twips) {
  const double px = roundHalfEven(twips / kTwipsPerPixel);
  if (std::isnan(px)) throw RuntimeError(err::kInvalidPropertyValue);
  if (std::fabs(px) > QWIDGETSIZE_MAX) throw RuntimeError(err::kOverflow);
  return static_cast<int>(px);
}

}  // namespace

com::Variant LumicellWidget::get(int32_t dispId) {
  switch (dispId) {
    case extender::kDispLeft: return com::Variant(static_cast<float>(x() * kTwipsPerPixel));
    case extender::kDispTop: return com::Variant(static_cast<float>(y() * kTwipsPerPixel));
    case extender::kDispWidth: return com::Variant(static_cast<float>(width() * kTwipsPerPixel));
    case extender::kDispHeight: return com::Variant(static_cast<float>(height() * kTwipsPerPixel));
    case extender::kDispToolTipText: return com::Variant(toolTip().toStdString());
    default: break;
  }
  com::Variant v;
  check(control_->GetProperty(dispId, &v));
  return v;
}

void LumicellWidget::put(int32_t dispId, const com::Variant& value) {
  switch (dispId) {
    case extender::kDispLeft: move(toPixels(value.toDouble()), y()); return;
    case extender::kDispTop: move(x(), toPixels(value.toDouble())); return;
    case extender::kDispWidth: {
      const int w = toPixels(value.toDouble());
      if (w < 0) throw RuntimeError(err::kInvalidPropertyValue);
      check(control_->SetExtent(w, height()));
      return;
    }
    case extender::kDispHeight: {
      const int h = toPixels(value.toDouble());
      if (h < 0) throw RuntimeError(err::kInvalidPropertyValue);
      check(control_->SetExtent(width(), h));
      return;
    }
    case extender::kDispToolTipText: setToolTip(QString::fromStdString(value.toText())); return;
    default: break;
  }
  check(control_->PutProperty(dispId, value));
}

void LumicellWidget::applyExtent(int32_t widthTwips, int32_t heightTwips) {
  // Runs inside the control's call, so it raises nothing: the size is held to what a window can be.
  const auto px = [](int32_t twips) {
    return static_cast<int>(std::clamp(roundHalfEven(double(twips) / kTwipsPerPixel), 0.0, double(QWIDGETSIZE_MAX)));
  };
  setFixedSize(px(widthTwips), px(heightTwips));
  updateGeometry();
}

QImage LumicellWidget::image() {
  const com::Surface s = control_->GetSurface();
  if (!s.pixels || s.width <= 0 || s.height <= 0) return {};
  return QImage(reinterpret_cast<const uchar*>(s.pixels), s.width, s.height, s.stride * 4, QImage::Format_RGB32)
      .copy();
}

QSize LumicellWidget::sizeHint() const { return size(); }

void LumicellWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (!control_) return;
  if (event->type() == QEvent::PaletteChange) control_->AmbientChanged("BackColor");
  if (event->type() == QEvent::FontChange) control_->AmbientChanged("Font");
}

void LumicellWidget::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const com::Surface s = control_->GetSurface();
  if (s.pixels && s.width > 0 && s.height > 0) {
    const QImage img(reinterpret_cast<const uchar*>(s.pixels), s.width, s.height, s.stride * 4,
                     QImage::Format_RGB32);
    p.drawImage(QPoint(0, 0), img);
  }
  // Anything beyond the back buffer (a host that made the window larger) shows the window's own background.
  const QRegion rest = QRegion(event->rect()) - QRegion(0, 0, s.width, s.height);
  for (const QRect& r : rest) p.fillRect(r, palette().window());
}

}  // namespace platform
