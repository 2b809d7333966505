// SPDX-License-Identifier: GPL-3.0-or-later
// The Lumicell instance: property accessors, lifecycle handlers and the host's site.
#include "lumicell/control.h"

#include <new>

#include "lumicell/glyph_sheet.h"
#include "platform/errors.h"

namespace lumicell {

using platform::RuntimeError;
using platform::com::HResult;
using platform::com::Variant;

std::atomic<int> g_liveObjects{0};

namespace {

// Runs a handler and turns what it raises into the call's result.
template <class Fn>
HResult guarded(Fn&& fn) {
  try {
    fn();
    return platform::com::kOk;
  } catch (const RuntimeError& e) {
    return e.number();
  } catch (const std::bad_alloc&) {
    return 7;  // out of memory
  } catch (...) {
    return platform::err::kUnexpected;
  }
}

constexpr int kObjectDoesNotSupportProperty = 438;

// Persistence defaults.
constexpr const char* kDefaultDisplay = "1234";
constexpr int16_t kDefaultPlaceHolders = 4;
constexpr int32_t kDefaultSize = dgSmall;
constexpr int32_t kDefaultColor = dgRed;
constexpr bool kDefaultOutLine = true;
constexpr int32_t kDefaultJustify = dgRight;
constexpr int32_t kDefaultFormat = dgGeneral;
constexpr bool kDefaultError = false;

}  // namespace

Control::Control() {
  ++g_liveObjects;
  // A new instance has the size of the content InitProperties gives it: four small
  // positions with the outline.
  buffer_.resize(4 * kSmallCellWidth + 2, kSmallCellHeight + 2);
}

Control::~Control() { --g_liveObjects; }

HResult Control::QueryInterface(const platform::com::Guid& iid, void** out) {
  if (!out) return platform::com::kPointer;
  if (iid == platform::com::kIidUnknown || iid == platform::com::kIidControl) {
    *out = static_cast<IControl*>(this);
    AddRef();
    return platform::com::kOk;
  }
  *out = nullptr;
  return platform::com::kNoInterface;
}

uint32_t Control::AddRef() { return ++refs_; }

uint32_t Control::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

void Control::notify(const char* name) {
  if (site_) site_->PropertyChanged(name);
}

void Control::drawDigits() {
  // The clear marks the whole window for repainting, whatever happens after it.
  if (site_) site_->Invalidate();
  DrawDigits(state_, buffer_);
}

void Control::sizeToContent() {
  const PixelSize size = ContentSize(state_);
  buffer_.resize(size.width, size.height);
  if (site_) site_->ExtentChanged(size.width * site_->TwipsPerPixelX(), size.height * site_->TwipsPerPixelY());
  drawDigits();
}

HResult Control::GetProperty(int32_t dispId, Variant* value) {
  if (!value) return platform::com::kPointer;
  switch (dispId) {
    case kDispDigitDisplay: *value = Variant(state_.digitDisplay); break;
    case kDispDigitSize: *value = Variant(state_.digitSize); break;
    case kDispDigitPlaceHolders: *value = Variant(state_.digitPlaceHolders); break;
    case kDispDigitOutLine: *value = Variant(state_.digitOutLine); break;
    case kDispDigitJustify: *value = Variant(state_.digitJustify); break;
    case kDispDigitColor: *value = Variant(state_.digitColor); break;
    case kDispDigitError: *value = Variant(state_.digitError); break;
    case kDispDigitFormat: *value = Variant(state_.digitFormat); break;
    default: return kObjectDoesNotSupportProperty;
  }
  return platform::com::kOk;
}

HResult Control::PutProperty(int32_t dispId, const Variant& value) {
  return guarded([&] { put(dispId, value); });
}

void Control::put(int32_t dispId, const Variant& value) {
  // Each put converts first (a bad value changes nothing), stores, notifies, then
  // repaints or resizes; a failure while drawing leaves the new value stored.
  switch (dispId) {
    case kDispDigitDisplay:
      state_.digitDisplay = value.toText();
      notify("DigitDisplay");
      drawDigits();
      break;
    case kDispDigitSize: {
      const int32_t v = value.toLong();
      state_.digitSize = v < 0 || v > 1 ? dgLarge : v;
      notify("DigitSize");
      sizeToContent();
      break;
    }
    case kDispDigitPlaceHolders: {
      const int16_t v = value.toInteger();
      state_.digitPlaceHolders = v <= 0 ? int16_t{1} : v;
      notify("DigitPlaceHolders");
      sizeToContent();
      break;
    }
    case kDispDigitOutLine:
      state_.digitOutLine = value.toBoolean();
      notify("DigitOutLine");
      sizeToContent();
      break;
    case kDispDigitJustify: {
      const int32_t v = value.toLong();
      state_.digitJustify = v < 0 || v > 1 ? dgRight : v;
      notify("DigitJustify");
      drawDigits();
      break;
    }
    case kDispDigitColor: {
      const int32_t v = value.toLong();
      state_.digitColor = v < 0 || v > 2 ? dgGreen : v;
      notify("DigitColor");
      sizeToContent();
      break;
    }
    case kDispDigitError:
      state_.digitError = value.toBoolean();
      notify("DigitError");
      drawDigits();
      break;
    case kDispDigitFormat: {
      const int32_t v = value.toLong();
      state_.digitFormat = v < 0 || v > 3 ? dgGeneral : v;
      notify("DigitFormat");
      sizeToContent();
      break;
    }
    default:
      throw RuntimeError(kObjectDoesNotSupportProperty);
  }
}

HResult Control::SetSite(platform::com::IControlSite* site) {
  site_ = site;
  if (site_) {
    site_->ExtentChanged(buffer_.width() * site_->TwipsPerPixelX(), buffer_.height() * site_->TwipsPerPixelY());
    site_->Invalidate();
  }
  return platform::com::kOk;
}

HResult Control::InitProperties() {
  return guarded([&] {
    state_.digitSize = dgSmall;
    state_.digitColor = dgRed;
    state_.digitOutLine = true;
    state_.digitPlaceHolders = 4;
    state_.digitDisplay = "543";
    state_.digitJustify = dgRight;
    state_.digitFormat = dgGeneral;
    state_.digitError = false;
    drawDigits();
  });
}

HResult Control::ReadProperties(platform::com::IPropertyBag* bag) {
  if (!bag) return platform::com::kPointer;
  return guarded([&] {
    auto read = [bag](const char* name, const Variant& def) {
      Variant v;
      return bag->Read(name, &v) ? v : def;
    };
    // Stored as read: the range rules of the puts do not apply here.
    state_.digitDisplay = read("DigitDisplay", Variant(kDefaultDisplay)).toText();
    state_.digitPlaceHolders = read("DigitPlaceHolders", Variant(kDefaultPlaceHolders)).toInteger();
    state_.digitSize = read("DigitSize", Variant(kDefaultSize)).toLong();
    state_.digitColor = read("DigitColor", Variant(kDefaultColor)).toLong();
    state_.digitOutLine = read("DigitOutLine", Variant(kDefaultOutLine)).toBoolean();
    state_.digitJustify = read("DigitJustify", Variant(kDefaultJustify)).toLong();
    state_.digitFormat = read("DigitFormat", Variant(kDefaultFormat)).toLong();
    state_.digitError = read("DigitError", Variant(kDefaultError)).toBoolean();
    sizeToContent();
  });
}

HResult Control::WriteProperties(platform::com::IPropertyBag* bag) {
  if (!bag) return platform::com::kPointer;
  return guarded([&] {
    // A value equal to its default is not written.
    if (state_.digitDisplay != kDefaultDisplay) bag->Write("DigitDisplay", Variant(state_.digitDisplay));
    if (state_.digitPlaceHolders != kDefaultPlaceHolders)
      bag->Write("DigitPlaceHolders", Variant(state_.digitPlaceHolders));
    if (state_.digitSize != kDefaultSize) bag->Write("DigitSize", Variant(state_.digitSize));
    if (state_.digitColor != kDefaultColor) bag->Write("DigitColor", Variant(state_.digitColor));
    if (state_.digitOutLine != kDefaultOutLine) bag->Write("DigitOutLine", Variant(state_.digitOutLine));
    if (state_.digitJustify != kDefaultJustify) bag->Write("DigitJustify", Variant(state_.digitJustify));
    if (state_.digitFormat != kDefaultFormat) bag->Write("DigitFormat", Variant(state_.digitFormat));
    if (state_.digitError != kDefaultError) bag->Write("DigitError", Variant(state_.digitError));
  });
}

HResult Control::SetExtent(int32_t, int32_t) {
  // The control always has the size of its content: whatever the host asks, that is the
  // size it goes back to, and the buffer never takes on the size asked for.
  return guarded([&] { sizeToContent(); });
}

HResult Control::AmbientChanged(const char*) {
  return guarded([&] {
    drawDigits();
    if (site_) site_->Refresh();
  });
}

platform::com::Surface Control::GetSurface() {
  platform::com::Surface s;
  s.pixels = buffer_.data();
  s.width = buffer_.width();
  s.height = buffer_.height();
  s.stride = buffer_.width();
  return s;
}

}  // namespace lumicell
