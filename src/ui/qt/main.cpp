// The Linux edition. Started with an argument it goes straight to the running state, where no
// window is ever shown, so it runs without a GUI at all; otherwise it shows its window.
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/linux/LinuxSystem.h"
#include "platform/linux/XdgAutostart.h"
#include "platform/linux/wallpaper/WallpaperBackend.h"
#include "store/ScheduleStore.h"
#include "switching/StartUp.h"

namespace {

using dornava::StartUp;

// The minute timer: a one-shot Qt timer, re-armed by the start-up logic after every tick.
class MinuteTimerHost : public dornava::StartUpHost {
 public:
  MinuteTimerHost() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (startUp_) startUp_->TimerFired();
    });
  }
  void Attach(StartUp& startUp) { startUp_ = &startUp; }
  void ArmTimer(std::int64_t delayMs) override { timer_.start(static_cast<int>(delayMs)); }
  void EndProgram() override { std::exit(0); }

 protected:
  StartUp* startUp_ = nullptr;

 private:
  QTimer timer_;
};

// A plain list of lines for the running state, where nothing shows them.
class LineList final : public dornava::ScheduleList {
 public:
  void Clear() override { items_.clear(); }
  void AddItem(std::string_view text) override { items_.emplace_back(text); }
  void RemoveItem(int index) override { items_.erase(items_.begin() + index); }
  int ListCount() const override { return static_cast<int>(items_.size()); }
  const std::string& List(int index) const override {
    return items_[static_cast<std::size_t>(index)];
  }
  int ListIndex() const override { return selected_; }
  void SetListIndex(int index) override { selected_ = index; }

 private:
  std::vector<std::string> items_;
  int selected_ = -1;
};

class HeadlessHost final : public MinuteTimerHost {
 public:
  dornava::ScheduleList& List() override { return list_; }
  void ScheduleLoaded(bool hasEntries) override { list_.SetListIndex(hasEntries ? 0 : -1); }
  void SetVisible(bool) override {}
  int Check1() const override { return check1_; }
  void ShowCheck1(int value) override { check1_ = value; }

 private:
  LineList list_;
  int check1_ = 0;
};

// The schedule list over a QListWidget. The lines are kept as stored beside the widget, so
// text that is not valid UTF-8 is written back unchanged.
class WidgetList final : public dornava::ScheduleList {
 public:
  explicit WidgetList(QListWidget& widget) : widget_(widget) {}
  void Clear() override {
    widget_.clear();
    lines_.clear();
  }
  void AddItem(std::string_view text) override {
    lines_.emplace_back(text);
    // Shown as a C string, as a list box shows it: a stored terminator is not drawn.
    const std::string_view shown = text.substr(0, text.find('\0'));
    widget_.addItem(QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())));
  }
  void RemoveItem(int index) override {
    lines_.erase(lines_.begin() + index);
    delete widget_.takeItem(index);
  }
  int ListCount() const override { return static_cast<int>(lines_.size()); }
  const std::string& List(int index) const override {
    return lines_[static_cast<std::size_t>(index)];
  }
  int ListIndex() const override { return widget_.currentRow(); }
  void SetListIndex(int index) override { widget_.setCurrentRow(index); }

 private:
  QListWidget& widget_;
  std::vector<std::string> lines_;
};

// For now one window: the schedule, the Autostart box and the Start button.
class WindowHost final : public MinuteTimerHost {
 public:
  WindowHost() : list_(listWidget_) {
    window_.setWindowTitle(QStringLiteral("Dornava"));
    window_.resize(420, 300);
    auto* layout = new QVBoxLayout(&window_);
    layout->addWidget(&listWidget_);
    layout->addWidget(&check1_);
    layout->addWidget(&start_);
    QObject::connect(&check1_, &QCheckBox::clicked, [this] {
      if (startUp_) startUp_->Check1Click();
    });
    QObject::connect(&start_, &QPushButton::clicked, [this] {
      if (startUp_) startUp_->Start();
    });
  }
  dornava::ScheduleList& List() override { return list_; }
  void ScheduleLoaded(bool hasEntries) override {
    if (hasEntries) list_.SetListIndex(0);
  }
  void SetVisible(bool visible) override { window_.setVisible(visible); }
  int Check1() const override { return check1_.isChecked() ? 1 : 0; }
  void ShowCheck1(int value) override { check1_.setChecked(value == 1); }

 private:
  QWidget window_;
  QListWidget listWidget_;
  QCheckBox check1_{QStringLiteral("Autostart")};
  QPushButton start_{QStringLiteral("Start")};
  WidgetList list_;
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

int Run(System& system, MinuteTimerHost& host) {
  StartUp startUp(host, system.registr, system.environment, system.clock, system.monotonic,
                  system.wallpaper);
  host.Attach(startUp);
  startUp.Load();
  return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!arguments.empty()) {
    QCoreApplication app(argc, argv);
    System system(std::move(arguments));
    HeadlessHost host;
    return Run(system, host);
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
  System system(std::move(arguments));
  WindowHost host;
  return Run(system, host);
}
