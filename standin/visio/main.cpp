// The Visio stand-in: a COM local server for "Visio.Application" that reads
// Visio XML stencils and drawings, lets clients draw on the pages through
// automation, shows the pages and saves them as SVG.
//   VisioStandin.exe /RegServer     register for Visio.Application and end
//   VisioStandin.exe /UnregServer   remove that registration and end
//   VisioStandin.exe -Embedding     how COM starts it for a client
#include <windows.h>

#include "standin/comserver/local_server.h"
#include "standin/visio/automation.h"
#include "standin/visio/view.h"

namespace {
// {5D0BD7BD-8511-499B-8452-CBEB5E80063E}
const CLSID kVisioStandinClsid = {0x5d0bd7bd, 0x8511, 0x499b, {0x84, 0x52, 0xcb, 0xeb, 0x5e, 0x80, 0x06, 0x3e}};
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace qel;
  const standin::ServerClass server{kVisioStandinClsid, L"Visio.Application", L"Visio stand-in (Qel-Wirmap)",
                                    [] { return visio_standin::NewApplication(); }};
  return standin::RunServerProgram(server, L"VisioStandin", [instance](bool) {
    HWND window = visio_standin::CreateViewWindow(instance);
    ShowWindow(window, SW_SHOWNORMAL);
    visio_standin::RefreshView(window);
    return window;
  });
}
