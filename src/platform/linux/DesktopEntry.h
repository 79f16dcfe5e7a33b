// The Desktop Entry rules the autostart mapping needs, as text in and text out: no files here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dornava {

// The entry's file name for the Run value `name`: lower-cased, with no '/' and no leading '.'.
std::string AutostartFileName(std::string_view name);

// A Run value's command line split the way RunValueData builds it: a leading '"' quotes the
// program up to the last '"'; otherwise the program ends at the first blank. The arguments
// follow, separated by blanks. Empty when there is no program.
std::vector<std::string> SplitRunCommand(std::string_view command);

// The Exec value of a desktop entry that runs `argv` exactly: quoted and escaped by the Desktop
// Entry rules, ready to follow "Exec=".
std::string DesktopExec(const std::vector<std::string>& argv);

// The autostart entry named `name` that starts `argv`, or empty when `name` or an argument
// cannot be written in one (not UTF-8, or a control character no escape covers).
std::string AutostartEntryText(std::string_view name, const std::vector<std::string>& argv);

// Whether the desktop would start an entry of this text: neither of the switches the desktops'
// settings use to turn an entry off is set. Keys are read as GLib reads them: case-sensitive, in
// the main group, the last occurrence wins.
bool AutostartEntryEnabled(std::string_view text);

// The Exec value of an entry's main group, as written (last occurrence; empty when none).
std::string AutostartEntryExec(std::string_view text);

// Whether AutostartEntryText wrote this entry: it still starts with the line saying so.
bool IsOwnAutostartEntry(std::string_view text);

}  // namespace dornava
