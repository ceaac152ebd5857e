#include "standin/comserver/main_window.h"

namespace qel::standin {

HWND CreateMainWindow(HINSTANCE instance, const wchar_t* className, WNDPROC proc, const wchar_t* title, int width,
                      int height, UINT classStyle) {
  WNDCLASSW wc{};
  wc.style = classStyle;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  RegisterClassW(&wc);
  return CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, width, height, nullptr,
                         nullptr, instance, nullptr);
}

void SetFileMenu(HWND window, UINT saveId, const wchar_t* saveLabel, UINT exitId) {
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, saveId, saveLabel);
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, exitId, L"E&xit");
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  SetMenu(window, bar);
}

}  // namespace qel::standin
