// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm command started for real, with the program's folder elsewhere than the working
// folder (as for a program started at log-on): relative names are the program folder's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "alarm/command_start.h"
#include "platform/registry.h"

namespace {

TEST(CommandStart, RelativeNamesAreTakenFromTheProgramsFolderNeverTheWorkingFolder) {
  int argc = 1;
  char name[] = "command_start_test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QTemporaryDir root;
  const QString program = root.filePath("program"), working = root.filePath("working"), out = root.filePath("out");
  // bin/tool in both folders: each says where it ran.
  for (const QString& script : {program + "/bin/tool", working + "/bin/tool"}) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(script).path()));
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(("#!/bin/sh\necho " + QFileInfo(script).dir().absolutePath().section('/', -2) + " \"$@\" >>" + out + "\n").toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  Registry::setProgramPath(program + "/Alarm");
  ASSERT_EQ(::chdir(working.toLocal8Bit()), 0);
  std::string lines;  // what the scripts should have written so far
  const auto expectRan = [&](const std::string& more, const char* command) {
    lines += more;
    (void)QTest::qWaitFor([&] { return QFile(out).size() >= static_cast<qint64>(lines.size()); }, 5000);
    QFile f(out);
    EXPECT_EQ(f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string(), lines) << command;
  };

  engine::startCommand("bin/tool a \"b c\"", true);
  expectRan("program/bin a b c\n", "bin/tool a \"b c\" (MSDOS)");
  engine::startCommand("bin/tool", false);
  expectRan("program/bin\n", "bin/tool, the whole text a file");
  // A text that names no file but starts with a program runs it, as commands stored so do.
  engine::startCommand("bin/tool x y", false);
  expectRan("program/bin x y\n", "bin/tool x y");
}

}  // namespace
