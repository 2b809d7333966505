// SPDX-License-Identifier: GPL-3.0-or-later
// The host side: registration, creation by programmatic identifier, late binding by
// dispatch id, the designed state, and the widget that shows the control.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <QApplication>
#include <cmath>


#include "lumicell/control.h"
#include "lumicell/glyph_sheet.h"
#include "platform/errors.h"
#include "platform/host/component_registry.h"
#include "platform/host/lumicell_widget.h"
#include "platform/store.h"
#include "private_config.h"

namespace {

using namespace lumicell_test;
using platform::LumicellWidget;
using platform::com::Variant;

QApplication& app() {
  static int argc = 1;
  static char name[] = "host_test";
  static char* argv[] = {name, nullptr};
  static QApplication* a = new QApplication(argc, argv);
  return *a;
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(privateConfig().dir().empty());
    app();
  }
  static int creationError() {
    try {
      LumicellWidget w(lumicell::kProgId);
      return 0;
    } catch (const platform::RuntimeError& e) {
      return e.number();
    }
  }
};

TEST_F(HostTest, CreationNeedsARegistrationThatLoads) {
  EXPECT_EQ(creationError(), 339);

  ASSERT_EQ(regsvr(quoted(libraryPath())), 0);
  EXPECT_EQ(creationError(), 0);

  // A registration whose library is gone.
  platform::FileStore store(privateConfig().dir());
  const auto clsid = store.readValue(platform::kHkeyCurrentUser, platform::progIdKey("Kestrava.Lumicell"), "CLSID");
  ASSERT_TRUE(clsid);
  const auto key = platform::inprocServerKey(*platform::com::parseGuid(*clsid));
  ASSERT_TRUE(store.writeValue(platform::kHkeyCurrentUser, key, "Path", "/nonexistent/liblumicell.so"));
  EXPECT_EQ(creationError(), 339);
  // A file that is no library.
  ASSERT_TRUE(store.writeValue(platform::kHkeyCurrentUser, key, "Path", (privateConfig().dir() / "Classes" / "CLSID.conf").string()));
  EXPECT_EQ(creationError(), 339);

  ASSERT_EQ(regsvr(quoted(libraryPath())), 0);
  ASSERT_EQ(regsvr("-u " + quoted(libraryPath())), 0);
  EXPECT_EQ(creationError(), 339);
}

TEST_F(HostTest, RegsvrReportsFailures) {
  EXPECT_NE(regsvr(""), 0);
  EXPECT_NE(regsvr("-x " + quoted(libraryPath())), 0);
  EXPECT_NE(regsvr(quoted((privateConfig().dir() / "missing.so").string())), 0);
  const auto notALibrary = privateConfig().dir() / "text.so";
  { std::FILE* f = std::fopen(notALibrary.c_str(), "w"); std::fputs("text\n", f); std::fclose(f); }
  EXPECT_EQ(regsvr(quoted(notALibrary.string())), 3);
}

