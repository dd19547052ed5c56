// The console's frame: its globals, the window class, the start-up that
// creates the frame and the player and loads the movie, and the frame's window
// procedure.
#ifndef OMBRIX_CONSOLE_FRAME_WINDOW_H
#define OMBRIX_CONSOLE_FRAME_WINDOW_H

#include "win32.h"

// The frame's class name, also the key of the single-instance test.
extern const WCHAR kFrameClassName[];
// The window property under which the player's own procedure is kept.
extern const char kPreviousProcedureProperty[];
// The movie file beside the program.
extern const WCHAR kMovieFileName[];

constexpr int kFrameWidth = 790;
constexpr int kFrameHeight = 544;

// Folder of the running program file, without a trailing backslash except at a
// drive root; empty until ConsoleWinMain fills it.
extern WString programFolder;
// The instance handle given to ConsoleWinMain; the player is created with it.
extern HINSTANCE instanceHandle;
// The frame's title, set by ConsoleWinMain.
extern WString frameTitle;
extern HWND frameWindow;
extern HWND playerWindow;
// The frame's top-left corner on the screen as the console last placed it.
extern POINT framePosition;
// The client rectangle for which WM_PAINT last laid out the children.
extern RECT lastClientRect;
// The registered message "_tivu_xelqdesk_launch_", neither sent nor handled.
extern UINT launchMessage;

// What WYLInitialize is given.
struct FrameworkStartParams {
  LONG first;
  LONG second;
};

// The player window's creation data, four 32-bit words; its meaning belongs to
// the framework.
struct PlayerCreateParams {
  LONG first;
  bool second;
  BYTE padding1[3];
  LONG third;
  bool fourth;
  BYTE padding2[3];
};
static_assert(sizeof(PlayerCreateParams) == 16, "four 32-bit words");

// Registers "_tivu_xelqdesk_launch_" into launchMessage; runs as a static
// initialiser, before ConsoleWinMain.
void InitLaunchMessage();

// Registers the frame class; a failure shows as the frame's failed creation.
void RegisterFrameClass(HINSTANCE instance);

// Creates the hidden frame, starts OLE and the framework, checks the movie's
// digest, creates and subclasses the player, loads the movie, then centres and
// shows the frame: 1. Any failure gives 0 at once and undoes nothing.
int CreateFrameAndLoadMovie(HINSTANCE instance);

// The player window, hidden and empty, child of frameWindow and made with
// instanceHandle, with PlayerWindowProc in front of the framework's own
// procedure, which the window property kPreviousProcedureProperty keeps. Null
// when the window is not created.
HWND CreateSubclassedPlayer();

LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Places the child at the origin with the size of the client rectangle that
// lParam points to, and shows it; TRUE, so that the enumeration goes on.
BOOL CALLBACK ResizeChildToClient(HWND child, LPARAM lParam);

#endif
