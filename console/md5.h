// The MD5 digest of a file (RFC 1321) in its text form: 32 lowercase
// hexadecimal characters.
#ifndef OMBRIX_CONSOLE_MD5_H
#define OMBRIX_CONSOLE_MD5_H

#include <memory>

#include "win32.h"

class cMD5 {
 public:
  static constexpr DWORD kReadBufferSize = 1000000;

  cMD5() = default;
  virtual ~cMD5() = default;
  cMD5(const cMD5&) = delete;
  cMD5& operator=(const cMD5&) = delete;

  // The digest of the whole file in text form. "" when the file cannot be opened
  // or read, or ends before the size measured when it was opened. The text belongs
  // to the object (or is a static empty text) and lasts until the next DigestFile
  // or the object's end. The read buffer is made on the first call and reused.
  const char* DigestFile(LPCWSTR path);

  // Adds bytes to the running digest.
  void Update(const BYTE* input, DWORD length);
  // Finishes the digest and returns its text form, kept in the object.
  const char* HexDigest();
  // Pads the message, writes the 16 digest bytes and zeroes the state, the bit
  // count and the block.
  void Final(BYTE digest[16]);
  // The compression function: folds the block into the state.
  void Transform();

 private:
  void Reset();
  // Reads the measured size through the buffer into the digest; false on a failed
  // read or one that gives nothing before that size is reached.
  bool DigestContent(HANDLE file);

  std::unique_ptr<BYTE[]> readBuffer_;
  DWORD state_[4] = {};
  DWORD bitCount_[2] = {};  // low word, then high word
  BYTE block_[64] = {};
  char hexDigest_[33] = {};
};

#endif
