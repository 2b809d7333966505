// SPDX-License-Identifier: GPL-3.0-or-later
// lumicell-render: exact images through the registered library, and its option handling.
#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <sstream>

#include "lumicell/control.h"
#include "lumicell/glyph_sheet.h"
#include "private_config.h"

namespace {

using namespace lumicell_test;
using platform::com::Variant;

std::string render() { return quoted((binDir() / "lumicell-render").string()); }

struct Ppm {
  int width = 0, height = 0;
  std::string rgb;
};

bool readPpm(const std::filesystem::path& file, Ppm& out) {
  std::ifstream f(file, std::ios::binary);
  std::string magic;
  int maxval = 0;
  if (!(f >> magic >> out.width >> out.height >> maxval) || magic != "P6" || maxval != 255) return false;
  f.get();
  out.rgb.assign(std::istreambuf_iterator<char>(f), {});
  return out.rgb.size() == static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 3;
}

// The same puts on an instance made in process.
lumicell::BackBuffer expectedImage(const std::vector<std::pair<int32_t, Variant>>& puts) {
  auto* c = new lumicell::Control();
  c->InitProperties();
  for (const auto& [id, v] : puts) EXPECT_EQ(c->PutProperty(id, v), 0);
  lumicell::BackBuffer b = c->buffer();
  c->Release();
  return b;
}

class RenderToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(regsvr(quoted(libraryPath())), 0); }
  std::filesystem::path out(const char* name) { return privateConfig().dir() / name; }
};

TEST_F(RenderToolTest, ImagesMatchTheControlForEveryCombination) {
  const char* texts[] = {"12:34:56", "-1.5", "7:05"};
  int checked = 0;
  for (int size = 0; size < 2; ++size)
    for (int color = 0; color < 3; ++color)
      for (int format = 0; format < 4; ++format)
        for (int outline = 0; outline < 2; ++outline)
          for (int error = 0; error < 2; ++error) {
            const char* text = texts[(size + color + format) % 3];
            const int justify = (color + outline) % 2;
            std::ostringstream cmd;
            cmd << render() << " --display " << quoted(text) << " --format " << format << " --size " << size
                << " --color " << color << " --placeholders 5 --justify " << justify << " --outline " << outline
                << " --error " << error << " --out " << quoted(out("c.ppm").string());
            ASSERT_EQ(run(cmd.str()), 0) << cmd.str();
            Ppm ppm;
            ASSERT_TRUE(readPpm(out("c.ppm"), ppm));
            const auto b = expectedImage({{lumicell::kDispDigitDisplay, Variant(text)},
                                          {lumicell::kDispDigitFormat, Variant(format)},
                                          {lumicell::kDispDigitSize, Variant(size)},
                                          {lumicell::kDispDigitColor, Variant(color)},
                                          {lumicell::kDispDigitPlaceHolders, Variant(5)},
                                          {lumicell::kDispDigitJustify, Variant(justify)},
                                          {lumicell::kDispDigitOutLine, Variant(outline != 0)},
                                          {lumicell::kDispDigitError, Variant(error != 0)}});
            ASSERT_EQ(ppm.width, b.width()) << cmd.str();
            ASSERT_EQ(ppm.height, b.height());
            int wrong = 0;
            for (int y = 0; y < b.height(); ++y)
              for (int x = 0; x < b.width(); ++x) {
                const auto* p = reinterpret_cast<const unsigned char*>(ppm.rgb.data()) + (y * b.width() + x) * 3;
                const uint32_t got = lumicell::rgb(p[0], p[1], p[2]);
                if (got != b.at(x, y)) ++wrong;
              }
            EXPECT_EQ(wrong, 0) << cmd.str();
            ++checked;
          }
  EXPECT_EQ(checked, 96);
}

TEST_F(RenderToolTest, PngAndSheetOutput) {
  ASSERT_EQ(run(render() + " --out " + quoted(out("new.png").string()) + " --sheet " +
                quoted(out("sheet.png").string())),
            0);
  const QImage img(QString::fromStdString(out("new.png").string()));
  ASSERT_EQ(img.size(), QSize(54, 23));  // a new instance: " 543", small, red, outlined
  const auto b = expectedImage({});
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 54; ++x) ASSERT_EQ(img.pixel(x, y), b.at(x, y)) << x << "," << y;
  const QImage sheet(QString::fromStdString(out("sheet.png").string()));
  EXPECT_EQ(sheet.size(), QSize(262, 144));
  EXPECT_EQ(sheet.pixel(200, 10), lumicell::rgb(236, 234, 236));
}

TEST_F(RenderToolTest, PutsApplyInOrderWithTheirRules) {
  // Place holders before or after the format: a short time ignores them either way,
  // and an out-of-range colour becomes green.
  ASSERT_EQ(run(render() + " --color 9 --format 1 --placeholders 8 --out " + quoted(out("o.ppm").string())), 0);
  Ppm ppm;
  ASSERT_TRUE(readPpm(out("o.ppm"), ppm));
  EXPECT_EQ(ppm.width, 59);
  EXPECT_EQ(ppm.height, 23);
  // An overflowing put is reported, not written.
  EXPECT_NE(run(render() + " --size 1 --placeholders 2000 --out " + quoted(out("x.ppm").string())), 0);
}

TEST_F(RenderToolTest, BadOptionsGetUsageAndFailure) {
  const std::string o = " --out " + quoted(out("b.ppm").string());
  EXPECT_EQ(run(render()), 2);
  EXPECT_EQ(run(render() + " --size" ), 2);
  EXPECT_EQ(run(render() + " --size big" + o), 2);
  EXPECT_EQ(run(render() + " --outline 2" + o), 2);
  EXPECT_EQ(run(render() + " --colour 1" + o), 2);
  EXPECT_EQ(run(render() + " --display 1"), 2);
  EXPECT_NE(run(render() + " --out /nonexistent/dir/x.ppm"), 0);
  ASSERT_EQ(regsvr("-u " + quoted(libraryPath())), 0);
  EXPECT_EQ(run(render() + o), 1);  // not registered
}

}  // namespace
