// SPDX-License-Identifier: GPL-3.0-or-later
// Our own volume window, for desktops without a mixer program: the speakers and wave
// volumes and the speakers' mute, applied to the mixer as they change.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QSlider;

namespace audio {

class Volume;

class VolumeWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit VolumeWindow(Volume& volume, QWidget* parent = nullptr);

  QSlider* speakers() const { return speakers_; }
  QSlider* wave() const { return wave_; }
  QCheckBox* mute() const { return mute_; }

 private:
  void load();
  void applyVolume(int index, int percent);
  void applyMute(bool on);

  Volume& volume_;
  QSlider* speakers_ = nullptr;
  QSlider* wave_ = nullptr;
  QCheckBox* mute_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace audio
