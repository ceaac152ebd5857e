#include "win32/application.h"

#include "win32/hint.h"
#include "win32/text.h"

namespace qel::win {

namespace {
const wchar_t kAppClass[] = L"TApplication";

LRESULT CALLBACK AppWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace

Application& Application::Instance() {
  static Application app;
  return app;
}

void Application::SetTitle(const std::string& cp932Title) {
  title_ = cp932Title;
  if (!handle_) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = AppWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kAppClass;
    RegisterClassW(&wc);
    // A top-level window that is never shown: it carries the application
    // title that a second start looks for.
    handle_ = CreateWindowExW(WS_EX_TOOLWINDOW, kAppClass, Wide(title_).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, wc.hInstance, nullptr);
  } else {
    SetWindowTextW(handle_, Wide(title_).c_str());
  }
}

int Application::Run(HWND mainWindow) {
  mainWindow_ = mainWindow;
  MSG msg;
  while (IsWindow(mainWindow) && GetMessageW(&msg, nullptr, 0, 0) > 0) ProcessMessage(msg);
  mainWindow_ = nullptr;
  if (handle_) {
    DestroyWindow(handle_);
    handle_ = nullptr;
  }
  return 0;
}

void Application::ProcessMessage(MSG& msg) {
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) SetHint(HintOf(msg.hwnd));
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root && IsDialogMessageW(root, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

WaitCursor::WaitCursor() {
  ++Application::Instance().waitCursors_;
  previous_ = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
}

WaitCursor::~WaitCursor() {
  if (--Application::Instance().waitCursors_ == 0) SetCursor(previous_);
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // left for the loop that owns it
      break;
    }
    ProcessMessage(msg);
  }
}

void Application::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (onHint) Guarded(onHint);
}

void Application::Show(const std::string& text) const {
  lastError_ = text;
  if (!quietErrors_) MessageBoxCp932(nullptr, text, title_.empty() ? "Error" : title_, MB_OK | MB_ICONERROR);
}

void Application::ShowException(const std::exception& e) const { Show(e.what()); }

void Application::ShowUnknownException() const { Show("Unknown error"); }

void Application::Guarded(const std::function<void()>& handler) const {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowUnknownException();
  }
}

int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  return MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), flags);
}

}  // namespace qel::win
