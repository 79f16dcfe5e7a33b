// The commands that change the registry: add, delete and import. Each change is one batch.
#include <cstdio>

#include "RegArgs.h"
#include "RegFile.h"
#include "RegFormat.h"
#include "RegMessages.h"
#include "RegSession.h"
#include "RegText.h"

namespace dornava::regtool {

namespace {

constexpr SwitchRule kAddRules[] = {{"v", Switch::kName, true},
                                    {"ve", Switch::kDefault},
                                    {"t", Switch::kType, true},
                                    {"s", Switch::kSeparator, true},
                                    {"d", Switch::kData, true},
                                    {"f", Switch::kForce},
                                    kViewRules[0],
                                    kViewRules[1]};

constexpr SwitchRule kDeleteRules[] = {{"v", Switch::kName, true},
                                       {"ve", Switch::kDefault},
                                       {"va", Switch::kAllValues},
                                       {"f", Switch::kForce},
                                       kViewRules[0],
                                       kViewRules[1]};

bool ReadFile(const std::string& path, std::string* bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  char buf[65536];
  bool ok = true;
  for (;;) {
    const std::size_t n = std::fread(buf, 1, sizeof buf, f);
    bytes->append(buf, n);
    if (n < sizeof buf) {
      ok = std::ferror(f) == 0;
      break;
    }
  }
  std::fclose(f);
  return ok;
}

}  // namespace

int Add(RegSession& session, const std::vector<std::string>& args) {
  KeyArg key;
  Switches switches;
  if (int code = 0; !session.ParseArguments(args, 2, kAddRules, &key, &switches, &code))
    return code;
  const std::string separator = switches.Value(Switch::kSeparator).value_or(std::string());
  if (switches.Has(Switch::kSeparator) && Utf16Length(separator) != 1)
    return session.InvalidSyntax();
  const std::optional<std::string> name = switches.Value(Switch::kName);
  if (name && switches.Has(Switch::kDefault)) return session.InvalidSyntax();

  std::uint32_t type = kRegSz;
  if (const auto typeName = switches.Value(Switch::kType)) {
    const std::optional<std::uint32_t> t = TypeFromName(*typeName);
    if (!t) return session.Error("reg: Unsupported registry data type [" + *typeName + "]\n");
    type = *t;
  }
  if ((type == kRegDword || type == kRegDwordBigEndian) && !switches.Has(Switch::kData))
    return session.Error(kInvalidCommandLine);
  std::string bytes;
  const std::string_view dataError =
      DataFromText(type, switches.Value(Switch::kData).value_or(std::string()), separator, &bytes);
  if (!dataError.empty()) return session.Error(dataError);

  RegBackend* backend = session.Backend(true);
  if (backend == nullptr) return 1;
  const std::string valueName = name.value_or(std::string());
  if (!switches.Has(Switch::kForce)) {
    RegKey existing = 0;
    if (backend->Open(key.root, key.path, &existing) == kErrorSuccess) {
      KeyCloser closer(*backend, existing);
      RegValueRecord entry;
      int code = 0;
      if (backend->GetValue(existing, valueName, &entry) == kErrorSuccess &&
          !session.Confirm("The registry value '" +
                               (valueName.empty() ? std::string(kDefaultName) : valueName) +
                               "' already exists. Do you want to overwrite it?",
                           "/f", &code)) {
        return code;
      }
    }
  }
  const bool ok = InOneBatch(*backend, [&] {
    RegKey created = 0;
    if (backend->Create(key.root, key.path, &created) != kErrorSuccess) return false;
    KeyCloser closer(*backend, created);
    return backend->SetValue(created, valueName, type, bytes) == kErrorSuccess;
  });
  if (!ok) return session.Error(kAccessDenied);
  session.console.Out(kSuccess);
  return 0;
}

int Delete(RegSession& session, const std::vector<std::string>& args) {
  KeyArg key;
  Switches switches;
  if (int code = 0; !session.ParseArguments(args, 2, kDeleteRules, &key, &switches, &code))
    return code;
  const std::optional<std::string> name = switches.Value(Switch::kName);
  const bool defaultValue = switches.Has(Switch::kDefault);
  const bool allValues = switches.Has(Switch::kAllValues);
  if (int(name.has_value()) + int(defaultValue) + int(allValues) > 1)
    return session.InvalidSyntax();
  const bool wholeKey = !name && !defaultValue && !allValues;
  // A root key holds everything; reg.exe on Windows refuses to delete one.
  if (wholeKey && key.path.empty()) return session.Error(kInvalidKey);

  if (!switches.Has(Switch::kForce)) {
    std::string question;
    if (name || defaultValue) {
      const std::string shown = name && !name->empty() ? *name : std::string(kDefaultName);
      question = "Are you sure you want to delete the registry value '" + shown + "'?";
    } else if (allValues) {
      question = "Are you sure you want to delete all registry values in '" + key.fullName + "'?";
    } else {
      question = "Are you sure you want to delete the registry key '" + key.fullName + "'?";
    }
    int code = 0;
    if (!session.Confirm(question, "/f", &code)) return code;
  }

  RegBackend* backend = session.Backend(false);
  if (backend == nullptr) return 1;
  RegKey handle = 0;
  const std::int32_t rc = backend->Open(key.root, key.path, &handle);
  if (rc != kErrorSuccess)
    return session.Error(rc == kErrorFileNotFound ? kKeyNotFound : kAccessDenied);
  KeyCloser closer(*backend, handle);

  std::string_view failure = kAccessDenied;
  const bool ok = InOneBatch(*backend, [&] {
    if (wholeKey) return backend->DeleteTree(key.root, key.path) == kErrorSuccess;
    if (allValues) {
      std::vector<RegValueRecord> values;
      if (backend->Values(handle, &values) != kErrorSuccess) return false;
      for (const RegValueRecord& v : values) {
        if (backend->DeleteValue(handle, v.name) != kErrorSuccess) return false;
      }
      return true;
    }
    const std::int32_t r = backend->DeleteValue(handle, name.value_or(std::string()));
    if (r == kErrorFileNotFound) failure = kValueNotFound;
    return r == kErrorSuccess;
  });
  if (!ok) return session.Error(failure);
  session.console.Out(kSuccess);
  return 0;
}

int Import(RegSession& session, const std::vector<std::string>& args) {
  Switches switches;
  if (!ParseSwitches(args, 2, kViewRules, &switches)) return session.InvalidSyntax();
  const std::string& file = args[1];
  std::string bytes;
  if (!ReadFile(file, &bytes))
    return session.Error("reg: The file '" + file + "' was not found.\n");
  std::vector<RegFileKey> keys;
  RegFileError error;
  if (!ParseRegFile(bytes, &keys, &error)) {
    std::string where = "reg: Unable to import '" + file + "'";
    if (error.line > 0) where += ", line " + std::to_string(error.line);
    return session.Error(where + ": " + error.message + ". Nothing was imported.\n");
  }

  RegBackend* backend = session.Backend(true);
  if (backend == nullptr) return 1;
  std::string failedKey;
  const bool ok = InOneBatch(*backend, [&] {
    for (const RegFileKey& k : keys) {
      failedKey = k.name;
      if (k.remove) {
        const std::int32_t rc = backend->DeleteTree(k.root, k.path);
        if (rc != kErrorSuccess && rc != kErrorFileNotFound) return false;
        continue;
      }
      RegKey handle = 0;
      if (backend->Create(k.root, k.path, &handle) != kErrorSuccess) return false;
      KeyCloser closer(*backend, handle);
      for (const RegFileValue& v : k.values) {
        const RegValueRecord& value = v.value;
        if (v.remove) {
          const std::int32_t rc = backend->DeleteValue(handle, value.name);
          if (rc != kErrorSuccess && rc != kErrorFileNotFound) return false;
        } else if (backend->SetValue(handle, value.name, value.type, value.data) != kErrorSuccess) {
          return false;
        }
      }
    }
    return true;
  });
  if (!ok) {
    return session.Error("reg: Unable to import the registry key '" + failedKey +
                         "'. Nothing was imported.\n");
  }
  return 0;
}

}  // namespace dornava::regtool
