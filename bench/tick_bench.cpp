// One minute tick over schedules of 10, 100 and 1000 entries, the wallpaper change itself left
// out.
#include <benchmark/benchmark.h>

#include "support/Fakes.h"
#include "switching/MinuteTick.h"

namespace {

// Counts the changes asked for and makes none.
class NoWallpaper final : public dornava::WallpaperService {
 public:
  long changes = 0;
  void SetWallpaper(std::string_view) override { ++changes; }
};

void BM_Tick(benchmark::State& state) {
  dornava::test::VectorList list;
  for (int i = 0; i < state.range(0); ++i) {
    const char mode = i % 2 ? 'S' : 'R';
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", (i / 60) % 24, i % 60);
    list.items.push_back(std::string(1, mode) + ' ' + time + " - /home/eva/Obrázky/tapeta " +
                         std::to_string(i) + ".bmp");
  }
  dornava::test::FakeClock clock;
  clock.time = {12, 30};
  NoWallpaper wallpaper;
  int relMinutes = 0;
  for (auto _ : state)
    dornava::RunTick(list, relMinutes, clock, wallpaper);
  benchmark::DoNotOptimize(wallpaper.changes);
}
BENCHMARK(BM_Tick)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
