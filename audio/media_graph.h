// SPDX-License-Identifier: GPL-3.0-or-later
// The media graph the player wrapper drives: one opened file with its playback controls,
// volume, position and completion event. The real graph stands on Qt Multimedia and lives in
// the media module (media_module.h); tests use a fake.
#pragma once

#include <QString>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>

namespace audio {

// Failures are platform::RuntimeError with the runtime's error numbers (445 for an action
// the graph cannot do, such as running a graph that holds no playable file).
class MediaGraph {
 public:
  // The parts of a graph, each of which a graph may or may not offer.
  enum class Part { MediaControl, BasicAudio, VideoWindow, MediaEvent, MediaPosition };

  virtual ~MediaGraph() = default;

  // Raises error 13 (type mismatch) when the graph does not offer that part.
  virtual void query(Part part) = 0;

  // Playback control.
  virtual void renderFile(const QString& path) = 0;
  virtual void run() = 0;
  virtual void pause() = 0;
  virtual void stop() = 0;

  // Audio: volume in hundredths of a decibel (0 full, -10000 silence), balance -10000..10000.
  virtual int32_t volume() = 0;
  virtual void setVolume(int32_t volume) = 0;
  virtual int32_t balance() = 0;
  virtual void setBalance(int32_t balance) = 0;

  // Video window; audio-only files raise error 445 here.
  virtual void setWindowStyle(int32_t style) = 0;
  virtual void setTop(int32_t top) = 0;
  virtual void setLeft(int32_t left) = 0;
  virtual void setWidth(int32_t width) = 0;
  virtual void setHeight(int32_t height) = 0;
  virtual void setOwner(quintptr window) = 0;

  // Waits up to msTimeout milliseconds (negative: no limit) for the end of playback and
  // returns the event code delivered: 0 for none (time-out, or the graph is not running),
  // kComplete at the end, kErrorAbort when playback failed.
  static constexpr int32_t kComplete = 1;
  static constexpr int32_t kErrorAbort = 3;
  virtual int32_t waitForCompletion(int32_t msTimeout) = 0;

  // Position: seconds; rate: a multiplier.
  virtual double duration() = 0;
  virtual double currentPosition() = 0;
  virtual void setCurrentPosition(double seconds) = 0;
  virtual double rate() = 0;
  virtual void setRate(double rate) = 0;
};

// Creates a new, empty graph.
using MediaGraphFactory = std::function<std::unique_ptr<MediaGraph>()>;

// Volume conversions between hundredths of a decibel and an output's linear gain (0..1).
inline float linearFromHundredthsDb(int32_t volume) {
  if (volume <= -10000) return 0.0f;
  if (volume >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

inline int32_t hundredthsDbFromLinear(float linear) {
  if (!(linear > 0.0f)) return -10000;
  if (linear >= 1.0f) return 0;
  const double db100 = std::round(2000.0 * std::log10(static_cast<double>(linear)));
  return db100 < -10000 ? -10000 : static_cast<int32_t>(db100);
}

}  // namespace audio
