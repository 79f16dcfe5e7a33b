// The schedule store on the SQLite registry (a real file, synced on every commit), and the same
// operations on Wine's registry for comparison. Run from the build folder:
//   ./bench/dornava_bench
// With a Windows build (build/windows, or DORNAVA_WINE_LOAD_BENCH naming its
// dornava_load_bench.exe) and wine installed, the Wine figures and the ratios appear.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

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

// Runs the Windows build's timer under Wine for one operation; it prints seconds per operation.
bool WineSeconds(const std::string& exe, const char* operation, double* seconds) {
  int out[2];
  if (::pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string program = "wine", what = operation, times = "20";
  char* argv[] = {program.data(), const_cast<char*>(exe.c_str()), what.data(), times.data(),
                  nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "wine", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  int status = 0;
  if (spawned == 0) ::waitpid(pid, &status, 0);
  // Read once wine is done, not up to the end of the pipe: the services the first run starts
  // keep a copy of it open. The one line it prints fits in the pipe.
  std::string text;
  char buffer[256];
  ::fcntl(out[0], F_SETFL, O_NONBLOCK);
  for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, n);
  ::close(out[0]);
  return spawned == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
         std::sscanf(text.c_str(), "%lf", seconds) == 1;
}

void OnWine(benchmark::State& state, const char* operation) {
  const char* override = std::getenv("DORNAVA_WINE_LOAD_BENCH");
  const std::string exe = override ? override : DORNAVA_WINE_LOAD_BENCH;
  if (!std::filesystem::exists(exe)) return state.SkipWithError("no Windows build to run");
  for (auto _ : state) {
    double seconds = 0;
    if (!WineSeconds(exe, operation, &seconds)) return state.SkipWithError("wine run failed");
    state.SetIterationTime(seconds);
  }
}
void BM_LoadSchedule_Wine(benchmark::State& state) {
  OnWine(state, "load");
}
void BM_RewriteSchedule_Wine(benchmark::State& state) {
  OnWine(state, "rewrite");
}
void BM_DeleteEntry_Wine(benchmark::State& state) {
  OnWine(state, "delete");
}
BENCHMARK(BM_LoadSchedule_Wine)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RewriteSchedule_Wine)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteEntry_Wine)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's times per iteration, one per repetition, for the
// ratios at the end.
class KeepingReporter : public benchmark::ConsoleReporter {
 public:
  double Median(const std::string& name) const {
    const auto found = seconds_.find(name);
    if (found == seconds_.end()) return 0;
    std::vector<double> times = found->second;
    std::sort(times.begin(), times.end());
    const std::size_t half = times.size() / 2;
    return times.size() % 2 ? times[half] : (times[half - 1] + times[half]) / 2;
  }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
        const std::string name = run.benchmark_name();
        seconds_[name.substr(0, name.find('/'))].push_back(run.real_accumulated_time /
                                                           static_cast<double>(run.iterations));
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

 private:
  std::map<std::string, std::vector<double>> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  KeepingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* operation : {"LoadSchedule", "RewriteSchedule", "DeleteEntry"}) {
    const std::string name = std::string("BM_") + operation;
    const double sqlite = reporter.Median(name + "_Sqlite"), wine = reporter.Median(name + "_Wine");
    if (sqlite > 0 && wine > 0) {
      std::printf("%s on 1000 entries, Wine's registry / SQLite registry: %.2f\n", operation,
                  wine / sqlite);
    }
  }
  benchmark::Shutdown();
  return 0;
}
