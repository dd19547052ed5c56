// Windows and messages: window classes, windows, their procedures and
// properties, the message queue and loop, painting, focus, activation, input
// and the screen. Each function says what it does on success and on failure,
// and which error code it leaves for GetLastError.
//
// A process on the layer has one window thread, as the programs built on it
// have: every call below is made on it. FindWindowW, IsWindow, ShowWindow and
// SetForegroundWindow also reach the top-level windows of the other processes
// of the logon session.
//
// A window procedure may destroy its window (or another) inside any message a
// call sends. The window then gets no message after its WM_NCDESTROY, and the
// call ends as each function below says for a window destroyed on the way.
#ifndef WINLAYER_USER_H
#define WINLAYER_USER_H

#include "winlayer/gdi.h"
#include "winlayer/types.h"

typedef std::uint16_t ATOM;
typedef std::int16_t SHORT;
typedef std::uintptr_t ULONG_PTR;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef BOOL(CALLBACK* WNDENUMPROC)(HWND, LPARAM);

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct tagWNDCLASSEXW {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCWSTR lpszMenuName;
  LPCWSTR lpszClassName;
  HICON hIconSm;
} WNDCLASSEXW, *PWNDCLASSEXW, *LPWNDCLASSEXW;

typedef struct tagCREATESTRUCTW {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCWSTR lpszName;
  LPCWSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTW, *LPCREATESTRUCTW;
typedef LPCREATESTRUCTW LPCREATESTRUCT;

typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
} MSG, *PMSG, *LPMSG;

typedef struct tagPAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
} PAINTSTRUCT, *PPAINTSTRUCT, *LPPAINTSTRUCT;

typedef struct tagWINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
} WINDOWPOS, *PWINDOWPOS, *LPWINDOWPOS;

typedef struct tagMOUSEINPUT {
  LONG dx;
  LONG dy;
  DWORD mouseData;
  DWORD dwFlags;
  DWORD time;
  ULONG_PTR dwExtraInfo;
} MOUSEINPUT, *PMOUSEINPUT, *LPMOUSEINPUT;

typedef struct tagKEYBDINPUT {
  WORD wVk;
  WORD wScan;
  DWORD dwFlags;
  DWORD time;
  ULONG_PTR dwExtraInfo;
} KEYBDINPUT, *PKEYBDINPUT, *LPKEYBDINPUT;

typedef struct tagHARDWAREINPUT {
  DWORD uMsg;
  WORD wParamL;
  WORD wParamH;
} HARDWAREINPUT, *PHARDWAREINPUT, *LPHARDWAREINPUT;

typedef struct tagINPUT {
  DWORD type;
  union {
    MOUSEINPUT mi;
    KEYBDINPUT ki;
    HARDWAREINPUT hi;
  };
} INPUT, *PINPUT, *LPINPUT;

// Words of message parameters.
#define LOWORD(l) (static_cast<WORD>(static_cast<ULONG_PTR>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<ULONG_PTR>(l) >> 16) & 0xFFFF))
#define MAKELONG(a, b) (static_cast<LONG>((static_cast<DWORD>(static_cast<WORD>(a))) | (static_cast<DWORD>(static_cast<WORD>(b)) << 16)))
#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define GET_WHEEL_DELTA_WPARAM(wParam) (static_cast<short>(HIWORD(wParam)))
#define GET_KEYSTATE_WPARAM(wParam) (LOWORD(wParam))

// Resources named by number.
#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)
#define IDC_ARROW (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(32512)))
#define IDC_IBEAM (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(32513)))
#define IDC_WAIT (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(32514)))
#define IDC_HAND (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(32649)))
#define IDI_APPLICATION (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(32512)))

// Error codes of the windowing functions.
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_INVALID_CURSOR_HANDLE 1402L
#define ERROR_TLW_WITH_WSCHILD 1406L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_WINDOW_OF_OTHER_THREAD 1408L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_INVALID_INDEX 1413L
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_NOCLOSE 0x0200
#define CS_GLOBALCLASS 0x4000

// Window styles.
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

// Extended window styles.
#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_APPWINDOW 0x00040000L

#define CW_USEDEFAULT (static_cast<int>(0x80000000))

// Insert-after values and flags of SetWindowPos.
#define HWND_TOP (reinterpret_cast<HWND>(static_cast<LONG_PTR>(0)))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<LONG_PTR>(1)))
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOCOPYBITS 0x0100
#define SWP_NOOWNERZORDER 0x0200
#define SWP_NOSENDCHANGING 0x0400

