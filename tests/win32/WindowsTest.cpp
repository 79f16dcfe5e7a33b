// The Windows edition's three windows, created in this process and driven by window messages as
// a user's clicks and keys would drive them, over the real registry of the test's own Wine prefix
// (the schedule key is the program's own). The modal windows run message loops of their own, so
// each test runs its steps from a timer, inside whichever loop is running.
#include "ui/win32/Program.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/Win32Registry.h"
#include "store/ScheduleStore.h"
#include "support/Fakes.h"
#include "ui/Texts.h"
#include "ui/win32/FileSystem.h"
#include "ui/win32/Resources.h"
#include "win32/TempFolder.h"

namespace dornava::win32 {
namespace {

using test::TempFolder;
using Items = std::vector<std::string>;

class FakeDialogs final : public CommonDialogy {
 public:
  std::string choice;  // what the user picks; empty cancels
  std::string ShowOpenDialog(WindowHandle, std::string_view, std::string_view, std::string_view,
                             std::uint32_t) override {
    return choice;
  }
};

class RecordingLinks final : public HyperLink {
 public:
  Items opened;
  void OpenHyperLink(std::string_view link) override { opened.emplace_back(link); }
};

// A 24-bit bitmap file's bytes, one colour.
std::string BitmapFile(int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4d42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  std::string row(static_cast<std::size_t>(stride), '\0');
  for (int x = 0; x < width; ++x)
    row.replace(static_cast<std::size_t>(x) * 3, 3, "\x40\xa0\x20");
  for (int y = 0; y < height; ++y)
    bytes += row;
  return bytes;
}

std::string Text(HWND window) {
  return Narrow(WindowText(window), CP_ACP);
}

// Typed or pasted: the text arrives whole.
void Type(HWND edit, std::string_view text) {
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(text, CP_ACP).c_str()));
}

// Posted, not sent: a click that opens a modal window must not block the step that made it.
void Click(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
}

void Key(HWND target, WPARAM key) {
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xc0000001);
}

void ClickAt(HWND window, const RECT& rect) {
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
}

bool Checked(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Shown(HWND window) {
  return window && IsWindowVisible(window);
}

HBITMAP FramePicture(HWND frame) {
  return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(frame, GWLP_USERDATA));
}

