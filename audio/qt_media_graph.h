// SPDX-License-Identifier: GPL-3.0-or-later
// The media graph on Qt Multimedia: a QMediaPlayer with its QAudioOutput.
#pragma once

#include <QObject>
#include <memory>

#include "audio/media_graph.h"

class QMediaPlayer;
class QAudioOutput;

namespace audio {

class QtMediaGraph final : public QObject, public MediaGraph {
  Q_OBJECT
 public:
  QtMediaGraph();
  ~QtMediaGraph() override;

  void query(Part part) override;
  void renderFile(const QString& path) override;
  void run() override;
  void pause() override;
  void stop() override;
  int32_t volume() override;
  void setVolume(int32_t volume) override;
  int32_t balance() override { return balance_; }
  void setBalance(int32_t balance) override { balance_ = balance; }
  void setWindowStyle(int32_t style) override;
  void setTop(int32_t top) override;
  void setLeft(int32_t left) override;
  void setWidth(int32_t width) override;
  void setHeight(int32_t height) override;
  void setOwner(quintptr window) override;
  int32_t waitForCompletion(int32_t msTimeout) override;
  double duration() override;
  double currentPosition() override;
  void setCurrentPosition(double seconds) override;
  double rate() override;
  void setRate(double rate) override;

  // How long opening a file may take before it counts as failed.
  static constexpr int kOpenTimeoutMs = 5000;

 signals:
  void finished();

 private:
  void makePlayer();
  void dropPlayer();
  void requireVideo() const;

  std::unique_ptr<QMediaPlayer> player_;
  std::unique_ptr<QAudioOutput> output_;
  bool rendered_ = false;
  bool atEnd_ = false;
  // The piece has played to its end since it was loaded (a rewind does not clear this).
  bool ended_ = false;
  bool failed_ = false;
  // Qt cannot pan, so the balance is only kept; the video window is not shown.
  int32_t balance_ = 0;
};

}  // namespace audio
