// One of several processes on the same schedule through the program's own registry: "a" and "b"
// rewrite their list, "autostart" switches the Run value on and off, "read" loads the schedule;
// each TIMES times. Exits 1 when a load shows anything but one whole list; "read" then prints
// which list it saw last and the Run value ("-": none).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "store/Locations.h"
#include "store/ScheduleStore.h"
#include "support/Fakes.h"
#ifdef _WIN32
#include "platform/win32/Win32Registry.h"
#else
#include "platform/linux/XdgAutostart.h"
#endif

int main(int argc, char** argv) {
  using namespace dornava;
#ifdef _WIN32
  Win32Registry raw;
#else
  RawRegistry& raw = LinuxRegistry();
#endif
  Registr registr(raw);
  // Long enough that a rewrite's writes take a while, of lengths that differ.
  test::VectorList lists[2];
  for (int i = 0; i < 40; ++i) {
    if (i < 30) lists[0].AddItem("S 07:00 - /a/" + std::to_string(i));
    lists[1].AddItem("R 00:10 - /b/" + std::to_string(i));
  }
  const std::string role = argc == 3 ? argv[1] : "";
  const int times = argc == 3 ? std::atoi(argv[2]) : 0;
  const char* seen = "none";
  for (int i = 0; i < times; ++i) {
    if (role == "a" || role == "b") {
      RewriteSchedule(registr, lists[role == "b"]);
    } else if (role == "autostart" && i % 2 == 0) {
      registr.WriteRegValue(kHkeyCurrentUser, kRunKey, kRunValueName, "/opt/dornava A", kRegSz);
    } else if (role == "autostart") {
      registr.DelRegValue(kHkeyCurrentUser, kRunKey, kRunValueName);
    } else {
      test::VectorList list;
      LoadSchedule(registr, list);
      seen = list.items == lists[0].items ? "a" : list.items == lists[1].items ? "b" : nullptr;
      if (!seen && !list.items.empty()) return 1;
    }
  }
  if (role != "read") return role.empty() ? 2 : 0;
  const RegValue run = registr.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName);
  std::printf("%s %s\n", seen ? seen : "none", run.IsEmpty() ? "-" : run.Text().c_str());
  return 0;
}
