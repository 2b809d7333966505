// SPDX-License-Identifier: GPL-3.0-or-later
// The real audio path against a private PulseAudio server with a null sink: mixer volumes
// seen by the server, alarm.wav played to its end by the player, the beep, the wave sound and
// the fade-in recorded from the sink's monitor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/dshow_control.h"
#include "audio/fade_in.h"
#include "audio/qt_media_graph.h"
#include "audio/sound_service.h"
#include "audio/volume.h"
#include "platform/fake_services.h"
#include "pulse_server.h"

namespace audio {
namespace {

// One server for the whole test program, started before any audio library looks for one.
class PulseEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    server = std::make_unique<testing::PulseServer>();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "audio_real_test";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
    server->start();
  }
  void TearDown() override {
    app.reset();
    server.reset();
  }
  static inline std::unique_ptr<testing::PulseServer> server;
  static inline std::unique_ptr<QApplication> app;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new PulseEnvironment);

#define NEED_SERVER()                                                          \
  do {                                                                         \
    if (!PulseEnvironment::server->reason().empty())                           \
      GTEST_SKIP() << "real audio: " << PulseEnvironment::server->reason();    \
  } while (0)

testing::PulseServer& server() { return *PulseEnvironment::server; }

QString binDir() {
  const QString fromTest = qEnvironmentVariable("ALARM_BIN_DIR");
  return fromTest.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath("../bin") : fromTest;
}

void wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// The sink's monitor recorded as 16-bit mono samples at 44100 Hz.
class Recorder {
 public:
  Recorder() : file_(server().dir() + "/recording-" + QString::number(++count_) + ".raw") {
    parec_.setProcessChannelMode(QProcess::ForwardedChannels);
    parec_.start("parec", {"-d", "nul.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=1",
                           "--latency-msec=20", file_});
    parec_.waitForStarted(5000);
  }
  // Waits until the recording has begun (a busy machine may take seconds to start parec).
  void waitUntilRecording() {
    for (int i = 0; i < 100 && QFileInfo(file_).size() < 8820; ++i) wait(50);
  }
  std::vector<double> stop() {
    parec_.terminate();
    if (!parec_.waitForFinished(5000)) {
      parec_.kill();
      parec_.waitForFinished(2000);
    }
    QFile f(file_);
    f.open(QIODevice::ReadOnly);
    const QByteArray data = f.readAll();
    std::vector<double> out(static_cast<std::size_t>(data.size() / 2));
    const auto* s = reinterpret_cast<const qint16*>(data.constData());
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = s[i] / 32768.0;
    return out;
  }
  ~Recorder() {
    if (parec_.state() != QProcess::NotRunning) stop();
  }

 private:
  static inline int count_ = 0;
  QString file_;
  QProcess parec_;
};

// The strength of one frequency in a stretch of samples (Goertzel).
double power(const std::vector<double>& s, std::size_t from, std::size_t n, double freq) {
  const double w = 2.0 * std::numbers::pi * freq / 44100.0;
  const double c = 2.0 * std::cos(w);
  double a = 0, b = 0;
  for (std::size_t i = from; i < from + n && i < s.size(); ++i) {
    const double x = s[i] + c * a - b;
    b = a;
    a = x;
  }
  return a * a + b * b - c * a * b;
}

