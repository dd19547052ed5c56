// INI parsing and the machine profile.
#include "profile.h"

#include "text.h"

#include <unistd.h>

#include <charconv>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef WINLAYER_DEFAULT_SYSTEM_DIR
#define WINLAYER_DEFAULT_SYSTEM_DIR "/usr/lib/winlayer"
#endif

namespace winlayer {
namespace {

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

// A comment starts at ';' or '#' at the line's start or after a blank.
std::string_view strip_comment(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if ((line[i] == ';' || line[i] == '#') && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
      return line.substr(0, i);
    }
  }
  return line;
}

// The profile's number under key when it lies in [low, high]; else fallback.
template <class Number>
Number number_in(const IniFile& ini, std::string_view section, std::string_view key, unsigned long low,
                 unsigned long high, Number fallback) {
  const std::optional<unsigned long> value = parse_number(ini.get(section, key));
  return value && *value >= low && *value <= high ? static_cast<Number>(*value) : fallback;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

IniFile IniFile::parse(std::string_view text) {
  IniFile ini;
  Section* current = nullptr;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = trim(strip_comment(text.substr(0, end)));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      ini.sections_.push_back({std::string(trim(line.substr(1, line.size() - 2))), {}});
      current = &ini.sections_.back();
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || current == nullptr) continue;
    current->values[ascii_lower(trim(line.substr(0, eq)))] = std::string(trim(line.substr(eq + 1)));
  }
  return ini;
}

const IniFile::Section* IniFile::find(std::string_view section) const {
  const std::string wanted = ascii_lower(section);
  for (const auto& s : sections_) {
    if (ascii_lower(s.name) == wanted) return &s;
  }
  return nullptr;
}

std::string IniFile::get(std::string_view section, std::string_view key, std::string_view fallback) const {
  const Section* s = find(section);
  if (s == nullptr) return std::string(fallback);
  const auto it = s->values.find(ascii_lower(key));
  return it == s->values.end() ? std::string(fallback) : it->second;
}

bool IniFile::has(std::string_view section, std::string_view key) const {
  const Section* s = find(section);
  return s != nullptr && s->values.count(ascii_lower(key)) != 0;
}

std::vector<std::string> IniFile::sections() const {
  std::vector<std::string> names;
  for (const auto& s : sections_) names.push_back(s.name);
  return names;
}

bool parse_bool(std::string_view text, bool fallback) {
  const std::string v = ascii_lower(text);
  if (v == "true" || v == "1" || v == "yes") return true;
  if (v == "false" || v == "0" || v == "no") return false;
  return fallback;
}

std::optional<unsigned long> parse_number(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  const char* const end = text.data() + text.size();
  unsigned long value = 0;
  const auto [stop, error] = std::from_chars(text.data(), end, value, base);
  if (error != std::errc{} || stop != end) return std::nullopt;
  return value;
}

std::string default_drive_c_folder(std::string_view profile_path, const Environment& environment) {
  if (!profile_path.empty()) return std::string(profile_path) + ".drive-c";
  const auto variable = [&environment](const char* name) {
    const char* value = environment ? environment(name) : nullptr;
    return value != nullptr && *value == '/' ? std::string(value) : std::string();
  };
  if (const std::string data = variable("XDG_DATA_HOME"); !data.empty()) return data + "/winlayer/drive-c";
  if (const std::string home = variable("HOME"); !home.empty()) return home + "/.local/share/winlayer/drive-c";
  return "/tmp/winlayer-drive-c-" + std::to_string(::getuid());
}

Profile Profile::from_ini(const IniFile& ini, std::string_view profile_path, const Environment& environment) {
  Profile p;
  p.ini = ini;
  p.wow64 = parse_bool(ini.get("system", "wow64"), p.wow64);
  p.has_iswow64process = parse_bool(ini.get("system", "iswow64process"), p.has_iswow64process);
  p.program_files = ini.get("system", "program_files", p.wow64 ? "C:\\Program Files (x86)" : "C:\\Program Files");
  p.windows = ini.get("system", "windows", p.windows);
  p.system_folder = ini.get("system", "system", WINLAYER_DEFAULT_SYSTEM_DIR);
  p.trace_path = ini.get("system", "trace");
  const std::string default_session = profile_path.empty()
      ? "/tmp/winlayer-logon-" + std::to_string(::getuid())
      : std::string(profile_path) + ".logon";
  p.logon_session = ini.get("system", "logon_session", default_session);
  p.screen_width = number_in(ini, "screen", "width", 1, INT_MAX, p.screen_width);
  p.screen_height = number_in(ini, "screen", "height", 1, INT_MAX, p.screen_height);
  p.ui_language = number_in(ini, "locale", "ui_language", 0, 0xFFFF, p.ui_language);
  p.system_language = number_in(ini, "locale", "system_language", 0, 0xFFFF, p.system_language);
  p.user_locale = number_in(ini, "locale", "user_locale", 0, 0xFFFF, p.system_language);
  for (char letter = 'A'; letter <= 'Y'; ++letter) {
    const std::string key(1, letter);
    if (ini.has("drives", key)) p.drives[letter] = ini.get("drives", key);
  }
  if (p.drives.count('C') == 0) {
    p.drives['C'] = default_drive_c_folder(profile_path, environment);
    p.default_drive_c = true;
  }
  for (const auto& name : ini.sections()) {
    if (ascii_lower(name).rfind("share:", 0) != 0) continue;
    p.shares.push_back({name.substr(6), ini.get(name, "path"), ini.get(name, "user"), ini.get(name, "password")});
  }
  return p;
}

const Share* Profile::find_share(std::string_view unc_root, DWORD& error) const {
  const auto server_of = [](std::string_view unc) { return unc.substr(0, unc.find('\\', 2)); };
  error = ERROR_BAD_NETPATH;
  for (const auto& share : shares) {
    if (!equal_ignoring_case_utf8(server_of(share.unc), server_of(unc_root))) continue;
    error = ERROR_BAD_NET_NAME;
    if (equal_ignoring_case_utf8(share.unc, unc_root)) return &share;
  }
  return nullptr;
}

const Profile& profile() {
  static const Profile loaded = [] {
    const char* path = std::getenv("WINLAYER_MACHINE");
    const Environment environment = [](const char* name) { return static_cast<const char*>(std::getenv(name)); };
    if (path == nullptr || *path == '\0') return Profile::from_ini(IniFile{}, {}, environment);
    return Profile::from_ini(IniFile::parse(read_file(path)), path, environment);
  }();
  return loaded;
}

}  // namespace winlayer
