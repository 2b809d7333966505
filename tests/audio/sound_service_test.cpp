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

// A wave file in pieces: the RIFF head, then chunks given as id and body.
QByteArray riff(std::initializer_list<std::pair<const char*, QByteArray>> chunks) {
  QByteArray body("WAVE");
  for (const auto& [id, data] : chunks) {
    const quint32 n = static_cast<quint32>(data.size());
    body += QByteArray(id, 4) + QByteArray(reinterpret_cast<const char*>(&n), 4) + data;
    if (n & 1) body += '\0';
  }
  const quint32 n = static_cast<quint32>(body.size());
  return QByteArray("RIFF") + QByteArray(reinterpret_cast<const char*>(&n), 4) + body;
}

QByteArray fmt(quint16 tag, quint16 channels, quint32 rate, quint16 bits) {
  QByteArray f(16, '\0');
  auto put = [&](int at, quint32 v, int bytes) {
    for (int i = 0; i < bytes; ++i) f[at + i] = static_cast<char>(v >> (8 * i));
  };
  put(0, tag, 2), put(2, channels, 2), put(4, rate, 4), put(8, rate * channels * bits / 8, 4);
  put(12, channels * bits / 8, 2), put(14, bits, 2);
  return f;
}

TEST(WaveFile, TakesPlainSamplesAndLeavesEverythingElseToThePlayer) {
  // 16-bit stereo behind an odd-sized chunk; the cut last frame is dropped.
  const auto stereo = readWave(riff({{"LIST", QByteArray(3, 'x')}, {"fmt ", fmt(1, 2, 48000, 16)}, {"data", QByteArray(10, 'a')}}));
  ASSERT_TRUE(stereo);
  EXPECT_EQ(stereo->format.sampleFormat(), QAudioFormat::Int16);
  EXPECT_EQ(stereo->format.channelCount(), 2);
  EXPECT_EQ(stereo->format.sampleRate(), 48000);
  EXPECT_EQ(stereo->data.size(), 8);
  ASSERT_TRUE(readWave(riff({{"fmt ", fmt(3, 1, 44100, 32)}, {"data", QByteArray(8, 'a')}})));
  // A file cut short keeps the samples it has.
  QByteArray cut = riff({{"fmt ", fmt(1, 1, 22050, 8)}, {"data", QByteArray(100, 'a')}});
  cut.chop(60);
  ASSERT_TRUE(readWave(cut));
  EXPECT_EQ(readWave(cut)->data.size(), 40);
  // Compressed, 24-bit, no format before the samples, not a wave, a chunk claiming 4 GB.
  for (const QByteArray& refused :
       {riff({{"fmt ", fmt(2, 1, 44100, 4)}, {"data", QByteArray(8, 'a')}}), riff({{"fmt ", fmt(1, 1, 44100, 24)}, {"data", QByteArray(6, 'a')}}),
        riff({{"data", QByteArray(8, 'a')}, {"fmt ", fmt(1, 1, 44100, 16)}}), QByteArray("RIFF\0\0\0\0AVI LIST"),
        riff({{"fmt ", fmt(1, 0, 44100, 16)}}) + QByteArray("data\xff\xff\xff\xff", 8)})
    EXPECT_FALSE(readWave(refused)) << refused.toHex().toStdString();
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
