// OmbrixWylCanvas: requests between the movie and its host. What it returns is
// made with the canvas's own allocator routines and this library's own copy of
// the value models.
#include "wyl_canvas/brisk_external_interface.h"

#include <cstddef>
#include <stdexcept>
#include <string>

#include "values/name.h"
#include "values/vector.h"
#include "canvas_allocator.h"
#include "host.h"
#include "operand.h"
#include "player_link.h"
#include "request_text.h"

namespace ombrix {
namespace wyl_canvas {
namespace brisk_external_interface {
namespace version_0 {

// The host's record, field for field.
struct request_t {
  name_t name;
  vector<any_regular_t> arguments;
};

static_assert(sizeof(request_t) == 2 * sizeof(void*), "a name pointer and a vector pointer");
static_assert(offsetof(request_t, name) == 0, "the name first");
static_assert(offsetof(request_t, arguments) == sizeof(void*), "the arguments second");

namespace {

void require_running() {
  if (WYLFrameworkState() == WYL_STATE_TERMINATED) {
    throw std::runtime_error("the framework has been terminated");
  }
}

string_t canvas_string(const std::string& bytes) {
  string_t s(wyl::canvas_allocator());
  s.reserve(bytes.size() + 1);
  for (const char c : bytes) s.push_back(c);
  return s;
}

any_regular_t value_of(const wyl::operand_t& operand) {
  switch (operand.kind) {
    case wyl::operand_t::number: return any_regular_t(operand.value);
    case wyl::operand_t::boolean: return any_regular_t(operand.truth);
    case wyl::operand_t::text: break;
  }
  return any_regular_t(canvas_string(operand.characters));
}

bool holds(const any_regular_t& value, type_handle_t type) {
  return same_type(*value.type().descriptor, *type.descriptor);
}

// The argument as an operand; a value of another type has no operand form.
wyl::operand_t operand_of(const any_regular_t& value) {
  if (holds(value, type_of<string_t>())) return wyl::text_operand(value.cast<string_t>().to_std_string());
  if (holds(value, type_of<double>())) return wyl::number_operand(value.cast<double>());
  if (holds(value, type_of<bool>())) return wyl::boolean_operand(value.cast<bool>());
  std::string type;
  append_type_name(*value.type().descriptor, type);
  throw std::runtime_error("an argument of type " + type);
}

std::string operands_text(const request_t& request) {
  std::vector<wyl::operand_t> operands;
  for (const any_regular_t& argument : request.arguments) operands.push_back(operand_of(argument));
  return wyl::format_operands(operands);
}

wyl::operand_t result_operand(const WYLFunctionResult& result) {
  switch (result.kind) {
    case WYL_RESULT_NUMBER: return wyl::number_operand(result.number);
    case WYL_RESULT_BOOLEAN: return wyl::boolean_operand(result.truth != 0);
    case WYL_RESULT_TEXT: break;
  }
  return wyl::text_operand(result.text);
}

}  // namespace

request_t read_request(const char* text, std::size_t length) {
  require_running();
  const wyl::request_text_t parsed = wyl::read_request_text(text, length);
  request_t request{name_t(parsed.name.c_str()), vector<any_regular_t>(wyl::canvas_allocator())};
  request.arguments.reserve(parsed.operands.size() + 1);
  request.arguments.push_back(value_of(wyl::text_operand(parsed.call)));
  for (const wyl::operand_t& operand : parsed.operands) request.arguments.push_back(value_of(operand));
  return request;
}

string_t write_response(const string_t& text) {
  require_running();
  return canvas_string("<string>" + wyl::escape_xml(text.to_std_string(), false) + "</string>");
}

string_t write_response(const any_regular_t& value) {
  require_running();
  if (holds(value, type_of<double>())) {
    return canvas_string("<number>" + wyl::format_number(value.cast<double>()) + "</number>");
  }
  if (holds(value, type_of<bool>())) return canvas_string(value.cast<bool>() ? "<true/>" : "<false/>");
  throw std::runtime_error("a reply is a text, a number or a boolean");
}

any_regular_t brisk_player_invoke_request(HWND player, const request_t& request) {
  require_running();
  if (wyl::call_fails("invoke")) throw std::runtime_error("invoke fails (WYL_FAIL)");
  WYLFunctionResult result{};
  switch (WYLInvokeFunction(player, request.name.c_str(), operands_text(request).c_str(), &result)) {
    case WYL_RAN: return value_of(result_operand(result));
    case WYL_NO_FUNCTION: throw std::runtime_error(std::string("the movie has no function ") + request.name.c_str());
    case WYL_NOT_RUNNING: throw std::runtime_error("the framework does not run");
    default: throw std::runtime_error("no player with a movie");
  }
}

}  // namespace version_0
}  // namespace brisk_external_interface
}  // namespace wyl_canvas
}  // namespace ombrix
