// Whole reads and writes of a descriptor: the one loop for each that carries on
// after short transfers and interruptions.
#ifndef WINLAYER_POSIX_IO_H
#define WINLAYER_POSIX_IO_H

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace winlayer {

// Writes every byte; false with errno set when a write fails (ENOSPC for a write
// that makes no progress). Async-signal-safe.
bool write_all(int fd, std::string_view bytes);

// One read, carried on after interruptions: the count read, 0 at the end of the
// file, -1 with errno set when the read fails.
ssize_t read_some(int fd, void* buffer, std::size_t size);

// Reads from the descriptor's offset to the end, appending to out; false with
// errno set when a read fails, or EFBIG when there is more than limit bytes (out
// then holds what was read).
bool read_all(int fd, std::string& out, std::size_t limit);

}  // namespace winlayer

#endif