TEST_F(HostTest, DesignedStateAndLateBinding) {
  ASSERT_EQ(regsvr(quoted(libraryPath())), 0);
  QWidget parent;
  auto* w = new LumicellWidget(lumicell::kProgId, &parent);
  w->loadAlarmDesign();
  EXPECT_EQ(w->getText(lumicell::kDispDigitDisplay), "543");
  EXPECT_EQ(w->getLong(lumicell::kDispDigitSize), lumicell::dgLarge);
  EXPECT_EQ(w->getLong(lumicell::kDispDigitColor), lumicell::dgBlue);
  EXPECT_FALSE(w->get(lumicell::kDispDigitOutLine).toBoolean());
  EXPECT_EQ(w->getLong(lumicell::kDispDigitFormat), lumicell::dgLongTime);
  EXPECT_EQ(w->getLong(lumicell::kDispDigitPlaceHolders), 4);
  // 118 x 27 pixels, in twips.
  EXPECT_EQ(w->size(), QSize(118, 27));
  EXPECT_EQ(w->get(platform::extender::kDispWidth).toDouble(), 1770);
  EXPECT_EQ(w->get(platform::extender::kDispHeight).toDouble(), 405);

  // Centring as the main window does it: Left and Top in twips.
  w->put(platform::extender::kDispLeft, Variant(532.5f));
  w->put(platform::extender::kDispTop, Variant(45));
  EXPECT_EQ(w->pos(), QPoint(36, 3));
  EXPECT_EQ(w->get(platform::extender::kDispLeft).toDouble(), 540);
  w->put(platform::extender::kDispToolTipText, Variant("Double-click to detach"));
  EXPECT_EQ(w->toolTip(), QString("Double-click to detach"));
  EXPECT_EQ(w->getText(platform::extender::kDispToolTipText), "Double-click to detach");
  // A host resize is undone by the control.
  w->put(platform::extender::kDispWidth, Variant(3000));
  EXPECT_EQ(w->size(), QSize(118, 27));
  // What no window can be placed at or sized to is refused, and nothing moves.
  const auto refusal = [&](int32_t dispId, double twips) {
    try {
      w->put(dispId, Variant(twips));
    } catch (const platform::RuntimeError& e) {
      return e.number();
    }
    return 0;
  };
  for (const int32_t id : {platform::extender::kDispWidth, platform::extender::kDispHeight, platform::extender::kDispLeft,
                           platform::extender::kDispTop}) {
    EXPECT_EQ(refusal(id, 1e12), 6) << std::hex << id;
    EXPECT_EQ(refusal(id, -1e12), 6) << std::hex << id;
    EXPECT_EQ(refusal(id, std::nan("")), 380) << std::hex << id;
  }
  EXPECT_EQ(refusal(platform::extender::kDispWidth, -15), 380);
  EXPECT_EQ(w->size(), QSize(118, 27));
  EXPECT_EQ(w->pos(), QPoint(36, 3));

  QStringList changed;
  QObject::connect(w, &LumicellWidget::propertyChanged, [&changed](const QString& n) { changed << n; });
  w->put(lumicell::kDispDigitDisplay, QString("12:34:56"));
  w->put(lumicell::kDispDigitSize, Variant(0));
  EXPECT_EQ(changed, QStringList({"DigitDisplay", "DigitSize"}));
  EXPECT_EQ(w->size(), QSize(88, 21));

  // Errors come back as runtime errors.
  try {
    w->put(lumicell::kDispDigitPlaceHolders, Variant(100000));
    ADD_FAILURE() << "expected an overflow";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), 6);
  }
  EXPECT_THROW(w->get(0x12345), platform::RuntimeError);

  // The window shows exactly the control's back buffer.
  lumicell::State st;
  st.digitDisplay = "12:34:56";
  st.digitFormat = lumicell::dgLongTime;
  st.digitColor = lumicell::dgBlue;
  st.digitPlaceHolders = 4;
  lumicell::BackBuffer expected;
  expected.resize(88, 21);
  lumicell::DrawDigits(st, expected);
  const QImage shown = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(88, 21));
  int wrong = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 88; ++x)
      if ((shown.pixel(x, y) | 0xFF000000u) != expected.at(x, y)) ++wrong;
  EXPECT_EQ(wrong, 0);

  platform::PropertyBag bag;
  w->writeProperties(bag);
  EXPECT_EQ(bag.toFormText(),
            "DigitDisplay    =   \"12:34:56\"\n"
            "DigitColor      =   0\n"
            "DigitOutLine    =   0   'False\n"
            "DigitFormat     =   2\n");
}

TEST_F(HostTest, NewInstanceAmbientChangeAndUnloading) {
  ASSERT_EQ(regsvr(quoted(libraryPath())), 0);
  void* lib = ::dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr);
  auto canUnloadNow = reinterpret_cast<platform::com::DllCanUnloadNowFn>(::dlsym(lib, "DllCanUnloadNow"));
  ASSERT_NE(canUnloadNow, nullptr);
  {
    LumicellWidget w(lumicell::kProgId);
    w.initProperties();
    EXPECT_EQ(w.size(), QSize(54, 23));
    w.ambientChanged("BackColor");
    EXPECT_EQ(w.image().pixel(1 + 13 + 4, 1 + 1) | 0xFF000000u, lumicell::rgb(252, 2, 4));  // the 5, lit red
    EXPECT_EQ(canUnloadNow(), platform::com::kFalse);
  }
  EXPECT_EQ(canUnloadNow(), platform::com::kOk);
  ::dlclose(lib);
}

}  // namespace
