// SPDX-License-Identifier: GPL-3.0-or-later
// The media player wrapper over a scripted graph: opening, the end-of-piece rewind, stop,
// seek, the clamps, the completion wait and the error boxes.
#include <gtest/gtest.h>

#include <QApplication>

#include "audio/dshow_control.h"
#include "audio/qt_media_graph.h"
#include "platform/errors.h"
#include "fake_graph.h"
#include "platform/fake_services.h"

namespace audio {
namespace {

using platform::RuntimeError;

using testsupport::FakeGraph;
using testsupport::GraphState;

class DShowTest : public ::testing::Test {
 protected:
  DShowTest() : player([this] {
    ++built;
    return std::unique_ptr<MediaGraph>(std::make_unique<FakeGraph>(state));
  }) {}
  void open() { player.DS_OpenFile("/music/wake up.mp3", 0, 0, 0, 0, 1234); }

  platform::FakeServices fakes;
  GraphState state;
  int built = 0;
  clsDShowControl player;
};

TEST_F(DShowTest, WithoutAGraphEveryOperationIsHarmlessAndReadsZero) {
  player.DS_Play();
  player.DS_Stop();
  player.DS_Pause();
  player.DS_Seek(5);
  player.DS_SetPosition(3);
  player.DS_SetVolume(-100);
  player.DS_SetBalance(100);
  player.DS_SetRate(2);
  EXPECT_EQ(player.DS_GetDuration(), 0);
  EXPECT_EQ(player.DS_GetPosition(), 0);
  EXPECT_EQ(player.DS_GetRate(), 0);
  EXPECT_EQ(player.DS_GetVolume(), 0);
  EXPECT_EQ(player.DS_GetBalance(), 0);
  EXPECT_FALSE(player.DS_StillPlaying(10));
  EXPECT_EQ(state.runs, 0);
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

TEST_F(DShowTest, OpeningAnAudioFileSetsFullVolumeCentreAndNormalRateDespiteTheVideoWindow) {
  open();
  EXPECT_EQ(state.file, "/music/wake up.mp3");
  EXPECT_EQ(state.volume, 0);
  EXPECT_EQ(state.balance, 0);
  EXPECT_EQ(state.rate, 1.0);
  EXPECT_EQ(state.owner, 99u);  // the video window steps failed and were skipped
  EXPECT_EQ(player.DS_GetDuration(), 10.0);

  // A video file gets its window owner.
  state.hasVideo = true;
  open();
  EXPECT_EQ(state.owner, 1234u);
  // A graph built ahead is the one the next open uses.
  player.prepareGraph();
  const int ahead = built;
  open();
  EXPECT_EQ(built, ahead);
}

TEST_F(DShowTest, PartsTheGraphLacksAreSkippedAndReadAsZero) {
  state.missing = {MediaGraph::Part::BasicAudio, MediaGraph::Part::MediaPosition};
  open();
  EXPECT_EQ(state.volume, -1);
  EXPECT_EQ(state.rate, 0);
  EXPECT_EQ(player.DS_GetDuration(), 0);
  player.DS_Play();  // no position part: does nothing
  EXPECT_EQ(state.runs, 0);
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

TEST_F(DShowTest, PlayRestartsAPieceThatStandsAtItsEndRoundingHalvesToEven) {
  open();
  state.position = 9.4;
  player.DS_Play();
  EXPECT_EQ(state.position, 9.4);
  EXPECT_TRUE(state.running);

  state.position = 9.5;
  player.DS_Play();
  EXPECT_EQ(state.position, 0);

  state.position = 10.0;
  player.DS_Play();
  EXPECT_EQ(state.position, 0);

  // 10.5 rounds to 10 and 9.5 rounds to 10: the piece counts as finished.
  state.duration = 10.5;
  state.position = 9.5;
  player.DS_Play();
  EXPECT_EQ(state.position, 0);
  // 11.5 rounds to 12, 10.5 to 10: not finished.
  state.duration = 11.5;
  state.position = 10.5;
  player.DS_Play();
  EXPECT_EQ(state.position, 10.5);
}

TEST_F(DShowTest, StopRewindsSoThatPlayStartsFromTheBeginning) {
  open();
  state.position = 4.2;
  player.DS_Play();
  player.DS_Stop();
  EXPECT_FALSE(state.running);
  EXPECT_EQ(state.position, 0);

  // "Not supported" from the stop still rewinds; any other failure ends the stop quietly.
  state.position = 3;
  state.stopError = platform::err::kObjectDoesNotSupport;
  player.DS_Stop();
  EXPECT_EQ(state.position, 0);
  state.position = 3;
  state.stopError = platform::err::kInvalidCall;
  player.DS_Stop();
  EXPECT_EQ(state.position, 3);
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

TEST_F(DShowTest, SeekAndSetPositionStayInsideThePiece) {
  open();
  state.position = 4;
  player.DS_Seek(-5);
  EXPECT_EQ(state.position, 0);
  player.DS_Seek(3.5);
  EXPECT_EQ(state.position, 3.5);
  player.DS_Seek(20);
  EXPECT_EQ(state.position, 10);

  player.DS_SetPosition(-1);
  EXPECT_EQ(state.position, 0);
  player.DS_SetPosition(11);
  EXPECT_EQ(state.position, 10);
  player.DS_SetPosition(2.25);
  EXPECT_EQ(player.DS_GetPosition(), 2.25);
}

TEST_F(DShowTest, VolumeBalanceAndRateAreHeldToTheirRanges) {
  open();
  player.DS_SetVolume(500);
  EXPECT_EQ(player.DS_GetVolume(), 0);
  player.DS_SetVolume(-20000);
  EXPECT_EQ(player.DS_GetVolume(), -10000);
  player.DS_SetVolume(-2500);
  EXPECT_EQ(player.DS_GetVolume(), -2500);
  player.DS_SetBalance(-12000);
  EXPECT_EQ(player.DS_GetBalance(), -10000);
  player.DS_SetBalance(12000);
  EXPECT_EQ(player.DS_GetBalance(), 10000);
  player.DS_SetRate(0);
  EXPECT_EQ(player.DS_GetRate(), 0.1);
  player.DS_SetRate(-3);
  EXPECT_EQ(player.DS_GetRate(), 0.1);
  player.DS_SetRate(1.5);
  EXPECT_EQ(player.DS_GetRate(), 1.5);
}

TEST_F(DShowTest, AFileThatCannotPlayShowsTheOopsBoxWithTheMusicPath) {
  open();
  state.runError = platform::err::kObjectDoesNotSupport;
  player.DS_Play();
  ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
  EXPECT_EQ(fakes.messageBox.boxes[0].title, "DS_Play - Oops");
  EXPECT_EQ(fakes.messageBox.boxes[0].prompt, "Alarm is unable to play this file.\r\n/music/wake up.mp3");
  EXPECT_EQ(fakes.messageBox.boxes[0].flags, platform::mb::kExclamation);

  // The path is the one the preferences hold, once wired.
  player.setMusicPathSource([] { return QStringLiteral("/home/me/song.ogg"); });
  player.DS_Play();
  EXPECT_EQ(fakes.messageBox.boxes[1].prompt, "Alarm is unable to play this file.\r\n/home/me/song.ogg");
}

TEST_F(DShowTest, AnyOtherPlayFailureShowsTheStandardErrorBox) {
  open();
  state.runError = platform::err::kInvalidCall;
  player.DS_Play();
  ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
  EXPECT_EQ(fakes.messageBox.boxes[0].title, "Error");
  EXPECT_EQ(fakes.messageBox.boxes[0].prompt,
            "An Error was generated:\r\n\r\nDescription:\r\nError 5 - Invalid procedure call or argument\r\n"
            "Public Sub DS_Play\r\n\r\nPlease inform the author with the error description above.");
}

TEST_F(DShowTest, StillPlayingIsTrueUntilAnEventArrives) {
  open();
  EXPECT_TRUE(player.DS_StillPlaying(100));
  state.completionCode = MediaGraph::kComplete;
  EXPECT_FALSE(player.DS_StillPlaying(100));
  state.completionThrows = true;  // a failed wait delivers no event
  EXPECT_TRUE(player.DS_StillPlaying(100));
}

TEST_F(DShowTest, RemoveStopsAndReleasesTheGraphEvenWhenTheStopFails) {
  open();
  player.DS_Play();
  player.DS_Remove();
  EXPECT_FALSE(state.running);
  EXPECT_TRUE(state.destroyed);
  EXPECT_FALSE(player.hasGraph());

  state = GraphState{};
  open();
  state.stopError = platform::err::kInvalidCall;
  player.DS_Remove();
  EXPECT_TRUE(state.destroyed);
  EXPECT_EQ(player.DS_GetDuration(), 0);
}

TEST_F(DShowTest, AGraphThatCannotBeCreatedLeavesThePlayerEmpty) {
  clsDShowControl broken([]() -> std::unique_ptr<MediaGraph> { throw RuntimeError(429); });
  broken.DS_OpenFile("/x.wav", 0, 0, 0, 0, 0);
  broken.DS_Play();
  EXPECT_FALSE(broken.hasGraph());
  EXPECT_EQ(broken.DS_GetDuration(), 0);
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

TEST(VolumeConversion, HundredthsOfADecibelSurviveTheTripThroughLinearGain) {
  EXPECT_EQ(linearFromHundredthsDb(0), 1.0f);
  EXPECT_EQ(linearFromHundredthsDb(-10000), 0.0f);
  EXPECT_NEAR(linearFromHundredthsDb(-2000), 0.1f, 1e-6);
  EXPECT_NEAR(linearFromHundredthsDb(-600), 0.501f, 1e-3);  // -6 dB is about half
  for (int32_t v = -10000; v <= 0; ++v) ASSERT_EQ(hundredthsDbFromLinear(linearFromHundredthsDb(v)), v) << v;
  EXPECT_EQ(hundredthsDbFromLinear(0.0f), -10000);
  EXPECT_EQ(hundredthsDbFromLinear(1e-9f), -10000);
}

// The Qt graph with a file that is not there: the player holds a graph that plays nothing,
// and playing it says so with the path.
TEST(QtGraph, AMissingFileShowsTheUnableToPlayBox) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "dshow_control_test";
  char* argv[] = {name, nullptr};
  qputenv("PULSE_SERVER", "unix:/nonexistent/alarm-test-no-server");
  QApplication app(argc, argv);
  platform::FakeServices fakes;
  clsDShowControl player([] { return std::unique_ptr<MediaGraph>(std::make_unique<QtMediaGraph>()); });
  player.DS_OpenFile("/nonexistent/alarm-music.mp3", 0, 0, 0, 0, 0);
  EXPECT_TRUE(player.hasGraph());
  EXPECT_EQ(player.DS_GetDuration(), 0);
  player.DS_Play();
  ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
  EXPECT_EQ(fakes.messageBox.boxes[0].title, "DS_Play - Oops");
  EXPECT_EQ(fakes.messageBox.boxes[0].prompt, "Alarm is unable to play this file.\r\n/nonexistent/alarm-music.mp3");
}

// Opening runs events, so a timer may open another file (the alarm while a preview loads)
// or tear the player down while an open is under way.
TEST(DShowReentry, AnOpenOrTearDownDuringAnOpenFreesNothingUnderItAndTheNewestOpenWins) {
  platform::FakeServices fakes;
  GraphState first, second;
  int made = 0;
  clsDShowControl player([&] {
    GraphState& s = made++ == 0 ? first : second;
    return std::unique_ptr<MediaGraph>(std::make_unique<FakeGraph>(s));
  });
  first.duringRender = [&] {
    player.DS_OpenFile("/sounds/alarm.wav", 0, 0, 0, 0, 0);
    player.DS_Play();
    EXPECT_FALSE(first.destroyed);  // still rendering below us
  };
  player.DS_OpenFile("/music/preview.mp3", 0, 0, 0, 0, 0);
  EXPECT_TRUE(first.destroyed);  // freed once its open returned
  EXPECT_FALSE(first.running);
  EXPECT_EQ(first.runs, 0);
  EXPECT_EQ(second.file, "/sounds/alarm.wav");
  EXPECT_TRUE(second.running);
  EXPECT_EQ(second.volume, 0);
  EXPECT_EQ(second.rate, 1.0);
  EXPECT_TRUE(player.fileRendered());
  EXPECT_FALSE(player.opening());
  player.DS_Stop();
  EXPECT_FALSE(second.running);

  // A tear-down (the program ending) while a file renders.
  GraphState third;
  made = 0;
  clsDShowControl other([&] { return std::unique_ptr<MediaGraph>(std::make_unique<FakeGraph>(third)); });
  third.duringRender = [&] { other.DS_Remove(); };
  other.DS_OpenFile("/music/song.mp3", 0, 0, 0, 0, 0);
  EXPECT_TRUE(third.destroyed);
  EXPECT_FALSE(other.hasGraph());
  other.DS_Play();
  EXPECT_EQ(third.runs, 0);
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

}  // namespace
}  // namespace audio
