// What the console does with the frame and the input the user gives the
// player: window operations, the drag move, the right button. (The clipboard
// keys are tested in process: the automation's key step gives Ctrl, the key
// and their releases in one input, so Ctrl is up again by the time the key's
// message is handled, as on Windows for input given at once.)
#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "console_run.h"
#include "run_checks.h"

namespace {
using console_test::ConsoleRun;
using console_test::count_of;
using console_test::events_of;
using console_test::Lines;
using console_test::starting_with;
using ::operator<<;

const char kFrame[] = "_tivu_xelqdesk_frame_window_KZ4";

// The operation, then a drag of 50 to the right and 30 down, on a 1920 by 1080
// screen where the frame stands at (565, 268).
struct OperateCase {
  const char* label;
  const char* operation;  // the step that asks for it
  bool minimised;
  Lines moves;  // of the frame, after the centring
};

class Operate : public ::testing::TestWithParam<OperateCase> {};

TEST_P(Operate, MinimisesOrLetsTheMouseDragTheFrame) {
  ConsoleRun run;
    // The button goes up where the mouse stands after the frame followed it.
  const auto result = run.run({GetParam().operation, "down left 100 100", "move 150 130", "up left 100 100", "close"});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  const Lines frame = events_of(run.trace(), kFrame);
  EXPECT_EQ(count_of(frame, "minimised"), GetParam().minimised ? 1 : 0);
  Lines moves = starting_with(frame, "moved");
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.front(), "moved to (565, 268)");
  moves.erase(moves.begin());
  EXPECT_EQ(moves, GetParam().moves);
}

INSTANTIATE_TEST_SUITE_P(
    Operands, Operate,
    ::testing::Values(OperateCase{"Drag", "send externalAppWindowOperate \"3\"", false, {"moved to (615, 298)"}},
                      OperateCase{"Minimise", "send externalAppWindowOperate \"0\"", true,
                                  {"moved to (-32000, -32000)", "moved to (565, 268)"}},
                      OperateCase{"BlankBeforeThree", "send externalAppWindowOperate \" 3\"", false, {}},
                      OperateCase{"ZeroBeforeThree", "send externalAppWindowOperate \"03\"", false, {}},
                      OperateCase{"NoOperand", "send externalAppWindowOperate", false, {}},
                      OperateCase{"NumberOperand", "send externalAppWindowOperate 3", false, {}},
                      OperateCase{"NoOperation", "pause 0", false, {}}),
    ombrix_test::case_name<OperateCase>);

// The drag lasts until the left button is released.
TEST(Drag, EndsWithTheButton) {
  ConsoleRun run;
  const auto result = run.run({"send externalAppWindowOperate \"3\"", "down left 100 100", "move 110 100",
                               "up left 100 100", "down left 100 100", "move 140 100", "up left 140 100", "close"});
  ASSERT_FALSE(result.timed_out);
  EXPECT_EQ(starting_with(events_of(run.trace(), kFrame), "moved"),
            (Lines{"moved to (565, 268)", "moved to (575, 268)"}));
}

TEST(RightButton, DownNeverReachesTheFrameworkButUpDoes) {
  ConsoleRun run;
  const auto result = run.run({"down right 10 10", "up right 10 10", "close"});
  ASSERT_FALSE(result.timed_out);
  const Lines transcript = run.transcript();
  EXPECT_TRUE(starting_with(transcript, "message WM_RBUTTONDOWN").empty());
  EXPECT_EQ(starting_with(transcript, "message WM_RBUTTONUP").size(), 1u);
}

}  // namespace
