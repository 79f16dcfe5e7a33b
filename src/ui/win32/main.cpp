// The Windows edition's placeholder main window: the schedule in a list box, nothing more yet.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/Win32Registry.h"
#include "store/Registr.h"
#include "store/ScheduleStore.h"

namespace {

// Registry text comes through the "A" functions in the ANSI code page, which the manifest makes
// UTF-8; shown through the W functions, Czech then renders whatever the system locale.
std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

class ListBox final : public dornava::ScheduleList {
 public:
  explicit ListBox(HWND list) : list_(list) {}

  void Clear() override { SendMessageW(list_, LB_RESETCONTENT, 0, 0); }
  void AddItem(std::string_view text) override {
    const std::wstring wide = Widen(text);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  void RemoveItem(int index) override {
    SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  }
  int ListCount() const override {
    return static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
  }
  std::string List(int index) const override {
    const LRESULT length = SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(static_cast<std::size_t>(length));
    return Narrow(wide);
  }
  int ListIndex() const override {
    return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
  }
  void SetListIndex(int index) override {
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }

 private:
  HWND list_;
};

constexpr wchar_t kWindowClass[] = L"DornavaList";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0,
                                  0, 0, window, nullptr, create->hInstance, nullptr);
      if (!list) return -1;
      SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                   FALSE);
      dornava::Win32Registry raw;
      dornava::Registr registr(raw);
      ListBox schedule(list);
      if (dornava::LoadSchedule(registr, schedule)) schedule.SetListIndex(0);
      return 0;
    }
    case WM_SIZE:
      MoveWindow(GetWindow(window, GW_CHILD), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) return 1;

  HWND window = CreateWindowExW(0, kWindowClass, L"Dornava", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
