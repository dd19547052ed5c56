// The C run-time's text mode: what a file holds for what a program writes and
// reads. The pure rule, FILE streams that apply it, and the standard streams.
#ifndef WINLAYER_CRT_TEXT_MODE_H
#define WINLAYER_CRT_TEXT_MODE_H

#include <cstdio>
#include <string>
#include <string_view>

#include "winlayer/unique_fd.h"

namespace winlayer {

// Each line feed becomes carriage return plus line feed.
std::string to_text_mode(std::string_view bytes);

// A FILE in text mode over the descriptor, with an fopen mode without "b" or
// "t": writes store each line feed as CR LF; reads give CR LF as a line feed (a
// lone CR stays) and end at the first Ctrl+Z, as Windows' C run-time does. Null
// with errno set on failure.
std::FILE* text_mode_stream(UniqueFd fd, const char* mode);

// Makes standard output and standard error text mode, as the C run-time starts a
// program with them: stdout and stderr become text-mode streams on the same
// files (stderr unbuffered, stdout line-buffered on a terminal), and std::cout,
// std::cerr and std::clog write through them.
void make_standard_streams_text_mode();

}  // namespace winlayer

#endif
