// The console's window procedures in this process, on the layer and the real
// framework stand-in, for what the program cannot be made to show: texts the
// player never sends, messages of other programs, a failed registration, a
// movie other than the shipped one, and layout and focus in detail.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app_function_call.h"
#include "frame_window.h"
#include "player_window.h"
#include "process_machine.h"
#include "replies.h"
#include "request.h"
#include "sandbox.h"
#include "win32.h"
#include "wyl/wyl.h"

namespace {

// A movie whose quit call does not ask the console to exit.
const char kProbeMovie[] =
    "movie Probe\n"
    "function qevCallBackQuitApp\n  return true\nend\n"
    "function testFunction1\n  return true\nend\n";

// The framework stand-in records this process's events in the folder's
// transcript.
ombrix_test::ProcessMachine machine("console-in-process", [](const std::string& root) {
  ombrix_test::write_file(root + "/probe.ui", kProbeMovie);
  ::setenv("WYL_TRANSCRIPT", (root + "/transcript.txt").c_str(), 1);
  return "[system]\ntrace = " + root + "/trace.log\n";
});

std::string Transcript() { return ombrix_test::read_file(machine.root + "/transcript.txt"); }

int Count(const std::string& text, const std::string& line) {
  int n = 0;
  for (std::size_t at = 0; (at = text.find(line + "\n", at)) != std::string::npos; at += line.size()) {
    n += at == 0 || text[at - 1] == '\n';
  }
  return n;
}

// Handles every message waiting, as the message loop would.
void Pump() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&msg);
}

std::u16string Backslashed(const std::string& path) {
  std::u16string out;
  for (char c : path) out += c == '/' ? u'\\' : static_cast<char16_t>(c);
  return out;
}

// The framework started, the frame, and the subclassed player with the probe
// movie, made once for the whole program (the framework starts only once).
class ConsoleWindows : public ::testing::Environment {
 public:
  void SetUp() override {
    static FrameworkStartParams start = {1, 0};
    ASSERT_EQ(WYLInitialize(&start), 0);
    instanceHandle = GetModuleHandleW(nullptr);
    RegisterFrameClass(instanceHandle);
    frameWindow = CreateWindowExW(0, kFrameClassName, TEXT("probe"), WS_POPUP, 0, 0, 790, 544, nullptr, nullptr,
                                  instanceHandle, nullptr);
    ASSERT_NE(frameWindow, nullptr);
    playerWindow = CreateSubclassedPlayer();
    ASSERT_NE(playerWindow, nullptr);
    const std::u16string movie = u"Z:" + Backslashed(machine.root) + u"\\probe.ui";
    ASSERT_EQ(WYLBriskPlayerLoadMovie(playerWindow, reinterpret_cast<LPCWSTR>(movie.c_str()), 1), 0);
    SetWindowPos(frameWindow, HWND_TOP, 0, 0, 790, 544, SWP_SHOWWINDOW);
    Pump();
  }
};

const auto* const windows = ::testing::AddGlobalTestEnvironment(new ConsoleWindows);

class Console : public ::testing::Test {
 protected:
  // Sends the request message with the text; the reply, or "no reply".
  static std::u16string Ask(const std::u16string& text) {
    return AskWith(RegisterWindowMessageW(TEXT("com.ombrix.wyl.brisk-player.app-function")), text);
  }
  // The same with another message carrying the request record.
  static std::u16string AskWith(UINT message, const std::u16string& text) {
    AppFunctionCall call = {0, reinterpret_cast<const WCHAR*>(text.c_str()), nullptr};
    SendMessageW(playerWindow, message, 0, reinterpret_cast<LPARAM>(&call));
    if (call.reply == nullptr) return u"no reply";
    const std::u16string reply(reinterpret_cast<const char16_t*>(call.reply), SysStringLen(call.reply));
    SysFreeString(call.reply);
    return reply;
  }
};

const std::u16string kLocale = u"<request name=\"externalAppGetLocale\" call=\"1\"/>";

struct TextCase {
  const char* label;
  std::u16string text;
};

class RequestText : public Console, public ::testing::WithParamInterface<TextCase> {};

