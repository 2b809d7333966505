// SPDX-License-Identifier: GPL-3.0-or-later
// An audio output that plays a piece of samples and is then closed by us, never left to run
// dry. An output that runs out of samples asks the sound server to drain it and is called
// back when the drain ends; Qt Multimedia does not withdraw that call when the output is
// deleted, so an output deleted in that moment is called after it is gone (the program
// crashed when a sound ended just as the next one started or the program quit). Silence
// after the piece keeps the output from running dry; it is closed once the piece has played.
#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QIODevice>
#include <QObject>
#include <QTimer>
#include <memory>

class QAudioDevice;
class QAudioSink;

namespace audio {

// The samples, then silence for as long as it is read.
class SamplesThenSilence final : public QIODevice {
 public:
  SamplesThenSilence(QByteArray samples, char silence);
  bool isSequential() const override { return true; }
  bool atEnd() const override { return false; }
  qint64 bytesAvailable() const override;

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QByteArray samples_;
  qint64 at_ = 0;
  char silence_;
};

class ClosingSink final : public QObject {
 public:
  // Starts playing at once, at the volume given (0 silent to 1 full).
  ClosingSink(const QAudioDevice& device, const QAudioFormat& format, QByteArray samples, qreal volume = 1.0);
  ~ClosingSink() override;

  // The piece's length, and how much of it (and of the silence after it) the output has played.
  qint64 lengthUs() const { return lengthUs_; }
  qint64 playedUs() const;
  // Closed, by close() or because the piece has played, or the output failed or stalled.
  bool closed() const;
  void close();
  // The output's own volume, 0 to 1.
  void setVolume(qreal volume);

  // After the piece, a little silence before the output is closed, so that nothing of it is cut.
  static constexpr qint64 kTailUs = 250'000;
  // An output that does not play is closed this long after the piece would have ended.
  static constexpr qint64 kStalledUs = 5'000'000;

 private:
  qint64 lengthUs_;
  std::unique_ptr<SamplesThenSilence> source_;
  std::unique_ptr<QAudioSink> sink_;
  QElapsedTimer started_;
  QTimer watch_;
  bool closed_ = false;

  void check();
};

}  // namespace audio
