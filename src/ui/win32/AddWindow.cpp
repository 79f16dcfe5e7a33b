#include "ui/win32/AddWindow.h"

#include <uxtheme.h>

#include "ui/Texts.h"
#include "ui/win32/Preview.h"
#include "ui/win32/TxtNumOnly.h"

namespace dornava::win32 {

namespace {

constexpr wchar_t kClassName[] = L"DornavaAdd";
namespace look = layout::frmAdd;

}  // namespace

HWND AddWindow::Item(Control control) const {
  return items_[control - kOption1];
}

HWND AddWindow::Field(AddField field) const {
  switch (field) {
    case AddField::kText1:
      return Item(kText1);
    case AddField::kText2:
      return Item(kText2);
    case AddField::kText3:
      return Item(kText3);
  }
  return nullptr;
}

void AddWindow::Create() {
  if (Exists()) return;
  // Owned by the main window: no task-bar button, and always above it.
  if (!CreateForm(instance_, kClassName, texts::kEditorCaption,
                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME,
                  owner_.Window(), look::kForm)) {
    return;
  }
  CreateControls();
}

void AddWindow::CreateControls() {
  HWND window = Window();
  auto item = [&](Control id, HWND parent, const wchar_t* windowClass, std::wstring_view text,
                  DWORD style, DWORD exStyle, const layout::Rect& rect, HFONT font) {
    items_[id - kOption1] =
        CreateControl(parent, windowClass, text, style, exStyle, PxRect(rect), id, font);
  };
  // Created in the order of the tab index; the colon is painted and takes no focus.
  item(kOption1, window, L"BUTTON", Widen(texts::kBySystemClock),
       WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, look::Option1, font_.get());
  item(kOption2, window, L"BUTTON", Widen(texts::kFromStart), WS_TABSTOP | BS_AUTORADIOBUTTON, 0,
       look::Option2, font_.get());
  // Visual styles would draw their texts black whatever the colour asked for.
  SetWindowTheme(Item(kOption1), L"", L"");
  SetWindowTheme(Item(kOption2), L"", L"");
  item(kCommand1, window, L"BUTTON", Widen(texts::kBrowse), WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON,
       0, look::Command1, font_.get());
  item(kCommand2, window, L"BUTTON", Widen(texts::kOk), WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0,
       look::Command2, font_.get());

  // Each field in its frame.
  const DWORD time = WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
  frames_[0] = CreateFrame(window, PxRect(look::Text1.container));
  item(kText1, frames_[0], L"EDIT", L"00", time, WS_EX_CLIENTEDGE, look::Text1.inner,
       timeFont_.get());
  frames_[1] = CreateFrame(window, PxRect(look::Text2.container));
  item(kText2, frames_[1], L"EDIT", L"00", time, WS_EX_CLIENTEDGE, look::Text2.inner,
       timeFont_.get());
  frames_[2] = CreateFrame(window, PxRect(look::Text3.container));
  item(kText3, frames_[2], L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY,
       WS_EX_CLIENTEDGE, look::Text3.inner, font_.get());
  SendMessageW(Item(kText1), EM_SETLIMITTEXT, 2, 0);
  SendMessageW(Item(kText2), EM_SETLIMITTEXT, 2, 0);
  // The preview is the container's own picture: imgPreview fills it.
  picture4_ = CreateFrame(window, PxRect(look::imgPreview.container));

  SelectOption(true);
  colon_ = MakeLabel(look::Label1, ":", timeFont_);
}

void AddWindow::ShowModal() {
  if (!Exists()) return;
  RunModal(Window(), owner_.Window());
}

void AddWindow::Hide() {
  if (!Exists()) return;
  // The owner first, so that it is the window activated when this one goes.
  EnableWindow(owner_.Window(), TRUE);
  ShowWindow(Window(), SW_HIDE);
}

std::string AddWindow::Text(AddField field) const {
  // The fields hold what the "A" functions give and take: paths in the ANSI code page.
  return Exists() ? Narrow(WindowText(Field(field)), CP_ACP) : std::string();
}

void AddWindow::SetText(AddField field, std::string_view text) {
  if (Exists()) SetWindowTextW(Field(field), Widen(text, CP_ACP).c_str());
}

bool AddWindow::Option1() const {
  return SendMessageW(Item(kOption1), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void AddWindow::SelectOption(bool option1) {
  SendMessageW(Item(kOption1), BM_SETCHECK, option1 ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(Item(kOption2), BM_SETCHECK, option1 ? BST_UNCHECKED : BST_CHECKED, 0);
}

void AddWindow::SetNumOnly(AddField field, bool on) {
  dornava::SetNumOnly(Field(field), on);
}

void AddWindow::SelectAll(AddField field) {
  SendMessageW(Field(field), EM_SETSEL, 0, -1);
}

void AddWindow::ShowPreview(std::string_view path) {
  if (!picture4_) return;
  RECT area;
  GetClientRect(picture4_, &area);
  // A line stored with its terminator (reg.exe writes one) ends in a zero character; the file
  // system, like every "A" function, sees the path up to it.
  const std::string_view file = path.substr(0, path.find('\0'));
  SetFramePicture(picture4_, LoadPreviewBitmap(file, area.right, area.bottom));
}

void AddWindow::ShowMessage(std::string_view text, std::string_view caption) {
  MessageBoxW(Window(), Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

void AddWindow::Command(int id, int code) {
  if (!logic_ || closing()) return;
  if (code == BN_CLICKED && id == kCommand1) logic_->Command1Click();
  if (code == BN_CLICKED && id == kCommand2) logic_->Command2Click();
  if (code == EN_KILLFOCUS && id == kText1) logic_->Text1LostFocus();
  if (code == EN_KILLFOCUS && id == kText2) logic_->Text2LostFocus();
}

void AddWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Window(), &paint);
  for (HWND frame : frames_)
    PaintFrame(dc, frame);
  PaintFrame(dc, picture4_);
  PaintLabel(dc, colon_);
  EndPaint(Window(), &paint);
}

LRESULT AddWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_COMMAND:
      // Escape arrives as IDCANCEL and, like anything else unknown, does nothing.
      Command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case DM_GETDEFID:
      return DefaultButton(Window(), kCommand2);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ColourControl(wParam);
    case WM_CLOSE:
      if (logic_ && logic_->QueryUnload()) return 0;  // an entry being changed must be confirmed
      EnableWindow(owner_.Window(), TRUE);
      Destroy();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session really ends: an entry taken out for changing goes back before it does.
      if (wParam && logic_) logic_->SessionEnding();
      return 0;
    case WM_NCDESTROY:
      for (HWND& frame : frames_)
        frame = nullptr;
      for (HWND& item : items_)
        item = nullptr;
      picture4_ = nullptr;
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace dornava::win32
