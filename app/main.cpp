// Program entry: one instance at a time, COM for the user-interface thread,
// the windows in their order, then the message loop until the main window
// closes. Closing asks nothing.
#include <windows.h>

#include "acad/AcadTool_Frame.h"
#include "app/Qel_Wirmap.h"
#include "win32/application.h"
#include "win32/com_dispatch.h"
#include "win32/containers.h"
#include "win32/text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  qel::win::ComApartment com;
  qel::SetDefaultDispatchFactory(qel::win::CreateComObject);

  // A running instance is found by the title of its hidden application
  // window, whatever its class; this start then ends without a word.
  const std::string kTitle = "Qel-Wirmap";
  if (FindWindowW(nullptr, qel::win::Wide(kTitle).c_str())) return 0;

  auto& app = qel::win::Application::Instance();
  app.SetTitle(kTitle);
  qel::win::EnsureCommonControls();
  // The main window makes the version, legend and AutoCAD type selection
  // windows the first time each is shown.
  qel::TQel_Wirmap mainWindow;
  mainWindow.Show();
  return app.Run(mainWindow.Handle());
}
