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

QVariantMap Stored() {
  const auto reply = Xfconf("GetAllProperties", {"xfce4-desktop", "/"});
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  return qdbus_cast<QVariantMap>(reply.arguments().value(0));
}

TEST(XfceWallpaper, EveryBackdropTakesThePathAndKeepsItsStyle) {
  Set("xfwm4", "/general/workspace_count", 2);
  Set("xfce4-desktop", "/backdrop/screen0/monitorOLD-1/workspace0/last-image", "/old.png");
  Set("xfce4-desktop", "/backdrop/screen0/monitorOLD-1/workspace0/backdrop-cycle-enable", true);
  Set("xfce4-desktop", "/backdrop/screen0/monitorDP-1/workspace1/image-style", 3);
  XfceWallpaper wallpaper({"DP-1", "HDMI-A-2"});
  test::TempDir folder;
  for (const std::string& path : test::MakeStrangePaths(folder.path(), "png")) {
    ASSERT_TRUE(wallpaper.Apply(path)) << path;
    const QVariant picture = QString::fromStdString(path), none;  // none: no such property
    const std::pair<const char*, QVariant> expected[] = {
        {"/backdrop/screen0/monitorOLD-1/workspace0/last-image", picture},
        {"/backdrop/screen0/monitorDP-1/workspace1/last-image", picture},
        {"/backdrop/screen0/monitorHDMI-A-2/workspace0/last-image", picture},
        {"/backdrop/screen0/monitorDP-1/workspace2/last-image", none},
        {"/backdrop/screen0/monitorDP-1/workspace0/image-style", 5},
        {"/backdrop/screen0/monitorDP-1/workspace1/image-style", 3},
        {"/backdrop/screen0/monitorOLD-1/workspace0/backdrop-cycle-enable", false},
    };
    const QVariantMap stored = Stored();
    for (const auto& [property, value] : expected) {
      EXPECT_EQ(stored.value(property).metaType(), value.metaType()) << property;  // int, not uint
      EXPECT_EQ(stored.value(property), value) << property;
    }
  }
}

}  // namespace
}  // namespace dornava
