#include "RegArgs.h"

#include "RegMessages.h"

namespace dornava::regtool {

std::string_view ParseKey(std::string_view text, KeyArg* key) {
  if (text.size() < 3 || (text[text.size() - 1] == '\\' && text[text.size() - 2] == '\\'))
    return kInvalidKey;
  if (text[0] == '\\' && text[1] == '\\' && text[2] != '\\') return kNoRemote;
  std::size_t rootLength = 0;
  const RootKey* root = FindRootKey(text, &rootLength);
  if (root == nullptr) return kInvalidSystemKey;
  key->root = root->key;
  key->fullName = root->longName;
  if (rootLength == text.size()) return {};
  std::string_view path = text.substr(rootLength + 1);
  if (path.empty()) return kInvalidSystemKey;
  if (path.back() == '\\') path.remove_suffix(1);
  key->fullName += '\\';
  key->fullName += path;
  // reg.exe passes "a\\b" through and the registry reads it as "a\b".
  NormaliseKeyPath(path, true, &key->path);
  return {};
}

std::optional<std::string> Switches::Value(Switch what) const {
  const auto found = given_.find(what);
  if (found == given_.end()) return std::nullopt;
  return found->second;
}

bool ParseSwitches(const std::vector<std::string>& args, std::size_t from,
                   std::span<const SwitchRule> rules, Switches* out) {
  for (std::size_t i = from; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg.empty() || (arg[0] != '/' && arg[0] != '-')) return false;
    const SwitchRule* rule = nullptr;
    for (const SwitchRule& r : rules) {
      if (EqualsIgnoringAsciiCase(arg.substr(1), r.word)) rule = &r;
    }
    if (rule == nullptr) return false;
    if (out->Has(rule->what) && !rule->repeatable) return false;
    std::string value;
    if (rule->takesValue) {
      if (i + 1 == args.size()) return false;
      value = args[++i];
    }
    out->given_[rule->what] = std::move(value);
  }
  return true;
}

}  // namespace dornava::regtool
