#include "ui/win32/ListWindow.h"

#include <uxtheme.h>

#include <algorithm>

#include "ui/Texts.h"
#include "ui/win32/Resources.h"

namespace dornava::win32 {

namespace {

constexpr wchar_t kClassName[] = L"DornavaList";
constexpr UINT_PTR kTimer1 = 1;
namespace look = layout::frmList;

}  // namespace

void ListBox::Clear() {
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  lines_.clear();
}

void ListBox::AddItem(std::string_view text) {
  lines_.emplace_back(text);
  const std::wstring wide = Widen(text, CP_ACP);
  SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void ListBox::RemoveItem(int index) {
  if (index < 0 || index >= ListCount()) return;
  lines_.erase(lines_.begin() + index);
  SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

const std::string& ListBox::List(int index) const {
  return lines_.at(static_cast<std::size_t>(index));
}

int ListBox::ListIndex() const {
  return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
}

void ListBox::SetListIndex(int index) {
  SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

ListWindow::ListWindow(HINSTANCE instance, int showCommand)
    : instance_(instance), showCommand_(showCommand) {}

ListWindow::~ListWindow() {
  Destroy();
  if (banner_) DeleteObject(banner_);
}

bool ListWindow::Create() {
  if (!banner_) {
    banner_ = static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP,
                                              0, 0, LR_CREATEDIBSECTION));
  }
  if (!CreateForm(instance_, kClassName, texts::kMainCaption,
                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0,
                  nullptr, look::kForm)) {
    return false;
  }
  CreateControls();
  return true;
}

void ListWindow::CreateControls() {
  HWND window = Window();
  auto button = [&](Control id, std::string_view text, const layout::Rect& rect, DWORD style) {
    items_[id - kCommand1] =
        CreateControl(window, L"BUTTON", Widen(text), WS_TABSTOP | WS_GROUP | style, 0,
                      PxRect(rect), id, font_.get());
  };
  // Created in the order of the tab index; the labels are painted and take no focus.
  button(kCommand1, texts::kAdd, look::Command1, BS_PUSHBUTTON);
  button(kCommand2, texts::kDelete, look::Command2, BS_PUSHBUTTON);
  button(kCommand3, texts::kEdit, look::Command3, BS_PUSHBUTTON);
  button(kCommand4, texts::kStart, look::Command4, BS_DEFPUSHBUTTON);
  button(kCheck1, texts::kAutostart, look::Check1, BS_AUTOCHECKBOX);
  // Visual styles would draw its text black whatever the colour asked for.
  SetWindowTheme(items_[kCheck1 - kCommand1], L"", L"");
  button(kCommand5, texts::kAboutButton, look::Command5, BS_PUSHBUTTON);

  picture1_ = CreateFrame(window, PxRect(look::List1.container));
  HWND list1 = CreateControl(picture1_, L"LISTBOX", L"",
                             WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0,
                             PxRect(look::List1.inner), kList1, font_.get());
  items_[kList1 - kCommand1] = list1;
  list_.Attach(list1);

  labels_ = {
      MakeLabel(look::Label3, texts::kCredit, smallFont_),
      MakeLabel(look::Label1, texts::kVersionTag, smallFont_),
      MakeLabel(look::Label2, texts::kListHeading, font_),
  };
}

HWND ListWindow::Item(Control control) const {
  return items_[control - kCommand1];
}

void ListWindow::SetEditButtonsEnabled(bool enabled) {
  EnableWindow(Item(kCommand2), enabled);
  EnableWindow(Item(kCommand3), enabled);
}

void ListWindow::SetVisible(bool visible) {
  // Hiding a window never shown is skipped: the first ShowWindow may take the launcher's show
  // command instead of ours.
  if (!visible && !IsWindowVisible(Window())) return;
  ShowWindow(Window(), visible ? showCommand_ : SW_HIDE);
  if (visible) SetForegroundWindow(Window());
}

int ListWindow::Check1() const {
  return SendMessageW(Item(kCheck1), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void ListWindow::ShowCheck1(int value) {
  SendMessageW(Item(kCheck1), BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ListWindow::ArmTimer(std::int64_t delayMs) {
  KillTimer(Window(), kTimer1);
  SetTimer(
      Window(), kTimer1,
      static_cast<UINT>(std::clamp<std::int64_t>(delayMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM)),
      nullptr);
}

void ListWindow::EndProgram() {
  ExitProcess(0);
}

void ListWindow::Command(int id) {
  if (!logic_) return;
  switch (id) {
    case kCommand1:
      return logic_->Command1Click();
    case kCommand2:
      return logic_->Command2Click();
    case kCommand3:
      return logic_->Command3Click();
    case kCommand4:
      return logic_->Command4Click();
    case kCommand5:
      return logic_->Command5Click();
    case kCheck1:
      return logic_->Check1Click();
  }
}

void ListWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Window(), &paint);
  PaintPicture(dc, banner_, PxRect(look::Image1));
  PaintFrame(dc, picture1_);
  for (const Label& label : labels_)
    PaintLabel(dc, label);
  EndPaint(Window(), &paint);
}

LRESULT ListWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && !closing()) Command(LOWORD(wParam));
      return 0;
    case DM_GETDEFID:
      return DefaultButton(Window(), kCommand4);
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ColourControl(wParam);
    case WM_TIMER:
      if (wParam != kTimer1) break;
      KillTimer(Window(), kTimer1);  // one-shot: the logic arms the next
      if (logic_) logic_->Timer1Timer();
      return 0;
    case WM_DESTROY:
      KillTimer(Window(), kTimer1);
      if (!closing()) PostQuitMessage(0);
      return 0;
  }
  return Default(message, wParam, lParam);
}

}  // namespace dornava::win32
