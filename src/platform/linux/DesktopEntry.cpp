#include "platform/linux/DesktopEntry.h"

#include <algorithm>

#include "platform/linux/FoldCase.h"
#include "store/Utf8.h"

namespace dornava {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Text a desktop entry's string value can carry: UTF-8 without control characters other than
// the ones its escapes cover.
bool Representable(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = DecodeUtf8(text, i, &c);
    if (length == 0) return false;
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) return false;
    i += length;
  }
  return true;
}

// The string-value escapes; a leading blank would otherwise be trimmed by readers.
std::string EscapeString(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == ' ' && i == 0) {
      out += "\\s";
    } else {
      out += c;
    }
  }
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// Keys are read as GLib reads them: case-sensitive, in the main group only.
template <class Visit>
void ForEachMainKey(std::string_view text, Visit visit) {
  bool inMain = false;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inMain = line == "[Desktop Entry]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (inMain && equals != std::string_view::npos)
      visit(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
  }
}

constexpr std::string_view kOwnEntryLine =
    "# Kept in step with Dornava's autostart setting; Dornava rewrites or removes it.\n";

}  // namespace

std::string AutostartFileName(std::string_view name) {
  // Lower-cased from the folded name, so every spelling the registry takes for the same value
  // names the same file.
  const std::string folded = FoldCase(name);
  std::string out;
  for (std::size_t i = 0; i < folded.size();) {
    char32_t c = 0;
    std::size_t length = DecodeUtf8(folded, i, &c);
    if (length == 0) {
      out += folded[i++];
      continue;
    }
    std::string letter = folded.substr(i, length);
    if (c >= 'A' && c <= 'Z') {
      letter = static_cast<char>(c + 32);
    } else if (c >= 0x80 && c < 0x800) {
      // The folding knows only upper case: its lower partner is the one that folds back.
      for (const char32_t offset : {32u, 1u, 80u}) {
        std::string lower;
        AppendUtf8(lower, c + offset);
        if (FoldCase(lower) == letter) {
          letter = lower;
          break;
        }
      }
    }
    out += letter;
    i += length;
  }
  for (char& c : out) {
    if (c == '/') c = '_';
  }
  if (out.empty() || out[0] == '.') out.insert(0, "_");
  return out + ".desktop";
}

std::vector<std::string> SplitRunCommand(std::string_view command) {
  while (!command.empty() && IsBlank(command.front()))
    command.remove_prefix(1);
  if (command.empty()) return {};
  std::vector<std::string> argv;
  std::string_view rest;
  if (command.front() == '"') {
    const std::size_t close = command.rfind('"');
    if (close == 0) {
      argv.emplace_back(command.substr(1));
    } else {
      argv.emplace_back(command.substr(1, close - 1));
      rest = command.substr(close + 1);
    }
  } else {
    const std::size_t end = std::min(command.find_first_of(" \t"), command.size());
    argv.emplace_back(command.substr(0, end));
    rest = command.substr(end);
  }
  if (argv.front().empty()) return {};
  while (!rest.empty()) {
    if (IsBlank(rest.front())) {
      rest.remove_prefix(1);
      continue;
    }
    const std::size_t end = std::min(rest.find_first_of(" \t"), rest.size());
    argv.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end);
  }
  return argv;
}

std::string DesktopExec(const std::vector<std::string>& argv) {
  // Reserved characters, and a carriage return, which some readers split on.
  constexpr std::string_view kReserved = " \t\n\r\"'\\><~|&;$*?#()`";
  std::string line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line += ' ';
    if (!argument.empty() && argument.find_first_of(kReserved) == std::string::npos) {
      line += argument;
      continue;
    }
    line += '"';
    for (const char c : argument) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') line += '\\';
      line += c;
    }
    line += '"';
  }
  // The string escapes come after the quoting, so a quoted backslash ends up as four.
  std::string out;
  for (const char c : EscapeString(line)) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

std::string AutostartEntryText(std::string_view name, const std::vector<std::string>& argv) {
  if (!Representable(name)) return {};
  for (const std::string& argument : argv) {
    if (!Representable(argument)) return {};
  }
  return std::string(kOwnEntryLine) +
         "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" +
         EscapeString(name) +
         "\n"
         "Exec=" +
         DesktopExec(argv) +
         "\n"
         "Hidden=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEntryEnabled(std::string_view text) {
  bool hidden = false;
  bool enabled = true;
  ForEachMainKey(text, [&](std::string_view key, std::string_view value) {
    if (key == "Hidden") hidden = value == "true" || value == "1";
    if (key == "X-GNOME-Autostart-enabled") enabled = !(value == "false" || value == "0");
  });
  return !hidden && enabled;
}

std::string AutostartEntryExec(std::string_view text) {
  std::string exec;
  ForEachMainKey(text, [&](std::string_view key, std::string_view value) {
    if (key == "Exec") exec = value;
  });
  return exec;
}

bool IsOwnAutostartEntry(std::string_view text) {
  return text.starts_with(kOwnEntryLine);
}

}  // namespace dornava
