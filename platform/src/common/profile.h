// The machine profile: what the layer reports of the Windows computer it stands
// for, read from the INI file that WINLAYER_MACHINE names.
#ifndef WINLAYER_PROFILE_H
#define WINLAYER_PROFILE_H

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "winlayer/types.h"

namespace winlayer {

// An INI file: sections of key = value lines; ';' and '#' start comments;
// section and key names are matched without regard to case.
class IniFile {
 public:
  static IniFile parse(std::string_view text);
  // The value, or fallback when the section or key is missing.
  std::string get(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
  bool has(std::string_view section, std::string_view key) const;
  // Section names in file order, as written.
  std::vector<std::string> sections() const;

 private:
  struct Section {
    std::string name;
    std::map<std::string, std::string> values;  // keys folded to lower case
  };
  const Section* find(std::string_view section) const;
  std::vector<Section> sections_;
};

using Environment = std::function<const char*(const char*)>;

struct Share {
  std::string unc;          // \\server\share as the profile writes it
  std::string linux_path;   // the folder it reaches
  std::string user;         // empty: reachable without connecting
  std::string password;
};

struct Profile {
  bool wow64 = true;
  bool has_iswow64process = true;
  std::string program_files;   // default: C:\Program Files (x86) under WOW64, else C:\Program Files
  std::string windows = "C:\\Windows";
  std::string system_folder;   // Linux folder that holds cmd; default: beside the layer's programs
  std::string trace_path;      // empty: no trace
  std::string logon_session;   // folder of the logon session's shared files (private_folder.h)
  std::map<char, std::string> drives;  // upper-case letter -> Linux folder; Z is "/"
  bool default_drive_c = false;        // C: is the layer's own folder, made on first use
  std::vector<Share> shares;
  // [screen] width and height, numbers above 0: GetSystemMetrics.
  int screen_width = 1920;
  int screen_height = 1080;
  // [locale] language identifiers, up to 0xFFFF; a malformed or wider value
  // gives the default.
  WORD ui_language = 0x0409;       // 0: the profile gives no interface language
  WORD system_language = 0x0409;
  WORD user_locale = 0x0409;       // default: system_language
  IniFile ini;                 // for keys that other groups read

  // Reads the keys; environment looks up the variables that default folders use
  // (none when empty).
  static Profile from_ini(const IniFile& ini, std::string_view profile_path,
                          const Environment& environment = {});

  // The profile's share for \\server\share (any case), or null with
  // ERROR_BAD_NETPATH (no such server) or ERROR_BAD_NET_NAME (no such share).
  const Share* find_share(std::string_view unc_root, DWORD& error) const;
};

// Drive C: when the profile maps none: beside the profile file
// ("<profile>.drive-c"); without a profile, $XDG_DATA_HOME/winlayer/drive-c,
// else $HOME/.local/share/winlayer/drive-c, else /tmp/winlayer-drive-c-<uid>.
std::string default_drive_c_folder(std::string_view profile_path, const Environment& environment);

// The process's profile, loaded once from WINLAYER_MACHINE (defaults without it).
const Profile& profile();

// Parses "true"/"false", "1"/"0", "yes"/"no" (any case); fallback otherwise.
bool parse_bool(std::string_view text, bool fallback);

// A number of the profile: hexadecimal digits after "0x" or "0X", else decimal
// digits alone, leading zeros included ("010" is ten). Nothing else is one: no
// sign, no blank, no suffix, nothing beyond unsigned long; empty then.
std::optional<unsigned long> parse_number(std::string_view text);

}  // namespace winlayer

#endif