// The colour a window shows at a client point.
COLORREF PixelAt(HWND window, int x, int y) {
  UpdateWindow(window);
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

// The popup menu being tracked, if any.
HWND PopupMenuWindow() {
  HWND menu = FindWindowW(L"#32768", nullptr);
  return Shown(menu) ? menu : nullptr;
}

HWND MessageBoxWindow() {
  HWND box = FindWindowW(L"#32770", L"Dornava");
  return Shown(box) ? box : nullptr;
}

// Steps run one at a time from a timer, each once its condition holds.
class Script {
 public:
  Script& Then(std::string what, std::function<bool()> ready, std::function<void()> act) {
    steps_.push_back({std::move(what), std::move(ready), std::move(act)});
    return *this;
  }
  Script& Then(std::string what, std::function<void()> act) {
    return Then(
        std::move(what), [] { return true; }, std::move(act));
  }

  // Runs a message loop until every step has run.
  void Run() {
    current_ = this;
    since_ = GetTickCount64();
    const UINT_PTR timer = SetTimer(nullptr, 0, 15, Tick);
    MSG message;
    while (next_ < steps_.size() && GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (TranslateFormMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    KillTimer(nullptr, timer);
    current_ = nullptr;
  }

 private:
  struct Step {
    std::string what;
    std::function<bool()> ready;
    std::function<void()> act;
  };

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* script = current_;
    if (!script || script->busy_ || script->next_ >= script->steps_.size()) return;
    script->busy_ = true;
    Step& step = script->steps_[script->next_];
    if (step.ready()) {
      ++script->next_;
      script->since_ = GetTickCount64();
      step.act();
    } else if (GetTickCount64() - script->since_ > 15000) {
      // A window that never came, or never went, would leave a modal loop running for good.
      std::fprintf(stderr, "FAILED: waited 15 s in vain for: %s\n", step.what.c_str());
      std::fflush(stderr);
      ExitProcess(1);
    }
    script->busy_ = false;
  }

  static inline Script* current_ = nullptr;
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  ULONGLONG since_ = 0;
  bool busy_ = false;
};

class WindowsTest : public testing::Test {
 protected:
  void SetUp() override { ClearSchedule(); }

  void TearDown() override {
    program_.reset();
    // Closing the main window asked the loop to end; the next test starts without that.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ClearSchedule();
  }

  void ClearSchedule() {
    for (int index = 0; index < 20; ++index)
      registr_.DelRegValue(kHkeyCurrentUser, kScheduleKey, ScheduleValueName(index));
  }

  // Stores the schedule, then starts the program as without an argument: the window shows.
  void Open(const Items& entries) {
    Store(entries);
    Start();
  }
  void Store(const Items& entries) {
    registr_.MakeRegKey(kHkeyCurrentUser, kScheduleKey);
    for (std::size_t index = 0; index < entries.size(); ++index) {
      registr_.WriteRegValue(kHkeyCurrentUser, kScheduleKey,
                             ScheduleValueName(static_cast<int>(index)), RegValue(entries[index]),
                             kRegSz);
    }
  }
  void Start() {
    program_ = std::make_unique<Program>(
        GetModuleHandleW(nullptr), SW_SHOWNORMAL,
        ProgramServices{
            registr_, {environment_, clock_, clock_, wallpaper_}, dialogs_, links_, files_});
    ASSERT_TRUE(program_->Create());
    program_->Load();
    ASSERT_TRUE(Shown(MainWindow()));
  }

  Items Stored() {
    Items entries;
    for (int index = 0; index < 20; ++index) {
      const std::string line =
          registr_.ReadRegValue(kHkeyCurrentUser, kScheduleKey, ScheduleValueName(index)).Text();
      if (line.empty()) break;
      entries.push_back(line);
    }
    return entries;
  }

  // What the list box shows.
  Items Listed() {
    HWND list = Main(ListWindow::kList1);
    Items lines;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
      std::wstring line(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1,
                        L'\0');
      line.resize(static_cast<std::size_t>(
          SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line.data()))));
      lines.push_back(Narrow(line, CP_ACP));
    }
    return lines;
  }
  int Selected() {
    return static_cast<int>(SendMessageW(Main(ListWindow::kList1), LB_GETCURSEL, 0, 0));
  }

  HWND MainWindow() { return program_->MainWindow().Window(); }
  HWND Main(ListWindow::Control control) { return program_->MainWindow().Item(control); }
  HWND Editor() { return program_->Editor().Window(); }
  HWND Edit(AddWindow::Control control) { return program_->Editor().Item(control); }
  bool EditorShown() { return Shown(Editor()); }
  HWND About() { return program_->About().Window(); }
  bool EditButtonsEnabled() {
    const bool enabled = IsWindowEnabled(Main(ListWindow::kCommand2));
    EXPECT_EQ(enabled, IsWindowEnabled(Main(ListWindow::kCommand3)) != FALSE);
    return enabled;
  }

  TempFolder folder_;
  Win32Registry raw_;
  Registr registr_{raw_};
  test::FakeEnvironment environment_;
  test::FakeClock clock_;
  test::RecordingWallpaper wallpaper_;
  FakeDialogs dialogs_;
  RecordingLinks links_;
  Win32FileSystem files_;
  std::unique_ptr<Program> program_;
};

