// The desktop backends' tests: each test process gets a session bus and a settings folder of
// its own before anything touches the bus.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/PrivateBus.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  dornava::test::PrivateBus bus;
  if (!bus.Up()) {
    std::fprintf(stderr, "no dbus-daemon: cannot run\n");
    return 1;
  }
  QCoreApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
