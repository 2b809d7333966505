// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes of the platform services for tests: scripted answers, a settable clock, and a
// record of everything the program asked of them.
#pragma once

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>
// Tests that have widgets get a real (hidden) box for each notice, which the program may close.
#if __has_include(<QApplication>)
#include <QApplication>
#include <QWidget>
#define ALARM_FAKE_NOTICE_WINDOWS 1
#endif
#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

#include "platform/errors.h"
#include "platform/services.h"

namespace platform {

struct RecordedBox {
  QString prompt;
  int flags = 0;
  QString title;
  bool blocking = true;  // false: a box that blocks nothing (notice)
#ifdef ALARM_FAKE_NOTICE_WINDOWS
  // A notice's box while it stays open (with a QApplication only): closing deletes it.
  QPointer<QWidget> window;
#endif
};

class FakeMessageBoxService final : public MessageBoxService {
 public:
  int msgBox(const QString& prompt, int flags, const QString& title) override {
#ifdef ALARM_FAKE_NOTICE_WINDOWS
    boxes.push_back({prompt, flags, title, true, nullptr});
#else
    boxes.push_back({prompt, flags, title, true});
#endif
    if (onShow) onShow();
    if (answers.empty()) return (flags & 0x0F) == mb::kYesNo ? mb::kNo : mb::kOk;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
#ifdef ALARM_FAKE_NOTICE_WINDOWS
  QWidget* notice(const QString& prompt, int flags, const QString& title, QWidget* = nullptr) override {
    QWidget* box = qobject_cast<QApplication*>(QCoreApplication::instance()) ? new QWidget : nullptr;
    if (box) box->setAttribute(Qt::WA_DeleteOnClose);
    boxes.push_back({prompt, flags, title, false, box});
    made_.emplace_back(box);
    return box;
  }
  // The notices not closed yet (deleting a closed box waits for the event loop).
  int noticesOpen() const {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return static_cast<int>(std::count_if(boxes.begin(), boxes.end(), [](const RecordedBox& b) { return b.window; }));
  }
  ~FakeMessageBoxService() override {
    for (const QPointer<QWidget>& box : made_) delete box.data();
  }
#else
  QWidget* notice(const QString& prompt, int flags, const QString& title, QWidget* = nullptr) override {
    boxes.push_back({prompt, flags, title, false});
    return nullptr;
  }
#endif
  std::vector<RecordedBox> boxes;
  std::deque<int> answers;       // answers to give, in order
  std::function<void()> onShow;  // runs while the box is "open"

#ifdef ALARM_FAKE_NOTICE_WINDOWS
 private:
  std::vector<QPointer<QWidget>> made_;  // every notice's box, gone with the fake at the latest
#endif
};

class FakeClockService final : public ClockService {
 public:
  QDateTime now() const override { return current; }
  void set(const QString& iso) { current = QDateTime::fromString(iso, Qt::ISODate); }
  void addSecs(int s) { current = current.addSecs(s); }
  QDateTime current = QDateTime(QDate(2026, 12, 8), QTime(7, 0, 0));
};

class FakeTrayService final : public TrayService {
 public:
  bool available() const override { return hasArea; }
  void add(const QIcon&, const QString& t) override {
    if (!hasArea) return;
    isShown = true;
    tip = t;
  }
  void setTip(const QString& t) override { tip = t; }
  void remove() override { isShown = false; }
  bool shown() const override { return isShown; }
  bool desktopShowsMenu() const override { return statusNotifier; }
  void setMenu(QMenu* m) override { menu = m; }
  void showMessage(const QString& title, const QString& text) override { messages.push_back(title + ": " + text); }
  QStringList messages;  // the notifications shown, "title: text"
  bool hasArea = true;
  bool statusNotifier = false;  // a notification area that shows the menu itself
  QMenu* menu = nullptr;
  bool isShown = false;
  QString tip;
};

class FakeShellService final : public ShellService {
 public:
  bool open(const QString& target, const QString& workingFolder = QString()) override {
    opened << target;
    folders << workingFolder;
    return true;
  }
  bool openTextFile(const QString& path) override {
    textFiles << path;
    return true;
  }
  bool runProgram(const QString& path, const QString& workingFolder) override {
    ran << path;
    folders << workingFolder;
    return !fail;
  }
  bool openDocument(const QString& path) override {
    documents << path;
    return !fail;
  }
  QStringList opened, folders, textFiles, ran, documents;
  bool fail = false;  // runProgram and openDocument fail
};

class FakeProcessService final : public ProcessService {
 public:
  void start(const QString& commandLine) override {
    if (fail) throw RuntimeError(err::kFileNotFound);
    started << commandLine;
  }
  QStringList started;
  bool fail = false;
};

class FakeSoundService final : public SoundService {
 public:
  void beep(int f, int ms) override { beeps.push_back({f, ms}); }
  int outputCount() override { return outputs; }
  void playWaveAsync(const QString& path) override { waves << path; }
  void setWaveVolume(float v) override { waveVolume = v; }
  float waveVolume = 1.0f;
  std::vector<std::pair<int, int>> beeps;
  QStringList waves;
  int outputs = 1;
};

class FakeWindowService final : public WindowService {
 public:
  void setTopmost(QWidget* w, bool on) override { topmost.push_back({w, on}); }
  bool startSystemMove(QWidget* w) override {
    moved.push_back(w);
    return systemMove;
  }
  std::vector<std::pair<QWidget*, bool>> topmost;
  std::vector<QWidget*> moved;
  bool systemMove = true;  // whether the desktop takes the move
};

// All fakes together, installed as the program's services for the life of the object.
struct FakeServices {
  FakeMessageBoxService messageBox;
  FakeClockService clock;
  FakeTrayService tray;
  FakeShellService shell;
  FakeProcessService process;
  FakeSoundService sound;
  FakeWindowService window;
  Services services{&messageBox, &clock, &tray, &shell, &process, &sound, &window};
  FakeServices() { setServices(&services); }
  ~FakeServices() { setServices(nullptr); }
  FakeServices(const FakeServices&) = delete;
  FakeServices& operator=(const FakeServices&) = delete;
};

}  // namespace platform
