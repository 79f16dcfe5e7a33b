// The Linux edition. For now one window with the stored schedule.
#include <QApplication>
#include <QListWidget>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/SqliteRegistry.h"
#include "store/ScheduleStore.h"

namespace {

// The schedule list over a QListWidget.
class WidgetList final : public dornava::ScheduleList {
 public:
  explicit WidgetList(QListWidget& widget) : widget_(widget) {}
  void Clear() override { widget_.clear(); }
  void AddItem(std::string_view text) override {
    // The stored bytes ride along, so text that is not valid UTF-8 is written back unchanged.
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    auto* item = new QListWidgetItem(QString::fromUtf8(bytes));
    item->setData(Qt::UserRole, bytes);
    widget_.addItem(item);
  }
  void RemoveItem(int index) override { delete widget_.takeItem(index); }
  int ListCount() const override { return widget_.count(); }
  std::string List(int index) const override {
    return widget_.item(index)->data(Qt::UserRole).toByteArray().toStdString();
  }
  int ListIndex() const override { return widget_.currentRow(); }
  void SetListIndex(int index) override { widget_.setCurrentRow(index); }

 private:
  QListWidget& widget_;
};

bool HaveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (!HaveDisplay()) {
    std::fputs(
        "dornava: no graphical display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
        "Start it from a desktop session, or under a virtual X server:\n"
        "  xvfb-run -a dornava\n",
        stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QListWidget window;
  window.setWindowTitle(QStringLiteral("Dornava"));
  window.resize(420, 300);
  WidgetList list(window);
  dornava::Registr registr(dornava::ProcessRegistry());
  if (dornava::LoadSchedule(registr, list)) list.SetListIndex(0);
  window.show();
  return QApplication::exec();
}
