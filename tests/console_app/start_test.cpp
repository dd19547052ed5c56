// The console's start and end as its user sees them: the frame created hidden
// and shown once, centred, with the player over its client area; the failures
// of the start, which end quietly; a second start; closing the frame; an
// exception that escapes the message loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "case_name.h"
#include "console_run.h"
#include "run_checks.h"
#include "windows_path.h"

namespace {
using console_test::ConsoleRun;
using console_test::count_of;
using console_test::events_of;
using console_test::index_of;
using console_test::Lines;
using console_test::starting_with;
using ::operator<<;

const char kFrame[] = "_tivu_xelqdesk_frame_window_KZ4";
const char kPlayer[] = "WYL.BriskPlayer";

struct ScreenCase {
  const char* label;
  int width, height;
  int x, y;  // where the frame must appear
};

class Screen : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(Screen, FrameIsShownOnceCentredWithThePlayerOverItsClientArea) {
  ConsoleRun run;
  run.profile("[screen]\nwidth = " + std::to_string(GetParam().width) + "\nheight = " +
              std::to_string(GetParam().height) + "\n");
  const auto result = run.run({"close"});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));

  const Lines frame = events_of(run.trace(), kFrame);
  ASSERT_FALSE(frame.empty());
  EXPECT_EQ(frame.front(), "created");  // hidden: shown only later
  EXPECT_EQ(count_of(frame, "shown"), 1);
  const std::string centred = "moved to (" + std::to_string(GetParam().x) + ", " + std::to_string(GetParam().y) + ")";
  EXPECT_EQ(starting_with(frame, "moved"), Lines{centred});
  EXPECT_EQ(starting_with(frame, "sized"), Lines{"sized to 790x544"});

  // The player appears with the frame's WM_SIZE, laid over the client area
  // inside the one-pixel border.
  const Lines all = run.trace();
  const Lines player = events_of(all, kPlayer);
  EXPECT_EQ(player.front(), "created");
  EXPECT_EQ(count_of(player, "sized to 788x542"), 1);
  EXPECT_EQ(count_of(player, "shown"), 1);
  std::vector<int> at;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const bool frame_sized = all[i].find(std::string("sized: ") + kFrame) != std::string::npos;
    const bool player_shown = all[i].find(std::string("shown: ") + kPlayer) != std::string::npos;
    if (frame_sized || player_shown) at.push_back(frame_sized ? 0 : 1);
  }
  EXPECT_EQ(at, (std::vector<int>{0, 1}));
  EXPECT_TRUE(ombrix_test::file_exists(run.box().log_path()));
  EXPECT_TRUE(run.box().log_lines().empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, Screen,
                         ::testing::Values(ScreenCase{"FullHd", 1920, 1080, 565, 268},
                                           ScreenCase{"Xga", 1024, 768, 117, 112},
                                           ScreenCase{"Svga", 800, 600, 5, 28},
                                           // Division truncates towards zero: -151 / 2 is -75.
                                           ScreenCase{"NarrowerThanTheFrame", 639, 600, -75, 28},
                                           ScreenCase{"Vga", 640, 480, -75, -32}),
                         ombrix_test::case_name<ScreenCase>);

// Each failure of the start ends with 0, shows no window and writes no log
// line; the log file is open all the same.
// What a case's preparation keeps for the run: nothing, or the file another
// program holds open.
using Held = std::shared_ptr<void>;

struct FailureCase {
  const char* label;
  const char* fail;  // WYL_FAIL
  Held (*prepare)(ConsoleRun&);
};

