// The posted calls into the movie.
#include "later_calls.h"

#include <algorithm>
#include <vector>

#include "frame_window.h"
#include "player_window.h"

namespace {

namespace canvas = ombrix::wyl_canvas::brisk_external_interface;

// Posted and not yet handled; few at a time.
std::vector<canvas::request_t*> postedRequests;

}  // namespace

void PostInvokeLater(canvas::RequestPointer request) {
  postedRequests.push_back(request.get());
  if (PostMessageW(playerWindow, kInvokeLaterMessage, reinterpret_cast<WPARAM>(request.get()), 0)) {
    request.release();
  } else {
    postedRequests.pop_back();
  }
}

canvas::RequestPointer TakePostedRequest(WPARAM wParam) {
  const auto posted = std::find(postedRequests.begin(), postedRequests.end(),
                                reinterpret_cast<canvas::request_t*>(wParam));
  if (posted == postedRequests.end()) return nullptr;  // 0 too: null is never posted
  postedRequests.erase(posted);
  return canvas::RequestPointer(reinterpret_cast<canvas::request_t*>(wParam));
}
