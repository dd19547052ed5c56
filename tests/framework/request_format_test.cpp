#include <gtest/gtest.h>

#include "canvas_fixture.h"
#include "case_name.h"
#include "request_text.h"

namespace {

using ::operator<<;
using ombrix::any_regular_t;
using ombrix::string_t;

struct round_trip_case {
  const char* label;
  std::vector<wyl::operand_t> operands;
};

class RequestRoundTrip : public ::testing::TestWithParam<round_trip_case> {};

// What the player writes, the canvas reads back: the name, the call's
// identifier at index 0 and each operand after it with its type and value.
TEST_P(RequestRoundTrip, GivesTheNameTheCallAndEveryOperand) {
  const std::vector<wyl::operand_t>& operands = GetParam().operands;
  canvas::request_t request = read(wyl::write_request_text({"externalShowHelp", "17", operands}));
  EXPECT_STREQ(request.name.c_str(), "externalShowHelp");
  ASSERT_EQ(request.arguments.size(), operands.size() + 1);
  EXPECT_EQ(request.arguments[0].cast<string_t>().to_std_string(), "17");
  for (std::size_t i = 0; i < operands.size(); ++i) {
    const any_regular_t& argument = request.arguments[i + 1];
    switch (operands[i].kind) {
      case wyl::operand_t::text:
        EXPECT_EQ(argument.cast<string_t>().to_std_string(), operands[i].characters) << i;
        break;
      case wyl::operand_t::number: EXPECT_EQ(argument.cast<double>(), operands[i].value) << i; break;
      case wyl::operand_t::boolean: EXPECT_EQ(argument.cast<bool>(), operands[i].truth) << i; break;
    }
  }
  canvas::DestroyRequest(request);
}

INSTANTIATE_TEST_SUITE_P(
    Operands, RequestRoundTrip,
    ::testing::Values(
        round_trip_case{"none", {}},
        round_trip_case{"every_type", {wyl::text_operand("C:\\Help\\a.chm"), wyl::number_operand(-2.5),
                                       wyl::boolean_operand(true), wyl::boolean_operand(false)}},
        round_trip_case{"empty_text", {wyl::text_operand("")}},
        round_trip_case{"non_ascii", {wyl::text_operand("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80")}},
        round_trip_case{"markup_characters", {wyl::text_operand("a & b < c > d \"e\" 'f' &amp;")}},
        round_trip_case{"line_ends_and_blanks", {wyl::text_operand("  a\r\nb\tc  ")}},
        round_trip_case{"numbers", {wyl::number_operand(0), wyl::number_operand(1e300), wyl::number_operand(0.1)}}),
    ombrix_test::case_name<round_trip_case>);

TEST(RequestText, IsTheDocumentedForm) {
  EXPECT_EQ(wyl::write_request_text({"a\"b", "3", {wyl::text_operand("x<y"), wyl::number_operand(2),
                                                   wyl::boolean_operand(false)}}),
            "<request name=\"a&quot;b\" call=\"3\"><text>x&lt;y</text><number>2</number>"
            "<boolean>false</boolean></request>");
}

TEST(ReadRequest, AcceptsBlanksBetweenOperandsAndADeclaration) {
  canvas::request_t request = read("<?xml version=\"1.0\"?>\n<request call=\"1\" name=\"n\">\n  "
                                   "<number>4</number>\n  <text><![CDATA[<&>]]></text>\n</request>\n");
  ASSERT_EQ(request.arguments.size(), 3u);
  EXPECT_EQ(request.arguments[1].cast<double>(), 4.0);
  EXPECT_EQ(request.arguments[2].cast<string_t>().to_std_string(), "<&>");
  canvas::DestroyRequest(request);
}

struct malformed_case {
  const char* label;
  const char* text;
};

class MalformedRequest : public ::testing::TestWithParam<malformed_case> {};

TEST_P(MalformedRequest, Throws) { EXPECT_THROW(read(GetParam().text), std::runtime_error); }

INSTANTIATE_TEST_SUITE_P(
    Texts, MalformedRequest,
    ::testing::Values(
        malformed_case{"empty", ""},
        malformed_case{"not_xml", "externalAppExit"},
        malformed_case{"unclosed", "<request name=\"a\" call=\"1\">"},
        malformed_case{"bare_ampersand", "<request name=\"a\" call=\"1\"><text>a & b</text></request>"},
        malformed_case{"other_root", "<call name=\"a\" call=\"1\"/>"},
        malformed_case{"no_name", "<request call=\"1\"/>"},
        malformed_case{"no_call", "<request name=\"a\"/>"},
        malformed_case{"extra_attribute", "<request name=\"a\" call=\"1\" x=\"2\"/>"},
        malformed_case{"unknown_operand", "<request name=\"a\" call=\"1\"><date>1</date></request>"},
        malformed_case{"bad_number", "<request name=\"a\" call=\"1\"><number>1x</number></request>"},
        malformed_case{"empty_number", "<request name=\"a\" call=\"1\"><number/></request>"},
        malformed_case{"number_with_blanks", "<request name=\"a\" call=\"1\"><number> 4</number></request>"},
        malformed_case{"bad_boolean", "<request name=\"a\" call=\"1\"><boolean>yes</boolean></request>"},
        malformed_case{"nested_element", "<request name=\"a\" call=\"1\"><text><b/></text></request>"},
        malformed_case{"operand_attribute", "<request name=\"a\" call=\"1\"><text x=\"1\">a</text></request>"},
        malformed_case{"stray_text", "<request name=\"a\" call=\"1\">loose<text>a</text></request>"},
        malformed_case{"document_type", "<!DOCTYPE request []><request name=\"a\" call=\"1\"/>"},
        malformed_case{"two_roots", "<request name=\"a\" call=\"1\"/><request name=\"b\" call=\"2\"/>"},
        malformed_case{"broken_utf8", "<request name=\"a\" call=\"1\"><text>\xC3</text></request>"}),
    ombrix_test::case_name<malformed_case>);

TEST(WriteResponse, WritesTextsEscapedBetweenStringTags) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "<string></string>"},
      {"en_US", "<string>en_US</string>"},
      {"C:\\a&b<c>d\"e", "<string>C:\\a&amp;b&lt;c&gt;d\"e</string>"},
      {"\xC3\xA9", "<string>\xC3\xA9</string>"}};
  for (const auto& [text, reply] : cases) {
    EXPECT_EQ(canvas::write_response(string_t(text)).to_std_string(), reply) << text;
  }
}

TEST(WriteResponse, WritesNumbersAndBooleansInTheirOwnForms) {
  EXPECT_EQ(canvas::write_response(any_regular_t(0.0)).to_std_string(), "<number>0</number>");
  EXPECT_EQ(canvas::write_response(any_regular_t(-1.0)).to_std_string(), "<number>-1</number>");
  EXPECT_EQ(canvas::write_response(any_regular_t(2.5)).to_std_string(), "<number>2.5</number>");
  EXPECT_EQ(canvas::write_response(any_regular_t(true)).to_std_string(), "<true/>");
  EXPECT_EQ(canvas::write_response(any_regular_t(false)).to_std_string(), "<false/>");
}

TEST(WriteResponse, RefusesAValueOfAnotherType) {
  EXPECT_THROW(canvas::write_response(any_regular_t(string_t("text"))), std::runtime_error);
}

}  // namespace