Held Nothing(ConsoleRun&) { return nullptr; }
Held ChangeOneByte(ConsoleRun& run) {
  std::string movie = ombrix_test::read_file(run.movie());
  movie[movie.size() / 2] ^= 0x20;
  ombrix_test::write_file(run.movie(), movie);
  return nullptr;
}
Held RemoveMovie(ConsoleRun& run) {
  std::filesystem::remove(run.movie());
  return nullptr;
}
// The movie lies in the working folder only.
Held MoveMovieAway(ConsoleRun& run) {
  std::filesystem::rename(run.movie(), run.box().root() + "/OmbrixXelq.ui");
  return nullptr;
}
// Another program writes the movie and lets others read and write it: the
// framework's reads still open it, the digest's read, which lets others only
// read, does not.
Held HoldMovieOpenForWriting(ConsoleRun& run) {
  const WString movie = ombrix_test::WindowsPath(run.movie());
  const HANDLE file = CreateFileW(movie.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  /*hTemplateFile=*/nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  FILE* framework_read = _wfopen(movie.c_str(), TEXT("rb"));
  EXPECT_NE(framework_read, nullptr);
  if (framework_read != nullptr) std::fclose(framework_read);
  return Held(file, CloseHandle);
}

class StartFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(StartFailure, EndsWithZeroWithoutAWindowOrALogLine) {
  ConsoleRun run;
  const Held held = GetParam().prepare(run);
  const auto result = run.run({"close"}, {{"WYL_FAIL", GetParam().fail}}, run.box().root());
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  EXPECT_EQ(count_of(events_of(run.trace(), kFrame), "shown"), 0);
  EXPECT_EQ(count_of(events_of(run.trace(), kPlayer), "shown"), 0);
  EXPECT_TRUE(ombrix_test::file_exists(run.box().log_path()));
  EXPECT_TRUE(run.box().log_lines().empty());
  EXPECT_EQ(console_test::starting_with(run.transcript(), "play"), Lines{});
}

INSTANTIATE_TEST_SUITE_P(Steps, StartFailure,
                         ::testing::Values(FailureCase{"FrameworkStart", "initialize", Nothing},
                                           FailureCase{"PlayerCreation", "create", Nothing},
                                           FailureCase{"PlayerTest", "isplayer", Nothing},
                                           FailureCase{"MovieLoad", "load", Nothing},
                                           FailureCase{"MovieWithOneChangedByte", "", ChangeOneByte},
                                           FailureCase{"MissingMovie", "", RemoveMovie},
                                           FailureCase{"MovieInTheWorkingFolderOnly", "", MoveMovieAway},
                                           FailureCase{"MovieHeldOpenForWriting", "", HoldMovieOpenForWriting}),
                         ombrix_test::case_name<FailureCase>);

// Closing the frame restores it and asks the movie; the shipped movie answers
// with its exit. The exit posts WM_NCDESTROY to the player; the frame's first
// WM_DESTROY, which that posts, terminates the framework and then destroys the
// player, whose WM_DESTROY and WM_NCDESTROY post the repeats that only quit.
// Each call of the framework is recorded, so one made twice shows.
TEST(Close, RestoresTheFrameAsksTheMovieAndItsAnswerEndsTheProgram) {
  ConsoleRun run;
  const auto result = run.run({"send externalAppWindowOperate \"0\"", "close"});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  const Lines frame = events_of(run.trace(), kFrame);
  const int minimised = index_of(frame, "minimised");
  ASSERT_GE(minimised, 0);
  EXPECT_GT(index_of(frame, "restored"), minimised);
  EXPECT_EQ(count_of(frame, "destroyed"), 0);  // the frame goes with the process
  EXPECT_EQ(count_of(events_of(run.trace(), kPlayer), "destroyed"), 1);
  EXPECT_EQ(run.story(),
            (Lines{"initialize", "attributes 2 0", "isplayer",
                   "load " + ombrix_test::WindowsPathUtf8(run.movie()), "play OmbrixXelq",
                   "request qevCallBackReady -> <string>This is the returned value from C++ code</string>",
                   "invoke testFunction1", "step send externalAppWindowOperate \"0\"",
                   "request externalAppWindowOperate \"0\" -> no reply", "step close",
                   "invoke qevCallBackQuitApp \"QuitApp\"", "request externalAppExit -> no reply",
                   "message WM_NCDESTROY", "terminate", "message WM_DESTROY", "message WM_NCDESTROY",
                   "automation stopped"}));
}

// A second start hands over to the running console: its frame restored from
// the minimised state and brought to the foreground; the second process ends
// with 0 and opens no log of its own.
TEST(SecondStart, RestoresTheRunningFrameAndEndsWithZero) {
  ConsoleRun run;
  ombrix_test::RunResult first;
  // The first console closes once the test has noted the second start's end
  // in the transcript that its script waits on.
  const std::string done = "second start ended";
  std::thread running([&] {
    first = run.run({"send externalAppWindowOperate \"0\"", "wait 30000 " + done, "close"});
  });
  // Bounded wait for the first frame to be minimised.
  for (int i = 0; i < 200 && index_of(events_of(run.trace(), kFrame), "minimised") < 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const std::string second_tmp = run.box().root() + "/second-tmp";
  ombrix_test::make_folder(second_tmp);
  const auto second = run.box().run(run.program(), {}, {{"TMP", second_tmp}}, 30);
  // What the second start did to the running frame, before the close restores
  // it as well: the second process waits for each change it asks for.
  const Lines trace = run.trace();
  std::ofstream(run.transcript_path(), std::ios::app) << done << "\n";
  running.join();
  ASSERT_TRUE(ombrix_test::ended_with(second, 0));
  ASSERT_TRUE(ombrix_test::ended_with(first, 0));
  EXPECT_FALSE(ombrix_test::file_exists(second_tmp + "/ombrixxelq.log"));
  const Lines frame = events_of(trace, kFrame);
  EXPECT_EQ(count_of(frame, "created"), 1);
  const int minimised = index_of(frame, "minimised");
  ASSERT_GE(minimised, 0);
  const Lines after(frame.begin() + minimised, frame.end());
  EXPECT_EQ(count_of(after, "restored"), 1);
  EXPECT_EQ(count_of(after, "foreground"), 1);
}

}  // namespace
