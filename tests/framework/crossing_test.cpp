// Values and blocks crossing the canvas boundary both ways: each goes back to
// the side that made it, through the routines it carries.
#include <gtest/gtest.h>

#include "canvas_fixture.h"
#include "request_text.h"

namespace {

using ombrix::any_regular_t;
using ombrix::string_t;

std::string two_operand_request() {
  return wyl::write_request_text({"externalShowHelp", "1", {wyl::text_operand("C:\\long enough to need a block"),
                                                            wyl::boolean_operand(true)}});
}

TEST_F(CanvasBoundary, ARequestOfTheCanvasIsMadeWithItsRoutinesAndEndedByTheHost) {
  const int live_before = canvas_blocks().first;
  canvas::request_t request = read(two_operand_request());
  // The argument block and the two strings (call identifier and text).
  EXPECT_EQ(canvas_blocks().first, live_before + 3);
  EXPECT_NE(request.arguments.get_allocator(), ombrix::capture_allocator());
  EXPECT_NE(request.arguments[1].cast<string_t>().get_allocator(), ombrix::capture_allocator());
  // The canvas's own value models, not the host's, for the same types.
  EXPECT_NE(request.arguments[1].model(), any_regular_t(string_t("x")).model());
  EXPECT_NE(request.arguments[2].model(), any_regular_t(false).model());
  canvas::DestroyRequest(request);
  EXPECT_EQ(canvas_blocks().first, live_before);
}

TEST_F(CanvasBoundary, HostCopiesOfCanvasValuesAreEndedThroughTheCanvasRoutines) {
  canvas::request_t request = read(two_operand_request());
  {
    const any_regular_t copy = request.arguments[1];
    const string_t text = request.arguments[1].cast<string_t>();
    EXPECT_EQ(copy, request.arguments[1]);
    EXPECT_EQ(text.get_allocator(), request.arguments[1].cast<string_t>().get_allocator());
    ombrix::vector<any_regular_t> held(side_a::allocator());
    held.push_back(request.arguments[2]);
    held.push_back(copy);
    EXPECT_EQ(side_a::live.size(), 1u);  // only the host's own vector block
  }
  canvas::DestroyRequest(request);
}

TEST_F(CanvasBoundary, RepliesAreCanvasStringsTheHostFrees) {
  const int live_before = canvas_blocks().first;
  {
    const string_t host_text = counted_string<side_a>("C:\\Users\\a&b");
    const string_t reply = canvas::write_response(host_text);
    EXPECT_EQ(reply.to_std_string(), "<string>C:\\Users\\a&amp;b</string>");
    EXPECT_EQ(canvas_blocks().first, live_before + 1);
    EXPECT_EQ(side_a::live.size(), 1u);  // the host's text, read and left alone
    const string_t number = canvas::write_response(any_regular_t(2.0));
    EXPECT_EQ(number.to_std_string(), "<number>2</number>");
    EXPECT_NE(number.get_allocator(), side_a::allocator());
  }
  EXPECT_EQ(canvas_blocks().first, live_before);
}

TEST_F(CanvasBoundary, HostValuesAreReadThroughTheirOwnModels) {
  const any_regular_t host_text(counted_string<side_a>("host-made text"));
  EXPECT_THROW(canvas::write_response(host_text), std::runtime_error);
  EXPECT_EQ(canvas::write_response(host_text.cast<string_t>()).to_std_string(), "<string>host-made text</string>");
  EXPECT_EQ(side_a::live.size(), 1u);
}

}  // namespace