int percentOf(const QString& pactlVolume) {
  const auto m = QRegularExpression(R"((\d+)%)").match(pactlVolume);
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST(RealMixer, SpeakersAtFiftyPercentShowAsFiftyPercentOnTheServer) {
  NEED_SERVER();
  Volume& volume = volumeModule();
  ASSERT_TRUE(volume.OpenMixer(0)) << "ALSA's default mixer does not reach the server";
  ASSERT_TRUE(volume.found(Volume::kSpeakersVolume));
  EXPECT_TRUE(volume.SetVolume(Volume::kSpeakersVolume, 50));
  volume.CloseMixer();
  EXPECT_EQ(percentOf(server().pactl({"get-sink-volume", "nul"})), 50);

  server().pactl({"set-sink-volume", "nul", "30%"});
  ASSERT_TRUE(volume.OpenMixer(0));
  EXPECT_EQ(volume.GetVolume(Volume::kSpeakersVolume), 30);
  volume.CloseMixer();
}

TEST(RealMixer, TheAlarmVolumeSwitchesTheSpeakersMuteOff) {
  NEED_SERVER();
  server().pactl({"set-sink-mute", "nul", "1"});
  ASSERT_TRUE(server().pactl({"get-sink-mute", "nul"}).contains("yes"));
  applyAlarmVolume(volumeModule(), true, 80, 100);
  EXPECT_TRUE(server().pactl({"get-sink-mute", "nul"}).contains("no"));
  EXPECT_EQ(percentOf(server().pactl({"get-sink-volume", "nul"})), 80);
}

TEST(RealPlayer, AlarmWavPlaysUntilItsPositionIsItsDuration) {
  NEED_SERVER();
  const QString wav = QDir(binDir()).filePath("alarm.wav");
  ASSERT_TRUE(QFileInfo::exists(wav)) << wav.toStdString();
  platform::FakeServices fakes;
  clsDShowControl player([] { return std::unique_ptr<MediaGraph>(std::make_unique<QtMediaGraph>()); });
  player.DS_OpenFile(wav, 0, 0, 0, 0, 0);
  const double duration = player.DS_GetDuration();
  EXPECT_NEAR(duration, 3.8, 0.1);

  player.DS_Play();
  bool sawMiddle = false;
  QElapsedTimer limit;
  limit.start();
  while (player.DS_GetPosition() != duration && limit.elapsed() < 30000) {
    const double p = player.DS_GetPosition();
    if (p > 0.2 && p < duration - 0.2) sawMiddle = true;
    wait(50);
  }
  EXPECT_EQ(player.DS_GetPosition(), player.DS_GetDuration()) << "the piece never reached its end";
  EXPECT_TRUE(sawMiddle);
  EXPECT_TRUE(fakes.messageBox.boxes.empty());

  // Playing a finished piece starts it again, and it is heard again (a repeated piece of
  // music); stopping rewinds it.
  Recorder rec;
  wait(300);
  player.DS_Play();
  limit.restart();
  while (player.DS_GetPosition() >= duration - 1.0 && limit.elapsed() < 5000) wait(50);
  EXPECT_LT(player.DS_GetPosition(), duration - 1.0) << "a finished piece did not start again";
  // The monitor hands its data over in large blocks: record past the end of the piece.
  wait(4500);
  const std::vector<double> s = rec.stop();
  double peak = 0;
  for (double x : s) peak = std::max(peak, std::fabs(x));
  EXPECT_GT(peak, 0.2) << "the second round was silent: " << s.size() << " samples recorded";
  player.DS_Stop();
  EXPECT_EQ(player.DS_GetPosition(), 0);
  player.DS_Remove();
}

TEST(RealSound, TheBeepIsA1500HzToneOfHalfASecond) {
  NEED_SERVER();
  AudioSoundService sound;
  ASSERT_GE(sound.outputCount(), 1);
  Recorder rec;
  wait(400);
  QElapsedTimer took;
  took.start();
  sound.beep(1500, 500);
  const qint64 beepMs = took.elapsed();
  wait(150);  // the recorder's own latency: the tone has been played when beep returns
  const std::vector<double> s = rec.stop();
  ASSERT_GT(s.size(), 44100u / 2);

  // 10 ms frames in which 1500 Hz stands far above its neighbours.
  const std::size_t frame = 441;
  int toneFrames = 0;
  for (std::size_t at = 0; at + frame <= s.size(); at += frame) {
    const double p = power(s, at, frame, 1500);
    if (p < 1.0) continue;  // silence
    if (p > 20 * power(s, at, frame, 1000) && p > 20 * power(s, at, frame, 2000)) ++toneFrames;
  }
  EXPECT_GE(toneFrames, 40) << "about 50 frames of tone expected";
  EXPECT_LE(toneFrames, 60);
  // It returned once the tone had ended, not before.
  EXPECT_GE(beepMs, 490);
  EXPECT_LT(beepMs, 2500);
}

TEST(RealSound, TheWaveSoundIsHeardEachTimeItPlays) {
  NEED_SERVER();
  AudioSoundService sound;
  // The second time is the snoozed alarm: the same file again, after the first has ended,
  // and read ahead as the warm-up before an alarm does.
  const QString wave = QDir(binDir()).filePath("alarm.wav");
  for (int time = 1; time <= 2; ++time) {
    Recorder rec;
    if (time == 2) sound.prepareWave(wave);
    wait(300);
    sound.playWaveAsync(wave);
    wait(4500);
    const std::vector<double> s = rec.stop();
    double peak = 0;
    for (double x : s) peak = std::max(peak, std::fabs(x));
    EXPECT_GT(peak, 0.2) << "play " << time << ": " << s.size() << " samples recorded";
  }
  // Its output is closed by the program once it has played, not left to run dry: the sound
  // server's call back for an output that ran dry came now and then after it was deleted.
  QString open;
  for (int i = 0; i < 30 && !(open = server().pactl({"list", "short", "sink-inputs"}).trimmed()).isEmpty(); ++i) wait(100);
  EXPECT_EQ(open.toStdString(), "");
}

// Faded in over 3 s, by the wave output and by the player, the chime's first round (of three,
// 1.2 s apart) is barely heard, from its first moment on, and its last nearly at full.
TEST(RealSound, AFadeInRaisesTheWaveAndTheMusicFromQuietToFull) {
  NEED_SERVER();
  AudioSoundService sound;
  platform::FakeServices fakes;
  fakes.services.sound = &sound;
  clsDShowControl player([] { return std::unique_ptr<MediaGraph>(std::make_unique<QtMediaGraph>()); });
  FadeIn fade([&]() -> clsDShowControl& { return player; });
  const QString wav = QDir(binDir()).filePath("alarm.wav");
  for (bool music : {false, true}) {
    Recorder rec;
    rec.waitUntilRecording();
    fade.start(3);
    if (music) player.DS_OpenFile(wav, 0, 0, 0, 0, 0), player.DS_Play();
    if (!music) sound.playWaveAsync(wav);
    wait(6000);  // the monitor hands its data over in large blocks: past the end of the piece
    fade.finish();
    const std::vector<double> s = rec.stop();
    player.DS_Remove();
    const auto onset = std::find_if(s.begin(), s.end(), [](double x) { return std::fabs(x) > 1e-4; }) - s.begin();
    const auto peak = [&](double from, double to) {
      double p = 0;
      for (auto i = onset + std::ptrdiff_t(from * 44100); i < onset + std::ptrdiff_t(to * 44100) && i < std::ssize(s); ++i)
        p = std::max(p, std::fabs(s[std::size_t(i)]));
      return p;
    };
    EXPECT_GT(peak(2.2, 3.1), 0.2) << (music ? "music" : "wave") << ": " << s.size() << " samples, sound from " << onset;
    EXPECT_LT(peak(0, 0.9), 0.3 * peak(2.2, 3.1)) << (music ? "music" : "wave");
  }
}

}  // namespace
}  // namespace audio
