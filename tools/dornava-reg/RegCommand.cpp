#include "RegCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>

#include "RegFile.h"
#include "RegText.h"

namespace dornava::regtool {

namespace {

constexpr std::string_view kSuccess = "reg: The operation completed successfully\n";
constexpr std::string_view kCancelled = "reg: The registry operation was cancelled\n";
constexpr std::string_view kKeyNotFound = "reg: Unable to find the specified registry key\n";
constexpr std::string_view kValueNotFound = "reg: Unable to find the specified registry value\n";
constexpr std::string_view kAccessDenied =
    "reg: Unable to access or create the specified registry key\n";
constexpr std::string_view kInvalidKey = "reg: Invalid registry key\n";
constexpr std::string_view kNoRemote = "reg: Unable to access remote machine\n";
constexpr std::string_view kInvalidSystemKey = "reg: Invalid system key\n";
constexpr std::string_view kInvalidCommandLine = "reg: Invalid command line parameters\n";
constexpr std::string_view kBadNumber =
    "reg: The option [/d] must be followed by a valid numeric value\n";
constexpr std::string_view kBadHex =
    "reg: The option [/d] must be followed by a valid hexadecimal value\n";
constexpr std::string_view kBadString = "reg: The option [/d] must be followed by a valid string\n";
constexpr std::string_view kDefaultName = "(Default)";

constexpr std::uint32_t kRegDwordBigEndian = 5;

constexpr std::string_view kUsage =
    "Usage: REG operation [parameters]\n"
    "\n"
    "Operations: ADD, DELETE, EXPORT, IMPORT, QUERY\n"
    "Type \"REG operation /?\" for help on one of them.\n";

constexpr std::string_view kKeyHelp =
    "  key  ROOT\\Subkey, where ROOT is HKEY_CURRENT_USER (HKCU), HKEY_LOCAL_MACHINE (HKLM),\n"
    "       HKEY_CLASSES_ROOT (HKCR), HKEY_USERS (HKU) or HKEY_CURRENT_CONFIG (HKCC)\n";

struct Operation {
  const char* name;
  const char* usage;
};

constexpr Operation kOperations[] = {
    {"add",
     "REG ADD key [/v name | /ve] [/t type] [/s separator] [/d data] [/f]\n"
     "\n"
     "  Adds a key, or sets a value in it. /ve sets the default value; without /v or /ve the\n"
     "  default value is set too. Types: REG_SZ (the default), REG_EXPAND_SZ, REG_MULTI_SZ,\n"
     "  REG_DWORD, REG_QWORD, REG_BINARY, REG_NONE. REG_MULTI_SZ strings are separated by\n"
     "  \\0 or by the /s character. /f overwrites an existing value without asking.\n"},
    {"delete",
     "REG DELETE key [/v name | /ve | /va] [/f]\n"
     "\n"
     "  Deletes a key with all its subkeys and values, or one value (/v), the default\n"
     "  value (/ve) or all values of the key (/va). /f does not ask first.\n"},
    {"export",
     "REG EXPORT key file [/y]\n"
     "\n"
     "  Writes the key, its subkeys and values to a .reg file (Windows Registry Editor\n"
     "  Version 5.00, UTF-16). /y overwrites an existing file without asking.\n"},
    {"import",
     "REG IMPORT file\n"
     "\n"
     "  Reads a .reg file (Windows Registry Editor Version 5.00 or REGEDIT4) into the\n"
     "  registry: all of it, or nothing when the file has an error.\n"},
    {"query",
     "REG QUERY key [/v name | /ve] [/s]\n"
     "\n"
     "  Lists the values and subkeys of a key, or one value (/v) or the default value\n"
     "  (/ve). /s lists the subkeys' contents too.\n"},
};

struct TypeName {
  std::uint32_t type;
  const char* name;
};

// The type names reg.exe knows, in the order it looks them up.
constexpr TypeName kTypeNames[] = {
    {kRegNone, "REG_NONE"},
    {kRegSz, "REG_SZ"},
    {kRegExpandSz, "REG_EXPAND_SZ"},
    {kRegBinary, "REG_BINARY"},
    {kRegDword, "REG_DWORD"},
    {kRegDword, "REG_DWORD_LITTLE_ENDIAN"},
    {kRegDwordBigEndian, "REG_DWORD_BIG_ENDIAN"},
    {kRegQword, "REG_QWORD"},
    {kRegMultiSz, "REG_MULTI_SZ"},
};

std::optional<std::uint32_t> TypeFromName(std::string_view name) {
  for (const TypeName& t : kTypeNames) {
    if (NameEquals(name, t.name)) return t.type;
  }
  return std::nullopt;
}

std::string NameOfType(std::uint32_t type) {
  for (const TypeName& t : kTypeNames) {
    if (t.type == type) return t.name;
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%x", static_cast<unsigned>(type));
  return buf;
}

std::string HexUpper(std::string_view data) {
  std::string out;
  char buf[4];
  for (char c : data) {
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(c));
    out += buf;
  }
  return out;
}

std::uint64_t LittleEndian(std::string_view data, std::size_t bytes) {
  std::uint64_t v = 0;
  for (std::size_t i = std::min(bytes, data.size()); i > 0; --i) {
    v = (v << 8) | static_cast<unsigned char>(data[i - 1]);
  }
  return v;
}

// How query shows data: text up to its first zero, numbers in hex, the rest as hex bytes.
std::string DataText(std::uint32_t type, std::string_view data) {
  char buf[32];
  switch (type) {
    case kRegSz:
    case kRegExpandSz:
      return std::string(data.substr(0, data.find('\0')));
    case kRegDword:
    case kRegDwordBigEndian:
      std::snprintf(buf, sizeof buf, "0x%x", static_cast<unsigned>(LittleEndian(data, 4)));
      return buf;
    case kRegQword:
      std::snprintf(buf, sizeof buf, "0x%llx",
                    static_cast<unsigned long long>(LittleEndian(data, 8)));
      return buf;
    case kRegMultiSz: {
      // The strings with "\0" between them, without the closing zeros.
      std::string_view body = data;
      for (int i = 0; i < 2 && !body.empty() && body.back() == '\0'; ++i)
        body.remove_suffix(1);
      std::string out;
      for (char c : body) {
        if (c == '\0') {
          out += "\\0";
        } else {
          out.push_back(c);
        }
      }
      return out;
    }
    default:
      return HexUpper(data);
  }
}

bool IsHelpSwitch(std::string_view s) {
  return s.size() == 2 && (s[0] == '/' || s[0] == '-') &&
         (s[1] == '?' || s[1] == 'h' || s[1] == 'H');
}

struct KeyArg {
  RegKey root = 0;
  std::string path;      // for the registry: no empty parts
  std::string fullName;  // the long root name and the path as typed, for output
};

// Parses "/x" and "-x" options; true when `arg` is the switch `name` (case-insensitive).
bool IsOption(std::string_view arg, std::string_view name) {
  return arg.size() == name.size() + 1 && (arg[0] == '/' || arg[0] == '-') &&
         NameEquals(arg.substr(1), name);
}

bool IsSwitchArg(std::string_view arg) {
  return !arg.empty() && (arg[0] == '/' || arg[0] == '-');
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

bool FileExists(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return errno != ENOENT && errno != ENOTDIR;
  std::fclose(f);
  return true;
}

class Runner {
 public:
  Runner(const BackendOpener& open, RegConsole& console) : open_(open), console_(console) {}

  int Run(const std::vector<std::string>& args) {
    if (args.empty()) {
      console_.Err("reg: Invalid syntax. Type \"REG /?\" for help.\n");
      return 1;
    }
    if (IsHelpSwitch(args[0])) {
      console_.Out(kUsage);
      return 0;
    }
    const Operation* op = nullptr;
    for (const Operation& o : kOperations) {
      if (NameEquals(args[0], o.name)) op = &o;
    }
    if (op == nullptr) {
      console_.Err("reg: Invalid option [" + args[0] + "]. Type \"REG /?\" for help.\n");
      return 1;
    }
    opName_ = ToUpperAscii(args[0]);
    if (args.size() == 1) return InvalidSyntax();
    if (IsHelpSwitch(args[1])) {
      if (args.size() > 2) return InvalidSyntax();
      console_.Out(op->usage);
      if (std::string_view(op->name) != "import") {
        console_.Out("\n");
        console_.Out(kKeyHelp);
      }
      return 0;
    }
    const std::string_view name = op->name;
    if (name == "add") return Add(args);
    if (name == "delete") return Delete(args);
    if (name == "export") return Export(args);
    if (name == "import") return Import(args);
    return Query(args);
  }

 private:
  int InvalidSyntax() {
    console_.Err("reg: Invalid syntax. Type \"REG " + opName_ + " /?\" for help.\n");
    return 1;
  }

  bool ParseKey(const std::string& text, KeyArg* key) {
    if (text.size() < 3 || (text[text.size() - 1] == '\\' && text[text.size() - 2] == '\\')) {
      console_.Err(kInvalidKey);
      return false;
    }
    if (text[0] == '\\' && text[1] == '\\' && text[2] != '\\') {
      console_.Err(kNoRemote);
      return false;
    }
    std::size_t rootLength = 0;
    const RootKeyName* root = FindRootKey(text, &rootLength);
    if (root == nullptr) {
      console_.Err(kInvalidSystemKey);
      return false;
    }
    key->root = root->key;
    key->fullName = root->longName;
    if (rootLength == text.size()) return true;
    std::string_view path = std::string_view(text).substr(rootLength + 1);
    if (path.empty()) {
      console_.Err(kInvalidSystemKey);
      return false;
    }
    if (path.back() == '\\') path.remove_suffix(1);
    key->fullName += '\\';
    key->fullName += path;
    // reg.exe passes "a\\b" through and the registry reads it as "a\b".
    for (std::size_t i = 0; i < path.size(); ++i) {
      if (path[i] == '\\' && (key->path.empty() || key->path.back() == '\\')) continue;
      key->path.push_back(path[i]);
    }
    if (!key->path.empty() && key->path.back() == '\\') key->path.pop_back();
    return true;
  }

  // Accepts /reg:32 and /reg:64 (there is one view here), each once, not both.
  bool ViewOption(std::string_view arg, bool* ok) {
    if (IsOption(arg, "reg:32")) {
      *ok = !view32_ && !view64_;
      view32_ = true;
      return true;
    }
    if (IsOption(arg, "reg:64")) {
      *ok = !view64_ && !view32_;
      view64_ = true;
      return true;
    }
    return false;
  }

  // True to go on; otherwise *code is the exit code.
  bool Confirm(const std::string& question, std::string_view yesSwitch, int* code) {
    switch (console_.Ask(question)) {
      case Answer::kYes:
        return true;
      case Answer::kNo:
        console_.Out(kCancelled);
        *code = 0;
        return false;
      case Answer::kNoAnswer:
        break;
    }
    console_.Err(question + " (Yes|No) No -- no answer from a terminal; use " +
                 std::string(yesSwitch) + " to answer Yes\n");
    console_.Err(kCancelled);
    *code = 1;
    return false;
  }

  RegBackend* Backend(bool create) {
    RegBackend* backend = open_(create);
    if (backend == nullptr) console_.Err(kAccessDenied);
    return backend;
  }

  // ---- add

  bool AddData(std::uint32_t type, const std::optional<std::string>& given,
               const std::string& separator, std::string* bytes) {
    const std::string data = given.value_or(std::string());
    switch (type) {
      case kRegDword:
      case kRegDwordBigEndian:
      case kRegQword: {
        const bool qword = type == kRegQword;
        const int base = data.size() >= 2 && (data[1] == 'x' || data[1] == 'X') ? 16 : 10;
        if (!qword && !data.empty() && data[0] == '-') return Fail(kBadNumber);
        errno = 0;
        char* end = nullptr;
        const unsigned long long v = std::strtoull(data.c_str(), &end, base);
        if (*end != '\0' || (errno == ERANGE) || (!qword && v > 0xFFFFFFFFull)) {
          return Fail(kBadNumber);
        }
        for (int i = 0; i < (qword ? 8 : 4); ++i)
          bytes->push_back(static_cast<char>(v >> (8 * i)));
        return true;
      }
      case kRegBinary: {
        auto nibble = [](char c) -> int {
          if (c >= '0' && c <= '9') return c - '0';
          if (c >= 'a' && c <= 'f') return c - 'a' + 10;
          if (c >= 'A' && c <= 'F') return c - 'A' + 10;
          return -1;
        };
        std::size_t i = 0;
        if (data.size() % 2 != 0) {
          const int n = nibble(data[0]);
          if (n < 0) return Fail(kBadHex);
          bytes->push_back(static_cast<char>(n));
          i = 1;
        }
        for (; i + 1 < data.size(); i += 2) {
          const int hi = nibble(data[i]);
          const int lo = nibble(data[i + 1]);
          if (hi < 0 || lo < 0) return Fail(kBadHex);
          bytes->push_back(static_cast<char>(hi * 16 + lo));
        }
        return true;
      }
      case kRegMultiSz: {
        // Strings split at "\0" (or the /s separator); no empty string between two others.
        std::string out;
        for (std::size_t i = 0; i < data.size(); ++i) {
          if (separator.empty() && data[i] == '\\' && i + 1 < data.size() && data[i + 1] == '0') {
            out.push_back('\0');
            ++i;
          } else if (!separator.empty() && data.compare(i, separator.size(), separator) == 0) {
            out.push_back('\0');
            i += separator.size() - 1;
          } else {
            out.push_back(data[i]);
          }
          const std::size_t d = out.size() - 1;
          if (d > 0 && out[d - 1] == '\0' && (out[d] == '\0' || d == 1)) return Fail(kBadString);
        }
        out.push_back('\0');
        if (out.size() > 1 && out[out.size() - 2] != '\0') out.push_back('\0');
        *bytes = std::move(out);
        return true;
      }
      default:
        // Text, kept with its terminating zero as reg.exe stores it.
        *bytes = data;
        bytes->push_back('\0');
        return true;
    }
  }

  bool Fail(std::string_view message) {
    console_.Err(message);
    return false;
  }

  int Error(std::string_view message) {
    console_.Err(message);
    return 1;
  }

  int Add(const std::vector<std::string>& args) {
    KeyArg key;
    if (!ParseKey(args[1], &key)) return 1;
    std::optional<std::string> name, typeName, data, separator;
    bool defaultValue = false, force = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
      const std::string& arg = args[i];
      bool ok = true;
      if (!IsSwitchArg(arg)) return InvalidSyntax();
      if (IsOption(arg, "ve")) {
        if (defaultValue) return InvalidSyntax();
        defaultValue = true;
      } else if (ViewOption(arg, &ok)) {
        if (!ok) return InvalidSyntax();
      } else if (arg.size() != 2) {
        return InvalidSyntax();
      } else {
        std::optional<std::string>* target = nullptr;
        switch (arg[1]) {
          case 'v':
          case 'V':
            target = &name;
            break;
          case 't':
          case 'T':
            target = &typeName;
            break;
          case 'd':
          case 'D':
            target = &data;
            break;
          case 's':
          case 'S':
            target = &separator;
            break;
          case 'f':
          case 'F':
            if (force) return InvalidSyntax();
            force = true;
            continue;
          default:
            return InvalidSyntax();
        }
        if (target->has_value() || i + 1 == args.size()) return InvalidSyntax();
        *target = args[++i];
        if (target == &separator && Utf16Length(*separator) != 1) return InvalidSyntax();
      }
    }
    if (name && defaultValue) return InvalidSyntax();

    std::uint32_t type = kRegSz;
    if (typeName) {
      const std::optional<std::uint32_t> t = TypeFromName(*typeName);
      if (!t)
        return Error(std::string("reg: Unsupported registry data type [") + *typeName + "]\n");
      type = *t;
    }
    if ((type == kRegDword || type == kRegDwordBigEndian) && !data) {
      console_.Err(kInvalidCommandLine);
      return 1;
    }
    std::string bytes;
    if (!AddData(type, data, separator.value_or(std::string()), &bytes)) return 1;

    RegBackend* backend = Backend(true);
    if (backend == nullptr) return 1;
    const std::string valueName = name.value_or(std::string());
    if (!force) {
      RegKey existing = 0;
      if (backend->Open(key.root, key.path, &existing) == kErrorSuccess) {
        KeyCloser closer(*backend, existing);
        RegEntry entry;
        int code = 0;
        if (backend->GetValue(existing, valueName, &entry) == kErrorSuccess &&
            !Confirm("The registry value '" +
                         (valueName.empty() ? std::string(kDefaultName) : valueName) +
                         "' already exists. Do you want to overwrite it?",
                     "/f", &code)) {
          return code;
        }
      }
    }
    const bool ok = backend->Transaction([&] {
      RegKey created = 0;
      if (backend->Create(key.root, key.path, &created) != kErrorSuccess) return false;
      KeyCloser closer(*backend, created);
      return backend->SetValue(created, valueName, type, bytes) == kErrorSuccess;
    });
    if (!ok) return Error(kAccessDenied);
    console_.Out(kSuccess);
    return 0;
  }

  // ---- delete

  int Delete(const std::vector<std::string>& args) {
    KeyArg key;
    if (!ParseKey(args[1], &key)) return 1;
    std::optional<std::string> name;
    bool defaultValue = false, allValues = false, force = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
      const std::string& arg = args[i];
      bool ok = true;
      if (!IsSwitchArg(arg)) return InvalidSyntax();
      if (IsOption(arg, "va")) {
        if (allValues) return InvalidSyntax();
        allValues = true;
      } else if (IsOption(arg, "ve")) {
        if (defaultValue) return InvalidSyntax();
        defaultValue = true;
      } else if (ViewOption(arg, &ok)) {
        if (!ok) return InvalidSyntax();
      } else if (IsOption(arg, "v")) {
        if (name || i + 1 == args.size()) return InvalidSyntax();
        name = args[++i];
      } else if (IsOption(arg, "f")) {
        if (force) return InvalidSyntax();
        force = true;
      } else {
        return InvalidSyntax();
      }
    }
    if ((name && defaultValue) || (name && allValues) || (defaultValue && allValues)) {
      return InvalidSyntax();
    }
    const bool wholeKey = !name && !defaultValue && !allValues;
    // A root key holds everything; reg.exe on Windows refuses to delete one.
    if (wholeKey && key.path.empty()) return Error(kInvalidKey);

    if (!force) {
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
      if (!Confirm(question, "/f", &code)) return code;
    }

    RegBackend* backend = Backend(false);
    if (backend == nullptr) return 1;
    RegKey handle = 0;
    const std::int32_t rc = backend->Open(key.root, key.path, &handle);
    if (rc != kErrorSuccess) return Error(rc == kErrorFileNotFound ? kKeyNotFound : kAccessDenied);
    KeyCloser closer(*backend, handle);

    std::string_view failure = kAccessDenied;
    const bool ok = backend->Transaction([&] {
      if (wholeKey) return backend->DeleteTree(key.root, key.path) == kErrorSuccess;
      if (allValues) {
        std::vector<RegEntry> values;
        if (backend->Values(handle, &values) != kErrorSuccess) return false;
        for (const RegEntry& v : values) {
          if (backend->DeleteValue(handle, v.name) != kErrorSuccess) return false;
        }
        return true;
      }
      const std::int32_t r = backend->DeleteValue(handle, name.value_or(std::string()));
      if (r == kErrorFileNotFound) failure = kValueNotFound;
      return r == kErrorSuccess;
    });
    if (!ok) return Error(failure);
    console_.Out(kSuccess);
    return 0;
  }

