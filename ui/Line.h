#pragma once
// The wiring legend window: the picture of a star-delta starter with the
// legend points A to H of the wire sizes. Made when the star-delta page's
// wire-size group first shows it; closing only hides it.
#include <functional>
#include <string>
#include <string_view>

#include "ui/legend_picture.h"
#include "win32/controls.h"
#include "win32/form.h"
#include "win32/image.h"

namespace qel {

class TLINE : public win::Form {
 public:
  // The picture is read and decoded here, once. A picture that cannot be
  // had is reported through the general error handler and leaves the
  // picture area empty; the window works on without it. The first showing
  // is centred over `centreOver` (the screen when there is none).
  explicit TLINE(HWND centreOver = nullptr, const std::function<std::string_view()>& legendJpeg = LegendJpeg);
  ~TLINE() override;

  // Shows the window in front of the others. The first time it is
  // centred; later it opens where it was left.
  void Show();

  win::Image Image1;
  win::Label Label1, Label2, Label3;
  win::Button Button1;

  void Button1Click();

  // Why there is no picture; empty when there is one.
  const std::string& PictureError() const { return picture_.error; }

 private:
  void Centre();
  HWND centreOver_;
  LoadedPicture picture_;
  bool placed_ = false;
};

}  // namespace qel
