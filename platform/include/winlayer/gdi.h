// Graphics objects the windowing functions hand out: device contexts, brushes,
// icons and cursors as handles, and the stock objects. Nothing is drawn.
#ifndef WINLAYER_GDI_H
#define WINLAYER_GDI_H

#include "winlayer/types.h"

typedef struct HDC__* HDC;
typedef struct HBRUSH__* HBRUSH;
typedef struct HICON__* HICON;
typedef HICON HCURSOR;
typedef struct HMENU__* HMENU;
typedef void* HGDIOBJ;
typedef DWORD COLORREF;

// Stock objects (GetStockObject).
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5

// System colours; a class brush may be a colour index + 1.
#define COLOR_BACKGROUND 1
#define COLOR_WINDOW 5
#define COLOR_WINDOWTEXT 8
#define COLOR_BTNFACE 15

// The handle of a stock object: the same value on every call of one process,
// never to be deleted. An unknown index: null (Windows sets no error code).
HGDIOBJ WINAPI GetStockObject(int i);

#endif
