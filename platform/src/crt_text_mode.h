// The C run-time's text mode: what a file holds for what a program writes and
// reads. Pure rules, and FILE streams that apply them.
#ifndef WINLAYER_CRT_TEXT_MODE_H
#define WINLAYER_CRT_TEXT_MODE_H

#include <cstdio>
#include <string>
#include <string_view>

namespace winlayer {

// Each line feed becomes carriage return plus line feed.
std::string to_text_mode(std::string_view bytes);

// Opens a FILE in text mode on a Linux path with an fopen mode without "b" or
// "t": writes store each line feed as CR LF; reads give CR LF as a line feed
// (a lone CR stays) and end at the first Ctrl+Z, as Windows' C run-time does.
// Null with errno set on failure.
std::FILE* open_text_mode_file(const std::string& linux_path, const std::string& mode);

}  // namespace winlayer

#endif
