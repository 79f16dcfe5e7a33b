// A service of the test's own on the session bus: it owns `service`, keeps the arguments of each
// call to `path` and answers as told. It is served from a thread of its own because the backend's
// call blocks the test's thread.
#pragma once

#include <gtest/gtest.h>

#include <QtDBus>

#include <functional>
#include <mutex>
#include <utility>

namespace dornava::test {

class BusStandIn : public QDBusVirtualObject {
 public:
  // Sends the reply and whatever else the service would; false when it could not.
  using Answer = std::function<bool(const QDBusMessage& call, const QDBusConnection& bus)>;

  BusStandIn(const QString& service, const QString& path, Answer answer)
      : answer_(std::move(answer)),
        bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, service)) {
    moveToThread(&thread_);
    thread_.start();
    EXPECT_TRUE(bus_.registerVirtualObject(path, this) && bus_.registerService(service));
  }
  // Replies `reply` to every call.
  BusStandIn(const QString& service, const QString& path, const QVariantList& reply)
      : BusStandIn(service, path, [reply](const QDBusMessage& call, const QDBusConnection& bus) {
          return bus.send(call.createReply(reply));
        }) {}
  ~BusStandIn() override {
    bus_.unregisterService(bus_.name());  // now, for the next stand-in to take
    thread_.quit();
    thread_.wait();
    QDBusConnection::disconnectFromBus(bus_.name());
  }

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
    std::lock_guard lock(mutex_);
    calls_.push_back(call.arguments());
    return answer_(call, bus);
  }
  // The arguments of each call since the last look.
  QList<QVariantList> Calls() {
    std::lock_guard lock(mutex_);
    return std::exchange(calls_, {});
  }

 private:
  Answer answer_;
  QDBusConnection bus_;
  QThread thread_;
  std::mutex mutex_;
  QList<QVariantList> calls_;
};

}  // namespace dornava::test
