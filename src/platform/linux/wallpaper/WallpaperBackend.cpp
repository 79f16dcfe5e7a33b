#include "platform/linux/wallpaper/WallpaperBackend.h"

#include <cstdio>

#include "platform/linux/wallpaper/CosmicWallpaper.h"
#include "platform/linux/wallpaper/GSettingsWallpaper.h"
#include "platform/linux/wallpaper/PcmanfmWallpaper.h"
#include "platform/linux/wallpaper/PlasmaWallpaper.h"
#include "platform/linux/wallpaper/PortalWallpaper.h"
#include "platform/linux/wallpaper/SwayWallpaper.h"
#include "platform/linux/wallpaper/X11RootWallpaper.h"
#include "platform/linux/wallpaper/XfceWallpaper.h"

namespace dornava {
namespace {

using enum WallpaperBackend;

struct Name {
  std::string_view name;
  WallpaperBackend backend;
};

// Entries of XDG_CURRENT_DESKTOP, compared without case ("ubuntu:GNOME", "Budgie:GNOME",
// "labwc:wlroots"); the first known one wins.
constexpr Name kDesktopNames[] = {
    {"gnome", kGnome},    {"ubuntu", kGnome},        {"unity", kGnome},       {"budgie", kGnome},
    {"pantheon", kGnome}, {"x-cinnamon", kCinnamon}, {"cinnamon", kCinnamon}, {"mate", kMate},
    {"kde", kPlasma},     {"xfce", kXfce},           {"lxqt", kLxqt},         {"lxde", kLxde},
    {"cosmic", kCosmic},  {"sway", kSway},           {"hyprland", kHyprland}, {"niri", kSwaybg},
    {"river", kSwaybg},   {"labwc", kSwaybg},        {"wayfire", kSwaybg},    {"wlroots", kSwaybg},
};

// Beginnings of DESKTOP_SESSION, asked only without XDG_CURRENT_DESKTOP: older display managers
// name a session file ("gnome-xorg", "plasmawayland", "xfce4"), sometimes by its full path.
constexpr Name kSessionPrefixes[] = {
    {"gnome", kGnome},       {"ubuntu", kGnome},      {"budgie", kGnome},  {"pantheon", kGnome},
    {"cinnamon", kCinnamon}, {"mate", kMate},         {"plasma", kPlasma}, {"kde", kPlasma},
    {"xfce", kXfce},         {"lxqt", kLxqt},         {"lxde", kLxde},     {"cosmic", kCosmic},
    {"sway", kSway},         {"hyprland", kHyprland},
};

// Sockets and marks compositors leave in the environment of their clients.
constexpr Name kCompositorVariables[] = {
    {"SWAYSOCK", kSway},      {"HYPRLAND_INSTANCE_SIGNATURE", kHyprland},
    {"NIRI_SOCKET", kSwaybg}, {"WAYFIRE_SOCKET", kSwaybg},
    {"LABWC_PID", kSwaybg},
};

constexpr const char* kVariables[] = {"DORNAVA_WALLPAPER_COMMAND", "XDG_CURRENT_DESKTOP",
                                      "DESKTOP_SESSION", "DISPLAY", "WAYLAND_DISPLAY"};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

WallpaperBackend NamedDesktop(const SessionEnvironment& environment) {
  const std::string current = Lower(environment.Get("XDG_CURRENT_DESKTOP"));
  if (!current.empty()) {
    std::string_view rest = current;
    for (;;) {
      const auto colon = rest.find(':');
      for (const auto& entry : kDesktopNames) {
        if (rest.substr(0, colon) == entry.name) return entry.backend;
      }
      if (colon == std::string_view::npos) return kNone;
      rest.remove_prefix(colon + 1);
    }
  }
  std::string session = Lower(environment.Get("DESKTOP_SESSION"));
  session.erase(0, session.rfind('/') + 1);
  for (const auto& entry : kSessionPrefixes) {
    if (!session.empty() && session.starts_with(entry.name)) return entry.backend;
  }
  return kNone;
}

}  // namespace

std::string SessionEnvironment::Get(std::string_view name) const {
  const auto found = variables.find(name);
  return found == variables.end() ? std::string() : found->second;
}

SessionEnvironment SessionEnvironment::FromProcess() {
  SessionEnvironment environment;
  for (const char* name : kVariables)
    environment.variables[name] = EnvironmentValue(name);
  for (const auto& entry : kCompositorVariables) {
    const std::string name(entry.name);
    environment.variables[name] = EnvironmentValue(name.c_str());
  }
  environment.portalOffered = &PortalWallpaper::Offered;
  return environment;
}

WallpaperChoice ChooseWallpaperBackend(const SessionEnvironment& environment) {
  if (!environment.Get("DORNAVA_WALLPAPER_COMMAND").empty()) return {kCommand, {}};
  if (const WallpaperBackend desktop = NamedDesktop(environment); desktop != kNone) {
    return {desktop, {}};
  }
  for (const auto& entry : kCompositorVariables) {
    if (!environment.Get(entry.name).empty()) return {entry.backend, {}};
  }
  if (environment.portalOffered()) return {kPortal, {}};
  if (!environment.Get("DISPLAY").empty() && environment.Get("WAYLAND_DISPLAY").empty()) {
    return {kX11Root, {}};
  }
  const std::string seen = environment.Get("XDG_CURRENT_DESKTOP");
  return {kNone, "dornava: the wallpaper cannot be set on this desktop (" +
                     (seen.empty() ? std::string("none named") : "\"" + seen + "\"") +
                     "); set DORNAVA_WALLPAPER_COMMAND to a program, with its options, that takes "
                     "the picture's path as its last argument."};
}

CommandWallpaper::CommandWallpaper(std::string_view command) {
  std::string word;
  for (const char c : command) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words_.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words_.push_back(std::move(word));
}

bool CommandWallpaper::Apply(std::string_view path) {
  path = StoredPath(path);
  if (words_.empty() || path.empty()) return false;
  std::vector<std::string> argv = words_;
  argv.emplace_back(path);
  // The user's program may decode and scale a large picture: it gets longer than a desktop call.
  return RunProgram(argv, 10 * kDesktopTimeoutMs);
}

std::unique_ptr<DesktopWallpaper> MakeWallpaperService(const SessionEnvironment& environment,
                                                       std::string* notice) {
  WallpaperChoice choice = ChooseWallpaperBackend(environment);
  if (notice) *notice = std::move(choice.notice);
  switch (choice.backend) {
    case kCommand:
      return std::make_unique<CommandWallpaper>(environment.Get("DORNAVA_WALLPAPER_COMMAND"));
    case kGnome:
      return std::make_unique<GSettingsWallpaper>(GSettingsDesktop::kGnome);
    case kCinnamon:
      return std::make_unique<GSettingsWallpaper>(GSettingsDesktop::kCinnamon);
    case kMate:
      return std::make_unique<GSettingsWallpaper>(GSettingsDesktop::kMate);
    case kPlasma:
      return std::make_unique<PlasmaWallpaper>();
    case kXfce:
      return std::make_unique<XfceWallpaper>();
    case kLxqt:
      return std::make_unique<PcmanfmWallpaper>(PcmanfmWallpaper::Kind::kLxqt);
    case kLxde:
      return std::make_unique<PcmanfmWallpaper>(PcmanfmWallpaper::Kind::kLxde);
    case kCosmic:
      return std::make_unique<CosmicWallpaper>();
    case kSway:
      return std::make_unique<SwayWallpaper>();
    case kHyprland:
      return std::make_unique<HyprlandWallpaper>();
    case kSwaybg:
      return std::make_unique<SwaybgWallpaper>();
    case kPortal:
      return std::make_unique<PortalWallpaper>();
    case kX11Root:
      return std::make_unique<X11RootWallpaper>(environment.Get("DISPLAY"));
    case kNone:
      break;
  }
  return std::make_unique<NoWallpaper>();
}

std::unique_ptr<DesktopWallpaper> MakeWallpaperService() {
  std::string notice;
  auto service = MakeWallpaperService(SessionEnvironment::FromProcess(), &notice);
  if (!notice.empty()) std::fprintf(stderr, "%s\n", notice.c_str());
  return service;
}

}  // namespace dornava