  // ---- query

  void ShowValue(std::string_view name, std::uint32_t type, std::string_view data) {
    std::string line = "    ";
    line += name.empty() ? kDefaultName : name;
    line += "    ";
    line += NameOfType(type);
    line += "    ";
    line += DataText(type, data);
    line += '\n';
    console_.Out(line);
  }

  void QueryAll(RegBackend& backend, RegKey key, const std::string& fullName, bool recurse,
                bool nested) {
    std::vector<RegEntry> values;
    std::vector<std::string> subKeys;
    backend.Values(key, &values);
    backend.SubKeys(key, &subKeys);
    if (!values.empty() || nested) console_.Out(fullName + "\n");
    for (const RegEntry& v : values)
      ShowValue(v.name, v.type, v.data);
    if (!values.empty() || nested) console_.Out("\n");
    for (const std::string& sub : subKeys) {
      const std::string subName = fullName + "\\" + sub;
      if (!recurse) {
        console_.Out(subName + "\n");
        continue;
      }
      RegKey handle = 0;
      if (backend.Open(key, sub, &handle) != kErrorSuccess) continue;
      KeyCloser closer(backend, handle);
      QueryAll(backend, handle, subName, true, true);
    }
  }

  // Every key below `key` (and `key` itself) that has the value; returns how many did.
  int QueryValueBelow(RegBackend& backend, RegKey key, const std::string& fullName,
                      const std::string& name) {
    int found = 0;
    RegEntry entry;
    if (backend.GetValue(key, name, &entry) == kErrorSuccess) {
      console_.Out(fullName + "\n");
      ShowValue(name, entry.type, entry.data);
      console_.Out("\n");
      ++found;
    }
    std::vector<std::string> subKeys;
    backend.SubKeys(key, &subKeys);
    for (const std::string& sub : subKeys) {
      RegKey handle = 0;
      if (backend.Open(key, sub, &handle) != kErrorSuccess) continue;
      KeyCloser closer(backend, handle);
      found += QueryValueBelow(backend, handle, fullName + "\\" + sub, name);
    }
    return found;
  }

