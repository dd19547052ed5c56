// Shell functions: argument splitting, paths, special folders, folder creation
// and opening files.
#ifndef WINLAYER_SHELL_H
#define WINLAYER_SHELL_H

#include "winlayer/kernel_process.h"
#include "winlayer/types.h"

// Splits a command line by CommandLineToArgvW's documented rules, which differ
// from the C run-time's argv: a program name that starts with a quote ends at the
// next quote (what follows starts the next argument), else at the first blank or
// tab, backslashes and quotes in it taken literally; then arguments with 2n
// backslashes + quote giving n backslashes and a quote that opens or closes a
// quoted part, 2n+1 backslashes + quote giving n backslashes and a literal quote,
// and every other quote opening or closing a quoted part. A line that starts
// with a blank gives an empty program name. An empty command line gives the
// program's own path. The array is one LocalAlloc block: free it with LocalFree.
// A null pNumArgs: null and ERROR_INVALID_PARAMETER.
LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR lpCmdLine, int* pNumArgs);

// TRUE when the path names an existing file or folder; otherwise FALSE with
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND, or ERROR_INVALID_NAME for a name
// with a character that Windows forbids.
BOOL WINAPI PathFileExistsW(LPCWSTR pszPath);

// Special folders by their CSIDL, as SHGetSpecialFolderPathW names them.
#define CSIDL_APPDATA 0x001a
#define CSIDL_PROGRAM_FILES 0x0026

// Writes the Windows path of a special folder, from the machine profile
// (CSIDL_PROGRAM_FILES: [system] program_files; CSIDL_APPDATA: [folders]
// appdata, by default C:\Users\<the Linux user's name>\AppData\Roaming), into
// a buffer of MAX_PATH characters, and returns TRUE. The owner window is not used. With fCreate
// non-zero a missing folder is created, with every missing folder above it, as
// the shell creates it; without it the path is given whether or not the folder
// exists. On failure returns FALSE and leaves the buffer untouched: an unknown
// CSIDL or a null buffer ERROR_INVALID_PARAMETER; a path of MAX_PATH characters
// or more ERROR_INSUFFICIENT_BUFFER; a folder that cannot be created the error of
// the failed creation (ERROR_PATH_NOT_FOUND for a drive the profile does not
// map, ERROR_ALREADY_EXISTS when a file stands in its place).
BOOL WINAPI SHGetSpecialFolderPathW(HWND hwndOwner, LPWSTR lpszPath, int csidl, BOOL fCreate);

// Removes the last element of a path and the backslash before it, keeping a
// root: "C:\a\b.txt" gives "C:\a", "C:\b.txt" gives "C:\", "\\server\share\f"
// gives "\\server\share", "\\server\share" gives "\\server", "\b" gives "\",
// "C:b" gives "C:", "b" gives "", and a trailing backslash goes ("C:\a\" gives
// "C:\a"). Only backslashes separate. TRUE when something was removed; FALSE
// for a root ("C:\", "C:", "\", "\\"), an empty path or null.
BOOL WINAPI PathRemoveFileSpecW(LPWSTR pszPath);

// Creates a folder and every missing folder above it. The owner window and the
// security attributes are not used. Returns, and leaves for GetLastError:
// - ERROR_SUCCESS: created;
// - ERROR_ALREADY_EXISTS: the folder exists;
// - ERROR_FILE_EXISTS: a file has the folder's name;
// - ERROR_BAD_PATHNAME: a relative path ("a\b", "C:a"), an empty one or null;
// - ERROR_FILENAME_EXCED_RANGE: 248 characters or more (the limit with the NUL);
// - ERROR_PATH_NOT_FOUND: a drive the profile does not map, or a file standing
//   where a folder on the way should be; a share the profile does not know
//   gives its own error (ERROR_BAD_NETPATH, ERROR_BAD_NET_NAME);
// - ERROR_INVALID_NAME: a name with a character that Windows forbids;
// - the creation's own error otherwise (ERROR_ACCESS_DENIED, ...).
int WINAPI SHCreateDirectoryExW(HWND hwnd, LPCWSTR pszPath, const SECURITY_ATTRIBUTES* psa);

// Results of ShellExecuteW at or below 32 (the others mean success).
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// Opens a file with the program that the profile associates with its extension
// ([associations] .txt = program, the extension in any case; a folder's entry
// is "folder"): the program is started through CreateProcessW, which traces it,
// with the command line "program" "file", the file as a full path, in
// lpDirectory (null: the current folder) and with the show command. A file
// ending in .exe is started itself, with lpParameters after it; for other files
// lpParameters is not used. lpOperation is "open" (any case) or null, which
// means "open". The owner window is not used. Returns a value above 32 on
// success. Failure, with the matching error for GetLastError: SE_ERR_FNF, the
// file (or a null or empty name) does not exist, or its name holds a character
// that Windows forbids (ERROR_INVALID_NAME: nothing is started); SE_ERR_PNF, a folder on its path
// does not; SE_ERR_NOASSOC (ERROR_NO_ASSOCIATION), no entry for its extension, or
// another operation; else the program's start failure: SE_ERR_FNF, SE_ERR_PNF
// (also for an lpDirectory that is not a folder), SE_ERR_ACCESSDENIED,
// ERROR_BAD_FORMAT or SE_ERR_OOM.
HINSTANCE WINAPI ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                               LPCWSTR lpDirectory, int nShowCmd);

#endif
