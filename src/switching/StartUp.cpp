#include "switching/StartUp.h"

#include "switching/MinuteTick.h"

namespace dornava {

std::string RunValueData(ProcessEnvironment& environment) {
  const std::string path =
      environment.ExecutableFolder() + environment.PathSeparator() + environment.ExecutableName();
  if (path.find_first_of(" \t") == std::string::npos) return path + " A";
  return '"' + path + "\" A";
}

void StartUp::Load() {
  host_.ScheduleLoaded(LoadSchedule(registr_, host_.List()));
  if (!registr_.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName).Text().empty()) {
    SetCheck1(1);
  }
  if (!environment_.CommandLineArgument().empty()) {
    Start();
  } else {
    host_.SetVisible(true);
  }
}

void StartUp::Start() {
  if (host_.List().ListCount() == 0) {
    host_.EndProgram();
    return;
  }
  host_.SetVisible(false);
  if (timer_.Running()) return;  // already running: the timer keeps its schedule
  const std::int64_t now = monotonic_.NowMs();
  timer_.Start(now);
  host_.ArmTimer(timer_.DelayFrom(now));
}

void StartUp::Check1Click() {
  if (host_.Check1() == 1) {
    registr_.WriteRegValue(kHkeyCurrentUser, kRunKey, kRunValueName,
                           RegValue(RunValueData(environment_)), kRegSz);
  } else {
    registr_.DelRegValue(kHkeyCurrentUser, kRunKey, kRunValueName);
  }
}

void StartUp::SetCheck1(int value) {
  if (host_.Check1() == value) return;
  host_.ShowCheck1(value);
  Check1Click();
}

void StartUp::TimerFired() {
  if (!timer_.Running()) return;
  timer_.Fired(monotonic_.NowMs());
  RunTick(host_.List(), relMinutes_, clock_, wallpaper_);
  // Armed after the tick, from the time it ended, so a slow wallpaper change costs no drift.
  host_.ArmTimer(timer_.DelayFrom(monotonic_.NowMs()));
}

}  // namespace dornava
