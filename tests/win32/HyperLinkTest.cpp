// Links go to the shell. Wine's shell has no browser here, but it runs a batch file named by a
// path or by a file: URL, and the batch file leaves a mark.
#include "ui/win32/HyperLink.h"

#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"

namespace dornava {
namespace {

using test::TempFolder;

std::string ReadWhenThere(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      char text[64] = {};
      DWORD read = 0;
      ReadFile(file, text, sizeof text - 1, &read, nullptr);
      CloseHandle(file);
      // The batch file may still be writing.
      if (read > 0 && text[read - 1] == '\n') return text;
    }
    Sleep(50);
  }
  return "<none>";
}

// A batch file that writes the given word into mark.txt beside it.
std::string MarkingBatch(const TempFolder& folder, const std::string& name,
                         const std::string& word) {
  return folder.Write(name, "@echo " + word + ">\"" + (folder / "mark.txt") + "\"\r\n");
}

TEST(Win32HyperLink, HandsAPathToTheShell) {
  TempFolder folder;
  Win32HyperLink links;
  links.OpenHyperLink(MarkingBatch(folder, "open me.cmd", "path"));
  EXPECT_EQ(ReadWhenThere(folder / "mark.txt"), "path\r\n");
}

TEST(Win32HyperLink, HandsAUrlToTheShell) {
  TempFolder folder;
  std::string url = "file:///" + MarkingBatch(folder, "link.cmd", "url");
  for (char& c : url)
    if (c == '\\') c = '/';
  Win32HyperLink links;
  links.OpenHyperLink(url);
  EXPECT_EQ(ReadWhenThere(folder / "mark.txt"), "url\r\n");
}

}  // namespace
}  // namespace dornava
