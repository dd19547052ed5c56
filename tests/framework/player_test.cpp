// The player in this process: movies loaded and played, functions invoked,
// requests sent through the host's subclass, the failures WYL_FAIL asks for,
// and automation scripts that fail.
#include <gtest/gtest.h>

#include <cstdlib>

#include "case_name.h"
#include "player_fixture.h"

namespace {

using ::operator<<;
using ombrix::any_regular_t;
using ombrix::string_t;

class Framework : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(WYLInitialize(nullptr), 0); }
};

const ::testing::Environment* const framework = ::testing::AddGlobalTestEnvironment(new Framework);

const char kMovie[] =
    "movie Test\n"
    "on load\n"
    "  send ready \"a & <b>\" 1.5 true\n"
    "end\n"
    "function text\n  send inside \"x\"\n  return \"done\"\nend\n"
    "function number\n  return -2\nend\n"
    "function boolean\n  return false\nend\n"
    "function nothing\nend\n";

std::string narrow(const WString& wide) { return std::string(wide.begin(), wide.end()); }

class Player : public PlayerTest {
 protected:
  // A player with kMovie loaded and its load block played.
  HWND loaded_player() {
    const HWND player = create_player();
    EXPECT_NE(player, nullptr);
    movie_ = write_test_file("test.ui", kMovie);
    EXPECT_EQ(WYLBriskPlayerLoadMovie(player, movie_.c_str(), 1), 0);
    EXPECT_TRUE(pump_until([this] { return transcript_has("play Test"); }));
    return player;
  }

  WString movie_;
};

TEST_F(Player, PlaysTheLoadBlockOnceTheMessageLoopRuns) {
  host_replies()["ready"] = "<string>fine</string>";
  const HWND player = create_player();
  ASSERT_NE(player, nullptr);
  EXPECT_TRUE(WYLIsBriskPlayer(player));
  const WString movie = write_test_file("test.ui", kMovie);
  ASSERT_EQ(WYLBriskPlayerLoadMovie(player, movie.c_str(), 1), 0);
  EXPECT_TRUE(received_requests().empty()) << "played before the loop ran";
  ASSERT_TRUE(pump_until([] { return !received_requests().empty(); }));
  ASSERT_EQ(received_requests().size(), 1u);
  EXPECT_EQ(received_requests()[0].name, "ready");
  const std::vector<std::string>& arguments = received_requests()[0].arguments;
  ASSERT_EQ(arguments.size(), 4u);
  EXPECT_EQ(arguments[0].find_first_not_of("0123456789"), std::string::npos) << arguments[0];
  EXPECT_EQ(std::vector<std::string>(arguments.begin() + 1, arguments.end()),
            (std::vector<std::string>{"a & <b>", "1.5", "true"}));
  EXPECT_EQ(transcript(), (std::vector<std::string>{"isplayer", "load " + narrow(movie), "play Test",
                                                    "request ready \"a & <b>\" 1.5 true -> <string>fine</string>"}));
}

TEST_F(Player, NumbersItsCallsAndRecordsRequestsWithoutAReply) {
  const HWND player = loaded_player();
  any_regular_t result = canvas::brisk_player_invoke_request(player, canvas::request_t{ombrix::make_literal_name("text"), {}});
  ASSERT_EQ(received_requests().size(), 2u);
  const std::vector<std::string>& first = received_requests()[0].arguments;
  const std::vector<std::string>& second = received_requests()[1].arguments;
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(std::stoi(second[0]), std::stoi(first[0]) + 1);
  EXPECT_EQ(second[1], "x");
  EXPECT_TRUE(transcript_has("request inside \"x\" -> no reply"));
}

struct result_case {
  const char* label;
  const char* function;
  const char* type;
  std::string value;
};

class InvokeResult : public Player, public ::testing::WithParamInterface<result_case> {};

