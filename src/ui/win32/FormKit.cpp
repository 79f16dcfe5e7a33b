#include "ui/win32/FormKit.h"

#include <cmath>

#include "ui/win32/Resources.h"

namespace dornava::win32 {

namespace {

constexpr wchar_t kFrameClass[] = L"DornavaFrame";
// Every top-level window of the program has a class whose name starts so.
constexpr std::wstring_view kClassPrefix = L"Dornava";

int Dpi() {
  // The manifest makes the process system-DPI aware, so the screen reports the system's DPI.
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

HBITMAP FramePicture(HWND frame) {
  return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(frame, GWLP_USERDATA));
}

LRESULT CALLBACK FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(frame), message, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(frame, &paint);
      RECT client;
      GetClientRect(frame, &client);
      PaintPicture(dc, FramePicture(frame), client);
      EndPaint(frame, &paint);
      return 0;
    }
    case WM_NCDESTROY:
      SetFramePicture(frame, nullptr);
      break;
  }
  return DefWindowProcW(frame, message, wParam, lParam);
}

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, HICON icon) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = DarkBlueBrush();
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);  // fails harmlessly when the class exists already
}

}  // namespace

std::wstring Widen(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string Narrow(std::wstring_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int Px(int twips) {
  return MulDiv(twips, Dpi(), 1440);
}

RECT PxRect(const layout::Rect& twips) {
  // Edges rather than sizes are rounded, so neighbours stay neighbours at any DPI.
  return {Px(twips.left), Px(twips.top), Px(twips.left + twips.width),
          Px(twips.top + twips.height)};
}

HBRUSH DarkBlueBrush() {
  static const HBRUSH brush = CreateSolidBrush(kDarkBlue);
  return brush;
}

Font::Font(layout::Font look) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(look.points * Dpi() / 72.0));
  font.lfWeight = FW_BOLD;
  font.lfUnderline = look.underline ? TRUE : FALSE;
  font.lfCharSet = EASTEUROPE_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  // Where Arial is missing (Wine), the family picks its metric twin.
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpynW(font.lfFaceName, L"Arial", LF_FACESIZE);
  font_ = CreateFontIndirectW(&font);
}

Font::~Font() {
  if (font_) DeleteObject(font_);
}

void PaintLabel(HDC dc, const Label& label) {
  const int mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF colour = SetTextColor(dc, label.colour);
  HGDIOBJ font = SelectObject(dc, label.font->get());
  RECT rect = label.rect;
  DrawTextW(dc, label.text.c_str(), static_cast<int>(label.text.size()), &rect,
            label.align | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  SelectObject(dc, font);
  SetTextColor(dc, colour);
  SetBkMode(dc, mode);
}

Label MakeLabel(const layout::Label& label, std::string_view text, const Font& font) {
  const UINT align = label.align == layout::Align::kCenter  ? DT_CENTER
                     : label.align == layout::Align::kRight ? DT_RIGHT
                                                            : DT_LEFT;
  return {PxRect(label.rect), Widen(text), &font, Colour(label.colour), align};
}

void PaintPicture(HDC dc, HBITMAP picture, const RECT& rect) {
  BITMAP bitmap;
  if (!picture || !GetObjectW(picture, sizeof bitmap, &bitmap)) return;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int sourceHeight = bitmap.bmHeight < 0 ? -bitmap.bmHeight : bitmap.bmHeight;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, picture);
  if (bitmap.bmBitsPixel == 32) {
    // The preview: premultiplied alpha over the dark blue below.
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, rect.left, rect.top, width, height, memory, 0, 0, bitmap.bmWidth, sourceHeight,
               blend);
  } else if (width == bitmap.bmWidth && height == sourceHeight) {
    BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, bitmap.bmWidth, sourceHeight,
               SRCCOPY);
  }
  SelectObject(memory, previous);
  DeleteDC(memory);
}

