// Times a program from its exec on: to the first top-level window it maps, or to its exit. Prints
// milliseconds on standard output; the program's own output goes to standard error.
//   dornava_startup_timer map PROGRAM [ARGUMENT...]    on the X server in DISPLAY
//   dornava_startup_timer exit PROGRAM [ARGUMENT...]
// The map is the server's MapNotify on the root window, so no polling adds to the figure; on an X
// server of its own, the first top-level window mapped is the program's (under Wine, the window
// belongs to a process the launcher leaves behind, so no process id would match). The program is
// then asked to close that window as a window manager would, and killed if it has not ended
// within ten seconds.
#include <X11/Xlib.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

extern char** environ;

namespace {

double NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void AskToClose(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

// Waits up to `ms` for the child; returns its wait status, or -1 when it is still running.
int WaitFor(pid_t pid, int ms) {
  for (int waited = 0;; waited += 10) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return status;
    if (done < 0 || waited >= ms) return -1;
    usleep(10000);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool map = argc >= 3 && std::strcmp(argv[1], "map") == 0;
  if (argc < 3 || (!map && std::strcmp(argv[1], "exit") != 0)) {
    std::fputs("usage: dornava_startup_timer map|exit PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  Display* display = nullptr;
  if (map) {
    display = XOpenDisplay(nullptr);
    if (!display) {
      std::fputs("dornava_startup_timer: cannot open the display\n", stderr);
      return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
  }

  // What the program prints goes to standard error, so standard output holds the figure alone.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
  const double start = NowMs();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[2], &actions, nullptr, argv + 2, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    std::fprintf(stderr, "dornava_startup_timer: cannot start %s\n", argv[2]);
    return 2;
  }
  if (!map) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    std::printf("%.2f\n", NowMs() - start);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
  }

  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  for (;;) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      const double mapped = NowMs();
      if (event.type != MapNotify || event.xmap.override_redirect) continue;
      std::printf("%.2f\n", mapped - start);
      AskToClose(display, event.xmap.window);
      if (WaitFor(pid, 10000) < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
      }
      XCloseDisplay(display);
      return 0;
    }
    if (WaitFor(pid, 0) >= 0) {
      std::fputs("dornava_startup_timer: the program ended without a window\n", stderr);
      return 1;
    }
    if (NowMs() - start > 60000) {
      std::fputs("dornava_startup_timer: no window within a minute\n", stderr);
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      return 1;
    }
    poll(&connection, 1, 100);
  }
}
