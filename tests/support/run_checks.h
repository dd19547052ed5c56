// The first check of most end-to-end tests: the program ended by itself, within
// its time and by no signal, with the status expected.
#ifndef OMBRIX_TESTS_RUN_CHECKS_H
#define OMBRIX_TESTS_RUN_CHECKS_H

#include <gtest/gtest.h>

#include "sandbox.h"

namespace ombrix_test {

// A failure says how the run ended instead and what it wrote to stderr.
inline ::testing::AssertionResult ended_with(const RunResult& run, int status) {
  if (run.timed_out) return ::testing::AssertionFailure() << "timed out; stderr: " << run.err;
  if (run.signal != 0) return ::testing::AssertionFailure() << "ended by signal " << run.signal << "; stderr: " << run.err;
  if (run.exit_status != status) {
    return ::testing::AssertionFailure() << "ended with " << run.exit_status << ", not " << status << "; stderr: " << run.err;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace ombrix_test

#endif