// Window and class values (GetWindowLongW, GetClassLongW).
#define GWL_WNDPROC (-4)
#define GWL_HINSTANCE (-6)
#define GWL_HWNDPARENT (-8)
#define GWL_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define GCL_HBRBACKGROUND (-10)
#define GCL_HCURSOR (-12)
#define GCL_HICON (-14)
#define GCL_HMODULE (-16)
#define GCL_WNDPROC (-24)
#define GCL_STYLE (-26)

// Messages.
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUERYOPEN 0x0013
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_ACTIVATEAPP 0x001C
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCPAINT 0x0085
#define WM_NCACTIVATE 0x0086
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MOUSEWHEEL 0x020A
#define WM_CUT 0x0300
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define WM_USER 0x0400
#define WM_APP 0x8000

// WM_SIZE kinds, WM_ACTIVATE states, WM_SYSCOMMAND commands.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2
#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_CLOSE 0xF060
#define SC_RESTORE 0xF120

// Mouse key flags in wParam; the wheel's unit.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010
#define WHEEL_DELTA 120

// PeekMessageW.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// Virtual keys. Letters and digits are their upper-case ASCII codes.
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E
#define VK_F4 0x73
#define VK_F10 0x79
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5

// Keystroke messages: lParam's low word is the repeat count; its high word the
// scan code (low byte) and these flags.
#define KF_EXTENDED 0x0100
#define KF_ALTDOWN 0x2000
#define KF_REPEAT 0x4000
#define KF_UP 0x8000

// SendInput.
#define INPUT_MOUSE 0
#define INPUT_KEYBOARD 1
#define INPUT_HARDWARE 2
#define MOUSEEVENTF_MOVE 0x0001
#define MOUSEEVENTF_LEFTDOWN 0x0002
#define MOUSEEVENTF_LEFTUP 0x0004
#define MOUSEEVENTF_RIGHTDOWN 0x0008
#define MOUSEEVENTF_RIGHTUP 0x0010
#define MOUSEEVENTF_MIDDLEDOWN 0x0020
#define MOUSEEVENTF_MIDDLEUP 0x0040
#define MOUSEEVENTF_WHEEL 0x0800
#define MOUSEEVENTF_ABSOLUTE 0x8000
#define KEYEVENTF_EXTENDEDKEY 0x0001
#define KEYEVENTF_KEYUP 0x0002

// System metrics.
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXFIXEDFRAME 7
#define SM_CYFIXEDFRAME 8
#define SM_CXEDGE 45
#define SM_CYEDGE 46

// ---- Window classes

// Registers a class; returns its atom (0xC000 and above). Fails with 0 and:
// ERROR_INVALID_PARAMETER for a null argument, a cbSize other than
// sizeof(WNDCLASSEXW), a null procedure or an empty or null class name;
// ERROR_CLASS_ALREADY_EXISTS when the instance already has a local class of that
// name (any case), or any instance a CS_GLOBALCLASS class of it.
ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx);

// A class value of the window's class: GCL_HBRBACKGROUND, GCL_HCURSOR,
// GCL_HICON, GCL_HMODULE, GCL_STYLE, GCL_WNDPROC. SetClassLongW returns the previous value.
// An unknown index: 0 and ERROR_INVALID_INDEX; an invalid window: 0 and
// ERROR_INVALID_WINDOW_HANDLE. A previous value of 0 is not a failure: the error
// code is then 0.
DWORD WINAPI GetClassLongW(HWND hWnd, int nIndex);
DWORD WINAPI SetClassLongW(HWND hWnd, int nIndex, LONG dwNewLong);

// ---- Resources

// An icon of the program's own resources: a group that the resource script
// attached with winlayer_add_resources (see the README) names by number or by
// name (any case). hInstance null with IDI_APPLICATION: the system's icon.
// Otherwise null and ERROR_RESOURCE_TYPE_NOT_FOUND when the module has no icon
// group at all (as for every module but the program), ERROR_RESOURCE_NAME_NOT_FOUND
// when it lacks that one.
HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);

// A system cursor (hInstance null): IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_HAND,
// the same handle on every call. Any other name: null and
// ERROR_RESOURCE_NAME_NOT_FOUND (ERROR_RESOURCE_TYPE_NOT_FOUND for a module's
// cursors, which the layer's programs have none of).
HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName);

// ---- Windows

