#include "switching/MinuteTick.h"

#include "store/ScheduleEntry.h"

namespace dornava {

void RunTick(const ScheduleList& list, int& relMinutes, LocalClock& clock,
             WallpaperService& wallpaper) {
  const LocalTime now = clock.Now();
  const int clockMinute = now.hour * 60 + now.minute;
  relMinutes = (relMinutes + 1) % 1440;
  const int count = list.ListCount();
  for (int index = 0; index < count; ++index) {
    const ScheduleEntry entry(list.List(index));
    const int base = entry.IsSystemClock() ? clockMinute : relMinutes;
    if (entry.EntryMinute() == base) wallpaper.SetWallpaper(entry.Path());
  }
}

}  // namespace dornava