  int Query(const std::vector<std::string>& args) {
    KeyArg key;
    if (!ParseKey(args[1], &key)) return 1;
    std::optional<std::string> name;
    bool defaultValue = false, recurse = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
      const std::string& arg = args[i];
      bool ok = true;
      if (!IsSwitchArg(arg)) return InvalidSyntax();
      if (IsOption(arg, "ve")) {
        if (defaultValue) return InvalidSyntax();
        defaultValue = true;
      } else if (ViewOption(arg, &ok)) {
        if (!ok) return InvalidSyntax();
      } else if (IsOption(arg, "v")) {
        if (name || i + 1 == args.size()) return InvalidSyntax();
        name = args[++i];
      } else if (IsOption(arg, "s")) {
        if (recurse) return InvalidSyntax();
        recurse = true;
      } else {
        return InvalidSyntax();
      }
    }
    if (name && defaultValue) return InvalidSyntax();

    RegBackend* backend = Backend(false);
    if (backend == nullptr) return 1;
    RegKey handle = 0;
    if (backend->Open(key.root, key.path, &handle) != kErrorSuccess) return Error(kKeyNotFound);
    KeyCloser closer(*backend, handle);

    console_.Out("\n");
    if (!name && !defaultValue) {
      QueryAll(*backend, handle, key.fullName, recurse, false);
      return 0;
    }
    const std::string valueName = name.value_or(std::string());
    if (recurse) {
      const int found = QueryValueBelow(*backend, handle, key.fullName, valueName);
      console_.Out("Search complete. Number of matches found: " + std::to_string(found) + "\n");
      return 0;
    }
    RegEntry entry;
    if (backend->GetValue(handle, valueName, &entry) == kErrorSuccess) {
      console_.Out(key.fullName + "\n");
      ShowValue(valueName, entry.type, entry.data);
      console_.Out("\n");
      return 0;
    }
    if (!valueName.empty()) return Error(kValueNotFound);
    console_.Out(key.fullName + "\n");
    console_.Out("    (Default)    REG_SZ    (value not set)\n");
    return 0;
  }

