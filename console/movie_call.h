// Calls from the console into the movie.
#ifndef OMBRIX_CONSOLE_MOVIE_CALL_H
#define OMBRIX_CONSOLE_MOVIE_CALL_H

#include "request.h"

// Runs the request's function in the movie of playerWindow, synchronously; what
// the movie returns is ended unread. Throws what the canvas library throws.
void InvokeInMovie(const ombrix::wyl_canvas::brisk_external_interface::request_t& request);

#endif
