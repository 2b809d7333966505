// SPDX-License-Identifier: GPL-3.0-or-later
// The runtime helpers: conversions, error texts, time texts and the system name table.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <functional>

#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/vbtime.h"
#include "platform/winversion.h"

using namespace platform;

TEST(Conversions, LeadingNumberOfAText) {
  EXPECT_EQ(vbVal(""), 0);
  EXPECT_EQ(vbVal("abc"), 0);
  EXPECT_EQ(vbVal("12ab"), 12);
  EXPECT_EQ(vbVal("  007"), 7);
  EXPECT_EQ(vbVal("1 2"), 12);
  EXPECT_EQ(vbVal("-3.5x"), -3.5);
  EXPECT_EQ(vbVal("2e3"), 2000);
  EXPECT_EQ(vbVal("Er"), 0);
}

TEST(Conversions, WholeNumbersRoundHalvesToEvenAndOverflow) {
  EXPECT_EQ(vbCInt("2.5"), 2);
  EXPECT_EQ(vbCInt("3.5"), 4);
  EXPECT_EQ(vbCInt("-2.5"), -2);
  EXPECT_EQ(vbCInt(" 42 "), 42);
  EXPECT_EQ(vbCInt(32767.0), 32767);
  auto errorOf = [](auto f) {
    try {
      f();
    } catch (const RuntimeError& e) {
      return e.number();
    }
    return 0;
  };
  EXPECT_EQ(errorOf([] { vbCInt(32768.0); }), 6);
  EXPECT_EQ(errorOf([] { vbCInt("Error"); }), 13);
  EXPECT_EQ(errorOf([] { vbCInt(""); }), 13);
  EXPECT_EQ(errorOf([] { vbCSng("1e300"); }), 6);
  EXPECT_EQ(errorOf([] { vbCBool("Error"); }), 13);
  EXPECT_TRUE(vbCBool("True"));
  EXPECT_TRUE(vbCBool("true"));
  EXPECT_FALSE(vbCBool("False"));
  EXPECT_TRUE(vbCBool("-1"));
  EXPECT_FALSE(vbCBool("0"));
}

TEST(Conversions, NumbersAsText) {
  EXPECT_EQ(vbStr(339), " 339");
  EXPECT_EQ(vbStr(-5), "-5");
  EXPECT_EQ(vbStr(0.5), " .5");
  EXPECT_EQ(vbCStr(0.5), "0.5");
  EXPECT_EQ(vbCStrSingle(1234.5f), "1234.5");
  EXPECT_EQ(vbCStrSingle(1e30f), "1E+30");
  EXPECT_EQ(vbCStrSingle(-750.f), "-750");
  EXPECT_EQ(vbCStr(183.24), "183.24");
  EXPECT_EQ(vbTrim("  a b  "), "a b");
  EXPECT_EQ(vbMid("7:05:09 PM", 3, 2), "05");
}

TEST(ErrorTexts, StandardBox) {
  EXPECT_EQ(standardErrorText(13, "Type mismatch", "frmMain, Alarm_Timer"),
            "An Error was generated:\r\n\r\nDescription:\r\nError 13 - Type mismatch\r\nfrmMain, Alarm_Timer\r\n\r\n"
            "Please inform the author with the error description above.");
  EXPECT_NE(standardErrorText(-5, "x", "Sub Main").find("\r\nError-5 - x\r\nSub Main\r\n"), std::string::npos);
}

TEST(ErrorTexts, StartUpBoxes) {
  EXPECT_EQ(startupErrorText(339, "Missing", "Sub Main"),
            "An Error was generated:\r\nDescription: Error 339 - Missing\r\n\r\nRe-install the program to fix this.");
  EXPECT_EQ(startupErrorText(50003, "Unexpected error", "Sub Main"),
            "An Error was generated:\r\nDescription: Error 50003 - Unexpected error\r\n\r\n"
            "Re-install the program to fix this, or get the latest vbruntimes at Orvanta.");
  EXPECT_EQ(startupErrorText(7, "Out of memory", "frmMain, Form_Initialize"),
            standardErrorText(7, "Out of memory", "frmMain, Form_Initialize"));
}

TEST(SystemName, TableByPlatformAndVersion) {
  EXPECT_EQ(windowsVersionName(2, 5, 1), "Windows XP");
  EXPECT_EQ(windowsVersionName(1, 4, 10), "Windows 98");
  EXPECT_EQ(windowsVersionName(1, 4, 90), "Windows ME");
  EXPECT_EQ(windowsVersionName(2, 3, 51), "Windows NT 3");
  EXPECT_EQ(windowsVersionName(2, 6, 1), "Windows 7");
  EXPECT_EQ(windowsVersionName(2, 6, 2), "Unknown");
  EXPECT_EQ(windowsVersionName(2, 10, 0), "Unknown");
  EXPECT_EQ(windowsVersionName(1, 4, 1), "Unknown");  // 4.1 is not 4.10
}

