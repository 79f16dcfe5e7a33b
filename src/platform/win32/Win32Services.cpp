#include "platform/win32/Win32Services.h"

#include <windows.h>

#include <algorithm>

namespace dornava {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string ModuleFileName() {
  // The path may be longer than MAX_PATH; a full buffer means it was cut short.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::string ArgumentText(std::string_view commandLine) {
  std::size_t end;
  if (commandLine.starts_with('"')) {
    end = commandLine.find('"', 1);
    end = end == std::string_view::npos ? commandLine.size() : end + 1;
  } else {
    end = std::min(commandLine.find_first_of(kBlanks), commandLine.size());
  }
  const std::size_t start = commandLine.find_first_not_of(kBlanks, end);
  if (start == std::string_view::npos) return {};
  return std::string(commandLine.substr(start));
}

ExecutablePath SplitExecutablePath(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  std::string_view name = path.substr(nameStart);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return {std::string(path.substr(0, slash == std::string_view::npos ? 0 : slash)),
          std::string(name)};
}

LocalTime Win32LocalClock::Now() {
  SYSTEMTIME time;
  GetLocalTime(&time);
  return {time.wHour, time.wMinute};
}

std::int64_t Win32MonotonicClock::NowMs() {
  return static_cast<std::int64_t>(GetTickCount64());
}

void Win32Wallpaper::SetWallpaper(std::string_view path) {
  std::string text(path);  // the system wants it zero-terminated
  SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, text.data(), SPIF_UPDATEINIFILE);
}

std::string Win32Environment::CommandLineArgument() {
  return ArgumentText(GetCommandLineA());
}

std::string Win32Environment::ExecutableFolder() {
  return SplitExecutablePath(ModuleFileName()).folder;
}

std::string Win32Environment::ExecutableName() {
  return SplitExecutablePath(ModuleFileName()).name;
}

}  // namespace dornava
