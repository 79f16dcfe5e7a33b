// Autostart on Linux: the per-user Run key of the SQLite registry, kept in step with entries in
// the XDG autostart folder, so the desktop starts at login what Windows would start at logon.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/SqliteRegistry.h"
#include "store/RawRegistry.h"

namespace dornava {

// A registry over the SQLite one that mirrors string values under HKCU's Run key as desktop
// entries `<name>.desktop` in `autostartFolder`:
// - writing such a value writes its entry first; when the entry cannot be written the call fails
//   and the registry is left as it was;
// - deleting it removes the entry (and, likewise, fails without touching the registry when the
//   entry cannot be removed);
// - reading it finds nothing when the entry is gone or the desktop's settings disabled it;
// - everything else passes straight through.
// Each change is one batch of its own, or part of the caller's: when the batch is not kept, the
// entries it changed are put back as well. Batches go through this layer, not `inner`.
class XdgAutostart final : public RawRegistry {
 public:
  // Creates the Run key if it is missing: on Windows it is always there, and the access layer
  // never creates keys when it writes. Then brings the Run values and their entries back in
  // step where a crash, or the user, left them apart.
  XdgAutostart(SqliteRegistry& inner, std::string autostartFolder);

  std::int32_t OpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                         std::uint32_t access, RegKey* result) override;
  std::int32_t CreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                           const char* keyClass, std::uint32_t options, std::uint32_t access,
                           const void* security, RegKey* result,
                           std::uint32_t* disposition) override;
  std::int32_t QueryValueEx(RegKey key, const char* name, std::uint32_t* reserved,
                            std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
  std::int32_t SetValueEx(RegKey key, const char* name, std::uint32_t reserved, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override;
  std::int32_t DeleteValue(RegKey key, const char* name) override;
  std::int32_t CloseKey(RegKey key) override;
  void BeginBatch(bool writes) override;
  void EndBatch() override;

  // What the command-line tool needs beyond the access layer's calls, mapped the same way: the
  // Run key lists only the values that read, and a tree holding the Run key takes their entries.
  std::int32_t EnumValues(RegKey key, std::vector<RegValueRecord>* values);
  std::int32_t DeleteKeyTree(RegKey root, const char* subKey);
  SqliteRegistry& Inner() { return inner_; }
  // Once on the user's file, its Run value and entry are brought in step as at opening.
  bool Reconnect() override;

 private:
  // An entry as it was before a change in the open batch.
  struct Saved {
    std::string path;
    bool existed;
    std::string content;
  };

  bool IsRunKey(RegKey key);
  // Where the entry for the Run value `name` lives.
  std::string EntryPath(std::string_view name) const;
  void Reconcile(RegKey runKey);
  void ReconcileRunKey();
  // Runs `change` in a batch; a change the store then fails to commit fails too.
  template <class Change>
  std::int32_t InBatch(Change change);

  SqliteRegistry& inner_;
  std::string folder_;
  int depth_ = 0;
  std::vector<Saved> saved_;
};

// ${XDG_CONFIG_HOME:-$HOME/.config}/autostart
std::string AutostartFolder();

// The process's registry as the Linux edition uses it: ProcessRegistry() with the Run key kept
// in step with ${XDG_CONFIG_HOME:-$HOME/.config}/autostart.
RawRegistry& LinuxRegistry();

}  // namespace dornava
