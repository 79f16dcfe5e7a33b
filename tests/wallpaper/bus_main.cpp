// Each desktop test process gets a session bus and a settings folder of its own before anything
// touches the bus: the settings stores it starts (dconf, xfconfd) write nowhere else.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/PrivateBus.h"
#include "support/TempDir.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const dornava::test::TempDir home;
  ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", home.path().c_str(), 1);
  const dornava::test::PrivateServer bus(
      {"dbus-daemon", "--session", "--nofork", "--print-address="});
  if (bus.line.empty()) {
    std::fprintf(stderr, "no dbus-daemon: cannot run\n");
    return 1;
  }
  ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.line.c_str(), 1);
  QCoreApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
