// SPDX-License-Identifier: GPL-3.0-or-later
// The notice kept for the next start.
#include "app/kept_notice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/log.h"
#include "platform/registry.h"

namespace keptnotice {

namespace {

// "" when there is no home to keep it in.
QString path() {
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (!state.startsWith(QLatin1Char('/'))) {
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) return {};
    state = home + "/.local/state";
  }
  return state + "/Orvanta/" + Registry::programFileName() + ".notice";
}

}  // namespace

bool keep(const Notice& notice) {
  const QString file = path();
  if (file.isEmpty() || !QDir().mkpath(QFileInfo(file).path())) return false;
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) return false;
  // The title on the first line, the text after it.
  out.write((notice.title + '\n' + notice.text).toUtf8());
  const bool kept = out.commit();
  platform::logEvent(((kept ? "kept for the next start: " : "could not keep for the next start: ") + notice.text).toStdString());
  return kept;
}

std::optional<Notice> take() {
  const QString file = path();
  QFile in(file);
  if (file.isEmpty() || !in.open(QIODevice::ReadOnly)) return std::nullopt;
  const QString content = QString::fromUtf8(in.read(64 * 1024));
  in.close();
  QFile::remove(file);
  const qsizetype cut = content.indexOf(QLatin1Char('\n'));
  if (cut <= 0) return std::nullopt;
  return Notice{content.left(cut), content.mid(cut + 1)};
}

}  // namespace keptnotice
