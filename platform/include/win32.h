// The one header through which system code reaches Windows. On Windows it is the
// system's own headers; elsewhere it is the Win32 layer of platform/.
#ifndef OMBRIX_WIN32_H
#define OMBRIX_WIN32_H

#ifdef _WIN32
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
// No min and max macros: the layer has none, and system code uses std::min,
// std::max and std::numeric_limits<T>::max().
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winnetwk.h>
#include <cstdio>
#include <fstream>
#include <string>
#include <tchar.h>

// Wide text as the system code holds it.
using WString = std::wstring;
// File streams whose bytes on disk follow the C run-time's text mode.
using FileStream = std::fstream;
using WFileStream = std::wfstream;
#else
#include "winlayer/winlayer.h"
#endif

#endif