std::string value_text(const any_regular_t& value) {
  std::string type;
  ombrix::append_type_name(*value.type().descriptor, type);
  if (type == "double") return std::to_string(value.cast<double>());
  if (type == "bool") return value.cast<bool>() ? "true" : "false";
  return value.cast<string_t>().to_std_string();
}

TEST_P(InvokeResult, IsTheFunctionsResultMadeByTheCanvas) {
  const HWND player = loaded_player();
  canvas::request_t request{ombrix::make_literal_name(GetParam().function), {}};
  {
    const any_regular_t result = canvas::brisk_player_invoke_request(player, request);
    std::string type;
    ombrix::append_type_name(*result.type().descriptor, type);
    EXPECT_EQ(type, GetParam().type);
    EXPECT_EQ(value_text(result), GetParam().value);
    if (type == "string_t:version_1:ombrix" && !GetParam().value.empty()) {
      EXPECT_NE(result.cast<string_t>().get_allocator(), ombrix::capture_allocator());
    }
  }
  EXPECT_TRUE(transcript_has(std::string("invoke ") + GetParam().function));
}

INSTANTIATE_TEST_SUITE_P(Functions, InvokeResult,
                         ::testing::Values(result_case{"text", "text", "string_t:version_1:ombrix", "done"},
                                           result_case{"number", "number", "double", std::to_string(-2.0)},
                                           result_case{"boolean", "boolean", "bool", "false"},
                                           result_case{"no_return", "nothing", "string_t:version_1:ombrix", ""}),
                         ombrix_test::case_name<result_case>);

TEST_F(Player, InvokeRecordsTheHostsArgumentsAsTheCanvasSeesThem) {
  const HWND player = loaded_player();
  canvas::request_t* request = canvas::ConstructRequest(new canvas::request_t);
  request->name = ombrix::make_literal_name("boolean");
  ombrix::vector<any_regular_t> arguments(side_a::allocator());
  request->arguments = std::move(arguments);
  request->arguments.push_back(any_regular_t(counted_string<side_a>("QuitApp \"now\"")));
  request->arguments.push_back(any_regular_t(true));
  request->arguments.push_back(any_regular_t(2.0));
  canvas::brisk_player_invoke_request(player, *request);
  canvas::DeleteRequest(request);
  EXPECT_TRUE(transcript_has("invoke boolean \"QuitApp \\\"now\\\"\" true 2"));
}

TEST_F(Player, InvokingAFunctionTheMovieLacksThrows) {
  const HWND player = loaded_player();
  const canvas::request_t request{ombrix::make_literal_name("textFunction1"), {}};
  EXPECT_THROW(canvas::brisk_player_invoke_request(player, request), std::runtime_error);
  EXPECT_TRUE(transcript_has("invoke textFunction1 -> no such function"));
  EXPECT_EQ(received_requests().size(), 1u);  // only the load block's
}

TEST_F(Player, InvokingAPlayerWithoutAMovieThrows) {
  const HWND player = create_player();
  const canvas::request_t request{ombrix::make_literal_name("text"), {}};
  EXPECT_THROW(canvas::brisk_player_invoke_request(player, request), std::runtime_error);
  EXPECT_THROW(canvas::brisk_player_invoke_request(frame_, request), std::runtime_error);
}

struct bad_movie_case {
  const char* label;
  const char* text;  // null: no file
  int result;
  const char* reason;
};

class BadMovie : public PlayerTest, public ::testing::WithParamInterface<bad_movie_case> {};

TEST_P(BadMovie, IsNotLoaded) {
  const HWND player = create_player();
  ASSERT_NE(player, nullptr);
  WString path = write_test_file("other.ui", "movie other\n");
  path.replace(path.size() - 8, 8, TEXT("movie.ui"));
  if (GetParam().text != nullptr) write_test_file("movie.ui", GetParam().text);
  EXPECT_EQ(WYLBriskPlayerLoadMovie(player, path.c_str(), 1), GetParam().result);
  EXPECT_EQ(transcript(), (std::vector<std::string>{"load " + narrow(path) + " -> " + GetParam().reason}));
  EXPECT_FALSE(pump_until([this] { return transcript_has("play other"); }, 100));
  const canvas::request_t request{ombrix::make_literal_name("f"), {}};
  EXPECT_THROW(canvas::brisk_player_invoke_request(player, request), std::runtime_error);
}

