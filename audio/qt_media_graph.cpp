// SPDX-License-Identifier: GPL-3.0-or-later
// The media graph on Qt Multimedia.
#include "audio/qt_media_graph.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "platform/errors.h"
#include "platform/log.h"

namespace audio {

using platform::RuntimeError;

QtMediaGraph::QtMediaGraph() { makePlayer(); }

QtMediaGraph::~QtMediaGraph() {
  player_->disconnect(this);
  player_->stop();
}

void QtMediaGraph::makePlayer() {
  output_ = std::make_unique<QAudioOutput>();
  player_ = std::make_unique<QMediaPlayer>();
  player_->setAudioOutput(output_.get());
  connect(player_.get(), &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
    if (s == QMediaPlayer::EndOfMedia) {
      atEnd_ = ended_ = true;
      emit finished();
    } else if (s == QMediaPlayer::InvalidMedia) {
      failed_ = true;
      emit finished();
    }
  });
  connect(player_.get(), &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error e, const QString& text) {
    if (e == QMediaPlayer::NoError) return;
    failed_ = true;
    platform::logEvent(("music: playback error: " + text).toStdString());
    emit finished();
  });
}

void QtMediaGraph::dropPlayer() {
  player_->disconnect(this);
  player_->stop();
  // Deleted once control is back in the event loop: the caller may be inside one of the
  // player's own signals.
  player_.release()->deleteLater();
  output_.release()->deleteLater();
}

void QtMediaGraph::query(Part) {
  // Every part is offered; the video window's calls fail for files without a picture.
}

void QtMediaGraph::renderFile(const QString& path) {
  rendered_ = atEnd_ = ended_ = failed_ = false;
  const QFileInfo info(path);
  if (!info.isFile() || !info.isReadable()) throw RuntimeError(platform::err::kFileNotFound);
  player_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));

  // Opening is asynchronous in Qt; wait for the outcome so that the duration is known
  // when this returns, as the player's callers (the repeat poll, the "unable to play" box)
  // expect. Paint events and timers keep running meanwhile; no user input is taken, and the
  // wait ends after kOpenTimeoutMs at the latest.
  auto settled = [this] {
    if (failed_) return true;
    const auto s = player_->mediaStatus();
    return (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia) && player_->duration() > 0;
  };
  if (!settled()) {
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    auto check = [&] {
      if (settled()) loop.quit();
    };
    auto c1 = connect(player_.get(), &QMediaPlayer::mediaStatusChanged, &loop, check);
    auto c2 = connect(player_.get(), &QMediaPlayer::durationChanged, &loop, check);
    auto c3 = connect(this, &QtMediaGraph::finished, &loop, check);
    timeout.start(kOpenTimeoutMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    disconnect(c1);
    disconnect(c2);
    disconnect(c3);
  }
  const auto s = player_->mediaStatus();
  if (failed_ || !(s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia)) {
    failed_ = true;
    throw RuntimeError(platform::err::kObjectDoesNotSupport, "Cannot render the file");
  }
  rendered_ = true;
}

void QtMediaGraph::run() {
  // A graph without a playable file cannot run.
  if (!rendered_ || failed_) throw RuntimeError(platform::err::kObjectDoesNotSupport);
  atEnd_ = false;
  // A player that has played a piece to its end does not always sound again: the position
  // can stay at the end, or it plays in silence. A piece that has ended is played by a
  // fresh player (loaded in a few milliseconds) from its start, at the same volume and rate.
  if (ended_) {
    ended_ = false;
    const QUrl source = player_->source();
    const float volume = output_->volume();
    const qreal rate = player_->playbackRate();
    dropPlayer();
    makePlayer();
    output_->setVolume(volume);
    player_->setPlaybackRate(rate);
    player_->setSource(source);
  }
  player_->play();
}

void QtMediaGraph::pause() {
  if (rendered_) player_->pause();
}

void QtMediaGraph::stop() {
  player_->stop();
  atEnd_ = false;
}

int32_t QtMediaGraph::volume() { return hundredthsDbFromLinear(output_->volume()); }

void QtMediaGraph::setVolume(int32_t volume) { output_->setVolume(linearFromHundredthsDb(volume)); }

void QtMediaGraph::requireVideo() const {
  if (!player_->hasVideo()) throw RuntimeError(platform::err::kObjectDoesNotSupport);
}

void QtMediaGraph::setWindowStyle(int32_t) { requireVideo(); }
void QtMediaGraph::setTop(int32_t) { requireVideo(); }
void QtMediaGraph::setLeft(int32_t) { requireVideo(); }
void QtMediaGraph::setWidth(int32_t) { requireVideo(); }
void QtMediaGraph::setHeight(int32_t) { requireVideo(); }
void QtMediaGraph::setOwner(quintptr) { requireVideo(); }

int32_t QtMediaGraph::waitForCompletion(int32_t msTimeout) {
  if (failed_) return kErrorAbort;
  if (atEnd_) return kComplete;
  if (player_->playbackState() != QMediaPlayer::PlayingState) return 0;
  QEventLoop loop;
  connect(this, &QtMediaGraph::finished, &loop, &QEventLoop::quit);
  connect(player_.get(), &QMediaPlayer::playbackStateChanged, &loop, [&](QMediaPlayer::PlaybackState st) {
    if (st != QMediaPlayer::PlayingState) loop.quit();
  });
  QTimer timeout;
  if (msTimeout >= 0) {
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    timeout.start(msTimeout);
  }
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (failed_) return kErrorAbort;
  return atEnd_ ? kComplete : 0;
}

double QtMediaGraph::duration() { return static_cast<double>(player_->duration()) / 1000.0; }

double QtMediaGraph::currentPosition() {
  // At the end the position is the duration exactly, so "position = duration" tells the
  // repeat poll that the piece has finished.
  if (atEnd_) return duration();
  return static_cast<double>(player_->position()) / 1000.0;
}

void QtMediaGraph::setCurrentPosition(double seconds) {
  const auto ms = static_cast<qint64>(std::llround(seconds * 1000.0));
  atEnd_ = false;
  player_->setPosition(ms);
}

double QtMediaGraph::rate() { return player_->playbackRate(); }

void QtMediaGraph::setRate(double rate) { player_->setPlaybackRate(rate); }

}  // namespace audio
