// The Linux edition's windows, driven through their real widgets with clicks, keys and focus
// changes, over a private in-memory registry.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/linux/SqliteRegistry.h"
#include "support/Fakes.h"
#include "support/VectorList.h"
#include "ui/Texts.h"
#include "ui/qt/Look.h"
#include "ui/qt/QtWindows.h"

namespace dornava {
namespace {

// A schedule in a registry of its own and the three windows over it, the main window shown.
struct Harness {
  explicit Harness(std::vector<std::string> lines = {}, bool autostart = false) {
    RewriteSchedule(registr, test::VectorList(std::move(lines)));
    if (autostart) {
      registr.MakeRegKey(kHkeyCurrentUser, kRunKey);
      registr.WriteRegValue(kHkeyCurrentUser, kRunKey, kRunValueName, RegValue("old"), kRegSz);
    }
    windows.dialogs = QtCommonDialogy(QFileDialog::DontUseNativeDialog);
    windows.main.FormLoad();
  }
  template <class T>
  T* Main(const char* name) {
    return windows.mainView.findChild<T*>(QLatin1String(name));
  }
  QStringList Shown() {
    QStringList lines;
    QListWidget* list = Main<QListWidget>("List1");
    for (int i = 0; i < list->count(); ++i)
      lines << list->item(i)->text();
    return lines;
  }
  QStringList Stored() {
    test::VectorList list;
    LoadSchedule(registr, list);
    QStringList lines;
    for (const std::string& line : list.items)
      lines << QString::fromStdString(line);
    return lines;
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

template <class T>
T* Child(QWidget& window, const char* name) {
  return window.findChild<T*>(QLatin1String(name));
}

void HideModals() {
  for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i) {
    QApplication::activeModalWidget()->hide();
  }
}

// Runs `action` inside the event loop of the next modal window `find` accepts, once it is up.
// A failed check leaves no window open behind it, so a failing test cannot hang.
void WhenUp(std::function<QWidget*()> find, std::function<void(QWidget&)> action) {
  auto* poll = new QTimer(qApp);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, ticks, find, action] {
    QWidget* window = find();
    if (!window || !window->isVisible()) {
      if (++*ticks < 1000) return;
      poll->deleteLater();
      QTest::qFail("the window did not come up", __FILE__, __LINE__);
      return;
    }
    poll->stop();
    poll->deleteLater();
    action(*window);
    if (QTest::currentTestFailed()) HideModals();
  });
  poll->start(5);
}

void WhenModal(const char* name, std::function<void(QWidget&)> action) {
  WhenUp(
      [name] {
        QWidget* modal = QApplication::activeModalWidget();
        return modal && modal->objectName() == QLatin1String(name) ? modal : nullptr;
      },
      std::move(action));
}

template <class T>
void WhenModal(std::function<void(T&)> action) {
  WhenUp([] { return qobject_cast<T*>(QApplication::activeModalWidget()); },
         [action](QWidget& window) { action(static_cast<T&>(window)); });
}

// Types into a field as the user does: the field gets the focus by a click first.
void Type(QLineEdit* box, const QString& text) {
  // On a busy machine the window may not be active yet, and an inactive window takes no focus.
  box->activateWindow();
  QTRY_VERIFY(box->window()->isActiveWindow());
  QTest::mouseClick(box, Qt::LeftButton);
  QTRY_VERIFY(box->hasFocus());
  box->selectAll();
  QTest::keyClicks(box, text);
}

// Types a path into the file dialog's name box and presses Enter.
void Choose(QFileDialog& dialog, const QString& path) {
  auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  QVERIFY(name);
  name->setText(path);
  QTest::keyClick(name, Qt::Key_Return);
  QVERIFY(!dialog.isVisible());
}

// The colour at a point in logical pixels of a grabbed window.
QRgb PixelAt(const QImage& shot, int x, int y) {
  const qreal ratio = shot.devicePixelRatio();
  return shot.pixel(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
}

QString Bmp(const QTemporaryDir& dir, const char* name, Qt::GlobalColor color) {
  QImage image(64, 48, QImage::Format_RGB32);
  image.fill(color);
  const QString path = dir.filePath(QString::fromUtf8(name));
  image.save(path, "BMP");
  return path;
}

}  // namespace

class LinkRecorder : public QObject {
  Q_OBJECT

