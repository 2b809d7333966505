// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures the display's cells are drawn from: the seven segments of a digit cell in both
// sizes, the segments each cell lights, and the dots of the separator and the point.
#pragma once

#include <cstdint>
#include <string>

#include "lumicell/glyph_sheet.h"

namespace lumicell::glyph_templates {

inline const char* const kSmall[21] = {
    ".............", "....aaaaa....", "...aaaaaaa...", "..f.aaaaa.b..", ".fff.....bbb.", ".fff.....bbb.",
    ".fff.....bbb.", ".fff.....bbb.", ".fff.....bbb.", "..f.ggggg.b..", "...ggggggg...", "..e.ggggg.c..",
    ".eee.....ccc.", ".eee.....ccc.", ".eee.....ccc.", ".eee.....ccc.", ".eee.....ccc.", "..e.ddddd.c..",
    "...ddddddd...", "....ddddd....", "............."};

inline const char* const kLarge[27] = {
    "..................", "....aaaaaaaaaa....", "...aaaaaaaaaaaa...", "..f.aaaaaaaaaa.b..", ".fff..........bbb.",
    ".fff..........bbb.", ".fff..........bbb.", ".fff..........bbb.", ".fff..........bbb.", ".fff..........bbb.",
    ".fff..........bbb.", ".fff..........bbb.", "..f.gggggggggg.b..", "...gggggggggggg...", "..e.gggggggggg.c..",
    ".eee..........ccc.", ".eee..........ccc.", ".eee..........ccc.", ".eee..........ccc.", ".eee..........ccc.",
    ".eee..........ccc.", ".eee..........ccc.", ".eee..........ccc.", "..e.dddddddddd.c..", "...dddddddddddd...",
    "....dddddddddd....", ".................."};

inline const char* const kLitSegments[14] = {"abcdef", "bc",     "abdeg", "abcdg", "bcfg", "acdfg", "acdefg",
                                      "abc",    "abcdefg", "abcdfg", "",     "g",    "adefg", "eg"};

inline const uint32_t kLit[3] = {rgb(4, 230, 228), rgb(4, 234, 4), rgb(252, 2, 4)};
inline const uint32_t kDim[3] = {rgb(4, 62, 60), rgb(4, 62, 4), rgb(60, 2, 4)};
inline const uint32_t kBack = rgb(4, 2, 4);

struct Block {
  bool large;
  int top, w, h;
  const char* const* picture;
};
inline const Block kBlocks[2] = {{false, 0, 13, 21, kSmall}, {true, 63, 18, 27, kLarge}};

inline uint32_t expectedCellPixel(const Block& b, int colour, int cell, int x, int y) {
  const char seg = b.picture[y][x];
  if (seg == '.') return kBack;
  if (std::string(kLitSegments[cell]).find(seg) != std::string::npos) return kLit[colour];
  const bool odd = (x + y) % 2 == 1;
  const bool flipped = b.large && (seg == 'b' || seg == 'e' || seg == 'g');
  return odd != flipped ? kDim[colour] : kBack;
}

inline bool inDot(int x, int y, int top, int bottom) {
  if (y < top || y > bottom) return false;
  return (y == top || y == bottom) ? x == 2 : x >= 1 && x <= 3;
}

// A pixel of the separator (':') or the point ('.') cell, 5 pixels wide.
inline uint32_t expectedDotPixel(const Block& b, int colour, char which, int x, int y) {
  const int sep[4] = {b.large ? 6 : 5, b.large ? 11 : 8, b.large ? 15 : 13, b.large ? 20 : 16};
  const int point[2] = {b.large ? 22 : 16, b.large ? 25 : 19};
  const bool lit = which == ':' ? inDot(x, y, sep[0], sep[1]) || inDot(x, y, sep[2], sep[3])
                                : inDot(x, y, point[0], point[1]);
  return lit ? kLit[colour] : kBack;
}

}  // namespace lumicell::glyph_templates
