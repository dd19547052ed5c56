#include <gtest/gtest.h>

#include "win32.h"

namespace {

// Only lower bounds: a busy machine may sleep longer, never shorter.
TEST(Sleep, LastsAtLeastTheMillisecondsGivenOnTheTickCount) {
  for (const DWORD milliseconds : {0u, 1u, 30u}) {
    const DWORD start = GetTickCount();
    Sleep(milliseconds);
    EXPECT_GE(GetTickCount() - start, milliseconds) << milliseconds;
  }
}

TEST(GetTickCount, NeverGoesBackWithinARun) {
  DWORD previous = GetTickCount();
  for (int i = 0; i < 1000; ++i) {
    const DWORD now = GetTickCount();
    EXPECT_LT(now - previous, 60000u) << "went back and wrapped";
    previous = now;
  }
}

}  // namespace
