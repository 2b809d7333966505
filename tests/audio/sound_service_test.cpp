// SPDX-License-Identifier: GPL-3.0-or-later
// The sound service without any audio output: the tone itself, the wave files it reads, a
// beep that still lasts its length and returns, and no outputs are counted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cmath>

#include "audio/sound_service.h"
#include "audio/wave_file.h"

namespace audio {
namespace {

class NoOutput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A sound server that does not exist: Qt finds no audio output at all.
    qputenv("PULSE_SERVER", "unix:/nonexistent/alarm-test-no-server");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "sound_service_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
  }
};

TEST(ToneSamples, AreASineOfTheAskedFrequencyAndLength) {
  const QByteArray data = toneSamples(1500, 500, 44100);
  ASSERT_EQ(data.size(), 22050 * 2);
  const auto* s = reinterpret_cast<const qint16*>(data.constData());
  const int n = static_cast<int>(data.size() / 2);
  int crossings = 0;
  int peak = 0;
  for (int i = 1; i < n; ++i) {
    if ((s[i - 1] < 0) != (s[i] < 0)) ++crossings;
    peak = std::max(peak, std::abs(static_cast<int>(s[i])));
  }
  // 1500 Hz for half a second crosses zero about 1500 times.
  EXPECT_NEAR(crossings, 1500, 4);
  EXPECT_GT(peak, 16000);
  // It starts and ends quietly, so it does not click.
  EXPECT_LT(std::abs(static_cast<int>(s[0])), 100);
  EXPECT_LT(std::abs(static_cast<int>(s[n - 1])), 100);
  EXPECT_TRUE(toneSamples(1500, 0, 44100).isEmpty());
}

// The wave reader on the fuzz target's seeds: the length of the samples it takes from each
// kind of file, or nothing for those it leaves to the media player.
TEST(WaveFile, TakesPlainSamplesAndLeavesEverythingElseToThePlayer) {
  const std::pair<const char*, int> seeds[] = {
      {"pcm16-mono", 64}, {"float32", 32}, {"extensible-pcm32", 48}, {"pcm8-cut", 26}, {"huge-data-claim", 10},
      {"pcm16-stereo-after-list", 40}, {"adpcm", -1}, {"pcm24", -1}, {"data-before-fmt", -1}, {"not-a-wave", -1}};
  for (const auto& [name, bytes] : seeds) {
    const auto wave = readWaveFile(QStringLiteral(ALARM_WAVE_SEEDS "/seed-") + name);
    EXPECT_EQ(wave ? wave->data.size() : -1, bytes) << name;
    if (wave && QByteArray(name).contains("stereo")) {
      EXPECT_TRUE(wave->format.channelCount() == 2 && wave->format.sampleRate() == 48000 &&
                  wave->format.sampleFormat() == QAudioFormat::Int16);
    }
  }
}

TEST_F(NoOutput, TheBeepStillLastsItsLengthAndTimersKeepRunning) {
  AudioSoundService sound;
  EXPECT_EQ(sound.outputCount(), 0);
  int ticks = 0;
  QTimer t;
  QObject::connect(&t, &QTimer::timeout, [&] { ++ticks; });
  t.start(50);
  QElapsedTimer clock;
  clock.start();
  sound.beep(1500, 500);
  const qint64 took = clock.elapsed();
  EXPECT_GE(took, 490);
  EXPECT_LT(took, 5000) << "the beep must return even with no output";
  EXPECT_GE(ticks, 5);  // the window's timers were served during the beep
}

}  // namespace
}  // namespace audio
