// The request record's making and ending.
#include "request.h"

#include <new>

namespace ombrix {
namespace wyl_canvas {
namespace brisk_external_interface {
namespace version_0 {

request_t* ConstructRequest(request_t* place) noexcept {
  return ::new (static_cast<void*>(place)) request_t{name_t(), vector<any_regular_t>()};
}

void DestroyRequest(request_t& request) noexcept {
  // The vector's own release erases the elements and gives the block back
  // through its routines; the empty vector left behind makes a later
  // destruction of the record harmless.
  vector<any_regular_t>().swap(request.arguments);
}

void DeleteRequest(request_t* request) noexcept {
  DestroyRequest(*request);
  delete request;
}

RequestPointer NewNamedRequest(const char* literal) {
  RequestPointer request(ConstructRequest(static_cast<request_t*>(::operator new(sizeof(request_t)))));
  request->name = make_literal_name(literal);
  return request;
}

}  // namespace version_0
}  // namespace brisk_external_interface
}  // namespace wyl_canvas
}  // namespace ombrix
