// The record in which a call crosses between the movie and the console: the
// called function's name and its arguments. Its layout is shared field for
// field with the canvas library, which fills requests of its own making.
#ifndef OMBRIX_CONSOLE_REQUEST_H
#define OMBRIX_CONSOLE_REQUEST_H

#include <cstddef>
#include <memory>

#include "values/any_regular.h"
#include "values/name.h"
#include "values/vector.h"

namespace ombrix {
namespace wyl_canvas {
namespace brisk_external_interface {
namespace version_0 {

// The request owns its argument vector, whose block goes back through the
// routines stored in it; it owns nothing of its name, which points at text
// that the canvas library keeps or at a literal (make_literal_name).
struct request_t {
  name_t name;
  vector<any_regular_t> arguments;
};

static_assert(sizeof(request_t) == 2 * sizeof(void*), "a name pointer and a vector pointer");
static_assert(offsetof(request_t, name) == 0, "the name first");
static_assert(offsetof(request_t, arguments) == sizeof(void*), "the arguments second");

// Makes an empty request in the storage at place: the empty name and no
// arguments, hence no block. Gives place.
request_t* ConstructRequest(request_t* place) noexcept;

// Ends the arguments: each element through its value model, then the block
// through the deallocation routine in its header. A request without a block is
// left alone, and the name is not touched. The request holds no block
// afterwards and is used no more.
void DestroyRequest(request_t& request) noexcept;

// DestroyRequest, then frees the record, which was made by new (or by operator
// new and ConstructRequest).
void DeleteRequest(request_t* request) noexcept;

// Ends a heap request with DeleteRequest.
struct RequestDeleter {
  void operator()(request_t* request) const noexcept { DeleteRequest(request); }
};
using RequestPointer = std::unique_ptr<request_t, RequestDeleter>;

// A heap request made as ConstructRequest makes it, then named by the literal
// (make_literal_name: nothing is copied or interned). Throws std::bad_alloc.
RequestPointer NewNamedRequest(const char* literal);

}  // namespace version_0

using version_0::ConstructRequest;
using version_0::DeleteRequest;
using version_0::DestroyRequest;
using version_0::NewNamedRequest;
using version_0::RequestPointer;
using version_0::request_t;

}  // namespace brisk_external_interface
}  // namespace wyl_canvas
}  // namespace ombrix

#endif
