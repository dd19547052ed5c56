// MD5 as RFC 1321 defines it, with file reading in large chunks.
#include "md5.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

inline DWORD RotateLeft(DWORD x, int s) { return (x << s) | (x >> (32 - s)); }

// The round functions F, G, H and I of RFC 1321, each added to a sum, in forms
// where b, the word that the step before has just made, enters last, so that
// the rest is ready when it arrives. G's two terms share no bit and are added,
// the one without b first.
inline DWORD F(DWORD sum, DWORD b, DWORD c, DWORD d) { return sum + (d ^ (b & (c ^ d))); }
inline DWORD G(DWORD sum, DWORD b, DWORD c, DWORD d) { return sum + (c & ~d) + (b & d); }
inline DWORD H(DWORD sum, DWORD b, DWORD c, DWORD d) { return sum + (b ^ (c ^ d)); }
inline DWORD I(DWORD sum, DWORD b, DWORD c, DWORD d) { return sum + (c ^ (b | ~d)); }

// One step: a = b + ((a + f(b, c, d) + x + t) <<< s), with the word and the
// constant added before b is needed.
template <DWORD (*f)(DWORD, DWORD, DWORD, DWORD)>
inline void Step(DWORD& a, DWORD b, DWORD c, DWORD d, DWORD x, DWORD t, int s) {
  a = b + RotateLeft(f(a + x + t, b, c, d), s);
}

inline DWORD LoadLittleEndian(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
         static_cast<DWORD>(p[3]) << 24;
}

inline void StoreLittleEndian(BYTE* p, DWORD v) {
  p[0] = static_cast<BYTE>(v);
  p[1] = static_cast<BYTE>(v >> 8);
  p[2] = static_cast<BYTE>(v >> 16);
  p[3] = static_cast<BYTE>(v >> 24);
}

void Round1(DWORD& a, DWORD& b, DWORD& c, DWORD& d, const DWORD* x) {
  Step<F>(a, b, c, d, x[0], 0xd76aa478, 7);   Step<F>(d, a, b, c, x[1], 0xe8c7b756, 12);
  Step<F>(c, d, a, b, x[2], 0x242070db, 17);  Step<F>(b, c, d, a, x[3], 0xc1bdceee, 22);
  Step<F>(a, b, c, d, x[4], 0xf57c0faf, 7);   Step<F>(d, a, b, c, x[5], 0x4787c62a, 12);
  Step<F>(c, d, a, b, x[6], 0xa8304613, 17);  Step<F>(b, c, d, a, x[7], 0xfd469501, 22);
  Step<F>(a, b, c, d, x[8], 0x698098d8, 7);   Step<F>(d, a, b, c, x[9], 0x8b44f7af, 12);
  Step<F>(c, d, a, b, x[10], 0xffff5bb1, 17); Step<F>(b, c, d, a, x[11], 0x895cd7be, 22);
  Step<F>(a, b, c, d, x[12], 0x6b901122, 7);  Step<F>(d, a, b, c, x[13], 0xfd987193, 12);
  Step<F>(c, d, a, b, x[14], 0xa679438e, 17); Step<F>(b, c, d, a, x[15], 0x49b40821, 22);
}

void Round2(DWORD& a, DWORD& b, DWORD& c, DWORD& d, const DWORD* x) {
  Step<G>(a, b, c, d, x[1], 0xf61e2562, 5);   Step<G>(d, a, b, c, x[6], 0xc040b340, 9);
  Step<G>(c, d, a, b, x[11], 0x265e5a51, 14); Step<G>(b, c, d, a, x[0], 0xe9b6c7aa, 20);
  Step<G>(a, b, c, d, x[5], 0xd62f105d, 5);   Step<G>(d, a, b, c, x[10], 0x02441453, 9);
  Step<G>(c, d, a, b, x[15], 0xd8a1e681, 14); Step<G>(b, c, d, a, x[4], 0xe7d3fbc8, 20);
  Step<G>(a, b, c, d, x[9], 0x21e1cde6, 5);   Step<G>(d, a, b, c, x[14], 0xc33707d6, 9);
  Step<G>(c, d, a, b, x[3], 0xf4d50d87, 14);  Step<G>(b, c, d, a, x[8], 0x455a14ed, 20);
  Step<G>(a, b, c, d, x[13], 0xa9e3e905, 5);  Step<G>(d, a, b, c, x[2], 0xfcefa3f8, 9);
  Step<G>(c, d, a, b, x[7], 0x676f02d9, 14);  Step<G>(b, c, d, a, x[12], 0x8d2a4c8a, 20);
}

void Round3(DWORD& a, DWORD& b, DWORD& c, DWORD& d, const DWORD* x) {
  Step<H>(a, b, c, d, x[5], 0xfffa3942, 4);   Step<H>(d, a, b, c, x[8], 0x8771f681, 11);
  Step<H>(c, d, a, b, x[11], 0x6d9d6122, 16); Step<H>(b, c, d, a, x[14], 0xfde5380c, 23);
  Step<H>(a, b, c, d, x[1], 0xa4beea44, 4);   Step<H>(d, a, b, c, x[4], 0x4bdecfa9, 11);
  Step<H>(c, d, a, b, x[7], 0xf6bb4b60, 16);  Step<H>(b, c, d, a, x[10], 0xbebfbc70, 23);
  Step<H>(a, b, c, d, x[13], 0x289b7ec6, 4);  Step<H>(d, a, b, c, x[0], 0xeaa127fa, 11);
  Step<H>(c, d, a, b, x[3], 0xd4ef3085, 16);  Step<H>(b, c, d, a, x[6], 0x04881d05, 23);
  Step<H>(a, b, c, d, x[9], 0xd9d4d039, 4);   Step<H>(d, a, b, c, x[12], 0xe6db99e5, 11);
  Step<H>(c, d, a, b, x[15], 0x1fa27cf8, 16); Step<H>(b, c, d, a, x[2], 0xc4ac5665, 23);
}

