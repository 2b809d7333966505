// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph sheet: every cell the display can show, pre-drawn in two sizes and three colours.
#pragma once

#include <array>
#include <cstdint>

namespace lumicell {

inline constexpr int kSheetWidth = 262;
inline constexpr int kSheetHeight = 144;

// Cell geometry of the two sizes.
inline constexpr int kSmallCellWidth = 13;
inline constexpr int kSmallCellHeight = 21;
inline constexpr int kLargeCellWidth = 18;
inline constexpr int kLargeCellHeight = 27;
inline constexpr int kLargeBlockTop = 63;
inline constexpr int kSeparatorWidth = 5;

// Cell numbers of the sheet.
inline constexpr int kCellBlank = 10;
inline constexpr int kCellMinus = 11;
inline constexpr int kCellE = 12;
inline constexpr int kCellR = 13;
inline constexpr int kCellSeparator = 14;  // x = 14 * cell width, 5 wide
inline constexpr int kCellPoint = 15;      // x = 14 * cell width + 5, 5 wide

// 0xFFRRGGBB from RGB(red, green, blue).
constexpr uint32_t rgb(int r, int g, int b) {
  return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

// The eight palette entries the sheet uses.
enum PaletteIndex : uint8_t {
  kBackground = 0,
  kLitBlue, kLitGreen, kLitRed,
  kDimBlue, kDimGreen, kDimRed,
  kFiller,
  kPaletteSize
};
inline constexpr std::array<uint32_t, kPaletteSize> kPalette = {
    rgb(4, 2, 4),                                              // background
    rgb(4, 230, 228), rgb(4, 234, 4), rgb(252, 2, 4),          // lit: blue, green, red
    rgb(4, 62, 60), rgb(4, 62, 4), rgb(60, 2, 4),              // unlit dots
    rgb(236, 234, 236),                                        // outside every cell of the small block
};

// The sheet, built once on first use and kept for the life of the library.
struct GlyphSheet {
  // A palette index per pixel: a quarter of the memory of 0xFFRRGGBB pixels (38 KB instead
  // of 151 KB), and copying a cell looks each pixel up in the 16-colour palette.
  std::array<uint8_t, kSheetWidth * kSheetHeight> index{};

  uint32_t at(int x, int y) const { return kPalette[index[static_cast<std::size_t>(y * kSheetWidth + x)]]; }
};
const GlyphSheet& glyphSheet();

}  // namespace lumicell
