// Shell functions: argument splitting, path tests and special folders.
#ifndef WINLAYER_SHELL_H
#define WINLAYER_SHELL_H

#include "winlayer/types.h"

// Splits a command line by Windows' rules (see winlayer's cmdline rules): the
// program name up to the first blank or between its quotes, then arguments with
// 2n backslashes + quote giving n backslashes and a quote that opens or closes a
// quoted part, 2n+1 backslashes + quote giving n backslashes and a literal quote,
// "" inside a quoted part giving a literal quote. An empty command line gives the
// program's own path. The array is one LocalAlloc block: free it with LocalFree.
// A null pNumArgs: null and ERROR_INVALID_PARAMETER.
LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR lpCmdLine, int* pNumArgs);

// TRUE when the path names an existing file or folder; otherwise FALSE with
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND.
BOOL WINAPI PathFileExistsW(LPCWSTR pszPath);

// Special folders by their CSIDL, as SHGetSpecialFolderPathW names them.
#define CSIDL_PROGRAM_FILES 0x0026

// Writes the Windows path of a special folder, from the machine profile
// (CSIDL_PROGRAM_FILES: [system] program_files), into a buffer of MAX_PATH
// characters, and returns TRUE. The owner window is not used. With fCreate
// non-zero a missing folder is created, with every missing folder above it, as
// the shell creates it; without it the path is given whether or not the folder
// exists. On failure returns FALSE and leaves the buffer untouched: an unknown
// CSIDL or a null buffer ERROR_INVALID_PARAMETER; a path of MAX_PATH characters
// or more ERROR_INSUFFICIENT_BUFFER; a folder that cannot be created the error of
// the failed creation (ERROR_PATH_NOT_FOUND for a drive the profile does not
// map, ERROR_ALREADY_EXISTS when a file stands in its place).
BOOL WINAPI SHGetSpecialFolderPathW(HWND hwndOwner, LPWSTR lpszPath, int csidl, BOOL fCreate);

#endif
