// The player window's dispatcher.
#include "player_window.h"

#include "app_function_call.h"
#include "console_log.h"
#include "frame_window.h"
#include "later_calls.h"
#include "movie_call.h"
#include "request.h"
#include "requests.h"
#include "values/any_regular.h"

UINT resizeRequestMessage = 0;
UINT appFunctionMessage = 0;
bool moveByDrag = false;
POINT dragAnchor = {0, 0};

namespace {

namespace canvas = ombrix::wyl_canvas::brisk_external_interface;

struct Message {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

void RegisterPlayerMessages() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  resizeRequestMessage = RegisterWindowMessageW(TEXT("com.ombrix.wyl.brisk-player.resize-request"));
  appFunctionMessage = RegisterWindowMessageW(TEXT("com.ombrix.wyl.brisk-player.app-function"));
}

// To the framework's own procedure, or DefWindowProcW without one.
LRESULT PassOn(const Message& m) {
  const HANDLE previous = GetPropA(m.window, kPreviousProcedureProperty);
  if (previous == nullptr) return DefWindowProcW(m.window, m.message, m.wParam, m.lParam);
  return CallWindowProcW(reinterpret_cast<WNDPROC>(previous), m.window, m.message, m.wParam, m.lParam);
}

// The client position of a mouse message plus framePosition: where on the
// screen the drag stands.
POINT DragPoint(LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  return POINT{x + framePosition.x, y + framePosition.y};
}

void InvokeLater(WPARAM wParam) {
  const canvas::RequestPointer request = TakePostedRequest(wParam);
  if (request) InvokeInMovie(*request);
}

// "ContainerAppDoScroll" with true for a turn towards the user.
void ScrollMovie(WPARAM wParam) {
  const short delta = GET_WHEEL_DELTA_WPARAM(wParam);
  const canvas::RequestPointer request = canvas::NewNamedRequest("ContainerAppDoScroll");
  request->arguments.push_back(ombrix::any_regular_t(delta < 0));
  InvokeInMovie(*request);
}

void AnchorDrag(const Message& m) {
  if (m.wParam == MK_LBUTTON) dragAnchor = DragPoint(m.lParam);
}

// false when the mouse stands on the anchor: the move is then not passed on.
bool DragFrame(const Message& m) {
  if ((m.wParam & MK_LBUTTON) == 0 || !moveByDrag) return true;
  const POINT p = DragPoint(m.lParam);
  if (p.x == dragAnchor.x && p.y == dragAnchor.y) return false;
  framePosition.x += p.x - dragAnchor.x;
  framePosition.y += p.y - dragAnchor.y;
  dragAnchor = p;
  RECT frame;
  GetWindowRect(frameWindow, &frame);
  SetWindowPos(frameWindow, HWND_TOP, framePosition.x, framePosition.y, frame.right - frame.left,
               frame.bottom - frame.top, SWP_SHOWWINDOW);
  return true;
}

void ClipboardKey(const Message& m) {
  if (GetAsyncKeyState(VK_CONTROL) >= 0) return;
  switch (m.wParam) {
    case 'C': PostMessageW(m.window, WM_COPY, 0, 0); break;
    case 'X': PostMessageW(m.window, WM_CUT, 0, 0); break;
    case 'V': PostMessageW(m.window, WM_PASTE, 0, 0); break;
    default: break;
  }
}

LRESULT DispatchWindowMessage(const Message& m) {
  switch (m.message) {
    case WM_NCDESTROY:
    case WM_DESTROY:
    case WM_CLOSE:
      PostMessageW(frameWindow, WM_DESTROY, 0, 0);
      break;
    case WM_KILLFOCUS:
    case WM_RBUTTONDOWN:
      return 0;
    case WM_NCPAINT:
      SetFocus(m.window);
      break;
    case WM_MOUSEWHEEL:
      ScrollMovie(m.wParam);
      break;
    case WM_LBUTTONDOWN:
      AnchorDrag(m);
      break;
    case WM_MOUSEMOVE:
      if (!DragFrame(m)) return 0;
      break;
    case WM_LBUTTONUP:
      moveByDrag = false;
      break;
    case WM_KEYDOWN:
      ClipboardKey(m);
      break;
    default:
      break;
  }
  return PassOn(m);
}

LRESULT DispatchPlayerMessage(const Message& m) {
  if (m.message == kInvokeLaterMessage) {
    InvokeLater(m.wParam);
    return 0;
  }
  // A failed registration leaves 0, which must not make WM_NULL a request.
  if (appFunctionMessage != 0 && m.message == appFunctionMessage) {
    if (m.lParam != 0) HandleAppFunction(m.window, *reinterpret_cast<AppFunctionCall*>(m.lParam));
    return 0;
  }
  return DispatchWindowMessage(m);
}

}  // namespace

LRESULT CALLBACK PlayerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GetConsoleLog();
  try {
    RegisterPlayerMessages();
    return DispatchPlayerMessage(Message{window, message, wParam, lParam});
  } catch (...) {
    return 0;
  }
}
