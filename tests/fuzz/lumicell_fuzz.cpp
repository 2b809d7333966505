// SPDX-License-Identifier: GPL-3.0-or-later
// The display control's properties as a host may put them, and its drawing of any text:
// a put succeeds or fails with the overflow error, what was put reads back, the control
// keeps the size of its content, every cell of the text is one the sheet has, and the
// drawing writes nothing outside the image (drawn into a smaller image it is the same
// picture, cut off, but for the sunken edge the control draws along its own right and
// bottom sides).
//   input: (property | value)...   property: 0 DigitDisplay, 1 DigitFormat, 2 places,
//          3 size, 4 colour, 5 outline, 6 justify, 7 error
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "lumicell/control.h"
#include "lumicell/glyph_sheet.h"
#include "platform/errors.h"

using namespace lumicell;
using platform::com::Variant;

namespace {

constexpr int32_t kDisp[] = {kDispDigitDisplay, kDispDigitFormat, kDispDigitPlaceHolders, kDispDigitSize,
                             kDispDigitColor,   kDispDigitOutLine, kDispDigitJustify,    kDispDigitError};

bool isCell(char c) {
  return (c >= '0' && c <= '9') || c == ':' || c == '.' || c == '-' || c == 'E' || c == 'r' || c == kBlankCell;
}

void drawingStaysInside(const State& st, int32_t width, int32_t height) {
  BackBuffer big, small;
  big.resize(width + 40, height + 40);
  small.resize(width, height);
  try {
    DrawDigits(st, big);
  } catch (const platform::RuntimeError& e) {
    fuzz::require(e.number() == platform::err::kOverflow, "drawing fails with the overflow error only");
  }
  try {
    DrawDigits(st, small);
  } catch (const platform::RuntimeError&) {
  }
  // The outline's two rings on the right and the bottom follow the image's own size.
  const int32_t edge = st.digitOutLine ? 2 : 0;
  for (int32_t y = 0; y < height - edge; ++y)
    for (int32_t x = 0; x < width - edge; ++x)
      fuzz::require(small.at(x, y) == big.at(x, y), "a smaller image is the same picture, cut off");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  auto* control = new Control;
  control->InitProperties();
  for (int puts = 0; puts < 8 && !in.done(); ++puts) {
    const int32_t id = kDisp[in.number(0, 7)];
    const std::string text(in.text());
    // A text goes to DigitDisplay as it is; numbers also as numbers, as a host binds them.
    const Variant value = id == kDispDigitDisplay || text.empty() || text[0] != '#' ? Variant(text)
                                                                                     : Variant(static_cast<int32_t>(std::atoi(text.c_str() + 1)));
    const int32_t result = control->PutProperty(id, value);
    fuzz::require(result == platform::com::kOk || result == platform::err::kOverflow ||
                      result == platform::err::kTypeMismatch,
                  "a put succeeds, or fails with the overflow or type error (" + std::to_string(result) + ")");
    const State& st = control->state();
    if (id == kDispDigitDisplay) fuzz::require(st.digitDisplay == text, "DigitDisplay reads back what was put");
    fuzz::require(st.digitFormat >= dgGeneral && st.digitFormat <= dgDecimal, "the format is one of the four");
    fuzz::require(st.digitColor >= dgBlue && st.digitColor <= dgRed && st.digitPlaceHolders >= 1,
                  "the puts' range rules hold");
    if (result != platform::com::kOk) continue;
    const PixelSize content = ContentSize(st);
    const auto surface = control->GetSurface();
    if (id != kDispDigitDisplay && id != kDispDigitJustify && id != kDispDigitError)
      fuzz::require(surface.width == content.width && surface.height == content.height, "the control has its content's size");
    const std::string cells = FormatDisplayText(st);
    for (const char c : cells) fuzz::require(isCell(c), "every cell is one the sheet has");
    if (st.digitFormat == dgShortTime) fuzz::require(cells.size() == 5, "a short time is five cells");
    if (st.digitFormat == dgLongTime) fuzz::require(cells.size() == 8, "a long time is eight cells");
  }
  const State& st = control->state();
  drawingStaysInside(st, static_cast<int32_t>(in.number(0, 200)), static_cast<int32_t>(in.number(0, 40)));
  control->Release();
  return 0;
}
