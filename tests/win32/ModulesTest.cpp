// The editor's small modules against Wine's: the open-file record, file test and preview budget.
#include <windows.h>

#include <dlgs.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/TempDir.h"
#include "ui/Texts.h"
#include "ui/win32/CommonDialogy.h"
#include "ui/win32/FileSystem.h"
#include "ui/win32/Preview.h"

namespace dornava {
namespace {

using namespace std::string_literals;

// What the dialog showed; it then picks filter pair 2 and opens `fileName`, or cancels.
struct {
  std::string fileName, folder;
  HWND owner = nullptr;
  LRESULT filter = -1;
} dialog;

UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM, LPARAM lParam) {
  HWND box = GetParent(child);
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == CDN_INITDONE) {
    char folder[MAX_PATH] = {};
    SendMessageA(box, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
    dialog.folder = folder;
    dialog.owner = GetWindow(box, GW_OWNER);
    dialog.filter = SendDlgItemMessageA(box, cmb1, CB_GETCURSEL, 0, 0);
    PostMessageA(child, WM_APP, 0, 0);  // acts once the dialog has finished starting
  } else if (message == WM_APP) {
    if (dialog.fileName.empty()) return PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    // What the filter box tells its dialog when the user picks an item.
    SendDlgItemMessageA(box, cmb1, CB_SETCURSEL, 1, 0);
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, cmb1)));
    SendMessageA(box, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(dialog.fileName.c_str()));
    PostMessageA(box, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  }
  return 0;
}

// One record serves every call: the pair chosen last comes back in the next dialog.
TEST(OpenDialog, KeepsTheFilterPairAcrossCallsAndOpensInTheFolderGiven) {
  test::TempDir first, second;
  const std::string picture = first.Write("picture.jpg", "x");
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, 0, 0, 0, 0);
  Win32CommonDialogy dialogs(Hook);
  const struct {
    std::string folder, fileName, expected, shownFolder;
    LRESULT filter;
  } rows[] = {{first.path(), "picture.jpg", picture, first.path(), 0},
              {second.path() + "\\", "", "", second.path(), 1}};
  for (const auto& row : rows) {
    dialog = {row.fileName, "", nullptr, -1};
    EXPECT_EQ(dialogs.ShowOpenDialog(reinterpret_cast<WindowHandle>(owner), texts::kOpenDialogTitle,
                                     texts::kOpenDialogFilter, row.folder, kOpenDialogFlags),
              row.expected);
    EXPECT_EQ(dialog.owner, owner) << "none: the system refused the record's size";
    EXPECT_EQ(dialog.folder, row.shownFolder);
    EXPECT_EQ(dialog.filter, row.filter);
  }
  DestroyWindow(owner);
}

TEST(FileExists, NormalFilesOnlyAndWhatAFolderHolds) {
  test::TempDir folder;
  const std::string plain = folder.Write("Žluťoučký kůň.bmp", "x");
  SetFileAttributesA(folder.Write("hidden.bmp", "x").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(folder.Write("system.bmp", "x").c_str(), FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesA(folder.Write("read-only.bmp", "x").c_str(), FILE_ATTRIBUTE_READONLY);
  CreateDirectoryA((folder / "sub").c_str(), nullptr);
  Win32FileSystem files;
  for (const std::string& path : {plain, folder / "read-only.bmp", folder.path() + "\\"})
    EXPECT_TRUE(files.FileExists(path)) << path;
  for (const std::string& path : {folder / "hidden.bmp", folder / "system.bmp", folder / "gone.bmp",
                                  folder / "sub", folder / "sub\\", plain + "\0x"s, ""s})
    EXPECT_FALSE(files.FileExists(path)) << path;
}

// A grey JPEG declaring 60000 x 60000 pixels, its tables before the frame as usual, with a scan
// a decoder would start on: without the header check Wine decodes it for many seconds. Nor does
// a folder, a missing, empty or cut-off file give a picture.
TEST(Preview, PictureOverThePixelBudgetOrUnreadableGivesNoneAtOnce) {
  const std::string huffman = "\x01"s + std::string(16, '\0');  // one 1-bit code, for 0
  const std::string jpeg = "\xff\xd8\xff\xdb\x00\x43\x00"s + std::string(64, '\x01') +
                           "\xff\xc4\x00\x14\x00"s + huffman + "\xff\xc4\x00\x14\x10"s + huffman +
                           "\xff\xc0\x00\x0b\x08\xea\x60\xea\x60\x01\x01\x11\x00"s +
                           "\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00\x00\x00\x00\x00\xff\xd9"s;
  test::TempDir folder;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(LoadPreviewBitmap(folder.Write("huge.jpg", jpeg), 180, 135), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  for (const std::string& path :
       {folder.path(), folder / "gone.bmp", folder.Write("empty.png", ""),
        folder.Write("cut.jpg", jpeg.substr(0, 90)), folder.Write("cut.bmp", "BM\x46\0\0\0"s)})
    EXPECT_EQ(LoadPreviewBitmap(path, 180, 135), nullptr) << path;
}

}  // namespace
}  // namespace dornava