 public:
  QStringList opened;

 public slots:
  void open(const QUrl& url) { opened << url.toString(); }
};

class WindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void lookAndLayout();
  void tabOrderAndEnterOnTheList();
  void startEndsOnAnEmptyListAndHidesOtherwise();
  void addWithKeysAndBrowse();
  void okWithoutAFileComplainsAndTheCloseBoxDiscards();
  void editingRefusesTheCloseBoxAndEscape();
  void deleteSelected();
  void digitsOnlyFields();
  void openDialogCancelsAndRemembersItsFilter();
  void fileExists();
  void previewStretchesOrStaysEmpty();
  void aboutLinksAndMenus();
  void sessionEndPutsTheEntryBack();
  void autostartBox();

 private:
  QTemporaryDir dir_;
  QString forest_;
  QString sea_;
};

void WindowsTest::initTestCase() {
  QVERIFY(dir_.isValid());
  forest_ = Bmp(dir_, "les.bmp", Qt::darkGreen);
  sea_ = Bmp(dir_, "moře.bmp", Qt::blue);
}

void WindowsTest::lookAndLayout() {
  Harness harness({"S 07:30 - " + forest_.toStdString()});
  QtListView& main = harness.windows.mainView;
  QVERIFY(QTest::qWaitForWindowExposed(&main));
  QCOMPARE(main.windowTitle(), QStringLiteral("Dornava 1.1"));
  QCOMPARE(main.size(), QSize(446, 285));
  QCOMPARE(main.minimumSize(), main.maximumSize());
  QVERIFY((main.geometry().center() - main.screen()->geometry().center()).manhattanLength() <= 2);

  // The list's own border is clipped away: the frame is the one light-blue line around it.
  const QImage shot = main.grab().toImage();
  const auto pixel = [&shot](int x, int y) { return PixelAt(shot, x, y); };
  QCOMPARE(pixel(5, 100), look::kDarkBlue);
  for (const QPoint& frame : {QPoint(10, 108), QPoint(435, 229), QPoint(200, 108)}) {
    QCOMPARE(pixel(frame.x(), frame.y()), look::kLightBlue);
  }
  QCOMPARE(pixel(11, 200), look::kDarkBlue);
  QCOMPARE(pixel(434, 200), look::kDarkBlue);
  QCOMPARE(pixel(200, 228), look::kDarkBlue);
  QCOMPARE(Child<QLabel>(main, "Image1")->pixmap().size(), QSize(426, 59));
  // The built-in icon file is read with all its sizes.
  const QList<QSize> iconSizes = look::AppIcon().availableSizes();
  for (const int side : {16, 32, 48})
    QVERIFY(iconSizes.contains(QSize(side, side)));

  WhenModal("frmAdd", [](QWidget& editor) {
    QCOMPARE(editor.windowTitle(), QStringLiteral("Přidat nastavení tapety"));
    QCOMPARE(editor.size(), QSize(288, 229));
    const QImage editorShot = editor.grab().toImage();
    QCOMPARE(PixelAt(editorShot, 9, 9), look::kLightBlue);   // the hour field's frame
    QCOMPARE(PixelAt(editorShot, 10, 10), look::kDarkBlue);  // no border of its own inside
    QCOMPARE(PixelAt(editorShot, 9, 82), look::kLightBlue);  // the preview's frame
    QVERIFY(Child<QLineEdit>(editor, "Text3")->isReadOnly());
    editor.close();
  });
  QTest::mouseClick(Child<QPushButton>(main, "Command1"), Qt::LeftButton);
  QVERIFY(!QTest::currentTestFailed());
}

