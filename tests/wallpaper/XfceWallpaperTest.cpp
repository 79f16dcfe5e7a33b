// The Xfce backend against a real settings store, activated on the test's private bus.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusVariant>
#include <QVariantMap>

#include "platform/linux/wallpaper/SessionBus.h"
#include "platform/linux/wallpaper/XfceWallpaper.h"
#include "support/StrangePaths.h"
#include "support/TempDir.h"

namespace dornava {
namespace {

QDBusMessage Xfconf(const char* method, const QList<QVariant>& arguments) {
  SessionBus bus;
  return bus.Call("org.xfce.Xfconf", "/org/xfce/Xfconf", "org.xfce.Xfconf", method, arguments);
}

void Set(const char* channel, const QString& property, const QVariant& value) {
  const auto reply =
      Xfconf("SetProperty", {channel, property, QVariant::fromValue(QDBusVariant(value))});
  ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
}

QVariant Get(const QString& property) {
  const auto reply = Xfconf("GetProperty", {"xfce4-desktop", property});
  if (reply.type() != QDBusMessage::ReplyMessage) return {};
  return qvariant_cast<QDBusVariant>(reply.arguments().front()).variant();
}

QString Backdrop(const char* monitor, int workspace, const char* leaf) {
  return QStringLiteral("/backdrop/screen0/monitor%1/workspace%2/%3")
      .arg(monitor, QString::number(workspace), leaf);
}

TEST(XfceWallpaper, EveryBackdropTakesThePathAndKeepsItsStyle) {
  Set("xfwm4", "/general/workspace_count", 2);
  Set("xfce4-desktop", Backdrop("OLD-1", 0, "last-image"), "/old.png");
  Set("xfce4-desktop", Backdrop("OLD-1", 0, "backdrop-cycle-enable"), true);
  Set("xfce4-desktop", Backdrop("DP-1", 1, "image-style"), 3);
  XfceWallpaper wallpaper({"DP-1", "HDMI-A-2"});

  const std::pair<const char*, int> images[] = {
      {"OLD-1", 0}, {"DP-1", 0}, {"DP-1", 1}, {"HDMI-A-2", 0}, {"HDMI-A-2", 1}};
  test::TempDir folder;
  for (const std::string& path : test::MakeStrangePaths(folder.path(), "png")) {
    ASSERT_TRUE(wallpaper.Apply(path)) << path;
    for (const auto& [monitor, workspace] : images) {
      const QVariant stored = Get(Backdrop(monitor, workspace, "last-image"));
      EXPECT_EQ(stored.metaType(), QMetaType::fromType<QString>()) << monitor << workspace;
      EXPECT_EQ(stored.toString().toStdString(), path) << monitor << workspace;
    }
  }

  const struct {
    QString property;
    QVariant expected;  // invalid: no such property
  } settings[] = {
      {Backdrop("DP-1", 0, "image-style"), 5},
      {Backdrop("DP-1", 1, "image-style"), 3},
      {Backdrop("HDMI-A-2", 1, "image-style"), 5},
      {Backdrop("OLD-1", 0, "backdrop-cycle-enable"), false},
      {Backdrop("DP-1", 2, "last-image"), {}},
  };
  for (const auto& [property, expected] : settings) {
    const QVariant stored = Get(property);
    EXPECT_EQ(stored.metaType(), expected.metaType()) << property.toStdString();
    EXPECT_EQ(stored, expected) << property.toStdString();
  }
}

TEST(XfceWallpaper, FailsAndStoresNothing) {
  Xfconf("ResetProperty", {"xfce4-desktop", "/", true});
  test::TempDir folder;
  const std::string picture = folder.Write("a.png", "png");
  const struct {
    const char* what;
    std::vector<std::string> monitors;
    std::string path;
  } cases[] = {
      {"a path that is not UTF-8", {"DP-1"}, folder / "a\xff.png"},
      {"no screen and no backdrop", {}, picture},
      {"a monitor name the store refuses", {"DP 1"}, picture},
  };
  for (const auto& [what, monitors, path] : cases) {
    EXPECT_FALSE(XfceWallpaper(monitors).Apply(path)) << what;
    const auto stored = Xfconf("GetAllProperties", {"xfce4-desktop", "/"});
    ASSERT_EQ(stored.type(), QDBusMessage::ReplyMessage) << what;
    EXPECT_TRUE(qdbus_cast<QVariantMap>(stored.arguments().front()).isEmpty()) << what;
  }
}

}  // namespace
}  // namespace dornava
