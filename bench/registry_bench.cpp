// The schedule store on the SQLite registry (a real file, synced on every commit), and the same
// load on Wine's registry for comparison. Run from the build folder:
//   ./bench/dornava_bench
// With a Windows build (build/windows) and wine installed, the Wine figure and the ratio appear.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "platform/linux/SqliteRegistry.h"
#include "store/ScheduleStore.h"
#include "support/Fakes.h"

extern char** environ;

namespace {

using dornava::test::VectorList;

VectorList FullSchedule(const std::string& tag) {
  VectorList list;
  for (int i = 0; i < dornava::kScheduleCapacity; ++i) {
    list.items.push_back("S 12:34 - /home/eva/Obrázky/" + tag + " " + std::to_string(i) + ".bmp");
  }
  return list;
}

// A registry file of its own in a fresh folder, removed afterwards.
class RegistryFile {
 public:
  RegistryFile() {
    char pattern[] = "/var/tmp/dornava-bench-XXXXXX";
    dir_ = ::mkdtemp(pattern) ? pattern : "";
    raw_ = dornava::SqliteRegistry::Open(dir_ + "/dornava/registry.db", nullptr);
    if (raw_) registr_ = std::make_unique<dornava::Registr>(*raw_);
  }
  ~RegistryFile() {
    registr_.reset();
    raw_.reset();
    std::filesystem::remove_all(dir_);
  }
  bool Ok() const { return raw_ != nullptr; }
  dornava::Registr& Registr() { return *registr_; }

 private:
  std::string dir_;
  std::unique_ptr<dornava::SqliteRegistry> raw_;
  std::unique_ptr<dornava::Registr> registr_;
};

void BM_LoadSchedule_Sqlite(benchmark::State& state) {
  RegistryFile file;
  if (!file.Ok()) return state.SkipWithError("cannot open a registry");
  dornava::RewriteSchedule(file.Registr(), FullSchedule("a"));
  VectorList list;
  for (auto _ : state) {
    dornava::LoadSchedule(file.Registr(), list);
    benchmark::DoNotOptimize(list.items.data());
  }
  if (list.ListCount() != dornava::kScheduleCapacity) state.SkipWithError("load came back short");
}
BENCHMARK(BM_LoadSchedule_Sqlite)->Unit(benchmark::kMillisecond);

void BM_RewriteSchedule_Sqlite(benchmark::State& state) {
  RegistryFile file;
  if (!file.Ok()) return state.SkipWithError("cannot open a registry");
  const VectorList schedules[2] = {FullSchedule("a"), FullSchedule("b")};
  int turn = 0;
  for (auto _ : state)
    dornava::RewriteSchedule(file.Registr(), schedules[turn++ % 2]);
}
BENCHMARK(BM_RewriteSchedule_Sqlite)->Unit(benchmark::kMillisecond);

void BM_DeleteEntry_Sqlite(benchmark::State& state) {
  RegistryFile file;
  if (!file.Ok()) return state.SkipWithError("cannot open a registry");
  const VectorList full = FullSchedule("a");
  for (auto _ : state) {
    state.PauseTiming();
    dornava::RewriteSchedule(file.Registr(), full);
    VectorList list = full;
    list.selected = dornava::kScheduleCapacity / 2;
    state.ResumeTiming();
    dornava::DeleteSelectedEntry(file.Registr(), list);
  }
}
BENCHMARK(BM_DeleteEntry_Sqlite)->Unit(benchmark::kMillisecond);

// Runs the Windows build's load timer under Wine; it prints seconds per load.
bool WineLoadSeconds(const std::string& exe, double* seconds) {
  int out[2];
  if (::pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string program = "wine", loads = "20";
  char* argv[] = {program.data(), const_cast<char*>(exe.c_str()), loads.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "wine", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, n);
  ::close(out[0]);
  if (spawned != 0) return false;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
         std::sscanf(text.c_str(), "%lf", seconds) == 1;
}

void BM_LoadSchedule_Wine(benchmark::State& state) {
  const char* override = std::getenv("DORNAVA_WINE_LOAD_BENCH");
  const std::string exe = override ? override : DORNAVA_WINE_LOAD_BENCH;
  if (!std::filesystem::exists(exe)) return state.SkipWithError("no Windows build to run");
  for (auto _ : state) {
    double seconds = 0;
    if (!WineLoadSeconds(exe, &seconds)) return state.SkipWithError("wine run failed");
    state.SetIterationTime(seconds);
  }
}
BENCHMARK(BM_LoadSchedule_Wine)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's time per iteration for the ratio at the end.
class KeepingReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
        seconds[run.benchmark_name()] =
            run.real_accumulated_time / static_cast<double>(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  KeepingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto sqlite = reporter.seconds.find("BM_LoadSchedule_Sqlite");
  const auto wine = reporter.seconds.find("BM_LoadSchedule_Wine/iterations:3/manual_time");
  if (sqlite != reporter.seconds.end() && wine != reporter.seconds.end() && sqlite->second > 0) {
    std::printf("Load of 1000 names, Wine's registry / SQLite registry: %.2f\n",
                wine->second / sqlite->second);
  }
  benchmark::Shutdown();
  return 0;
}