void Round4(DWORD& a, DWORD& b, DWORD& c, DWORD& d, const DWORD* x) {
  Step<I>(a, b, c, d, x[0], 0xf4292244, 6);   Step<I>(d, a, b, c, x[7], 0x432aff97, 10);
  Step<I>(c, d, a, b, x[14], 0xab9423a7, 15); Step<I>(b, c, d, a, x[5], 0xfc93a039, 21);
  Step<I>(a, b, c, d, x[12], 0x655b59c3, 6);  Step<I>(d, a, b, c, x[3], 0x8f0ccc92, 10);
  Step<I>(c, d, a, b, x[10], 0xffeff47d, 15); Step<I>(b, c, d, a, x[1], 0x85845dd1, 21);
  Step<I>(a, b, c, d, x[8], 0x6fa87e4f, 6);   Step<I>(d, a, b, c, x[15], 0xfe2ce6e0, 10);
  Step<I>(c, d, a, b, x[6], 0xa3014314, 15);  Step<I>(b, c, d, a, x[13], 0x4e0811a1, 21);
  Step<I>(a, b, c, d, x[4], 0xf7537e82, 6);   Step<I>(d, a, b, c, x[11], 0xbd3af235, 10);
  Step<I>(c, d, a, b, x[2], 0x2ad7d2bb, 15);  Step<I>(b, c, d, a, x[9], 0xeb86d391, 21);
}

}  // namespace

const char* cMD5::DigestFile(LPCWSTR path) {
  if (!readBuffer_) readBuffer_.reset(new (std::nothrow) BYTE[kReadBufferSize]);
  Reset();
  const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, /*lpSecurityAttributes=*/nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, /*hTemplateFile=*/nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  const bool complete = DigestContent(file);
  CloseHandle(file);
  return complete ? HexDigest() : "";
}

bool cMD5::DigestContent(HANDLE file) {
  // The low 32 bits of the size as a signed count: files of 2 GiB and more are
  // beyond it.
  LONG remaining = static_cast<LONG>(GetFileSize(file, /*lpFileSizeHigh=*/nullptr));
  while (remaining > 0) {
    DWORD got = 0;
    if (!readBuffer_ || !ReadFile(file, readBuffer_.get(), kReadBufferSize, &got, /*lpOverlapped=*/nullptr)) {
      return false;
    }
    if (got == 0) return false;  // the file shrank while it was read
    Update(readBuffer_.get(), got);
    remaining -= static_cast<LONG>(got);
  }
  return true;
}

void cMD5::Reset() {
  state_[0] = 0x67452301;
  state_[1] = 0xefcdab89;
  state_[2] = 0x98badcfe;
  state_[3] = 0x10325476;
  bitCount_[0] = bitCount_[1] = 0;
}

void cMD5::Update(const BYTE* input, DWORD length) {
  const DWORD index = (bitCount_[0] >> 3) & 0x3F;
  const DWORD addedBits = length << 3;
  bitCount_[0] += addedBits;
  if (bitCount_[0] < addedBits) ++bitCount_[1];
  bitCount_[1] += length >> 29;

  const DWORD partLength = 64 - index;
  if (index != 0 && length < partLength) {
    std::memcpy(block_ + index, input, length);
    return;
  }
  DWORD done = 0;
  if (index != 0) {
    std::memcpy(block_ + index, input, partLength);
    Transform();
    done = partLength;
  }
  for (; length - done >= 64; done += 64) {
    std::memcpy(block_, input + done, 64);
    Transform();
  }
  std::memcpy(block_, input + done, length - done);
}

void cMD5::Final(BYTE digest[16]) {
  DWORD index = (bitCount_[0] >> 3) & 0x3F;
  block_[index++] = 0x80;
  if (index > 56) {  // no room for the bit count after the 0x80
    std::memset(block_ + index, 0, 64 - index);
    Transform();
    index = 0;
  }
  std::memset(block_ + index, 0, 56 - index);
  StoreLittleEndian(block_ + 56, bitCount_[0]);
  StoreLittleEndian(block_ + 60, bitCount_[1]);
  Transform();
  for (int i = 0; i < 4; ++i) StoreLittleEndian(digest + 4 * i, state_[i]);
  std::memset(state_, 0, sizeof state_);
  std::memset(bitCount_, 0, sizeof bitCount_);
  std::memset(block_, 0, sizeof block_);
}

const char* cMD5::HexDigest() {
  BYTE digest[16];
  Final(digest);
  hexDigest_[0] = '\0';
  for (int i = 0; i < 16; ++i) std::snprintf(hexDigest_ + 2 * i, 3, "%02x", digest[i]);
  return hexDigest_;
}

void cMD5::Transform() {
  DWORD x[16];
  for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian(block_ + 4 * i);
  DWORD a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  Round1(a, b, c, d, x);
  Round2(a, b, c, d, x);
  Round3(a, b, c, d, x);
  Round4(a, b, c, d, x);
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
}
