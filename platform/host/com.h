// SPDX-License-Identifier: GPL-3.0-or-later
// The component model shared by hosts and component libraries: class and interface ids,
// the value type of late-bound calls, and the interfaces a display control and its host
// talk through. Standard C++ only; component libraries include it too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::com {

// Result of every call across a component boundary: 0 is success, 1 is "success, no";
// a positive value is the runtime error number the call raised; negative values are
// failures of the component machinery itself.
using HResult = int32_t;
inline constexpr HResult kOk = 0;
inline constexpr HResult kFalse = 1;
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003u);
inline constexpr HResult kClassNotAvailable = static_cast<HResult>(0x80040111u);
inline constexpr HResult kNoAggregation = static_cast<HResult>(0x80040110u);
inline constexpr HResult kRegistrationFailed = static_cast<HResult>(0x80040154u);

struct Guid {
  uint32_t d1 = 0;
  uint16_t d2 = 0;
  uint16_t d3 = 0;
  uint8_t d4[8] = {};
  friend bool operator==(const Guid&, const Guid&) = default;
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, and back (case-insensitive).
std::string toString(const Guid& g);
std::optional<Guid> parseGuid(std::string_view text);

// Interface ids.
inline constexpr Guid kIidUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kIidClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kIidControl{0x3F5B9C21, 0x7A4E, 0x4C1D, {0x9E, 0x02, 0x51, 0x6B, 0xD8, 0x4A, 0x13, 0x77}};

// The value of a late-bound get or put.
class Variant {
 public:
  enum class Type : int32_t { Empty, Integer, Long, Single, Double, Boolean, String };

  Variant() = default;
  Variant(int16_t v) : type_(Type::Integer), number_(v) {}
  Variant(int32_t v) : type_(Type::Long), number_(v) {}
  // Wider whole numbers travel as Double, as the runtime passes numbers beyond a Long.
  Variant(long v) : type_(Type::Double), number_(static_cast<double>(v)) {}
  Variant(long long v) : type_(Type::Double), number_(static_cast<double>(v)) {}
  Variant(float v) : type_(Type::Single), number_(v) {}
  Variant(double v) : type_(Type::Double), number_(v) {}
  Variant(bool v) : type_(Type::Boolean), number_(v ? -1 : 0) {}
  Variant(std::string v) : type_(Type::String), text_(std::move(v)) {}
  Variant(const char* v) : type_(Type::String), text_(v) {}

  Type type() const { return type_; }
  bool isEmpty() const { return type_ == Type::Empty; }
  bool isNumeric() const { return type_ != Type::Empty && type_ != Type::String; }
  // The raw number of a numeric value (True is -1); 0 for others.
  double number() const { return number_; }
  // The raw text of a string value; empty for others.
  const std::string& text() const { return text_; }

  // Coercions with the runtime's rules: whole numbers round halves to even, a value out of
  // range raises error 6, a text that is not a number (or Boolean text) raises error 13.
  int16_t toInteger() const;
  int32_t toLong() const;
  double toDouble() const;
  bool toBoolean() const;
  std::string toText() const;  // numbers as CStr writes them, Booleans as True/False

  // Same type and same value.
  friend bool operator==(const Variant& a, const Variant& b) {
    return a.type_ == b.type_ && a.number_ == b.number_ && a.text_ == b.text_;
  }

 private:
  Type type_ = Type::Empty;
  double number_ = 0;
  std::string text_;
};

// The host's property bag: named values a control saves its state into and restores it from.
class IPropertyBag {
 public:
  // False when the bag holds no value of that name.
  virtual bool Read(const char* name, Variant* value) = 0;
  virtual void Write(const char* name, const Variant& value) = 0;

 protected:
  ~IPropertyBag() = default;
};

// What a control can ask of the window that hosts it.
class IControlSite {
 public:
  // A property's value changed (stored already); the host's saved state is stale.
  virtual void PropertyChanged(const char* name) = 0;
  // The back buffer changed: show it at the next paint.
  virtual void Invalidate() = 0;
  // Show the back buffer now.
  virtual void Refresh() = 0;
  // The control set its own size, in twips.
  virtual void ExtentChanged(int32_t widthTwips, int32_t heightTwips) = 0;
  virtual int32_t TwipsPerPixelX() = 0;
  virtual int32_t TwipsPerPixelY() = 0;

 protected:
  ~IControlSite() = default;
};

// A control's back buffer: rows of 0xFFRRGGBB pixels.
struct Surface {
  const uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;  // pixels per row
};

class IUnknown {
 public:
  virtual HResult QueryInterface(const Guid& iid, void** out) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

// A windowed control reached only late-bound: properties by dispatch id, plus the handlers
// of the standard control events the host raises.
class IControl : public IUnknown {
 public:
  virtual HResult GetProperty(int32_t dispId, Variant* value) = 0;
  virtual HResult PutProperty(int32_t dispId, const Variant& value) = 0;
  virtual HResult SetSite(IControlSite* site) = 0;
  virtual HResult InitProperties() = 0;
  virtual HResult ReadProperties(IPropertyBag* bag) = 0;
  virtual HResult WriteProperties(IPropertyBag* bag) = 0;
  // The host changed the control's size (in pixels); the control's Resize handler runs.
  virtual HResult SetExtent(int32_t widthPixels, int32_t heightPixels) = 0;
  // One of the host's ambient properties changed.
  virtual HResult AmbientChanged(const char* name) = 0;
  virtual Surface GetSurface() = 0;

 protected:
  ~IControl() = default;
};

class IClassFactory : public IUnknown {
 public:
  virtual HResult CreateInstance(IUnknown* outer, const Guid& iid, void** out) = 0;
  virtual HResult LockServer(bool lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// The entry points of a component library.
extern "C" {
using DllGetClassObjectFn = HResult (*)(const Guid* clsid, const Guid* iid, void** out);
using DllCanUnloadNowFn = HResult (*)();
using DllRegisterServerFn = HResult (*)();
using DllUnregisterServerFn = HResult (*)();
}

// Registry keys of registered components (per-user store).
inline constexpr const char* kClassesKey = "Software\\Classes";

}  // namespace platform::com
