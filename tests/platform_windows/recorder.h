// What the windows of a test receive: a window procedure that records each
// message and passes it on to DefWindowProcW, and classes that use it.
#ifndef OMBRIX_TESTS_PLATFORM_WINDOWS_RECORDER_H
#define OMBRIX_TESTS_PLATFORM_WINDOWS_RECORDER_H

#include <functional>
#include <string>
#include <vector>

#include "win32.h"

namespace window_test {

struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Messages received since the last clear(), in order.
std::vector<Received>& received();
// The message ids alone, for one window or all.
std::vector<UINT> messages_of(HWND window = nullptr);

// Records, then asks the reaction (if any) for a result; otherwise passes the
// message on to DefWindowProcW.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A reaction of the test to a message; true when it gave the result.
using Reaction = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
void set_reaction(Reaction reaction);

// Registers a class of RecordingProc with the program's instance once; returns its name.
LPCWSTR recording_class(UINT style = 0);

HINSTANCE program();
// The machine profile's trace, line by line.
std::vector<std::string> trace_lines();
std::string machine_root();

// Takes every message ready now, dispatching each.
void pump();

}  // namespace window_test

#endif
