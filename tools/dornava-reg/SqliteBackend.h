// The commands' view of the Linux edition's registry: through the autostart layer, as the
// program sees it, so the Run key and the desktop's autostart entries stay in step.
#pragma once

#include "RegBackend.h"
#include "platform/linux/XdgAutostart.h"

namespace dornava::regtool {

class SqliteBackend : public RegBackend {
 public:
  explicit SqliteBackend(XdgAutostart& registry) : registry_(registry) {}

  std::int32_t Open(RegKey base, const std::string& path, RegKey* key) override;
  std::int32_t Create(RegKey root, const std::string& path, RegKey* key) override;
  void Close(RegKey key) override;
  std::int32_t GetValue(RegKey key, const std::string& name, RegValueRecord* value) override;
  std::int32_t SetValue(RegKey key, const std::string& name, std::uint32_t type,
                        const std::string& data) override;
  std::int32_t DeleteValue(RegKey key, const std::string& name) override;
  std::int32_t Values(RegKey key, std::vector<RegValueRecord>* values) override;
  std::int32_t SubKeys(RegKey key, std::vector<std::string>* names) override;
  std::int32_t DeleteTree(RegKey root, const std::string& path) override;
  void BeginBatch() override;
  bool EndBatch(bool keep) override;

 private:
  XdgAutostart& registry_;
};

}  // namespace dornava::regtool