TEST_F(WindowsTest, AddsAnEntryFromTheEditor) {
  const std::string picture = folder_.Write("les.bmp", BitmapFile(40, 30));
  Open({"S 08:00 - C:\\a.bmp", "R 00:10 - C:\\b.bmp", "S 12:00 - C:\\c.bmp"});
  SendMessageW(Main(ListWindow::kList1), LB_SETCURSEL, 2, 0);
  dialogs_.choice = picture;
  Script()
      .Then("Přidat", [&] { Click(Main(ListWindow::kCommand1)); })
      .Then(
          "the editor", [&] { return EditorShown(); },
          [&] {
            EXPECT_EQ(Text(Editor()), "Přidat nastavení tapety");
            EXPECT_FALSE(IsWindowEnabled(MainWindow())) << "the main window takes no input";
            EXPECT_EQ(Text(Edit(AddWindow::kText1)), "00");
            EXPECT_EQ(Text(Edit(AddWindow::kText2)), "00");
            EXPECT_EQ(Text(Edit(AddWindow::kText3)), "");
            EXPECT_TRUE(Checked(Edit(AddWindow::kOption1)));
            EXPECT_FALSE(Checked(Edit(AddWindow::kOption2)));
            // The time fields are normalised when they lose the focus.
            SetFocus(Edit(AddWindow::kText1));
            Type(Edit(AddWindow::kText1), "7");
            SetFocus(Edit(AddWindow::kText2));
            EXPECT_EQ(Text(Edit(AddWindow::kText1)), "07");
            Type(Edit(AddWindow::kText2), "75");
            SetFocus(Edit(AddWindow::kText1));
            EXPECT_EQ(Text(Edit(AddWindow::kText2)), "15");
            Click(Edit(AddWindow::kOption2));
            Click(Edit(AddWindow::kCommand1));
          })
      .Then(
          "the picture chosen", [&] { return !Text(Edit(AddWindow::kText3)).empty(); },
          [&] {
            EXPECT_EQ(Text(Edit(AddWindow::kText3)), picture);
            EXPECT_TRUE(Checked(Edit(AddWindow::kOption2)));
            EXPECT_FALSE(Checked(Edit(AddWindow::kOption1)));
            // The picture's colour fills the preview, stretched.
            HWND preview = program_->Editor().Preview();
            RECT area;
            GetClientRect(preview, &area);
            EXPECT_EQ(PixelAt(preview, 1, 1), RGB(0x20, 0xa0, 0x40));
            EXPECT_EQ(PixelAt(preview, area.right - 2, area.bottom - 2), RGB(0x20, 0xa0, 0x40));
            Click(Edit(AddWindow::kCommand2));
          })
      .Then(
          "the editor hidden", [&] { return !EditorShown(); },
          [&] {
            EXPECT_TRUE(program_->Editor().Exists()) << "OK hides the editor, keeping it";
            // A second Přidat shows the design contents again, whatever the first left.
            Click(Main(ListWindow::kCommand1));
          })
      .Then(
          "the editor again", [&] { return EditorShown(); },
          [&] {
            EXPECT_EQ(Text(Edit(AddWindow::kText1)), "00");
            EXPECT_EQ(Text(Edit(AddWindow::kText2)), "00");
            EXPECT_EQ(Text(Edit(AddWindow::kText3)), "");
            EXPECT_TRUE(Checked(Edit(AddWindow::kOption1)));
            EXPECT_EQ(FramePicture(program_->Editor().Preview()), nullptr);
            PostMessageW(Editor(), WM_CLOSE, 0, 0);
          })
      .Then(
          "the editor closed", [&] { return !program_->Editor().Exists(); }, [] {})
      .Run();

  const std::string line = "R 07:15 - " + picture;
  const Items expected{"S 08:00 - C:\\a.bmp", "R 00:10 - C:\\b.bmp", "S 12:00 - C:\\c.bmp", line};
  EXPECT_EQ(Listed(), expected);
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(Selected(), 0) << "the first entry is selected, not the new one";
  EXPECT_TRUE(EditButtonsEnabled());
  EXPECT_TRUE(IsWindowEnabled(MainWindow()));
}

TEST_F(WindowsTest, EditorMadeAnewAfterItsCloseBoxAddsNothing) {
  Open({});
  EXPECT_FALSE(EditButtonsEnabled()) << "an empty schedule leaves nothing to edit or delete";
  HWND first = nullptr;
  Script()
      .Then("Přidat", [&] { Click(Main(ListWindow::kCommand1)); })
      .Then(
          "the editor", [&] { return EditorShown(); },
          [&] {
            first = Editor();
            EXPECT_NE(GetWindowLongW(Edit(AddWindow::kText1), GWL_STYLE) & ES_NUMBER, 0);
            Type(Edit(AddWindow::kText1), "12");
            PostMessageW(Editor(), WM_CLOSE, 0, 0);
          })
      .Then(
          "the editor closed", [&] { return !program_->Editor().Exists(); },
          [&] { Click(Main(ListWindow::kCommand1)); })
      .Then(
          "a new editor", [&] { return EditorShown(); },
          [&] {
            EXPECT_FALSE(IsWindow(first));
            // The digits-only style comes with the new window too.
            EXPECT_NE(GetWindowLongW(Edit(AddWindow::kText1), GWL_STYLE) & ES_NUMBER, 0);
            EXPECT_NE(GetWindowLongW(Edit(AddWindow::kText2), GWL_STYLE) & ES_NUMBER, 0);
            EXPECT_EQ(Text(Edit(AddWindow::kText1)), "00");
            PostMessageW(Editor(), WM_CLOSE, 0, 0);
          })
      .Then(
          "closed again", [&] { return !program_->Editor().Exists(); }, [] {})
      .Run();
  EXPECT_TRUE(Listed().empty());
  EXPECT_TRUE(Stored().empty());
  EXPECT_FALSE(EditButtonsEnabled());
  EXPECT_TRUE(IsWindowEnabled(MainWindow()));
}

