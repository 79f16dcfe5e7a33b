// The commands that read the registry: query and export.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "RegArgs.h"
#include "RegFile.h"
#include "RegFormat.h"
#include "RegMessages.h"
#include "RegSession.h"

namespace dornava::regtool {

namespace {

void ShowValue(RegConsole& console, std::string_view name, std::uint32_t type,
               std::string_view data) {
  std::string line = "    ";
  line += name.empty() ? kDefaultName : name;
  line += "    ";
  line += NameOfType(type);
  line += "    ";
  line += DataText(type, data);
  line += '\n';
  console.Out(line);
}

void QueryAll(RegConsole& console, RegBackend& backend, RegKey key, const std::string& fullName,
              bool recurse, bool nested) {
  std::vector<RegValueRecord> values;
  std::vector<std::string> subKeys;
  backend.Values(key, &values);
  backend.SubKeys(key, &subKeys);
  if (!values.empty() || nested) console.Out(fullName + "\n");
  for (const RegValueRecord& v : values)
    ShowValue(console, v.name, v.type, v.data);
  if (!values.empty() || nested) console.Out("\n");
  for (const std::string& sub : subKeys) {
    const std::string subName = fullName + "\\" + sub;
    if (!recurse) {
      console.Out(subName + "\n");
      continue;
    }
    RegKey handle = 0;
    if (backend.Open(key, sub, &handle) != kErrorSuccess) continue;
    KeyCloser closer(backend, handle);
    QueryAll(console, backend, handle, subName, true, true);
  }
}

// Runs `visit` with each sub-key of `key` that opens, closing it afterwards.
template <typename Visit>
void ForEachSubKey(RegBackend& backend, RegKey key, Visit visit) {
  std::vector<std::string> subKeys;
  backend.SubKeys(key, &subKeys);
  for (const std::string& sub : subKeys) {
    RegKey handle = 0;
    if (backend.Open(key, sub, &handle) != kErrorSuccess) continue;
    KeyCloser closer(backend, handle);
    visit(handle, sub);
  }
}

// Every key below `key` (and `key` itself) that has the value; returns how many did.
int QueryValueBelow(RegConsole& console, RegBackend& backend, RegKey key,
                    const std::string& fullName, const std::string& name) {
  int found = 0;
  RegValueRecord entry;
  if (backend.GetValue(key, name, &entry) == kErrorSuccess) {
    console.Out(fullName + "\n");
    ShowValue(console, name, entry.type, entry.data);
    console.Out("\n");
    ++found;
  }
  ForEachSubKey(backend, key, [&](RegKey handle, const std::string& sub) {
    found += QueryValueBelow(console, backend, handle, fullName + "\\" + sub, name);
  });
  return found;
}

void ExportKey(RegBackend& backend, RegKey key, const std::string& fullName,
               RegFileWriter* writer) {
  writer->Key(fullName);
  std::vector<RegValueRecord> values;
  backend.Values(key, &values);
  for (const RegValueRecord& v : values)
    writer->Value(v.name, v.type, v.data);
  ForEachSubKey(backend, key, [&](RegKey handle, const std::string& sub) {
    ExportKey(backend, handle, fullName + "\\" + sub, writer);
  });
}

std::string ErrnoText(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return "Path not found.\n";
    case EACCES:
    case EPERM:
    case EROFS:
      return "Access denied.\n";
    default:
      return std::string("reg: ") + std::strerror(error) + "\n";
  }
}

bool FileExists(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return errno != ENOENT && errno != ENOTDIR;
  std::fclose(f);
  return true;
}

constexpr SwitchRule kQueryRules[] = {{"v", Switch::kName, true},
                                      {"ve", Switch::kDefault},
                                      {"s", Switch::kRecurse},
                                      kViewRules[0],
                                      kViewRules[1]};

constexpr SwitchRule kExportRules[] = {
    {"y", Switch::kOverwrite, false, true}, kViewRules[0], kViewRules[1]};

// The registry and the command's key, which must exist; null once the error is said.
RegBackend* OpenExistingKey(RegSession& session, const KeyArg& key, RegKey* handle) {
  RegBackend* backend = session.Backend(false);
  if (backend == nullptr) return nullptr;
  if (backend->Open(key.root, key.path, handle) == kErrorSuccess) return backend;
  session.Error(kKeyNotFound);
  return nullptr;
}

}  // namespace

int Query(RegSession& session, const std::vector<std::string>& args) {
  KeyArg key;
  Switches switches;
  if (int code = 0; !session.ParseArguments(args, 2, kQueryRules, &key, &switches, &code))
    return code;
  const std::optional<std::string> name = switches.Value(Switch::kName);
  if (name && switches.Has(Switch::kDefault)) return session.InvalidSyntax();

  RegKey handle = 0;
  RegBackend* backend = OpenExistingKey(session, key, &handle);
  if (backend == nullptr) return 1;
  KeyCloser closer(*backend, handle);

  RegConsole& console = session.console;
  console.Out("\n");
  if (!name && !switches.Has(Switch::kDefault)) {
    QueryAll(console, *backend, handle, key.fullName, switches.Has(Switch::kRecurse), false);
    return 0;
  }
  const std::string valueName = name.value_or(std::string());
  if (switches.Has(Switch::kRecurse)) {
    const int found = QueryValueBelow(console, *backend, handle, key.fullName, valueName);
    console.Out("Search complete. Number of matches found: " + std::to_string(found) + "\n");
    return 0;
  }
  RegValueRecord entry;
  if (backend->GetValue(handle, valueName, &entry) == kErrorSuccess) {
    console.Out(key.fullName + "\n");
    ShowValue(console, valueName, entry.type, entry.data);
    console.Out("\n");
    return 0;
  }
  if (!valueName.empty()) return session.Error(kValueNotFound);
  console.Out(key.fullName + "\n");
  console.Out("    (Default)    REG_SZ    (value not set)\n");
  return 0;
}

int Export(RegSession& session, const std::vector<std::string>& args) {
  if (args.size() < 3) return session.InvalidSyntax();
  KeyArg key;
  Switches switches;
  if (int code = 0; !session.ParseArguments(args, 3, kExportRules, &key, &switches, &code))
    return code;
  const std::string& file = args[2];

  RegKey handle = 0;
  RegBackend* backend = OpenExistingKey(session, key, &handle);
  if (backend == nullptr) return 1;
  KeyCloser closer(*backend, handle);

  int code = 0;
  if (!switches.Has(Switch::kOverwrite) && FileExists(file) &&
      !session.Confirm("The file '" + file + "' already exists. Do you want to overwrite it?", "/y",
                       &code)) {
    return code;
  }
  RegFileWriter writer;
  ExportKey(*backend, handle, key.fullName, &writer);
  const std::string bytes = writer.Finish();

  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (f == nullptr) return session.Error(ErrnoText(errno));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const int writeError = errno;
  if (std::fclose(f) != 0 || !written)
    return session.Error(ErrnoText(written ? errno : writeError));
  return 0;
}

}  // namespace dornava::regtool
