#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace dornava {

namespace {

// The predefined roots are 32-bit constants; a 64-bit HKEY holds them sign-extended.
HKEY ToHkey(RegKey key) {
  if (key >= 0x80000000u && key <= 0xFFFFFFFFu)
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG>(static_cast<std::uint32_t>(key))));
  return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key));
}

RegKey FromHkey(HKEY key) {
  return reinterpret_cast<std::uintptr_t>(key);
}

constexpr DWORD kTurnWaitMs = 10000;

}  // namespace

Win32Registry::~Win32Registry() {
  if (turn_) CloseHandle(turn_);
}

void Win32Registry::BeginBatch(bool) {
  if (depth_++ > 0) return;
  if (!turn_) turn_ = CreateMutexW(nullptr, FALSE, L"Local\\Dornava.Registry");
  const DWORD waited = turn_ ? WaitForSingleObject(turn_, kTurnWaitMs) : WAIT_FAILED;
  // Abandoned: its holder died mid-batch; writes come before deletes, so no entry was lost.
  holding_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

void Win32Registry::EndBatch() {
  if (depth_ == 0 || --depth_ > 0) return;
  for (const KeptKey& kept : kept_)
    RegCloseKey(ToHkey(kept.key));
  kept_.clear();
  if (holding_) ReleaseMutex(turn_);
  holding_ = false;
}

// DWORD is unsigned long, not std::uint32_t, so out-parameters go through locals. A null one
// stays null, so the system reports it exactly as it would for a direct call.

std::int32_t Win32Registry::OpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                                      std::uint32_t access, RegKey* result) {
  const bool keep = depth_ > 0 && result && subKey && options == 0;
  if (keep) {
    for (const KeptKey& kept : kept_) {
      if (kept.root == root && kept.path == subKey && kept.access == access) {
        *result = kept.key;
        return ERROR_SUCCESS;
      }
    }
  }
  HKEY handle = result ? ToHkey(*result) : nullptr;
  const LSTATUS status =
      RegOpenKeyExA(ToHkey(root), subKey, options, access, result ? &handle : nullptr);
  if (result) *result = FromHkey(handle);
  if (keep && status == ERROR_SUCCESS) kept_.push_back({root, subKey, access, *result});
  return status;
}

std::int32_t Win32Registry::CreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                                        const char* keyClass, std::uint32_t options,
                                        std::uint32_t access, const void* security, RegKey* result,
                                        std::uint32_t* disposition) {
  HKEY handle = result ? ToHkey(*result) : nullptr;
  DWORD created = disposition ? *disposition : 0;
  // The class and security parameters are declared writable but are only read.
  const LSTATUS status =
      RegCreateKeyExA(ToHkey(root), subKey, reserved, const_cast<char*>(keyClass), options, access,
                      static_cast<SECURITY_ATTRIBUTES*>(const_cast<void*>(security)),
                      result ? &handle : nullptr, disposition ? &created : nullptr);
  if (result) *result = FromHkey(handle);
  if (disposition) *disposition = created;
  return status;
}

std::int32_t Win32Registry::QueryValueEx(RegKey key, const char* name, std::uint32_t* reserved,
                                         std::uint32_t* type, std::uint8_t* data,
                                         std::uint32_t* size) {
  DWORD reservedValue = reserved ? *reserved : 0;
  DWORD typeValue = type ? *type : 0;
  DWORD sizeValue = size ? *size : 0;
  const LSTATUS status =
      RegQueryValueExA(ToHkey(key), name, reserved ? &reservedValue : nullptr,
                       type ? &typeValue : nullptr, data, size ? &sizeValue : nullptr);
  if (type) *type = typeValue;
  if (size) *size = sizeValue;
  return status;
}

std::int32_t Win32Registry::SetValueEx(RegKey key, const char* name, std::uint32_t reserved,
                                       std::uint32_t type, const std::uint8_t* data,
                                       std::uint32_t size) {
  if (!IsStringType(type) || data == nullptr)
    return RegSetValueExA(ToHkey(key), name, reserved, type, data, size);
  // NT counts a terminator the caller left out whenever the byte after the data is zero, and
  // reads that byte even past the end of the caller's buffer. A copy whose next byte is not
  // zero keeps the stored text exactly as counted.
  std::vector<std::uint8_t> copy(static_cast<std::size_t>(size) + 1, 0xFF);
  std::memcpy(copy.data(), data, size);
  return RegSetValueExA(ToHkey(key), name, reserved, type, copy.data(), size);
}

std::int32_t Win32Registry::DeleteValue(RegKey key, const char* name) {
  return RegDeleteValueA(ToHkey(key), name);
}

std::int32_t Win32Registry::CloseKey(RegKey key) {
  for (const KeptKey& kept : kept_) {
    if (kept.key == key) return ERROR_SUCCESS;  // closed when the batch ends
  }
  return RegCloseKey(ToHkey(key));
}

}  // namespace dornava
