// SPDX-License-Identifier: GPL-3.0-or-later
// Painting: the back buffer, the sunken edge, and the copy of one sheet cell per character.
#include <algorithm>

#include "lumicell/control.h"
#include "lumicell/glyph_sheet.h"
#include "platform/errors.h"

namespace lumicell {

void BackBuffer::resize(int32_t width, int32_t height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kButtonFace);
}

void BackBuffer::fill(uint32_t colour) { std::fill(pixels_.begin(), pixels_.end(), colour); }

void BackBuffer::fillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
  const int32_t x0 = std::max(0, x), y0 = std::max(0, y);
  const int32_t x1 = std::min(width_, x + w), y1 = std::min(height_, y + h);
  for (int32_t yy = y0; yy < y1; ++yy)
    std::fill_n(pixels_.begin() + yy * width_ + x0, std::max(0, x1 - x0), colour);
}

void BackBuffer::copyFromSheet(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) {
  // Clip the source to the sheet and the destination to the buffer.
  if (sx < 0) { dx -= sx; w += sx; sx = 0; }
  if (sy < 0) { dy -= sy; h += sy; sy = 0; }
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  w = std::min({w, kSheetWidth - sx, width_ - dx});
  h = std::min({h, kSheetHeight - sy, height_ - dy});
  if (w <= 0 || h <= 0) return;
  const GlyphSheet& sheet = glyphSheet();
  uint32_t* __restrict dst = pixels_.data() + dy * width_ + dx;
  const uint8_t* __restrict src = sheet.index.data() + sy * kSheetWidth + sx;
  for (int32_t row = 0; row < h; ++row, dst += width_, src += kSheetWidth)
    for (int32_t i = 0; i < w; ++i) dst[i] = kPalette[src[i]];
}

void DrawEdge(BackBuffer& b, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t edge,
              uint32_t flags) {
  // Each ring is drawn top and left first, then right and bottom.
  auto ring = [&](int32_t l, int32_t t, int32_t r, int32_t bt, uint32_t lt, uint32_t rb) {
    if (r <= l || bt <= t) return;
    if (flags & kBfTop) b.fillRect(l, t, r - l, 1, lt);
    if (flags & kBfLeft) b.fillRect(l, t, 1, bt - t, lt);
    if (flags & kBfBottom) b.fillRect(l, bt - 1, r - l, 1, rb);
    if (flags & kBfRight) b.fillRect(r - 1, t, 1, bt - t, rb);
  };
  constexpr uint32_t kRaisedOuter = 0x1, kSunkenOuter = 0x2, kRaisedInner = 0x4, kSunkenInner = 0x8;
  if (edge & kSunkenOuter)
    ring(left, top, right, bottom, kButtonShadow, kButtonHighlight);
  else if (edge & kRaisedOuter)
    ring(left, top, right, bottom, kLight, kDarkShadow);
  if (edge & kSunkenInner)
    ring(left + 1, top + 1, right - 1, bottom - 1, kDarkShadow, kLight);
  else if (edge & kRaisedInner)
    ring(left + 1, top + 1, right - 1, bottom - 1, kButtonHighlight, kButtonShadow);
}

namespace {

int32_t checked16(int32_t v) {
  if (v > 32767 || v < -32768) throw platform::RuntimeError(platform::err::kOverflow);
  return v;
}

}  // namespace

void DrawDigits(const State& st, BackBuffer& buffer) {
  buffer.fill(kButtonFace);
  int32_t origin = 0;
  if (st.digitOutLine) {
    origin = 1;
    DrawEdge(buffer, 0, 0, buffer.width(), buffer.height(), kEdgeSunken, kBfRight | kBfBottom);
    DrawEdge(buffer, 0, 0, buffer.width(), buffer.height(), kEdgeSunken, kBfLeft | kBfTop);
  }
  const std::string text = FormatDisplayText(st);

  const bool small = st.digitSize == dgSmall;
  const int32_t cw = small ? kSmallCellWidth : kLargeCellWidth;
  const int32_t ch = small ? kSmallCellHeight : kLargeCellHeight;
  // A colour outside the three rows of the sheet (possible only from a saved state) draws
  // green, as a put of such a colour would.
  const int32_t colour = st.digitColor >= dgBlue && st.digitColor <= dgRed ? st.digitColor : dgGreen;
  const int32_t sy = small ? colour * ch : colour * ch + kLargeBlockTop;

  int32_t x = 0;
  for (const char c : text) {
    int32_t sx = kCellBlank * cw;
    int32_t w = cw;
    switch (c) {
      case kBlankCell: break;
      case '-': sx = kCellMinus * cw; break;
      case 'E': sx = kCellE * cw; break;
      case 'r': sx = kCellR * cw; break;
      case ':': sx = 14 * cw; w = kSeparatorWidth; break;
      case '.': sx = 14 * cw + kSeparatorWidth; w = kSeparatorWidth; break;
      default:
        if (c >= '0' && c <= '9') sx = (c - '0') * cw;
        break;
    }
    buffer.copyFromSheet(checked16(origin + x), origin, sx, sy, w, ch);
    x = checked16(x + w);
  }
}

}  // namespace lumicell
