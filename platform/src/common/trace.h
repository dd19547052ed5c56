// The layer's trace: what a user would see (processes started, windows shown and
// moved), one line per event, appended to the file that the profile names.
#ifndef WINLAYER_TRACE_H
#define WINLAYER_TRACE_H

#include <string>

namespace winlayer {

// Appends "<event>\n" with one write; nothing when the profile names no trace.
void trace(const std::string& event);

}  // namespace winlayer

#endif
