// The windows' wiring the form logic's tests cannot see (controls, keys, modality, tab order,
// focus loss, digits only, session end), in this process over the Wine prefix's registry.
#include "ui/win32/Program.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/Win32Registry.h"
#include "support/Fakes.h"
#include "support/RecordingViews.h"
#include "support/TempDir.h"
#include "ui/win32/FileSystem.h"

namespace dornava::win32 {
namespace {

using namespace std::string_literals;
using Items = std::vector<std::string>;
using L = ListWindow;
using A = AddWindow;

class WindowsTest : public testing::Test {
 public:
  void SetUp() override { RewriteSchedule(registr_, test::VectorList{}); }
  void TearDown() override {
    program_.reset();
    SetUp();
    registr_.DelRegValue(kHkeyCurrentUser, kRunKey, kRunValueName);
  }

  // Stores the schedule and starts the program as without an argument: the window shows.
  void Open(const Items& entries) {
    RewriteSchedule(registr_, test::VectorList(entries));
    program_ = std::make_unique<Program>(
        GetModuleHandleW(nullptr), SW_SHOWNORMAL,
        ProgramServices{
            registr_, {environment_, clock_, clock_, wallpaper_}, dialogs_, links_, files_});
    ASSERT_TRUE(program_->Create());
    program_->Load();
    ASSERT_TRUE(Shown(Main()));
  }
  Items Stored() {
    test::VectorList list;
    LoadSchedule(registr_, list);
    return list.items;
  }

