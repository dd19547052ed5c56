// Each case runs in a freshly started copy of this program, where no name
// has been made yet, and reports what it saw on standard error.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <new>

#include "refusable_allocation.h"
#include "values/name.h"
#include "values/name_table.h"

namespace {

using ombrix::name_t;
using ombrix::name_table;

const char* table_state() { return name_table() ? "made" : "absent"; }

[[noreturn]] void make_empty_names_then_one() {
  std::fprintf(stderr, "at start: %s\n", table_state());
  const name_t empty_names[] = {name_t(nullptr), name_t(""), name_t()};
  std::fprintf(stderr, "after %zu empty names: %s\n", std::size(empty_names), table_state());
  const name_t first("first");
  std::fprintf(stderr, "after \"%s\": %s\n", first.c_str(), table_state());
  std::exit(0);
}

// Refuses the allocation after `allowed` ones while making the first name,
// then makes it again.
[[noreturn]] void make_a_name_with_a_refusal(int allowed) {
  refuse_allocation_after(allowed);
  try {
    const name_t refused("first");
    std::fprintf(stderr, "not refused\n");
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "refused: %s\n", table_state());
  }
  const name_t again("first");
  std::fprintf(stderr, "again \"%s\": %s, %zu name\n", again.c_str(), table_state(),
               name_table()->size());
  std::exit(0);
}

// Exit handlers run in reverse order of registration: one registered before
// the table is made runs after the table's own.
void report_table_at_exit() {
  std::fprintf(stderr, "at exit: %s\n", table_state());
  std::fflush(stderr);
  std::_Exit(0);
}

[[noreturn]] void make_a_name_and_exit() {
  std::atexit(report_table_at_exit);
  const name_t first("first");
  std::fprintf(stderr, "made: %s\n", table_state());
  std::exit(0);
}

class NameTableLifecycle : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(NameTableLifecycle, EmptyTextsNeverMakeTheTableAndTheFirstNameDoes) {
  EXPECT_EXIT(make_empty_names_then_one(), ::testing::ExitedWithCode(0),
              "at start: absent\nafter 3 empty names: absent\nafter \"first\": made\n");
}

TEST_F(NameTableLifecycle, AFailedCreationIsTakenBackAndTheNextNameTriesAgain) {
  EXPECT_EXIT(make_a_name_with_a_refusal(0), ::testing::ExitedWithCode(0),
              "refused: absent\nagain \"first\": made, 1 name\n");
}

TEST_F(NameTableLifecycle, ANameRefusedAfterCreationLeavesTheTableMade) {
  // The table is made; its first pool block is refused.
  EXPECT_EXIT(make_a_name_with_a_refusal(1), ::testing::ExitedWithCode(0),
              "refused: made\nagain \"first\": made, 1 name\n");
}

TEST_F(NameTableLifecycle, TheTableIsDestroyedAtExit) {
  EXPECT_EXIT(make_a_name_and_exit(), ::testing::ExitedWithCode(0),
              "made: made\nat exit: absent\n");
}

}  // namespace
