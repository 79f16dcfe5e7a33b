// What the three windows share: their look (colours, fonts, twips at the system DPI), the text
// conversions, the framed-field container, labels they paint themselves, and the modal loop.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/Layout.h"

namespace dornava::win32 {

constexpr COLORREF Colour(layout::Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}
inline constexpr COLORREF kDarkBlue = Colour(layout::kDarkBlue);
inline constexpr COLORREF kLightBlue = Colour(layout::kLightBlue);
inline constexpr COLORREF kWhite = Colour(layout::kWhite);

// The program's own texts are UTF-8. What comes from or goes to the "A" functions (registry
// lines, paths) is in the ANSI code page, which the manifest makes UTF-8 where the system allows.
std::wstring Widen(std::string_view text, UINT codePage = CP_UTF8);
std::string Narrow(std::wstring_view text, UINT codePage);
std::wstring WindowText(HWND window);

// Twips to pixels at the system DPI: 15 twips a pixel at 96 dpi.
int Px(int twips);
RECT PxRect(const layout::Rect& twips);

// The dark-blue brush of backgrounds, made once for the whole run.
HBRUSH DarkBlueBrush();

// Arial bold, Central European character set, at a size in points; deleted with the object.
class Font {
 public:
  Font() = default;
  explicit Font(layout::Font font);
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  ~Font();
  HFONT get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// Text a window paints itself with no background of its own, so the window or a picture below
// shows through.
struct Label {
  RECT rect;
  std::wstring text;
  const Font* font;
  COLORREF colour;
  UINT align;  // DT_LEFT, DT_CENTER or DT_RIGHT
};
void PaintLabel(HDC dc, const Label& label);
// A label of the layout table with its text and its font (made from the same table entry).
Label MakeLabel(const layout::Label& label, std::string_view text, const Font& font);

// Draws a picture stretched into a rectangle; nothing without a picture.
void PaintPicture(HDC dc, HBITMAP picture, const RECT& rect);

// The one-pixel light-blue rectangle just outside a framed field's container.
void PaintFrame(HDC dc, HWND container);

// WM_CTLCOLOR* of the list, the text boxes, the check box and the option buttons.
LRESULT ColourControl(WPARAM dc);

// A child window with a font, positioned in pixels.
HWND CreateControl(HWND parent, const wchar_t* windowClass, std::wstring_view text, DWORD style,
                   DWORD exStyle, const RECT& rect, int id, HFONT font);

// A framed field's borderless container, made at `framed.container`; the field goes at
// PxRect(framed.inner). The field inside it sits at a negative offset and is
// larger than the container, which clips the field's own border away. It passes its child's
// notifications and colour requests on to its parent, and paints a picture if given one.
HWND CreateFrame(HWND parent, const RECT& rect);
// The frame takes the picture over (null clears it) and deletes it when replaced or destroyed.
void SetFramePicture(HWND frame, HBITMAP picture);

// The ID DM_GETDEFID answers: a focused push button presses itself, otherwise the default one.
LRESULT DefaultButton(HWND form, int defaultId);

// Gives dialog keys (Tab, Enter, Escape, arrows) to the program's windows; true when the message
// was handled. Every message loop of the program calls it before dispatching.
bool TranslateFormMessage(MSG& message);

// Shows a window modally: its owner is disabled and a nested message loop runs until the window
// is hidden or destroyed.
void RunModal(HWND window, HWND owner);

// A top-level window whose messages go to a C++ object.
class Form {
 public:
  Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  HWND Window() const { return window_; }
  // Destroys the window; the form's handlers ignore what the destruction itself sends.
  void Destroy();

 protected:
  // Creates the window hidden and centred on the screen with the given client size in twips.
  bool CreateForm(HINSTANCE instance, const wchar_t* className, std::string_view caption,
                  DWORD style, DWORD exStyle, HWND owner, const layout::Form& form);
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Default handling, which also gives the focus back to the control that had it last.
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
  bool closing() const { return closing_; }
  void set_closing() { closing_ = true; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HWND lastFocus_ = nullptr;
  bool closing_ = false;
};

}  // namespace dornava::win32
