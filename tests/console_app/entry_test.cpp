// The entry body in this process, where a test can put a message in the
// console's own message loop ahead of the movie: the frame's close handled
// there with a quit call that throws. With the framework's automation the close
// would come through the player's own message handling instead, whose catch-all
// keeps every exception. The frame's class is read here too, after a start.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "console_log.h"
#include "console_main.h"
#include "frame_window.h"
#include "process_machine.h"
#include "sandbox.h"
#include "win32.h"

namespace {

ombrix_test::ProcessMachine machine("console-entry", [](const std::string& root) {
  ::setenv("TMP", root.c_str(), 1);
  ::setenv("WYL_TRANSCRIPT", (root + "/transcript.txt").c_str(), 1);
  ::setenv("WYL_FAIL", "invoke", 1);
  ::unsetenv("WYL_AUTOMATION");
  return "[system]\ntrace = " + root + "/trace.log\n";
});

// Dispatched by the console's loop: closes the frame the way the user does.
LRESULT CALLBACK CloseTheFrame(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) SendMessageW(frameWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
  return DefWindowProcW(window, message, wParam, lParam);
}

// One run of the entry body for the whole program: the framework starts once.
class Entry : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSEXW helper = {};
    helper.cbSize = sizeof helper;
    helper.lpfnWndProc = CloseTheFrame;
    helper.hInstance = GetModuleHandleW(nullptr);
    helper.lpszClassName = TEXT("close the frame");
    ASSERT_NE(RegisterClassExW(&helper), 0);
    const HWND closer = CreateWindowExW(0, TEXT("close the frame"), nullptr, WS_POPUP, 0, 0, 1, 1, nullptr,
                                        nullptr, helper.hInstance, nullptr);
    ASSERT_TRUE(PostMessageW(closer, WM_USER, 0, 0));
    result = ConsoleWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWDEFAULT);
  }

  static int result;
};

int Entry::result = 0;

TEST_F(Entry, AnExceptionThatEscapesTheLoopEndsWithMinusOneAfterTheLogIsClosed) {
  EXPECT_EQ(result, -1);
  EXPECT_EQ(consoleLog, nullptr);
  EXPECT_TRUE(consoleLogClosed);
  const std::string transcript = ombrix_test::read_file(machine.root + "/transcript.txt");
  EXPECT_NE(transcript.find("\nfail invoke\n"), std::string::npos) << transcript;
}

// The frame's background turned dark grey when the movie was loaded.
TEST_F(Entry, TheLoadedMovieHasADarkGreyFrame) {
  EXPECT_EQ(GetClassLongW(frameWindow, GCL_HBRBACKGROUND), reinterpret_cast<DWORD>(GetStockObject(DKGRAY_BRUSH)));
}

}  // namespace
