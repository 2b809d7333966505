// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store's value read on a real folder: values of any name and text written into
// the program's key (over a settings file that may hold anything) read back as the
// 255-character buffer gives them ("Error" beyond 254 characters or for no value, leading
// blanks gone, trailing ones kept), the log-on entry likewise, every other value stays as it
// was (a name never written reads as Error unless the file held it), and no key path, however written, reaches outside the settings folder.
//   input: settings file text | key path | (value name | text)...
#include <ftw.h>
#include <dirent.h>
#include <unistd.h>

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>

#include "fuzz_input.h"
#include "platform/ini.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/store.h"

namespace {

class CountingBoxes final : public platform::MessageBoxService {
 public:
  int msgBox(const QString&, int, const QString&) override {
    ++shown;
    return platform::mb::kOk;
  }
  QWidget* notice(const QString&, int, const QString&, QWidget*) override {
    ++shown;
    return nullptr;
  }
  int shown = 0;
};

struct World {
  std::string top;   // holds only home
  std::string home;  // the configuration folder
  std::unique_ptr<platform::FileStore> store;
  CountingBoxes boxes;
  platform::Services services;
};

World& world() {
  static World* w = [] {
    auto* n = new World;
    n->top = fuzz::scratchFolder("store");
    n->home = n->top + "/home";
    n->store = std::make_unique<platform::FileStore>(n->home);
    platform::setDefaultStore(n->store.get());
    n->services.messageBox = &n->boxes;
    platform::setServices(&n->services);
    platform::setLogToStderr(false);
    Registry::setProgramPath("/nonexistent/Alarm");
    std::atexit([] { ::nftw(world().top.c_str(), [](const char* p, const struct stat*, int, FTW*) { return ::remove(p); }, 16, FTW_DEPTH | FTW_PHYS); });
    return n;
  }();
  return *w;
}

void clear(const std::string& dir) {
  ::nftw(dir.c_str(), [](const char* p, const struct stat*, int, FTW*) { return ::remove(p); }, 16, FTW_DEPTH | FTW_PHYS);
}

// What a read through the 255-character buffer gives for a stored text.
QString expectedRead(const QString& stored) {
  const QList<uint> chars = stored.toUcs4();
  if (chars.size() > 255) return QStringLiteral("Error");
  qsizetype b = 0, e = chars.size();
  while (b < e && chars[b] == ' ') ++b;
  if (chars.size() == 255) {  // no room for the end mark: trailing blanks go, then the last character
    while (e > b && chars[e - 1] == ' ') --e;
    if (e > b) --e;
  }
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData() + b), e - b);
}

QString qtext(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  World& w = world();
  clear(w.home);
  fuzz::Input in(data, size);
  const QString key = Registry::settingsKey();
  const std::string file = w.home + "/Orvanta/Alarm.conf";

  // The file as someone left it.
  const std::string_view original = in.text();
  ::mkdir(w.home.c_str(), 0700);
  ::mkdir((w.home + "/Orvanta").c_str(), 0700);
  std::ofstream(file, std::ios::binary).write(original.data(), static_cast<std::streamsize>(original.size()));
  const auto before = platform::ini::parse(original);
  Registry::CreateRegistryKey(key);
  const QString unwritten = QStringLiteral("\x01never written");
  const QString unwrittenBefore = Registry::ReadRegistryValue(key, unwritten);
  fuzz::require(unwrittenBefore == QLatin1String("Error") || original.find("never written") != std::string_view::npos,
                "a name the file does not hold reads as Error");

  // A key path of any form: created and written, or refused with the box.
  const QString path = qtext(in.text());
  const int boxesBefore = w.boxes.shown;
  Registry::CreateRegistryKey(path);
  Registry::WriteRegistryValue(path, QStringLiteral("x"), QStringLiteral("y"));  // may be a key of the file too
  const bool malformed = !path.startsWith(QLatin1String("HKEY_")) || path.endsWith('\\');
  fuzz::require((w.boxes.shown > boxesBefore) == malformed, "the Incorrect Format box exactly for a malformed path");

  std::map<QString, QString> written;
  for (int pairs = 0; pairs < 8 && !in.done(); ++pairs) {
    const QString name = qtext(in.text());
    const QString value = qtext(in.text());
    Registry::WriteRegistryValue(key, name, value);
    written[name] = value;
  }
  // The log-on entry takes the last text.
  const QString run = QStringLiteral("HKEY_CURRENT_USER\\") + QString::fromUtf8(platform::kRunSubKey);
  if (!written.empty()) {
    const QString& last = written.rbegin()->second;
    SetRegistryValue(platform::kHkeyCurrentUser, QString::fromUtf8(platform::kRunSubKey), QStringLiteral("Alarm"), last);
    fuzz::require(Registry::ReadRegistryValue(run, QStringLiteral("Alarm")) == expectedRead(last),
                  "the log-on entry reads back as written");
  }

  for (const auto& [name, value] : written) {
    const QString read = Registry::ReadRegistryValue(key, name);
    fuzz::require(read == expectedRead(value), "a value reads back as the buffer gives it: [" + name.toStdString() +
                                                   "] wrote [" + value.toStdString() + "] read [" + read.toStdString() + "]");
  }
  fuzz::require(written.count(unwritten) || Registry::ReadRegistryValue(key, unwritten) == unwrittenBefore,
                "a value never written reads as before the writes (Error when the file did not hold it)");
  // What the file held before stays, value by value and line by line.
  std::ifstream back(file, std::ios::binary);
  const std::string now{std::istreambuf_iterator<char>(back), std::istreambuf_iterator<char>()};
  const auto after = platform::ini::parse(now);
  fuzz::require(after.has_value(), "the file reads after the writes");
  if (before) {
    for (const auto& [section, values] : before->sections)
      for (const auto& [name, value] : values) {
        const bool rewritten = name == "x" || (section == "General" && written.count(qtext(name)));
        fuzz::require(rewritten || after->sections.at(section).at(name) == value, "an older value stays");
      }
    for (const auto& [section, lines] : before->keptLines)
      for (const auto& line : lines) {
        const auto& kept = after->keptLines.at(section);
        fuzz::require(std::find(kept.begin(), kept.end(), line) != kept.end(), "an unread line is kept");
      }
  }
  // Nothing lies outside the settings folder.
  int entries = 0;
  if (DIR* d = ::opendir(w.top.c_str())) {
    while (const dirent* e = ::readdir(d)) entries += e->d_name[0] != '.' ? 1 : 0;
    ::closedir(d);
  }
  fuzz::require(entries == 1, "no key path reaches outside the settings folder");
  return 0;
}
