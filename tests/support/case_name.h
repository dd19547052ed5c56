// Parameterised cases named, and printed, by their label field.
#ifndef OMBRIX_TESTS_CASE_NAME_H
#define OMBRIX_TESTS_CASE_NAME_H

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace ombrix_test {

template <class Case>
std::string case_name(const ::testing::TestParamInfo<Case>& info) {
  return info.param.label;
}

}  // namespace ombrix_test

// Prints a case by its label; a test file brings it into its own namespace
// (using ::operator<<) so that argument-dependent lookup finds it there.
template <class Case>
auto operator<<(std::ostream& out, const Case& c) -> decltype(out << c.label) {
  return out << c.label;
}

#endif
