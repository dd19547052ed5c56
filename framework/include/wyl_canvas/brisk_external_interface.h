// OmbrixWylCanvas: the requests that pass between a movie and its host. The
// values and blocks this library returns are made with its own allocator
// routines and value models; the host ends them through the routines they
// carry. Every function throws once the framework has been terminated.
#ifndef OMBRIX_WYL_CANVAS_BRISK_EXTERNAL_INTERFACE_H
#define OMBRIX_WYL_CANVAS_BRISK_EXTERNAL_INTERFACE_H

#include <cstddef>

#include "win32.h"
#include "values/any_regular.h"
#include "values/string.h"

namespace ombrix {
namespace wyl_canvas {
namespace brisk_external_interface {
namespace version_0 {

// The name and the arguments of one call. The host defines it and the canvas
// keeps a private definition of the same layout.
struct request_t;

// Parses the UTF-8 request text: the called name, then the arguments in
// order, the call's identifier at index 0 and the operands after it. Texts
// become string_t, numbers double, booleans bool. Throws std::runtime_error
// when the text is not a well-formed request.
request_t read_request(const char* text, std::size_t length);

// The reply text for a text: "<string>" + the text escaped + "</string>".
string_t write_response(const string_t& text);

// The reply text for a double ("<number>...</number>") or a bool ("<true/>",
// "<false/>"). Throws std::runtime_error for a value of any other type.
string_t write_response(const any_regular_t& value);

// Runs the movie's function of the request's name in the player, at once and
// to its end, and gives its result. Throws std::runtime_error when the window
// is no player with a movie or the movie has no such function.
any_regular_t brisk_player_invoke_request(HWND player, const request_t& request);

}  // namespace version_0

using version_0::brisk_player_invoke_request;
using version_0::read_request;
using version_0::write_response;

}  // namespace brisk_external_interface
}  // namespace wyl_canvas
}  // namespace ombrix

#endif
