// The main window's logic: the schedule list and its buttons, the Autostart box, the Start
// button and the minute timer. Its view is the platform's window.
#pragma once

#include <cstdint>
#include <string>

#include "store/Registr.h"
#include "store/ScheduleStore.h"
#include "switching/StartUp.h"
#include "ui/frmAbout.h"
#include "ui/frmAdd.h"

namespace dornava {

class frmListView {
 public:
  virtual ~frmListView() = default;
  virtual ScheduleList& List1() = 0;
  // "Vymazat" (Command2) and "Upravit" (Command3) are enabled and disabled together.
  virtual void SetEditButtonsEnabled(bool enabled) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual int Check1() const = 0;
  virtual void ShowCheck1(int value) = 0;
  // Arms the one-shot minute timer; when it fires the view calls frmList::Timer1Timer.
  virtual void ArmTimer(std::int64_t delayMs) = 0;
  // Ends the program at once: every window goes, no further handler runs.
  virtual void EndProgram() = 0;
};

// The system services the start-up logic needs.
struct SystemServices {
  ProcessEnvironment& environment;
  LocalClock& clock;
  MonotonicClock& monotonic;
  WallpaperService& wallpaper;
};

class frmList final : public StartUpHost, public MainWindowList {
 public:
  frmList(frmListView& view, frmAdd& add, frmAbout& about, Registr& registr,
          const SystemServices& system);

  // Handlers.
  void FormLoad();
  void Command1Click();  // "Přidat"
  void Command2Click();  // "Vymazat"
  void Command3Click();  // "Upravit"
  void Command4Click();  // "Start"
  void Command5Click();  // "O programu"
  void Check1Click();    // "Autostart", after the user changed the box
  void Timer1Timer();
  void LoadReg();

  int RelMinutes() const { return startUp_.RelMinutes(); }
  bool Running() const { return startUp_.Running(); }

  // StartUpHost and MainWindowList.
  ScheduleList& List() override { return view_.List1(); }
  ScheduleList& List1() override { return view_.List1(); }
  void EnableEditButtons() override { view_.SetEditButtonsEnabled(true); }
  void ScheduleLoaded(bool hasEntries) override;
  void SetVisible(bool visible) override { view_.SetVisible(visible); }
  void EndProgram() override { view_.EndProgram(); }
  int Check1() const override { return view_.Check1(); }
  void ShowCheck1(int value) override { view_.ShowCheck1(value); }
  void ArmTimer(std::int64_t delayMs) override { view_.ArmTimer(delayMs); }

 private:
  void SelectFirst();
  // Before each change: the stored schedule, if the registry can be opened only now.
  void Reconnect();

  frmListView& view_;
  frmAdd& add_;
  frmAbout& about_;
  Registr& registr_;
  StartUp startUp_;
};

}  // namespace dornava
