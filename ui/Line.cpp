#include "ui/Line.h"

#include <stdexcept>

#include "win32/application.h"

namespace qel {

namespace {
constexpr int kWidth = 416;  // outer size
constexpr int kHeight = 406;
}  // namespace

TLINE::TLINE(HWND centreOver, const std::function<std::string_view()>& legendJpeg) : centreOver_(centreOver) {
  Create({.className = "TLINE", .caption = "LINE", .width = kWidth, .height = kHeight, .centred = true,
          .hideOnClose = true, .style = WS_OVERLAPPEDWINDOW});
  if (HWND app = win::Application::Instance().Handle()) SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(app));

  Image1.Create({.parent = this, .bounds = {0, 0, 279, 379}, .align = win::Align::Left});
  Label1.Create({.parent = this, .text = "配線情報に注意しよう", .bounds = {284, 98, 0, 0}});
  Label2.Create({.parent = this, .text = "内⊿と外⊿あり", .bounds = {286, 128, 0, 0}});
  Label3.Create({.parent = this, .text = "仕様書の見直　ヨシ！", .bounds = {286, 184, 0, 0}});
  Button1.Create({.parent = this, .text = "閉じる", .bounds = {310, 314, 75, 25}, .hint = "この画面をとじます。"});
  Button1.onClick = [this] { Button1Click(); };

  try {
    picture_ = PictureFromJpeg(legendJpeg());
  } catch (const std::exception& e) {  // the picture's resource is missing
    picture_.error = e.what();
  }
  Image1.SetBitmap(picture_.bitmap.Get());
  if (!picture_.error.empty()) win::Application::Instance().ShowException(std::runtime_error(picture_.error));
}

TLINE::~TLINE() {
  DestroyHandle();
}

void TLINE::Show() {
  if (!placed_) {
    Centre();
    placed_ = true;
  }
  Form::Show();
}

void TLINE::Centre() {
  RECT area;
  if (!centreOver_ || !GetWindowRect(centreOver_, &area)) {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  RECT own;
  GetWindowRect(hwnd_, &own);
  const int w = own.right - own.left;
  const int h = own.bottom - own.top;
  SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2,
               0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TLINE::Button1Click() { Hide(); }

}  // namespace qel
