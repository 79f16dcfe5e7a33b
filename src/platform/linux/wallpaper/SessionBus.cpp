#include "platform/linux/wallpaper/SessionBus.h"

#include <sys/stat.h>

#include <atomic>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {
namespace {

QString UniqueName() {
  static std::atomic<int> count{0};
  return QStringLiteral("dornava-wallpaper-%1").arg(count++);
}

// Without an address, or the per-user socket that stands for one, libdbus would launch a bus of
// its own on the X display just to be asked one question, and leave it running.
QDBusConnection Connect(const QString& name) {
  struct stat info;
  const std::string runtime = EnvironmentValue("XDG_RUNTIME_DIR");
  if (EnvironmentValue("DBUS_SESSION_BUS_ADDRESS").empty() &&
      (runtime.empty() || ::stat((runtime + "/bus").c_str(), &info) != 0 ||
       !S_ISSOCK(info.st_mode))) {
    return QDBusConnection(QString());
  }
  return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
}

}  // namespace

SessionBus::SessionBus() : name_(UniqueName()), connection_(Connect(name_)) {}

SessionBus::~SessionBus() {
  connection_ = QDBusConnection(QString());
  QDBusConnection::disconnectFromBus(name_);
}

QDBusMessage SessionBus::Call(const QString& service, const QString& path, const QString& interface,
                              const QString& method, const QList<QVariant>& arguments) {
  QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
  message.setArguments(arguments);
  if (!connection_.isConnected()) {
    return message.createErrorReply(QDBusError::Disconnected, QStringLiteral("no session bus"));
  }
  return connection_.call(message, QDBus::Block, kDesktopTimeoutMs);
}

}  // namespace dornava
