// Kernel file functions: full paths, and deleting, opening, reading and sizing files.
#ifndef WINLAYER_KERNEL_FILE_H
#define WINLAYER_KERNEL_FILE_H

#include <cstdint>

#include "winlayer/types.h"

typedef std::uintptr_t ULONG_PTR;

// Defined with the process functions; the file functions do not look inside.
struct _SECURITY_ATTRIBUTES;
typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

typedef struct _OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

// Access rights.
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define DELETE 0x00010000u

// Share modes: what later opens of the same file may do while a handle is open.
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

// Creation dispositions.
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

#define FILE_ATTRIBUTE_NORMAL 0x00000080u

#define INVALID_FILE_SIZE 0xFFFFFFFFu

// The full path of a name, as the layer resolves every path it is given: a
// relative name lies below the current folder (".." may climb above it), a name
// rooted without a drive on the current folder's drive, and "C:name" in the
// current folder when C: is its drive, else at the root of C:. Separators become
// single backslashes, "." and ".." resolve without climbing above the root, a
// component ending in one period loses it, and the last component loses its
// trailing periods and blanks unless a backslash follows it; a trailing
// backslash stays. The file need not exist. Returns the length without the NUL;
// when nBufferLength is too small, the size needed with the NUL and the buffer
// untouched. lpFilePart, when not null, receives the address in lpBuffer of the
// last component, or null when the path ends in a backslash. A null or empty
// name: 0 and ERROR_INVALID_NAME.
DWORD WINAPI GetFullPathNameW(LPCWSTR lpFileName, DWORD nBufferLength, LPWSTR lpBuffer, LPWSTR* lpFilePart);

// Deletes a file. Missing file: FALSE and ERROR_FILE_NOT_FOUND; missing folder on
// the way: ERROR_PATH_NOT_FOUND; a folder, a read-only file (one without write
// permission for its owner) or a file that cannot be removed:
// ERROR_ACCESS_DENIED; a file that a handle holds open without FILE_SHARE_DELETE:
// ERROR_SHARING_VIOLATION; an empty path: ERROR_PATH_NOT_FOUND; a path with a
// character that Windows forbids in names (< > : " | ? * or a control
// character, after the drive), whether or not Linux holds such a file:
// ERROR_INVALID_NAME, as for every function of the layer that takes a path.
BOOL WINAPI DeleteFileW(LPCWSTR lpFileName);

// Opens or creates a file and returns its handle, to be closed with CloseHandle.
// dwDesiredAccess: GENERIC_READ, GENERIC_WRITE and DELETE in any combination, or 0
// to open without data access. dwShareMode: the FILE_SHARE_ rights that other
// handles to the same file, in this process or any other on the layer, may hold.
// An open fails with ERROR_SHARING_VIOLATION when it asks for a right that an open
// handle does not share, or denies a right that an open handle holds; handles
// without data access take no part. Dispositions:
//   CREATE_NEW        an existing file: ERROR_FILE_EXISTS
//   CREATE_ALWAYS     an existing file is emptied; last error ERROR_ALREADY_EXISTS
//   OPEN_EXISTING     a missing file: ERROR_FILE_NOT_FOUND
//   OPEN_ALWAYS       an existing file is kept; last error ERROR_ALREADY_EXISTS
//   TRUNCATE_EXISTING needs GENERIC_WRITE (else ERROR_INVALID_PARAMETER); a
//                     missing file: ERROR_FILE_NOT_FOUND
// Otherwise the last error is 0 on success. A missing folder on the way:
// ERROR_PATH_NOT_FOUND; a file named with a trailing backslash, or a path with
// a character that Windows forbids in names: ERROR_INVALID_NAME; a folder, a FIFO or a socket (refused at once, never
// waited on): ERROR_ACCESS_DENIED; a read-only file (no write permission for its
// owner) opened for writing or emptied: ERROR_ACCESS_DENIED; no permission:
// ERROR_ACCESS_DENIED; another disposition: ERROR_INVALID_PARAMETER. A device
// reads as a device. The C run-time's opens (_wfopen, the file streams) take
// part in the share modes as handles with the access their mode asks for,
// sharing reading and writing. Every
// failure returns INVALID_HANDLE_VALUE. Handles are never inherited; the security
// attributes, the attributes of created files, the flags and hTemplateFile are
// not used. A file that the caller may write but not read is opened without
// share checks, and so is one on a file system without byte-range locks.
HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);

// Reads up to nNumberOfBytesToRead bytes from the file position, which moves on
// by the bytes read. TRUE with *lpNumberOfBytesRead set; fewer bytes only at the
// end of the file, and 0 there. Failure: FALSE with *lpNumberOfBytesRead 0: not a
// file handle, ERROR_INVALID_HANDLE; a handle without GENERIC_READ,
// ERROR_ACCESS_DENIED; a null byte count or a non-null lpOverlapped (the layer
// has no overlapped or positioned reads), ERROR_INVALID_PARAMETER.
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped);

// The file's size: returns its low 32 bits and stores the high 32 bits in
// *lpFileSizeHigh when that is not null. Success sets the last error to NO_ERROR,
// so that a size whose low word is INVALID_FILE_SIZE can be told from a failure.
// Failure: INVALID_FILE_SIZE and ERROR_INVALID_HANDLE for anything but a file
// handle.
DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);

#endif