void PaintFrame(HDC dc, HWND container) {
  RECT rect;
  GetWindowRect(container, &rect);
  MapWindowPoints(nullptr, GetParent(container), reinterpret_cast<POINT*>(&rect), 2);
  InflateRect(&rect, 1, 1);
  HBRUSH brush = CreateSolidBrush(kLightBlue);
  FrameRect(dc, &rect, brush);
  DeleteObject(brush);
}

LRESULT ColourControl(WPARAM dc) {
  HDC control = reinterpret_cast<HDC>(dc);
  SetTextColor(control, kWhite);
  SetBkColor(control, kDarkBlue);
  return reinterpret_cast<LRESULT>(DarkBlueBrush());
}

HWND CreateControl(HWND parent, const wchar_t* windowClass, std::wstring_view text, DWORD style,
                   DWORD exStyle, const RECT& rect, int id, HFONT font) {
  const std::wstring caption(text);
  HWND control = CreateWindowExW(
      exStyle, windowClass, caption.c_str(), WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
      rect.right - rect.left, rect.bottom - rect.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

HWND CreateFrame(HWND parent, const RECT& rect) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  RegisterWindowClass(instance, kFrameClass, FrameProcedure, nullptr);
  // The tab walk goes into it to the field.
  return CreateControl(parent, kFrameClass, L"", WS_CLIPCHILDREN | WS_GROUP, WS_EX_CONTROLPARENT,
                       rect, 0, nullptr);
}

void SetFramePicture(HWND frame, HBITMAP picture) {
  HBITMAP previous = FramePicture(frame);
  SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture));
  if (previous) DeleteObject(previous);
  InvalidateRect(frame, nullptr, TRUE);
}

LRESULT DefaultButton(HWND form, int defaultId) {
  HWND focus = GetFocus();
  if (focus && IsChild(form, focus) &&
      (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
    return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
  }
  return MAKELRESULT(defaultId, DC_HASDEFID);
}

bool TranslateFormMessage(MSG& message) {
  if (!message.hwnd) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  wchar_t name[32];
  if (!root || !GetClassNameW(root, name, 32)) return false;
  if (std::wstring_view(name).substr(0, kClassPrefix.size()) != kClassPrefix) return false;
  return IsDialogMessageW(root, &message) != FALSE;
}

void RunModal(HWND window, HWND owner) {
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (IsWindow(window) && IsWindowVisible(window)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // The outer loop must see the quit too.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!TranslateFormMessage(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (owner) EnableWindow(owner, TRUE);
}

Form::~Form() {
  if (!window_) return;
  // The derived object is gone: what the destruction sends goes to the default handling.
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void Form::Destroy() {
  if (!window_) return;
  closing_ = true;
  DestroyWindow(window_);
}

bool Form::CreateForm(HINSTANCE instance, const wchar_t* className, std::string_view caption,
                      DWORD style, DWORD exStyle, HWND owner, const layout::Form& form) {
  RegisterWindowClass(instance, className, Procedure,
                      LoadIconW(instance, MAKEINTRESOURCEW(IDI_DORNAVA)));
  RECT rect{0, 0, Px(form.clientWidth), Px(form.clientHeight)};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  closing_ = false;
  return CreateWindowExW(exStyle, className, Widen(caption).c_str(), style, left, top, width,
                         height, owner, nullptr, instance, this) != nullptr;
}

LRESULT Form::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE && !HIWORD(wParam)) {
    // As a dialog does: the control that had the focus gets it back.
    if (LOWORD(wParam) == WA_INACTIVE) {
      HWND focus = GetFocus();
      if (focus && IsChild(window_, focus)) lastFocus_ = focus;
    } else {
      HWND target = lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_) &&
                            IsWindowEnabled(lastFocus_)
                        ? lastFocus_
                        : GetNextDlgTabItem(window_, nullptr, FALSE);
      if (target) {
        SetFocus(target);
        return 0;
      }
    }
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK Form::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = self->OnMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    self->lastFocus_ = nullptr;
    self->closing_ = false;
  }
  return result;
}

}  // namespace dornava::win32
