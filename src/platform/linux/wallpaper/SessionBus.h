// A connection to the session bus made for one wallpaper change and closed after it, so the
// running program holds none between ticks.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QString>
#include <QVariant>

namespace dornava {

class SessionBus {
 public:
  SessionBus();
  ~SessionBus();
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  bool IsConnected() const { return connection_.isConnected(); }
  QDBusConnection& Connection() { return connection_; }

  // Calls a method and waits for its reply at most kDesktopTimeoutMs; an error message when
  // there is no bus or no reply.
  QDBusMessage Call(const QString& service, const QString& path, const QString& interface,
                    const QString& method, const QList<QVariant>& arguments = {});

 private:
  QString name_;
  QDBusConnection connection_;
};

}  // namespace dornava
