// The wiring of the Linux windows that their logic (forms_test) cannot see.
#include <sys/stat.h>
#include <QtTest>
#include <QtWidgets>

#include "platform/linux/SqliteRegistry.h"
#include "support/Fakes.h"
#include "ui/Texts.h"
#include "ui/qt/Look.h"
#include "ui/qt/QtWindows.h"

namespace dornava {
namespace {

using look::ToQ;
using Lines = std::vector<std::string>;

template <class T = QWidget>
T* Child(QWidget& window, const char* name) {
  return window.findChild<T*>(QLatin1String(name));
}

// A schedule in a registry of its own and the windows over it; Schedule() as stored, if shown.
struct Harness {
  explicit Harness(Lines lines = {}) {
    RewriteSchedule(registr, test::VectorList(std::move(lines)));
    registr.MakeRegKey(kHkeyCurrentUser, kRunKey);
    windows.dialogs = QtCommonDialogy(QFileDialog::DontUseNativeDialog);
    windows.main.FormLoad();
  }
  QWidget* Main(const char* name) { return Child(windows.mainView, name); }
  Lines Schedule() {
    test::VectorList stored;
    LoadSchedule(registr, stored);
    const int shown = Child<QListWidget>(windows.mainView, "List1")->count();
    return shown == stored.ListCount() ? stored.items : Lines{"(the list differs)"};
  }

  std::unique_ptr<SqliteRegistry> raw = SqliteRegistry::Open(":memory:", nullptr);
  Registr registr{*raw};
  test::FakeEnvironment environment;
  test::FakeClock clock;
  test::RecordingWallpaper wallpaper;
  int ended = 0;
  QtWindows windows{registr, SystemServices{environment, clock, clock, wallpaper},
                    [this] { ++ended; }};
};

// Whether clicking (or `key` on) `widget` opens modal `name`; `act` runs in it. Failure hides all.
bool Opens(const QString& name, QWidget* widget, std::function<void(QWidget&)> act, int key = 0) {
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&, ticks = 0]() mutable {
    QWidget* up = qApp->activeModalWidget();
    const bool found = up && (up->objectName() == name || up->inherits(qPrintable(name)));
    if (!found && ++ticks < 2000) return;
    poll.stop();
    if (found) act(*up);
    for (QWidget* window : QApplication::topLevelWidgets())
      if (!found || QTest::currentTestFailed()) window->hide();
  });
  poll.start(5);
  key ? QTest::keyClick(widget, Qt::Key(key)) : QTest::mouseClick(widget, Qt::LeftButton);
  return !poll.isActive();
}

// One data row per table row, named after it, giving its index.
template <class Row, std::size_t N>
void IndexRows(const Row (&rows)[N]) {
  QTest::addColumn<int>("index");
  for (int index = 0; index < int(N); ++index)
    QTest::newRow(rows[index].name) << index;
}

// Types as the user does, once the window is active (on a busy machine that takes a while).
void Type(QLineEdit* box, const QString& text) {
  box->activateWindow();
  QTRY_VERIFY(box->window()->isActiveWindow());
  QTest::mouseClick(box, Qt::LeftButton);
  box->selectAll();
  QTest::keyClicks(box, text);
}

// Tabs from the control with the focus round to it again.
void Walk(QWidget& form, const QStringList& order) {
  QVERIFY(QTest::qWaitForWindowActive(&form));
  for (const QString& name : order + order.mid(0, 1)) {
    QCOMPARE(QApplication::focusWidget()->objectName(), name);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
}

// A control of the main window clicked (key 0) or given a key, the second entry selected: the modal
// window it opens, entries before and after, whether it started and turned Autostart on.
const struct Control {
  const char *name, *widget, *opens;
  int key, entries, left;
  bool started, autostart;
} kControls[] = {{"Enter on Přidat", "Command1", "frmAdd", Qt::Key_Return, 2, 2, false, false},
                 {"Upravit", "Command3", "frmAdd", 0, 2, 2, false, false},
                 {"Vymazat", "Command2", "", 0, 2, 1, false, false},
                 {"Autostart", "Check1", "", 0, 2, 2, false, true},
                 {"Start", "Command4", "", 0, 2, 2, true, false},
                 {"Start with nothing planned", "Command4", "", 0, 0, 0, false, false},
                 {"Enter on the list", "List1", "", Qt::Key_Return, 2, 2, true, false},
                 {"keypad Enter on the list", "List1", "", Qt::Key_Enter, 2, 2, true, false},
                 {"Enter on Autostart", "Check1", "", Qt::Key_Return, 2, 2, true, false}};

// A gesture on the list of two with the second entry highlighted, and the entry highlighted after.
const struct Gesture {
  const char* name;
  int click;  // the entry clicked (2: just below the entries), or -1
  Qt::KeyboardModifier modifier;
  int key, highlighted;
  bool (*program)(Registr&, ScheduleList&);
} kGestures[] = {{"Ctrl+click on the highlighted entry", 1, Qt::ControlModifier, 0, 1, nullptr},
                 {"Ctrl+click on the other entry", 0, Qt::ControlModifier, 0, 0, nullptr},
                 {"click below the entries", 2, Qt::NoModifier, 0, 1, nullptr},
                 {"Ctrl+Space", -1, Qt::ControlModifier, Qt::Key_Space, 1, nullptr},
                 {"Ctrl+Up", -1, Qt::ControlModifier, Qt::Key_Up, 0, nullptr},
                 {"the program reloads the list", -1, {}, 0, 0, LoadSchedule}};

}  // namespace

class WindowsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  std::string sea_ = dir_.filePath("moře.bmp").toStdString();

 private slots:
  void initTestCase() {
    // Square, so a preview that kept the aspect would not fill its frame.
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(dir_.isValid() && image.save(ToQ(sea_), "BMP"));
    // Just over the pixel budget in a few kilobytes, well within the decoder's memory limit.
    QImage large(8000, int(layout::kPreviewPixelBudget / 8000 + 1), QImage::Format_Mono);
    large.fill(1);
    QVERIFY(large.save(dir_.filePath("large.png"), "PNG"));
    // A FIFO would block a reader until someone writes; a link to itself can never be opened.
    QVERIFY(::mkfifo(qPrintable(dir_.filePath("fifo.png")), 0600) == 0 &&
            QFile::link(dir_.filePath("loop.png"), dir_.filePath("loop.png")));
  }
  void controls_data() { IndexRows(kControls); }
  void controls() {
    QFETCH(int, index);
    const Control& row = kControls[index];
    const Lines lines{"R 00:01 - " + sea_, "S 02:00 - " + sea_};
    Harness harness(Lines(lines.begin(), lines.begin() + row.entries));
    auto* list = Child<QListWidget>(harness.windows.mainView, "List1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QWidget* widget = harness.Main(row.widget);
    const auto check = [&](QWidget& window) {
      // Escape ends no form, the close box no edit, the session's end no adding but an edit
      // (undone).
      auto* session = qApp->findChild<QSessionManager*>();
      QTest::keyClick(&window, Qt::Key_Escape);
      if (!harness.windows.add.edit()) emit qApp->commitDataRequest(*session);
      QVERIFY(window.isVisible());
      window.close();
      QCOMPARE(window.isVisible(), harness.windows.add.edit());
      emit qApp->commitDataRequest(*session);
      QVERIFY(!window.isVisible());
    };
    QCOMPARE(Opens(*row.opens ? row.opens : "QDialog", widget, check, row.key), *row.opens != 0);
    QCoreApplication::processEvents();  // once started, the native window goes
    QCOMPARE(harness.windows.mainView.testAttribute(Qt::WA_WState_Created), !row.started);
    QCOMPARE(harness.Schedule(), Lines(lines.begin(), lines.begin() + row.left));
    QCOMPARE(harness.windows.mainView.isVisible(), !row.started);
    // With nothing planned the edit buttons are off, and Start ends the program.
    QCOMPARE(harness.Main("Command2")->isEnabled() || harness.Main("Command3")->isEnabled(),
             row.left > 0);
    QCOMPARE(harness.ended, int(row.entries == 0));
    QCOMPARE(!harness.registr.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName).IsEmpty(),
             row.autostart);
    // A minute after Start the timer runs the tick, and the entry for minute one is due.
    auto* timer1 = harness.windows.mainView.findChild<QTimer*>("Timer1");
    harness.clock.ms += 60000;
    if (timer1->remainingTime() > 59000) QMetaObject::invokeMethod(timer1, "timeout");
    QCOMPARE(harness.wallpaper.paths, row.started ? Lines{sea_} : Lines{});
  }
  void selection_data() { IndexRows(kGestures); }
  void selection() {
    QFETCH(int, index);
    const Gesture& row = kGestures[index];
    const Lines lines{"R 00:01 - " + sea_, "S 02:00 - " + sea_};
    Harness harness(lines);
    auto* list = Child<QListWidget>(harness.windows.mainView, "List1");
    ScheduleList& shown = harness.windows.mainView.List1();
    const auto at = [high = list->sizeHintForRow(0)](int entry) {
      return QPoint(4, high * entry + high / 2);
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(1));
    if (row.click >= 0)
      QTest::mouseClick(list->viewport(), Qt::LeftButton, row.modifier, at(row.click));
    if (row.key) QTest::keyClick(list, Qt::Key(row.key), row.modifier);
    if (row.program) row.program(harness.registr, shown);
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(shown.ListIndex(), list->row(list->selectedItems().value(0)));
    // Vymazat deletes that entry and no other.
    QTest::mouseClick(harness.Main("Command2"), Qt::LeftButton);
    QCOMPARE(harness.Schedule(), Lines{lines[1 - row.highlighted]});
  }
  void editor() {
    Harness harness({"S 07:30 - " + sea_});
    Walk(harness.windows.mainView,
         {"Command1", "Command2", "Command3", "Command4", "Check1", "Command5", "List1"});
    // The close box destroys the editor: the one after is made anew, digits-only all the same.
    QVERIFY(Opens("frmAdd", harness.Main("Command1"), [](QWidget& form) { form.close(); }));
    QVERIFY(!harness.windows.addView.Exists());
    QVERIFY(Opens("frmAdd", harness.Main("Command3"), [&](QWidget& form) {
      Walk(form, {"Option1", "Command1", "Command2", "Text1", "Text2", "Text3"});
      auto* text1 = Child<QLineEdit>(form, "Text1");
      auto* text2 = Child<QLineEdit>(form, "Text2");
      auto* text3 = Child<QLineEdit>(form, "Text3");
      auto* preview = Child<QLabel>(form, "imgPreview");
      QVERIFY(Child<QRadioButton>(form, "Option1")->isChecked() && !preview->pixmap().isNull());
      Type(text3, "x");  // the path is the browse button's business
      // Text the program sets or the user pastes passes the digits-only filter; typed text not.
      harness.windows.addView.SetText(AddField::kText1, "x7");
      QApplication::clipboard()->setText("9x");
      Type(text2, {});
      QTest::keyClick(text2, Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(text1->text() + text2->text() + text3->text(), "x79x" + ToQ(sea_));
      // A time field the focus leaves takes its normal form.
      Type(text1, "a8-");
      QCOMPARE(text1->text() + text2->text(), "809");
      Type(text2, "x5 ");
      QCOMPARE(text1->text() + text2->text(), "085");
      QTest::mouseClick(Child(form, "Option2"), Qt::LeftButton);
      // OK without the picture says so in a box of its own, with no icon.
      harness.windows.addView.SetText(AddField::kText3, dir_.filePath("gone").toStdString());
      QVERIFY(Opens("QMessageBox", Child(form, "Command2"), [](QWidget& widget) {
        auto& box = static_cast<QMessageBox&>(widget);
        QVERIFY(box.text() == ToQ(texts::kNoWallpaperFile) && box.icon() == QMessageBox::NoIcon);
        box.accept();
      }));
      // Browsing; "*.*" is "*" to Qt, so that the last filter lists names without a dot too.
      QVERIFY(Opens("QFileDialog", Child(form, "Command1"), [&](QWidget& widget) {
        auto& files = static_cast<QFileDialog&>(widget);
        QVERIFY(files.parentWidget() == &form && files.fileMode() == QFileDialog::ExistingFile);
        QCOMPARE(files.windowTitle(), ToQ(texts::kOpenDialogTitle));
        QVERIFY(files.nameFilters().value(1).endsWith("(*)"));
        files.selectNameFilter(files.nameFilters().value(1));
        files.selectFile(ToQ(sea_));
        static_cast<QDialog&>(files).accept();
      }));
      QCOMPARE(preview->pixmap().toImage().pixelColor(0, 0), QColor(Qt::blue));
      // Next: that folder, not Qt's remembered one, and that filter; cancelled, nothing changes.
      QFileDialog().setDirectory(QDir::rootPath());
      QVERIFY(Opens("QFileDialog", Child(form, "Command1"), [this](QWidget& widget) {
        auto& files = static_cast<QFileDialog&>(widget);
        QCOMPARE(files.directory().canonicalPath(), QDir(dir_.path()).canonicalPath());
        QCOMPARE(Child<QComboBox>(files, "fileTypeCombo")->currentIndex(), 1);
        files.reject();
      }));
      // What the preview shows, stretched over its frame, and what counts as a file.
      for (const auto& [path, exists, shown] :
           {std::tuple{sea_ + std::string("\0junk", 5), true, true},  // as read from the registry
            {dir_.filePath("large.png").toStdString(), true, false},  // over the budget
            {dir_.path().toStdString(), false, false},
            {dir_.filePath("fifo.png").toStdString(), false, false},
            {dir_.filePath("loop.png").toStdString(), false, false}}) {
        harness.windows.addView.ShowPreview(path);
        QCOMPARE(QtFileSystem().FileExists(path), exists);
        QCOMPARE(preview->pixmap().deviceIndependentSize(), QSizeF(preview->size()) * shown);
      }
      // Enter in a time field presses OK before the field ever loses the focus.
      Type(text2, "75");
      QTest::keyClick(text2, Qt::Key_Return);
      QVERIFY(!form.isVisible());
    }));
    QCOMPARE(harness.Schedule(), Lines{"R 08:15 - " + sea_});
    // The editor OK kept hidden goes once the schedule starts.
    QVERIFY(harness.windows.addView.Exists());
    QTest::mouseClick(harness.Main("Command4"), Qt::LeftButton);
    QTRY_VERIFY(!harness.windows.addView.Exists());
  }
};

}  // namespace dornava

QTEST_MAIN(dornava::WindowsTest)
#include "windows_test.moc"
