// The trace: one line for each window event a user would see, in order.
#include <gtest/gtest.h>

#include <cstdio>

#include "recorder.h"

namespace window_test {
namespace {

std::string handle_of(HWND window) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)));
  return text;
}

TEST(Trace, WindowEventsAreLinesOfTheTraceInTheirOrder) {
  static const WString name = TEXT("window_test.traced");
  WNDCLASSEXW wc{sizeof wc, 0, RecordingProc, 0, 0, program(), nullptr, nullptr, nullptr, nullptr, name.c_str(), nullptr};
  ASSERT_NE(RegisterClassExW(&wc), 0);
  const std::size_t before = trace_lines().size();
  HWND frame = CreateWindowExW(0, name.c_str(), nullptr, WS_POPUP | WS_BORDER, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                               nullptr, nullptr, program(), nullptr);
  HWND child = CreateWindowExW(0, name.c_str(), nullptr, WS_CHILD, 0, 0, 0, 0, frame, nullptr, program(), nullptr);
  SetWindowPos(frame, HWND_TOP, 117, 112, 790, 544, SWP_SHOWWINDOW);
  SetWindowPos(child, HWND_TOP, 0, 0, 788, 542, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetFocus(child);
  SetWindowPos(frame, HWND_TOP, 120, 112, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(frame, SW_MINIMIZE);
  ShowWindow(frame, SW_RESTORE);
  DestroyWindow(frame);
  const std::string f = "window_test.traced " + handle_of(frame);
  const std::string c = "window_test.traced " + handle_of(child);
  const std::vector<std::string> expected{
      "window created: " + f,
      "window created: " + c + " parent=" + handle_of(frame),
      "window shown: " + f,
      "window moved: " + f + " to (117, 112)",
      "window sized: " + f + " to 790x544",
      "window foreground: " + f,
      "window focused: " + f,
      "window shown: " + c,
      "window sized: " + c + " to 788x542",
      "window focused: " + c,
      "window moved: " + f + " to (120, 112)",
      "window moved: " + f + " to (-32000, -32000)",
      "window sized: " + f + " to 160x28",
      "window minimised: " + f,
      "window moved: " + f + " to (120, 112)",
      "window sized: " + f + " to 790x544",
      "window foreground: " + f,
      "window focused: " + f,
      "window restored: " + f,
      "window hidden: " + f,
      "window destroyed: " + f,
  };
  const auto lines = trace_lines();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(before), lines.end()), expected);
}

}  // namespace
}  // namespace window_test
