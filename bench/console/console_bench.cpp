// cMD5::DigestFile beside md5sum on the same 256 MiB file in the same run. Both
// are timed by the wall clock, since md5sum runs as a child process; the file
// is read once before, so that both read it from the page cache.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "md5.h"
#include "test_files.h"

extern char** environ;

namespace {

constexpr std::size_t kFileBytes = std::size_t{256} << 20;

// The file's Linux path, made on first use and removed at exit.
const std::string& BenchFile() {
  static const std::string path = [] {
    std::string name = (std::filesystem::temp_directory_path() / "ombrix-md5-bench-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    ::close(fd);
    std::vector<char> chunk(1 << 20);
    std::uint32_t x = 2463534242u;
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    for (std::size_t done = 0; done < kFileBytes; done += chunk.size()) {
      for (auto& c : chunk) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = static_cast<char>(x);
      }
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    if (!out) throw std::runtime_error("cannot write " + name);
    std::atexit([] { std::remove(BenchFile().c_str()); });
    return name;
  }();
  return path;
}

void BM_Md5_DigestFile(benchmark::State& state) {
  const WString path = ombrix_test::WindowsPath(BenchFile());
  cMD5 md5;
  for (auto _ : state) {
    const char* digest = md5.DigestFile(path.c_str());
    if (*digest == '\0') state.SkipWithError("DigestFile gave the empty text");
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

void BM_Md5_Md5sumAnchor(benchmark::State& state) {
  std::string file = BenchFile();
  char program[] = "md5sum";
  char* argv[] = {program, file.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  for (auto _ : state) {
    pid_t pid = 0;
    int status = 0;
    if (::posix_spawnp(&pid, program, &actions, nullptr, argv, environ) != 0 || ::waitpid(pid, &status, 0) != pid ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("md5sum failed");
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

BENCHMARK(BM_Md5_DigestFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Md5_Md5sumAnchor)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
