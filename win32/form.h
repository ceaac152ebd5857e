#pragma once
// A top-level window that owns its controls. Its window class is named
// after the form's class (TQel_Wirmap, TAboutBox ...), so that other
// programs and tests can find it.
#include <string>

#include "win32/menu.h"
#include "win32/wnd.h"

namespace qel::win {

struct FormArgs {
  std::string className{};
  std::string caption{};
  int width = 0;   // outer size
  int height = 0;
  bool centred = true;
  bool hideOnClose = false;  // closing only hides it; it lives on
  int fontHeight = 12;
  std::string hint{};
  DWORD style = WS_OVERLAPPEDWINDOW;
};

class Form : public Wnd {
 public:
  ~Form() override;
  void Create(const FormArgs& a);
  void Show();   // shows it and brings it to the front
  void Hide();
  // Asks the form to close (as the user's close button does); it hides or
  // ends after the current handler has returned.
  void Close();
  void SetMainMenu(MainMenu& menu);

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // Destroys the window and every control in it while the control objects
  // still exist; a derived form calls it first thing in its destructor.
  void DestroyHandle();
  // Some frames come out a pixel off: makes the client area exactly
  // width x height and centres the window on the screen.
  void FitClientAndCentre(int width, int height);

 private:
  bool hideOnClose_ = false;
};

}  // namespace qel::win