TEST_P(RequestText, GetsNoReplyAndTheNextRequestIsAnswered) {
  EXPECT_EQ(Ask(GetParam().text), u"no reply");
  EXPECT_EQ(Ask(kLocale), u"<string>en_US</string>");
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, RequestText,
    ::testing::Values(TextCase{"NotWellFormed", u"<request name=\"externalAppGetLocale\" call=\"1\">"},
                      TextCase{"Empty", u""},
                      TextCase{"LoneHighSurrogate", u"<request name=\"externalAppGetLocale\" call=\"1\"><text>\xD800</text></request>"},
                      TextCase{"LoneLowSurrogate", u"<request name=\"externalAppGetLocale\" call=\"1\"><text>\xDC00</text></request>"},
                      TextCase{"AnotherRoot", u"<call name=\"externalAppGetLocale\"/>"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Console, AFailedRegistrationMakesNoMessageARequest) {
  ASSERT_EQ(Ask(kLocale), u"<string>en_US</string>");  // registers the messages
  const UINT registered = appFunctionMessage;
  appFunctionMessage = 0;
  EXPECT_EQ(AskWith(WM_NULL, kLocale), u"no reply");
  appFunctionMessage = registered;
}

// A later call that the console did not post, or posted and has handled: not
// read, not freed, not invoked.
TEST_F(Console, LaterCallsOnlyForRequestsTheConsolePosted) {
  Pump();
  const int before = Count(Transcript(), "invoke testFunction1");
  ombrix::wyl_canvas::brisk_external_interface::request_t forged{ombrix::make_literal_name("testFunction1"), {}};
  PostMessageW(playerWindow, kInvokeLaterMessage, 0, 0);
  PostMessageW(playerWindow, kInvokeLaterMessage, reinterpret_cast<WPARAM>(&forged), 0);
  PostMessageW(playerWindow, kInvokeLaterMessage, 0x1234, 0);
  Pump();
  EXPECT_EQ(Count(Transcript(), "invoke testFunction1"), before);

  ASSERT_EQ(Ask(u"<request name=\"qevCallBackReady\" call=\"2\"/>"),
            u"<string>This is the returned value from C++ code</string>");
  MSG posted;
  ASSERT_TRUE(PeekMessageW(&posted, playerWindow, kInvokeLaterMessage, kInvokeLaterMessage, PM_NOREMOVE));
  Pump();
  EXPECT_EQ(Count(Transcript(), "invoke testFunction1"), before + 1);
  PostMessageW(playerWindow, kInvokeLaterMessage, posted.wParam, 0);
  Pump();
  EXPECT_EQ(Count(Transcript(), "invoke testFunction1"), before + 1);
}

TEST_F(Console, CloseAsksTheMovieAndTheFrameStaysRestored) {
  ShowWindow(frameWindow, SW_MINIMIZE);
  const int before = Count(Transcript(), "invoke qevCallBackQuitApp \"QuitApp\"");
  EXPECT_EQ(SendMessageW(frameWindow, WM_CLOSE, 0, 0), 0);
  Pump();
  EXPECT_EQ(Count(Transcript(), "invoke qevCallBackQuitApp \"QuitApp\""), before + 1);
  EXPECT_TRUE(IsWindow(frameWindow));
  EXPECT_TRUE(IsWindow(playerWindow));
  EXPECT_FALSE(IsIconic(frameWindow));
}

// The keyboard focus goes to the player when the frame gets it and when the
// player's non-client area is painted.
struct FocusCase {
  const char* label;
  const HWND* window;
  UINT message;
};

class Focus : public Console, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(Focus, GoesToThePlayer) {
  SetFocus(nullptr);
  SendMessageW(*GetParam().window, GetParam().message, 1, 0);
  EXPECT_EQ(GetFocus(), playerWindow);
}

INSTANTIATE_TEST_SUITE_P(Messages, Focus,
                         ::testing::Values(FocusCase{"FrameGetsTheFocus", &frameWindow, WM_SETFOCUS},
                                           FocusCase{"PlayersNonClientAreaIsPainted", &playerWindow, WM_NCPAINT}),
                         [](const auto& info) { return std::string(info.param.label); });

// A close or destroy message that reaches the player from elsewhere posts the
// frame a WM_DESTROY, which starts the shutdown; a close passed on to the
// framework destroys the player, whose WM_DESTROY and WM_NCDESTROY post one
// more each. A second player stands in for the console's own, whose shutdown
// would end the other tests, and the posted messages are taken from the queue
// before the frame handles them.
struct ExitCase {
  const char* label;
  UINT message;
  int destroys;  // WM_DESTROY posted to the frame
};

class ExitChain : public Console, public ::testing::WithParamInterface<ExitCase> {
 protected:
  static int TakeFrameDestroys() {
    int taken = 0;
    MSG msg;
    while (PeekMessageW(&msg, frameWindow, WM_DESTROY, WM_DESTROY, PM_REMOVE)) ++taken;
    return taken;
  }
};

TEST_P(ExitChain, PostsTheFrameADestroyForEachMessageThatEndsThePlayer) {
  Pump();
  const HWND player = CreateSubclassedPlayer();
  ASSERT_NE(player, nullptr);
  SendMessageW(player, GetParam().message, 0, 0);
  EXPECT_EQ(TakeFrameDestroys(), GetParam().destroys);
  if (IsWindow(player)) DestroyWindow(player);
  TakeFrameDestroys();
}

INSTANTIATE_TEST_SUITE_P(Messages, ExitChain,
                         ::testing::Values(ExitCase{"Close", WM_CLOSE, 3}, ExitCase{"Destroy", WM_DESTROY, 1},
                                           ExitCase{"NcDestroy", WM_NCDESTROY, 1},
                                           ExitCase{"Another", WM_USER, 0}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Console, KillFocusAndRightButtonDownNeverReachTheFramework) {
  EXPECT_EQ(SendMessageW(playerWindow, WM_KILLFOCUS, 0, 0), 0);
  EXPECT_EQ(SendMessageW(playerWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5)), 0);
  SendMessageW(playerWindow, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  const std::string transcript = Transcript();
  EXPECT_EQ(transcript.find("message WM_KILLFOCUS"), std::string::npos);
  EXPECT_EQ(transcript.find("message WM_RBUTTONDOWN"), std::string::npos);
  EXPECT_NE(transcript.find("message WM_RBUTTONUP"), std::string::npos);  // passed-on messages are recorded
}

// Client positions are signed words; a move onto the anchor returns 0 and is
// not passed on; the drag ends with the left button.
TEST_F(Console, DragMovesTheFrameBySignedDistancesAndStopsOnTheAnchor) {
  const POINT start = framePosition;
  moveByDrag = true;
  SendMessageW(playerWindow, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(300, 300));  // no anchor
  SendMessageW(playerWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, -7));
  EXPECT_EQ(SendMessageW(playerWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, -7)), 0);
  EXPECT_EQ(Transcript().find("message WM_MOUSEMOVE 0x00000001 0xFFF9FFFB"), std::string::npos);
  EXPECT_EQ(framePosition.x, start.x);
  SendMessageW(playerWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 3));
  EXPECT_NE(Transcript().find("message WM_MOUSEMOVE 0x00000001 0x00030005"), std::string::npos);
  EXPECT_EQ(framePosition.x, start.x + 10);
  EXPECT_EQ(framePosition.y, start.y + 10);
  RECT frame;
  GetWindowRect(frameWindow, &frame);
  EXPECT_EQ(frame.left, framePosition.x);
  EXPECT_EQ(frame.top, framePosition.y);
  SendMessageW(playerWindow, WM_LBUTTONUP, 0, MAKELPARAM(5, 3));
  EXPECT_FALSE(moveByDrag);
  SendMessageW(playerWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 50));
  EXPECT_EQ(framePosition.x, start.x + 10);
}

