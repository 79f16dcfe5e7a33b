#include "platform/linux/wallpaper/SessionBus.h"

#include <atomic>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava {
namespace {

QString UniqueName() {
  static std::atomic<int> count{0};
  return QStringLiteral("dornava-wallpaper-%1").arg(count++);
}

}  // namespace

SessionBus::SessionBus()
    : name_(UniqueName()),
      connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name_)) {}

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
