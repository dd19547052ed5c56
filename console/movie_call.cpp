// Calls into the movie through the canvas library.
#include "movie_call.h"

#include "frame_window.h"
#include "wyl_canvas/brisk_external_interface.h"

void InvokeInMovie(const ombrix::wyl_canvas::brisk_external_interface::request_t& request) {
  // The result is a value of the canvas library's making; its destructor runs
  // through the canvas library's own routines.
  ombrix::wyl_canvas::brisk_external_interface::brisk_player_invoke_request(playerWindow, request);
}
