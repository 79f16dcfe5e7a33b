// The Plasma and PCManFM backends against stand-ins: a service of the test's own on its private
// bus, and a pcmanfm command first in PATH.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QJSEngine>
#include <QThread>

#include <sys/stat.h>

#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/wallpaper/PcmanfmWallpaper.h"
#include "platform/linux/wallpaper/PlasmaWallpaper.h"
#include "support/StrangePaths.h"
#include "support/TempDir.h"

namespace dornava {
namespace {

// Owns `service` and answers every call to `path` with `answer`, keeping the arguments. It is
// served from a thread of its own because the backend's call blocks the test's thread.
class StandIn : public QDBusVirtualObject {
 public:
  StandIn(const QString& service, const QString& path, const QVariantList& answer)
      : service_(service),
        answer_(answer),
        bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, service)) {
    moveToThread(&thread_);
    thread_.start();
    EXPECT_TRUE(bus_.registerVirtualObject(path, this) && bus_.registerService(service));
  }
  ~StandIn() override {
    bus_.unregisterService(service_);
    thread_.quit();
    thread_.wait();
    QDBusConnection::disconnectFromBus(service_);
  }

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    std::lock_guard lock(mutex_);
    calls_.push_back(message.arguments());
    return connection.send(message.createReply(answer_));
  }
  QList<QVariantList> Calls() {
    std::lock_guard lock(mutex_);
    return std::exchange(calls_, {});
  }

 private:
  QString service_;
  QVariantList answer_;
  QDBusConnection bus_;
  QThread thread_;
  std::mutex mutex_;
  QList<QVariantList> calls_;
};

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

TEST(PlasmaWallpaper, EveryDesktopGetsTheSameFileWhateverItsName) {
  test::TempDir folder;
  std::vector<std::string> paths = test::MakeStrangePaths(folder.path(), "png");
  paths.insert(paths.end(), {"/tmp/</script>.png", "/tmp/\xE2\x80\xA8\xE2\x80\xA9.png",
                             "/tmp/*/ //'+\".png", "/tmp/\t\r\x7F.png"});
  StandIn shell("org.kde.plasmashell", "/PlasmaShell", {QString()});
  for (const std::string& path : paths) {
    ASSERT_TRUE(PlasmaWallpaper().Apply(path)) << path;
    const QList<QVariantList> calls = shell.Calls();
    ASSERT_EQ(calls.size(), 1) << path;
    const std::string kept = "[\"" + FileUri(path) + "\",2,2]";  // the URI needs no JSON escape
    EXPECT_EQ(KeptByThreeDesktops(calls.front().value(0).toString()),
              "[" + kept + "," + kept + "," + kept + "]");
  }
}

TEST(PlasmaWallpaper, FailsWhenTheShellDoesNotTakeIt) {
  const struct {
    const char* name;
    std::optional<QString> answer;  // none: no shell on the bus
    std::string path;
    int sent;
  } rows[] = {
      {"locked widgets", "Widgets are locked", "/tmp/a.png", 1},
      {"no shell", std::nullopt, "/tmp/a.png", 0},
      {"not UTF-8", "", "/tmp/\xFF.png", 0},
  };
  for (const auto& row : rows) {
    std::optional<StandIn> shell;
    if (row.answer) shell.emplace("org.kde.plasmashell", "/PlasmaShell", QVariantList{*row.answer});
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(PlasmaWallpaper().Apply(row.path)) << row.name;
    EXPECT_LT(timer.elapsed(), 1000) << row.name;
    EXPECT_TRUE(!shell || shell->Calls().size() == row.sent) << row.name;
  }
}

TEST(PcmanfmWallpaper, LxqtGetsTheSamePathToZoom) {
  test::TempDir folder;
  StandIn pcmanfm("org.pcmanfm.PCManFM", "/Application", {});
  std::vector<std::string> paths = test::MakeStrangePaths(folder.path(), "png");
  paths.push_back(folder / "latin1-\xE9.png");  // last: no bus string names this file
  for (const std::string& path : paths) {
    const bool sent = path != paths.back();
    EXPECT_EQ(PcmanfmWallpaper(PcmanfmWallpaper::Kind::kLxqt).Apply(path), sent) << path;
    const QList<QVariantList> expected{{QString::fromStdString(path), "zoom"}};
    EXPECT_EQ(pcmanfm.Calls(), sent ? expected : QList<QVariantList>{}) << path;
  }
}

TEST(PcmanfmWallpaper, LxdeGetsThePathInsideOneArgument) {
  test::TempDir bin, folder;
  // The stand-in writes its arguments NUL-terminated: a path may hold a line break.
  const std::string program =
      bin.Write("pcmanfm", "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.argv\"\n");
  ::chmod(program.c_str(), 0755);
  test::ScopedEnv path("PATH", bin.path() + ":" + EnvironmentValue("PATH"));
  std::vector<std::string> paths = test::MakeStrangePaths(folder.path(), "png");
  paths.insert(paths.end(), {"-rf.png", folder / "latin1-\xE9.png"});
  for (const std::string& picture : paths) {
    ASSERT_TRUE(PcmanfmWallpaper(PcmanfmWallpaper::Kind::kLxde).Apply(picture)) << picture;
    std::ifstream file(program + ".argv", std::ios::binary);
    std::vector<std::string> argv;
    for (std::string argument; std::getline(file, argument, '\0');)
      argv.push_back(argument);
    EXPECT_EQ(argv,
              (std::vector<std::string>{"--set-wallpaper=" + picture, "--wallpaper-mode=crop"}));
  }
}

}  // namespace
}  // namespace dornava
