#pragma once
// The main window.
#include <windows.h>

namespace qel {

class TQel_Wirmap {
 public:
  TQel_Wirmap();
  ~TQel_Wirmap();
  HWND Handle() const { return hwnd_; }
  void Show(int cmdShow);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

}  // namespace qel
