// The player window of OmbrixWyl: the players of this process, their movies,
// and the requests they send to their host.
#ifndef OMBRIX_FRAMEWORK_PLAYER_H
#define OMBRIX_FRAMEWORK_PLAYER_H

#include "win32.h"
#include "movie.h"

namespace wyl {

// The framework's life: WYLInitialize starts it once, WYLTerminate ends it.
int framework_state();
void set_framework_state(int state);

// Registers the player window class with this library's own instance.
bool register_player_class();

// The window is a player of this process (its window is not destroyed yet).
bool is_player(HWND window);

// Keeps the movie for the player and posts it the message that plays it.
void start_movie(HWND player, movie_t movie);

// The player's movie, or null when it has none.
const movie_t* movie_of(HWND player);

// Sends one request to the host through the player window and records it with
// the reply, which it then frees.
void send_request(HWND player, const send_t& request);

// Performs the script WYL_AUTOMATION names (automation.cpp).
void run_automation(HWND player);

}  // namespace wyl

#endif