TEST_F(WindowsTest, EditsTheOnlyEntryAndRefusesToCloseMeanwhile) {
  const std::string picture = folder_.Write("zima.bmp", BitmapFile(16, 16));
  Open({"R 06:45 - " + picture});
  Script()
      .Then("Upravit", [&] { Click(Main(ListWindow::kCommand3)); })
      .Then(
          "the editor", [&] { return EditorShown(); },
          [&] {
            // Taken out of the list and the registry while it is being changed.
            EXPECT_TRUE(Listed().empty());
            EXPECT_TRUE(Stored().empty());
            EXPECT_FALSE(EditButtonsEnabled());
            EXPECT_EQ(Text(Edit(AddWindow::kText1)), "06");
            EXPECT_EQ(Text(Edit(AddWindow::kText2)), "45");
            EXPECT_EQ(Text(Edit(AddWindow::kText3)), picture);
            EXPECT_TRUE(Checked(Edit(AddWindow::kOption2)));
            EXPECT_EQ(PixelAt(program_->Editor().Preview(), 3, 3), RGB(0x20, 0xa0, 0x40));
            // The close box and Escape: neither may lose the entry.
            PostMessageW(Editor(), WM_CLOSE, 0, 0);
            SetFocus(Edit(AddWindow::kText1));
            Key(Edit(AddWindow::kText1), VK_ESCAPE);
          })
      .Then("close and Escape handled",
            [&] {
              EXPECT_TRUE(EditorShown());
              EXPECT_TRUE(Listed().empty());
              Click(Edit(AddWindow::kCommand2));
            })
      .Then(
          "the editor hidden", [&] { return !EditorShown(); }, [] {})
      .Run();
  const Items expected{"R 06:45 - " + picture};
  EXPECT_EQ(Listed(), expected);
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(Selected(), 0);
  EXPECT_TRUE(EditButtonsEnabled());
}

TEST_F(WindowsTest, EditsTheSecondOfFiveEntersWithEnterAndAppendsIt) {
  const std::string picture = folder_.Write("jaro.bmp", BitmapFile(16, 16));
  const std::string line = "S 02:30 - " + picture;
  Store({"S 01:00 - C:\\1.bmp", line, "R 03:00 - C:\\3.bmp", "S 04:00 - C:\\4.bmp",
         "R 05:00 - C:\\5.bmp"});
  // Stored again as reg.exe stores it: with its terminating zero, which the program reads as
  // part of the line.
  HKEY key = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brenlow\\Dornava", 0, KEY_SET_VALUE, &key);
  RegSetValueExA(key, "001", 0, REG_SZ, reinterpret_cast<const BYTE*>(line.c_str()),
                 static_cast<DWORD>(line.size() + 1));
  RegCloseKey(key);
  Start();
  ASSERT_EQ(program_->MainWindow().List1().List(1), line + '\0');
  SendMessageW(Main(ListWindow::kList1), LB_SETCURSEL, 1, 0);
  Script()
      .Then("Upravit", [&] { Click(Main(ListWindow::kCommand3)); })
      .Then(
          "the editor", [&] { return EditorShown(); },
          [&] {
            EXPECT_EQ(Listed().size(), 4u);
            EXPECT_TRUE(Checked(Edit(AddWindow::kOption1)));
            EXPECT_EQ(Text(Edit(AddWindow::kText2)), "30");
            EXPECT_EQ(Text(Edit(AddWindow::kText3)), picture);
            EXPECT_EQ(PixelAt(program_->Editor().Preview(), 3, 3), RGB(0x20, 0xa0, 0x40));
            // Enter presses OK while the hour field still has the focus: it is normalised all
            // the same.
            SetFocus(Edit(AddWindow::kText1));
            Type(Edit(AddWindow::kText1), "9");
            Key(Edit(AddWindow::kText1), VK_RETURN);
          })
      .Then(
          "the editor hidden", [&] { return !EditorShown(); }, [] {})
      .Run();
  const Items expected{"S 01:00 - C:\\1.bmp", "R 03:00 - C:\\3.bmp", "S 04:00 - C:\\4.bmp",
                       "R 05:00 - C:\\5.bmp", "S 09:30 - " + picture};
  EXPECT_EQ(Listed(), expected);
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(registr_.ReadRegValue(kHkeyCurrentUser, kScheduleKey, "004").Text(), expected[4]);
  EXPECT_EQ(Selected(), 0);
}

