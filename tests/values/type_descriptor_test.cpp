#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "values/string.h"
#include "values/type_descriptor.h"

namespace {

using ombrix::append_type_name;
using ombrix::bad_cast;
using ombrix::same_type;
using ombrix::type_descriptor_t;

const type_descriptor_t bool_a = {nullptr, "bool", {}};
const type_descriptor_t bool_b = {nullptr, "bool", {}};
const type_descriptor_t double_d = {nullptr, "double", {}};
const type_descriptor_t int_identity = {&typeid(int), "int", {}};
const type_descriptor_t int_identity_renamed = {&typeid(int), "other", {}};
const type_descriptor_t long_identity = {&typeid(long), "int", {}};
const type_descriptor_t int_by_name = {nullptr, "int", {}};
const type_descriptor_t vector_none = {nullptr, "vector", {}};
const type_descriptor_t vector_bool_a = {nullptr, "vector", {&bool_a}};
const type_descriptor_t vector_bool_b = {nullptr, "vector", {&bool_b}};
const type_descriptor_t vector_double = {nullptr, "vector", {&double_d}};
const type_descriptor_t vector_bool_bool = {nullptr, "vector", {&bool_a, &bool_b}};
const type_descriptor_t map_of_bools = {nullptr, "map", {&vector_bool_a, &double_d}};
const type_descriptor_t map_of_doubles = {nullptr, "map", {&vector_double, &double_d}};
const type_descriptor_t int_identity_with_parameter = {&typeid(int), "int", {&bool_a}};
const type_descriptor_t string_identity = {&typeid(ombrix::string_t), "string_t", {}};

// An identity whose name the run-time's demangler does not read.
struct unmangled_identity : std::type_info {
  explicit unmangled_identity(const char* name) : std::type_info(name) {}
};
const unmangled_identity plain_name("plain name");
const type_descriptor_t plain_identity = {&plain_name, "other", {}};

TEST(SameType, DecidesByIdentityWhenThereIsOneAndOtherwiseByNameAndParameters) {
  struct Case {
    const char* what;
    const type_descriptor_t& a;
    const type_descriptor_t& b;
    bool same;
  };
  const Case cases[] = {
      {"one record", bool_a, bool_a, true},
      {"two records of one name", bool_a, bool_b, true},
      {"different names", bool_a, double_d, false},
      {"equal identities, names aside", int_identity, int_identity_renamed, true},
      {"different identities", int_identity, long_identity, false},
      {"identity against none", int_identity, int_by_name, false},
      {"none against identity", int_by_name, int_identity, false},
      {"parameters alike by name", vector_bool_a, vector_bool_b, true},
      {"parameters of different types", vector_bool_a, vector_double, false},
      {"a longer parameter list", vector_bool_a, vector_bool_bool, false},
      {"a shorter parameter list", vector_bool_bool, vector_bool_a, false},
      {"no parameters against one", vector_none, vector_bool_a, false},
      {"nested parameters differ", map_of_bools, map_of_doubles, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(same_type(c.a, c.b), c.same);
  }
}

TEST(AppendTypeName, WritesTheNameWithItsParametersWithoutBlanks) {
  struct Case {
    const type_descriptor_t& d;
    std::string expected;
  };
  const Case cases[] = {
      {bool_a, "bool"},
      {vector_double, "vector<double>"},
      {vector_bool_bool, "vector<bool,bool>"},
      {map_of_bools, "map<vector<bool>,double>"},
      {int_identity_with_parameter, "int"},  // the identity's readable name alone
      {string_identity, "ombrix::version_1::string_t"},
      {plain_identity, "plain name"},  // as it stands when it cannot be demangled
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    std::string text = "type ";
    append_type_name(c.d, text);
    EXPECT_EQ(text, "type " + c.expected);
  }
}

TEST(BadCast, MessageNamesTheTypeCastFromAndTo) {
  const bad_cast error({&map_of_bools}, {&bool_a});
  EXPECT_STREQ(error.what(), "bad_cast: map<vector<bool>,double> -> bool");
  const bad_cast copy(error);
  EXPECT_STREQ(copy.what(), error.what());
  const std::bad_cast& base = copy;
  EXPECT_STREQ(base.what(), error.what());
  EXPECT_STREQ(bad_cast({&long_identity}, {&string_identity}).what(),
               "bad_cast: long -> ombrix::version_1::string_t");
}

}  // namespace
