// Digits only for what the user types into an edit control.
#pragma once

#include <windows.h>

#include <cstdint>

namespace dornava {

// Sets or clears ES_NUMBER on the control, leaving its other style bits and its text as they
// are, and repaints it. Returns what SetWindowLongA returned: the previous style, or 0 when the
// handle is not valid.
std::int32_t SetNumOnly(HWND textBox, bool on);

}  // namespace dornava
