#include "store/ReadNumber.h"

namespace dornava {

namespace {
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

double ReadNumber(std::string_view field) {
  double value = 0;
  double scale = 0;  // 0 before the decimal point, then 0.1, 0.01, ...
  bool negative = false;
  bool started = false;  // a sign, digit or point has been read
  for (const char c : field) {
    if (IsBlank(c)) continue;
    if (!started && (c == '+' || c == '-')) {
      negative = c == '-';
      started = true;
    } else if (IsDigit(c)) {
      started = true;
      if (scale == 0) {
        value = value * 10 + (c - '0');
      } else {
        value += (c - '0') * scale;
        scale /= 10;
      }
    } else if (c == '.' && scale == 0) {
      started = true;
      scale = 0.1;
    } else {
      break;
    }
  }
  return negative ? -value : value;
}

}  // namespace dornava
