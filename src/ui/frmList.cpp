#include "ui/frmList.h"

#include "store/ScheduleEntry.h"

namespace dornava {

frmList::frmList(frmListView& view, frmAdd& add, frmAbout& about, Registr& registr,
                 const SystemServices& system)
    : view_(view),
      add_(add),
      about_(about),
      registr_(registr),
      startUp_(*this, registr, system.environment, system.clock, system.monotonic,
               system.wallpaper) {
  add_.AttachMain(*this);
}

void frmList::FormLoad() {
  startUp_.Load();
}

void frmList::LoadReg() {
  ScheduleLoaded(LoadSchedule(registr_, view_.List1()));
}

void frmList::ScheduleLoaded(bool hasEntries) {
  if (hasEntries) {
    view_.List1().SetListIndex(0);
  } else {
    view_.SetEditButtonsEnabled(false);
  }
}

void frmList::Reconnect() {
  if (ReconnectSchedule(registr_, view_.List1()) && view_.List1().ListCount() > 0)
    view_.SetEditButtonsEnabled(true);
}

void frmList::SelectFirst() {
  // Fails quietly on an empty list.
  if (view_.List1().ListCount() > 0) view_.List1().SetListIndex(0);
}

void frmList::Command1Click() {
  Reconnect();
  add_.SetFields("00", "00", "", true);
  add_.set_edit(false);
  add_.ShowModal();
  SelectFirst();
}

void frmList::Command2Click() {
  Reconnect();
  ScheduleList& list = view_.List1();
  const int index = list.ListIndex();
  if (index < 0 || index >= list.ListCount()) return;  // no selection: nothing to delete
  // The rewrite is the editor's, which comes into being for it if need be.
  add_.Ensure();
  ScheduleLoaded(DeleteSelectedEntry(registr_, list));
}

void frmList::Command3Click() {
  Reconnect();
  ScheduleList& list = view_.List1();
  const int index = list.ListIndex();
  if (index < 0 || index >= list.ListCount()) return;  // no selection: nothing to change
  const std::string kept = list.List(index);
  Command2Click();
  const ScheduleEntry entry(kept);
  add_.SetFields(entry.HoursField(), entry.MinutesField(), entry.Path(), entry.IsSystemClock());
  add_.set_edit(true);
  add_.set_kept(kept);
  add_.ShowModal();
  SelectFirst();
}

void frmList::Command4Click() {
  startUp_.Start();
}

void frmList::Command5Click() {
  about_.ShowModal();
}

void frmList::Check1Click() {
  Reconnect();
  startUp_.Check1Click();
}

void frmList::Timer1Timer() {
  startUp_.TimerFired();
}

}  // namespace dornava
