// The schedule in the registry: one REG_SZ value per entry, named by its list position
// ("000".."999"), under HKCU\Software\Brenlow\Dornava. The list in memory is the master copy.
#pragma once

#include <string>
#include <string_view>

#include "store/Locations.h"
#include "store/Registr.h"

namespace dornava {

// The list operations the store needs; the main window's list box provides them.
class ScheduleList {
 public:
  virtual ~ScheduleList() = default;
  virtual void Clear() = 0;
  virtual void AddItem(std::string_view text) = 0;
  virtual void RemoveItem(int index) = 0;
  virtual int ListCount() const = 0;
  virtual const std::string& List(int index) const = 0;
  virtual int ListIndex() const = 0;
  virtual void SetListIndex(int index) = 0;
};

// "000" for 0, "041" for 41, "1000" for 1000.
std::string ScheduleValueName(int index);

// Fills the list from "000".."999", skipping values of 10 characters or fewer. Returns whether
// the list holds any entry (the caller selects the first or disables its buttons).
bool LoadSchedule(Registr& registr, ScheduleList& list);

// Writes the whole list back: entries first, then the surplus names, as one durable unit where
// the registry has transactions, so an interrupted rewrite can duplicate an entry but never lose
// one.
void RewriteSchedule(Registr& registr, const ScheduleList& list);

// Removes the selected entry from the list and the registry and rewrites the rest. Does nothing
// without a selection. Returns whether the list still holds any entry.
bool DeleteSelectedEntry(Registr& registr, ScheduleList& list);

// When the registry could not be opened at the start and now can, the schedule stored there comes
// first and the entries of this run follow it, so no stored entry is overwritten by a list the
// user never saw; the selection stays on its entry. Returns whether that happened.
bool ReconnectSchedule(Registr& registr, ScheduleList& list);

}  // namespace dornava
