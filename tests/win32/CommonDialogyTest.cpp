// The open-file dialog, driven through the hook the tests may install: what it is handed, what
// it gives back, and what one call leaves for the next.
#include "ui/win32/CommonDialogy.h"

#include <windows.h>

#include <cderr.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "TempFolder.h"
#include "ui/Texts.h"

namespace dornava {
namespace {

using test::TempFolder;

// What the hook does once the dialog is up, and what it saw then.
struct Script {
  std::string fileName;  // typed into the file name box, then OK; empty: cancel
  int filterPair = 0;    // switched to before OK when not 0 (1 is the first pair)

  bool shown = false;
  std::string caption;
  HWND owner = nullptr;
  std::string folder;
  int filterSelected = -1;  // the filter box's selection, from 0
  DWORD filterIndex = 0;    // the record's, from 1
};
Script* script = nullptr;

constexpr UINT kAct = WM_APP + 1;

std::string FolderPath(HWND dialog) {
  char path[MAX_PATH] = {};
  SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof path, reinterpret_cast<LPARAM>(path));
  return path;
}

// The hook runs in a child of the dialog.
UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM, LPARAM lParam) {
  HWND dialog = GetParent(child);
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == CDN_INITDONE) {
    const auto* notify = reinterpret_cast<OFNOTIFYA*>(lParam);
    script->shown = true;
    char caption[256] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    script->caption = caption;
    script->owner = GetWindow(dialog, GW_OWNER);
    script->folder = FolderPath(dialog);
    script->filterSelected =
        static_cast<int>(SendDlgItemMessageA(dialog, cmb1, CB_GETCURSEL, 0, 0));
    script->filterIndex = notify->lpOFN->nFilterIndex;
    // Acts once the dialog has finished starting.
    PostMessageA(child, kAct, 0, 0);
  } else if (message == kAct) {
    if (script->fileName.empty()) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      return TRUE;
    }
    if (script->filterPair) {
      HWND filter = GetDlgItem(dialog, cmb1);
      SendMessageA(filter, CB_SETCURSEL, static_cast<WPARAM>(script->filterPair - 1), 0);
      // What the box tells its dialog when the user picks an item.
      for (int notification : {CBN_SELCHANGE, CBN_SELENDOK})
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, static_cast<WORD>(notification)),
                     reinterpret_cast<LPARAM>(filter));
    }
    // Windows' file name box is a combo box, Wine's an edit box.
    for (int box : {cmb13, edt1})
      SendMessageA(dialog, CDM_SETCONTROLTEXT, static_cast<WPARAM>(box),
                   reinterpret_cast<LPARAM>(script->fileName.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return TRUE;
  }
  return 0;
}

BOOL CALLBACK CancelWindow(HWND window, LPARAM) {
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

class OpenDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    script = &script_;
    owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
    // Whatever goes wrong, a dialog (or a message box over it) left open must not hang the run.
    const DWORD thread = GetCurrentThreadId();
    watchdog_ = std::thread([this, thread] {
      for (int waited = 0; !done_; waited += 100) {
        Sleep(100);
        if (waited >= 20000) EnumThreadWindows(thread, CancelWindow, 0);
      }
    });
  }
  void TearDown() override {
    done_ = true;
    watchdog_.join();
    DestroyWindow(owner_);
    script = nullptr;
  }

  std::string Show(Win32CommonDialogy& dialogs, std::string_view initialDir) {
    return dialogs.ShowOpenDialog(reinterpret_cast<WindowHandle>(owner_), texts::kOpenDialogTitle,
                                  texts::kOpenDialogFilter, initialDir, kOpenDialogFlags);
  }

  Script script_;
  HWND owner_ = nullptr;
  std::atomic<bool> done_ = false;
  std::thread watchdog_;
};

TEST_F(OpenDialogTest, CancelGivesNothing) {
  Win32CommonDialogy dialogs(Hook);
  EXPECT_EQ(Show(dialogs, ""), "");
  ASSERT_TRUE(script_.shown);
  // A cancel, not a refusal: the record's size suits this build, 32-bit or 64-bit.
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(script_.caption, texts::kOpenDialogTitle);
  EXPECT_EQ(script_.owner, owner_);
  EXPECT_EQ(script_.filterSelected, 0);
}

TEST_F(OpenDialogTest, GivesTheChosenPathAndRemembersTheFilterPair) {
  TempFolder first;
  TempFolder second;
  const std::string picture = first.Write("picture.jpg", "x");
  Win32CommonDialogy dialogs(Hook);

  script_.fileName = "picture.jpg";
  script_.filterPair = 2;
  EXPECT_EQ(Show(dialogs, first.path()), picture);
  ASSERT_TRUE(script_.shown);
  EXPECT_EQ(script_.folder, first.path());
  EXPECT_EQ(script_.filterSelected, 0);
  EXPECT_EQ(dialogs.Record().nFilterIndex, 2u);

  // The next dialog of the run starts with the pair chosen last, in the folder it is given.
  script_ = Script{};
  EXPECT_EQ(Show(dialogs, second.path() + "\\"), "");
  ASSERT_TRUE(script_.shown);
  EXPECT_EQ(script_.folder, second.path());
  EXPECT_EQ(script_.filterIndex, 2u);
  EXPECT_EQ(script_.filterSelected, 1);

  // A dialog of a new run starts with the first pair again.
  Win32CommonDialogy restarted(Hook);
  script_ = Script{};
  EXPECT_EQ(Show(restarted, second.path()), "");
  EXPECT_EQ(script_.filterSelected, 0);
}

TEST_F(OpenDialogTest, PathsUpToTheBufferSize) {
  TempFolder folder;
  // With its terminating zero, a path of 254 characters fills the buffer exactly.
  const std::size_t room = 254 - folder.path().size() - 1;
  const std::string longest = folder.Write(std::string(room - 4, 'a') + ".bmp", "x");
  const std::string tooLong = folder.Write(std::string(room - 3, 'b') + ".bmp", "x");
  ASSERT_EQ(longest.size(), 254u);
  Win32CommonDialogy dialogs(Hook);

  script_.fileName = longest;
  EXPECT_EQ(Show(dialogs, folder.path()), longest);
  script_ = Script{};
  script_.fileName = tooLong;
  EXPECT_EQ(Show(dialogs, folder.path()), "");
  EXPECT_TRUE(script_.shown);
  EXPECT_EQ(CommDlgExtendedError(), DWORD{FNERR_BUFFERTOOSMALL});
}

#ifdef _WIN64
// Why the record is not given the literal size of 32-bit systems.
TEST_F(OpenDialogTest, TheOld32BitSizeIsRefusedBy64BitSystems) {
  char file[255] = {};
  OPENFILENAMEA record{};
  record.lStructSize = 76;
  record.lpstrFile = file;
  record.nMaxFile = sizeof file;
  EXPECT_FALSE(GetOpenFileNameA(&record));
  EXPECT_EQ(CommDlgExtendedError(), DWORD{CDERR_STRUCTSIZE});
}
#endif

}  // namespace
}  // namespace dornava
