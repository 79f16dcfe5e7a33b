#include "ui/win32/TxtNumOnly.h"

namespace dornava {

std::int32_t SetNumOnly(HWND textBox, bool on) {
  LONG style = GetWindowLongA(textBox, GWL_STYLE);
  style = on ? style | ES_NUMBER : style & ~static_cast<LONG>(ES_NUMBER);
  const LONG previous = SetWindowLongA(textBox, GWL_STYLE, style);
  InvalidateRect(textBox, nullptr, TRUE);
  UpdateWindow(textBox);
  return static_cast<std::int32_t>(previous);
}

}  // namespace dornava
