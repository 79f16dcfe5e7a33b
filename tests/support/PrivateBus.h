// A session bus of the test's own, with a fresh XDG_CONFIG_HOME that the services it starts
// inherit, so settings stores (dconf, xfconfd) write nowhere but there.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/TempDir.h"

extern char** environ;

namespace dornava::test {

class PrivateBus {
 public:
  PrivateBus() {
    ::setenv("XDG_CONFIG_HOME", (home_ / "config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", home_.path().c_str(), 1);
    int out[2];
    if (::pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const char* argv[] = {"dbus-daemon", "--session", "--nofork", "--print-address=1", nullptr};
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char c;
    while (pid_ > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
      address_ += c;
    ::close(out[0]);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
  }
  ~PrivateBus() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  bool Up() const { return !address_.empty(); }
  const TempDir& Home() const { return home_; }

 private:
  TempDir home_;
  pid_t pid_ = -1;
  std::string address_;
};

}  // namespace dornava::test
