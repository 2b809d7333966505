// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the glyph sheet from the segment template.
#include "lumicell/glyph_sheet.h"

namespace lumicell {

namespace {

// Segments a to g as bits.
enum : uint8_t { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };

// Lit segments of cells 0 to 13 (digits, blank, minus, E, r).
constexpr uint8_t kLit[14] = {
    A | B | C | D | E | F, B | C, A | B | D | E | G, A | B | C | D | G, B | C | F | G,
    A | C | D | F | G,     A | C | D | E | F | G, A | B | C, A | B | C | D | E | F | G, A | B | C | D | F | G,
    0,                     G, A | D | E | F | G, E | G};

// The segment a pixel of a full cell belongs to (0 for none). Both templates share one
// shape: three-pixel bars with bevelled ends, the middle bar's top row at gRow and the
// bottom bar's at dRow.
uint8_t segmentAt(int x, int y, int w, int gRow, int dRow) {
  const int right = w - 4;  // first column of the right bars
  auto horizontal = [&](int top) {
    if (y == top || y == top + 2) return x >= 4 && x <= w - 5;
    if (y == top + 1) return x >= 3 && x <= w - 4;
    return false;
  };
  if (horizontal(1)) return A;
  if (horizontal(gRow)) return G;
  if (horizontal(dRow)) return D;
  const bool upper = y >= 4 && y <= gRow - 1;
  const bool lower = y >= gRow + 3 && y <= dRow - 1;
  if (upper && x >= 1 && x <= 3) return F;
  if (upper && x >= right && x <= right + 2) return B;
  if (lower && x >= 1 && x <= 3) return E;
  if (lower && x >= right && x <= right + 2) return C;
  // The bevel tips of the vertical bars.
  if (x == 2 && (y == 3 || y == gRow)) return F;
  if (x == w - 3 && (y == 3 || y == gRow)) return B;
  if (x == 2 && (y == gRow + 2 || y == dRow)) return E;
  if (x == w - 3 && (y == gRow + 2 || y == dRow)) return C;
  return 0;
}

// A dot of the separator or point: x = 2 on its first and last rows, x 1 to 3 between.
bool inDot(int x, int y, int top, int bottom) {
  if (y < top || y > bottom) return false;
  if (y == top || y == bottom) return x == 2;
  return x >= 1 && x <= 3;
}

void drawBlock(GlyphSheet& s, int blockTop, int w, int h, int gRow, int dRow, bool large) {
  // Dot rows of the separator (two dots) and the point (one).
  const int sep1Top = large ? 6 : 5, sep1Bottom = large ? 11 : 8;
  const int sep2Top = large ? 15 : 13, sep2Bottom = large ? 20 : 16;
  const int pointTop = large ? 22 : 16, pointBottom = large ? 25 : 19;
  for (int k = 0; k < 3; ++k) {
    const auto lit = static_cast<uint8_t>(kLitBlue + k);
    const auto dim = static_cast<uint8_t>(kDimBlue + k);
    const int top = blockTop + k * h;
    for (int cell = 0; cell < 14; ++cell) {
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const uint8_t seg = segmentAt(x, y, w, gRow, dRow);
          uint8_t colour = kBackground;
          if (seg & kLit[cell]) {
            colour = lit;
          } else if (seg) {
            // Unlit segments are a checkerboard of dim dots; the large template flips the
            // parity on b, e and g.
            const bool flip = large && (seg & (B | E | G));
            if (((x + y) % 2 == 1) != flip) colour = dim;
          }
          s.index[static_cast<std::size_t>((top + y) * kSheetWidth + cell * w + x)] = colour;
        }
      }
    }
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < kSeparatorWidth; ++x) {
        const bool sep = inDot(x, y, sep1Top, sep1Bottom) || inDot(x, y, sep2Top, sep2Bottom);
        const bool point = inDot(x, y, pointTop, pointBottom);
        const auto row = static_cast<std::size_t>((top + y) * kSheetWidth);
        s.index[row + static_cast<std::size_t>(14 * w + x)] = sep ? lit : uint8_t{kBackground};
        s.index[row + static_cast<std::size_t>(14 * w + kSeparatorWidth + x)] = point ? lit : uint8_t{kBackground};
      }
    }
  }
}

GlyphSheet buildSheet() {
  GlyphSheet s;
  s.index.fill(kFiller);
  drawBlock(s, 0, kSmallCellWidth, kSmallCellHeight, 9, 17, false);
  drawBlock(s, kLargeBlockTop, kLargeCellWidth, kLargeCellHeight, 12, 23, true);
  return s;
}

}  // namespace

const GlyphSheet& glyphSheet() {
  static const GlyphSheet* sheet = new GlyphSheet(buildSheet());  // lives until the library unloads
  return *sheet;
}

}  // namespace lumicell
