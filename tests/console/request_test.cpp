// Requests: made empty, named by literals that stay out of the name table, and
// ended through the routines that made their argument blocks.
#include <gtest/gtest.h>

#include <cstring>

#include "counting_routines.h"
#include "request.h"
#include "values/name_table.h"

namespace {

using ombrix::any_regular_t;
using ombrix::make_literal_name;
using ombrix::name_t;
using ombrix::string_t;
using ombrix::wyl_canvas::brisk_external_interface::ConstructRequest;
using ombrix::wyl_canvas::brisk_external_interface::DeleteRequest;
using ombrix::wyl_canvas::brisk_external_interface::DestroyRequest;
using ombrix::wyl_canvas::brisk_external_interface::request_t;

// Side A stands for the canvas library: a request filled there, with an
// argument block and a string block of its own routines.
request_t CanvasRequest(const char* name, const char* argument) {
  request_t request{make_literal_name(name), ombrix::vector<any_regular_t>(side_a::allocator())};
  request.arguments.push_back(any_regular_t(counted_string<side_a>(argument)));
  return request;
}

using Request = CountedBlocks;

TEST_F(Request, ConstructRequestMakesTheEmptyNameAndNoArgumentBlock) {
  alignas(request_t) unsigned char storage[sizeof(request_t)];
  std::memset(storage, 0xA5, sizeof storage);
  request_t* const place = reinterpret_cast<request_t*>(storage);
  request_t* const request = ConstructRequest(place);
  EXPECT_EQ(request, place);
  EXPECT_EQ(request->name, name_t());
  EXPECT_STREQ(request->name.c_str(), "");
  EXPECT_TRUE(request->arguments.empty());
  EXPECT_EQ(request->arguments.capacity(), 0u);  // no block
  DestroyRequest(*request);
  request->~request_t();
}

TEST_F(Request, DestroyRequestGivesTheBlocksBackThroughTheirRoutines) {
  request_t request = CanvasRequest("externalAppCreateFolder", "C:\\Users\\x\\AppData\\Ombrix");
  const char* const name = request.name.c_str();
  ASSERT_EQ(side_a::live.size(), 2u);  // the argument block and the string's block
  DestroyRequest(request);
  EXPECT_TRUE(side_a::live.empty());
  EXPECT_EQ(request.arguments.capacity(), 0u);
  EXPECT_EQ(request.name.c_str(), name);
}

TEST_F(Request, DeleteRequestEndsTheArgumentsAndTheRecord) {
  request_t* const request = ConstructRequest(new request_t);
  *request = CanvasRequest("qevCallBackQuitApp", "QuitApp");
  ASSERT_EQ(side_a::live.size(), 2u);
  DeleteRequest(request);
  EXPECT_TRUE(side_a::live.empty());
}

TEST_F(Request, RequestsWithoutArgumentsHaveNoBlockToFree) {
  request_t* const heap = ConstructRequest(new request_t);
  heap->name = make_literal_name("testFunction1");
  DeleteRequest(heap);
  request_t value{};
  ConstructRequest(&value);
  DestroyRequest(value);
  EXPECT_TRUE(side_a::requests.empty());
}

TEST_F(Request, ConsoleRequestsCarryCopiesOfTheirArguments) {
  request_t* const request = ConstructRequest(new request_t);
  request->name = make_literal_name("ContainerAppDoScroll");
  const any_regular_t down(true);
  request->arguments.push_back(down);
  const any_regular_t quit(counted_string<side_a>("QuitApp"));
  request->arguments.push_back(quit);
  ASSERT_EQ(request->arguments.size(), 2u);
  EXPECT_TRUE(request->arguments[0].cast<bool>());
  EXPECT_EQ(request->arguments[1].cast<string_t>().to_std_string(), "QuitApp");
  EXPECT_NE(request->arguments[1].cast<string_t>().c_str(), quit.cast<string_t>().c_str());
  DeleteRequest(request);
  EXPECT_EQ(side_a::live.size(), 1u);  // only the string of the local value is left
}

TEST(RequestName, ALiteralNameIsTheLiteralAndStaysOutOfTheNameTable) {
  static const char kLiteral[] = "qevCallBackReadyLiteralOnly";
  const std::size_t names_before = ombrix::name_table() == nullptr ? 0 : ombrix::name_table()->size();
  request_t request{};
  ConstructRequest(&request);
  request.name = make_literal_name(kLiteral);
  EXPECT_EQ(request.name.c_str(), kLiteral);
  EXPECT_STREQ(request.name.c_str(), "qevCallBackReadyLiteralOnly");
  EXPECT_EQ(ombrix::name_table() == nullptr ? 0 : ombrix::name_table()->size(), names_before);
  // Interning the same text now pools a copy of its own: the literal was not
  // entered.
  const name_t interned("qevCallBackReadyLiteralOnly");
  EXPECT_NE(interned.c_str(), kLiteral);
  EXPECT_NE(interned, request.name);
  DestroyRequest(request);
}

}  // namespace
