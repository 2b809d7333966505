// SPDX-License-Identifier: GPL-3.0-or-later
// The cell text: the displays Alarm and its users meet, and the edge cases of filtering, padding and truncation.
#include <gtest/gtest.h>

#include "lumicell/control.h"
#include "platform/errors.h"

namespace lumicell {
namespace {

// Writes the blank cell as an underscore, as the examples do.
std::string cells(const State& st) {
  std::string s = FormatDisplayText(st);
  for (char& c : s)
    if (c == kBlankCell) c = '_';
  return s;
}

State st(int32_t format, const std::string& text, int16_t places = 4, int32_t justify = dgRight, bool error = false) {
  State s;
  s.digitFormat = format;
  s.digitDisplay = text;
  s.digitPlaceHolders = places;
  s.digitJustify = justify;
  s.digitError = error;
  return s;
}

TEST(FormatDisplayText, TypicalTexts) {
  EXPECT_EQ(cells(st(2, "12:34:56")), "12:34:56");
  EXPECT_EQ(cells(st(2, "9:45:30 ")), "_9:45:30");
  EXPECT_EQ(cells(st(2, "12:45:30 PM")), "12:45:30");
  EXPECT_EQ(cells(st(2, "anything", 4, dgRight, true)), "__:_E:rr");
  EXPECT_EQ(cells(st(1, "7:05")), "_7:05");
  EXPECT_EQ(cells(st(1, "12345")), "__:__");
  EXPECT_EQ(cells(st(0, "543")), "_543");
  EXPECT_EQ(cells(st(0, "-12", 4, dgLeft)), "-12_");
  EXPECT_EQ(cells(st(0, "98765")), "8765");
  EXPECT_EQ(cells(st(0, "anything", 4, dgRight, true)), "_Err");
  EXPECT_EQ(cells(st(3, "12")), "_12.0");
  EXPECT_EQ(cells(st(3, "-1.5")), "_-1.5");
  EXPECT_EQ(cells(st(3, "1.2.3", 4, dgLeft)), "1.23_");
}

TEST(FormatDisplayText, FilteringRules) {
  EXPECT_EQ(cells(st(0, "")), "____");
  EXPECT_EQ(cells(st(0, "     ")), "____");
  EXPECT_EQ(cells(st(0, "--5")), "__-5");           // only a leading minus stays
  EXPECT_EQ(cells(st(0, "5-")), "___5");
  EXPECT_EQ(cells(st(0, "12:34")), "1234");         // colon dropped outside the time formats
  EXPECT_EQ(cells(st(0, "1a.2B")), "__12");     // letters and a point dropped
  EXPECT_EQ(cells(st(3, ".5")), "___.5");
  EXPECT_EQ(cells(st(1, "1234")), "__:__");         // no colon in the third place
  EXPECT_EQ(cells(st(2, "1:2:3:4")), "__:__:__");   // third colon dropped: 1:2:34 is too short
  EXPECT_EQ(cells(st(1, "-7:05")), "_7:05");        // no minus in the time formats
  EXPECT_EQ(cells(st(1, "12:34:56")), "__:__");     // a second colon is dropped in short time
  EXPECT_EQ(cells(st(2, "12345678")), "__:__:__");  // eight digits are no time
  // A long time is shown when a colon stands third or fifth, and only then.
  EXPECT_EQ(cells(st(2, "12:345:6")), "12:345:6");
  EXPECT_EQ(cells(st(2, "1234:567")), "1234:567");
  EXPECT_EQ(cells(st(2, "123:45:6")), "__:__:__");
  EXPECT_EQ(cells(st(2, "1:234:56")), "__:__:__");
}

TEST(FormatDisplayText, ErrorIndication) {
  EXPECT_EQ(cells(st(0, "1", 2, dgRight, true)), "rr");
  EXPECT_EQ(cells(st(0, "1", 5, dgLeft, true)), "Err__");
  EXPECT_EQ(cells(st(3, "1", 4, dgRight, true)), "_Err.");
  EXPECT_EQ(cells(st(1, "12:34", 4, dgRight, true)), "_E:rr");
}

TEST(FormatDisplayText, TruncationKeepsTheRightEnd) {
  EXPECT_EQ(cells(st(0, "98765", 4, dgLeft)), "8765");
  EXPECT_EQ(cells(st(3, "12345.6")), "345.6");
  // When the point is among the characters cut off, only as many digits as there are
  // positions remain, so nothing is drawn past the control's edge.
  EXPECT_EQ(cells(st(3, "1.23456")), "3456");
}

TEST(FormatDisplayText, TooLongTextIsAnOverflow) {
  State s = st(0, std::string(32767, '1'));
  EXPECT_EQ(FormatDisplayText(s).size(), 4u);
  s.digitDisplay = "  " + std::string(32768, '1') + "  ";
  try {
    FormatDisplayText(s);
    FAIL() << "expected an overflow";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), 6);
  }
}

}  // namespace
}  // namespace lumicell