TEST_F(WindowsTest, DeletesTheSelectedEntry) {
  Open({"S 01:00 - C:\\1.bmp", "S 02:00 - C:\\2.bmp", "S 03:00 - C:\\3.bmp"});
  EXPECT_EQ(Selected(), 0);
  SendMessageW(Main(ListWindow::kCommand2), BM_CLICK, 0, 0);
  const Items rest{"S 02:00 - C:\\2.bmp", "S 03:00 - C:\\3.bmp"};
  EXPECT_EQ(Listed(), rest);
  EXPECT_EQ(Stored(), rest);
  EXPECT_EQ(Selected(), 0);
  EXPECT_TRUE(EditButtonsEnabled());

  SendMessageW(Main(ListWindow::kList1), LB_SETCURSEL, 1, 0);
  SendMessageW(Main(ListWindow::kCommand2), BM_CLICK, 0, 0);
  EXPECT_EQ(Listed(), Items{"S 02:00 - C:\\2.bmp"});
  SendMessageW(Main(ListWindow::kCommand2), BM_CLICK, 0, 0);
  EXPECT_TRUE(Listed().empty());
  EXPECT_TRUE(Stored().empty());
  EXPECT_FALSE(EditButtonsEnabled()) << "nothing left to edit or delete";
}

TEST_F(WindowsTest, MissingPictureIsReportedAndAddsNothing) {
  Open({});
  // OK only and no icon, owned by the editor.
  auto check_box = [&](HWND box) {
    EXPECT_EQ(GetWindow(box, GW_OWNER), Editor());
    int buttons = 0;
    int icons = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t name[32] = {};
      GetClassNameW(child, name, 32);
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      if (!IsWindowVisible(child)) continue;
      if (lstrcmpiW(name, L"Button") == 0) {
        ++buttons;
        EXPECT_EQ(Text(child), "OK");
      }
      if (lstrcmpiW(name, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
          SendMessageW(child, STM_GETICON, 0, 0)) {
        ++icons;
      }
    }
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(icons, 0);
    EXPECT_EQ(Narrow(WindowText(GetDlgItem(box, 0xffff)), CP_UTF8), "Soubor tapety neexistuje");
    SendMessageW(box, WM_COMMAND, IDOK, 0);
  };
  Script()
      .Then("Přidat", [&] { Click(Main(ListWindow::kCommand1)); })
      .Then(
          "the editor", [&] { return EditorShown(); }, [&] { Click(Edit(AddWindow::kCommand2)); })
      .Then(
          "the message for an empty path", [&] { return MessageBoxWindow() != nullptr; },
          [&] { check_box(MessageBoxWindow()); })
      .Then(
          "the message gone", [&] { return !MessageBoxWindow(); },
          [&] {
            EXPECT_TRUE(EditorShown());
            dialogs_.choice = folder_ / "chybi.bmp";
            Click(Edit(AddWindow::kCommand1));
          })
      .Then(
          "a missing file chosen", [&] { return !Text(Edit(AddWindow::kText3)).empty(); },
          [&] {
            EXPECT_EQ(FramePicture(program_->Editor().Preview()), nullptr);
            Click(Edit(AddWindow::kCommand2));
          })
      .Then(
          "the message for a missing file", [&] { return MessageBoxWindow() != nullptr; },
          [&] { check_box(MessageBoxWindow()); })
      .Then(
          "the message gone again", [&] { return !MessageBoxWindow(); },
          [&] {
            EXPECT_TRUE(EditorShown());
            EXPECT_EQ(Text(Edit(AddWindow::kText3)), folder_ / "chybi.bmp");
            PostMessageW(Editor(), WM_CLOSE, 0, 0);
          })
      .Then(
          "the editor closed", [&] { return !program_->Editor().Exists(); }, [] {})
      .Run();
  EXPECT_TRUE(Listed().empty());
  EXPECT_TRUE(Stored().empty());
}

