// Stores a 1000-entry schedule in the Windows registry and prints the mean time of one load.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/win32/Win32Registry.h"
#include "store/ScheduleStore.h"
#include "support/Fakes.h"

int main(int argc, char** argv) {
  const int loads = argc > 1 ? std::atoi(argv[1]) : 100;
  dornava::Win32Registry raw;
  dornava::Registr registr(raw);
  dornava::test::VectorList schedule;
  for (int i = 0; i < dornava::kScheduleCapacity; ++i) {
    schedule.items.push_back("S 12:34 - C:\\Wallpapers\\picture " + std::to_string(i) + ".bmp");
  }
  dornava::RewriteSchedule(registr, schedule);

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  dornava::test::VectorList list;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < loads; ++i)
    dornava::LoadSchedule(registr, list);
  QueryPerformanceCounter(&end);
  if (list.ListCount() != dornava::kScheduleCapacity) return 1;
  const double seconds =
      static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::printf("%.9f\n", seconds / loads);
  return 0;
}
