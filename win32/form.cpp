#include "win32/form.h"

#include "win32/application.h"
#include "win32/text.h"

namespace qel::win {

Form::~Form() { DestroyHandle(); }

void Form::Create(const FormArgs& a) {
  hideOnClose_ = a.hideOnClose;
  SetHint(a.hint);
  const std::wstring className = Wide(a.className);
  RegisterOwnClass(className.c_str());
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  if (a.centred) {
    x = (GetSystemMetrics(SM_CXSCREEN) - a.width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - a.height) / 2;
  }
  CreateWindowExW(0, className.c_str(), Wide(a.caption).c_str(), a.style | WS_CLIPCHILDREN, x, y, a.width,
                  a.height, nullptr, nullptr, GetModuleHandleW(nullptr), static_cast<Wnd*>(this));
  SetFont(UiFont(a.fontHeight));
}

void Form::Show() {
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  BringWindowToTop(hwnd_);
}

void Form::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void Form::Close() {
  if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void Form::DestroyHandle() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

void Form::SetMainMenu(MainMenu& menu) {
  if (hwnd_) menu.Attach(hwnd_);
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (lp == 0) {  // a menu entry (or its accelerator)
        if (MenuItem* item = MenuItem::FromId(LOWORD(wp))) item->Click();
        return 0;
      }
      break;
    case WM_MENUSELECT: {
      const UINT flags = HIWORD(wp);
      auto menu = reinterpret_cast<HMENU>(lp);
      MenuItem* item = nullptr;
      if (!(flags == 0xFFFF && !menu)) {  // not the closing of the menu
        item = (flags & MF_POPUP) ? MenuItem::FromSubMenu(GetSubMenu(menu, LOWORD(wp))) : MenuItem::FromId(LOWORD(wp));
      }
      Application::Instance().SetHint(item ? item->Hint() : std::string());
      return 0;
    }
    case WM_CLOSE:
      if (hideOnClose_) {
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
      }
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      if (Application::Instance().MainWindow() == hwnd_) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Wnd::WndProc(msg, wp, lp);
}

void Form::FitClientAndCentre(int width, int height) {
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.right == width && client.bottom == height) return;
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  const int w = outer.right - outer.left + width - client.right;
  const int h = outer.bottom - outer.top + height - client.bottom;
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace qel::win
