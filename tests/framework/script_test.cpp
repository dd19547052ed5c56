#include <gtest/gtest.h>

#include "case_name.h"
#include "script.h"

namespace {

using ::operator<<;

TEST(ReadScript, ReadsEveryKindOfStep) {
  const std::vector<wyl::step_t> steps = wyl::read_script(
      "# steps\n"
      "send externalShowHelp \"C:\\\\a b.txt\" 2\n"
      "wheel -120\n"
      "down left 10 20\n"
      "up right 30 -4\n"
      "move 5 6\n"
      "key ctrl+C\n"
      "key 0x2E\n"
      "close\n"
      "\n"
      "wait 2500 request externalAppExit \"a  b\" -> no reply\n"
      "pause 40\n");
  ASSERT_EQ(steps.size(), 10u);
  EXPECT_EQ(steps[0].kind, wyl::step_t::send);
  EXPECT_EQ(steps[0].line, 2);
  EXPECT_EQ(steps[0].request.name, "externalShowHelp");
  ASSERT_EQ(steps[0].request.operands.size(), 2u);
  EXPECT_EQ(steps[0].request.operands[0].characters, "C:\\a b.txt");
  EXPECT_EQ(steps[1].kind, wyl::step_t::wheel);
  EXPECT_EQ(steps[1].x, -120);
  EXPECT_EQ(steps[2].kind, wyl::step_t::down);
  EXPECT_FALSE(steps[2].right);
  EXPECT_EQ(steps[2].x, 10);
  EXPECT_EQ(steps[2].y, 20);
  EXPECT_EQ(steps[3].kind, wyl::step_t::up);
  EXPECT_TRUE(steps[3].right);
  EXPECT_EQ(steps[3].y, -4);
  EXPECT_EQ(steps[4].kind, wyl::step_t::move);
  EXPECT_EQ(steps[5].kind, wyl::step_t::key);
  EXPECT_TRUE(steps[5].ctrl);
  EXPECT_EQ(steps[5].virtual_key, 'C');
  EXPECT_FALSE(steps[6].ctrl);
  EXPECT_EQ(steps[6].virtual_key, 0x2E);
  EXPECT_EQ(steps[7].kind, wyl::step_t::close);
  EXPECT_EQ(steps[8].kind, wyl::step_t::wait);
  EXPECT_EQ(steps[8].line, 11);
  EXPECT_EQ(steps[8].milliseconds, 2500);
  EXPECT_EQ(steps[8].line_text, "request externalAppExit \"a  b\" -> no reply");
  EXPECT_EQ(steps[9].kind, wyl::step_t::pause);
  EXPECT_EQ(steps[9].milliseconds, 40);
  EXPECT_EQ(steps[9].text, "pause 40");
}

struct malformed_case {
  const char* label;
  const char* text;
  const char* fault;
};

class MalformedScript : public ::testing::TestWithParam<malformed_case> {};

TEST_P(MalformedScript, IsRefusedWithTheLineOfTheFault) {
  try {
    wyl::read_script(GetParam().text);
    FAIL() << "no error";
  } catch (const wyl::syntax_error& e) {
    EXPECT_EQ(std::string(e.what()).rfind(GetParam().fault, 0), 0u) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, MalformedScript,
    ::testing::Values(
        malformed_case{"unknown_step", "pause 1\nclick 1 2\n", "line 2: unknown step"},
        malformed_case{"send_without_name", "send\n", "line 1: send needs"},
        malformed_case{"no_such_button", "down middle 1 2\n", "line 1: no such button"},
        malformed_case{"point_missing", "down left 1\n", "line 1: wrong number of words"},
        malformed_case{"fractional_point", "move 1.5 2\n", "line 1: not a whole number"},
        malformed_case{"no_such_key", "key ctrl+F1\n", "line 1: no such key"},
        malformed_case{"lower_case_key", "key c\n", "line 1: no such key"},
        malformed_case{"close_with_words", "close now\n", "line 1: wrong number of words"},
        malformed_case{"wait_without_line", "wait 100\n", "line 1: wait needs"},
        malformed_case{"wait_negative", "wait -1 terminate\n", "line 1: negative"},
        malformed_case{"pause_text", "pause \"1\"\n", "line 1: a text where"}),
    ombrix_test::case_name<malformed_case>);

}  // namespace
