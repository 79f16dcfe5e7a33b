// The registry access layer: the only code that talks to the registry. Path-level calls open and
// close their key themselves and report nothing; no handle or other state outlives a call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "store/RawRegistry.h"

namespace dornava {

// Empty, a text, or a 32-bit signed integer.
class RegValue {
 public:
  RegValue() = default;
  RegValue(std::string text) : value_(std::move(text)) {}
  RegValue(const char* text) : value_(std::string(text)) {}
  RegValue(std::int32_t number) : value_(number) {}

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsText() const { return std::holds_alternative<std::string>(value_); }
  bool IsNumber() const { return std::holds_alternative<std::int32_t>(value_); }

  // Empty reads as "", a number as its decimal text.
  std::string Text() const;
  // Empty reads as 0, a text by its leading number (as ReadNumber), clamped to 32 bits.
  std::int32_t Number() const;

  friend bool operator==(const RegValue&, const RegValue&) = default;

 private:
  std::variant<std::monostate, std::string, std::int32_t> value_;
};

class Registr {
 public:
  explicit Registr(RawRegistry& raw) : raw_(raw) {}

  RegValue ReadRegValue(RegKey root, std::string_view path, std::string_view name);
  void WriteRegValue(RegKey root, std::string_view path, std::string_view name,
                     const RegValue& value, std::uint32_t type);
  void DelRegValue(RegKey root, std::string_view path, std::string_view name);
  void MakeRegKey(RegKey root, std::string_view path);

  std::int32_t GetRegValue(RegKey key, std::string_view name, RegValue& value);
  std::int32_t PutRegValue(RegKey key, std::string_view name, std::uint32_t type,
                           const RegValue& value);

  RawRegistry& Raw() { return raw_; }

 private:
  RawRegistry& raw_;
};

}  // namespace dornava