void WindowsTest::tabOrderAndEnterOnTheList() {
  Harness harness({"S 07:30 - a picture"});
  QtListView& main = harness.windows.mainView;
  QVERIFY(QTest::qWaitForWindowActive(&main));
  QStringList order;
  for (int i = 0; i < 7; ++i) {
    order << QApplication::focusWidget()->objectName();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QCOMPARE(order, (QStringList{"Command1", "Command2", "Command3", "Command4", "Check1", "Command5",
                               "List1"}));
  QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));

  QListWidget* list = harness.Main<QListWidget>("List1");
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Return);
  QVERIFY(!main.isVisible());
  QVERIFY(harness.windows.main.Running());
}

void WindowsTest::startEndsOnAnEmptyListAndHidesOtherwise() {
  {
    Harness harness;
    QVERIFY(!harness.Main<QPushButton>("Command2")->isEnabled());
    QVERIFY(!harness.Main<QPushButton>("Command3")->isEnabled());
    QTest::mouseClick(harness.Main<QPushButton>("Command4"), Qt::LeftButton);
    QCOMPARE(harness.ended, 1);
    QTest::keyClick(harness.Main<QListWidget>("List1"), Qt::Key_Enter);
    QCOMPARE(harness.ended, 2);
  }
  Harness harness({"R 00:01 - " + forest_.toStdString()});
  QVERIFY(harness.windows.mainView.isVisible());
  QTest::mouseClick(harness.Main<QPushButton>("Command4"), Qt::LeftButton);
  QVERIFY(!harness.windows.mainView.isVisible());
  QCOMPARE(harness.ended, 0);
  // The minute timer runs the tick: a minute after Start, the entry for minute one is due.
  auto* timer1 = harness.windows.mainView.findChild<QTimer*>(QStringLiteral("Timer1"));
  QVERIFY(timer1);
  QVERIFY(timer1->isActive());
  QVERIFY(timer1->remainingTime() > 59000);
  harness.clock.ms += 60000;
  QVERIFY(QMetaObject::invokeMethod(timer1, "timeout"));
  QCOMPARE(harness.wallpaper.paths, std::vector<std::string>{forest_.toStdString()});
}

void WindowsTest::addWithKeysAndBrowse() {
  Harness harness({"S 01:00 - a", "S 02:00 - b", "S 03:00 - c"});
  QListWidget* list = harness.Main<QListWidget>("List1");
  QVERIFY(QTest::qWaitForWindowActive(&harness.windows.mainView));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(2)).center());
  QCOMPARE(list->currentRow(), 2);
  WhenModal("frmAdd", [&](QWidget& editor) {
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    auto* text1 = Child<QLineEdit>(editor, "Text1");
    auto* text2 = Child<QLineEdit>(editor, "Text2");
    QCOMPARE(text1->text(), QStringLiteral("00"));
    QCOMPARE(text2->text(), QStringLiteral("00"));
    QCOMPARE(Child<QLineEdit>(editor, "Text3")->text(), QString());
    QVERIFY(Child<QRadioButton>(editor, "Option1")->isChecked());

    Type(text1, "9");
    WhenModal<QFileDialog>([&](QFileDialog& dialog) {
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Přidat tapetu"));
      Choose(dialog, sea_);
    });
    // The browse button takes the focus: the hour gets its normal form on the way.
    QTest::mouseClick(Child<QPushButton>(editor, "Command1"), Qt::LeftButton);
    QCOMPARE(text1->text(), QStringLiteral("09"));
    QCOMPARE(Child<QLineEdit>(editor, "Text3")->text(), sea_);
    QVERIFY(!Child<QLabel>(editor, "imgPreview")->pixmap().isNull());
    QTest::mouseClick(Child<QRadioButton>(editor, "Option2"), Qt::LeftButton);
    // Enter in the minute field presses OK before the field ever loses the focus.
    Type(text2, "75");
    QTest::keyClick(text2, Qt::Key_Return);
  });
  QTest::mouseClick(harness.Main<QPushButton>("Command1"), Qt::LeftButton);
  const QStringList expected{"S 01:00 - a", "S 02:00 - b", "S 03:00 - c", "R 09:15 - " + sea_};
  QCOMPARE(harness.Shown(), expected);
  QCOMPARE(harness.Stored(), expected);
  QCOMPARE(list->currentRow(), 0);
  QVERIFY(harness.windows.addView.Exists());
  QVERIFY(!harness.windows.mainView.findChild<QDialog*>("frmAdd")->isVisible());
}

