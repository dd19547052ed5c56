// Whole writes to a descriptor: the one loop that carries on after short writes
// and interruptions.
#ifndef WINLAYER_POSIX_IO_H
#define WINLAYER_POSIX_IO_H

#include <string_view>

namespace winlayer {

// Writes every byte; false with errno set when a write fails (ENOSPC for a write
// that makes no progress). Async-signal-safe.
bool write_all(int fd, std::string_view bytes);

}  // namespace winlayer

#endif
