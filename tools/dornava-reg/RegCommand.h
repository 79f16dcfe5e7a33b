// dornava-reg's commands: query, add, delete, export and import with the syntax, messages and
// exit codes of reg.exe (as Wine's reg prints them), over a RegBackend.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "RegBackend.h"

namespace dornava::regtool {

enum class Answer { kYes, kNo, kNoAnswer };

class RegConsole {
 public:
  virtual ~RegConsole() = default;
  virtual void Out(std::string_view text) = 0;
  virtual void Err(std::string_view text) = 0;
  // Shows `question` with " (Yes|No)" and waits for an answer starting with Y or N; kNoAnswer
  // when no terminal can answer or the input ends.
  virtual Answer Ask(std::string_view question) = 0;
};

// Questions are asked only when `interactive` (standard input is a terminal).
class StreamConsole final : public RegConsole {
 public:
  StreamConsole(std::istream& in, std::ostream& out, std::ostream& err, bool interactive)
      : in_(in), out_(out), err_(err), interactive_(interactive) {}
  void Out(std::string_view text) override;
  void Err(std::string_view text) override;
  Answer Ask(std::string_view question) override;

 private:
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  bool interactive_;
};

// Hands out the registry once a command has checked its arguments. `create` says whether a
// registry that does not exist yet should be made; otherwise an empty one may stand in. Null
// when there is none (the opener has said why).
using BackendOpener = std::function<RegBackend*(bool create)>;

// `args` are the words after the program's name. Returns the exit code: 0 or 1.
int RunReg(const std::vector<std::string>& args, const BackendOpener& open, RegConsole& console);

}  // namespace dornava::regtool
