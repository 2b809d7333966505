// SPDX-License-Identifier: GPL-3.0-or-later
// lumicell-render: creates the display control through the component registry, as Alarm
// does, puts the properties given on the command line in order, and writes its image.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "lumicell/glyph_sheet.h"
#include "lumicell/image_file.h"
#include "lumicell/lumicell.h"
#include "platform/errors.h"
#include "platform/host/com.h"
#include "platform/host/component_registry.h"

namespace {

using platform::com::Variant;

int usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "lumicell-render: %s\n", problem.c_str());
  std::fprintf(stderr,
               "Usage: lumicell-render [properties...] --out FILE\n"
               "       lumicell-render --sheet FILE\n"
               "Properties, put in the order given on a new control:\n"
               "  --display TEXT       DigitDisplay\n"
               "  --format N           DigitFormat (0 general, 1 short time, 2 long time, 3 decimal)\n"
               "  --size N             DigitSize (0 small, 1 large)\n"
               "  --color N            DigitColor (0 blue, 1 green, 2 red)\n"
               "  --placeholders N     DigitPlaceHolders\n"
               "  --justify N          DigitJustify (0 left, 1 right)\n"
               "  --outline 0|1        DigitOutLine\n"
               "  --error 0|1          DigitError\n"
               "Output:\n"
               "  --out FILE           the control's image: binary PPM (P6), or PNG for a name ending in .png\n"
               "  --sheet FILE         the glyph sheet itself, in the same formats\n"
               "The control must be registered (regsvr liblumicell.so).\n");
  return 2;
}

bool parseWhole(const std::string& text, long long& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  out = std::strtoll(text.c_str(), &end, 10);
  return errno == 0 && end && *end == '\0';
}

// A site that only keeps what the control tells it.
class RenderSite final : public platform::com::IControlSite {
 public:
  void PropertyChanged(const char*) override {}
  void Invalidate() override {}
  void Refresh() override {}
  void ExtentChanged(int32_t, int32_t) override {}
  int32_t TwipsPerPixelX() override { return 15; }
  int32_t TwipsPerPixelY() override { return 15; }
};

struct Put {
  int32_t dispId;
  Variant value;
  std::string option;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<Put> puts;
  std::string out, sheet;
  for (int i = 1; i < argc; ++i) {
    const std::string opt = argv[i];
    if (opt == "-h" || opt == "--help") {
      usage({});
      return 0;
    }
    struct Numeric {
      const char* name;
      int32_t dispId;
      bool boolean;
    };
    static const Numeric numerics[] = {
        {"--format", lumicell::kDispDigitFormat, false},
        {"--size", lumicell::kDispDigitSize, false},
        {"--color", lumicell::kDispDigitColor, false},
        {"--placeholders", lumicell::kDispDigitPlaceHolders, false},
        {"--justify", lumicell::kDispDigitJustify, false},
        {"--outline", lumicell::kDispDigitOutLine, true},
        {"--error", lumicell::kDispDigitError, true},
    };
    const bool known = opt == "--display" || opt == "--out" || opt == "--sheet" ||
                       std::any_of(std::begin(numerics), std::end(numerics),
                                   [&opt](const Numeric& n) { return opt == n.name; });
    if (!known) return usage("unknown option " + opt);
    if (i + 1 >= argc) return usage(opt + " needs a value");
    const std::string value = argv[++i];
    if (opt == "--display") {
      puts.push_back({lumicell::kDispDigitDisplay, Variant(value), opt});
    } else if (opt == "--out") {
      out = value;
    } else if (opt == "--sheet") {
      sheet = value;
    } else {
      for (const auto& n : numerics) {
        if (opt != n.name) continue;
        long long v = 0;
        if (!parseWhole(value, v)) return usage(opt + " needs a whole number, not \"" + value + "\"");
        if (n.boolean) {
          if (v != 0 && v != 1) return usage(opt + " takes 0 or 1, not " + value);
          puts.push_back({n.dispId, Variant(v != 0), opt});
        } else {
          if (v < INT32_MIN || v > INT32_MAX) return usage(opt + " " + value + " is out of range");
          puts.push_back({n.dispId, Variant(static_cast<int32_t>(v)), opt});
        }
      }
    }
  }
  if (out.empty() && sheet.empty()) return usage("nothing to write: give --out FILE or --sheet FILE");
  if (!puts.empty() && out.empty()) return usage("properties given but no --out FILE");

  std::string error;
  if (!sheet.empty()) {
    const auto& s = lumicell::glyphSheet();
    std::vector<uint32_t> pixels(s.index.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = lumicell::kPalette[s.index[i]];
    const lumicell::ImageView view{pixels.data(), lumicell::kSheetWidth, lumicell::kSheetHeight, lumicell::kSheetWidth};
    if (!lumicell::writeImageFile(sheet, view, &error)) {
      std::fprintf(stderr, "lumicell-render: %s\n", error.c_str());
      return 1;
    }
  }
  if (out.empty()) return 0;

  platform::ComPtr<platform::com::IControl> control;
  try {
    control = platform::ComPtr<platform::com::IControl>(platform::createControl(lumicell::kProgId));
  } catch (const platform::RuntimeError& e) {
    std::fprintf(stderr, "lumicell-render: cannot create %s: Error %d - %s\n", lumicell::kProgId, e.number(),
                 e.description().c_str());
    return 1;
  }
  RenderSite site;
  control->SetSite(&site);
  auto fail = [&](const std::string& what, platform::com::HResult hr) {
    std::fprintf(stderr, "lumicell-render: %s failed: Error %d - %s\n", what.c_str(), hr,
                 platform::errorDescription(hr).c_str());
    control->SetSite(nullptr);
    return 1;
  };
  if (const auto hr = control->InitProperties(); hr != platform::com::kOk) return fail("InitProperties", hr);
  for (const auto& p : puts) {
    if (const auto hr = control->PutProperty(p.dispId, p.value); hr != platform::com::kOk)
      return fail(p.option + " " + p.value.toText(), hr);
  }
  const auto surface = control->GetSurface();
  const lumicell::ImageView view{surface.pixels, surface.width, surface.height, surface.stride};
  const bool ok = lumicell::writeImageFile(out, view, &error);
  control->SetSite(nullptr);
  if (!ok) {
    std::fprintf(stderr, "lumicell-render: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
