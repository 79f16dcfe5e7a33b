// The Plasma and PCManFM backends against stand-ins: a service of the test's own on its private
// bus, and a pcmanfm command first in PATH.
#include <gtest/gtest.h>

#include <QJSEngine>

#include <string>
#include <vector>

#include "platform/linux/wallpaper/PcmanfmWallpaper.h"
#include "platform/linux/wallpaper/PlasmaWallpaper.h"
#include "support/BusStandIn.h"
#include "support/RecordingProgram.h"
#include "support/StrangePaths.h"
#include "support/TempDir.h"

namespace dornava {
namespace {

// What each of three desktops kept once the script ran as the shell runs it: its image, fill
// mode and number of settings; the error instead when the script failed.
std::string KeptByThreeDesktops(const QString& script) {
  QJSEngine engine;
  engine.evaluate(R"(var made = [];
    function desktops() {
      for (var i = 0; i < 3; ++i) made.push({seen: {}, writeConfig: function (key, value) {
        this.seen[[this.wallpaperPlugin].concat(this.currentConfigGroup, key).join("/")] = value;
      }});
      return made.slice();
    })");
  const QJSValue ran = engine.evaluate(script);
  if (ran.isError()) return ran.toString().toStdString();
  return engine
      .evaluate(R"(JSON.stringify(made.map(function (d) {
      var group = "org.kde.image/Wallpaper/org.kde.image/General/";
      return [d.seen[group + "Image"], d.seen[group + "FillMode"], Object.keys(d.seen).length];
    })))")
      .toString()
      .toStdString();
}

// The shell's complaint is a failure; a path that is not UTF-8 would name another file and is
// not sent. Any other reaches every desktop as the same file.
TEST(PlasmaWallpaper, EveryDesktopGetsTheSameFileOrItFails) {
  {
    test::BusStandIn shell("org.kde.plasmashell", "/PlasmaShell", {u"Widgets are locked"_qs});
    EXPECT_FALSE(PlasmaWallpaper().Apply("/tmp/a.png"));
    EXPECT_EQ(shell.Calls().size(), 1);
  }
  test::TempDir folder;
  std::vector<std::string> paths = test::MakeStrangePaths(folder.path(), "png");
  paths.push_back(folder / "latin1-\xE9.png");
  test::BusStandIn shell("org.kde.plasmashell", "/PlasmaShell", {QString()});
  for (const std::string& path : paths) {
    const bool sent = path != paths.back();
    EXPECT_EQ(PlasmaWallpaper().Apply(path), sent) << path;
    std::vector<std::string> kept;
    for (const QVariantList& call : shell.Calls())
      kept.push_back(KeptByThreeDesktops(call.value(0).toString()));
    const std::string one = "[\"" + FileUri(path) + "\",2,2]";  // the URI needs no JSON escape
    EXPECT_EQ(kept, std::vector<std::string>(sent, "[" + one + "," + one + "," + one + "]"));
  }
}

// LXQt's call takes the path as text, which a path that is not UTF-8 cannot be; LXDE's command
// takes any path inside the option's own argument.
TEST(PcmanfmWallpaper, LxqtGetsTheSamePathToZoomAndLxdeOneArgument) {
  test::TempDir folder, bin;
  test::ScopedEnv searched("PATH", bin.path() + ":" + EnvironmentValue("PATH"));
  test::WriteRecordingProgram(bin / "pcmanfm");
  test::BusStandIn lxqt("org.pcmanfm.PCManFM", "/Application", QVariantList());
  std::vector<std::string> paths = test::MakeStrangePaths(folder.path(), "png");
  paths.insert(paths.end(), {"-rf.png", folder / "latin1-\xE9.png"});
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    const bool sent = path != paths.back();
    EXPECT_EQ(PcmanfmWallpaper(PcmanfmWallpaper::Kind::kLxqt).Apply(path), sent);
    EXPECT_EQ(lxqt.Calls(), QList<QVariantList>(sent, {QString::fromStdString(path), "zoom"}));
    EXPECT_TRUE(PcmanfmWallpaper(PcmanfmWallpaper::Kind::kLxde).Apply(path));
    EXPECT_EQ(test::RecordedRuns(bin / "pcmanfm"),
              (test::Runs{{"--set-wallpaper=" + path, "--wallpaper-mode=crop"}}));
  }
}

}  // namespace
}  // namespace dornava
