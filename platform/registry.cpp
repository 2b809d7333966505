// SPDX-License-Identifier: GPL-3.0-or-later
// The Registry module over the per-user store.
#include "platform/registry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

#include "platform/autostart_program.h"
#include "platform/services.h"
#include "platform/store.h"
#include "version.h"

namespace {

QString g_programPath;  // set by tests: the program is this file
QString g_startName;    // the file name the program was started under
QString g_startPath;    // the file it was started as, when that is this program

// The program file that runs, links resolved: the kernel knows it whatever the program was
// started as.
QString runningExecutable() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
  const QString link = QString::fromLocal8Bit(buf, n);
  const QString canonical = QFileInfo(link).canonicalFilePath();
  return canonical.isEmpty() ? link : canonical;
}


}  // namespace

namespace Registry {

uint32_t GetRootKey(const QString& rootName) {
  static const struct {
    const char* name;
    uint32_t handle;
  } kRoots[] = {
      {"HKEY_CLASSES_ROOT", platform::kHkeyClassesRoot},     {"HKEY_CURRENT_USER", platform::kHkeyCurrentUser},
      {"HKEY_LOCAL_MACHINE", platform::kHkeyLocalMachine},   {"HKEY_USERS", platform::kHkeyUsers},
      {"HKEY_PERFORMANCE_DATA", platform::kHkeyPerformanceData}, {"HKEY_CURRENT_CONFIG", platform::kHkeyCurrentConfig},
      {"HKEY_DYN_DATA", platform::kHkeyDynData},
  };
  for (const auto& r : kRoots)
    if (rootName == QLatin1String(r.name)) return r.handle;
  return 0;
}

bool SplitKeyPath(QString& path, uint32_t& root) {
  root = 0;
  if (!path.startsWith(QLatin1String("HKEY_"), Qt::CaseSensitive) || path.endsWith('\\')) {
    platform::services().messageBox->msgBox("Incorrect Format:" + QString(QChar(10)) + QChar(10) + path,
                                            platform::mb::kOkOnly, QString::fromUtf8(version::kProductName));
    return false;
  }
  const qsizetype slash = path.indexOf('\\');
  const QString rootName = slash < 0 ? path : path.left(slash);
  path = slash < 0 ? QString() : path.mid(slash + 1);
  root = GetRootKey(rootName);
  return true;
}

void CreateRegistryKey(const QString& path) {
  QString sub = path;
  uint32_t root = 0;
  if (!SplitKeyPath(sub, root) || root == 0) return;
  platform::defaultStore().createKey(root, sub.toStdString());
}

QString readThroughBuffer(const QString& stored) {
  constexpr qsizetype kBuffer = 255;
  const QList<uint> chars = stored.toUcs4();
  if (chars.size() > kBuffer) return QStringLiteral("Error");  // more data than the buffer holds
  // The buffer: the text, its NUL when there is room, then the untouched blanks.
  QList<uint> buf = chars;
  if (buf.size() < kBuffer) buf.append(0);
  while (buf.size() < kBuffer) buf.append(' ');
  qsizetype b = 0, e = buf.size();
  while (b < e && buf[b] == ' ') ++b;
  while (e > b && buf[e - 1] == ' ') --e;
  if (e > b) --e;  // drop the last character (normally the NUL)
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(buf.constData() + b), e - b);
}

QString ReadRegistryValue(const QString& path, const QString& valueName) {
  QString sub = path;
  uint32_t root = 0;
  if (!SplitKeyPath(sub, root) || root == 0) return QString();
  auto& store = platform::defaultStore();
  if (!store.keyExists(root, sub.toStdString())) return QStringLiteral("Error");
  const auto value = store.readValue(root, sub.toStdString(), valueName.toStdString());
  if (!value) return QStringLiteral("Error");
  return readThroughBuffer(QString::fromStdString(*value));
}

void WriteRegistryValue(const QString& path, const QString& valueName, const QString& text) {
  WriteRegistryValues(path, {{valueName, text}});
}

void WriteRegistryValues(const QString& path, const std::vector<std::pair<QString, QString>>& values) {
  QString sub = path;
  uint32_t root = 0;
  if (!SplitKeyPath(sub, root) || root == 0) return;
  platform::Store::Values texts;
  for (const auto& [name, text] : values) texts.emplace_back(name.toStdString(), text.toStdString());
  platform::defaultStore().writeValues(root, sub.toStdString(), texts);
}

void setProgramPath(const QString& path) {
  g_programPath = path;
  g_startName.clear();
  g_startPath.clear();
}

void setStartName(const QString& argv0) {
  g_programPath.clear();
  g_startName = QFileInfo(argv0).fileName();
  // The file it was started as (a link of another name, say), when that starts this very
  // program: a relative path counts from the folder it was started in, a bare name from the PATH.
  const QString started = argv0.contains('/') ? QFileInfo(argv0).absoluteFilePath()
                                              : QStandardPaths::findExecutable(argv0);
  const QString exe = runningExecutable();
  g_startPath = !started.isEmpty() && !exe.isEmpty() && QFileInfo(started).canonicalFilePath() == exe ? started : QString();
}

QString programPath() {
  if (!g_programPath.isEmpty()) return QFileInfo(g_programPath).absoluteFilePath();
  if (!g_startPath.isEmpty()) return g_startPath;
  return runningExecutable();
}

QString programFolder() {
  if (!g_programPath.isEmpty()) return QFileInfo(g_programPath).absolutePath();
  return QFileInfo(runningExecutable()).absolutePath();
}

QString programFileName() {
  QString name = g_startName.isEmpty() ? QFileInfo(programPath()).fileName() : g_startName;
  if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) name.chop(4);
  return name.isEmpty() ? QString::fromUtf8(version::kProductName) : name;
}

QString settingsKey() { return QStringLiteral("HKEY_CURRENT_USER\\Software\\Orvanta\\") + programFileName(); }

}  // namespace Registry

bool SetRegistryValue(uint32_t root, const QString& subKey, const QString& valueName, const QString& value) {
  auto& store = platform::defaultStore();
  if (!store.keyExists(root, subKey.toStdString())) return false;
  return store.writeValue(root, subKey.toStdString(), valueName.toStdString(), value.toStdString());
}

bool DeleteRegistryValue(uint32_t root, const QString& subKey, const QString& valueName) {
  auto& store = platform::defaultStore();
  if (!store.keyExists(root, subKey.toStdString())) return false;
  return store.deleteValue(root, subKey.toStdString(), valueName.toStdString());
}

void SetRunEntry(bool add) {
  // The entry starts this very program at log-on (through its launcher when installed).
  const QString name = QString::fromUtf8(version::kProductName);
  const QString data = autostartProgram(Registry::programPath());
  if (add) SetRegistryValue(platform::kHkeyCurrentUser, QString::fromUtf8(platform::kRunSubKey), name, data);
  else DeleteRegistryValue(platform::kHkeyCurrentUser, QString::fromUtf8(platform::kRunSubKey), name);
}