// Creates a window of a class found by name: first the local classes of
// hInstance, then the CS_GLOBALCLASS classes. It sends WM_NCCREATE (a FALSE
// result fails the creation), then WM_CREATE (-1 fails it), both with a
// CREATESTRUCTW whose lpCreateParams is lpParam; WS_VISIBLE then shows the
// window as ShowWindow(SW_SHOW) does. CW_USEDEFAULT as x gives 0, 0 and as
// nWidth a size of 0 by 0 for a popup or child window; an overlapped window gets a
// place and size of the system's choosing, and a caption and WS_CLIPSIBLINGS.
// hMenu of a child is its identifier. The handle is never handed out again.
// Failures give null and: ERROR_CANNOT_FIND_WND_CLASS for an unknown class;
// ERROR_TLW_WITH_WSCHILD for WS_CHILD without a parent;
// ERROR_INVALID_WINDOW_HANDLE for a parent that is no window; the procedure's
// refusal leaves the error code as it was: after a FALSE for WM_NCCREATE the
// window gets WM_NCDESTROY, after -1 for WM_CREATE it is destroyed as by
// DestroyWindow; a window that its procedure destroys during the creation gives
// null in the same way. A session whose handle counter cannot be written: its error.
HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam);

// Hides the window if it is shown, takes away its focus and activation, then
// sends WM_DESTROY to it and then to its descendants (parents before children),
// and WM_NCDESTROY to the descendants and last to it (children before parents).
// Posted messages for the destroyed windows are dropped. A DestroyWindow of the
// window (or of one it holds) that a procedure calls meanwhile returns TRUE and
// leaves the destruction to the first call. TRUE on success, also when a
// procedure destroyed a window that holds this one on the way; an invalid window:
// FALSE and ERROR_INVALID_WINDOW_HANDLE; a window of another process: FALSE and
// ERROR_ACCESS_DENIED.
BOOL WINAPI DestroyWindow(HWND hWnd);

// TRUE for a window that exists, also one of another process of the logon
// session; FALSE for null, a destroyed window or a window of an ended process.
BOOL WINAPI IsWindow(HWND hWnd);
// TRUE when the window and every parent has WS_VISIBLE.
BOOL WINAPI IsWindowVisible(HWND hWnd);
// TRUE when the window is minimised.
BOOL WINAPI IsIconic(HWND hWnd);

// The parent of a child window; null for a top-level window, and null with
// ERROR_INVALID_WINDOW_HANDLE for an invalid one.
HWND WINAPI GetParent(HWND hWnd);

// The window's rectangle in screen coordinates, or its client area (left and
// top 0, right and bottom its size: the window's size less its borders and
// caption). A minimised window's client area is empty. An invalid window: FALSE
// and ERROR_INVALID_WINDOW_HANDLE; a null rectangle: FALSE and
// ERROR_INVALID_PARAMETER.
BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect);

// Screen and client coordinates of a window (its client area's origin).
// An invalid window: FALSE and ERROR_INVALID_WINDOW_HANDLE.
BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint);
BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint);

// Moves, sizes, reorders, shows or hides a window (x and y are client
// coordinates of the parent for a child). Unless SWP_NOSENDCHANGING, it first
// sends WM_WINDOWPOSCHANGING with a WINDOWPOS the procedure may change; then, if
// anything changed, WM_WINDOWPOSCHANGED, which DefWindowProcW turns into WM_SIZE
// and WM_MOVE. Unless SWP_NOACTIVATE, a shown top-level window is activated
// (between the two). A window that is shown or resized gets WM_NCPAINT and an
// update region. TRUE on success, also when a procedure destroys the window
// after its new place is taken; an invalid window, or one that its procedure
// destroys in WM_WINDOWPOSCHANGING: FALSE and ERROR_INVALID_WINDOW_HANDLE.
BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);

// Sets the show state: SW_HIDE, SW_SHOW, SW_SHOWNORMAL, SW_SHOWDEFAULT,
// SW_SHOWNOACTIVATE, SW_SHOWNA, SW_MINIMIZE, SW_SHOWMINIMIZED,
// SW_SHOWMINNOACTIVE, SW_RESTORE (others show as SW_SHOW does; there is no
// maximised state). Showing sends WM_SHOWWINDOW and the window position
// messages. Minimising parks a top-level window at (-32000, -32000), 160 by 28,
// with WM_SIZE SIZE_MINIMIZED and an empty client area, and deactivates it;
// restoring asks WM_QUERYOPEN, then gives the normal rectangle back with
// SIZE_RESTORED. Showing commands other than the NOACTIVATE and NA ones
// activate a top-level window. Returns whether the window was visible before,
// also when a procedure destroys it on the way.
// A window of another process is changed in its owner's message loop, with the
// same messages. An invalid window: FALSE and ERROR_INVALID_WINDOW_HANDLE.
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow);

