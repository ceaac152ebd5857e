#include "acad/AcadTool_Frame.h"

#include <utility>

#include "win32/application.h"

namespace qel {

namespace {
constexpr int kClientWidth = 316;
constexpr int kClientHeight = 67;
// A single border with the close button only: no sizing, no minimise.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

SIZE OuterSize() {
  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, kStyle, FALSE, 0);
  return {r.right - r.left, r.bottom - r.top};
}
}  // namespace

TAcadTool_Frame::TAcadTool_Frame(AcadLinkApi& link, std::function<void(const std::string&)> setLabel57)
    : own_(std::make_unique<AcadTypeChoice>(link)), choice_(*own_), decided_(false), setLabel57_(std::move(setLabel57)) {
  Build();
}

TAcadTool_Frame::TAcadTool_Frame(AcadTypeChoice& decided, std::function<void(const std::string&)> setLabel57)
    : choice_(decided), decided_(true), setLabel57_(std::move(setLabel57)) {
  Build();
}

void TAcadTool_Frame::Build() {
  const SIZE outer = OuterSize();
  Create({.className = "TAcadTool_Frame", .caption = "Acad Select", .width = outer.cx, .height = outer.cy,
          .centred = true, .hideOnClose = true, .style = kStyle});
  // Owned by the hidden application window like every secondary window:
  // no task bar button of its own.
  if (HWND app = win::Application::Instance().Handle()) SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(app));

  AcadTypeList.Create({.parent = this, .bounds = {7, 12, 137, 0}}, win::ComboBox::Kind::DropDownList);
  AcadTypeList.onChange = [this] { AcadTypeListChange(); };
  IsInstedCaption.Create({.parent = this, .text = "IsInsted", .bounds = {164, 8, 0, 0}});
  IsCanExe.Create({.parent = this, .text = "IsCanExe", .bounds = {162, 27, 0, 0}});

  FitClientAndCentre(kClientWidth, kClientHeight);
  FormCreate();
}

TAcadTool_Frame::~TAcadTool_Frame() {
  DestroyHandle();
}

void TAcadTool_Frame::FormCreate() {
  if (!decided_) choice_.FormCreate();
  AcadTypeList.SetItems(choice_.Entries());
  AcadTypeList.SetItemIndex(choice_.ItemIndex());
  ShowChoice();
}

void TAcadTool_Frame::AcadTypeListChange() {
  choice_.AcadTypeListChange(AcadTypeList.ItemIndex());
  ShowChoice();
}

void TAcadTool_Frame::ShowChoice() {
  IsInstedCaption.SetText(choice_.IsInstedCaption());
  IsCanExe.SetText(choice_.IsCanExeCaption());
  if (setLabel57_) setLabel57_(choice_.StatusSentence());
}

}  // namespace qel
