#include "store/Registr.h"

#include <limits>
#include <vector>

#include "store/ReadNumber.h"
#include "store/RegData.h"

namespace dornava {

std::string RegValue::Text() const {
  if (const auto* text = std::get_if<std::string>(&value_)) return *text;
  if (const auto* number = std::get_if<std::int32_t>(&value_)) return std::to_string(*number);
  return {};
}

std::int32_t RegValue::Number() const {
  if (const auto* number = std::get_if<std::int32_t>(&value_)) return *number;
  const auto* text = std::get_if<std::string>(&value_);
  if (!text) return 0;
  const double parsed = ReadNumber(*text);
  if (parsed >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (parsed <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(parsed);
}

RegValue Registr::ReadRegValue(RegKey root, std::string_view path, std::string_view name) {
  const std::string subKey(path);
  RegKey key = 0;
  raw_.OpenKeyEx(root, subKey.c_str(), 0, kKeyAccess, &key);
  RegValue result;
  GetRegValue(key, name, result);
  raw_.CloseKey(key);
  return result;
}

void Registr::WriteRegValue(RegKey root, std::string_view path, std::string_view name,
                            const RegValue& value, std::uint32_t type) {
  const std::string subKey(path);
  RegKey key = 0;
  raw_.OpenKeyEx(root, subKey.c_str(), 0, kKeyAccess, &key);
  PutRegValue(key, name, type, value);
  raw_.CloseKey(key);
}

void Registr::DelRegValue(RegKey root, std::string_view path, std::string_view name) {
  const std::string subKey(path);
  const std::string valueName(name);
  RegKey key = 0;
  raw_.OpenKeyEx(root, subKey.c_str(), 0, kKeyAccess, &key);
  raw_.DeleteValue(key, valueName.c_str());
  raw_.CloseKey(key);
}

void Registr::MakeRegKey(RegKey root, std::string_view path) {
  const std::string subKey(path);
  RegKey key = 0;
  std::uint32_t disposition = 0;
  raw_.CreateKeyEx(root, subKey.c_str(), 0, nullptr, 0, kKeyAccess, nullptr, &key, &disposition);
  raw_.CloseKey(key);
}

std::int32_t Registr::GetRegValue(RegKey key, std::string_view name, RegValue& value) {
  const std::string valueName(name);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::int32_t status = raw_.QueryValueEx(key, valueName.c_str(), nullptr, &type, nullptr, &size);
  if (status != kErrorSuccess) return status;

  if (type == kRegSz) {
    // Taken whole, as many bytes as reported: a terminator stored with the text stays in it.
    std::vector<std::uint8_t> buffer(size, 0);
    status = raw_.QueryValueEx(key, valueName.c_str(), nullptr, &type, buffer.data(), &size);
    if (status == kErrorSuccess) {
      const std::size_t length = size < buffer.size() ? size : buffer.size();
      value = RegValue(std::string(reinterpret_cast<const char*>(buffer.data()), length));
    } else {
      value = RegValue();
    }
    return status;
  }
  if (type == kRegDword) {
    std::uint8_t bytes[4] = {0, 0, 0, 0};
    // The room is the buffer's: a value stored longer than four bytes fails with kErrorMoreData.
    size = sizeof bytes;
    status = raw_.QueryValueEx(key, valueName.c_str(), nullptr, &type, bytes, &size);
    if (status == kErrorSuccess) {
      const auto number = static_cast<std::uint32_t>(
          FromLittleEndian(std::string_view(reinterpret_cast<const char*>(bytes), 4), 4));
      value = RegValue(static_cast<std::int32_t>(number));
    }
    return status;
  }
  return -1;
}

std::int32_t Registr::PutRegValue(RegKey key, std::string_view name, std::uint32_t type,
                                  const RegValue& value) {
  const std::string valueName(name);
  if (type == kRegSz) {
    // No terminator is written or counted.
    const std::string text = value.Text();
    return raw_.SetValueEx(key, valueName.c_str(), 0, kRegSz,
                           reinterpret_cast<const std::uint8_t*>(text.data()),
                           static_cast<std::uint32_t>(text.size()));
  }
  if (type == kRegDword) {
    const std::string bytes = ToLittleEndian(static_cast<std::uint32_t>(value.Number()), 4);
    return raw_.SetValueEx(key, valueName.c_str(), 0, kRegDword,
                           reinterpret_cast<const std::uint8_t*>(bytes.data()), 4);
  }
  return kErrorSuccess;
}

}  // namespace dornava