TEST_F(WindowsTest, SessionEndPutsTheEntryBeingChangedBack) {
  Open({"S 07:00 - C:\\rano.bmp", "S 19:00 - C:\\vecer.bmp"});
  Script()
      .Then("Upravit", [&] { Click(Main(ListWindow::kCommand3)); })
      .Then(
          "the editor", [&] { return EditorShown(); },
          [&] {
            EXPECT_EQ(Stored(), Items{"S 19:00 - C:\\vecer.bmp"});
            // A log-off some other program cancelled changes nothing.
            EXPECT_EQ(SendMessageW(Editor(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
            SendMessageW(Editor(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
            EXPECT_EQ(Stored(), Items{"S 19:00 - C:\\vecer.bmp"});
            // The real one: the entry is back before the session ends.
            SendMessageW(Editor(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            const Items back{"S 19:00 - C:\\vecer.bmp", "S 07:00 - C:\\rano.bmp"};
            EXPECT_EQ(Stored(), back);
            EXPECT_EQ(Listed(), back);
            EXPECT_TRUE(EditButtonsEnabled());
            PostMessageW(Editor(), WM_CLOSE, 0, 0);
          })
      .Then("the close box",
            [&] {
              EXPECT_TRUE(EditorShown()) << "the user's close box stays refused";
              // Let the test end: as if adding, the close box closes.
              program_->Add().set_edit(false);
              PostMessageW(Editor(), WM_CLOSE, 0, 0);
            })
      .Then(
          "the editor closed", [&] { return !program_->Editor().Exists(); }, [] {})
      .Run();
  EXPECT_EQ(Stored(), (Items{"S 19:00 - C:\\vecer.bmp", "S 07:00 - C:\\rano.bmp"}));
}

TEST_F(WindowsTest, EnterOnTheListPressesStart) {
  Open({"S 07:00 - C:\\rano.bmp"});
  Script()
      .Then("Enter on the list",
            [&] {
              SetFocus(Main(ListWindow::kList1));
              Key(Main(ListWindow::kList1), VK_RETURN);
            })
      .Then(
          "the window hidden", [&] { return !Shown(MainWindow()); }, [] {})
      .Run();
  EXPECT_TRUE(program_->List().Running());
}

TEST_F(WindowsTest, TabWalksTheControlsInTheirOrder) {
  Open({"S 07:00 - C:\\rano.bmp"});
  // The focused control's ID before each Tab.
  auto walk = [&](Script& script, std::vector<int>& seen, int steps) {
    for (int step = 0; step < steps; ++step) {
      script.Then("Tab", [&seen] {
        seen.push_back(GetDlgCtrlID(GetFocus()));
        Key(GetFocus(), VK_TAB);
      });
    }
  };
  std::vector<int> main;
  std::vector<int> editor;
  Script script;
  script.Then("the first control", [&] { SetFocus(Main(ListWindow::kCommand1)); });
  walk(script, main, 8);
  script.Then("Přidat", [&] { Click(Main(ListWindow::kCommand1)); })
      .Then(
          "the editor", [&] { return EditorShown(); },
          [&] { SetFocus(Edit(AddWindow::kOption1)); });
  walk(script, editor, 7);
  script.Then("close", [&] { PostMessageW(Editor(), WM_CLOSE, 0, 0); })
      .Then(
          "the editor closed", [&] { return !program_->Editor().Exists(); }, [] {})
      .Run();

  using L = ListWindow;
  using A = AddWindow;
  EXPECT_EQ(main, (std::vector<int>{L::kCommand1, L::kCommand2, L::kCommand3, L::kCommand4,
                                    L::kCheck1, L::kCommand5, L::kList1, L::kCommand1}));
  EXPECT_EQ(editor, (std::vector<int>{A::kOption1, A::kCommand1, A::kCommand2, A::kText1, A::kText2,
                                      A::kText3, A::kOption1}));
}

TEST_F(WindowsTest, AboutWindowOpensItsLinks) {
  Open({});
  AboutWindow& about = program_->About();
  // The menu opened by a name: its items, then the one chosen with the keys.
  auto choose = [&](int item) {
    HWND menuWindow = PopupMenuWindow();
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    wchar_t text[64];
    GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    EXPECT_EQ(Narrow(text, CP_UTF8), "Napsat e-mail");
    GetMenuStringW(menu, 1, text, 64, MF_BYPOSITION);
    EXPECT_EQ(Narrow(text, CP_UTF8), "Jít na domovskou stránku");
    for (int down = 0; down <= item; ++down)
      Key(menuWindow, VK_DOWN);
    Key(menuWindow, VK_RETURN);
  };
  Script()
      .Then("O programu", [&] { Click(Main(ListWindow::kCommand5)); })
      .Then(
          "the about window", [&] { return Shown(About()); },
          [&] {
            EXPECT_EQ(Text(About()), "O programu Dornava");
            EXPECT_FALSE(IsWindowEnabled(MainWindow()));
            EXPECT_NE(about.Banner(), nullptr);
            EXPECT_EQ(about.Banner(), program_->MainWindow().Banner());
            // A plain label does nothing; the maker's address opens at once.
            ClickAt(About(), PxRect(3795, 135, 765, 210));
            ClickAt(About(), about.LinkRect(AboutWindow::Link::kLabel7));
          })
      .Then("the maker's page",
            [&] {
              EXPECT_EQ(links_.opened, Items{"http://www.brenlow.example/"});
              EXPECT_EQ(PopupMenuWindow(), nullptr);
              ClickAt(About(), about.LinkRect(AboutWindow::Link::kLabel2));
            })
      .Then(
          "the program author's menu", [&] { return PopupMenuWindow() != nullptr; },
          [&] { choose(0); })
      .Then(
          "a mail to the program author", [&] { return links_.opened.size() == 2; },
          [&] { ClickAt(About(), about.LinkRect(AboutWindow::Link::kLabel1)); })
      .Then(
          "the idea author's menu", [&] { return PopupMenuWindow() != nullptr; },
          [&] { choose(1); })
      .Then(
          "the idea author's page", [&] { return links_.opened.size() == 3; },
          [&] { PostMessageW(About(), WM_CLOSE, 0, 0); })
      .Then(
          "the about window closed", [&] { return !about.Exists(); },
          [&] {
            EXPECT_TRUE(IsWindowEnabled(MainWindow()));
            Click(Main(ListWindow::kCommand5));
          })
      .Then(
          "the about window again", [&] { return Shown(About()); },
          [&] {
            EXPECT_NE(about.Banner(), nullptr) << "the Load handler copies the banner again";
            PostMessageW(About(), WM_CLOSE, 0, 0);
          })
      .Then(
          "closed again", [&] { return !about.Exists(); }, [] {})
      .Run();
  EXPECT_EQ(links_.opened,
            (Items{"http://www.brenlow.example/", "mailto:marek.lhotak@brenlow.example",
                   "http://www.brenlow.example/?zalesny"}));
}

TEST_F(WindowsTest, AboutWindowTooltips) {
  Open({});
  Items tips;
  Script()
      .Then("O programu", [&] { Click(Main(ListWindow::kCommand5)); })
      .Then(
          "the about window", [&] { return Shown(About()); },
          [&] {
            HWND tooltips = program_->About().Tooltips();
            const int count = static_cast<int>(SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0));
            for (int index = 0; index < count; ++index) {
              wchar_t text[128] = {};
              TTTOOLINFOW tool{};
              tool.cbSize = sizeof tool;
              tool.lpszText = text;
              SendMessageW(tooltips, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(&tool));
              tips.push_back(Narrow(text, CP_UTF8));
              // Each covers its label.
              const RECT label =
                  program_->About().LinkRect(static_cast<AboutWindow::Link>(tool.uId));
              EXPECT_TRUE(EqualRect(&tool.rect, &label)) << tips.back();
            }
            PostMessageW(About(), WM_CLOSE, 0, 0);
          })
      .Then(
          "closed", [&] { return !program_->About().Exists(); }, [] {})
      .Run();
  EXPECT_EQ(tips, (Items{"ivo.zalesny@brenlow.example nebo http://www.brenlow.example/?zalesny",
                         "marek.lhotak@brenlow.example nebo http://www.brenlow.example/?lhotak",
                         "Sdružení programátorů Podještědí"}));
}

TEST_F(WindowsTest, LayoutAndLook) {
  Open({"S 07:00 - C:\\rano.bmp"});
  auto client = [](HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    return SIZE{rect.right, rect.bottom};
  };
  // A framed field reaches past its container on every side, so its own border is cut away,
  // and the frame is light blue one pixel outside the container.
  auto framed = [](HWND field) {
    HWND container = GetParent(field);
    RECT inner, outer;
    GetWindowRect(container, &inner);
    GetWindowRect(field, &outer);
    EXPECT_LT(outer.left, inner.left);
    EXPECT_LT(outer.top, inner.top);
    EXPECT_GT(outer.right, inner.right);
    EXPECT_GT(outer.bottom, inner.bottom);
    HWND form = GetParent(container);
    POINT corner{inner.left - 1, inner.top - 1};
    ScreenToClient(form, &corner);
    EXPECT_EQ(PixelAt(form, corner.x, corner.y), kLightBlue);
    EXPECT_EQ(PixelAt(form, corner.x - 1, corner.y - 1), kDarkBlue);
  };
  auto centred = [](HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_NEAR(rect.left + rect.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(rect.top + rect.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
  };

  HWND main = MainWindow();
  EXPECT_EQ(Text(main), "Dornava 1.1");
  EXPECT_EQ(client(main).cx, Px(6690));
  EXPECT_EQ(client(main).cy, Px(4275));
  EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  centred(main);
  framed(Main(ListWindow::kList1));
  RECT list;
  GetClientRect(Main(ListWindow::kList1), &list);
  EXPECT_EQ(PixelAt(Main(ListWindow::kList1), list.right - 30, list.bottom - 4), kDarkBlue);
  // The banner at its natural size, under the labels.
  const RECT banner = PxRect(150, 225, 6390, 885);
  EXPECT_EQ(PixelAt(main, banner.left + 2, banner.bottom - 1), kLightBlue);
  EXPECT_EQ(GetWindowLongW(Main(ListWindow::kCommand4), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

  Script()
      .Then("Přidat", [&] { Click(Main(ListWindow::kCommand1)); })
      .Then(
          "the editor", [&] { return EditorShown(); },
          [&] {
            HWND editor = Editor();
            EXPECT_EQ(client(editor).cx, Px(4320));
            EXPECT_EQ(client(editor).cy, Px(3435));
            const LONG style = GetWindowLongW(editor, GWL_STYLE);
            EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
            EXPECT_NE(style & WS_SYSMENU, 0) << "the close box stays";
            EXPECT_EQ(GetWindow(editor, GW_OWNER), main) << "no task-bar button of its own";
            centred(editor);
            framed(Edit(AddWindow::kText1));
            framed(Edit(AddWindow::kText2));
            framed(Edit(AddWindow::kText3));
            const LONG text1 = GetWindowLongW(Edit(AddWindow::kText1), GWL_STYLE);
            EXPECT_EQ(text1 & ES_CENTER, ES_CENTER);
            EXPECT_EQ(SendMessageW(Edit(AddWindow::kText1), EM_GETLIMITTEXT, 0, 0), 2);
            EXPECT_NE(GetWindowLongW(Edit(AddWindow::kText3), GWL_STYLE) & ES_READONLY, 0);
            // The read-only path keeps the dark blue of the others.
            RECT path;
            GetClientRect(Edit(AddWindow::kText3), &path);
            EXPECT_EQ(PixelAt(Edit(AddWindow::kText3), path.right - 4, path.bottom / 2), kDarkBlue);
            PostMessageW(editor, WM_CLOSE, 0, 0);
          })
      .Then(
          "the editor closed", [&] { return !program_->Editor().Exists(); },
          [&] { Click(Main(ListWindow::kCommand5)); })
      .Then(
          "the about window", [&] { return Shown(About()); },
          [&] {
            EXPECT_EQ(client(About()).cx, Px(4680));
            EXPECT_EQ(client(About()).cy, Px(1830));
            EXPECT_EQ(GetWindowLongW(About(), GWL_STYLE) &
                          (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
                      0);
            EXPECT_EQ(GetWindow(About(), GW_OWNER), main);
            centred(About());
            // The banner stretched into its frame: its light-blue bottom line (blended by the
            // stretching) ends where the frame does.
            const RECT frame = PxRect(105, 150, 4455, 617);
            EXPECT_GT(GetBValue(PixelAt(About(), frame.left + 2, frame.bottom - 1)),
                      GetBValue(kDarkBlue) + 32);
            EXPECT_EQ(PixelAt(About(), frame.left + 2, frame.bottom + 1), kDarkBlue);
            PostMessageW(About(), WM_CLOSE, 0, 0);
          })
      .Then(
          "closed", [&] { return !program_->About().Exists(); }, [] {})
      .Run();
}

TEST(ResourcesTest, BannerIconAndVersion) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HBITMAP banner = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(banner, nullptr);
  BITMAP bitmap;
  GetObjectW(banner, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 426);
  EXPECT_EQ(bitmap.bmHeight, 59);
  EXPECT_EQ(bitmap.bmBitsPixel, 24);
  DeleteObject(banner);

  for (int size : {16, 32, 48}) {
    // The group holds an image of exactly that size, not one to be scaled.
    HRSRC group = FindResourceA(instance, MAKEINTRESOURCEA(IDI_DORNAVA), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(instance, group)));
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(instance, MAKEINTRESOURCEA(id), RT_ICON);
    ASSERT_NE(image, nullptr) << size;
    BITMAPINFOHEADER header;
    std::memcpy(&header, LockResource(LoadResource(instance, image)), sizeof header);
    EXPECT_EQ(header.biWidth, size);
  }

  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::vector<BYTE> version(GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_FALSE(version.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(version.size()), version.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  auto text = [&](const wchar_t* name) {
    wchar_t* value = nullptr;
    std::wstring query = std::wstring(L"\\StringFileInfo\\040504B0\\") + name;
    if (!VerQueryValueW(version.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
      return std::string();
    return Narrow(value, CP_UTF8);
  };
  EXPECT_EQ(text(L"CompanyName"), "Brenlow");
  EXPECT_EQ(text(L"ProductName"), "Dornava");
  EXPECT_EQ(text(L"FileDescription"), "Dornava – výměna tapety podle plánu");
}

}  // namespace
}  // namespace dornava::win32
