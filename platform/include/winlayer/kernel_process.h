// Kernel process functions: starting child programs, waiting and exit codes.
#ifndef WINLAYER_KERNEL_PROCESS_H
#define WINLAYER_KERNEL_PROCESS_H

#include "winlayer/types.h"

#define STARTF_USESHOWWINDOW 0x00000001u
#define CREATE_UNICODE_ENVIRONMENT 0x00000400u

#define STILL_ACTIVE 259u
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

// The status codes that a process ended by a fault gets.
#define STATUS_ACCESS_VIOLATION 0xC0000005u
#define STATUS_ILLEGAL_INSTRUCTION 0xC000001Du
#define STATUS_INTEGER_DIVIDE_BY_ZERO 0xC0000094u
#define STATUS_CONTROL_C_EXIT 0xC000013Au

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _STARTUPINFOW {
  DWORD cb;
  LPWSTR lpReserved;
  LPWSTR lpDesktop;
  LPWSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
} STARTUPINFOW, *LPSTARTUPINFOW;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// Starts a program and returns at once.
//
// The program: lpApplicationName when given (a path, taken as it stands, no
// search and no extension added); otherwise the head of lpCommandLine. A quoted
// head is the text between its quotes. An unquoted head that holds blanks is
// tried prefix by prefix, the shortest first ("C:\Program Files\a b.exe x" tries
// "C:\Program", then "C:\Program Files\a", ...), as Windows does. A name without
// an extension gets ".exe"; the bare name is tried after it, since Linux programs
// have none. A name with a folder part is taken from the current folder (or as
// the absolute path it is); a plain name is searched in the calling program's
// folder, the current folder, the profile's system folder, the Windows folder,
// then each folder of PATH.
//
// The child: its argument vector is the command line split by the C run-time's
// rules; a child built on the layer sees the exact command line through
// GetCommandLineW and hands its whole 32-bit exit code back. With
// STARTF_USESHOWWINDOW and SW_HIDE the child's standard streams go to /dev/null,
// as its console window would be hidden; otherwise it shares the caller's.
// lpEnvironment null gives the caller's environment; otherwise it is a block of
// "name=value" texts ending in an empty one, UTF-16 with
// CREATE_UNICODE_ENVIRONMENT, else 8-bit. lpCurrentDirectory null keeps the
// caller's. Other creation flags, bInheritHandles and the security attributes
// change nothing on the layer. Each start is recorded in the trace with its show
// flag and command line.
//
// Success: TRUE and lpProcessInformation with a process and a thread handle (close
// both with CloseHandle) and the process id. Failure: FALSE with
// ERROR_FILE_NOT_FOUND (no program found), ERROR_PATH_NOT_FOUND (its folder
// missing), ERROR_INVALID_NAME (the program's name holds a character that
// Windows forbids in names), ERROR_ACCESS_DENIED, ERROR_BAD_FORMAT (not a
// program), ERROR_DIRECTORY (lpCurrentDirectory not a folder, or a name Windows
// forbids) or ERROR_INVALID_PARAMETER (no command line
// and no application name, a null record).
BOOL WINAPI CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine,
                           LPSECURITY_ATTRIBUTES lpProcessAttributes, LPSECURITY_ATTRIBUTES lpThreadAttributes,
                           BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID lpEnvironment,
                           LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation);

// Waits for a process (or thread) handle of CreateProcessW to end, at most
// dwMilliseconds (INFINITE: without limit). WAIT_OBJECT_0 when it ended,
// WAIT_TIMEOUT when the time ran out; WAIT_FAILED and ERROR_INVALID_HANDLE for a
// handle that is not such a handle.
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

// The exit code of a process: STILL_ACTIVE while it runs; then the whole 32-bit
// code of a child built on the layer, the 8-bit exit status of any other child,
// or for a child ended by a signal the status code Windows reports for that end:
// SIGSEGV and SIGBUS STATUS_ACCESS_VIOLATION, SIGILL STATUS_ILLEGAL_INSTRUCTION,
// SIGFPE STATUS_INTEGER_DIVIDE_BY_ZERO, SIGABRT 3, SIGINT STATUS_CONTROL_C_EXIT,
// any other signal 1 (as TerminateProcess is usually called). A handle that is not
// a process handle: FALSE and ERROR_INVALID_HANDLE.
BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);

#endif
