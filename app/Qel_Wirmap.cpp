#include "app/Qel_Wirmap.h"

#include "win32/text.h"

namespace qel {

namespace {
const wchar_t kClass[] = L"TQel_Wirmap";
constexpr int kWidth = 628;
constexpr int kHeight = 527;
}  // namespace

TQel_Wirmap::TQel_Wirmap() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  hwnd_ = CreateWindowExW(0, kClass, win::Wide("Qｅｌ_Ｗｉｒｍａｐ  Pelvane").c_str(), WS_OVERLAPPEDWINDOW, x, y, kWidth,
                          kHeight, nullptr, nullptr, wc.hInstance, this);
}

TQel_Wirmap::~TQel_Wirmap() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void TQel_Wirmap::Show(int cmdShow) { ShowWindow(hwnd_, cmdShow); }

LRESULT CALLBACK TQel_Wirmap::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace qel
