// SPDX-License-Identifier: GPL-3.0-or-later
// A media graph played by script: what it rendered and how it was played, with the parts,
// errors and video window a test chooses.
#pragma once

#include <QStringList>
#include <functional>
#include <set>

#include "audio/media_graph.h"
#include "platform/errors.h"

namespace testsupport {

struct GraphState {
  QString file;  // what it rendered
  double duration = 10.0;
  double position = 0.0;
  bool running = false;
  int runs = 0;
  int32_t volume = -1;
  int32_t balance = -1;
  double rate = 0;
  bool hasVideo = false;
  quintptr owner = 99;
  std::set<audio::MediaGraph::Part> missing;
  QStringList undecodable;  // files whose render and run fail
  QStringList unplayable;   // files that render but whose run fails
  int runError = 0;         // error raised by run, 0 for none
  int stopError = 0;        // error raised by stop
  int32_t completionCode = 0;
  bool completionThrows = false;
  bool destroyed = false;
  std::function<void()> duringRender;  // what the events run while the file renders
};

class FakeGraph final : public audio::MediaGraph {
 public:
  using RuntimeError = platform::RuntimeError;
  // The state is looked up at every call, so that it may live in a growing list.
  explicit FakeGraph(std::function<GraphState&()> state) : s_(std::move(state)) {}
  explicit FakeGraph(GraphState& s) : s_([&s]() -> GraphState& { return s; }) {}
  ~FakeGraph() override { s_().destroyed = true; }
  void query(Part p) override {
    if (s_().missing.count(p)) throw RuntimeError(platform::err::kTypeMismatch);
  }
  void renderFile(const QString& path) override {
    if (s_().duringRender) s_().duringRender();
    s_().file = path;
    undecodable();
  }
  void run() override {
    if (s_().runError) throw RuntimeError(s_().runError);
    undecodable();
    if (s_().unplayable.contains(s_().file)) throw RuntimeError(platform::err::kObjectDoesNotSupport);
    s_().running = true;
    ++s_().runs;
  }
  void pause() override { s_().running = false; }
  void stop() override {
    if (s_().stopError) throw RuntimeError(s_().stopError);
    s_().running = false;
  }
  int32_t volume() override { return s_().volume; }
  void setVolume(int32_t v) override { s_().volume = v; }
  int32_t balance() override { return s_().balance; }
  void setBalance(int32_t b) override { s_().balance = b; }
  void setWindowStyle(int32_t) override { video(); }
  void setTop(int32_t) override { video(); }
  void setLeft(int32_t) override { video(); }
  void setWidth(int32_t) override { video(); }
  void setHeight(int32_t) override { video(); }
  void setOwner(quintptr w) override {
    video();
    s_().owner = w;
  }
  int32_t waitForCompletion(int32_t) override {
    if (s_().completionThrows) throw RuntimeError(platform::err::kInvalidCall);
    return s_().completionCode;
  }
  double duration() override { return s_().duration; }
  double currentPosition() override { return s_().position; }
  void setCurrentPosition(double p) override { s_().position = p; }
  double rate() override { return s_().rate; }
  void setRate(double r) override { s_().rate = r; }

 private:
  void video() {
    if (!s_().hasVideo) throw RuntimeError(platform::err::kObjectDoesNotSupport);
  }
  void undecodable() {
    if (s_().undecodable.contains(s_().file)) throw RuntimeError(platform::err::kObjectDoesNotSupport);
  }
  std::function<GraphState&()> s_;
};

}  // namespace testsupport