void WindowsTest::okWithoutAFileComplainsAndTheCloseBoxDiscards() {
  Harness harness({"S 01:00 - a"});
  WhenModal("frmAdd", [&](QWidget& editor) {
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    // Escape is no way out.
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused ? focused : &editor, Qt::Key_Escape);
    QTest::keyClick(&editor, Qt::Key_Escape);
    QVERIFY(editor.isVisible());
    for (const QString& path : {QString(), dir_.filePath("gone.bmp")}) {
      harness.windows.add.SetFields("07", "30", path.toStdString(), true);
      WhenModal<QMessageBox>([](QMessageBox& box) {
        QCOMPARE(box.text(), QStringLiteral("Soubor tapety neexistuje"));
        QCOMPARE(box.windowTitle(), QStringLiteral("Dornava"));
        QCOMPARE(box.icon(), QMessageBox::NoIcon);
        QCOMPARE(box.buttons().size(), 1);
        QCOMPARE(box.standardButton(box.buttons().front()), QMessageBox::Ok);
        QTest::mouseClick(box.buttons().front(), Qt::LeftButton);
      });
      QTest::mouseClick(Child<QPushButton>(editor, "Command2"), Qt::LeftButton);
      QVERIFY(editor.isVisible());
    }
    editor.close();
  });
  QTest::mouseClick(harness.Main<QPushButton>("Command1"), Qt::LeftButton);
  QCOMPARE(harness.Shown(), QStringList{"S 01:00 - a"});
  QCOMPARE(harness.Stored(), QStringList{"S 01:00 - a"});
  QVERIFY(!harness.windows.addView.Exists());
}

void WindowsTest::editingRefusesTheCloseBoxAndEscape() {
  Harness harness({"S 01:00 - a", "S 07:30 - " + forest_.toStdString()});
  QListWidget* list = harness.Main<QListWidget>("List1");
  QVERIFY(QTest::qWaitForWindowActive(&harness.windows.mainView));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(1)).center());
  WhenModal("frmAdd", [&](QWidget& editor) {
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QCOMPARE(harness.Shown(), QStringList{"S 01:00 - a"});
    QCOMPARE(harness.Stored(), QStringList{"S 01:00 - a"});
    auto* text1 = Child<QLineEdit>(editor, "Text1");
    QCOMPARE(text1->text(), QStringLiteral("07"));
    QCOMPARE(Child<QLineEdit>(editor, "Text2")->text(), QStringLiteral("30"));
    QCOMPARE(Child<QLineEdit>(editor, "Text3")->text(), forest_);
    QVERIFY(Child<QRadioButton>(editor, "Option1")->isChecked());
    QVERIFY(!Child<QLabel>(editor, "imgPreview")->pixmap().isNull());
    editor.close();
    QTest::keyClick(&editor, Qt::Key_Escape);
    QVERIFY(editor.isVisible());
    Type(text1, "8");
    QTest::mouseClick(Child<QRadioButton>(editor, "Option2"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(editor, "Command2"), Qt::LeftButton);
  });
  QTest::mouseClick(harness.Main<QPushButton>("Command3"), Qt::LeftButton);
  const QStringList expected{"S 01:00 - a", "R 08:30 - " + forest_};
  QCOMPARE(harness.Shown(), expected);
  QCOMPARE(harness.Stored(), expected);
  QCOMPARE(list->currentRow(), 0);
}

