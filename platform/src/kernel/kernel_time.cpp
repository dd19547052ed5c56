// Kernel time: sleeping and the system tick count.
#include <time.h>

#include <cerrno>

#include "winlayer/kernel.h"

void WINAPI Sleep(DWORD dwMilliseconds) {
  timespec remaining = {static_cast<time_t>(dwMilliseconds / 1000),
                        static_cast<long>(dwMilliseconds % 1000) * 1000000L};
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

DWORD WINAPI GetTickCount() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  const unsigned long long ms =
      static_cast<unsigned long long>(now.tv_sec) * 1000ull + static_cast<unsigned long long>(now.tv_nsec) / 1000000ull;
  return static_cast<DWORD>(ms);
}
