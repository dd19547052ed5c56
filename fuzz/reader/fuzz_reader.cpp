// libFuzzer target: arbitrary bytes as the deployment description, read by
// XmlDescriptionReader::Process as the install runner reads it, with the Win32
// layer in this process. Every input must end in 0 or -1, never in a crash, a
// hang or a sanitizer report.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "installer.h"
#include "log_file.h"
#include "xml_description_reader.h"

namespace {

std::string root;  // TMP, the profile, drive C and the description live here

WString WindowsPath(const std::string& linux_path) {
  WString out = u"Z:";
  for (const char c : linux_path) out += c == '/' ? u'\\' : static_cast<char16_t>(c);
  return out;
}

void RemoveRoot() { std::filesystem::remove_all(root); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string pattern = (std::filesystem::temp_directory_path() / "ombrix-fuzz-reader-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  root = pattern;
  std::filesystem::create_directories(root + "/tmp");
  std::FILE* profile = std::fopen((root + "/machine.ini").c_str(), "w");
  std::fprintf(profile, "[system]\nwow64 = true\nwindows = C:\\Windows\n[drives]\nC = %s/c\n", root.c_str());
  std::fclose(profile);
  ::setenv("WINLAYER_MACHINE", (root + "/machine.ini").c_str(), 1);
  ::setenv("TMP", (root + "/tmp").c_str(), 1);
  // No log file: once the log is closed the reader writes to one that discards.
  GetLog();
  CloseLog();
  std::atexit(RemoveRoot);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = root + "/OmbrixZoltInstaller.xml";
  std::FILE* description = std::fopen(path.c_str(), "wb");
  if (size > 0) std::fwrite(data, 1, size, description);
  std::fclose(description);
  InstallerSettings settings;
  XmlDescriptionReader reader(&settings);
  const int result = reader.Process(WindowsPath(path));
  if (result != 0 && result != -1) std::abort();
  return 0;
}
