#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <memory>
#include <thread>

#include "canvas_fixture.h"
#include "case_name.h"
#include "request_text.h"
#include "sandbox.h"
#include "temp_folder.h"

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

// How the canvas's reading of the text ended, after ten seconds at most: a
// reading still running then is left to itself on its thread.
std::string outcome_of_reading(const std::string& text) {
  auto outcome = std::make_shared<std::promise<std::string>>();
  std::future<std::string> ended = outcome->get_future();
  std::thread([text, outcome] {
    try {
      canvas::request_t request = read(text);
      canvas::DestroyRequest(request);
      outcome->set_value("read");
    } catch (const std::runtime_error&) {
      outcome->set_value("refused");
    } catch (...) {
      outcome->set_value("failed otherwise");
    }
  }).detach();
  return ended.wait_for(std::chrono::seconds(10)) == std::future_status::ready ? ended.get() : "still reading";
}

// Whether a file was opened since the watch began, or since the last question.
class OpenWatch {
 public:
  explicit OpenWatch(const std::string& path) : fd_(::inotify_init1(IN_NONBLOCK)) {
    watching_ = fd_ >= 0 && ::inotify_add_watch(fd_, path.c_str(), IN_OPEN) >= 0;
  }
  ~OpenWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenWatch(const OpenWatch&) = delete;
  OpenWatch& operator=(const OpenWatch&) = delete;

  bool watching() const { return watching_; }
  bool opened() {
    alignas(inotify_event) char events[4096];
    bool any = false;
    while (::read(fd_, events, sizeof events) > 0) any = true;
    return any;
  }

 private:
  int fd_;
  bool watching_ = false;
};

// Entities nested levels deep, each ten references to the one below it, the
// innermost ten characters: a text of 10^(levels+1) characters once expanded.
std::string nested_entities(int levels) {
  std::string declarations = "<!ENTITY e0 \"0123456789\">";
  for (int level = 1; level <= levels; ++level) {
    std::string references;
    for (int i = 0; i < 10; ++i) references += "&e" + std::to_string(level - 1) + ";";
    declarations += "<!ENTITY e" + std::to_string(level) + " \"" + references + "\">";
  }
  return "<!DOCTYPE request [" + declarations + "]><request name=\"n\" call=\"1\"><text>&e" +
         std::to_string(levels) + ";</text></request>";
}

struct document_type_case {
  const char* label;
  std::string text;  // "{file}" stands for the path of a file of the test
};

class DocumentType : public ::testing::TestWithParam<document_type_case> {};

// A document type is refused before anything in it is used: no entity is
// expanded, no file it names is opened.
TEST_P(DocumentType, IsRefusedBeforeAnEntityIsExpandedOrAFileOpened) {
  const ombrix_test::TempFolder folder;
  const std::string file = folder.file("declarations.dtd");
  ombrix_test::write_file(file, "<!ENTITY outside \"x\">");
  OpenWatch watch(file);
  ASSERT_TRUE(watch.watching());
  std::string text = GetParam().text;
  if (const auto at = text.find("{file}"); at != std::string::npos) text.replace(at, 6, file);

  EXPECT_EQ(outcome_of_reading(text), "refused");
  EXPECT_FALSE(watch.opened());
  std::ifstream(file).close();
  EXPECT_TRUE(watch.opened()) << "the watch sees no open at all";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DocumentType,
    ::testing::Values(
        document_type_case{"nested_entities", nested_entities(7)},
        document_type_case{"external_entity",
                           "<!DOCTYPE request [<!ENTITY e SYSTEM \"{file}\">]>"
                           "<request name=\"n\" call=\"1\"><text>&e;</text></request>"},
        document_type_case{"external_parameter_entity",
                           "<!DOCTYPE request [<!ENTITY % p SYSTEM \"{file}\"> %p;]><request name=\"n\" call=\"1\"/>"},
        document_type_case{"external_subset", "<!DOCTYPE request SYSTEM \"{file}\"><request name=\"n\" call=\"1\"/>"}),
    ombrix_test::case_name<document_type_case>);

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