// The anchor is taken only for the left button alone: a press with Shift,
// Ctrl or another button held leaves it where the last one put it.
struct AnchorCase {
  const char* label;
  WPARAM buttons;
  bool anchors;
};

class DragAnchor : public Console, public ::testing::WithParamInterface<AnchorCase> {};

TEST_P(DragAnchor, IsTakenForTheLeftButtonAlone) {
  const POINT start = framePosition;
  moveByDrag = true;
  SendMessageW(playerWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
  SendMessageW(playerWindow, WM_LBUTTONDOWN, GetParam().buttons, MAKELPARAM(40, 20));
  SendMessageW(playerWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 30));
  SendMessageW(playerWindow, WM_LBUTTONUP, 0, MAKELPARAM(50, 30));
  const POINT moved = GetParam().anchors ? POINT{10, 10} : POINT{50, 30};
  EXPECT_EQ(framePosition.x - start.x, moved.x);
  EXPECT_EQ(framePosition.y - start.y, moved.y);
}

INSTANTIATE_TEST_SUITE_P(Buttons, DragAnchor,
                         ::testing::Values(AnchorCase{"LeftAlone", MK_LBUTTON, true},
                                           AnchorCase{"WithShift", MK_LBUTTON | MK_SHIFT, false},
                                           AnchorCase{"WithCtrl", MK_LBUTTON | MK_CONTROL, false},
                                           AnchorCase{"WithTheRightButton", MK_LBUTTON | MK_RBUTTON, false}),
                         [](const auto& info) { return std::string(info.param.label); });

// The clipboard keys while Ctrl is held (given as input, so that the
// asynchronous key state has it), and without it.
struct KeyCase {
  const char* label;
  WPARAM key;
  bool ctrl;
  const char* posted;  // the message line the key adds, or null
};

