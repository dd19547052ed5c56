// A whole install run of ZoltInstaller on a package whose setup program ends at
// once, beside its anchor: a shell that starts the same setup program directly
// with the same command line. Both are started the same way and timed by the
// wall clock, with their output sent to /dev/null.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "sandbox.h"
#include "windows_path.h"

extern char** environ;

namespace {
namespace fs = std::filesystem;

// The package: the runner, its description (installer location kit), and the
// suite's test setup program as kit/Setup.exe.
struct BenchPackage {
  BenchPackage() {
    runner = box.copy_program("ZoltInstaller", box.package());
    ombrix_test::write_file(box.package() + "/OmbrixZoltInstaller.xml",
                            "<Description><InstallerLocation>kit</InstallerLocation><TargetOS>Windows</TargetOS>"
                            "<DeploymentInfo processorFamily=\"x64\"><Deployment><Properties/></Deployment>"
                            "</DeploymentInfo><Overrides><Configuration/></Overrides></Description>\n");
    setup = box.package() + "/kit/Setup.exe";
    fs::create_directories(box.package() + "/kit");
    fs::copy_file(TEST_SETUP_PROGRAM, setup);
    environment = {"TMP=" + box.temp(), "WINLAYER_MACHINE=" + box.profile_path(), "PATH=/usr/bin:/bin"};
  }
  ombrix_test::Sandbox box;
  std::string runner, setup;
  std::vector<std::string> environment;
};

BenchPackage& Package() {
  static BenchPackage package;
  return package;
}

// Starts a program with the package's environment and waits for it; its status.
int SpawnAndWait(const std::vector<std::string>& args) {
  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const auto& e : Package().environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + args[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

void BM_Install_Runner(benchmark::State& state) {
  for (auto _ : state) {
    if (SpawnAndWait({Package().runner}) != 0) state.SkipWithError("the runner failed");
  }
}

// The setup command line the runner builds, started by a shell.
void BM_Install_ShellAnchor(benchmark::State& state) {
  const std::string temp = ombrix_test::WindowsPathUtf8(Package().box.temp()) + "\\";
  const std::string command = "\"$0\" --mode=Silent --deploymentFile=\"" + temp + "\\deployment.xml\" --overrideFile=\"" +
                              temp + "\\application.xml.override\"";
  for (auto _ : state) {
    if (SpawnAndWait({"/bin/sh", "-c", command, Package().setup}) != 0) state.SkipWithError("the shell failed");
  }
}

BENCHMARK(BM_Install_Runner)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Install_ShellAnchor)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
