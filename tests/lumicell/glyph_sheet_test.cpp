// The glyph sheet, pixel for pixel against the segment pictures, in both sizes and all colours.
#include <gtest/gtest.h>

#include <string>

#include "lumicell/glyph_sheet.h"

namespace lumicell {
namespace {

const char* const kSmall[21] = {
    ".............", "....aaaaa....", "...aaaaaaa...", "..f.aaaaa.b..", ".fff.....bbb.", ".fff.....bbb.",
    ".fff.....bbb.", ".fff.....bbb.", ".fff.....bbb.", "..f.ggggg.b..", "...ggggggg...", "..e.ggggg.c..",
    ".eee.....ccc.", ".eee.....ccc.", ".eee.....ccc.", ".eee.....ccc.", ".eee.....ccc.", "..e.ddddd.c..",
    "...ddddddd...", "....ddddd....", "............."};

const char* const kLarge[27] = {
    "..................", "....aaaaaaaaaa....", "...aaaaaaaaaaaa...", "..f.aaaaaaaaaa.b..", ".fff..........bbb.",
    ".fff..........bbb.", ".fff..........bbb.", ".fff..........bbb.", ".fff..........bbb.", ".fff..........bbb.",
    ".fff..........bbb.", ".fff..........bbb.", "..f.gggggggggg.b..", "...gggggggggggg...", "..e.gggggggggg.c..",
    ".eee..........ccc.", ".eee..........ccc.", ".eee..........ccc.", ".eee..........ccc.", ".eee..........ccc.",
    ".eee..........ccc.", ".eee..........ccc.", ".eee..........ccc.", "..e.dddddddddd.c..", "...dddddddddddd...",
    "....dddddddddd....", ".................."};

const char* const kLitSegments[14] = {"abcdef", "bc",     "abdeg", "abcdg", "bcfg", "acdfg", "acdefg",
                                      "abc",    "abcdefg", "abcdfg", "",     "g",    "adefg", "eg"};

const uint32_t kLit[3] = {rgb(4, 230, 228), rgb(4, 234, 4), rgb(252, 2, 4)};
const uint32_t kDim[3] = {rgb(4, 62, 60), rgb(4, 62, 4), rgb(60, 2, 4)};
const uint32_t kBack = rgb(4, 2, 4);

struct Block {
  bool large;
  int top, w, h;
  const char* const* picture;
};
const Block kBlocks[2] = {{false, 0, 13, 21, kSmall}, {true, 63, 18, 27, kLarge}};

uint32_t expectedCellPixel(const Block& b, int colour, int cell, int x, int y) {
  const char seg = b.picture[y][x];
  if (seg == '.') return kBack;
  if (std::string(kLitSegments[cell]).find(seg) != std::string::npos) return kLit[colour];
  const bool odd = (x + y) % 2 == 1;
  const bool flipped = b.large && (seg == 'b' || seg == 'e' || seg == 'g');
  return odd != flipped ? kDim[colour] : kBack;
}

bool inDot(int x, int y, int top, int bottom) {
  if (y < top || y > bottom) return false;
  return (y == top || y == bottom) ? x == 2 : x >= 1 && x <= 3;
}

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
    const int sep[4] = {b.large ? 6 : 5, b.large ? 11 : 8, b.large ? 15 : 13, b.large ? 20 : 16};
    const int point[2] = {b.large ? 22 : 16, b.large ? 25 : 19};
    for (int colour = 0; colour < 3; ++colour) {
      for (int y = 0; y < b.h; ++y) {
        for (int x = 0; x < 5; ++x) {
          const int row = b.top + colour * b.h + y;
          const bool sepLit = inDot(x, y, sep[0], sep[1]) || inDot(x, y, sep[2], sep[3]);
          EXPECT_EQ(s.at(14 * b.w + x, row), sepLit ? kLit[colour] : kBack) << x << "," << y;
          EXPECT_EQ(s.at(14 * b.w + 5 + x, row), inDot(x, y, point[0], point[1]) ? kLit[colour] : kBack);
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
