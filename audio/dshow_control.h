// SPDX-License-Identifier: GPL-3.0-or-later
// clsDShowControl: plays one media file (the alarm music) through a media graph, with
// open, play, pause, stop, seek, rate, volume, balance and a completion wait.
#pragma once

#include <QString>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "audio/media_graph.h"

namespace audio {

class clsDShowControl {
 public:
  // Builds its graphs with the media module's graph (loaded on the first open).
  clsDShowControl();
  // Builds its graphs with the given factory (tests pass a fake).
  explicit clsDShowControl(MediaGraphFactory factory);
  ~clsDShowControl();
  clsDShowControl(const clsDShowControl&) = delete;
  clsDShowControl& operator=(const clsDShowControl&) = delete;

  void DS_Remove();
  // Builds the next open's graph now, empty, so that the open only loads its file.
  void prepareGraph();
  void DS_OpenFile(const QString& Filename, int16_t rectTop, int16_t rectLeft, int16_t rectWidth,
                   int16_t rectHeight, quintptr hWndTarget);
  void DS_Play();
  void DS_Pause();
  void DS_Stop();
  void DS_Seek(double Amount);
  bool DS_StillPlaying(int32_t msTimeout);
  double DS_GetRate();
  void DS_SetRate(double newRate);
  double DS_GetDuration();
  double DS_GetPosition();
  void DS_SetPosition(double newPosition);
  int32_t DS_GetVolume();
  void DS_SetVolume(int32_t NewVolume);
  int32_t DS_GetBalance();
  void DS_SetBalance(int32_t newBalance);
  // The volume each file opens at, in hundredths of a decibel: full (0) unless a fade-in
  // holds the music quieter for now. Applied before the file loads, so nothing of it is
  // heard louder.
  void setOpenVolume(int32_t volume) { openVolume_ = std::clamp<int32_t>(volume, -10000, 0); }

  // Where the "unable to play" box finds the music path: the music file of the program's
  // settings once the program wires it; the file last opened until then.
  void setMusicPathSource(std::function<QString()> source) { musicPath_ = std::move(source); }
  // Where DS_Play's failures are told (text, box style, title): a message box when unset.
  using Report = std::function<void(const QString&, int, const QString&)>;
  void setReport(Report report) { report_ = std::move(report); }

  // True while a graph is held (between DS_OpenFile and DS_Remove).
  bool hasGraph() const { return graph_ != nullptr; }
  // True when the last DS_OpenFile built a graph that can play its file.
  bool fileRendered() const { return graph_ != nullptr && rendered_; }
  // True while a DS_OpenFile is under way (opening runs events: timers may call in).
  bool opening() const { return openDepth_ > 0; }

 private:
  MediaGraphFactory factory_;
  std::unique_ptr<MediaGraph> spare_;  // built ahead by prepareGraph
  std::function<QString()> musicPath_;
  Report report_;
  QString lastFile_;
  int32_t openVolume_ = 0;
  // The graph and which of its parts this wrapper holds.
  std::unique_ptr<MediaGraph> graph_;
  // Opening runs events, so a timer may open another file or tear down while an open is
  // under way: the graph being opened then retires here, stopped, and is freed only once
  // no open is left on the stack. The newest open wins.
  std::vector<std::unique_ptr<MediaGraph>> retired_;
  int openDepth_ = 0;
  unsigned openCount_ = 0;
  bool rendered_ = false;
  bool basicAudio = false;
  bool mediaEvent = false;
  bool videoWindow = false;
  bool mediaControl = false;
  bool mediaPosition = false;
};

}  // namespace audio