  // When it is ready (none: at once), what to do.
  using Step = std::pair<std::function<bool()>, std::function<void()>>;
  // Runs the steps from a timer, inside whichever loop runs: the modal windows run their own.
  static void Run(std::vector<Step> steps) {
    steps_ = &steps;
    next_ = 0;
    deadline_ = GetTickCount64() + 60000;
    const UINT_PTR timer = SetTimer(nullptr, 0, 15, Tick);
    MSG message;
    while (next_ < steps.size() && GetMessageW(&message, nullptr, 0, 0) > 0)
      Dispatch(message);
    KillTimer(nullptr, timer);
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (next_ >= steps_->size()) return;
    const auto& [ready, act] = (*steps_)[next_];
    if (!ready || ready()) {
      ++next_;
      act();
    } else if (GetTickCount64() > deadline_) {
      // A window that never came, or never went, would leave a modal loop running for good.
      std::fprintf(stderr, "FAILED: step %zu still waited after a minute\n", next_);
      ExitProcess(1);
    }
  }
  static void Dispatch(MSG& message) {
    if (TranslateFormMessage(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // A key as the program's loop handles it, at once.
  static void Press(HWND target, WPARAM key) {
    MSG m{target, WM_KEYDOWN, key, 1, 0, {}};
    Dispatch(m);
  }
  // Tab pressed `count` times from `first`: the controls that had the focus.
  static std::vector<int> Walk(HWND first, std::size_t count) {
    std::vector<int> seen;
    for (SetFocus(first); seen.size() < count; Press(GetFocus(), VK_TAB))
      seen.push_back(GetDlgCtrlID(GetFocus()));
    return seen;
  }

  static std::string Text(HWND window) { return Narrow(WindowText(window), CP_ACP); }
  // Sent, at once; a click that opens a modal window is posted, or it would block the step.
  static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
  static bool Shown(HWND window) { return window && IsWindowVisible(window); }
  HWND Main() { return program_->MainWindow().Window(); }
  HWND Main(L::Control control) { return program_->MainWindow().Item(control); }
  HWND Editor() { return program_->Editor().Window(); }
  HWND Edit(A::Control control) { return program_->Editor().Item(control); }

  static inline std::vector<Step>* steps_ = nullptr;
  static inline std::size_t next_ = 0;
  static inline ULONGLONG deadline_ = 0;
  test::TempDir folder_;
  Win32Registry raw_;
  Registr registr_{raw_};
  test::FakeEnvironment environment_;
  test::FakeClock clock_;
  test::RecordingWallpaper wallpaper_;
  test::FakeDialogs dialogs_;
  test::RecordingLinks links_;
  Win32FileSystem files_;
  std::unique_ptr<Program> program_;
};

// The main window's controls and keys that open no window, its tab order and its close box.
TEST_F(WindowsTest, MainWindowControlsAndKeysReachTheLogic) {
  const struct {
    L::Control control;
    WPARAM key;  // 0: a click
    std::function<bool(WindowsTest&)> done;
  } rows[] = {
      {L::kCommand2, 0, [](auto& t) { return t.Stored() == Items{"S 02:00 - C:\\2"}; }},
      {L::kCheck1, 0,
       [](auto& t) {
         return t.registr_.ReadRegValue(kHkeyCurrentUser, kRunKey, kRunValueName).IsText();
       }},
      {L::kCommand4, 0, [](auto& t) { return t.program_->List().Running(); }},
      // Start is the default button, wherever the focus is.
      {L::kList1, VK_RETURN, [](auto& t) { return t.program_->List().Running(); }},
  };
  for (const auto& row : rows) {
    Open({"S 01:00 - C:\\1", "S 02:00 - C:\\2"});
    SetFocus(Main(row.control));
    row.key ? Press(Main(row.control), row.key) : Click(Main(row.control));
    EXPECT_TRUE(row.done(*this)) << row.control;
    TearDown();
  }
  Open({"S 01:00 - C:\\1"});
  EXPECT_EQ(Walk(Main(L::kCommand1), 8),
            (std::vector<int>{L::kCommand1, L::kCommand2, L::kCommand3, L::kCommand4, L::kCheck1,
                              L::kCommand5, L::kList1, L::kCommand1}));
  SendMessageW(Main(), WM_CLOSE, 0, 0);
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program ends";
}

TEST_F(WindowsTest, EditorControlsAndKeysReachTheLogic) {
  // A 2 x 2 grey picture, 24-bit BMP.
  dialogs_.answer = folder_.Write(
      "les.bmp", "BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0"s +
                     std::string(24, '\0') + std::string(16, '\x80'));
  const std::string added = "R 07:05 - " + dialogs_.answer;
  Open({"S 08:00 - C:\\a.bmp"});
  Run({
      {{}, [&] { PostMessageW(Main(L::kCommand1), BM_CLICK, 0, 0); }},  // Přidat
      {[&] { return Shown(Editor()); },
       [&] {
         EXPECT_FALSE(IsWindowEnabled(Main())) << "modal: the owner takes no input";
         // The option pair is one stop of the walk.
         EXPECT_EQ(Walk(Edit(A::kOption1), 7),
                   (std::vector<int>{A::kOption1, A::kCommand1, A::kCommand2, A::kText1, A::kText2,
                                     A::kText3, A::kOption1}));
         // Typed letters are refused; losing the focus puts the fields in their normal form.
         SetWindowTextW(Edit(A::kText1), L"");
         for (wchar_t c : {L'7', L'x'})
           SendMessageW(Edit(A::kText1), WM_CHAR, c, 1);
         SetWindowTextW(Edit(A::kText2), L"5x");
         EXPECT_EQ(Text(Edit(A::kText1)) + Text(Edit(A::kText2)), "75x");
         for (A::Control field : {A::kText1, A::kText2, A::kText1})
           SetFocus(Edit(field));
         EXPECT_EQ(Text(Edit(A::kText1)) + Text(Edit(A::kText2)), "0705");
         Click(Edit(A::kOption2));
         Click(Edit(A::kCommand1));  // browse
         Press(Edit(A::kText1), VK_ESCAPE);
         EXPECT_TRUE(Shown(Editor())) << "Escape does nothing";
         EXPECT_EQ(dialogs_.owner, reinterpret_cast<WindowHandle>(Editor()));
         EXPECT_NE(GetWindowLongPtrW(program_->Editor().Preview(), GWLP_USERDATA), 0);
         SetFocus(Edit(A::kText1));
         Press(Edit(A::kText1), VK_RETURN);  // OK is the default button, the field in focus
         EXPECT_TRUE(IsWindowEnabled(Main()));
         EXPECT_EQ(Stored(), (Items{"S 08:00 - C:\\a.bmp", added}));
         PostMessageW(Main(L::kCommand3), BM_CLICK, 0, 0);  // Upravit, the first entry
       }},
      {[&] { return Shown(Editor()); },
       [&] {
         EXPECT_EQ(Stored(), Items{added});
         SendMessageW(Editor(), WM_CLOSE, 0, 0);
         EXPECT_TRUE(Shown(Editor())) << "the close box refused while an entry is being changed";
         // A log-off another program cancelled changes nothing; the real one puts it back.
         SendMessageW(Editor(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
         EXPECT_EQ(Stored(), Items{added});
         SendMessageW(Editor(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
         EXPECT_EQ(Stored(), (Items{added, "S 08:00 - C:\\a.bmp"}));
         program_->Add().set_edit(false);
         SendMessageW(Editor(), WM_CLOSE, 0, 0);
         EXPECT_FALSE(program_->Editor().Exists());
       }},
  });
}

}  // namespace
}  // namespace dornava::win32
