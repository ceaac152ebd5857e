#include "ui/AboutBox.h"

#include "res/resource_ids.h"
#include "win32/application.h"

namespace qel {

namespace {
constexpr int kClientWidth = 298;
constexpr int kClientHeight = 213;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;

// The outer size that gives the client area its fixed size with this
// window's frame and caption.
SIZE OuterSize() {
  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, kStyle, FALSE, 0);
  return {r.right - r.left, r.bottom - r.top};
}
}  // namespace

TAboutBox::TAboutBox() {
  const SIZE outer = OuterSize();
  Create({.className = "TAboutBox", .caption = "バージョン情報", .width = outer.cx, .height = outer.cy,
          .centred = true, .hideOnClose = true, .style = kStyle});
  // Owned by the hidden application window, as every secondary window of
  // the program: no button of its own on the task bar.
  if (HWND app = win::Application::Instance().Handle()) SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(app));

  Panel1.Create({.parent = this, .bounds = {8, 4, 281, 171}}, win::Panel::Bevel::Lowered);
  ProgramIcon.Create({.parent = &Panel1, .bounds = {12, 10, 37, 37}});
  icon_ = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR));
  ProgramIcon.SetIcon(icon_);
  ProductName.Create({.parent = &Panel1, .text = "Product Name   Ｑｅｌ-Ｗｉｒｍａｐ", .bounds = {88, 16, 0, 0}});
  Version.Create({.parent = &Panel1, .text = "Version  0.1", .bounds = {88, 40, 0, 0}});
  MakerName.Create({.parent = &Panel1, .text = "Qel-Wirmap", .bounds = {88, 64, 0, 0}});
  Contact1.Create({.parent = &Panel1, .text = "不具合やご要望は、このプロジェクトの", .bounds = {8, 92, 0, 0}});
  Contact2.Create({.parent = &Panel1, .text = "課題管理 (Issues) へお寄せください。", .bounds = {8, 108, 0, 0}});
  Comments.Create({.parent = &Panel1, .text = "ご利用ありがとう御座います。", .bounds = {8, 140, 0, 0}});

  OKButton.Create({.parent = this, .text = "OK", .bounds = {111, 180, 75, 25}, .hint = "バージョン情報を閉じます。"});
  // The default button: the window answers DM_GETDEFID with its id, so
  // Enter presses it wherever the focus is.
  SetWindowLongPtrW(OKButton.Handle(), GWLP_ID, IDOK);
  SendMessageW(OKButton.Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  OKButton.onClick = [this] { OKButtonClick(); };

  FitClientAndCentre(kClientWidth, kClientHeight);
}

TAboutBox::~TAboutBox() {
  DestroyHandle();
  if (icon_) DestroyIcon(icon_);
}

void TAboutBox::OKButtonClick() { Hide(); }

LRESULT TAboutBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      // Coming to the front puts the focus on OK, so that Enter closes.
      if (LOWORD(wp) != WA_INACTIVE && OKButton.Handle()) {
        SetFocus(OKButton.Handle());
        return 0;
      }
      break;
    case WM_COMMAND:
      // Enter and Esc from the dialog keys arrive without a control when
      // none has their id; this window has no menu to take them.
      if (lp == 0) return 0;
      break;
    default:
      break;
  }
  return Form::WndProc(msg, wp, lp);
}

}  // namespace qel
