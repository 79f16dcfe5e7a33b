// The digits-only style on a real edit control: what it lets through and what it leaves alone.
#include "ui/win32/TxtNumOnly.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace dornava {
namespace {

constexpr LONG kOtherBits = ES_CENTER | ES_AUTOHSCROLL | ES_NOHIDESEL | WS_TABSTOP;

class TxtNumOnlyTest : public testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                              nullptr);
    edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | kOtherBits, 0, 0, 100, 30,
                            parent_, nullptr, nullptr, nullptr);
    ASSERT_NE(edit_, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }

  LONG Style() const { return GetWindowLongA(edit_, GWL_STYLE); }
  std::string Text() const {
    char text[64] = {};
    GetWindowTextA(edit_, text, sizeof text);
    return text;
  }
  void Type(char c) { SendMessageA(edit_, WM_CHAR, static_cast<WPARAM>(c), 1); }

  HWND parent_ = nullptr;
  HWND edit_ = nullptr;
};

TEST_F(TxtNumOnlyTest, TypedDigitsOnly) {
  SetNumOnly(edit_, true);
  for (char c : {'1', 'a', '-', '2', ' ', ',', '.', 'Z', '3'})
    Type(c);
  EXPECT_EQ(Text(), "123");

  SetNumOnly(edit_, false);
  Type('a');
  EXPECT_EQ(Text(), "123a");
}

TEST_F(TxtNumOnlyTest, ProgrammaticAndPastedTextPass) {
  SetNumOnly(edit_, true);
  SetWindowTextA(edit_, "x1");
  EXPECT_EQ(Text(), "x1");

  ASSERT_TRUE(OpenClipboard(parent_));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(GlobalLock(memory), "12a", 4);
  GlobalUnlock(memory);
  ASSERT_NE(SetClipboardData(CF_TEXT, memory), nullptr);
  CloseClipboard();
  SendMessageA(edit_, EM_SETSEL, 0, -1);
  SendMessageA(edit_, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(), "12a");
}

TEST_F(TxtNumOnlyTest, TouchesThatBitOnly) {
  const LONG original = Style();
  ASSERT_EQ(original & ES_NUMBER, 0);
  ASSERT_EQ(original & kOtherBits, kOtherBits);

  // Clearing a bit that is not there changes nothing.
  EXPECT_EQ(SetNumOnly(edit_, false), original);
  EXPECT_EQ(Style(), original);

  EXPECT_EQ(SetNumOnly(edit_, true), original);
  EXPECT_EQ(Style(), original | ES_NUMBER);
  // Twice is once.
  EXPECT_EQ(SetNumOnly(edit_, true), original | ES_NUMBER);
  EXPECT_EQ(Style(), original | ES_NUMBER);

  EXPECT_EQ(SetNumOnly(edit_, false), original | ES_NUMBER);
  EXPECT_EQ(Style(), original);
}

TEST(TxtNumOnly, NoWindowNoChange) {
  EXPECT_EQ(SetNumOnly(nullptr, true), 0);
}

}  // namespace
}  // namespace dornava