class ClipboardKey : public Console, public ::testing::WithParamInterface<KeyCase> {};

void GiveCtrl(bool down) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_CONTROL;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
  Pump();
}

TEST_P(ClipboardKey, PostsItsMessageOnlyWithCtrl) {
  const char* const lines[] = {"message WM_COPY", "message WM_CUT", "message WM_PASTE"};
  int before[3];
  for (int i = 0; i < 3; ++i) before[i] = Count(Transcript(), lines[i]);
  if (GetParam().ctrl) GiveCtrl(true);
  SendMessageW(playerWindow, WM_KEYDOWN, GetParam().key, 1);
  if (GetParam().ctrl) GiveCtrl(false);
  Pump();
  for (int i = 0; i < 3; ++i) {
    const bool posted = GetParam().posted != nullptr && std::string(GetParam().posted) == lines[i];
    EXPECT_EQ(Count(Transcript(), lines[i]), before[i] + (posted ? 1 : 0)) << lines[i];
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, ClipboardKey,
                         ::testing::Values(KeyCase{"CtrlC", 'C', true, "message WM_COPY"},
                                           KeyCase{"CtrlX", 'X', true, "message WM_CUT"},
                                           KeyCase{"CtrlV", 'V', true, "message WM_PASTE"},
                                           KeyCase{"CAlone", 'C', false, nullptr},
                                           KeyCase{"CtrlA", 'A', true, nullptr}),
                         [](const auto& info) { return std::string(info.param.label); });

// The frame's class as registered: the program's icon 104 and the window colour,
// which the start replaces with dark grey once the movie is loaded.
TEST_F(Console, FrameClassHasTheProgramsIconAndTheWindowColour) {
  const HICON icon = LoadIconW(instanceHandle, MAKEINTRESOURCEW(104));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(GetClassLongW(frameWindow, GCL_HICON), reinterpret_cast<DWORD>(icon));
  EXPECT_EQ(GetClassLongW(frameWindow, GCL_HBRBACKGROUND), static_cast<DWORD>(COLOR_WINDOW + 1));
}

// Paths are escaped, so that a folder such as "Tom & Jerry" gives a
// well-formed reply; the decimal separator goes in as it is.
TEST(Replies, OnlyPathsAreEscaped) {
  EXPECT_EQ(ComposePathReply(TEXT("C:\\Tom & Jerry <1>")), TEXT("<string>C:\\Tom &amp; Jerry &lt;1&gt;</string>"));
  EXPECT_EQ(ComposeTextReply(TEXT("&<>")), TEXT("<string>&<></string>"));
}

// Counts the layouts of a child of the frame: each one moves it.
LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WINDOWPOSCHANGING) ++*reinterpret_cast<int*>(GetWindowLongW(window, GWL_USERDATA));
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(Console, PaintLaysOutForANewClientRectangleOnlyAndSizeAlways) {
  WNDCLASSEXW probe = {};
  probe.cbSize = sizeof probe;
  probe.lpfnWndProc = ProbeProc;
  probe.hInstance = instanceHandle;
  probe.lpszClassName = TEXT("probe child");
  RegisterClassExW(&probe);
  const HWND child = CreateWindowExW(0, TEXT("probe child"), nullptr, WS_CHILD, 0, 0, 1, 1, frameWindow, nullptr,
                                     instanceHandle, nullptr);
  int layouts = 0;
  SetWindowLongW(child, GWL_USERDATA, reinterpret_cast<LONG>(&layouts));
  lastClientRect = RECT{0, 0, 0, 0};

  SendMessageW(frameWindow, WM_PAINT, 0, 0);
  EXPECT_EQ(layouts, 1);
  RECT client;
  GetClientRect(frameWindow, &client);
  EXPECT_EQ(lastClientRect.right, client.right);
  EXPECT_EQ(lastClientRect.bottom, client.bottom);
  SendMessageW(frameWindow, WM_PAINT, 0, 0);
  EXPECT_EQ(layouts, 1);
  SendMessageW(frameWindow, WM_SIZE, 0, 0);
  SendMessageW(frameWindow, WM_SIZE, 0, 0);
  EXPECT_EQ(layouts, 3);
  RECT placed;
  GetWindowRect(child, &placed);
  EXPECT_EQ(placed.right - placed.left, client.right);
  EXPECT_EQ(placed.bottom - placed.top, client.bottom);
  EXPECT_TRUE(IsWindowVisible(child));
  DestroyWindow(child);
}

}  // namespace
