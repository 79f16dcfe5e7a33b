// The Linux edition's registry: one SQLite database per user that behaves like the advapi32
// calls the access layer makes. Key paths and value names are case-insensitive and
// case-preserving; data is kept as the bytes given, with its type.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/RawRegistry.h"
#include "store/RegData.h"

struct sqlite3;

namespace dornava {

class SqliteStatement;

class SqliteRegistry final : public RawRegistry {
 public:
  // Opens or creates the registry at `path` (":memory:" for a private one). A file that is not
  // a registry is moved aside, never overwritten; `notice` then says where it went. Returns
  // null only when no registry at all can be had.
  static std::unique_ptr<SqliteRegistry> Open(const std::string& path, std::string* notice);
  ~SqliteRegistry() override;

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
  // A write batch is one transaction that holds the write lock from its first statement. When
  // the transaction cannot begin, writes inside the batch fail rather than go through one by one.
  void BeginBatch(bool writes) override;
  void EndBatch() override;
  // The open batch is undone at its end, whatever succeeded in it.
  void AbandonBatch();
  // Whether the last outermost batch to end was kept.
  bool LastBatchKept() const { return lastBatchKept_; }

  // What the command-line tool needs beyond the access layer's calls.
  // Sub-key names (case as stored), in case-insensitive order.
  std::int32_t EnumSubKeys(RegKey key, std::vector<std::string>* names);
  // Values in case-insensitive name order; the default value has the empty name.
  std::int32_t EnumValues(RegKey key, std::vector<RegValueRecord>* values);
  // Deletes the key, its values and every key below it. A root cannot be deleted.
  std::int32_t DeleteKeyTree(RegKey root, const char* subKey);
  // The key's path below its root, with the case it was created with.
  std::int32_t KeyPath(RegKey key, RegKey* root, std::string* path);
  // Whether this is a private registry in memory rather than the user's file.
  bool InMemory() const;
  // A registry in memory standing in for the file at `path`, which could not be opened.
  static std::unique_ptr<SqliteRegistry> StandIn(const std::string& path);
  // Opens the file it stands in for, if that now works; any notice goes to standard error.
  bool Reconnect() override;

 private:
  struct Handle {
    std::int64_t id;
    std::uint32_t access;
    RegKey root;
    std::string path;  // below the root, as created
  };
  explicit SqliteRegistry(sqlite3* db);
  bool Prepare();
  void Close();
  const Handle* Resolve(RegKey key) const;
  std::int32_t FindKey(RegKey base, const char* subKey, bool create, Handle* found, bool* created);
  std::int32_t Failed();
  // Inside a batch whose transaction could not begin.
  bool WritesRefused() const { return batchDepth_ > 0 && !batchOpen_; }
  RegKey NewHandle(Handle handle);
  bool Begin(bool writes);
  bool Finish(bool keep);

  sqlite3* db_;
  std::string standInFor_;
  std::map<RegKey, Handle> handles_;
  std::map<RegKey, Handle> roots_;
  // Keys looked up inside the current transaction, where no other process can change them;
  // a null id records a key that does not exist.
  std::map<std::pair<RegKey, std::string>, Handle> keyCache_;
  // Inside a transaction no other process can change a key's values either: the first read of
  // a key fetches all of them, later reads in the same transaction come from memory.
  struct CachedValue {
    std::uint32_t type;
    std::string data;
  };
  std::map<std::int64_t, std::map<std::string, CachedValue>> valueCache_;
  RegKey nextHandle_ = 1;
  int batchDepth_ = 0;
  bool batchOpen_ = false;
  bool batchFailed_ = false;
  bool lastBatchKept_ = false;
  std::unique_ptr<SqliteStatement> findKey_, insertKey_, getValue_, setValue_, deleteValue_,
      subKeys_, values_, deleteTreeValues_, deleteTreeKeys_, keyValues_;
};

// ${XDG_CONFIG_HOME:-$HOME/.config}/dornava/registry.db
std::string DefaultRegistryPath();

// The process's registry, opened on first use at DefaultRegistryPath(). If the file cannot be
// used at all, an in-memory registry stands in for it (StandIn) so the program still runs, and a
// notice goes to standard error.
SqliteRegistry& ProcessRegistry();

}  // namespace dornava
