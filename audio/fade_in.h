// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's gentle start: the wave sound and the music rise from silence to their full
// volume over a number of seconds, on the streams' own volumes (the mixer stays as set).
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace audio {

class clsDShowControl;

class FadeIn final : public QObject {
 public:
  using PlayerAccess = std::function<clsDShowControl&()>;
  explicit FadeIn(PlayerAccess player, QObject* parent = nullptr);
  ~FadeIn() override;

  // The longest rise the preferences offer, and how often the volume steps up.
  static constexpr int kMaxSeconds = 300;
  static constexpr int kStepMs = 100;

  // Silences both streams at once (also the sounds started next) and raises them to full
  // over `seconds`; 0 or less does nothing. Call it before the sound starts, so that no
  // moment of it is heard at full volume. `wave`: a wave sound that plays once; whenever
  // it ends before the rise has, it plays again, so that a short sound does not end while
  // it is still too quiet to be heard.
  void start(int seconds, const QString& wave = QString());
  // Ends the rise at once: both streams at full volume again. Nothing when none runs.
  void finish();
  bool running() const { return timer_.isActive(); }
  // The streams' volume now, from 0 (silent) to 1 (full).
  double level() const { return level_; }

 private:
  void step();
  void apply(double level);

  PlayerAccess player_;
  QTimer timer_;
  QElapsedTimer since_;
  qint64 lengthMs_ = 0;
  QString wave_;
  double level_ = 1.0;
};

}  // namespace audio
