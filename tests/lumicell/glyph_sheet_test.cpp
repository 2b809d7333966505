// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph sheet, pixel for pixel against the segment pictures, in both sizes and all colours.
#include <gtest/gtest.h>

#include <string>

#include "glyph_templates.h"
#include "lumicell/glyph_sheet.h"

namespace lumicell {
namespace {

using namespace glyph_templates;

TEST(GlyphSheet, FullCellsMatchTheSegmentPictures) {
  const GlyphSheet& s = glyphSheet();
  for (const Block& b : kBlocks) {
    for (int colour = 0; colour < 3; ++colour) {
      for (int cell = 0; cell < 14; ++cell) {
        int wrong = 0;
        for (int y = 0; y < b.h; ++y)
          for (int x = 0; x < b.w; ++x)
            if (s.at(cell * b.w + x, b.top + colour * b.h + y) != expectedCellPixel(b, colour, cell, x, y)) ++wrong;
        EXPECT_EQ(wrong, 0) << (b.large ? "large" : "small") << " colour " << colour << " cell " << cell;
      }
    }
  }
}

TEST(GlyphSheet, SeparatorAndPointAreLitDotsOnly) {
  const GlyphSheet& s = glyphSheet();
  for (const Block& b : kBlocks) {
    for (int colour = 0; colour < 3; ++colour) {
      for (int y = 0; y < b.h; ++y) {
        for (int x = 0; x < 5; ++x) {
          const int row = b.top + colour * b.h + y;
          EXPECT_EQ(s.at(14 * b.w + x, row), expectedDotPixel(b, colour, ':', x, y)) << x << "," << y;
          EXPECT_EQ(s.at(14 * b.w + 5 + x, row), expectedDotPixel(b, colour, '.', x, y));
        }
      }
    }
  }
}

TEST(GlyphSheet, LayoutAndPalette) {
  const GlyphSheet& s = glyphSheet();
  // Outside every cell of the small block: the filler colour.
  for (int y = 0; y < 63; ++y)
    for (int x = 192; x < kSheetWidth; ++x) ASSERT_EQ(s.at(x, y), rgb(236, 234, 236)) << x << "," << y;
  // The large block fills the sheet's width exactly.
  EXPECT_EQ(14 * 18 + 5 + 5, kSheetWidth);
  EXPECT_EQ(3 * 21 + 3 * 27, kSheetHeight);
  // Eight colours used, stored as palette indices.
  bool used[16] = {};
  for (std::size_t i = 0; i < s.index.size(); ++i) {
    ASSERT_LT(s.index[i], 16);
    used[s.index[i]] = true;
  }
  int count = 0;
  for (bool u : used) count += u;
  EXPECT_EQ(count, 8);
}

}  // namespace
}  // namespace lumicell
