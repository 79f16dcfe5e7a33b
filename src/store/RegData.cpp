#include "store/RegData.h"

namespace dornava {

namespace {

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithRoot(std::string_view path, std::string_view name) {
  if (path.size() < name.size() || !EqualsIgnoringAsciiCase(path.substr(0, name.size()), name))
    return false;
  return path.size() == name.size() || path[name.size()] == '\\';
}

}  // namespace

const RootKey* FindRootKey(RegKey key) {
  for (const RootKey& root : kRootKeys) {
    if (root.key == key) return &root;
  }
  return nullptr;
}

const RootKey* FindRootKey(std::string_view path, std::size_t* length) {
  for (const RootKey& root : kRootKeys) {
    for (std::string_view name :
         {std::string_view(root.shortName), std::string_view(root.longName)}) {
      if (StartsWithRoot(path, name)) {
        *length = name.size();
        return &root;
      }
    }
  }
  return nullptr;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::uint64_t FromLittleEndian(std::string_view data, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = width < data.size() ? width : data.size(); i > 0; --i)
    value = (value << 8) | static_cast<unsigned char>(data[i - 1]);
  return value;
}

std::string ToLittleEndian(std::uint64_t value, std::size_t width) {
  std::string bytes;
  for (std::size_t i = 0; i < width; ++i)
    bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return bytes;
}

bool NormaliseKeyPath(std::string_view path, bool skipEmptyLevels, std::string* out) {
  while (!path.empty() && path.back() == '\\')
    path.remove_suffix(1);
  out->clear();
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' && (out->empty() || out->back() == '\\')) {
      if (!skipEmptyLevels) return false;
      continue;
    }
    out->push_back(path[i]);
  }
  return true;
}

}  // namespace dornava
