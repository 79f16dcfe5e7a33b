#include "RegCommand.h"

#include <istream>
#include <ostream>

#include "RegMessages.h"
#include "RegSession.h"
#include "RegText.h"

namespace dornava::regtool {

namespace {

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
  int (*run)(RegSession&, const std::vector<std::string>&);
  bool takesKey;  // its help explains the key argument
  const char* usage;
};

constexpr Operation kOperations[] = {
    {"add", Add, true,
     "REG ADD key [/v name | /ve] [/t type] [/s separator] [/d data] [/f]\n"
     "\n"
     "  Adds a key, or sets a value in it. /ve sets the default value; without /v or /ve the\n"
     "  default value is set too. Types: REG_SZ (the default), REG_EXPAND_SZ, REG_MULTI_SZ,\n"
     "  REG_DWORD, REG_QWORD, REG_BINARY, REG_NONE. REG_MULTI_SZ strings are separated by\n"
     "  \\0 or by the /s character. /f overwrites an existing value without asking.\n"},
    {"delete", Delete, true,
     "REG DELETE key [/v name | /ve | /va] [/f]\n"
     "\n"
     "  Deletes a key with all its subkeys and values, or one value (/v), the default\n"
     "  value (/ve) or all values of the key (/va). /f does not ask first.\n"},
    {"export", Export, true,
     "REG EXPORT key file [/y]\n"
     "\n"
     "  Writes the key, its subkeys and values to a .reg file (Windows Registry Editor\n"
     "  Version 5.00, UTF-16). /y overwrites an existing file without asking.\n"},
    {"import", Import, false,
     "REG IMPORT file\n"
     "\n"
     "  Reads a .reg file (Windows Registry Editor Version 5.00 or REGEDIT4) into the\n"
     "  registry: all of it, or nothing when the file has an error.\n"},
    {"query", Query, true,
     "REG QUERY key [/v name | /ve] [/s]\n"
     "\n"
     "  Lists the values and subkeys of a key, or one value (/v) or the default value\n"
     "  (/ve). /s lists the subkeys' contents too.\n"},
};

bool IsHelpSwitch(std::string_view s) {
  return s.size() == 2 && (s[0] == '/' || s[0] == '-') &&
         (s[1] == '?' || s[1] == 'h' || s[1] == 'H');
}

}  // namespace

int RegSession::InvalidSyntax() {
  return Error("reg: Invalid syntax. Type \"REG " + operation_ + " /?\" for help.\n");
}

int RegSession::Error(std::string_view message) {
  console.Err(message);
  return 1;
}

bool RegSession::ParseArguments(const std::vector<std::string>& args, std::size_t from,
                                std::span<const SwitchRule> rules, KeyArg* key, Switches* switches,
                                int* code) {
  if (const std::string_view error = ParseKey(args[1], key); !error.empty()) {
    *code = Error(error);
  } else if (!ParseSwitches(args, from, rules, switches)) {
    *code = InvalidSyntax();
  } else {
    return true;
  }
  return false;
}

bool RegSession::Confirm(const std::string& question, std::string_view yesSwitch, int* code) {
  switch (console.Ask(question)) {
    case Answer::kYes:
      return true;
    case Answer::kNo:
      console.Out(kCancelled);
      *code = 0;
      return false;
    case Answer::kNoAnswer:
      break;
  }
  console.Err(question + " (Yes|No) No -- no answer from a terminal; use " +
              std::string(yesSwitch) + " to answer Yes\n");
  console.Err(kCancelled);
  *code = 1;
  return false;
}

RegBackend* RegSession::Backend(bool create) {
  RegBackend* backend = open_(create);
  if (backend == nullptr) console.Err(kAccessDenied);
  return backend;
}

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
  if (args.empty()) {
    console.Err("reg: Invalid syntax. Type \"REG /?\" for help.\n");
    return 1;
  }
  if (IsHelpSwitch(args[0])) {
    console.Out(kUsage);
    return 0;
  }
  const Operation* op = nullptr;
  for (const Operation& o : kOperations) {
    if (EqualsIgnoringAsciiCase(args[0], o.name)) op = &o;
  }
  if (op == nullptr) {
    console.Err("reg: Invalid option [" + args[0] + "]. Type \"REG /?\" for help.\n");
    return 1;
  }
  RegSession session(open, console, ToUpperAscii(args[0]));
  if (args.size() == 1) return session.InvalidSyntax();
  if (IsHelpSwitch(args[1])) {
    if (args.size() > 2) return session.InvalidSyntax();
    console.Out(op->usage);
    if (op->takesKey) {
      console.Out("\n");
      console.Out(kKeyHelp);
    }
    return 0;
  }
  return op->run(session, args);
}

}  // namespace dornava::regtool