  // ---- export

  void ExportKey(RegBackend& backend, RegKey key, const std::string& fullName,
                 RegFileWriter* writer) {
    writer->Key(fullName);
    std::vector<RegEntry> values;
    backend.Values(key, &values);
    for (const RegEntry& v : values)
      writer->Value(v.name, v.type, v.data);
    std::vector<std::string> subKeys;
    backend.SubKeys(key, &subKeys);
    for (const std::string& sub : subKeys) {
      RegKey handle = 0;
      if (backend.Open(key, sub, &handle) != kErrorSuccess) continue;
      KeyCloser closer(backend, handle);
      ExportKey(backend, handle, fullName + "\\" + sub, writer);
    }
  }

  int Export(const std::vector<std::string>& args) {
    if (args.size() < 3) return InvalidSyntax();
    KeyArg key;
    if (!ParseKey(args[1], &key)) return 1;
    const std::string& file = args[2];
    bool overwrite = false;
    for (std::size_t i = 3; i < args.size(); ++i) {
      bool ok = true;
      if (IsOption(args[i], "y")) {
        overwrite = true;
      } else if (!ViewOption(args[i], &ok) || !ok) {
        return InvalidSyntax();
      }
    }

    RegBackend* backend = Backend(false);
    if (backend == nullptr) return 1;
    RegKey handle = 0;
    if (backend->Open(key.root, key.path, &handle) != kErrorSuccess) return Error(kKeyNotFound);
    KeyCloser closer(*backend, handle);

    int code = 0;
    if (!overwrite && FileExists(file) &&
        !Confirm("The file '" + file + "' already exists. Do you want to overwrite it?", "/y",
                 &code)) {
      return code;
    }
    RegFileWriter writer(RegFileFormat::kVersion5);
    ExportKey(*backend, handle, key.fullName, &writer);
    const std::string bytes = writer.Finish();

    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) return Error(ErrnoText(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const int writeError = errno;
    if (std::fclose(f) != 0 || !written) return Error(ErrnoText(written ? errno : writeError));
    return 0;
  }

  // ---- import

  int Import(const std::vector<std::string>& args) {
    if (args.size() > 3) return InvalidSyntax();
    if (args.size() == 3) {
      bool ok = true;
      if (!ViewOption(args[2], &ok) || !ok) return InvalidSyntax();
    }
    const std::string& file = args[1];
    std::string bytes;
    if (!ReadFile(file, &bytes)) {
      console_.Err("reg: The file '" + file + "' was not found.\n");
      return 1;
    }
    RegFileContent content;
    RegFileError error;
    if (!ParseRegFile(bytes, &content, &error)) {
      std::string where = "reg: Unable to import '" + file + "'";
      if (error.line > 0) where += ", line " + std::to_string(error.line);
      console_.Err(where + ": " + error.message + ". Nothing was imported.\n");
      return 1;
    }

    RegBackend* backend = Backend(true);
    if (backend == nullptr) return 1;
    std::string failedKey;
    const bool ok = backend->Transaction([&] {
      for (const RegFileKey& k : content.keys) {
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
          if (v.remove) {
            const std::int32_t rc = backend->DeleteValue(handle, v.name);
            if (rc != kErrorSuccess && rc != kErrorFileNotFound) return false;
          } else if (backend->SetValue(handle, v.name, v.type, v.data) != kErrorSuccess) {
            return false;
          }
        }
      }
      return true;
    });
    if (!ok) {
      console_.Err("reg: Unable to import the registry key '" + failedKey +
                   "'. Nothing was imported.\n");
      return 1;
    }
    return 0;
  }

  const BackendOpener& open_;
  RegConsole& console_;
  std::string opName_;
  bool view32_ = false;
  bool view64_ = false;
};

}  // namespace

void StreamConsole::Out(std::string_view text) {
  out_ << text;
  out_.flush();
}

void StreamConsole::Err(std::string_view text) {
  err_ << text;
  err_.flush();
}

Answer StreamConsole::Ask(std::string_view question) {
  if (!interactive_) return Answer::kNoAnswer;
  for (;;) {
    out_ << question << " (Yes|No)" << std::flush;
    std::string line;
    if (!std::getline(in_, line)) {
      out_ << '\n' << std::flush;
      return Answer::kNoAnswer;
    }
    if (line.empty()) continue;
    if (line[0] == 'y' || line[0] == 'Y') return Answer::kYes;
    if (line[0] == 'n' || line[0] == 'N') return Answer::kNo;
  }
}

int RunReg(const std::vector<std::string>& args, const BackendOpener& open, RegConsole& console) {
  Runner runner(open, console);
  return runner.Run(args);
}

}  // namespace dornava::regtool
