// The frame class and the start-up: the frame, OLE, the framework, the movie's
// digest, the player window and the movie.
#include "frame_window.h"
#include "md5.h"
#include "player_window.h"
#include "console_log.h"
#include "ui_file_digest.h"
#include "wyl/wyl.h"

#include <cstring>

namespace {

FrameworkStartParams frameworkStartParams = {1, 0};
PlayerCreateParams playerCreateParams = {1, false, {}, 1, false, {}};

constexpr int kFrameIconId = 104;

bool CreateFrame(HINSTANCE instance) {
  frameWindow = CreateWindowExW(WS_EX_WINDOWEDGE, kFrameClassName, frameTitle.c_str(),
                                WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CLIPCHILDREN | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, /*hWndParent=*/nullptr, /*hMenu=*/nullptr,
                                instance, /*lpParam=*/nullptr);
  return frameWindow != nullptr;
}

// The whole text must be the stored digest; an unreadable file gives "".
bool MovieHasItsDigest(const WString& moviePath) {
  cMD5 md5;
  return std::strcmp(md5.DigestFile(moviePath.c_str()), kUiFileDigest) == 0;
}

// Truncating division: a screen narrower than the frame gives a negative x.
void CentreAndShowFrame() {
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kFrameWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kFrameHeight) / 2;
  framePosition.x = x;
  framePosition.y = y;
  SetWindowPos(frameWindow, HWND_TOP, x, y, kFrameWidth, kFrameHeight, SWP_SHOWWINDOW);
}

}  // namespace

HWND CreateSubclassedPlayer() {
  const HWND player = CreateWindowExW(0, TEXT("WYL.BriskPlayer"), /*lpWindowName=*/nullptr, WS_CHILD, 0, 0, 0, 0,
                                      frameWindow, /*hMenu=*/nullptr, instanceHandle, &playerCreateParams);
  if (player == nullptr) return nullptr;
  const LONG previous = SetWindowLongW(player, GWL_WNDPROC, reinterpret_cast<LONG>(PlayerWindowProc));
  SetPropA(player, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(previous)));
  return player;
}

void RegisterFrameClass(HINSTANCE instance) {
  WNDCLASSEXW frameClass = {};
  frameClass.cbSize = sizeof frameClass;
  frameClass.style = 0;
  frameClass.lpfnWndProc = FrameWindowProc;
  frameClass.hInstance = instance;
  frameClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kFrameIconId));
  frameClass.hCursor = LoadCursorW(/*hInstance=*/nullptr, IDC_ARROW);
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  frameClass.lpszClassName = kFrameClassName;
  frameClass.hIconSm = nullptr;  // derived from the icon
  RegisterClassExW(&frameClass);
}

int CreateFrameAndLoadMovie(HINSTANCE instance) {
  GetConsoleLog();
  if (!CreateFrame(instance)) return 0;
  OleInitialize(/*pvReserved=*/nullptr);
  if (WYLInitialize(&frameworkStartParams) != 0) return 0;
  const WString moviePath = programFolder + TEXT("\\") + kMovieFileName;
  if (!MovieHasItsDigest(moviePath)) return 0;
  const HWND player = CreateSubclassedPlayer();
  if (player == nullptr) return 0;
  WYLBriskPlayerChangeAttributes(player, 2, 0);
  playerWindow = player;
  if (!WYLIsBriskPlayer(player)) return 0;
  if (WYLBriskPlayerLoadMovie(player, moviePath.c_str(), 1) != 0) return 0;
  SetClassLongW(frameWindow, GCL_HBRBACKGROUND, reinterpret_cast<LONG>(GetStockObject(DKGRAY_BRUSH)));
  CentreAndShowFrame();
  return 1;
}
