// Share connections of the logon session: they outlast the process that made
// them, so child processes and later runs see them, as on Windows.
#ifndef WINLAYER_LOGON_SESSION_H
#define WINLAYER_LOGON_SESSION_H

#include <string_view>

namespace winlayer {

bool logon_session_has_connection(std::string_view unc_root);
// Records a connection; false when the session file cannot be written.
bool logon_session_add_connection(std::string_view unc_root);

}  // namespace winlayer

#endif