void WindowsTest::deleteSelected() {
  Harness harness({"S 01:00 - a", "S 02:00 - b", "S 03:00 - c"});
  QListWidget* list = harness.Main<QListWidget>("List1");
  QVERIFY(QTest::qWaitForWindowActive(&harness.windows.mainView));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(1)).center());
  auto* command2 = harness.Main<QPushButton>("Command2");
  QTest::mouseClick(command2, Qt::LeftButton);
  QCOMPARE(harness.Shown(), (QStringList{"S 01:00 - a", "S 03:00 - c"}));
  QCOMPARE(harness.Stored(), harness.Shown());
  QCOMPARE(list->currentRow(), 0);
  QTest::mouseClick(command2, Qt::LeftButton);
  QTest::mouseClick(command2, Qt::LeftButton);
  QVERIFY(harness.Shown().isEmpty());
  QVERIFY(harness.Stored().isEmpty());
  QVERIFY(!command2->isEnabled());
  QVERIFY(!harness.Main<QPushButton>("Command3")->isEnabled());
}

void WindowsTest::digitsOnlyFields() {
  Harness harness;
  WhenModal("frmAdd", [&](QWidget& editor) {
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    auto* text1 = Child<QLineEdit>(editor, "Text1");
    auto* text2 = Child<QLineEdit>(editor, "Text2");
    Type(text1, "a1-B");
    QCOMPARE(text1->text(), QStringLiteral("1"));
    // Text the program puts in passes, and so does a paste; the focus-out rule copes with both.
    harness.windows.addView.SetText(AddField::kText1, "x7");
    QCOMPARE(text1->text(), QStringLiteral("x7"));
    QApplication::clipboard()->setText(QStringLiteral("9x"));
    QTest::mouseClick(text2, Qt::LeftButton);
    QCOMPARE(text1->text(), QStringLiteral("00"));
    text2->selectAll();
    QTest::keyClick(text2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text2->text(), QStringLiteral("9x"));
    Type(text1, "75");
    QCOMPARE(text2->text(), QStringLiteral("09"));
    Type(text2, "75");
    QCOMPARE(text1->text(), QStringLiteral("03"));
    QTest::mouseClick(text1, Qt::LeftButton);
    QCOMPARE(text2->text(), QStringLiteral("15"));
    editor.close();
  });
  QTest::mouseClick(harness.Main<QPushButton>("Command1"), Qt::LeftButton);
  QVERIFY(!harness.windows.addView.Exists());

  // The window made anew after the close box refuses letters too.
  WhenModal("frmAdd", [&](QWidget& editor) {
    auto* text1 = Child<QLineEdit>(editor, "Text1");
    text1->selectAll();
    QTest::keyClicks(text1, "q5");
    QCOMPARE(text1->text(), QStringLiteral("5"));
    editor.close();
  });
  QTest::mouseClick(harness.Main<QPushButton>("Command1"), Qt::LeftButton);
}

void WindowsTest::openDialogCancelsAndRemembersItsFilter() {
  QFile noDot(dir_.filePath("README"));
  QVERIFY(noDot.open(QIODevice::WriteOnly));
  noDot.close();
  QtCommonDialogy dialogs(QFileDialog::DontUseNativeDialog);
  const std::string folder = dir_.path().toStdString() + "/";
  const auto open = [&] {
    return dialogs.ShowOpenDialog(0, texts::kOpenDialogTitle, texts::kOpenDialogFilter, folder,
                                  kOpenDialogFlags);
  };
  WhenModal<QFileDialog>([&](QFileDialog& dialog) {
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Přidat tapetu"));
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(dialog.directory().canonicalPath(), QDir(dir_.path()).canonicalPath());
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types);
    QStringList shown;
    for (int i = 0; i < types->count(); ++i)
      shown << types->itemText(i);
    QCOMPARE(shown, (QStringList{"Bitmapy (*.bmp)", "Všechny soubory (*.*)"}));
    QCOMPARE(types->currentIndex(), 0);
    // "All files", chosen as the user does, lists a name without a dot.
    auto* files = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    QVERIFY(files);
    const auto listed = [files](const char* name) {
      const QModelIndex first = files->model()->index(0, 0, files->rootIndex());
      return !files->model()->match(first, Qt::DisplayRole, QString::fromUtf8(name)).isEmpty();
    };
    QTRY_VERIFY(listed("moře.bmp"));
    QVERIFY(!listed("README"));
    QTest::keyClick(types, Qt::Key_Down);
    QTRY_VERIFY(listed("README"));
    Choose(dialog, sea_);
  });
  QCOMPARE(open(), sea_.toStdString());

  // The next dialog starts with the filter chosen before; cancelled, it gives nothing.
  WhenModal<QFileDialog>([](QFileDialog& dialog) {
    QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentIndex(), 1);
    QTimer::singleShot(0, &dialog, &QDialog::reject);
  });
  QCOMPARE(open(), std::string());
}

