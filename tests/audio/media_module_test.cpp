// SPDX-License-Identifier: GPL-3.0-or-later
// The media module as the program loads it: a missing module leaves the program silent
// but working, and the built module plays through the program's own log.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "audio/dshow_control.h"
#include "audio/media_module.h"
#include "platform/fake_services.h"
#include "platform/log.h"

namespace audio {
namespace {

class MediaModule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qputenv("PULSE_SERVER", "unix:/nonexistent/alarm-test-no-server");
    static int argc = 1;
    static char name[] = "media_module_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
  }
  static QString logText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
};

// One test: the loader's state lives for the whole process, so the order matters.
TEST_F(MediaModule, MissingThenBuiltModule) {
  QTemporaryDir dir;
  const QString logPath = dir.filePath("log");
  platform::setLogFile(logPath.toStdString());

  // By default the module is looked for beside the program.
  EXPECT_EQ(mediaModulePath(), QCoreApplication::applicationDirPath() + "/libalarm-media.so");

  // Missing: said once in the log, and everything still answers.
  setMediaModulePath(dir.filePath("libalarm-media.so"));
  EXPECT_FALSE(mediaModuleLoaded());
  EXPECT_EQ(createModuleGraph(), nullptr);
  EXPECT_FALSE(loadMediaModule());
  EXPECT_EQ(logText(logPath).count("cannot load the media module"), 1);
  {
    ModuleSoundService sound;
    EXPECT_EQ(sound.outputCount(), 0);
    sound.playWaveAsync(QStringLiteral(ALARM_BIN_DIR "/alarm.wav"));
    int ticks = 0;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&] { ++ticks; });
    t.start(20);
    QElapsedTimer took;
    took.start();
    sound.beep(1500, 200);
    EXPECT_GE(took.elapsed(), 190) << "a silent beep still lasts its length";
    EXPECT_GE(ticks, 3) << "and the window's timers run meanwhile";
  }
  {
    platform::FakeServices fakes;
    clsDShowControl player;
    EXPECT_NO_THROW(player.DS_OpenFile(QStringLiteral(ALARM_BIN_DIR "/alarm.wav"), 0, 0, 0, 0, 0));
    EXPECT_FALSE(player.hasGraph());
    EXPECT_NO_THROW(player.DS_Play());
    EXPECT_FALSE(player.DS_StillPlaying(0));
  }

  // A file that is not a module: refused the same way.
  const QString junk = dir.filePath("junk.so");
  {
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a library");
  }
  setMediaModulePath(junk);
  EXPECT_FALSE(loadMediaModule());
  EXPECT_EQ(logText(logPath).count("cannot load the media module"), 2);

  // The built module: graphs and the sound service come from it, and its log lines reach
  // the program's log file.
  setMediaModulePath(QStringLiteral(ALARM_BIN_DIR "/libalarm-media.so"));
  ASSERT_TRUE(loadMediaModule()) << logText(logPath).toStdString();
  EXPECT_EQ(logText(logPath).count("media module loaded"), 1);
  auto graph = createModuleGraph();
  ASSERT_NE(graph, nullptr);
  EXPECT_NO_THROW(graph->query(MediaGraph::Part::BasicAudio));
  graph->setVolume(-2000);
  EXPECT_EQ(graph->volume(), -2000);
  graph.reset();
  {
    // A file the module's graph cannot open raises an error inside the module; the player
    // here catches it and says so when asked to play.
    platform::FakeServices fakes;
    clsDShowControl player;
    EXPECT_NO_THROW(player.DS_OpenFile(dir.filePath("missing.mp3"), 0, 0, 0, 0, 0));
    EXPECT_TRUE(player.hasGraph());
    EXPECT_NO_THROW(player.DS_Play());
    EXPECT_EQ(fakes.messageBox.boxes.size(), 1u);
  }

  ModuleSoundService sound;
  EXPECT_EQ(sound.outputCount(), 0);  // no sound server in this test
  sound.playWaveAsync(dir.filePath("missing.wav"));
  EXPECT_TRUE(logText(logPath).contains("sound: no such wave file: " + dir.filePath("missing.wav")));

  // Once loaded, the module stays.
  setMediaModulePath(dir.filePath("elsewhere.so"));
  EXPECT_TRUE(loadMediaModule());
  platform::setLogFile("");
}

}  // namespace
}  // namespace audio
