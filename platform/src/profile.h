// The machine profile: what the layer reports of the Windows computer it stands
// for, read from the INI file that WINLAYER_MACHINE names.
#ifndef WINLAYER_PROFILE_H
#define WINLAYER_PROFILE_H

#include <map>
#include <string>
#include <string_view>
#include <vector>

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

struct Share {
  std::string unc;          // \\server\share as the profile writes it
  std::string linux_path;   // the folder it reaches
  std::string user;         // empty: reachable without connecting
  std::string password;
};

struct Profile {
  bool wow64 = true;
  bool has_iswow64process = true;
  std::string program_files = "C:\\Program Files (x86)";
  std::string windows = "C:\\Windows";
  std::string system_folder;   // Linux folder that holds cmd; default: beside the layer's programs
  std::string trace_path;      // empty: no trace
  std::string logon_session;   // file that keeps share connections of the logon session
  std::map<char, std::string> drives;  // upper-case letter -> Linux folder; Z is "/"
  std::vector<Share> shares;
  IniFile ini;                 // for keys that other groups read

  static Profile from_ini(const IniFile& ini, std::string_view profile_path);
};

// The process's profile, loaded once from WINLAYER_MACHINE (defaults without it).
const Profile& profile();

// Parses "true"/"false", "1"/"0", "yes"/"no" (any case); fallback otherwise.
bool parse_bool(std::string_view text, bool fallback);

}  // namespace winlayer

#endif
