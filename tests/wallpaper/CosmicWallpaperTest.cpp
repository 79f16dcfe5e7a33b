// COSMIC's configuration read back as its service reads it, and the desktop portal played by a
// stand-in on the test's private bus.
#include <gtest/gtest.h>

#include <QtDBus>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <regex>
#include <sstream>

#include "platform/linux/wallpaper/CosmicWallpaper.h"
#include "platform/linux/wallpaper/PortalWallpaper.h"
#include "support/StrangePaths.h"
#include "support/TempDir.h"

namespace dornava {
namespace {

// The path an "all" entry names, read no more loosely than the service's RON parser reads it:
// exactly its fields, valid values, only RON's escapes and no raw control character.
std::optional<std::string> ReadEntry(const std::string& text) {
  static const std::regex kHead(R"(\(\s*output: "all",\s*source: Path\(")"),
      kTail(R"(\),\s*filter_by_theme: (true|false),\s*rotation_frequency: \d+,\s*)"
            R"(filter_method: (Nearest|Linear|Lanczos),\s*scaling_mode: (Zoom|Stretch),\s*)"
            R"(sampling_method: (Alphanumeric|Random),\s*\)\s*)"),
      kCode(R"(u\{([0-9a-fA-F]{1,6})\})");
  static constexpr std::string_view kNames = "\\\"nrt0", kMeanings("\\\"\n\r\t\0", 6);
  constexpr auto kHere = std::regex_constants::match_continuous;
  std::smatch match;
  if (!std::regex_search(text, match, kHead, kHere)) return std::nullopt;
  std::string path;
  for (auto at = match[0].second; at != text.end(); ++at) {
    if (*at == '"')
      return std::regex_match(at + 1, text.end(), kTail) ? path : std::optional<std::string>();
    if (static_cast<unsigned char>(*at) < 0x20 || *at == 0x7f || at + 1 == text.end()) break;
    if (*at != '\\') {
      path += *at;
    } else if (const auto simple = kNames.find(*++at); simple != kNames.npos) {
      path += kMeanings[simple];
    } else if (std::regex_search(at, text.end(), match, kCode, kHere)) {
      const auto point = static_cast<char32_t>(std::stoul(match[1], nullptr, 16));
      path += QString::fromUcs4(&point, 1).toStdString();
      at = match[0].second - 1;
    } else {
      break;
    }
  }
  return std::nullopt;
}

// Every path reaches the service as the same file, in folders made on the way; the key files are
// replaced whole, nothing left beside them. A name RON cannot hold, not being UTF-8, changes
// nothing.
TEST(Cosmic, NamesEveryPathAsTheSameFile) {
  test::TempDir home, pictures;
  test::ScopedEnv configHome("XDG_CONFIG_HOME", home / "made");
  const std::string folder = home / "made/cosmic/com.system76.CosmicBackground/v1/";
  const auto key = [&](const char* name) {
    std::ostringstream text;
    text << std::ifstream(folder + name).rdbuf();
    return text.str();
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

// The portal, served from a thread of its own as the backend's call blocks the test's: records
// what each request brings and answers with `answer`, or never.
class FakePortal : public QDBusVirtualObject {
 public:
  FakePortal() {
    moveToThread(&thread_);
    thread_.start();
    bus_.registerVirtualObject(u"/org/freedesktop/portal/desktop"_qs, this);
    bus_.registerService(u"org.freedesktop.portal.Desktop"_qs);
  }
  ~FakePortal() override {
    thread_.quit();
    thread_.wait();
    QDBusConnection::disconnectFromBus(bus_.name());
  }

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
    const std::lock_guard lock(mutex);
    if (message.member() == u"Get"_qs) {  // the interface's version
      return bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
    }
    struct stat status {};
    const auto fd = message.arguments().value(1).value<QDBusUnixFileDescriptor>();
    if (::fstat(fd.fileDescriptor(), &status) == 0) file = {status.st_dev, status.st_ino};
    options = qdbus_cast<QVariantMap>(message.arguments().value(2));
    const QString handle = u"/org/freedesktop/portal/desktop/request/"_qs +
                           message.service().mid(1).replace(u'.', u'_') + u'/' +
                           options.value(u"handle_token"_qs, u"none"_qs).toString();
    bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
    return !answer || bus.send(QDBusMessage::createSignal(
                                   handle, u"org.freedesktop.portal.Request"_qs, u"Response"_qs)
                               << *answer << QVariantMap());
  }

  std::mutex mutex;
  std::optional<uint> answer;
  std::optional<std::pair<dev_t, ino_t>> file;
  QVariantMap options;

 private:
  QThread thread_;
  QDBusConnection bus_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"portal"_qs);
};

// The portal is offered once it is on the bus. It gets the open file, whatever its name, and the
// options; only its answer 0 counts as done, and no answer as a failure once the wait is over.
TEST(Portal, HandsOverTheFileAndWaitsForTheAnswer) {
  EXPECT_FALSE(PortalWallpaper::Offered());
  FakePortal portal;
  ASSERT_TRUE(PortalWallpaper::Offered());
  test::TempDir pictures;
  const std::string picture = pictures.Write("new\nline $(x).png", "picture");
  // The picture, the portal's answer (none: it never answers) and what Apply says.
  const std::tuple<std::string, std::optional<uint>, bool> rows[] = {
      {picture, 0u, true},
      {picture, 1u, false},
      {picture, {}, false},
      {pictures / "gone", 0u, false}};
  for (const auto& [path, answer, applied] : rows) {
    SCOPED_TRACE(path);
    {
      const std::lock_guard lock(portal.mutex);
      portal.answer = answer;
      portal.file.reset();
    }
    EXPECT_EQ(PortalWallpaper().Apply(path), applied);
    struct stat status {};
    const bool exists = ::stat(path.c_str(), &status) == 0;
    const std::lock_guard lock(portal.mutex);
    EXPECT_EQ(portal.file,
              exists ? std::optional(std::pair{status.st_dev, status.st_ino}) : std::nullopt);
    EXPECT_TRUE(!exists || (portal.options.value(u"show-preview"_qs) == QVariant(false) &&
                            portal.options.value(u"set-on"_qs) == QVariant(u"background"_qs)));
  }
}

}  // namespace
}  // namespace dornava
