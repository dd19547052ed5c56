#include "values/assert.h"

#include <cstdio>
#include <cstdlib>

namespace ombrix {

void assertion_failed(const char* text, const char* file, int line) noexcept {
  std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, text);
  std::fflush(stderr);
  std::abort();
}

}  // namespace ombrix
