// Start-up, the running state and autostart: the main window's Load handler, its Start action,
// its Autostart check box and its minute timer, written once for every edition.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/Locations.h"
#include "store/Registr.h"
#include "store/ScheduleStore.h"
#include "switching/MinuteTimer.h"
#include "switching/Services.h"

namespace dornava {

// The command line registered for autostart: the executable's folder and name, then " A". The
// path is quoted when it holds a blank, so the system cannot take a prefix of it for the program.
std::string RunValueData(ProcessEnvironment& environment);

// The parts of the main window the start-up logic drives.
class StartUpHost {
 public:
  virtual ~StartUpHost() = default;
  virtual ScheduleList& List() = 0;
  // After the load: select the first entry, or disable "Upravit" and "Vymazat" when there is none.
  virtual void ScheduleLoaded(bool hasEntries) = 0;
  virtual void SetVisible(bool visible) = 0;
  // Ends the program at once: every window goes and no further handler runs.
  virtual void EndProgram() = 0;
  // The Autostart box: 1 checked, 0 not. ShowCheck1 only changes what the box shows.
  virtual int Check1() const = 0;
  virtual void ShowCheck1(int value) = 0;
  // Arms the one-shot minute timer; when it fires, the host calls StartUp::TimerFired.
  virtual void ArmTimer(std::int64_t delayMs) = 0;
};

class StartUp {
 public:
  StartUp(StartUpHost& host, Registr& registr, ProcessEnvironment& environment, LocalClock& clock,
          MonotonicClock& monotonic, WallpaperService& wallpaper)
      : host_(host),
        registr_(registr),
        environment_(environment),
        clock_(clock),
        monotonic_(monotonic),
        wallpaper_(wallpaper) {}

  // The Load handler: fills the list, reflects the Run value in the box, then shows the window
  // or, with a command-line argument, starts at once.
  void Load();
  // The Start button: hides the window and starts the minute timer, or ends the program when the
  // schedule is empty.
  void Start();
  // The box's Click handler: the user changed the box, or the program did through SetCheck1.
  void Check1Click();
  // The program sets the box; a change runs the Click handler, as a user's click would.
  void SetCheck1(int value);
  // The minute timer fired: re-arm for the next deadline, then tick.
  void TimerFired();

  int RelMinutes() const { return relMinutes_; }
  bool Running() const { return timer_.Running(); }

 private:
  StartUpHost& host_;
  Registr& registr_;
  ProcessEnvironment& environment_;
  LocalClock& clock_;
  MonotonicClock& monotonic_;
  WallpaperService& wallpaper_;
  MinuteTimer timer_;
  int relMinutes_ = 0;
};

}  // namespace dornava
