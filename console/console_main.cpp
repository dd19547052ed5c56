// The console's entry body and message loop.
#include "console_main.h"

#include "console_log.h"
#include "frame_window.h"

namespace {

// The running console's frame, restored and brought forward; false when none
// runs.
bool HandOverToRunningConsole() {
  const HWND running = FindWindowW(kFrameClassName, /*lpWindowName=*/nullptr);
  if (running == nullptr) return false;
  ShowWindow(running, SW_RESTORE);
  SetForegroundWindow(running);
  return true;
}

void FillProgramFolder() {
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(/*hModule=*/nullptr, path, MAX_PATH);
  PathRemoveFileSpecW(path);
  programFolder = path;
}

// The code that WM_QUIT carries is not used: a normal end is 0.
int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, /*hWnd=*/nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int ConsoleWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  if (HandOverToRunningConsole()) return 0;
  GetConsoleLog();
  FillProgramFolder();
  instanceHandle = instance;
  frameTitle = TEXT("Ombrix Tessarine 4 Xelqdesk");
  int result = 0;
  try {
    RegisterFrameClass(instance);
    // A failed start leaves the log open until the process ends.
    if (CreateFrameAndLoadMovie(instance) == 0) return 0;
    result = RunMessageLoop();
  } catch (...) {
    result = -1;
  }
  delete consoleLog;  // the destructor clears consoleLog
  return result;
}
