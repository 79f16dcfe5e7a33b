// COSMIC's configuration read back as its service reads it, and the desktop portal played by a
// stand-in on the test's private bus.
#include <gtest/gtest.h>

#include <QtDBus>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <utility>

#include "platform/linux/wallpaper/CosmicWallpaper.h"
#include "platform/linux/wallpaper/PortalWallpaper.h"
#include "support/BusStandIn.h"
#include "support/StrangePaths.h"
#include "support/TempDir.h"

namespace dornava {
namespace {

// The path an "all" entry names, read no more loosely than the service's RON parser reads it:
// exactly its fields, valid values, only RON's escapes and no raw control character.
std::optional<std::string> ReadEntry(const std::string& text) {
  static const std::regex kEntry(
      R"re(\(\s*output: "all",\s*source: Path\()re"
      R"re("((?:[^"\\\x00-\x1f\x7f]|\\["\\nrt0]|\\u\{[0-9a-fA-F]{1,6}\})*)"\),)re"
      R"re(\s*filter_by_theme: (true|false),\s*rotation_frequency: \d+,\s*filter_method: )re"
      R"re((Nearest|Linear|Lanczos),\s*scaling_mode: (Zoom|Stretch),\s*sampling_method: )re"
      R"re((Alphanumeric|Random),\s*\)\s*)re");
  std::smatch match;
  if (!std::regex_match(text, match, kEntry)) return std::nullopt;
  std::string path;
  for (auto at = match[1].first; at != match[1].second; ++at) {
    if (*at != '\\') {
      path += *at;
    } else if (const auto simple = std::string_view("\\\"nrt0").find(*++at); simple < 6) {
      path += std::string_view("\\\"\n\r\t\0", 6)[simple];
    } else {  // u{...}
      const auto close = std::find(at, match[1].second, '}');
      const auto point = static_cast<char32_t>(std::stoul(std::string(at + 2, close), nullptr, 16));
      path += QString::fromUcs4(&point, 1).toStdString();
      at = close;
    }
  }
  return path;
}

// Every path reaches the service as the same file, in folders made on the way; the key files are
// replaced whole, nothing left beside them. A name RON cannot hold, not being UTF-8, changes
// nothing.
TEST(Cosmic, NamesEveryPathAsTheSameFile) {
  test::TempDir home, pictures;
  test::ScopedEnv configHome("XDG_CONFIG_HOME", home / "made");
  const std::string folder = home / "made/cosmic/com.system76.CosmicBackground/v1/";
  const auto key = [&](const char* name) {
    return (std::ostringstream() << std::ifstream(folder + name).rdbuf()).str();
  };
  auto paths = test::MakeStrangePaths(pictures.path(), "picture");
  paths.push_back(pictures.Write("tab\t\x01\x7f", "picture"));
  const std::size_t utf8 = paths.size();
  // Latin-1, a stray byte, an overlong "/", a surrogate.
  for (const char* name : {"caf\xe9", "\xff", "\xc0\xaf", "\xed\xa0\x80"})
    paths.push_back(pictures.Write(name, "picture"));
  for (std::size_t i = 0; i < paths.size(); ++i) {
    SCOPED_TRACE(paths[i]);
    const std::string before = key("all");
    EXPECT_EQ(CosmicWallpaper().Apply(paths[i]), i < utf8);
    const auto named = ReadEntry(key("all"));
    std::error_code error;
    EXPECT_TRUE(i < utf8 ? named && std::filesystem::equivalent(*named, paths[i], error)
                         : key("all") == before)
        << key("all");
    EXPECT_TRUE(std::regex_match(key("same-on-all"), std::regex("\\s*true\\s*")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
  }
}

// The portal is offered once it is on the bus. It gets the open file, whatever its name, and the
// options; only its answer 0 counts as done, and no answer as a failure once the wait is over.
TEST(Portal, HandsOverTheFileAndWaitsForTheAnswer) {
  EXPECT_FALSE(PortalWallpaper::Offered());
  std::atomic<int> answer = 0;  // below 0: it never answers
  const auto respond = [&answer](const QDBusMessage& call, const QDBusConnection& bus) {
    if (call.member() == u"Get"_qs) {  // the interface's version
      return bus.send(call.createReply(QVariant::fromValue(QDBusVariant(1u))));
    }
    const auto options = qdbus_cast<QVariantMap>(call.arguments().value(2));
    const QString handle = u"/org/freedesktop/portal/desktop/request/"_qs +
                           call.service().mid(1).replace(u'.', u'_') + u'/' +
                           options.value(u"handle_token"_qs).toString();
    bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
    return answer < 0 || bus.send(QDBusMessage::createSignal(
                                      handle, u"org.freedesktop.portal.Request"_qs, u"Response"_qs)
                                  << static_cast<uint>(answer) << QVariantMap());
  };
  test::BusStandIn portal(u"org.freedesktop.portal.Desktop"_qs,
                          u"/org/freedesktop/portal/desktop"_qs, respond);
  ASSERT_TRUE(PortalWallpaper::Offered());
  test::TempDir pictures;
  EXPECT_FALSE(PortalWallpaper().Apply(pictures / "gone"));
  const std::string picture = pictures.Write("new\nline $(x).png", "picture");
  const std::pair<int, bool> rows[] = {{0, true}, {1, false}, {-1, false}};
  for (const auto& [code, applied] : rows) {
    answer = code;
    EXPECT_EQ(PortalWallpaper().Apply(picture), applied) << code;
  }
  const QList<QVariantList> calls = portal.Calls();  // Get, then one for each row
  ASSERT_EQ(calls.size(), 4);
  struct stat file = {}, given = {};
  ::stat(picture.c_str(), &file);
  ::fstat(calls[1].value(1).value<QDBusUnixFileDescriptor>().fileDescriptor(), &given);
  EXPECT_EQ(std::pair(given.st_dev, given.st_ino), std::pair(file.st_dev, file.st_ino));
  const auto options = qdbus_cast<QVariantMap>(calls[1].value(2));
  EXPECT_EQ(options.value(u"show-preview"_qs), QVariant(false));
  EXPECT_EQ(options.value(u"set-on"_qs), QVariant(u"background"_qs));
}

}  // namespace
}  // namespace dornava