void WindowsTest::fileExists() {
  const std::string folder = dir_.path().toStdString() + "/";
  QtFileSystem files;
  QVERIFY(files.FileExists(sea_.toStdString()));
  // A path read back from the registry may carry its terminator.
  QVERIFY(files.FileExists(sea_.toStdString() + std::string(1, '\0') + "garbage"));
  QVERIFY(!files.FileExists(folder));
  QVERIFY(!files.FileExists(dir_.filePath("gone.bmp").toStdString()));
}

void WindowsTest::previewStretchesOrStaysEmpty() {
  Harness harness;
  harness.windows.add.Ensure();
  auto* preview = harness.windows.mainView.findChild<QLabel*>(QStringLiteral("imgPreview"));
  QVERIFY(preview);
  harness.windows.add.SetFields("00", "00", sea_.toStdString(), true);
  const QPixmap shown = preview->pixmap();
  QCOMPARE(shown.deviceIndependentSize().toSize(), QSize(180, 135));
  QCOMPARE(shown.toImage().pixelColor(shown.width() - 1, shown.height() - 1), QColor(Qt::blue));

  QFile text(dir_.filePath("notes.txt"));
  QVERIFY(text.open(QIODevice::WriteOnly));
  text.write("not a picture\n");
  text.close();
  // A header that claims 900 megapixels and brings none of them.
  QFile huge(dir_.filePath("huge.bmp"));
  QVERIFY(huge.open(QIODevice::WriteOnly));
  QDataStream header(&huge);
  header.setByteOrder(QDataStream::LittleEndian);
  header << quint8('B') << quint8('M') << quint32(54) << quint32(0) << quint32(54) << quint32(40)
         << qint32(30000) << qint32(30000) << quint16(1) << quint16(24) << quint32(0) << quint32(0)
         << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
  huge.close();
  // 48 megapixels in a few kilobytes: within the decoder's memory limit, beyond the budget.
  const QString large = dir_.filePath("large.png");
  QImage mono(8000, 6000, QImage::Format_Mono);
  mono.fill(1);
  QVERIFY(mono.save(large, "PNG"));
  QCOMPARE(QImageReader(large).size(), QSize(8000, 6000));
  for (const QString& path : {text.fileName(), huge.fileName(), large, QString()}) {
    harness.windows.add.SetFields("00", "00", sea_.toStdString(), true);
    harness.windows.add.SetFields("00", "00", path.toStdString(), true);
    QVERIFY2(preview->pixmap().isNull(), qPrintable(path));
  }
}

