#include "store/ScheduleStore.h"

#include <cstdio>
#include <vector>

#include "store/ScheduleEntry.h"

namespace dornava {

std::string ScheduleValueName(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "%03d", index);
  return name;
}

bool LoadSchedule(Registr& registr, ScheduleList& list) {
  // One read snapshot: another instance's rewrite is seen whole or not at all.
  RegBatch batch(registr.Raw(), false);
  list.Clear();
  for (int index = 0; index < kScheduleCapacity; ++index) {
    const std::string text =
        registr.ReadRegValue(kHkeyCurrentUser, kScheduleKey, ScheduleValueName(index)).Text();
    if (CharacterCount(text) > 10) list.AddItem(text);
  }
  return list.ListCount() > 0;
}

void RewriteSchedule(Registr& registr, const ScheduleList& list) {
  RegBatch batch(registr.Raw(), true);
  registr.MakeRegKey(kHkeyCurrentUser, kScheduleKey);
  const int count = list.ListCount();
  for (int index = 0; index < count; ++index) {
    registr.WriteRegValue(kHkeyCurrentUser, kScheduleKey, ScheduleValueName(index),
                          RegValue(list.List(index)), kRegSz);
  }
  for (int index = count; index < kScheduleCapacity; ++index) {
    registr.DelRegValue(kHkeyCurrentUser, kScheduleKey, ScheduleValueName(index));
  }
}

bool DeleteSelectedEntry(Registr& registr, ScheduleList& list) {
  const int index = list.ListIndex();
  if (index < 0 || index >= list.ListCount()) return list.ListCount() > 0;
  RegBatch batch(registr.Raw(), true);
  list.RemoveItem(index);
  registr.DelRegValue(kHkeyCurrentUser, kScheduleKey, ScheduleValueName(index));
  RewriteSchedule(registr, list);
  return list.ListCount() > 0;
}

bool ReconnectSchedule(Registr& registr, ScheduleList& list) {
  if (!registr.Raw().Reconnect()) return false;
  std::vector<std::string> added;
  for (int index = 0; index < list.ListCount(); ++index)
    added.push_back(list.List(index));
  const int selected = list.ListIndex();
  RegBatch batch(registr.Raw(), true);
  LoadSchedule(registr, list);
  const int stored = list.ListCount();
  for (const std::string& line : added)
    list.AddItem(line);
  if (!added.empty()) RewriteSchedule(registr, list);
  if (selected >= 0) list.SetListIndex(stored + selected);
  return true;
}

}  // namespace dornava
