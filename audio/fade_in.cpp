// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm's gentle start on the player's and the wave output's volumes.
#include "audio/fade_in.h"

#include <algorithm>

#include "audio/dshow_control.h"
#include "audio/media_graph.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/services.h"

namespace audio {

FadeIn::FadeIn(PlayerAccess player, QObject* parent) : QObject(parent), player_(std::move(player)) {
  timer_.setInterval(kStepMs);
  connect(&timer_, &QTimer::timeout, this, &FadeIn::step);
}

FadeIn::~FadeIn() = default;

void FadeIn::start(int seconds, const QString& wave) {
  if (seconds <= 0) return;
  wave_ = wave;
  lengthMs_ = qint64{std::min(seconds, kMaxSeconds)} * 1000;
  platform::logEvent("sound: fading in over " + std::to_string(lengthMs_ / 1000) + " seconds");
  since_.start();
  apply(0.0);
  timer_.start();
}

void FadeIn::finish() {
  if (!timer_.isActive()) return;
  timer_.stop();
  apply(1.0);
}

void FadeIn::step() {
  const double done = static_cast<double>(since_.elapsed()) / static_cast<double>(lengthMs_);
  if (done >= 1.0) {
    finish();
    return;
  }
  // The square of the time gone: each step sounds about as much louder as the one before.
  apply(done * done);
  if (!wave_.isEmpty())
    platform::ignoreErrors([&] {
      auto& sound = *platform::services().sound;
      if (!sound.wavePlaying()) sound.playWaveAsync(wave_);
    });
}

void FadeIn::apply(double level) {
  level_ = level;
  platform::ignoreErrors([&] { platform::services().sound->setWaveVolume(static_cast<float>(level)); });
  platform::ignoreErrors([&] {
    const int32_t volume = hundredthsDbFromLinear(static_cast<float>(level));
    clsDShowControl& player = player_();
    player.setOpenVolume(volume);
    player.DS_SetVolume(volume);
  });
}

}  // namespace audio
