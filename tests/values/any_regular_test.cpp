#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "counting_routines.h"
#include "values/any_regular.h"

namespace {

using ombrix::any_regular_t;
using ombrix::bad_cast;
using ombrix::string_t;
using ombrix::type_descriptor_t;
using ombrix::type_handle_t;
using ombrix::value_model_t;

template <typename T>
T bytes_at(const any_regular_t& value, std::size_t offset) {
  T result;
  std::memcpy(&result, reinterpret_cast<const unsigned char*>(&value) + offset, sizeof result);
  return result;
}

TEST(AnyRegularLayout, ModelAtByteZeroAndTheValueInPlaceAtByteEight) {
  const any_regular_t number(1.5);
  EXPECT_EQ(bytes_at<const void*>(number, 0), number.model());
  EXPECT_EQ(bytes_at<double>(number, 8), 1.5);
  EXPECT_EQ(bytes_at<unsigned char>(any_regular_t(true), 8), 1);
  EXPECT_EQ(bytes_at<unsigned char>(any_regular_t(false), 8), 0);
  // A string is its block pointer; its bytes follow the block's four-word header.
  const any_regular_t text(string_t("abc"));
  const auto* block = bytes_at<const unsigned char*>(text, 8);
  EXPECT_EQ(static_cast<const void*>(block + 4 * sizeof(void*)),
            static_cast<const void*>(text.cast<string_t>().c_str()));
}

TEST(AnyRegularModels, NameTheirTypesWithoutIdentityAndHoldVersionOne) {
  struct Case {
    any_regular_t value;
    const char* name;
  };
  const Case cases[] = {
      {any_regular_t(string_t("x")), "string_t:version_1:ombrix"},
      {any_regular_t(true), "bool"},
      {any_regular_t(0.0), "double"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const type_handle_t type = c.value.type();
    EXPECT_STREQ(type.descriptor->name, c.name);
    EXPECT_EQ(type.descriptor->identity, nullptr);
    EXPECT_EQ(type.descriptor->parameters[0], nullptr);
    EXPECT_EQ(c.value.model()->version, 1u);
  }
}

using AnyRegular = CountedBlocks;

TEST_F(AnyRegular, MadeFromAStringTakesItsBlockOver) {
  string_t text = counted_string<side_a>("abc");
  const char* const bytes = text.c_str();
  const any_regular_t value(std::move(text));
  EXPECT_EQ(text.capacity(), 0u);
  EXPECT_EQ(value.cast<string_t>().c_str(), bytes);
  EXPECT_EQ(side_a::live.size(), 1u);
}

TEST_F(AnyRegular, CopyOfAStringValueKeepsTheRoutinesOfTheStringCopied) {
  const any_regular_t value(counted_string<side_a>("abc"));
  const any_regular_t copy(value);
  const string_t& copied = copy.cast<string_t>();
  EXPECT_EQ(copied.to_std_string(), "abc");
  EXPECT_NE(copied.c_str(), value.cast<string_t>().c_str());
  EXPECT_EQ(copied.get_allocator(), side_a::allocator());
  EXPECT_EQ(side_a::live.size(), 2u);
}

TEST_F(AnyRegular, MovedFromStringValueHoldsAnEmptyStringWithoutABlock) {
  any_regular_t source(counted_string<side_a>("abc"));
  {
    const any_regular_t moved(std::move(source));
    EXPECT_EQ(moved.cast<string_t>().to_std_string(), "abc");
    const string_t& left = source.cast<string_t>();
    EXPECT_EQ(left.capacity(), 0u);
    EXPECT_EQ(left, string_t());
  }
  EXPECT_TRUE(side_a::live.empty());  // the moved value released it; source has nothing
}

TEST(AnyRegularClone, IntoANullDestinationGivesNullForEveryModel) {
  const any_regular_t values[] = {any_regular_t(string_t("x")), any_regular_t(true),
                                  any_regular_t(1.0)};
  for (const any_regular_t& v : values) {
    SCOPED_TRACE(v.type().descriptor->name);
    EXPECT_EQ(v.model()->clone(&v, nullptr), nullptr);
  }
}

TEST_F(AnyRegular, FailedCloneLeavesTheDestinationUntouched) {
  const any_regular_t source(counted_string<side_a>("abc"));
  alignas(any_regular_t) unsigned char raw[sizeof(any_regular_t)];
  std::memset(raw, 0x5A, sizeof raw);
  side_a::refuse = true;
  EXPECT_THROW(source.model()->clone(&source, reinterpret_cast<any_regular_t*>(raw)),
               std::bad_alloc);
  side_a::refuse = false;
  for (unsigned char byte : raw) EXPECT_EQ(byte, 0x5A);
}

TEST_F(AnyRegular, AssignCopiesTheValueAndGivesTheOldBlockBack) {
  any_regular_t target(counted_string<side_a>("old"));
  const any_regular_t source(counted_string<side_b>("new"));
  target.model()->assign(&target, &source);
  EXPECT_EQ(target.cast<string_t>().to_std_string(), "new");
  EXPECT_EQ(target.cast<string_t>().get_allocator(), side_b::allocator());
  EXPECT_TRUE(side_a::live.empty());
}

TEST_F(AnyRegular, FailedAssignKeepsTheOldValue) {
  any_regular_t target(counted_string<side_a>("old"));
  const any_regular_t source(counted_string<side_b>("new"));
  side_b::refuse = true;
  EXPECT_THROW(target.model()->assign(&target, &source), std::bad_alloc);
  side_b::refuse = false;
  EXPECT_EQ(target.cast<string_t>().to_std_string(), "old");
  EXPECT_EQ(side_a::live.size(), 1u);
}

TEST(AnyRegularEquality, ComparesTypesThenValuesByTheModel) {
  const double nan = std::nan("");
  struct Case {
    const char* what;
    any_regular_t a;
    any_regular_t b;
    bool equal;
  };
  const Case cases[] = {
      {"equal strings", any_regular_t(string_t("ab")), any_regular_t(string_t("ab")), true},
      {"different strings", any_regular_t(string_t("ab")), any_regular_t(string_t("abc")), false},
      {"equal bools", any_regular_t(true), any_regular_t(true), true},
      {"different bools", any_regular_t(true), any_regular_t(false), false},
      {"equal doubles", any_regular_t(1.0), any_regular_t(1.0), true},
      {"different doubles", any_regular_t(1.0), any_regular_t(2.0), false},
      {"NaN and NaN", any_regular_t(nan), any_regular_t(nan), false},
      {"signed zeros", any_regular_t(0.0), any_regular_t(-0.0), true},
      {"a bool and a double", any_regular_t(true), any_regular_t(1.0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.a == c.b, c.equal);
  }
  const any_regular_t not_a_number(nan);
  EXPECT_NE(not_a_number, any_regular_t(not_a_number));
}

TEST(AnyRegularExchange, SwapsTheHeldValues) {
  any_regular_t first(string_t("first"));
  any_regular_t second(string_t("second"));
  const char* const first_bytes = first.cast<string_t>().c_str();
  first.model()->exchange(&first, &second);
  EXPECT_EQ(second.cast<string_t>().c_str(), first_bytes);
  EXPECT_EQ(first.cast<string_t>().to_std_string(), "second");
  any_regular_t one(1.0);
  any_regular_t two(2.0);
  one.model()->exchange(&one, &two);
  EXPECT_EQ(one.cast<double>(), 2.0);
  EXPECT_EQ(two.cast<double>(), 1.0);
}

TEST(AnyRegularCast, OtherTypesThrowBadCastNamingBothTypes) {
  struct Case {
    any_regular_t value;
    void (*cast)(const any_regular_t&);
    const char* message;
  };
  const auto to_string = [](const any_regular_t& v) { v.cast<string_t>(); };
  const auto to_double = [](const any_regular_t& v) { v.cast<double>(); };
  const Case cases[] = {
      {any_regular_t(true), to_string, "bad_cast: bool -> string_t:version_1:ombrix"},
      {any_regular_t(2.0), to_string, "bad_cast: double -> string_t:version_1:ombrix"},
      {any_regular_t(string_t("x")), to_double, "bad_cast: string_t:version_1:ombrix -> double"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      c.cast(c.value);
      ADD_FAILURE() << "no exception";
    } catch (const std::bad_cast& e) {
      EXPECT_STREQ(e.what(), c.message);
      const bad_cast copy(dynamic_cast<const bad_cast&>(e));
      EXPECT_STREQ(copy.what(), c.message);
    }
  }
  const any_regular_t flag(true);
  EXPECT_THROW(flag.cast<string_t>(), std::exception);
  EXPECT_EQ(flag.cast<bool>(), true);
}

// Stands for the string table of another library: its own record of the
// same type, named alike, and a type routine that gives it.
const type_descriptor_t foreign_string_descriptor = {nullptr, "string_t:version_1:ombrix", {}};

value_model_t foreign_string_model(const value_model_t& ours) {
  value_model_t model = ours;
  model.type = [](const any_regular_t*) { return type_handle_t{&foreign_string_descriptor}; };
  return model;
}

TEST(AnyRegularCast, AStringValueOfAnotherLibraryCastsByItsDescriptorsName) {
  const value_model_t foreign = foreign_string_model(*any_regular_t(string_t()).model());
  any_regular_t value(string_t("QuitApp"));
  value.set_model(&foreign);
  EXPECT_NE(value.type().descriptor, ombrix::type_of<string_t>().descriptor);
  EXPECT_EQ(value.cast<string_t>().to_std_string(), "QuitApp");
}

}  // namespace
