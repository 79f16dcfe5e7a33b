// The GSettings desktops on the private bus's real dconf, read back by the gsettings tool.
#include "platform/linux/wallpaper/GSettingsWallpaper.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/StrangePaths.h"
#include "support/TempDir.h"

namespace dornava {
namespace {

using enum GSettingsDesktop;
constexpr char kGnomeSchema[] = "org.gnome.desktop.background";
constexpr char kCinnamonSchema[] = "org.cinnamon.desktop.background";
constexpr char kSlideshow[] = "org.cinnamon.desktop.background.slideshow";
const test::ScopedEnv kDconf{"GSETTINGS_BACKEND", std::nullopt};  // not GIO's memory store

// What `gsettings get` prints, a GVariant string unquoted and unescaped.
std::string Get(const char* schema, const char* key) {
  QProcess gsettings;
  gsettings.start("gsettings", {"get", schema, key});
  gsettings.waitForFinished();
  const std::string printed = gsettings.readAllStandardOutput().trimmed().toStdString();
  if (printed.empty() || (printed[0] != '\'' && printed[0] != '"')) return printed;
  std::string text;  // only \n among the escapes occurs in the paths here
  for (size_t i = 1; i + 1 < printed.size(); ++i)
    text += printed[i] != '\\' ? printed[i] : printed[++i] == 'n' ? '\n' : printed[i];
  return text;
}

std::string PathOf(const std::string& uri) {
  if (!uri.starts_with("file://")) return "not a file URI: " + uri;
  return QByteArray::fromPercentEncoding(uri.c_str() + 7).toStdString();
}

TEST(GSettingsWallpaper, StoresTheSameFileOrFailsLeavingTheKey) {
  const test::TempDir dir;
  const std::string latin1 = dir.Write("caf\xE9.png", "png");  // not UTF-8
  std::vector<std::string> inputs = test::MakeStrangePaths(dir.path(), "png");
  inputs.insert(inputs.begin(), {"", latin1, latin1 + std::string("\0/etc/passwd", 12)});
  for (const auto& [kind, schema, key] :
       {std::tuple{kGnome, kGnomeSchema, "picture-uri"},
        std::tuple{kMate, "org.mate.background", "picture-filename"}}) {
    GSettingsWallpaper wallpaper(kind);
    const std::string initial = Get(schema, key);  // the failing inputs come first
    for (const auto& input : inputs) {
      const std::string stored = input.substr(0, input.find('\0'));
      SCOPED_TRACE(std::string(schema) + " " + input.substr(0, 200));
      const bool fits = !stored.empty() && !(kind == kMate && stored == latin1);
      EXPECT_EQ(wallpaper.Apply(input), fits);
      const std::string held = Get(schema, key);
      EXPECT_EQ(fits ? (kind == kMate ? held : PathOf(held)) : held, fits ? stored : initial);
      EXPECT_EQ(kind == kGnome && fits ? Get(schema, "picture-uri-dark") : held, held);
    }
  }
  EXPECT_TRUE(std::filesystem::exists(EnvironmentValue("XDG_CONFIG_HOME") + "/dconf/user"));
}

TEST(GSettingsWallpaper, ClearsWhatHidesOrReplacesThePictureOnlyWhenItsKeyExists) {
  const struct {
    GSettingsDesktop kind;
    const char *own, *schema, *key, *before, *after;
    bool applied;
  } rows[] = {
      {kGnome, "", kGnomeSchema, "picture-options", "'centered'", "centered", true},
      {kCinnamon, "", kCinnamonSchema, "picture-options", "'none'", "zoom", true},
      {kCinnamon, "", kSlideshow, "slideshow-enabled", "true", "false", true},
      {kGnome, "", kSlideshow, "slideshow-enabled", "true", "true", true},
      {kCinnamon, "org.dornava.absent", kSlideshow, "slideshow-enabled", "true", "true", false},
      {kMate, kGnomeSchema, kGnomeSchema, "picture-options", "'none'", "none", false},
      {kGnome, kCinnamonSchema, kCinnamonSchema, "picture-options", "'none'", "zoom", true},
  };
  for (const auto& [kind, own, schema, key, before, after, applied] : rows) {
    ASSERT_TRUE(RunProgram({"gsettings", "set", schema, key, before}));
    EXPECT_EQ(GSettingsWallpaper(kind, own).Apply("/srv/a.png"), applied) << own;
    EXPECT_EQ(Get(schema, key), after) << own << " " << before;
  }
}

}  // namespace
}  // namespace dornava
