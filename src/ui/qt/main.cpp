// The Linux edition. Started with an argument it goes straight to the running state, where no
// window is ever shown, so it runs without a GUI at all; otherwise it shows its windows, and after
// Start becomes the process without them (HandOver). Only --help and --version, as the one
// argument, are answered instead: the Windows edition has no console to print them on, and any
// other word keeps starting the schedule as it does there.
#include <unistd.h>
#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "DornavaVersion.h"
#include "platform/linux/LinuxSystem.h"
#include "platform/linux/XdgAutostart.h"
#include "platform/linux/wallpaper/WallpaperBackend.h"
#include "store/ScheduleStore.h"
#include "switching/StartUp.h"
#include "ui/qt/Look.h"
#include "ui/qt/QtWindows.h"

namespace {

using dornava::StartUp;

// The running state without a window: the list nothing shows, and the minute timer, a one-shot
// Qt timer re-armed by the start-up logic after every tick.
class HeadlessHost final : public dornava::StartUpHost {
 public:
  HeadlessHost() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (startUp_) startUp_->TimerFired();
    });
  }
  void Attach(StartUp& startUp) { startUp_ = &startUp; }
  dornava::ScheduleList& List() override { return list_; }
  void ScheduleLoaded(bool hasEntries) override { list_.SetListIndex(hasEntries ? 0 : -1); }
  void SetVisible(bool) override {}
  void EndProgram() override { std::exit(0); }
  int Check1() const override { return check1_; }
  void ShowCheck1(int value) override { check1_ = value; }
  void ArmTimer(std::int64_t delayMs) override { timer_.start(static_cast<int>(delayMs)); }

 private:
  StartUp* startUp_ = nullptr;
  QTimer timer_;
  dornava::LineList list_;
  int check1_ = 0;
};

// Picks the desktop's wallpaper backend when the first picture is due, so a run that never
// changes the wallpaper never looks at the session, nor says anything about it.
class FirstUseWallpaper final : public dornava::WallpaperService {
 public:
  void SetWallpaper(std::string_view path) override {
    if (!service_) service_ = dornava::MakeWallpaperService();
    service_->SetWallpaper(path);
  }

 private:
  std::unique_ptr<dornava::WallpaperService> service_;
};

bool HaveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// Everything the start-up logic needs from the system, for one run.
struct System {
  explicit System(std::vector<std::string> arguments) : environment(std::move(arguments)) {}
  dornava::Registr registr{dornava::LinuxRegistry()};
  dornava::LinuxEnvironment environment;
  dornava::LinuxLocalClock clock;
  dornava::LinuxMonotonicClock monotonic;
  FirstUseWallpaper wallpaper;
};

// After Start the window never shows again, yet a process that has shown Qt windows keeps their
// libraries, fonts, X connection and threads: twice the memory of one started with an argument,
// for the rest of the day. So the process becomes that one, with the same pid. Not when it would
// run another schedule: a stand-in registry lives in this process alone, and the list the user
// started is the one to run, even if the file changed behind the window. The executable is run
// by the path it started from, not /proc/self/exe: after an upgrade that would be a deleted file,
// whose name would then go into the Run value.
void HandOver(const std::string& executable, const char* program,
              const dornava::ScheduleList& shown) {
  if (!dornava::NewProcessRuns(dornava::ProcessRegistry(), shown)) return;
  // What the windows opened and left inheritable must not outlive them.
  close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  char* const arguments[] = {const_cast<char*>(program), const_cast<char*>("A"), nullptr};
  execv(executable.c_str(), arguments);
  // Still here (the file went, say): this process runs the schedule itself.
}

constexpr char kUsage[] =
    "Usage: dornava [ARGUMENT]\n"
    "Changes the desktop wallpaper on a daily schedule.\n"
    "\n"
    "  dornava             shows the schedule's window\n"
    "  dornava A           starts the schedule without a window (any argument but these two)\n"
    "  dornava --help      shows this help\n"
    "  dornava --version   shows the version\n"
    "\n"
    "The schedule is kept in ${XDG_CONFIG_HOME:-~/.config}/dornava/registry.db;\n"
    "dornava-reg reads and writes it. See dornava(1).\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "--version")) {
    std::fputs(arguments[0] == "--help" ? kUsage : "dornava " DORNAVA_VERSION "\n", stdout);
    return 0;
  }
  if (!arguments.empty()) {
    QCoreApplication app(argc, argv);
    System system(std::move(arguments));
    HeadlessHost host;
    StartUp startUp(host, system.registr, system.environment, system.clock, system.monotonic,
                    system.wallpaper);
    host.Attach(startUp);
    startUp.Load();
    return QCoreApplication::exec();
  }
  if (!HaveDisplay()) {
    std::fputs(
        "dornava: no graphical display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
        "Start it from a desktop session, or under a virtual X server:\n"
        "  xvfb-run -a dornava\n",
        stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setWindowIcon(dornava::look::AppIcon());
  // Wayland compositors find the icon through the launcher of this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("dornava"));
  System system(std::move(arguments));
  dornava::QtWindows windows(
      system.registr, dornava::SystemServices{system.environment, system.clock, system.monotonic,
                                              system.wallpaper});
  windows.mainView.SetHandOver([&](const dornava::ScheduleList& shown) {
    HandOver(system.environment.Executable(), argv[0], shown);
  });
  windows.main.FormLoad();
  return QApplication::exec();
}
