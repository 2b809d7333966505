// SPDX-License-Identifier: GPL-3.0-or-later
// Our own volume window.
#include "audio/volume_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "audio/volume.h"

namespace audio {

namespace {

QSlider* percentSlider(QWidget* parent) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setRange(0, 100);
  s->setPageStep(10);
  s->setMinimumWidth(220);
  return s;
}

}  // namespace

VolumeWindow::VolumeWindow(Volume& volume, QWidget* parent) : QWidget(parent), volume_(volume) {
  setWindowTitle(tr("Alarm volume"));
  auto* grid = new QGridLayout;
  speakers_ = percentSlider(this);
  wave_ = percentSlider(this);
  auto* speakersValue = new QLabel(this);
  auto* waveValue = new QLabel(this);
  mute_ = new QCheckBox(tr("Mute speakers"), this);
  grid->addWidget(new QLabel(tr("Speakers"), this), 0, 0);
  grid->addWidget(speakers_, 0, 1);
  grid->addWidget(speakersValue, 0, 2);
  grid->addWidget(new QLabel(tr("Wave"), this), 1, 0);
  grid->addWidget(wave_, 1, 1);
  grid->addWidget(waveValue, 1, 2);
  grid->addWidget(mute_, 2, 1);
  status_ = new QLabel(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(status_);
  layout->addWidget(buttons);

  connect(speakers_, &QSlider::valueChanged, speakersValue, [speakersValue](int v) { speakersValue->setText(QString::number(v) + " %"); });
  connect(wave_, &QSlider::valueChanged, waveValue, [waveValue](int v) { waveValue->setText(QString::number(v) + " %"); });
  load();
  connect(speakers_, &QSlider::valueChanged, this, [this](int v) { applyVolume(Volume::kSpeakersVolume, v); });
  connect(wave_, &QSlider::valueChanged, this, [this](int v) { applyVolume(Volume::kWaveOutVolume, v); });
  connect(mute_, &QCheckBox::toggled, this, &VolumeWindow::applyMute);
}

void VolumeWindow::load() {
  if (!volume_.OpenMixer(0)) {
    status_->setText(tr("No mixer device was found."));
    speakers_->setEnabled(false);
    wave_->setEnabled(false);
    mute_->setEnabled(false);
    return;
  }
  speakers_->setValue(volume_.GetVolume(Volume::kSpeakersVolume));
  wave_->setValue(volume_.GetVolume(Volume::kWaveOutVolume));
  wave_->setEnabled(volume_.found(Volume::kWaveOutVolume));
  speakers_->setEnabled(volume_.found(Volume::kSpeakersVolume));
  mute_->setEnabled(volume_.found(Volume::kSpeakersMute));
  if (mute_->isEnabled()) {
    // The mute reads as 0 or 1, unscaled.
    mute_->setChecked(volume_.GetVolume(Volume::kSpeakersMute) != 0);
  }
  volume_.CloseMixer();
}

void VolumeWindow::applyVolume(int index, int percent) {
  volume_.OpenMixer(0);
  volume_.SetVolume(index, percent);
  volume_.CloseMixer();
}

void VolumeWindow::applyMute(bool on) {
  volume_.OpenMixer(0);
  volume_.SetSwitch(Volume::kSpeakersMute, on ? 1 : 0);
  volume_.CloseMixer();
}

}  // namespace audio
