#include "platform/linux/FoldCase.h"

#include "store/Utf8.h"

namespace dornava {

namespace {

char32_t Upper(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 32;
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Pairs: upper on even code points, except 0x139..0x148 and 0x179..0x17E where it is odd.
    if (c == 0x131) return U'I';
    if (c == 0x130 || c == 0x138 || c == 0x149 || c == 0x178 || c == 0x17F) return c;
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    const bool isLower = oddUpper ? (c % 2 == 0) : (c % 2 == 1);
    return isLower ? c - 1 : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;  // Greek
  if (c >= 0x430 && c <= 0x44F) return c - 32;                // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead >= 'a' && lead <= 'z' ? lead - 32 : lead);
      ++i;
      continue;
    }
    char32_t c = 0;
    const std::size_t length = DecodeUtf8(text, i, &c);
    if (length == 0) {
      out += text[i];
      ++i;
      continue;
    }
    const char32_t upper = Upper(c);
    if (upper == c) {
      out.append(text.substr(i, length));
    } else {
      AppendUtf8(out, upper);
    }
    i += length;
  }
  return out;
}

}  // namespace dornava
