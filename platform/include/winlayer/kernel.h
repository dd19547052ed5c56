// Kernel functions: command line, modules, folders, errors, memory, handles,
// code pages and the end of a process. Each says what it does on success and
// on failure, and which error code it leaves for GetLastError.
#ifndef WINLAYER_KERNEL_H
#define WINLAYER_KERNEL_H

#include "winlayer/types.h"

#define CP_ACP 0u
#define CP_THREAD_ACP 3u
#define CP_UTF8 65001u

#define LMEM_FIXED 0x0000u
#define LMEM_ZEROINIT 0x0040u
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

extern "C" {

// The entry body of a program. The layer's start-up calls it after the
// static initialisers and ends the process with its result (see ExitProcess).
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd);

}  // extern "C"

// The error code of the calling thread's last failure.
DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD dwErrCode);

// The process's command line, exactly as the parent passed it to CreateProcessW;
// for a program started by a POSIX shell, its arguments quoted by the C run-time's
// rules. Never fails; the text lives as long as the process.
LPWSTR WINAPI GetCommandLineW();

// Writes the Windows path of the running program file (hModule null), or of the
// loaded library that GetModuleHandleW gave hModule for, into the buffer. Returns its length without the NUL. A buffer that is too small gets the
// truncated path with a NUL, the result is nSize and the error
// ERROR_INSUFFICIENT_BUFFER. Another module handle: 0 and ERROR_MOD_NOT_FOUND.
DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);

// The handle of a loaded module: null name for the program; "kernel32" (with or
// without ".dll", any case) for the kernel; "N.dll" or "N" (any case) for the
// shared library libN.so loaded in the process, its load address. Others: null
// and ERROR_MOD_NOT_FOUND.
HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName);

// The address of a kernel export the layer provides, by name. "IsWow64Process"
// exists unless the profile describes an old 32-bit system without it
// ([system] iswow64process = false). Unknown names or modules: null and
// ERROR_PROC_NOT_FOUND (ERROR_MOD_NOT_FOUND for a null module).
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

// A pseudo handle for the calling process; needs no closing.
HANDLE WINAPI GetCurrentProcess();

// Whether the process runs under WOW64: the profile's [system] wow64 for the
// current process. Another handle: FALSE and ERROR_INVALID_HANDLE.
BOOL WINAPI IsWow64Process(HANDLE hProcess, PBOOL Wow64Process);

// The temporary folder: TMP, then TEMP, then TMPDIR, then /tmp; each may hold a
// Linux path (starting with a slash) or a Windows path, a relative one resolved
// as GetFullPathNameW resolves it; the result is always the full Windows form
// with a trailing backslash. Returns its length without the NUL; when nBufferLength is
// too small, the length needed with the NUL and the buffer untouched. The A form
// gives the ANSI code page's text, which on the layer is UTF-8.
DWORD WINAPI GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer);
DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);

// The Windows folder of the profile ([system] windows, default C:\Windows), without
// a trailing backslash. Returns its length without the NUL, or the size needed
// with the NUL when uSize is too small.
UINT WINAPI GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize);

// Memory that CommandLineToArgvW hands out. LocalFree returns null on success and
// the handle itself on failure; a null handle is allowed.
HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes);
HLOCAL WINAPI LocalFree(HLOCAL hMem);

// Closes a handle the layer gave out. A handle value is never given out twice, so
// a handle closed before (or a pseudo handle, or an invalid one) gives FALSE and
// ERROR_INVALID_HANDLE and touches nothing else. A call that is using the handle
// in another thread finishes on the object first.
BOOL WINAPI CloseHandle(HANDLE hObject);

// Ends the process with the whole 32-bit code: static destructors and exit
// handlers run, and a parent on the layer receives the full code.
[[noreturn]] void WINAPI ExitProcess(UINT uExitCode);

// The value of an environment variable, UTF-8 in the environment, as UTF-16.
// The name is matched exactly first, then without regard to case, as Windows
// matches names. Returns the value's length without the NUL; when nSize is too
// small for the value and its NUL (or lpBuffer is null), the size needed with
// the NUL, and the buffer is not written. An empty value returns 0 with the
// last error NO_ERROR. A missing variable or a null name: 0 and
// ERROR_ENVVAR_NOT_FOUND.
DWORD WINAPI GetEnvironmentVariableW(LPCWSTR lpName, LPWSTR lpBuffer, DWORD nSize);

// Code-page conversion. CP_UTF8, CP_ACP and CP_THREAD_ACP all mean UTF-8 on the
// layer; dwFlags must be 0 (else 0 and ERROR_INVALID_FLAGS), and the default
// character arguments null, as UTF-8 has none. cchWideChar/cbMultiByte of -1 includes the NUL.
// With a zero output size the size needed is returned. A lone surrogate becomes
// U+FFFD (EF BF BD), as Windows converts it; invalid UTF-8 becomes U+FFFD too.
// Too small a buffer: 0 and ERROR_INSUFFICIENT_BUFFER; other code pages:
// 0 and ERROR_INVALID_PARAMETER.
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               PBOOL lpUsedDefaultChar);
int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar);

// Suspends the calling thread for at least the milliseconds given (0 gives up
// the rest of its time slice). INFINITE is not supported. Never fails.
void WINAPI Sleep(DWORD dwMilliseconds);

// Milliseconds since the system started, wrapping to 0 after 2^32 (49.7 days).
// Never fails.
DWORD WINAPI GetTickCount();

#endif
