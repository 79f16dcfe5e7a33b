// Where the program keeps what it keeps: the schedule key and the per-user Run value, both under
// HKEY_CURRENT_USER. Shared by the store, the start-up logic and the platforms' registries.
#pragma once

#include <string_view>

namespace dornava {

inline constexpr std::string_view kScheduleKey = "Software\\Brenlow\\Dornava";
inline constexpr int kScheduleCapacity = 1000;
inline constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunValueName = "Dornava";

}  // namespace dornava
