// Assertions for programming errors. They stay active in every build type:
// a failed one prints its text with the place and aborts the program.
#ifndef OMBRIX_VALUES_ASSERT_H
#define OMBRIX_VALUES_ASSERT_H

namespace ombrix {

// Writes "<file>:<line>: assertion failed: <text>" to standard error, then aborts.
[[noreturn]] void assertion_failed(const char* text, const char* file, int line) noexcept;

}  // namespace ombrix

#define OMBRIX_ASSERT_MSG(condition, text) \
  ((condition) ? static_cast<void>(0) : ::ombrix::assertion_failed(text, __FILE__, __LINE__))

#define OMBRIX_ASSERT(condition) OMBRIX_ASSERT_MSG(condition, #condition)

#endif
