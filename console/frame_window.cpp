// The console's globals and the frame's window procedure.
#include "frame_window.h"

#include "movie_call.h"
#include "request.h"
#include "values/any_regular.h"
#include "values/string.h"
#include "wyl/wyl.h"

const WCHAR kFrameClassName[] = TEXT("_tivu_xelqdesk_frame_window_KZ4");
const char kPreviousProcedureProperty[] = "com.ombrix.wyl.xelqdesk.bmv-player";
const WCHAR kMovieFileName[] = TEXT("OmbrixXelq.ui");

WString programFolder;
HINSTANCE instanceHandle = nullptr;
WString frameTitle;
HWND frameWindow = nullptr;
HWND playerWindow = nullptr;
POINT framePosition = {0, 0};
RECT lastClientRect = {0, 0, 0, 0};
UINT launchMessage = 0;

void InitLaunchMessage() { launchMessage = RegisterWindowMessageW(TEXT("_tivu_xelqdesk_launch_")); }

namespace {

namespace canvas = ombrix::wyl_canvas::brisk_external_interface;

const bool launchMessageRegistered = (InitLaunchMessage(), true);

// Set by the first WM_DESTROY: the repeats of one shutdown only ask to quit.
bool frameShutDown = false;

void ShutDown() {
  if (!frameShutDown) {
    frameShutDown = true;
    WYLTerminate();
    DestroyWindow(playerWindow);
  }
  PostQuitMessage(0);
}

void LayOutChildren(HWND window, RECT& client) {
  EnumChildWindows(window, ResizeChildToClient, reinterpret_cast<LPARAM>(&client));
}

void OnSize(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  LayOutChildren(window, client);
}

void OnPaint(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  if (client.left != lastClientRect.left || client.top != lastClientRect.top ||
      client.right != lastClientRect.right || client.bottom != lastClientRect.bottom) {
    lastClientRect = client;
    LayOutChildren(window, client);
  }
  // Nothing is drawn: the class brush shows wherever no child covers the frame.
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
}

// The frame stays; the movie decides whether the program ends.
void AskMovieToQuit() {
  const canvas::RequestPointer request = canvas::NewNamedRequest("qevCallBackQuitApp");
  const ombrix::string_t text("QuitApp");
  const ombrix::any_regular_t value(text);
  request->arguments.push_back(value);
  InvokeInMovie(*request);
}

}  // namespace

LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      ShutDown();
      return 0;
    case WM_SIZE:
      OnSize(window);
      return 0;
    case WM_SETFOCUS:
      SetFocus(playerWindow);
      return 0;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_CLOSE:
      ShowWindow(window, SW_RESTORE);
      AskMovieToQuit();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

BOOL CALLBACK ResizeChildToClient(HWND child, LPARAM lParam) {
  const RECT& client = *reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(child, HWND_TOP, 0, 0, client.right, client.bottom, SWP_SHOWWINDOW);
  return TRUE;
}
