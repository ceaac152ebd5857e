// The Excel stand-in: a COM local server for "Excel.Application" holding
// workbooks of text cells, showing the active sheet and saving it as CSV.
//   ExcelStandin.exe /RegServer     register for Excel.Application and end
//   ExcelStandin.exe /UnregServer   remove that registration and end
//   ExcelStandin.exe -Embedding     how COM starts it for a client
#include <windows.h>

#include "standin/comserver/local_server.h"
#include "standin/excel/automation.h"
#include "standin/excel/view.h"

namespace {
// {BDEFE2C6-2AB9-488D-8333-648191C48E41}
const CLSID kExcelStandinClsid = {0xbdefe2c6, 0x2ab9, 0x488d, {0x83, 0x33, 0x64, 0x81, 0x91, 0xc4, 0x8e, 0x41}};
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace qel;
  const standin::ServerClass server{kExcelStandinClsid, L"Excel.Application", L"Excel stand-in (Qel-Wirmap)",
                                    [] { return excel_standin::NewApplication(); }};
  return standin::RunServerProgram(server, L"ExcelStandin", [instance](bool byCom) {
    HWND window = excel_standin::CreateViewWindow(instance);
    // Excel started by automation stays hidden until told to show itself.
    if (!byCom) ShowWindow(window, SW_SHOWNORMAL);
    return window;
  });
}
