// SPDX-License-Identifier: GPL-3.0-or-later
// The Lumicell control: its eight properties, sizing, persistence and painting.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "lumicell/lumicell.h"
#include "platform/host/com.h"

namespace lumicell {

// The cell code of a blank position (all segments unlit).
inline constexpr char kBlankCell = '\x01';

// The instance state, one field per property.
struct State {
  int32_t digitSize = dgSmall;
  int32_t digitColor = dgBlue;
  int16_t digitPlaceHolders = 0;
  std::string digitDisplay;
  bool digitOutLine = false;
  int32_t digitJustify = dgLeft;
  int32_t digitFormat = dgGeneral;
  bool digitError = false;
};

// The text of cells to draw, one character per cell. Raises platform::RuntimeError(6)
// when the trimmed text is longer than 32767 characters.
std::string FormatDisplayText(const State& state);

// The control's size for its content, in pixels. Raises RuntimeError(6) when a size does
// not fit in 16 bits.
struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
};
PixelSize ContentSize(const State& state);

// The back buffer: rows of 0xFFRRGGBB pixels.
class BackBuffer {
 public:
  void resize(int32_t width, int32_t height);
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  uint32_t* data() { return pixels_.data(); }
  const uint32_t* data() const { return pixels_.data(); }
  uint32_t at(int32_t x, int32_t y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
  void fill(uint32_t colour);
  void fillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
  // Copies w x h pixels of the glyph sheet at (sx, sy) to (dx, dy), clipped to the buffer.
  void copyFromSheet(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h);

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint32_t> pixels_;
};

// The system colours the control paints with: the face where no cell is drawn, and the
// four of the sunken edge.
inline constexpr uint32_t kButtonFace = 0xFFF0F0F0u;
inline constexpr uint32_t kButtonShadow = 0xFFA0A0A0u;
inline constexpr uint32_t kButtonHighlight = 0xFFFFFFFFu;
inline constexpr uint32_t kDarkShadow = 0xFF696969u;
inline constexpr uint32_t kLight = 0xFFE3E3E3u;

// Edge and flags of DrawEdge.
inline constexpr uint32_t kEdgeSunken = 0x0A;
inline constexpr uint32_t kBfLeft = 0x01, kBfTop = 0x02, kBfRight = 0x04, kBfBottom = 0x08;
void DrawEdge(BackBuffer& buffer, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t edge,
              uint32_t flags);

// Clears the buffer, draws the edge when outlined, and copies one sheet cell per character
// of the formatted text. Raises RuntimeError(6) on a 16-bit overflow; the cells drawn so far stay.
void DrawDigits(const State& state, BackBuffer& buffer);

// Live instances and server locks, for DllCanUnloadNow.
extern std::atomic<int> g_liveObjects;

// One instance of the control, reached through com::IControl.
class Control final : public platform::com::IControl {
 public:
  Control();
  ~Control();

  platform::com::HResult QueryInterface(const platform::com::Guid& iid, void** out) override;
  uint32_t AddRef() override;
  uint32_t Release() override;

  platform::com::HResult GetProperty(int32_t dispId, platform::com::Variant* value) override;
  platform::com::HResult PutProperty(int32_t dispId, const platform::com::Variant& value) override;
  platform::com::HResult SetSite(platform::com::IControlSite* site) override;
  platform::com::HResult InitProperties() override;
  platform::com::HResult ReadProperties(platform::com::IPropertyBag* bag) override;
  platform::com::HResult WriteProperties(platform::com::IPropertyBag* bag) override;
  platform::com::HResult SetExtent(int32_t widthPixels, int32_t heightPixels) override;
  platform::com::HResult AmbientChanged(const char* name) override;
  platform::com::Surface GetSurface() override;

  const State& state() const { return state_; }
  const BackBuffer& buffer() const { return buffer_; }

 private:
  void put(int32_t dispId, const platform::com::Variant& value);
  void notify(const char* name);
  void sizeToContent();
  void drawDigits();

  std::atomic<uint32_t> refs_{1};
  platform::com::IControlSite* site_ = nullptr;
  State state_;
  BackBuffer buffer_;
};

}  // namespace lumicell
