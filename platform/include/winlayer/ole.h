// OLE's start on a thread.
#ifndef WINLAYER_OLE_H
#define WINLAYER_OLE_H

#include "winlayer/types.h"

#define S_OK static_cast<HRESULT>(0L)
#define S_FALSE static_cast<HRESULT>(1L)
#define E_INVALIDARG static_cast<HRESULT>(0x80070057L)

// Starts OLE on the calling thread: S_OK on the thread's first call, S_FALSE
// on each later one while it is started; every successful call is balanced by
// one OleUninitialize. pvReserved must be null, else E_INVALIDARG.
HRESULT WINAPI OleInitialize(LPVOID pvReserved);
// Ends one OleInitialize of the calling thread; nothing when none is open.
void WINAPI OleUninitialize();

#endif
