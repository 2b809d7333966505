// SPDX-License-Identifier: GPL-3.0-or-later
// clsDShowControl: the media player wrapper over a media graph.
#include "audio/dshow_control.h"

#include <algorithm>

#include "audio/media_module.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/services.h"

namespace audio {

using platform::ignoreErrors;
using platform::RuntimeError;

namespace {

// Calling through a part the wrapper does not hold is the runtime's "object not set".
void need(bool part) {
  if (!part) throw RuntimeError(91);
}

constexpr int32_t kVisibleWindowStyle = 0x10000000;

}  // namespace

clsDShowControl::clsDShowControl() : clsDShowControl(&createModuleGraph) {}

clsDShowControl::clsDShowControl(MediaGraphFactory factory) : factory_(std::move(factory)) {}

clsDShowControl::~clsDShowControl() { DS_Remove(); }

void clsDShowControl::DS_Remove() {
  // Stop and detach; a failure ends those steps, but the references are always released,
  // so no graph outlives its tear-down.
  try {
    if (mediaControl) graph_->stop();
    if (videoWindow) graph_->setOwner(0);
  } catch (const std::exception&) {
  }
  basicAudio = mediaEvent = videoWindow = mediaControl = mediaPosition = false;
  rendered_ = false;
  // A graph whose open is still under way further up the stack is freed once that returns.
  if (openDepth_ > 0 && graph_) {
    ignoreErrors([&] { graph_->stop(); });
    retired_.push_back(std::move(graph_));
  }
  graph_.reset();
}

void clsDShowControl::prepareGraph() {
  if (!spare_) ignoreErrors([&] { spare_ = factory_(); });
}

void clsDShowControl::DS_OpenFile(const QString& Filename, int16_t rectTop, int16_t rectLeft,
                                  int16_t rectWidth, int16_t rectHeight, quintptr hWndTarget) {
  // Every step may fail and is skipped: an audio file has no video window, an unreadable
  // file leaves a graph that plays nothing.
  DS_Remove();
  lastFile_ = Filename;
  platform::logEvent(("music: open " + Filename).toStdString());
  const unsigned mine = ++openCount_;
  ++openDepth_;
  // Rendering runs events: an open or a tear-down started meanwhile supersedes this one,
  // whose remaining steps are then skipped.
  const auto current = [&] { return mine == openCount_ && graph_ != nullptr; };
  const auto stepIf = [&](bool part, const std::function<void()>& run) {
    ignoreErrors([&] {
      need(current() && part);
      run();
    });
  };
  ignoreErrors([&] {
    graph_ = spare_ ? std::move(spare_) : factory_();
    need(graph_ != nullptr);
    graph_->query(MediaGraph::Part::MediaControl);
    mediaControl = true;
  });
  // A quieter start is set before the file loads: what loads is already that quiet.
  if (openVolume_ != 0) stepIf(true, [&] { graph_->setVolume(openVolume_); });
  stepIf(mediaControl, [&] {
    MediaGraph* graph = graph_.get();
    graph->renderFile(Filename);
    if (current() && graph_.get() == graph) rendered_ = true;
  });
  stepIf(true, [&] {
    graph_->query(MediaGraph::Part::BasicAudio);
    basicAudio = true;
  });
  stepIf(basicAudio, [&] { graph_->setVolume(openVolume_); });
  stepIf(basicAudio, [&] { graph_->setBalance(0); });
  stepIf(true, [&] {
    graph_->query(MediaGraph::Part::VideoWindow);
    videoWindow = true;
  });
  // A file without pictures refuses every step of the video window alike: said once, and
  // the steps after the first refusal are not tried.
  bool noPicture = false;
  const auto pictureStep = [&](const std::function<void()>& run) {
    if (noPicture) return;
    stepIf(videoWindow, [&] {
      try {
        run();
      } catch (const platform::RuntimeError& e) {
        if (e.number() != platform::err::kObjectDoesNotSupport) throw;
        noPicture = true;
      }
    });
  };
  pictureStep([&] { graph_->setWindowStyle(kVisibleWindowStyle); });
  pictureStep([&] { graph_->setTop(rectTop); });
  pictureStep([&] { graph_->setLeft(rectLeft); });
  pictureStep([&] { graph_->setWidth(rectWidth); });
  pictureStep([&] { graph_->setHeight(rectHeight); });
  pictureStep([&] { graph_->setOwner(hWndTarget); });
  if (noPicture) platform::logEvent("music: the file has no pictures, so no video window");
  stepIf(true, [&] {
    graph_->query(MediaGraph::Part::MediaEvent);
    mediaEvent = true;
  });
  stepIf(true, [&] {
    graph_->query(MediaGraph::Part::MediaPosition);
    mediaPosition = true;
  });
  stepIf(mediaPosition, [&] { graph_->setRate(1.0); });
  if (--openDepth_ == 0) retired_.clear();
}

void clsDShowControl::DS_Play() {
  try {
    if (!mediaPosition) return;
    // A piece that stands at its end starts again from the beginning.
    const double position = graph_->currentPosition();
    const double duration = graph_->duration();
    if (platform::roundHalfEven(position) == platform::roundHalfEven(duration)) graph_->setCurrentPosition(0);
    need(mediaControl);
    graph_->run();
  } catch (const RuntimeError& e) {
    const auto tell = [&](const QString& text, int flags, const QString& title) {
      if (report_)
        report_(text, flags, title);
      else
        platform::services().messageBox->msgBox(text, flags, title);
    };
    if (e.number() == platform::err::kObjectDoesNotSupport) {
      const QString path = musicPath_ ? musicPath_() : lastFile_;
      tell(QStringLiteral("Alarm is unable to play this file.\r\n") + path, platform::mb::kExclamation,
           QStringLiteral("DS_Play - Oops"));
    } else {
      tell(QString::fromStdString(platform::standardErrorText(e.number(), e.description(), "Public Sub DS_Play")),
           platform::mb::kCritical, QStringLiteral("Error"));
    }
  }
}

void clsDShowControl::DS_Pause() {
  if (mediaControl) graph_->pause();
}

void clsDShowControl::DS_Stop() {
  // "Not supported" skips to the next step; any other failure ends the stop silently.
  if (!mediaControl || !mediaPosition) return;
  try {
    try {
      graph_->stop();
    } catch (const RuntimeError& e) {
      if (e.number() != platform::err::kObjectDoesNotSupport) throw;
    }
    try {
      graph_->setCurrentPosition(0);
    } catch (const RuntimeError& e) {
      if (e.number() != platform::err::kObjectDoesNotSupport) throw;
    }
  } catch (const std::exception& e) {
    platform::logEvent(std::string("music: stop failed: ") + e.what());
  }
}

void clsDShowControl::DS_Seek(double Amount) {
  if (!mediaPosition) return;
  if (graph_->currentPosition() + Amount < 0) {
    graph_->setCurrentPosition(0);
    return;
  }
  const double duration = graph_->duration();
  const double position = graph_->currentPosition();
  graph_->setCurrentPosition(position + Amount > duration ? duration : position + Amount);
}

bool clsDShowControl::DS_StillPlaying(int32_t msTimeout) {
  if (!mediaEvent) return false;
  int32_t code = 0;
  try {
    code = graph_->waitForCompletion(msTimeout);
  } catch (const std::exception&) {
    code = 0;
  }
  return code == 0;
}

double clsDShowControl::DS_GetRate() { return mediaPosition ? graph_->rate() : 0; }

void clsDShowControl::DS_SetRate(double newRate) {
  if (newRate <= 0) newRate = 0.1;
  if (mediaPosition) graph_->setRate(newRate);
}

double clsDShowControl::DS_GetDuration() { return mediaPosition ? graph_->duration() : 0; }

double clsDShowControl::DS_GetPosition() { return mediaPosition ? graph_->currentPosition() : 0; }

void clsDShowControl::DS_SetPosition(double newPosition) {
  if (!mediaPosition) return;
  if (newPosition < 0) newPosition = 0;
  const double duration = graph_->duration();
  if (newPosition > duration) newPosition = duration;
  graph_->setCurrentPosition(newPosition);
}

int32_t clsDShowControl::DS_GetVolume() { return basicAudio ? graph_->volume() : 0; }

void clsDShowControl::DS_SetVolume(int32_t NewVolume) {
  NewVolume = std::clamp<int32_t>(NewVolume, -10000, 0);
  if (basicAudio) graph_->setVolume(NewVolume);
}

int32_t clsDShowControl::DS_GetBalance() { return basicAudio ? graph_->balance() : 0; }

void clsDShowControl::DS_SetBalance(int32_t newBalance) {
  newBalance = std::clamp<int32_t>(newBalance, -10000, 10000);
  if (basicAudio) graph_->setBalance(newBalance);
}

}  // namespace audio
