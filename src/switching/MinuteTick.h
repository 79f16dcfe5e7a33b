#pragma once

#include "store/ScheduleStore.h"
#include "switching/Services.h"

namespace dornava {

// One tick of the running state: advances the minutes since Start, then hands the path of every
// entry due in its time base to the wallpaper service, in list order.
void RunTick(const ScheduleList& list, int& relMinutes, LocalClock& clock,
             WallpaperService& wallpaper);

}  // namespace dornava
