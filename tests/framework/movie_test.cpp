#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "case_name.h"
#include "movie.h"

namespace {

using ::operator<<;

std::string shipped_movie() {
  std::ifstream in(OMBRIX_SOURCE_DIR "/framework/movies/OmbrixXelq.ui", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ShippedMovie, SaysItIsReadyAndExitsWhenAskedToQuit) {
  const wyl::movie_t movie = wyl::read_movie(shipped_movie());
  EXPECT_EQ(movie.name, "OmbrixXelq");
  ASSERT_TRUE(movie.on_load.has_value());
  ASSERT_EQ(movie.on_load->sends.size(), 1u);
  EXPECT_EQ(movie.on_load->sends[0].name, "qevCallBackReady");
  for (const char* name : {"testFunction1", "ContainerAppDoScroll", "qevCallBackQuitApp"}) {
    EXPECT_EQ(movie.functions.count(name), 1u) << name;
  }
  const wyl::block_t& quit = movie.functions.at("qevCallBackQuitApp");
  ASSERT_EQ(quit.sends.size(), 1u);
  EXPECT_EQ(quit.sends[0].name, "externalAppExit");
  EXPECT_TRUE(quit.sends[0].operands.empty());
}

TEST(ReadMovie, KeepsSendsWithTheirOperandsAndTheResult) {
  const wyl::movie_t movie = wyl::read_movie(
      "# a comment\n\n  movie  M \r\nfunction f\n  send a \"x y\" -2 true\n  send b\n  return 1.5\nend\n"
      "function g\nend\n");
  EXPECT_FALSE(movie.on_load.has_value());
  const wyl::block_t& f = movie.functions.at("f");
  ASSERT_EQ(f.sends.size(), 2u);
  EXPECT_EQ(f.sends[0].name, "a");
  ASSERT_EQ(f.sends[0].operands.size(), 3u);
  EXPECT_EQ(f.sends[0].operands[0].characters, "x y");
  EXPECT_EQ(f.sends[0].operands[1].value, -2);
  EXPECT_TRUE(f.sends[0].operands[2].truth);
  EXPECT_EQ(f.result.kind, wyl::operand_t::number);
  EXPECT_EQ(f.result.value, 1.5);
  const wyl::block_t& g = movie.functions.at("g");
  EXPECT_EQ(g.result.kind, wyl::operand_t::text);
  EXPECT_EQ(g.result.characters, "");
}

struct malformed_case {
  const char* label;
  const char* text;
  const char* fault;  // the start of the message
};

class MalformedMovie : public ::testing::TestWithParam<malformed_case> {};

TEST_P(MalformedMovie, IsRefusedWithTheLineOfTheFault) {
  try {
    wyl::read_movie(GetParam().text);
    FAIL() << "no error";
  } catch (const wyl::syntax_error& e) {
    EXPECT_EQ(std::string(e.what()).rfind(GetParam().fault, 0), 0u) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Movies, MalformedMovie,
    ::testing::Values(
        malformed_case{"empty", "", "line 0: no movie statement"},
        malformed_case{"no_movie_statement", "function f\nend\n", "line 1: the movie must start"},
        malformed_case{"second_movie_statement", "movie a\nmovie b\n", "line 2: unknown statement"},
        malformed_case{"unknown_statement", "movie m\nplay f\n", "line 2: unknown statement"},
        malformed_case{"send_outside_a_block", "movie m\nsend a\n", "line 2: unknown statement"},
        malformed_case{"block_without_end", "movie m\nfunction f\n  send a\n", "line 3: a block without end"},
        malformed_case{"end_without_block", "movie m\nend\n", "line 2: end without a block"},
        malformed_case{"nested_block", "movie m\nfunction f\nfunction g\nend\n", "line 3: unknown statement"},
        malformed_case{"second_on_load", "movie m\non load\nend\non load\nend\n", "line 4: a second on load"},
        malformed_case{"second_function", "movie m\nfunction f\nend\nfunction f\nend\n", "line 4: a second function f"},
        malformed_case{"statement_after_return", "movie m\nfunction f\nreturn 1\nsend a\nend\n",
                       "line 4: a statement after return"},
        malformed_case{"bad_operand", "movie m\nfunction f\nsend a 1x\nend\n", "line 3: not a number"},
        malformed_case{"return_without_operand", "movie m\nfunction f\nreturn\nend\n", "line 3: unknown statement"},
        malformed_case{"unterminated_text", "movie m\nfunction f\nsend a \"x\nend\n", "line 3: text without"}),
    ombrix_test::case_name<malformed_case>);

}  // namespace
