// SPDX-License-Identifier: GPL-3.0-or-later
// The control's properties, sizing, persistence and painting, driven in process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glyph_templates.h"
#include "lumicell/control.h"
#include "lumicell/glyph_sheet.h"
#include "platform/errors.h"
#include "platform/host/property_bag.h"

namespace lumicell {
namespace {

using platform::com::Variant;

// Records what the control asks of its host; keeps the value the control holds at each notification.
class RecordingSite final : public platform::com::IControlSite {
 public:
  explicit RecordingSite(Control& c) : control(c) {}
  void PropertyChanged(const char* name) override {
    Variant v;
    control.GetProperty(dispIdOf(name), &v);
    events.push_back(std::string("changed ") + name + "=" + v.toText());
  }
  void Invalidate() override { events.push_back("invalidate"); }
  void Refresh() override { events.push_back("refresh"); }
  void ExtentChanged(int32_t w, int32_t h) override {
    widthTwips = w;
    heightTwips = h;
    events.push_back("extent");
  }
  int32_t TwipsPerPixelX() override { return 15; }
  int32_t TwipsPerPixelY() override { return 15; }

  static int32_t dispIdOf(const std::string& n) {
    const char* names[] = {"DigitDisplay", "DigitSize", "DigitPlaceHolders", "DigitOutLine",
                           "DigitJustify", "DigitColor", "DigitError", "DigitFormat"};
    for (int i = 0; i < 8; ++i)
      if (n == names[i]) return kDispDigitDisplay + i;
    return 0;
  }

  Control& control;
  std::vector<std::string> events;
  int32_t widthTwips = 0, heightTwips = 0;
};

class ControlTest : public ::testing::Test {
 protected:
  ControlTest() : site(*control) {
    control->SetSite(&site);
    EXPECT_EQ(control->InitProperties(), 0);
    site.events.clear();
  }
  ~ControlTest() override {
    control->SetSite(nullptr);
    control->Release();
  }
  int32_t put(int32_t id, const Variant& v) { return control->PutProperty(id, v); }
  Variant get(int32_t id) {
    Variant v;
    EXPECT_EQ(control->GetProperty(id, &v), 0);
    return v;
  }
  std::pair<int32_t, int32_t> sizePx() const { return {site.widthTwips / 15, site.heightTwips / 15}; }

