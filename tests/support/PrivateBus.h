#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/linux/wallpaper/DesktopWallpaper.h"

namespace dornava::test {

// A server of the test's own, so that tests can run side by side. It writes a line once it serves
// (its bus address, its display number) to the descriptor whose number ends its last argument.
struct PrivateServer {
  explicit PrivateServer(std::vector<std::string> argv) {
    int out[2];
    if (::pipe(out) != 0) return;
    argv.back() += std::to_string(out[1]);
    pid = StartProgram(argv);
    ::close(out[1]);
    for (char c; pid > 0 && ::read(out[0], &c, 1) == 1 && c != '\n';)
      line += c;
    ::close(out[0]);
  }
  ~PrivateServer() {
    if (pid <= 0) return;  // -1 would signal every process
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
  PrivateServer(const PrivateServer&) = delete;
  PrivateServer& operator=(const PrivateServer&) = delete;

  pid_t pid = -1;
  std::string line;  // empty: it did not start
};

}  // namespace dornava::test
