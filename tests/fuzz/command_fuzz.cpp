// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm command: a command line typed in the preferences starts its program with the
// words after it as arguments exactly as typed, through no shell; the desktop's opener gets
// the text itself, or the file of that name in the program's folder, and never an address
// it could take for one of its options.
//   input: command line | 1 for a console command
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "alarm/command_start.h"
#include "fuzz_input.h"
#include "platform/launch.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace {

std::string s(const QString& q) { return q.toStdString(); }

struct RecordingProcess final : platform::ProcessService {
  void start(const QString& commandLine) override { started.push_back(commandLine); }
  std::vector<QString> started;
};

struct RecordingShell final : platform::ShellService {
  bool open(const QString& target, const QString& folder) override {
    opened.push_back({target, folder});
    return true;
  }
  bool openTextFile(const QString&) override { return true; }
  // A file that names a program runs in its folder; any other file opens as a document.
  bool runProgram(const QString& path, const QString& folder) override {
    opened.push_back({path, folder});
    return true;
  }
  bool openDocument(const QString& path) override {
    opened.push_back({path, QString()});
    return true;
  }
  std::vector<std::pair<QString, QString>> opened;
};

struct World {
  QString folder;  // the program's folder: readme.txt, a program "tool", a folder "sub"
  RecordingProcess process;
  RecordingShell shell;
  platform::Services services;
};

World& world() {
  static World* w = [] {
    auto* n = new World;
    const std::string dir = fuzz::scratchFolder("command");
    n->folder = QString::fromStdString(dir);
    std::ofstream(dir + "/readme.txt") << "read me\n";
    std::ofstream(dir + "/tool") << "#!/bin/sh\n";
    ::chmod((dir + "/tool").c_str(), 0755);
    ::mkdir((dir + "/sub").c_str(), 0700);
    ::setenv("PATH", (dir + ":/usr/bin:/bin").c_str(), 1);
    Registry::setProgramPath(n->folder + "/Alarm");
    n->services.process = &n->process;
    n->services.shell = &n->shell;
    platform::setServices(&n->services);
    platform::setLogToStderr(false);
    return n;
  }();
  return *w;
}

void launchIsAsTyped(const QString& text, const QString& folder) {
  const auto launch = platform::findLaunch(text, folder);
  if (!launch) return;
  const QStringList words = QProcess::splitCommand(text);
  const QFileInfo program(launch->program);
  fuzz::require(program.isAbsolute() && program.isFile() && program.isExecutable(), "the program is a file that runs");
  fuzz::require(launch->arguments == words.mid(1), "the arguments are the words as typed: " + s(text));
  if (words.first().contains('/'))
    fuzz::require(launch->program == QFileInfo(QDir(folder).filePath(words.first())).absoluteFilePath(),
                  "a path names its own program, a relative one in the program's folder");
  else
    fuzz::require(program.fileName() == words.first(), "a name finds a program of that name on the PATH");
}

void addressIsTheText(const QString& target, const QString& folder) {
  if (platform::findLaunch(target, folder)) return;
  const QUrl url = platform::openAddress(target);
  if (QFileInfo(target).isAbsolute() && QFileInfo::exists(target))
    fuzz::require(url.isLocalFile() && QFileInfo(url.toLocalFile()).canonicalFilePath() == QFileInfo(target).canonicalFilePath(),
                  "an existing file opens as itself");
  fuzz::require(!url.toEncoded().startsWith('-'), "the opener never gets an address it reads as an option: " + s(target));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  World& w = world();
  fuzz::Input in(data, size);
  const std::string_view raw = in.text();
  const QString text = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
  const bool console = in.number(0, 1) == 1;
  w.process.started.clear();
  w.shell.opened.clear();

  engine::startCommand(text, console);
  if (console) {
    fuzz::require(w.process.started.size() == 1 && w.process.started[0] == text && w.shell.opened.empty(),
                  "a console command goes to the process service as typed");
    launchIsAsTyped(text, w.folder);
    return 0;
  }
  fuzz::require(w.shell.opened.size() == 1 && w.process.started.empty(), "an open goes to the desktop once");
  const auto& [target, folder] = w.shell.opened[0];
  fuzz::require(folder == w.folder || (folder.isEmpty() && QFileInfo(target).isFile()),
                "the opener runs in the program's folder (a document opens as itself)");
  const QString inFolder = QDir(w.folder).filePath(text);
  const bool local = !text.contains(QStringLiteral("://")) && QFileInfo(text).isRelative() && QFileInfo::exists(inFolder);
  const QString meant = local ? inFolder : text;
  const bool sameFile = QFileInfo(meant).isFile() && QFileInfo(target).canonicalFilePath() == QFileInfo(meant).canonicalFilePath();
  fuzz::require(target == meant || sameFile, "the opener gets the text, or the file of that name beside the program");
  launchIsAsTyped(target, w.folder);
  addressIsTheText(target, w.folder);
  return 0;
}
