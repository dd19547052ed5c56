// The framework's life in one process: a failed start, the start, the end, and
// every call of both libraries refused afterwards, each call of OmbrixWyl
// recorded, refused ones too. A process of its own, as the
// end cannot be undone.
#include <gtest/gtest.h>

#include <cstdlib>

#include "player_fixture.h"

namespace {

TEST_F(PlayerTest, StartsOnceAndRefusesEveryCallAfterItsEnd) {
  setenv("WYL_FAIL", "initialize", 1);
  EXPECT_NE(WYLInitialize(nullptr), 0);
  EXPECT_EQ(CreateWindowExW(0, TEXT("WYL.BriskPlayer"), nullptr, WS_CHILD, 0, 0, 0, 0, frame_, nullptr,
                            GetModuleHandleW(nullptr), nullptr),
            nullptr)
      << "the class exists before the start";
  unsetenv("WYL_FAIL");
  EXPECT_NE(WYLTerminate(), 0) << "ended before it started";
  ASSERT_EQ(WYLInitialize(nullptr), 0);
  EXPECT_NE(WYLInitialize(nullptr), 0) << "started twice";

  const HWND player = create_player();
  ASSERT_NE(player, nullptr);
  const WString movie = write_test_file("test.ui", "movie m\nfunction f\nend\n");
  ASSERT_EQ(WYLBriskPlayerLoadMovie(player, movie.c_str(), 1), 0);
  const canvas::request_t request{ombrix::make_literal_name("f"), {}};
  EXPECT_NO_THROW(canvas::brisk_player_invoke_request(player, request));

  EXPECT_EQ(WYLTerminate(), 0);
  EXPECT_NE(WYLTerminate(), 0);
  EXPECT_FALSE(WYLIsBriskPlayer(player));
  EXPECT_NE(WYLBriskPlayerLoadMovie(player, movie.c_str(), 1), 0);
  EXPECT_NE(WYLBriskPlayerChangeAttributes(player, 2, 0), 0);
  const std::string text = "<request name=\"a\" call=\"1\"/>";
  EXPECT_THROW(canvas::read_request(text.data(), text.size()), std::runtime_error);
  EXPECT_THROW(canvas::write_response(ombrix::string_t("x")), std::runtime_error);
  EXPECT_THROW(canvas::write_response(ombrix::any_regular_t(1.0)), std::runtime_error);
  EXPECT_THROW(canvas::brisk_player_invoke_request(player, request), std::runtime_error);
  const std::string load = "load " + std::string(movie.begin(), movie.end());
  EXPECT_EQ(transcript(), (std::vector<std::string>{"fail initialize", "terminate -> not started", "initialize",
                                                    "initialize -> running", load, "invoke f", "terminate",
                                                    "terminate -> terminated", "isplayer -> terminated",
                                                    load + " -> terminated", "attributes 2 0 -> terminated"}));
}

}  // namespace