// Calls lpEnumFunc for every descendant of the parent (children, their children
// and so on, each child before its own children) until it returns FALSE. The
// result has no meaning, as on Windows.
BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam);

// Finds a top-level window by class name and title (either may be null to match
// any), case-insensitively, hidden ones too: this process's windows in Z order
// first, then those of the other processes of the logon session, the most
// recently created first. A window of a process that has ended is not found.
// None: null, the error code unchanged.
HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName);

// ---- Focus and activation

// Gives the keyboard focus to a window of this thread: WM_KILLFOCUS to the window
// that had it (wParam the new one), then WM_SETFOCUS to the new one (wParam the
// old one). An inactive top-level window is activated first. null removes the
// focus. Returns the previous focus window (null for none). An invalid window:
// null and ERROR_INVALID_WINDOW_HANDLE, and the focus stays; a window that a
// procedure destroys before it has the focus: null and the same error.
HWND WINAPI SetFocus(HWND hWnd);
HWND WINAPI GetFocus();

// The active top-level window of this thread, and the foreground window.
HWND WINAPI GetActiveWindow();
HWND WINAPI GetForegroundWindow();

// Brings a top-level window (the root of a child) to the foreground and
// activates it: WM_NCACTIVATE and WM_ACTIVATE (WA_INACTIVE) to the window that
// was active, then WM_NCACTIVATE, WM_ACTIVATE (WA_ACTIVE) and the focus to the
// new one. A window of another process is activated in its owner's message loop.
// TRUE on success; an invalid window, or one that a procedure destroys on the
// way: FALSE and ERROR_INVALID_WINDOW_HANDLE.
BOOL WINAPI SetForegroundWindow(HWND hWnd);

// ---- Window values, procedures and properties

// A window value: GWL_WNDPROC (the window procedure, which fits in a LONG only
// in a 32-bit program; elsewhere 0 and ERROR_INVALID_INDEX), GWL_STYLE,
// GWL_EXSTYLE, GWL_ID, GWL_USERDATA, GWL_HINSTANCE, GWL_HWNDPARENT.
// SetWindowLongW returns the previous value; setting GWL_WNDPROC subclasses the
// window: its messages go to the new procedure from then on. An invalid index:
// 0 and ERROR_INVALID_INDEX; an invalid window: 0 and ERROR_INVALID_WINDOW_HANDLE.
// A previous value of 0 is not a failure: the error code is then 0.
LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong);
LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex);

// Calls a window procedure with the message, as a subclassing procedure passes
// a message on. A null procedure: 0.
LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Window properties by name (case-insensitive). SetPropA: TRUE, or FALSE with
// ERROR_INVALID_WINDOW_HANDLE. GetPropA: the data, null when the window lacks
// it. RemovePropA: the data, removed, or null. Properties last until the window
// has had WM_NCDESTROY.
BOOL WINAPI SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData);
HANDLE WINAPI GetPropA(HWND hWnd, LPCSTR lpString);
HANDLE WINAPI RemovePropA(HWND hWnd, LPCSTR lpString);

// The default handling: WM_NCCREATE gives TRUE; WM_CLOSE destroys the window;
// WM_SYSCOMMAND with SC_CLOSE sends WM_CLOSE, with SC_MINIMIZE and SC_RESTORE
// shows the window so; WM_SYSKEYDOWN with Alt+F4 sends WM_SYSCOMMAND SC_CLOSE to
// the top-level window; WM_WINDOWPOSCHANGED sends WM_SIZE (SIZE_RESTORED or
// SIZE_MINIMIZED, the client size) and WM_MOVE (the client origin, in the
// parent's client coordinates) for what changed; WM_ACTIVATE of a window that is
// not minimised gives it the focus; WM_MOUSEWHEEL goes on to the parent;
// WM_ERASEBKGND fills with the class brush and gives TRUE when there is one;
// WM_PAINT validates; WM_QUERYOPEN and WM_NCACTIVATE give TRUE; everything else 0.
LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// ---- Messages

// The message id of a name: the same id for the same name (any case) in every
// process of the logon session, from 0xC000 up. A null or empty name: 0 and
// ERROR_INVALID_PARAMETER; a session store that cannot be written: 0 and the
// file-system error.
UINT WINAPI RegisterWindowMessageW(LPCWSTR lpString);