INSTANTIATE_TEST_SUITE_P(
    Movies, BadMovie,
    ::testing::Values(bad_movie_case{"missing", nullptr, 2, "cannot read"},
                      bad_movie_case{"malformed", "movie m\nbogus\n", 3, "line 2: unknown statement: bogus"},
                      bad_movie_case{"empty", "", 3, "line 0: no movie statement"}),
    ombrix_test::case_name<bad_movie_case>);

TEST_F(PlayerTest, AWindowOfAnotherClassIsNoPlayer) {
  const WString movie = write_test_file("test.ui", kMovie);
  EXPECT_FALSE(WYLIsBriskPlayer(frame_));
  EXPECT_FALSE(WYLIsBriskPlayer(nullptr));
  EXPECT_NE(WYLBriskPlayerLoadMovie(frame_, movie.c_str(), 1), 0);
  EXPECT_NE(WYLBriskPlayerChangeAttributes(frame_, 2, 0), 0);
  EXPECT_EQ(transcript(), (std::vector<std::string>{"isplayer -> no player", "isplayer -> no player",
                                                    "load " + narrow(movie) + " -> no player",
                                                    "attributes 2 0 -> no player"}));
}

TEST_F(PlayerTest, MessagesReachingThePlayersProcedureAreRecorded) {
  const HWND player = create_player();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(WYLBriskPlayerChangeAttributes(player, 2, 0), 0);
  SendMessageW(player, WM_KEYDOWN, 'A', 0x001E0001);
  SendMessageW(player, WM_USER + 5, 1, 2);
  const std::vector<std::string> lines = transcript(true);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "message WM_NCCREATE");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"attributes 2 0", "message WM_KEYDOWN 0x00000041 0x001E0001",
                                      "message 0x0405"}));
}

struct fail_case {
  const char* label;
  const char* call;
};

class FailingCall : public Player, public ::testing::WithParamInterface<fail_case> {};

TEST_P(FailingCall, FailsOnlyTheNamedCall) {
  const HWND player = loaded_player();
  setenv("WYL_FAIL", GetParam().call, 1);
  const std::string call = GetParam().call;
  const HWND second = create_player();
  EXPECT_EQ(second == nullptr, call == "create");
  EXPECT_EQ(WYLIsBriskPlayer(player), call != "isplayer");
  EXPECT_EQ(WYLBriskPlayerLoadMovie(player, movie_.c_str(), 1) != 0, call == "load");
  const canvas::request_t request{ombrix::make_literal_name("number"), {}};
  if (call == "invoke") {
    EXPECT_THROW(canvas::brisk_player_invoke_request(player, request), std::runtime_error);
  } else {
    EXPECT_NO_THROW(canvas::brisk_player_invoke_request(player, request));
  }
  EXPECT_TRUE(transcript_has("fail " + call));
}

INSTANTIATE_TEST_SUITE_P(Calls, FailingCall,
                         ::testing::Values(fail_case{"create", "create"}, fail_case{"isplayer", "isplayer"},
                                           fail_case{"load", "load"}, fail_case{"invoke", "invoke"}),
                         ombrix_test::case_name<fail_case>);

struct script_case {
  const char* label;
  const char* script;
  const char* last_line;
};

class FailingScript : public PlayerTest, public ::testing::WithParamInterface<script_case> {};