void WindowsTest::aboutLinksAndMenus() {
  Harness harness;
  LinkRecorder links;
  QDesktopServices::setUrlHandler(QStringLiteral("http"), &links, "open");
  QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &links, "open");
  WhenModal("frmAbout", [&](QWidget& about) {
    QCOMPARE(about.windowTitle(), QStringLiteral("O programu Dornava"));
    QCOMPARE(about.size(), QSize(312, 122));
    QVERIFY(!Child<QLabel>(about, "Image1")->pixmap().isNull());
    QCOMPARE(Child<QLabel>(about, "Label1")->toolTip(), look::ToQ(texts::kIdeaAuthorTip));
    QCOMPARE(Child<QLabel>(about, "Label2")->toolTip(), look::ToQ(texts::kProgramAuthorTip));
    QCOMPARE(Child<QLabel>(about, "Label7")->toolTip(), look::ToQ(texts::kAssociation));
    QTest::mouseClick(Child<QLabel>(about, "Label7"), Qt::LeftButton);
    // The program author's first item, the idea author's second.
    for (const auto& [label, item] : {std::pair{"Label2", 1}, std::pair{"Label1", 2}}) {
      WhenUp([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
             [item = item](QWidget& menu) {
               QStringList items;
               for (const QAction* action : menu.actions())
                 items << action->text();
               QCOMPARE(items, (QStringList{"Napsat e-mail", "Jít na domovskou stránku"}));
               for (int i = 0; i < item; ++i)
                 QTest::keyClick(&menu, Qt::Key_Down);
               QTest::keyClick(&menu, Qt::Key_Return);
             });
      QTest::mouseClick(Child<QLabel>(about, label), Qt::LeftButton);
    }
    about.close();
  });
  QTest::mouseClick(harness.Main<QPushButton>("Command5"), Qt::LeftButton);
  QCOMPARE(links.opened,
           (QStringList{look::ToQ(texts::kMakerHome), look::ToQ(texts::kProgramAuthorMail),
                        look::ToQ(texts::kIdeaAuthorHome)}));

  // Closed, it is made anew, banner and all.
  WhenModal("frmAbout", [](QWidget& about) {
    QVERIFY(!Child<QLabel>(about, "Image1")->pixmap().isNull());
    about.close();
  });
  QTest::mouseClick(harness.Main<QPushButton>("Command5"), Qt::LeftButton);
  QCOMPARE(harness.windows.mainView.findChildren<QDialog*>(QStringLiteral("frmAbout")).size(), 0);
  QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
  QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

void WindowsTest::sessionEndPutsTheEntryBack() {
  Harness harness({"S 01:00 - a", "S 02:00 - b"});
  QListWidget* list = harness.Main<QListWidget>("List1");
  list->setCurrentRow(1);
  WhenModal("frmAdd", [&](QWidget&) {
    QCOMPARE(harness.Stored(), QStringList{"S 01:00 - a"});
    harness.windows.addView.CommitData();
  });
  QTest::mouseClick(harness.Main<QPushButton>("Command3"), Qt::LeftButton);
  QCOMPARE(harness.Stored(), (QStringList{"S 01:00 - a", "S 02:00 - b"}));
  QCOMPARE(harness.Shown(), harness.Stored());
  QVERIFY(!harness.windows.addView.Exists());

  // While adding there is nothing to put back, and the editor stays.
  WhenModal("frmAdd", [&](QWidget& editor) {
    harness.windows.addView.CommitData();
    QVERIFY(editor.isVisible());
    editor.close();
  });
  QTest::mouseClick(harness.Main<QPushButton>("Command1"), Qt::LeftButton);
  QCOMPARE(harness.Stored().size(), 2);
}

void WindowsTest::autostartBox() {
  Harness harness({"S 01:00 - a"}, true);
  auto* box = harness.Main<QCheckBox>("Check1");
  const auto run = [&] {
    return harness.registr.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName);
  };
  QVERIFY(box->isChecked());
  QCOMPARE(run(), RegValue("C:\\Dornava\\Dornava A"));
  QTest::mouseClick(box, Qt::LeftButton);
  QVERIFY(!box->isChecked());
  QCOMPARE(run(), RegValue());
  QTest::keyClick(box, Qt::Key_Space);
  QCOMPARE(run(), RegValue("C:\\Dornava\\Dornava A"));
}

}  // namespace dornava

QTEST_MAIN(dornava::WindowsTest)
#include "windows_test.moc"
