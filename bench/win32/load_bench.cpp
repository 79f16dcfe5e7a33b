// Times the schedule store on the Windows registry with a 1000-entry schedule and prints the mean
// seconds of one operation:
//   dornava_load_bench [load|rewrite|delete] [TIMES]
// load reads the schedule, rewrite writes it whole, delete removes the middle entry (the full
// schedule is stored again, untimed, before each).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32/Win32Registry.h"
#include "store/ScheduleStore.h"
#include "support/Fakes.h"

namespace {

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
  const char* operation = argc > 1 ? argv[1] : "load";
  const int times = argc > 2 ? std::atoi(argv[2]) : 100;
  dornava::Win32Registry raw;
  dornava::Registr registr(raw);
  dornava::test::VectorList full;
  for (int i = 0; i < dornava::kScheduleCapacity; ++i) {
    full.items.push_back("S 12:34 - C:\\Wallpapers\\picture " + std::to_string(i) + ".bmp");
  }
  dornava::RewriteSchedule(registr, full);

  LONGLONG ticks = 0;
  dornava::test::VectorList list;
  for (int i = 0; i < times; ++i) {
    if (std::strcmp(operation, "load") == 0) {
      const LONGLONG start = Now();
      dornava::LoadSchedule(registr, list);
      ticks += Now() - start;
      if (list.ListCount() != dornava::kScheduleCapacity) return 1;
    } else if (std::strcmp(operation, "rewrite") == 0) {
      const LONGLONG start = Now();
      dornava::RewriteSchedule(registr, full);
      ticks += Now() - start;
    } else if (std::strcmp(operation, "delete") == 0) {
      dornava::RewriteSchedule(registr, full);
      list = full;
      list.selected = dornava::kScheduleCapacity / 2;
      const LONGLONG start = Now();
      dornava::DeleteSelectedEntry(registr, list);
      ticks += Now() - start;
      if (list.ListCount() != dornava::kScheduleCapacity - 1) return 1;
    } else {
      std::fprintf(stderr, "usage: dornava_load_bench [load|rewrite|delete] [TIMES]\n");
      return 2;
    }
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::printf("%.9f\n", static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart) /
                            (times > 0 ? times : 1));
  return 0;
}
