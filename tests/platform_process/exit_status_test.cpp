// How a POSIX wait status and a reported whole code become a Windows exit code.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include "startup_channel.h"

namespace {

struct StatusCase {
  int wait_status;
  bool reported;
  DWORD reported_code;
  DWORD code;
};

class ExitCodeFromStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ExitCodeFromStatus, PrefersTheReportedCodeAndMapsSignals) {
  const auto& c = GetParam();
  EXPECT_EQ(winlayer::exit_code_from_status(c.wait_status, c.reported, c.reported_code), c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitCodeFromStatus,
    ::testing::Values(StatusCase{W_EXITCODE(0, 0), false, 0, 0}, StatusCase{W_EXITCODE(7, 0), false, 0, 7},
                      StatusCase{W_EXITCODE(194, 0), true, 3010, 3010},
                      StatusCase{W_EXITCODE(0xFE, 0), true, 0xFFFFFFFEu, 0xFFFFFFFEu},
                      // A report that does not fit the status is not this child's.
                      StatusCase{W_EXITCODE(3, 0), true, 3010, 3},
                      // A child that reported and then crashed ends by the crash.
                      StatusCase{W_EXITCODE(0, SIGSEGV), true, 0, 0xC0000005u},
                      StatusCase{W_EXITCODE(0, SIGKILL), false, 0, 1}));

struct SignalCase {
  int signal_number;
  DWORD code;
};

class ExitCodeForSignal : public ::testing::TestWithParam<SignalCase> {};

TEST_P(ExitCodeForSignal, IsTheStatusCodeOfTheSameEndOnWindows) {
  EXPECT_EQ(winlayer::exit_code_for_signal(GetParam().signal_number), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExitCodeForSignal,
                         ::testing::Values(SignalCase{SIGSEGV, 0xC0000005u}, SignalCase{SIGBUS, 0xC0000005u},
                                           SignalCase{SIGILL, 0xC000001Du}, SignalCase{SIGFPE, 0xC0000094u},
                                           SignalCase{SIGABRT, 3}, SignalCase{SIGKILL, 1}, SignalCase{SIGTERM, 1},
                                           SignalCase{SIGINT, 0xC000013Au}, SignalCase{SIGHUP, 1}));

}  // namespace
