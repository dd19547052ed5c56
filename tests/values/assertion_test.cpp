#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "values/any_regular.h"
#include "values/name.h"
#include "values/vector.h"

namespace {

using ombrix::any_regular_t;
using ombrix::vector;

// The text as a regular expression that matches it literally.
std::string literally(const std::string& text) {
  std::string pattern;
  for (char c : text) {
    if (std::strchr("\\^$.|?*+()[{", c) != nullptr) pattern += '\\';
    pattern += c;
  }
  return pattern;
}

TEST(AssertionDeathTest, ProgrammingErrorsStopTheProgramWithTheFailedCondition) {
  struct Case {
    const char* file;
    const char* text;
    void (*fault)();
  };
  const Case cases[] = {
      {"name.h", "Null string_name in name_t", [] { ombrix::make_literal_name(nullptr); }},
      {"vector.h", "n < size()",
       [] {
         vector<any_regular_t> values;
         values.push_back(any_regular_t(true));
         (void)values[1];
       }},
      {"vector.h", "!empty()", [] { vector<char>().pop_back(); }},
      {"vector.h", "header_m != 0 || x == 0",
       [] {
         char byte = 0;
         vector<char>().set_finish(&byte);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DEATH(c.fault(), literally(c.file) + ":[0-9]+: assertion failed: " + literally(c.text));
  }
}

}  // namespace
