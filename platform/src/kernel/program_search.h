// Finding the program of a command line as CreateProcessW does: the pure rules
// for the head and the names tried, and the search through the folders.
#ifndef WINLAYER_PROGRAM_SEARCH_H
#define WINLAYER_PROGRAM_SEARCH_H

#include <string>
#include <string_view>
#include <vector>

#include "winlayer/types.h"

namespace winlayer {

// Pure: the program names that the head of a command line may stand for, in the
// order they are tried. A quoted head is the text between its quotes; an
// unquoted one is each prefix that ends before a blank or tab, the shortest
// first, then the whole line.
std::vector<std::u16string> head_candidates(std::u16string_view command_line);

// Pure: the file names tried for one program name: a name whose last component
// has no extension gets ".exe" first and is then tried bare, as Linux programs
// have none; any other name is tried as it stands.
std::vector<std::u16string> file_name_candidates(std::u16string_view name);

// Pure: true when the name has a folder part (a separator or a drive), so that it
// is not searched for.
bool has_folder_part(std::u16string_view name);

// The Linux path of the program of a command line by Windows' search (see
// CreateProcessW). Empty when none is found, with error set to
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND.
std::string find_program(std::u16string_view command_line, DWORD& error);

// The Linux path of a program named as it stands (lpApplicationName): no search
// and no extension. Empty with error set when it is not a file.
std::string find_named_program(std::u16string_view name, DWORD& error);

}  // namespace winlayer

#endif
