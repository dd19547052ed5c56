// XmlDescriptionReader::Process on descriptions of 1,000, 10,000 and 100,000
// Property elements, beside its anchor: xmllint --noout on the same files,
// started as a program and timed by the wall clock. The reader runs in this
// process on the Win32 layer, its log discarded, its files in a temporary folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "installer.h"
#include "log_file.h"
#include "temp_folder.h"
#include "windows_path.h"
#include "xml_description_reader.h"

extern char** environ;

namespace {
namespace fs = std::filesystem;

// TMP, the machine profile and the descriptions, made once for the run.
class BenchMachine {
 public:
  BenchMachine() {
    fs::create_directories(root_ + "/tmp");
    std::ofstream(root_ + "/machine.ini") << "[system]\nwow64 = true\n[drives]\nC = " << root_ << "/c\n";
    ::setenv("WINLAYER_MACHINE", (root_ + "/machine.ini").c_str(), 1);
    ::setenv("TMP", (root_ + "/tmp").c_str(), 1);
    GetLog();  // then closed: the reader writes to a log that discards
    CloseLog();
  }

  // The description with that many Property elements; one in a hundred is an
  // INSTALLDIR with a folder token, as the reader rewrites them.
  const std::string& Description(int properties) {
    auto found = files_.find(properties);
    if (found != files_.end()) return found->second;
    const std::string path = root_ + "/description-" + std::to_string(properties) + ".xml";
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Package>\n  <InstallerLocation>..\\Image</InstallerLocation>\n"
           "  <TargetOS>Windows</TargetOS>\n  <DeploymentInfo processorFamily=\"x64\" ignoreProcesses=\"true\">\n"
           "    <Deployment>\n      <Properties>\n";
    for (int i = 0; i < properties; ++i) {
      if (i % 100 == 0) {
        out << "        <Property name=\"INSTALLDIR\">[ProgramFiles]\\App" << i << "</Property>\n";
      } else {
        out << "        <Property name=\"Setting" << i << "\">value " << i << "</Property>\n";
      }
    }
    out << "      </Properties>\n    </Deployment>\n  </DeploymentInfo>\n"
           "  <Overrides><Configuration><Setting key=\"a\">b</Setting></Configuration></Overrides>\n</Package>\n";
    return files_[properties] = path;
  }

 private:
  const ombrix_test::TempFolder folder_{"ombrix-reader-bench"};
  const std::string root_ = folder_.path();
  std::map<int, std::string> files_;
};

BenchMachine& Machine() {
  static BenchMachine machine;
  return machine;
}

void BM_Process(benchmark::State& state) {
  const WString path = ombrix_test::WindowsPath(Machine().Description(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    InstallerSettings settings;
    XmlDescriptionReader reader(&settings);
    if (reader.Process(path) != 0) {
      state.SkipWithError("the reading failed");
      break;
    }
  }
}

// xmllint --noout on the file; its status.
int RunXmllint(const std::string& file) {
  std::vector<char*> argv{const_cast<char*>("/usr/bin/xmllint"), const_cast<char*>("--noout"),
                          const_cast<char*>(file.c_str()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_XmllintAnchor(benchmark::State& state) {
  const std::string& file = Machine().Description(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (RunXmllint(file) != 0) {
      state.SkipWithError("xmllint failed");
      break;
    }
  }
}

BENCHMARK(BM_Process)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_XmllintAnchor)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
