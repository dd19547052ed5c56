// Share connections of the logon session: they outlast the process that made
// them, so child processes and later runs see them, as on Windows.
#ifndef WINLAYER_LOGON_SESSION_H
#define WINLAYER_LOGON_SESSION_H

#include <string_view>

namespace winlayer {

// False as well when the session folder cannot be read or is refused.
bool logon_session_has_connection(std::string_view unc_root);
// Records a connection; false with errno set when the session folder is refused
// (EACCES) or its connections cannot be written.
bool logon_session_add_connection(std::string_view unc_root);

}  // namespace winlayer

#endif
