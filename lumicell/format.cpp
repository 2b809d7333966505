// SPDX-License-Identifier: GPL-3.0-or-later
// Turns the DigitDisplay text into the cells to draw, and computes the control's size.
#include <cstddef>

#include "lumicell/control.h"
#include "lumicell/glyph_sheet.h"
#include "platform/convert.h"
#include "platform/errors.h"

namespace lumicell {

namespace {

// Sizes and positions are 16-bit signed numbers: a result out of range is an overflow.
int32_t checked16(int32_t v) {
  if (v > 32767 || v < -32768) throw platform::RuntimeError(platform::err::kOverflow);
  return v;
}

constexpr char kB = kBlankCell;

}  // namespace

std::string FormatDisplayText(const State& st) {
  const std::string s = platform::vbTrim(st.digitDisplay);
  if (s.size() > 32767) throw platform::RuntimeError(platform::err::kOverflow);
  const int32_t format = st.digitFormat;
  const bool timeFormat = format == dgShortTime || format == dgLongTime;

  std::string t;
  t.reserve(s.size() + 4);
  int separators = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      t += c;
    } else if (c == ':') {
      if (timeFormat) {
        ++separators;
        if (separators == 1 || (format == dgLongTime && separators == 2)) t += c;
      }
    } else if (c == '.') {
      if (format == dgDecimal) {
        ++separators;
        if (separators == 1) t += c;
      }
    } else if (c == '-') {
      if ((format == dgGeneral || format == dgDecimal) && i == 0) t += c;
    }
  }

  if (format == dgShortTime) {
    if (st.digitError) return std::string{kB, 'E', ':', 'r', 'r'};
    if (t.size() == 4) t.insert(t.begin(), kB);
    if (t.size() == 5 && t.find(':') == 2) return t;
    return std::string{kB, kB, ':', kB, kB};
  }
  if (format == dgLongTime) {
    if (st.digitError) return std::string{kB, kB, ':', kB, 'E', ':', 'r', 'r'};
    if (t.size() == 7) t.insert(t.begin(), kB);
    // Eight characters with a separator in the third or fifth place are shown as they are.
    if (t.size() == 8 && (t[2] == ':' || t[4] == ':')) return t;
    return std::string{kB, kB, ':', kB, kB, ':', kB, kB};
  }

  if (st.digitError) {
    if (format == dgGeneral) t = "Err";
    if (format == dgDecimal) t = "Err.";
  }
  std::size_t point = 0;
  if (format == dgDecimal) {
    point = 1;
    if (t.find('.') == std::string::npos) t += ".0";
  }
  // Place holders read from a saved state may be 0 or negative: no digit positions then.
  const std::size_t places = st.digitPlaceHolders > 0 ? static_cast<std::size_t>(st.digitPlaceHolders) : 0;
  const std::size_t n = t.size() - point;
  if (n < places) {
    if (st.digitJustify == dgRight)
      t.insert(t.begin(), places - n, kB);
    else
      t.append(places - n, kB);
  } else if (n > places) {
    std::size_t keep = places + point;
    // When the point itself is cut off, what remains is all digits: keep only as many
    // as the control has positions, so the last one is not cut at the control's edge.
    if (point && t.find('.', t.size() - keep) == std::string::npos) keep = places;
    t.erase(0, t.size() - keep);
  }
  return t;
}

PixelSize ContentSize(const State& st) {
  int32_t positions = st.digitPlaceHolders > 0 ? st.digitPlaceHolders : 0;
  int32_t extra = 0;
  switch (st.digitFormat) {
    case dgShortTime: positions = 4; extra = 5; break;
    case dgLongTime: positions = 6; extra = 10; break;
    case dgDecimal: extra = 5; break;
    default: break;
  }
  const int32_t border = st.digitOutLine ? 2 : 0;
  const bool small = st.digitSize == dgSmall;
  const int32_t cw = small ? kSmallCellWidth : kLargeCellWidth;
  const int32_t ch = small ? kSmallCellHeight : kLargeCellHeight;
  PixelSize size;
  size.height = checked16(ch + border);
  size.width = checked16(checked16(checked16(positions * cw) + border) + extra);
  return size;
}

}  // namespace lumicell