  Control* control = new Control();
  RecordingSite site;
};

TEST_F(ControlTest, NewInstanceShowsBlank543SmallRedOutlined) {
  EXPECT_EQ(get(kDispDigitDisplay).text(), "543");
  EXPECT_EQ(get(kDispDigitColor).toLong(), dgRed);
  EXPECT_TRUE(get(kDispDigitOutLine).toBoolean());
  const BackBuffer& b = control->buffer();
  ASSERT_EQ(b.width(), 54);
  ASSERT_EQ(b.height(), 23);
  // Cell by cell from (1,1): blank, 5, 4, 3, red small row.
  const GlyphSheet& s = glyphSheet();
  const int cellsShown[4] = {kCellBlank, 5, 4, 3};
  for (int c = 0; c < 4; ++c)
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 13; ++x)
        ASSERT_EQ(b.at(1 + c * 13 + x, 1 + y), s.at(cellsShown[c] * 13 + x, 42 + y)) << c << ":" << x << "," << y;
}

TEST_F(ControlTest, RangeRulesOfThePuts) {
  struct Case {
    int32_t id;
    int32_t value;
    int32_t stored;
  } cases[] = {{kDispDigitColor, 3, 1},      {kDispDigitColor, -1, 1},       {kDispDigitColor, 2, 2},
               {kDispDigitFormat, 4, 0},     {kDispDigitFormat, -1, 0},      {kDispDigitFormat, 3, 3},
               {kDispDigitJustify, 2, 1},    {kDispDigitJustify, 0, 0},      {kDispDigitSize, 2, 1},
               {kDispDigitSize, -5, 1},      {kDispDigitSize, 0, 0},         {kDispDigitPlaceHolders, 0, 1},
               {kDispDigitPlaceHolders, -3, 1}, {kDispDigitPlaceHolders, 7, 7}};
  for (const auto& c : cases) {
    ASSERT_EQ(put(c.id, Variant(c.value)), 0);
    EXPECT_EQ(get(c.id).toLong(), c.stored) << std::hex << c.id << " " << std::dec << c.value;
  }
  // The text is kept exactly as put.
  ASSERT_EQ(put(kDispDigitDisplay, Variant(" 12:ab. ")), 0);
  EXPECT_EQ(get(kDispDigitDisplay), Variant(" 12:ab. "));
}

TEST_F(ControlTest, PutStoresThenNotifiesThenRepaintsOrResizes) {
  put(kDispDigitDisplay, Variant("77"));
  EXPECT_EQ(site.events, (std::vector<std::string>{"changed DigitDisplay=77", "invalidate"}));
  site.events.clear();
  put(kDispDigitColor, Variant(0));
  EXPECT_EQ(site.events, (std::vector<std::string>{"changed DigitColor=0", "extent", "invalidate"}));
  // Justify, error and text never resize.
  site.events.clear();
  put(kDispDigitJustify, Variant(0));
  put(kDispDigitError, Variant(true));
  for (const auto& e : site.events) EXPECT_NE(e, "extent");
  // A value that does not convert changes nothing.
  site.events.clear();
  EXPECT_EQ(put(kDispDigitSize, Variant("big")), 13);
  EXPECT_TRUE(site.events.empty());
  EXPECT_EQ(put(0x68030010, Variant(1)), 438);
}

TEST_F(ControlTest, SizesFollowFormatSizeAndOutline) {
  put(kDispDigitOutLine, Variant(false));
  put(kDispDigitFormat, Variant(dgShortTime));
  EXPECT_EQ(sizePx(), std::make_pair(57, 21));
  put(kDispDigitPlaceHolders, Variant(9));  // short time ignores the place holders
  EXPECT_EQ(sizePx(), std::make_pair(57, 21));
  put(kDispDigitFormat, Variant(dgLongTime));
  put(kDispDigitSize, Variant(dgLarge));
  EXPECT_EQ(sizePx(), std::make_pair(118, 27));
  put(kDispDigitOutLine, Variant(true));
  EXPECT_EQ(sizePx(), std::make_pair(120, 29));
  put(kDispDigitFormat, Variant(dgGeneral));
  put(kDispDigitPlaceHolders, Variant(4));
  put(kDispDigitSize, Variant(dgSmall));
  EXPECT_EQ(sizePx(), std::make_pair(54, 23));
  put(kDispDigitFormat, Variant(dgDecimal));
  EXPECT_EQ(sizePx(), std::make_pair(59, 23));
  EXPECT_EQ(control->buffer().width(), 59);
  // The host's own resize is undone: the control sizes itself to its content.
  EXPECT_EQ(control->SetExtent(300, 5), 0);
  EXPECT_EQ(sizePx(), std::make_pair(59, 23));
  // Even a size no buffer could hold: it is never taken on, not even for a moment.
  for (const int32_t huge : {INT32_MAX, -1, INT32_MIN}) {
    EXPECT_EQ(control->SetExtent(huge, huge), 0) << huge;
    EXPECT_EQ(sizePx(), std::make_pair(59, 23));
    EXPECT_EQ(std::make_pair(control->buffer().width(), control->buffer().height()), std::make_pair(59, 23));
  }
}

TEST_F(ControlTest, SixteenBitOverflow) {
  put(kDispDigitOutLine, Variant(false));
  put(kDispDigitSize, Variant(dgLarge));
  EXPECT_EQ(put(kDispDigitPlaceHolders, Variant(1820)), 0);
  EXPECT_EQ(sizePx().first, 32760);
  EXPECT_EQ(put(kDispDigitPlaceHolders, Variant(1821)), 6);
  EXPECT_EQ(get(kDispDigitPlaceHolders).toLong(), 1821);  // the value stays stored
  put(kDispDigitSize, Variant(dgSmall));                   // 1821 small positions fit
  EXPECT_EQ(put(kDispDigitPlaceHolders, Variant(2520)), 0);
  EXPECT_EQ(put(kDispDigitPlaceHolders, Variant(2521)), 6);
  // The repaint of 2521 blank cells overflows after 2520 of them; the cells drawn stay.
  EXPECT_EQ(put(kDispDigitDisplay, Variant("")), 6);
  EXPECT_EQ(put(kDispDigitPlaceHolders, Variant(40000)), 6);  // not a 16-bit number at all
}

TEST_F(ControlTest, PersistenceRoundTrip) {
  platform::PropertyBag saved;
  ASSERT_EQ(control->WriteProperties(&saved), 0);
  ASSERT_EQ(saved.values().size(), 1u);
  EXPECT_EQ(saved.values()[0].first, "DigitDisplay");
  EXPECT_EQ(saved.values()[0].second, Variant("543"));

  put(kDispDigitDisplay, Variant("1234"));
  platform::PropertyBag none;
  control->WriteProperties(&none);
  EXPECT_TRUE(none.values().empty());

  // Every property away from its default, written in the declared order and read back.
  put(kDispDigitDisplay, Variant("12:00:01"));
  put(kDispDigitPlaceHolders, Variant(6));
  put(kDispDigitSize, Variant(1));
  put(kDispDigitColor, Variant(0));
  put(kDispDigitOutLine, Variant(false));
  put(kDispDigitJustify, Variant(0));
  put(kDispDigitFormat, Variant(2));
  put(kDispDigitError, Variant(true));
  platform::PropertyBag all;
  control->WriteProperties(&all);
  std::vector<std::string> order;
  for (const auto& [n, v] : all.values()) order.push_back(n);
  EXPECT_EQ(order, (std::vector<std::string>{"DigitDisplay", "DigitPlaceHolders", "DigitSize", "DigitColor",
                                             "DigitOutLine", "DigitJustify", "DigitFormat", "DigitError"}));
  auto text = platform::PropertyBag::fromFormText(all.toFormText());
  Control* other = new Control();
  ASSERT_EQ(other->ReadProperties(&text), 0);
  const State& a = control->state();
  const State& b = other->state();
  EXPECT_EQ(b.digitDisplay, a.digitDisplay);
  EXPECT_EQ(b.digitPlaceHolders, a.digitPlaceHolders);
  EXPECT_EQ(b.digitSize, a.digitSize);
  EXPECT_EQ(b.digitColor, a.digitColor);
  EXPECT_EQ(b.digitOutLine, a.digitOutLine);
  EXPECT_EQ(b.digitJustify, a.digitJustify);
  EXPECT_EQ(b.digitFormat, a.digitFormat);
  EXPECT_EQ(b.digitError, a.digitError);
  EXPECT_EQ(other->buffer().width(), 118);
  other->Release();
}

TEST_F(ControlTest, ReadingAnEmptyBagGivesTheDefaultsWithoutRangeRules) {
  platform::PropertyBag empty;
  ASSERT_EQ(control->ReadProperties(&empty), 0);
  EXPECT_EQ(get(kDispDigitDisplay).text(), "1234");
  EXPECT_EQ(get(kDispDigitPlaceHolders).toLong(), 4);
  EXPECT_EQ(sizePx(), std::make_pair(54, 23));

  auto odd = platform::PropertyBag::fromFormText("DigitColor = 7\nDigitPlaceHolders = -2\nDigitSize = 9\n");
  ASSERT_EQ(control->ReadProperties(&odd), 0);
  EXPECT_EQ(get(kDispDigitColor).toLong(), 7);
  EXPECT_EQ(get(kDispDigitPlaceHolders).toLong(), -2);
  // Sized with no positions; a colour off the sheet draws green rather than outside it.
  EXPECT_EQ(sizePx(), std::make_pair(2, 29));
  auto oddText = platform::PropertyBag::fromFormText("DigitColor = 7\nDigitPlaceHolders = 1\nDigitDisplay = \"8\"\n");
  ASSERT_EQ(control->ReadProperties(&oddText), 0);
  EXPECT_EQ(control->buffer().at(1 + 7, 1 + 2), rgb(4, 234, 4));  // segment a of an 8, green
}

TEST_F(ControlTest, OutlineEdgeAndOrigin) {
  put(kDispDigitDisplay, Variant("8888"));
  const BackBuffer& b = control->buffer();
  const int w = b.width(), h = b.height();
  // The outer ring of the sunken edge stays visible around the cells.
  for (int x = 0; x < w; ++x) EXPECT_EQ(b.at(x, 0), kButtonShadow) << x;
  for (int y = 0; y < h; ++y) EXPECT_EQ(b.at(0, y), kButtonShadow) << y;
  for (int x = 1; x < w; ++x) EXPECT_EQ(b.at(x, h - 1), kButtonHighlight) << x;
  for (int y = 1; y < h; ++y) EXPECT_EQ(b.at(w - 1, y), kButtonHighlight) << y;
  EXPECT_EQ(b.at(1, 1), rgb(4, 2, 4));            // cell background covers the inner ring
  EXPECT_EQ(b.at(1 + 4, 1 + 1), rgb(252, 2, 4));  // first cell starts at (1,1)

  put(kDispDigitOutLine, Variant(false));
  EXPECT_EQ(b.width(), 52);
  EXPECT_EQ(b.at(4, 1), rgb(252, 2, 4));  // and at (0,0) without the outline
  EXPECT_EQ(b.at(0, 0), rgb(4, 2, 4));
}

// What the display shows, cell by cell against the segment pictures: large and small digits,
// the colon and the point, the minus, "E" and "r", in each colour, at the places the format gives them.
TEST_F(ControlTest, TheDisplayDrawsEachCellFromItsTemplate) {
  using namespace glyph_templates;
  struct Case {
    int32_t size, colour, format;
    const char* display;
    bool error;
    std::string cells;  // '_' a blank cell
  };
  const Case cases[] = {
      {dgLarge, dgBlue, dgLongTime, "12:34:56", false, "12:34:56"},
      {dgLarge, dgGreen, dgLongTime, " 7:08:09 PM", false, "_7:08:09"},
      {dgLarge, dgRed, dgLongTime, "", true, "__:_E:rr"},
      {dgSmall, dgRed, dgDecimal, "-1.5", false, "_-1.5"},
      {dgLarge, dgBlue, dgDecimal, "90.7", false, "_90.7"},
      {dgLarge, dgGreen, dgGeneral, "", true, "_Err"},
      {dgSmall, dgBlue, dgShortTime, "23:45", false, "23:45"},
  };
  put(kDispDigitOutLine, Variant(false));
  put(kDispDigitPlaceHolders, Variant(4));
  put(kDispDigitJustify, Variant(dgRight));
  for (const Case& c : cases) {
    put(kDispDigitSize, Variant(c.size));
    put(kDispDigitColor, Variant(c.colour));
    put(kDispDigitFormat, Variant(c.format));
    put(kDispDigitError, Variant(c.error));
    put(kDispDigitDisplay, Variant(c.display));
    const Block& b = kBlocks[c.size == dgLarge ? 1 : 0];
    const BackBuffer& shown = control->buffer();
    int x0 = 0;
    std::vector<int> colons;
    for (const char cell : c.cells) {
      const bool dot = cell == ':' || cell == '.';
      const int w = dot ? kSeparatorWidth : b.w;
      if (cell == ':') colons.push_back(x0);
      const int index = cell == '_' ? kCellBlank : cell == '-' ? kCellMinus : cell == 'E' ? kCellE : cell == 'r' ? kCellR : cell - '0';
      int wrong = 0;
      for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < w; ++x) {
          const uint32_t want = dot ? expectedDotPixel(b, c.colour, cell, x, y) : expectedCellPixel(b, c.colour, index, x, y);
          if (shown.at(x0 + x, y) != want) ++wrong;
        }
      EXPECT_EQ(wrong, 0) << c.display << ": cell '" << cell << "' at x " << x0;
      x0 += w;
    }
    EXPECT_EQ(x0, shown.width()) << c.display;
    // The two colons of a long time stand after the hours and after the minutes.
    if (c.format == dgLongTime) {
      EXPECT_EQ(colons, (std::vector<int>{2 * b.w, 4 * b.w + kSeparatorWidth})) << c.display;
    }
  }
}

