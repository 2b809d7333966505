// SPDX-License-Identifier: GPL-3.0-or-later
// The window that hosts a Lumicell digit display control: creates it by its programmatic
// identifier, binds to it late by dispatch id, and shows its back buffer.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

#include "platform/host/com.h"
#include "platform/host/component_registry.h"
#include "platform/host/property_bag.h"

namespace platform {

// Dispatch ids of the extender properties every hosted control has.
namespace extender {
inline constexpr int32_t kDispLeft = static_cast<int32_t>(0x80010003u);
inline constexpr int32_t kDispTop = static_cast<int32_t>(0x80010004u);
inline constexpr int32_t kDispWidth = static_cast<int32_t>(0x80010005u);
inline constexpr int32_t kDispHeight = static_cast<int32_t>(0x80010006u);
inline constexpr int32_t kDispToolTipText = static_cast<int32_t>(0x8001004Au);
}  // namespace extender

// Twips per pixel, both ways (96 dots per inch).
inline constexpr int32_t kTwipsPerPixel = 15;

// The designer's saved state of Alarm's two displays (DigitDisplay "543", dgLarge, dgBlue,
// no outline, dgLongTime), in the designer's text form.
extern const char* const kAlarmDisplayFormText;

class LumicellWidget : public QWidget {
  Q_OBJECT

 public:
  // Creates the control registered under progId. Raises RuntimeError(339) when it
  // is not registered or its library does not load. The control starts without state:
  // call initProperties, readProperties or loadAlarmDesign next.
  explicit LumicellWidget(const char* progId, QWidget* parent = nullptr);
  ~LumicellWidget() override;

  // Lifecycle: a new instance, restore from a bag, save to a bag.
  void initProperties();
  void readProperties(PropertyBag& bag);
  void writeProperties(PropertyBag& bag);
  // Restores the designed state of Alarm's displays (kAlarmDisplayFormText).
  void loadAlarmDesign();
  // The host's ambient properties changed: the control redraws and shows it at once.
  void ambientChanged(const std::string& name = {});

  // Late-bound property access: the control's properties (lumicell::kDisp...) and the
  // extender properties (extender::kDisp...: Left, Top, Width, Height in twips relative
  // to the parent, ToolTipText). A failure raises RuntimeError with the control's error
  // number (6 for an overflow, 438 for an unknown dispatch id).
  com::Variant get(int32_t dispId);
  void put(int32_t dispId, const com::Variant& value);
  void put(int32_t dispId, const QString& value) { put(dispId, com::Variant(value.toStdString())); }
  void put(int32_t dispId, const char* value) { put(dispId, com::Variant(value)); }

  // Shorthands for the common gets.
  int32_t getLong(int32_t dispId) { return get(dispId).toLong(); }
  std::string getText(int32_t dispId) { return get(dispId).toText(); }

  // A copy of the control's back buffer.
  QImage image();
  com::IControl* control() const { return control_.get(); }

  QSize sizeHint() const override;

 signals:
  // The control reported a property change (the property's name).
  void propertyChanged(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // A change of the palette or font is an ambient change for the control.
  void changeEvent(QEvent* event) override;

 private:
  class Site;
  void check(com::HResult hr);
  void applyExtent(int32_t widthTwips, int32_t heightTwips);

  ComPtr<com::IControl> control_;
  Site* site_ = nullptr;
  bool applyingOwnExtent_ = false;
};

}  // namespace platform
