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

#endif
