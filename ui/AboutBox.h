#pragma once
// The version information window, made when the help menu first shows it;
// OK and the close box only hide it.
#include "win32/containers.h"
#include "win32/controls.h"
#include "win32/form.h"
#include "win32/image.h"

namespace qel {

class TAboutBox : public win::Form {
 public:
  TAboutBox();
  ~TAboutBox() override;

  win::Panel Panel1;  // the bevelled frame around everything but the button
  win::Image ProgramIcon;
  win::Label ProductName;
  win::Label Version;
  win::Label MakerName;
  win::Label Contact1, Contact2;  // where to report problems
  win::Label Comments;
  win::Button OKButton;  // the default button: Enter presses it

  void OKButtonClick();

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HICON icon_ = nullptr;
};

}  // namespace qel
