#pragma once
// The application object: the hidden application window whose title other
// starts look for, the general error handler, and the message loop.
#include <exception>
#include <functional>
#include <string>

#include <windows.h>

namespace qel::win {

class Application {
 public:
  static Application& Instance();

  // Creates the hidden application window carrying the title.
  void SetTitle(const std::string& cp932Title);
  const std::string& Title() const { return title_; }
  HWND Handle() const { return handle_; }

  // Runs the message loop until `mainWindow` is destroyed.
  int Run(HWND mainWindow);
  // The window whose end ends the program (set by Run).
  HWND MainWindow() const { return mainWindow_; }
  void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }

  // One message through the program's own path: hint tracking, dialog
  // keys (Tab between controls), then the window procedure.
  void ProcessMessage(MSG& msg);
  // Handles every message waiting in the queue, then returns.
  void ProcessMessages();

  // The application's current hint: that of the control under the mouse
  // (or of its nearest enclosing control that has one) or of the highlighted
  // menu entry. onHint runs whenever it changes.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  std::function<void()> onHint;

  // The general error handler: an error that a command did not catch ends
  // that command and is shown with its own text; the program keeps running.
  void ShowException(const std::exception& e) const;
  void ShowUnknownException() const;

  // Runs a handler under the general error handler. Every window procedure
  // calls its handlers through this, so no exception crosses into Windows.
  void Guarded(const std::function<void()>& handler) const;

  // While a wait cursor is held (WaitCursor), every window of the program
  // shows the hourglass instead of its own cursor.
  bool Waiting() const { return waitCursors_ > 0; }

  // The last error text shown, for tests that check the handler ran.
  const std::string& LastShownError() const { return lastError_; }
  // Suppresses the message box (the text is still recorded); tests only.
  void SetQuietErrors(bool quiet) { quietErrors_ = quiet; }

 private:
  Application() = default;
  void Show(const std::string& text) const;

  std::string title_;
  std::string hint_;
  HWND handle_ = nullptr;
  HWND mainWindow_ = nullptr;
  mutable std::string lastError_;
  bool quietErrors_ = false;
  int waitCursors_ = 0;
  friend class WaitCursor;
};

// Shows the hourglass over the program's windows for as long as it lives,
// also through the WM_SETCURSOR that the next mouse move brings (which
// would otherwise put the arrow straight back).
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

// A modal message box with CP932 text and caption; returns the button id.
int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT flags);

}  // namespace qel::win