TEST(TimeTexts, Formats) {
  const QTime t(19, 5, 9);
  EXPECT_EQ(formatTime(t, kFmt24), "19:05:09");
  EXPECT_EQ(formatTime(t, kFmtAmPm), "7:05:09 PM");
  EXPECT_EQ(formatTime(QTime(0, 0, 0), kFmtAmPm), "12:00:00 AM");
  EXPECT_EQ(formatTime(QTime(12, 0, 0), kFmtAmPm), "12:00:00 PM");
  EXPECT_EQ(formatTime(QTime(7, 5, 9), "hh"), "07");
  EXPECT_EQ(formatTime(t, "nn"), "05");
  EXPECT_EQ(formatTime(t, "ss"), "09");
}

// The non-raising conversions give a value exactly where the raising ones give one.
TEST(Conversions, TryFormsAgreeWithTheRaisingOnes) {
  for (const char* text : {"", "Error", "0", "1", "-1", " 7 ", "2.5", "3.5", "-2.5", "32767", "32767.5", "-32768.5",
                           "99999", "1e30", "1e400", "True", "false", "TRUE", "yes", "12ab", "&H10", "0x10", " ", "1 2",
                           "NaN", "inf"}) {
    const auto same = [&](auto tried, auto raising) {
      try {
        const auto v = raising(text);
        ASSERT_TRUE(tried.has_value()) << text;
        EXPECT_EQ(*tried, v) << text;
      } catch (const RuntimeError&) {
        EXPECT_FALSE(tried.has_value()) << text;
      }
    };
    same(tryCDbl(text), [](const char* t) { return vbCDbl(t); });
    same(tryCInt(text), [](const char* t) { return vbCInt(t); });
    same(tryCBool(text), [](const char* t) { return vbCBool(t); });
  }
}

TEST(TimeTexts, ReadBack) {
  EXPECT_EQ(timeValue("07:05:09"), QTime(7, 5, 9));
  EXPECT_EQ(timeValue("7:05:09 PM"), QTime(19, 5, 9));
  EXPECT_EQ(timeValue("12:00:00 AM"), QTime(0, 0, 0));
  EXPECT_EQ(timeValue("19:05"), QTime(19, 5, 0));
  EXPECT_FALSE(timeValue("25:00:00"));
  EXPECT_FALSE(timeValue("13:00:00 PM"));
  EXPECT_FALSE(timeValue("::"));
  EXPECT_FALSE(timeValue(""));
  EXPECT_FALSE(timeValue("lblHDDNtime"));
  EXPECT_EQ(timeValue(" 7 pm "), QTime(19, 0, 0));
  EXPECT_EQ(timeValue("7P"), QTime(19, 0, 0));
  EXPECT_EQ(timeValue("\t12:5:7am\r"), QTime(0, 5, 7));
  EXPECT_FALSE(timeValue("7"));           // a bare number is no time
  EXPECT_FALSE(timeValue("007:00"));      // nor three digits
  EXPECT_FALSE(timeValue("7:00 AMX"));
  EXPECT_FALSE(timeValue("7:00:00:00"));
  EXPECT_FALSE(timeValue("\u0667:00"));  // only ASCII digits
}

// The reader accepts exactly what this pattern describes: every text of up to five
// characters from the characters that matter, compared with the pattern itself.
TEST(TimeTexts, ReadBackMatchesItsPattern) {
  const QRegularExpression re(QStringLiteral(R"(^\s*(\d{1,2})(?::(\d{1,2}))?(?::(\d{1,2}))?\s*(AM|PM|A|P)?\s*$)"),
                              QRegularExpression::CaseInsensitiveOption);
  const QString alphabet = QStringLiteral("019: aApmM");
  QString text;
  long checked = 0;
  std::function<void(int)> walk = [&](int depth) {
    const auto m = re.match(text);
    std::optional<QTime> expected;
    if (m.hasMatch() && (m.capturedLength(2) || m.capturedLength(4))) {
      int h = m.captured(1).toInt();
      const int n = m.captured(2).toInt(), sec = m.captured(3).toInt();
      bool ok = true;
      if (m.capturedLength(4)) {
        ok = h <= 12;
        h = (h == 12 ? 0 : h) + (m.captured(4).startsWith('P', Qt::CaseInsensitive) ? 12 : 0);
      }
      if (ok && h <= 23 && n <= 59 && sec <= 59) expected = QTime(h, n, sec);
    }
    ASSERT_EQ(timeValue(text), expected) << text.toStdString();
    ++checked;
    if (depth == 5) return;
    for (QChar c : alphabet) {
      text.append(c);
      walk(depth + 1);
      text.chop(1);
    }
  };
  walk(0);
  EXPECT_GT(checked, 100000);
}

TEST(TimeTexts, NowPlusMinutesWrapsAtMidnight) {
  const QDate d(2026, 12, 8);
  EXPECT_EQ(nowPlusMinutes(QDateTime(d, QTime(23, 55, 0)), 10, kFmt24), "00:05:00");
  EXPECT_EQ(nowPlusMinutes(QDateTime(d, QTime(23, 58, 0)), 5, kFmt24), "00:03:00");
  EXPECT_EQ(nowPlusMinutes(QDateTime(d, QTime(11, 58, 30)), 5, kFmtAmPm), "12:03:30 PM");
  EXPECT_EQ(nowPlusMinutes(QDateTime(d, QTime(7, 0, 0, 900)), 1, kFmt24), "07:01:00");
  EXPECT_EQ(nowPlusMinutes(QDateTime(d, QTime(0, 5, 0)), -10, kFmt24), "23:55:00");
}
