// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the media module.
#include "audio/media_module.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <dlfcn.h>

#include "platform/log.h"

namespace audio {
namespace {

using SetLogFn = void (*)(platform::LogSink);
using CreateGraphFn = MediaGraph* (*)();
using CreateSoundFn = platform::SoundService* (*)();

struct Module {
  bool tried = false;
  bool loaded = false;
  CreateGraphFn createGraph = nullptr;
  CreateSoundFn createSound = nullptr;
  QString path;
};

Module& module() {
  static Module m;
  return m;
}

void logFromModule(const char* event, std::size_t size) { platform::logEvent(std::string_view(event, size)); }

}  // namespace

QString mediaModulePath() {
  Module& m = module();
  if (!m.path.isEmpty()) return m.path;
  const QString folder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
  return (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) + QLatin1String(media_module::kFileName);
}

void setMediaModulePath(const QString& path) {
  Module& m = module();
  if (m.loaded) return;
  m.path = path;
  m.tried = false;
}

bool mediaModuleLoaded() { return module().loaded; }

bool loadMediaModule() {
  Module& m = module();
  if (m.tried) return m.loaded;
  m.tried = true;
  const QByteArray path = mediaModulePath().toLocal8Bit();
  QElapsedTimer took;
  took.start();
  // The module is never unloaded: Qt keeps meta-objects and plugin state of it.
  void* handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    platform::logEvent("sound: cannot load the media module " + path.toStdString() + ": " +
                       (why ? why : "unknown reason") + "; going on without sound");
    return false;
  }
  auto setLog = reinterpret_cast<SetLogFn>(dlsym(handle, media_module::kSetLog));
  m.createGraph = reinterpret_cast<CreateGraphFn>(dlsym(handle, media_module::kCreateGraph));
  m.createSound = reinterpret_cast<CreateSoundFn>(dlsym(handle, media_module::kCreateSoundService));
  if (!setLog || !m.createGraph || !m.createSound) {
    platform::logEvent("sound: the media module " + path.toStdString() +
                       " lacks its entry points; going on without sound");
    m.createGraph = nullptr;
    m.createSound = nullptr;
    return false;
  }
  setLog(&logFromModule);
  m.loaded = true;
  platform::logEvent("sound: media module loaded in " + std::to_string(took.elapsed()) + " ms");
  return true;
}

std::unique_ptr<MediaGraph> createModuleGraph() {
  if (!loadMediaModule()) return nullptr;
  return std::unique_ptr<MediaGraph>(module().createGraph());
}

ModuleSoundService::ModuleSoundService() = default;
ModuleSoundService::~ModuleSoundService() = default;

platform::SoundService* ModuleSoundService::service() {
  if (!tried_) {
    tried_ = true;
    if (loadMediaModule()) service_.reset(module().createSound());
  }
  return service_.get();
}

void ModuleSoundService::beep(int frequencyHz, int durationMs) {
  if (auto* s = service()) return s->beep(frequencyHz, durationMs);
  // Silent, but as long as a tone: the caller's timing stays the same, and the window
  // keeps painting meanwhile.
  if (durationMs <= 0) return;
  QEventLoop loop;
  QTimer::singleShot(durationMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

int ModuleSoundService::outputCount() {
  auto* s = service();
  return s ? s->outputCount() : 0;
}

void ModuleSoundService::playWaveAsync(const QString& path) {
  if (auto* s = service()) s->playWaveAsync(path);
}

void ModuleSoundService::prepareWave(const QString& path) {
  if (auto* s = service()) s->prepareWave(path);
}

}  // namespace audio
