// What every command shares while it runs: the console, the registry once the arguments are
// checked, and the way it reports errors and asks questions. The commands themselves live in
// RegRead.cpp (query, export) and RegWrite.cpp (add, delete, import).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "RegArgs.h"
#include "RegCommand.h"

namespace dornava::regtool {

class RegSession {
 public:
  RegSession(const BackendOpener& open, RegConsole& out, std::string operation)
      : console(out), open_(open), operation_(std::move(operation)) {}

  // Prints the syntax error of this operation; returns the exit code.
  int InvalidSyntax();
  // Prints `message`; returns the exit code.
  int Error(std::string_view message);
  // Reads the key (args[1]), then the switches from args[from] on; false once the fault is
  // printed, *code then being the exit code.
  bool ParseArguments(const std::vector<std::string>& args, std::size_t from,
                      std::span<const SwitchRule> rules, KeyArg* key, Switches* switches,
                      int* code);
  // Asks `question`; true to go on, otherwise *code is the exit code. No terminal answers No,
  // and the error names `yesSwitch` as the way to say Yes.
  bool Confirm(const std::string& question, std::string_view yesSwitch, int* code);
  // The registry, or null when it cannot be opened (the error is printed).
  RegBackend* Backend(bool create);

  RegConsole& console;

 private:
  const BackendOpener& open_;
  std::string operation_;
};

// `args` as given to RunReg: the operation's name first.
int Query(RegSession& session, const std::vector<std::string>& args);
int Export(RegSession& session, const std::vector<std::string>& args);
int Add(RegSession& session, const std::vector<std::string>& args);
int Delete(RegSession& session, const std::vector<std::string>& args);
int Import(RegSession& session, const std::vector<std::string>& args);

}  // namespace dornava::regtool
