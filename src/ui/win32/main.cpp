// The Windows edition's placeholder main window: the schedule in a list box, the Autostart box
// and the Start button, driven by the start-up logic.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Services.h"
#include "store/Registr.h"
#include "store/ScheduleStore.h"
#include "switching/StartUp.h"

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

class ListBox final : public dornava::ScheduleList {
 public:
  void Attach(HWND list) { list_ = list; }

  // The lines are kept as stored beside the control, which only shows them.
  void Clear() override {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    lines_.clear();
  }
  void AddItem(std::string_view text) override {
    lines_.emplace_back(text);
    const std::wstring wide = Widen(text);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  void RemoveItem(int index) override {
    lines_.erase(lines_.begin() + index);
    SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  }
  int ListCount() const override { return static_cast<int>(lines_.size()); }
  const std::string& List(int index) const override {
    return lines_[static_cast<std::size_t>(index)];
  }
  int ListIndex() const override {
    return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
  }
  void SetListIndex(int index) override {
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }

 private:
  HWND list_ = nullptr;
  std::vector<std::string> lines_;
};

constexpr wchar_t kWindowClass[] = L"DornavaList";
constexpr int kCheck1 = 101;
constexpr int kCommand4 = 104;
constexpr UINT_PTR kTimer1 = 1;

class MainWindow final : public dornava::StartUpHost {
 public:
  explicit MainWindow(int showCommand) : showCommand_(showCommand) {}

  bool Create(HINSTANCE instance) {
    return CreateWindowExW(0, kWindowClass, L"Dornava", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, this) != nullptr;
  }
  void Load() { startUp_.Load(); }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  dornava::ScheduleList& List() override { return list_; }
  void ScheduleLoaded(bool hasEntries) override {
    if (hasEntries) list_.SetListIndex(0);
  }
  void SetVisible(bool visible) override {
    // Hiding a window never shown is skipped: a first ShowWindow may take the launcher's
    // show command instead of ours.
    if (visible || IsWindowVisible(window_)) ShowWindow(window_, visible ? showCommand_ : SW_HIDE);
  }
  void EndProgram() override { ExitProcess(0); }
  int Check1() const override {
    return SendMessageW(check1_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  }
  void ShowCheck1(int value) override {
    SendMessageW(check1_, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void ArmTimer(std::int64_t delayMs) override {
    KillTimer(window_, kTimer1);
    SetTimer(window_, kTimer1,
             static_cast<UINT>(std::min<std::int64_t>(delayMs, USER_TIMER_MAXIMUM)), nullptr);
  }

 private:
  bool CreateControls(HINSTANCE instance) {
    auto control = [&](DWORD exStyle, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                       int id) {
      HWND handle = CreateWindowExW(
          exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
      if (handle)
        SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     FALSE);
      return handle;
    };
    list1_ = control(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr, WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0);
    check1_ = control(0, L"BUTTON", L"Autostart", WS_TABSTOP | BS_AUTOCHECKBOX, kCheck1);
    command4_ = control(0, L"BUTTON", L"Start", WS_TABSTOP | BS_PUSHBUTTON, kCommand4);
    list_.Attach(list1_);
    return list1_ && check1_ && command4_;
  }

  void Layout(int width, int height) {
    const int row = height - 30;
    MoveWindow(list1_, 0, 0, width, row - 4, TRUE);
    MoveWindow(check1_, 8, row, 120, 24, TRUE);
    MoveWindow(command4_, width - 88, row, 80, 24, TRUE);
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_CREATE:
        return CreateControls(reinterpret_cast<const CREATESTRUCTW*>(lParam)->hInstance) ? 0 : -1;
      case WM_SIZE:
        Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kCheck1) startUp_.Check1Click();
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kCommand4) startUp_.Start();
        return 0;
      case WM_TIMER:
        if (wParam != kTimer1) break;
        KillTimer(window_, kTimer1);
        startUp_.TimerFired();
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
  }

  int showCommand_;
  HWND window_ = nullptr;
  HWND list1_ = nullptr;
  HWND check1_ = nullptr;
  HWND command4_ = nullptr;
  ListBox list_;
  dornava::Win32Registry raw_;
  dornava::Registr registr_{raw_};
  dornava::Win32Environment environment_;
  dornava::Win32LocalClock clock_;
  dornava::Win32MonotonicClock monotonic_;
  dornava::Win32Wallpaper wallpaper_;
  dornava::StartUp startUp_{*this, registr_, environment_, clock_, monotonic_, wallpaper_};
};

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MainWindow::Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) return 1;

  // Created hidden: the Load handler decides whether it is ever shown.
  MainWindow window(show);
  if (!window.Create(instance)) return 1;
  window.Load();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
