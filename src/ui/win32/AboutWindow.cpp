#include "ui/win32/AboutWindow.h"

#include <commctrl.h>

#include "ui/Texts.h"

namespace dornava::win32 {

namespace {

constexpr wchar_t kClassName[] = L"DornavaAbout";
namespace look = layout::frmAbout;

// Menu command IDs: the item plus one, as 0 is what a dismissed menu returns.
UINT_PTR MenuId(AboutMenuItem item) {
  return static_cast<UINT_PTR>(item) + 1;
}

HMENU MakeMenu(AboutMenuItem mail, AboutMenuItem home) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, MenuId(mail), Widen(texts::kWriteMail).c_str());
  AppendMenuW(menu, MF_STRING, MenuId(home), Widen(texts::kGoHome).c_str());
  return menu;
}

}  // namespace

AboutWindow::~AboutWindow() {
  Destroy();
}

void AboutWindow::Create() {
  if (Exists()) return;
  if (!CreateForm(instance_, kClassName, texts::kAboutCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  0, main_.Window(), look::kForm)) {
    return;
  }
  labels_ = {
      MakeLabel(look::Label5, texts::kVersion, font_),
      MakeLabel(look::Label3, texts::kIdeaAuthorLabel, font_),
      MakeLabel(look::Label1, texts::kIdeaAuthor, nameFont_),
      MakeLabel(look::Label4, texts::kProgramAuthorLabel, font_),
      MakeLabel(look::Label2, texts::kProgramAuthor, nameFont_),
      MakeLabel(look::Label6, texts::kDate, font_),
      MakeLabel(look::Label7, texts::kMakerHost, hostFont_),
  };
  links_ = {&labels_[2], &labels_[4], &labels_[6]};
  napad_ = MakeMenu(AboutMenuItem::kMailN, AboutMenuItem::kHomeN);
  moje_ = MakeMenu(AboutMenuItem::kMail, AboutMenuItem::kHome);

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, Window(), nullptr, instance_, nullptr);
  const std::string_view tips[] = {texts::kIdeaAuthorTip, texts::kProgramAuthorTip,
                                   texts::kAssociation};
  for (std::size_t index = 0; index < links_.size(); ++index) {
    std::wstring text = Widen(tips[index]);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Window();
    tool.uId = index;
    tool.rect = links_[index]->rect;
    tool.lpszText = text.data();
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

RECT AboutWindow::LinkRect(Link link) const {
  const Label* label = links_[static_cast<std::size_t>(link)];
  return label ? label->rect : RECT{};
}

void AboutWindow::ShowModal() {
  if (Exists()) RunModal(Window(), main_.Window());
}

void AboutWindow::CopyBanner() {
  banner_ = main_.Banner();
  if (Exists()) InvalidateRect(Window(), nullptr, TRUE);
}

void AboutWindow::PopupMenu(AboutMenu menu) {
  POINT at;
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(Window());
  const int chosen = TrackPopupMenu(menu == AboutMenu::kMoje ? moje_ : napad_, TPM_RETURNCMD, at.x,
                                    at.y, 0, Window(), nullptr);
  PostMessageW(Window(), WM_NULL, 0, 0);
  if (chosen > 0 && logic_) logic_->MenuClick(static_cast<AboutMenuItem>(chosen - 1));
}

const Label* AboutWindow::LinkAt(LPARAM point) const {
  const POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  for (const Label* label : links_) {
    if (label && PtInRect(&label->rect, at)) return label;
  }
  return nullptr;
}

void AboutWindow::Click(const Label* label) {
  if (!logic_ || !label) return;
  if (label == links_[0]) logic_->Label1Click();
  if (label == links_[1]) logic_->Label2Click();
  if (label == links_[2]) logic_->Label7Click();
}

void AboutWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Window(), &paint);
  PaintPicture(dc, banner_, PxRect(look::Image1));
  for (const Label& label : labels_)
    PaintLabel(dc, label);
  EndPaint(Window(), &paint);
}

LRESULT AboutWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_LBUTTONDOWN:
      pressed_ = LinkAt(lParam);
      return 0;
    case WM_LBUTTONUP: {
      // A click is a press and a release on the same label.
      const Label* released = LinkAt(lParam);
      const Label* pressed = pressed_;
      pressed_ = nullptr;
      if (released && released == pressed) Click(released);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(Window(), &at);
        if (LinkAt(MAKELPARAM(at.x, at.y))) {
          SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
          return TRUE;
        }
      }
      break;
    case WM_CLOSE:
      EnableWindow(main_.Window(), TRUE);
      Destroy();
      return 0;
    case WM_DESTROY:
      DestroyMenu(moje_);
      DestroyMenu(napad_);
      moje_ = napad_ = nullptr;
      return 0;
    case WM_NCDESTROY:
      // A window made anew gets the banner again from its Load handler.
      tooltips_ = nullptr;
      banner_ = nullptr;
      pressed_ = nullptr;
      links_ = {};
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace dornava::win32
