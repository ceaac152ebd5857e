// Printing from the drawing preview through printers that print to a file:
// Wine's PostScript driver with a printer description of our own, one
// printer with A3 paper and one with A4 only, each writing into the folder
// the checker script (tests/print_drawing/check_print.py) names and reads
// back with Ghostscript.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>
#include <dlgs.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "tests/support/main_window_fixture.h"
#include "ui/DrawingPreview.h"
#include "ui/drawing_print.h"
#include "win32/text.h"

namespace qel {
namespace {

const char* OutputFolder() { return std::getenv("QEL_PRINT_OUT"); }  // a Unix path

// A PostScript printer description: 600 dpi (or 600 across and 300 down),
// its paper sizes in points with 12 points the printer cannot reach at
// each edge.
std::string Description(bool withA3) {
  std::string ppd =
      "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
      "*LanguageEncoding: ISOLatin1\n*PCFileName: \"QELTEST.PPD\"\n*Manufacturer: \"Qel-Wirmap\"\n"
      "*Product: \"(Qel-Wirmap test printer)\"\n*ModelName: \"Qel-Wirmap test printer\"\n"
      "*ShortNickName: \"Qel-Wirmap test printer\"\n*NickName: \"Qel-Wirmap test printer\"\n"
      "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n*DefaultColorSpace: Gray\n"
      "*TTRasterizer: Type42\n*OpenUI *Resolution: PickOne\n*DefaultResolution: 600dpi\n"
      "*Resolution 600dpi: \"<</HWResolution[600 600]>>setpagedevice\"\n"
      "*Resolution 600x300dpi: \"<</HWResolution[600 300]>>setpagedevice\"\n*CloseUI: *Resolution\n";
  struct Size {
    const char* name;
    const char* points;
    const char* printable;
  };
  std::vector<Size> sizes{{"A4", "595 842", "12 12 583 830"}};
  if (withA3) sizes.push_back({"A3", "842 1191", "12 12 830 1179"});
  for (const char* option : {"PageSize", "PageRegion"}) {
    ppd += std::string("*OpenUI *") + option + ": PickOne\n*OrderDependency: 10 AnySetup *" + option + "\n*Default" +
           option + ": A4\n";
    for (const Size& s : sizes)
      ppd += std::string("*") + option + " " + s.name + "/" + s.name + ": \"<</PageSize[" + s.points +
             "]/ImagingBBox null>>setpagedevice\"\n";
    ppd += std::string("*CloseUI: *") + option + "\n";
  }
  ppd += "*DefaultImageableArea: A4\n";
  for (const Size& s : sizes) ppd += std::string("*ImageableArea ") + s.name + "/" + s.name + ": \"" + s.printable + "\"\n";
  ppd += "*DefaultPaperDimension: A4\n";
  for (const Size& s : sizes) ppd += std::string("*PaperDimension ") + s.name + "/" + s.name + ": \"" + s.points + "\"\n";
  ppd += "*DefaultFont: Courier\n*Font Courier: Standard \"(002.004S)\" Standard ROM\n";
  return ppd;
}

// Installs (again) a printer of Wine's PostScript driver whose port is a
// Unix file: the spooler copies each finished document there.
void InstallFilePrinter(const std::wstring& name, bool withA3, const std::string& unixFile,
                        const std::string& descriptionFile) {
  ReplaceFileContents(descriptionFile, Description(withA3));
  const std::wstring driverName = name + L" driver";
  const std::wstring data = win::Wide(descriptionFile);
  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<wchar_t*>(driverName.c_str());
  driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
  driver.pDataFile = const_cast<wchar_t*>(data.c_str());
  driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
  driver.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
  ASSERT_TRUE(AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                                  APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
      << GetLastError();
  HANDLE old = nullptr;
  PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &old, &all)) {
    DeletePrinter(old);
    ClosePrinter(old);
  }
  const std::wstring port = win::Wide(unixFile);
  PRINTER_INFO_2W printer{};
  printer.pPrinterName = const_cast<wchar_t*>(name.c_str());
  printer.pPortName = const_cast<wchar_t*>(port.c_str());
  printer.pDriverName = const_cast<wchar_t*>(driverName.c_str());
  printer.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
  printer.pDatatype = const_cast<wchar_t*>(L"RAW");
  printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE made = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  ASSERT_TRUE(made) << GetLastError();
  ClosePrinter(made);
}

std::string TextOf(HWND hwnd) {
  wchar_t buf[256] = {};
  GetWindowTextW(hwnd, buf, 256);
  return win::Narrow(buf);
}

bool UnixFileExists(const std::string& unixPath) {
  return GetFileAttributesW(win::Wide("Z:" + unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class PrintDrawing : public testing::MainWindowFixture {};

TEST_F(PrintDrawing, DialogPrintsOnA3OtherPaperIsFittedFailuresAreTold) {
  if (!OutputFolder()) GTEST_SKIP() << "run by the print_drawing test, which reads the printed files back";
  const std::string out = OutputFolder();
  testing::ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  InstallFilePrinter(L"Qel-Wirmap A3 file", true, out + "/a3.ps", folder.File("a3.ppd"));
  InstallFilePrinter(L"Qel-Wirmap A4 file", false, out + "/a4.ps", folder.File("a4.ppd"));
  ASSERT_TRUE(SetDefaultPrinterW(L"Qel-Wirmap A3 file"));

  Start(folder);
  for (int row = 1; row <= 9; ++row) {  // a ninth circuit starts page 2
    window->StringGrid1.Cells().SetCell(1, row, "M" + std::to_string(row));
    window->StringGrid1.Cells().SetCell(2, row, "直");
  }
  Run([&] { SendMessageW(window->Handle(), WM_COMMAND, TQel_Wirmap::kDrawingPreview, 0); }, {});
  TDrawingPreview& preview = *window->PreviewForm;
  ASSERT_EQ(preview.PageCount(), 2);
  EXPECT_EQ(TextOf(preview.PrintButton.Handle()), "印刷(&P)...");

  // Cancelled: nothing printed.
  auto clickPrint = [&] { SendMessageW(preview.PrintButton.Handle(), BM_CLICK, 0, 0); };
  EXPECT_EQ(Run(clickPrint, {testing::DialogScript::Press(IDCANCEL)}).size(), 1u);
  EXPECT_FALSE(UnixFileExists(out + "/a3.ps"));

  // OK with the dialog's first choices: every page on the default printer, A3 landscape.
  EXPECT_EQ(Run(clickPrint, {testing::DialogScript::Press(IDOK)}).size(), 1u);
  EXPECT_TRUE(UnixFileExists(out + "/a3.ps"));
  EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "1 / 2") << "full size: no note";

  // The second page alone on A4: fitted, and the page label says why.
  preview.Print({L"Qel-Wirmap A4 file", {}}, {1});
  EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "1 / 2　A3 用紙がないため、用紙に合わせて縮小して印刷しました。");

  // Ctrl+P opens the same dialog; cancelled, nothing printed.
  auto ctrlP = [&] {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(preview.Canvas.Handle(), WM_KEYDOWN, 'P', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  };
  InstallFilePrinter(L"Qel-Wirmap A3 range file", true, out + "/range.ps", folder.File("range.ppd"));
  ASSERT_TRUE(SetDefaultPrinterW(L"Qel-Wirmap A3 range file"));
  EXPECT_EQ(Run(ctrlP, {testing::DialogScript::Press(IDCANCEL)}).size(), 1u);
  EXPECT_FALSE(UnixFileExists(out + "/range.ps"));

  // Pages 2 to 2 typed into the dialog: the second page alone.
  auto pageTwo = [](const testing::DialogSeen& d) {
    SendMessageW(GetDlgItem(d.hwnd, rad3), BM_CLICK, 0, 0);
    SetWindowTextW(GetDlgItem(d.hwnd, edt1), L"2");
    SetWindowTextW(GetDlgItem(d.hwnd, edt2), L"2");
    testing::PressButton(d.hwnd, IDOK);
  };
  EXPECT_EQ(Run(ctrlP, {pageTwo}).size(), 1u);
  EXPECT_TRUE(UnixFileExists(out + "/range.ps"));

  // Half as many dots down as across: the same page as on a square 600 dpi
  // printer. Portrait, as Wine's driver mixes up its sizes in landscape at
  // 600 x 300; the sheet is then fitted to the paper on both.
  auto printPortrait = [&](const std::wstring& name, const std::string& file, short dotsDown) {
    InstallFilePrinter(name, true, out + "/" + file, folder.File(file + ".ppd"));
    std::vector<BYTE> settings = PreferredDevMode(name);
    ASSERT_FALSE(settings.empty());
    auto* mode = reinterpret_cast<DEVMODEW*>(settings.data());
    mode->dmOrientation = DMORIENT_PORTRAIT;
    mode->dmPrintQuality = 600;
    mode->dmYResolution = dotsDown;
    mode->dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
    HDC dc = CreateDCW(L"WINSPOOL", name.c_str(), nullptr, mode);
    ASSERT_TRUE(dc);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), dotsDown);
    DeleteDC(dc);
    preview.Print({name, settings}, {0});
    EXPECT_EQ(TextOf(preview.PageLabel.Handle()), "1 / 2　A3 横の用紙ではないため、用紙に合わせて縮小して印刷しました。");
  };
  printPortrait(L"Qel-Wirmap A3 portrait file", "portrait.ps", 600);
  printPortrait(L"Qel-Wirmap A3 600x300 file", "coarse.ps", 300);

  // A printer that is not there: a message, and the label as it was.
  const auto seen = Run([&] { preview.Print({L"Qel-Wirmap no such printer", {}}, {0}); },
                        {testing::DialogScript::Press(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "印刷");
  EXPECT_EQ(seen[0].text.substr(0, 50), std::string("プリンターを使えません = Qel-Wirmap no such printer\r\n").substr(0, 50));
}

}  // namespace
}  // namespace qel