TEST_P(FailingScript, StopsWithItsReason) {
  const WString script = write_test_file("script.txt", GetParam().script);
  setenv("WYL_AUTOMATION", narrow(script).c_str(), 1);
  const HWND player = create_player();
  const WString movie = write_test_file("test.ui", "movie m\n");
  ASSERT_EQ(WYLBriskPlayerLoadMovie(player, movie.c_str(), 1), 0);
  ASSERT_TRUE(pump_until([this] { return !transcript().empty() && transcript().back().rfind("automation ", 0) == 0; }));
  EXPECT_EQ(transcript().back(), GetParam().last_line);
  EXPECT_FALSE(transcript_has("request after -> no reply")) << "a step after the fault ran";
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, FailingScript,
    ::testing::Values(script_case{"wait_times_out", "wait 50 never\nsend after\n", "automation failed: line 1: timed out"},
                      script_case{"malformed", "send after\nbogus\n", "automation failed: line 2: unknown step: bogus"}),
    ombrix_test::case_name<script_case>);

TEST_F(PlayerTest, AMissingScriptFails) {
  setenv("WYL_AUTOMATION", (folder_ + "/none.txt").c_str(), 1);
  const HWND player = create_player();
  const WString movie = write_test_file("test.ui", "movie m\n");
  ASSERT_EQ(WYLBriskPlayerLoadMovie(player, movie.c_str(), 1), 0);
  EXPECT_TRUE(pump_until([this] { return transcript_has("automation failed: cannot read " + folder_ + "/none.txt"); }));
}

}  // namespace

namespace {

// The movie the build puts beside the console: ready when it starts, and the
// quit call answered by the request to exit.
TEST_F(PlayerTest, TheShippedMovieBesideTheConsoleSaysReadyAndAnswersQuitWithExit) {
  const HWND player = create_player();
  ASSERT_NE(player, nullptr);
  const std::string path = OMBRIX_BIN_DIR "/OmbrixXelq.ui";
  ASSERT_EQ(WYLBriskPlayerLoadMovie(player, WString(path.begin(), path.end()).c_str(), 1), 0);
  ASSERT_TRUE(pump_until([] { return !received_requests().empty(); }));
  EXPECT_EQ(received_requests()[0].name, "qevCallBackReady");
  for (const char* function : {"testFunction1", "ContainerAppDoScroll"}) {
    canvas::brisk_player_invoke_request(player, canvas::request_t{ombrix::make_literal_name(function), {}});
  }
  EXPECT_EQ(received_requests().size(), 1u);
  canvas::request_t quit{ombrix::make_literal_name("qevCallBackQuitApp"), {}};
  quit.arguments.push_back(any_regular_t(string_t("QuitApp")));
  canvas::brisk_player_invoke_request(player, quit);
  canvas::DestroyRequest(quit);
  ASSERT_EQ(received_requests().size(), 2u);
  EXPECT_EQ(received_requests()[1].name, "externalAppExit");
  EXPECT_EQ(received_requests()[1].arguments.size(), 1u) << "the call's identifier only";
  EXPECT_EQ(transcript(), (std::vector<std::string>{"load " + path, "play OmbrixXelq",
                                                    "request qevCallBackReady -> no reply", "invoke testFunction1",
                                                    "invoke ContainerAppDoScroll", "invoke qevCallBackQuitApp \"QuitApp\"",
                                                    "request externalAppExit -> no reply"}));
}

}  // namespace

// The player class belongs to the framework library, not to the host program,
// and the library's module handle names the library's own file.
TEST_F(PlayerTest, PlayerClassIsRegisteredWithTheLibrarysOwnInstance) {
  const HMODULE library = GetModuleHandleW(TEXT("OmbrixWyl.dll"));
  ASSERT_NE(library, nullptr);
  EXPECT_NE(library, GetModuleHandleW(nullptr));
  const HWND player = create_player();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(static_cast<DWORD>(GetClassLongW(player, GCL_HMODULE)),
            static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(library)));
  WCHAR path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(library, path, MAX_PATH);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(WString(path, n).substr(n - 16), WString(TEXT("\\libOmbrixWyl.so")));
}