// Calls the window's procedure with the message at once and returns its result;
// a procedure may send again while it handles one. An invalid window: 0 and
// ERROR_INVALID_WINDOW_HANDLE.
LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Queues a message for the window (null: for the thread) and returns at once.
// TRUE on success; an invalid window: FALSE and ERROR_INVALID_WINDOW_HANDLE.
BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Asks for the end of the message loop: GetMessageW gives WM_QUIT with the code
// once no posted message is left.
void WINAPI PostQuitMessage(int nExitCode);

// Takes the next message of the thread, in Windows' order: requests of other
// processes are carried out first (not returned), then posted messages, then
// WM_QUIT, then input, then WM_PAINT for a window with an update region; with
// none, it waits without spinning until one comes. hWnd and the filter range
// (both 0: all) limit what is taken. Returns nonzero for a message, 0 for WM_QUIT;
// -1 with ERROR_INVALID_WINDOW_HANDLE for an invalid hWnd or
// ERROR_INVALID_PARAMETER for a null lpMsg.
BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);

// As GetMessageW without waiting: TRUE with a message (removed with PM_REMOVE),
// FALSE when there is none.
BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);

// Posts WM_CHAR (WM_SYSCHAR for WM_SYSKEYDOWN) for a key-down message of a key
// that gives a character (letters, digits, space, Enter, Backspace, Tab,
// Escape), with Shift and Ctrl as the key messages taken so far left them:
// Shift gives capitals, Ctrl+letter the control character (Ctrl+C is 3). TRUE
// for key-down and key-up messages, FALSE for the others.
BOOL WINAPI TranslateMessage(const MSG* lpMsg);

// Calls the window procedure of msg->hwnd with the message and returns its
// result. A window whose procedure neither validates on WM_PAINT nor passes it
// to DefWindowProcW stays invalid and gets WM_PAINT again. A null window or
// message: 0; a window that is gone: 0 and ERROR_INVALID_WINDOW_HANDLE.
LRESULT WINAPI DispatchMessageW(const MSG* lpMsg);

// ---- Painting

// Validates the window's update region and gives its bounds in the PAINTSTRUCT;
// sends WM_ERASEBKGND first when the region was to be erased. Returns a device
// context (nothing is drawn on the layer). An invalid window: null and
// ERROR_INVALID_WINDOW_HANDLE.
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
// Ends the painting that BeginPaint started; TRUE.
BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

// Adds a rectangle (null: the whole client area) to the update region, to be
// erased when bErase. An invalid window: FALSE and ERROR_INVALID_WINDOW_HANDLE.
BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);

// Sends WM_PAINT at once when the window has an update region. TRUE; an invalid
// window: FALSE and ERROR_INVALID_WINDOW_HANDLE.
BOOL WINAPI UpdateWindow(HWND hWnd);

// ---- Input and screen

// Queues mouse and keyboard input as the devices would give it, routed when it
// comes; GetMessageW delivers it after the posted messages and WM_QUIT: mouse
// messages to the deepest shown window under the cursor (client coordinates in
// lParam, the MK_ flags of the buttons and keys then held in wParam), the wheel
// to the focus window (screen coordinates in lParam, the delta in wParam's high
// word), keys to the focus window as WM_KEYDOWN/WM_KEYUP, with Alt held or F10
// as WM_SYSKEYDOWN/WM_SYSKEYUP, and to the active window as the latter when no
// window has the focus. A button press activates the window's top-level window
// when it is taken. Movement is in pixels (no acceleration), or with
// MOUSEEVENTF_ABSOLUTE in 0..65535 over the screen, both ends included.
// Returns the number of inputs queued: cbSize other than sizeof(INPUT), or a
// null array, 0 and ERROR_INVALID_PARAMETER; hardware input stops the queueing
// there with ERROR_INVALID_PARAMETER.
UINT WINAPI SendInput(UINT cInputs, LPINPUT pInputs, int cbSize);

// Whether a key or mouse button is down now: the high bit (a negative result)
// while it is held; the generic VK_SHIFT, VK_CONTROL and VK_MENU for either side.
SHORT WINAPI GetAsyncKeyState(int vKey);

// The cursor position in screen coordinates. A null point: FALSE and
// ERROR_INVALID_PARAMETER. SetCursorPos moves it (clamped to the screen) and
// gives the windows under it a WM_MOUSEMOVE as a move of the mouse would.
BOOL WINAPI GetCursorPos(LPPOINT lpPoint);
BOOL WINAPI SetCursorPos(int X, int Y);

// Screen metrics: SM_CXSCREEN and SM_CYSCREEN from the profile ([screen] width
// and height, default 1920 by 1080), the border, edge, frame and caption sizes
// the layer's window rectangles use. Any other index: 0.
int WINAPI GetSystemMetrics(int nIndex);

#endif
