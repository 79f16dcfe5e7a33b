// The editor's existence test against Wine's file system.
#include "ui/win32/FileSystem.h"

#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"

namespace dornava {
namespace {

using test::TempFolder;

class FileExistsTest : public testing::Test {
 protected:
  bool Exists(std::string_view path) { return files_.FileExists(path); }

  Win32FileSystem files_;
  TempFolder folder_;
};

TEST_F(FileExistsTest, FilesWithNormalAttributes) {
  const std::string plain = folder_.Write("plain.bmp", "x");
  const std::string readOnly = folder_.Write("read-only.bmp", "x");
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  const std::string hidden = folder_.Write("hidden.bmp", "x");
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  const std::string system = folder_.Write("system.bmp", "x");
  SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_SYSTEM);

  EXPECT_TRUE(Exists(plain));
  EXPECT_TRUE(Exists(readOnly));
  EXPECT_FALSE(Exists(hidden));
  EXPECT_FALSE(Exists(system));
  EXPECT_FALSE(Exists(folder_ / "missing.bmp"));
  EXPECT_FALSE(Exists(folder_ / "missing\\plain.bmp"));
}

TEST_F(FileExistsTest, FoldersCountOnlyForWhatTheyHold) {
  const std::string full = folder_ / "full";
  const std::string empty = folder_ / "empty";
  CreateDirectoryA(full.c_str(), nullptr);
  CreateDirectoryA(empty.c_str(), nullptr);
  SetFileAttributesA(folder_.Write("empty\\hidden.bmp", "x").c_str(), FILE_ATTRIBUTE_HIDDEN);
  folder_.Write("full\\a.bmp", "x");

  EXPECT_FALSE(Exists(full));
  EXPECT_TRUE(Exists(full + "\\"));
  EXPECT_FALSE(Exists(empty));
  EXPECT_FALSE(Exists(empty + "\\"));
}

TEST_F(FileExistsTest, WildcardsPassWhenTheyMatchANormalFile) {
  folder_.Write("a.bmp", "x");
  SetFileAttributesA(folder_.Write("b.jpg", "x").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(Exists(folder_ / "*.bmp"));
  EXPECT_TRUE(Exists(folder_ / "?.bmp"));
  EXPECT_TRUE(Exists(folder_ / "*"));
  EXPECT_FALSE(Exists(folder_ / "*.jpg"));
  EXPECT_FALSE(Exists(folder_ / "*.gif"));
}

TEST_F(FileExistsTest, PathsTheSearchRefusesAreMissing) {
  // The drive must really be absent for this to mean anything.
  ASSERT_EQ(GetLogicalDrives() & (1u << ('Q' - 'A')), 0u);
  EXPECT_FALSE(Exists("Q:\\x.bmp"));
  EXPECT_FALSE(Exists("Q:\\"));
  EXPECT_FALSE(Exists(""));
  EXPECT_FALSE(Exists("\\\\no-such-host.invalid\\share\\x.bmp"));
  EXPECT_FALSE(Exists(folder_ / std::string(300, 'a') + ".bmp"));
  EXPECT_FALSE(Exists(folder_ / "a|b.bmp"));
  // The part before a zero names an existing file, the whole does not.
  const std::string plain = folder_.Write("plain.bmp", "x");
  EXPECT_FALSE(Exists(plain + std::string(1, '\0') + "x"));
}

TEST_F(FileExistsTest, Utf8Names) {
  // The program's manifest, linked into the tests too, makes UTF-8 the ANSI code page.
  ASSERT_EQ(GetACP(), UINT{CP_UTF8});
  EXPECT_TRUE(Exists(folder_.Write("Žluťoučký kůň.bmp", "x")));
  EXPECT_FALSE(Exists(folder_ / "Zlutoucky kun.bmp"));
}

}  // namespace
}  // namespace dornava