TEST_F(ControlTest, AmbientChangeRedrawsAndRefreshes) {
  EXPECT_EQ(control->AmbientChanged("BackColor"), 0);
  EXPECT_EQ(site.events, (std::vector<std::string>{"invalidate", "refresh"}));
}

}  // namespace
}  // namespace lumicell

namespace platform {
namespace {

TEST(PropertyBagText, ReadsTheDesignersFormAndRejectsWhatItCannotRead) {
  auto bag = PropertyBag::fromFormText(
      "   DigitDisplay    =   \"say \"\"hi\"\"\"\r\n\n   DigitOutLine    =   -1  'True\n   DigitColor = 1 ' green\n");
  com::Variant v;
  ASSERT_TRUE(bag.Read("DigitDisplay", &v));
  EXPECT_EQ(v, com::Variant("say \"hi\""));
  ASSERT_TRUE(bag.Read("DigitOutLine", &v));
  EXPECT_EQ(v, com::Variant(true));
  ASSERT_TRUE(bag.Read("DigitColor", &v));
  EXPECT_EQ(v, com::Variant(1));
  EXPECT_FALSE(bag.Read("DigitSize", &v));
  EXPECT_EQ(PropertyBag::fromFormText(bag.toFormText()).toFormText(), bag.toFormText());

  for (const char* bad : {"DigitDisplay = \"open", "= 5", "DigitSize 1", "DigitSize = big", "DigitSize = 1 2"}) {
    try {
      PropertyBag::fromFormText(std::string("DigitColor = 1\n") + bad + "\n");
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), 380) << bad;
      EXPECT_NE(e.description().find("line 2"), std::string::npos) << e.description();
    }
  }
}

}  // namespace
}  // namespace platform
