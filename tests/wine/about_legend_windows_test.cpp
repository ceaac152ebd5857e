#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Qel_Wirmap.h"
#include "base/file_io.h"
#include "tests/support/client_picture.h"
#include "tests/support/temp_dir.h"
#include "ui/AboutBox.h"
#include "ui/Line.h"
#include "win32/application.h"
#include "win32/containers.h"
#include "win32/text.h"

namespace qel {
namespace {

using ::testing::HasSubstr;
using qel::testing::ClientPicture;

std::string CaptionOf(HWND hwnd) {
  wchar_t buf[256] = {};
  GetWindowTextW(hwnd, buf, 256);
  return win::Narrow(buf);
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t buf[256] = {};
  GetClassNameW(hwnd, buf, 256);
  return buf;
}

RECT WindowRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

SIZE ClientSize(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return {r.right, r.bottom};
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A press and release of the left button in the window, as the mouse gives.
void MouseClick(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

// Is `above` higher in the z-order than `below`?
bool IsAbove(HWND above, HWND below) {
  for (HWND h = GetWindow(above, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
    if (h == below) return true;
  return false;
}

class QuietErrors {
 public:
  QuietErrors() { win::Application::Instance().SetQuietErrors(true); }
  ~QuietErrors() { win::Application::Instance().SetQuietErrors(false); }
};

// ---- the version window ----

TEST(AboutBox, IsLaidOutAsItsDesign) {
  TAboutBox box;
  HWND hwnd = box.Handle();
  ASSERT_TRUE(hwnd);
  EXPECT_EQ(ClassOf(hwnd), L"TAboutBox");
  EXPECT_EQ(CaptionOf(hwnd), "バージョン情報");
  EXPECT_FALSE(IsWindowVisible(hwnd)) << "created hidden";
  const SIZE client = ClientSize(hwnd);
  EXPECT_EQ(client.cx, 298);
  EXPECT_EQ(client.cy, 213);
  const RECT r = WindowRect(hwnd);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred on the screen";
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU) << "a close box";
  EXPECT_FALSE(style & WS_THICKFRAME) << "a dialog border, not resizable";
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  EXPECT_EQ(box.Panel1.GetBounds(), (win::Bounds{8, 4, 281, 171}));
  EXPECT_EQ(box.ProgramIcon.GetBounds(), (win::Bounds{12, 10, 37, 37}));
  EXPECT_EQ(GetParent(box.ProgramIcon.Handle()), box.Panel1.Handle()) << "inside the bevelled panel";
  EXPECT_EQ(box.ProductName.Text(), "Product Name   Ｑｅｌ-Ｗｉｒｍａｐ");
  EXPECT_EQ(box.Version.Text(), "Version  0.1");
  EXPECT_EQ(box.Comments.Text(), "ご利用ありがとう御座います。");
  EXPECT_EQ(box.MakerName.Text(), "Qel-Wirmap");
  EXPECT_THAT(box.Contact1.Text() + box.Contact2.Text(), HasSubstr("課題管理"));
  for (win::Label* label : {&box.ProductName, &box.Version, &box.Comments, &box.MakerName, &box.Contact1,
                            &box.Contact2}) {
    EXPECT_EQ(GetParent(label->Handle()), box.Panel1.Handle()) << label->Text();
    const win::Bounds b = label->GetBounds();
    EXPECT_LE(b.x + b.w, 281) << label->Text() << " fits the panel";
    EXPECT_LE(b.y + b.h, 171) << label->Text();
  }

  EXPECT_EQ(box.OKButton.Text(), "OK");
  EXPECT_EQ(box.OKButton.Hint(), "バージョン情報を閉じます。");
  EXPECT_EQ(GetParent(box.OKButton.Handle()), hwnd) << "below the panel, not in it";
  EXPECT_GE(box.OKButton.GetBounds().y, 4 + 171);
  EXPECT_EQ(GetWindowLongPtrW(box.OKButton.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST(AboutBox, ShowsTheProgramIconStretched) {
  TAboutBox box;
  ASSERT_TRUE(box.ProgramIcon.Icon()) << "the program's own icon resource";
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(box.ProgramIcon.Icon(), &info));
  BITMAP bm{};
  GetObjectW(info.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 48) << "the large image, drawn down to the area";
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);

  // Drawn over the whole 37 x 37 area: the dark blue tile reaches near
  // every edge, and the white ring of the motor sits in the lower half.
  const ClientPicture icon(box.ProgramIcon.Handle());
  auto blue = [&](int x, int y) {
    const COLORREF c = icon.At(x, y);
    return GetBValue(c) > 80 && GetRValue(c) < 60;
  };
  EXPECT_TRUE(blue(4, 18));
  EXPECT_TRUE(blue(32, 18));
  EXPECT_TRUE(blue(18, 35));
  EXPECT_TRUE(blue(18, 29)) << "inside the ring";
  const COLORREF ring = icon.At(18, 33);
  EXPECT_TRUE(GetRValue(ring) > 200 && GetGValue(ring) > 200 && GetBValue(ring) > 200) << "the bottom of the ring";
}

TEST(AboutBox, OkAndTheCloseBoxOnlyHideIt) {
  TAboutBox box;
  box.Show();
  EXPECT_TRUE(IsWindowVisible(box.Handle()));
  SendMessageW(box.OKButton.Handle(), BM_CLICK, 0, 0);  // as a click on the button does
  EXPECT_FALSE(IsWindowVisible(box.Handle()));
  EXPECT_TRUE(IsWindow(box.Handle())) << "hidden, not destroyed";

  box.Show();
  EXPECT_TRUE(IsWindowVisible(box.Handle()));
  SendMessageW(box.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
  Pump();
  EXPECT_FALSE(IsWindowVisible(box.Handle()));
  EXPECT_TRUE(IsWindow(box.Handle()));
  box.Show();
  EXPECT_TRUE(IsWindowVisible(box.Handle())) << "shown again after closing";
  box.OKButtonClick();
  EXPECT_FALSE(IsWindowVisible(box.Handle()));
}

TEST(AboutBox, EnterPressesOkWhereverTheFocusIs) {
  TAboutBox box;
  box.Show();
  Pump();
  SetFocus(box.Panel1.Handle());  // not on the button
  ASSERT_EQ(GetFocus(), box.Panel1.Handle());
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
  win::Application::Instance().ProcessMessages();
  EXPECT_FALSE(IsWindowVisible(box.Handle())) << "OK is the default button";
}

// ---- the wiring legend window ----

TEST(Legend, IsLaidOutAsItsDesign) {
  TLINE line;
  HWND hwnd = line.Handle();
  ASSERT_TRUE(hwnd);
  EXPECT_EQ(ClassOf(hwnd), L"TLINE");
  EXPECT_EQ(CaptionOf(hwnd), "LINE");
  EXPECT_FALSE(IsWindowVisible(hwnd)) << "created hidden";
  const RECT r = WindowRect(hwnd);
  EXPECT_EQ(r.right - r.left, 416);
  EXPECT_EQ(r.bottom - r.top, 406);

  const SIZE client = ClientSize(hwnd);
  EXPECT_EQ(line.Image1.GetBounds(), (win::Bounds{0, 0, 279, static_cast<int>(client.cy)})) << "docked left";
  EXPECT_EQ(line.Label1.Text(), "配線情報に注意しよう");
  EXPECT_EQ(line.Label2.Text(), "内⊿と外⊿あり");
  EXPECT_EQ(line.Label3.Text(), "仕様書の見直　ヨシ！");
  EXPECT_EQ(line.Label1.GetBounds().x, 284);
  EXPECT_EQ(line.Label1.GetBounds().y, 98);
  EXPECT_EQ(line.Label2.GetBounds().x, 286);
  EXPECT_EQ(line.Label2.GetBounds().y, 128);
  EXPECT_EQ(line.Label3.GetBounds().x, 286);
  EXPECT_EQ(line.Label3.GetBounds().y, 184);
  EXPECT_EQ(line.Button1.Text(), "閉じる");
  EXPECT_EQ(line.Button1.Hint(), "この画面をとじます。");
  EXPECT_EQ(line.Button1.GetBounds().x, 310);
  EXPECT_EQ(line.Button1.GetBounds().y, 314);
  for (win::Wnd* w : std::vector<win::Wnd*>{&line.Label1, &line.Label2, &line.Label3, &line.Button1}) {
    const win::Bounds b = w->GetBounds();
    EXPECT_LE(b.x + b.w, client.cx) << w->Text() << " lies inside the window";
    EXPECT_LE(b.y + b.h, client.cy) << w->Text();
  }
}

TEST(Legend, ShowsTheDecodedPicture) {
  TLINE line;
  EXPECT_EQ(line.PictureError(), "");
  ASSERT_TRUE(line.Image1.Bitmap());
  BITMAP bm{};
  GetObjectW(line.Image1.Bitmap(), sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 279);
  EXPECT_EQ(bm.bmHeight, 379);

  // What the picture area paints: the drawing at 1:1 from its top left.
  const ClientPicture shown(line.Image1.Handle());
  EXPECT_FALSE(shown.Dark(3, 3));
  EXPECT_TRUE(shown.Dark(57, 70)) << "the lead between MCCB and 88";
  EXPECT_TRUE(shown.Dark(180, 159)) << "the tap after the thermal relay";
  EXPECT_TRUE(shown.Dark(230, 192)) << "the resistor SR";
  EXPECT_FALSE(shown.Dark(236, 192)) << "inside SR";
  EXPECT_FALSE(shown.Dark(90, 170)) << "between the leads";
}

TEST(Legend, ADamagedPictureLeavesAnEmptyAreaAndAMessage) {
  QuietErrors quiet;
  const std::string half(LegendJpeg().substr(0, LegendJpeg().size() / 2));
  TLINE line(nullptr, [&] { return std::string_view(half); });
  EXPECT_FALSE(line.Image1.Bitmap());
  EXPECT_THAT(line.PictureError(), HasSubstr("Premature end of JPEG file"));
  EXPECT_EQ(win::Application::Instance().LastShownError(), line.PictureError()) << "shown by the error handler";

  // The window works on: it shows, paints an empty area and closes.
  line.Show();
  EXPECT_TRUE(IsWindowVisible(line.Handle()));
  const ClientPicture shown(line.Image1.Handle());
  EXPECT_EQ(shown.At(57, 70), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(shown.At(230, 192), GetSysColor(COLOR_BTNFACE));
  line.Button1Click();
  EXPECT_FALSE(IsWindowVisible(line.Handle()));
}

TEST(Legend, AMissingPictureIsReportedToo) {
  QuietErrors quiet;
  TLINE line(nullptr, []() -> std::string_view { throw std::runtime_error("リソース 201 がありません。"); });
  EXPECT_FALSE(line.Image1.Bitmap());
  EXPECT_EQ(line.PictureError(), "リソース 201 がありません。");
  EXPECT_EQ(win::Application::Instance().LastShownError(), "リソース 201 がありません。");
}

TEST(Legend, CloseButtonAndCloseBoxHideItAndItReopensWhereItWasLeft) {
  TLINE line;
  line.Show();
  EXPECT_TRUE(IsWindowVisible(line.Handle()));
  SendMessageW(line.Button1.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowVisible(line.Handle()));

  SetWindowPos(line.Handle(), nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // the user moves it
  line.Show();
  EXPECT_EQ(WindowRect(line.Handle()).left, 40) << "not centred again";
  EXPECT_EQ(WindowRect(line.Handle()).top, 50);
  SendMessageW(line.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(line.Handle()));
  EXPECT_TRUE(IsWindow(line.Handle()));
}

TEST(Legend, FirstShownCentredOverTheMainWindow) {
  static const wchar_t kClass[] = L"QelTestOwner";
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);
  HWND owner = CreateWindowW(kClass, L"", WS_OVERLAPPEDWINDOW, 100, 80, 700, 600, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(owner);
  TLINE line(owner);
  line.Show();
  const RECT r = WindowRect(line.Handle());
  EXPECT_NEAR((r.left + r.right) / 2, 100 + 700 / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, 80 + 600 / 2, 1);
  DestroyWindow(owner);
}

// ---- opened from the main window ----

// The main window, which makes the two windows at start-up, in a program
// folder with the delivered Fuji table.
class FromMainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testing::TempDir;
    CreateDirectoryW(win::Wide(folder_->File("Data")).c_str(), nullptr);
    CreateDirectoryW(win::Wide(folder_->File("Readme")).c_str(), nullptr);
    std::string fd = std::string("Z:") + QEL_SOURCE_DIR + "/data/fd.dat";
    for (char& c : fd) c = c == '/' ? '\\' : c;
    CopyFileW(win::Wide(fd).c_str(), win::Wide(folder_->File("Data\\fd.dat")).c_str(), FALSE);
    ReplaceFileContents(folder_->File("Readme\\SETUP.INI"), "[DATA]\r\ndt_name=fd.dat\r\n");
    wchar_t buf[MAX_PATH * 4];
    savedDir_ = new std::wstring(buf, GetCurrentDirectoryW(MAX_PATH * 4, buf));
    SetCurrentDirectoryW(win::Wide(folder_->Path()).c_str());

    win::EnsureCommonControls();
    main_ = new TQel_Wirmap;
    about_ = main_->AboutBox.get();
    line_ = main_->LINE.get();
    win::Application::Instance().SetMainWindow(main_->Handle());
    main_->Show();
  }
  static void TearDownTestSuite() {
    win::Application::Instance().SetMainWindow(nullptr);
    delete main_;
    SetCurrentDirectoryW(savedDir_->c_str());
    delete savedDir_;
    delete folder_;
  }
  void SetUp() override {
    about_->Hide();
    line_->Hide();
  }

  static bool AboutShown() { return IsWindowVisible(about_->Handle()) != FALSE; }
  static bool LineShown() { return IsWindowVisible(line_->Handle()) != FALSE; }

  static TQel_Wirmap* main_;
  static TAboutBox* about_;
  static TLINE* line_;
  static testing::TempDir* folder_;
  static std::wstring* savedDir_;
};
TQel_Wirmap* FromMainWindow::main_ = nullptr;
TAboutBox* FromMainWindow::about_ = nullptr;
TLINE* FromMainWindow::line_ = nullptr;
testing::TempDir* FromMainWindow::folder_ = nullptr;
std::wstring* FromMainWindow::savedDir_ = nullptr;

TEST_F(FromMainWindow, TheVersionEntryOfTheHelpMenuShowsTheVersionWindow) {
  ASSERT_FALSE(AboutShown());
  // The menu choice as Windows delivers it.
  SendMessageW(main_->Handle(), WM_COMMAND, TQel_Wirmap::kAbout1, 0);
  EXPECT_TRUE(AboutShown());
  EXPECT_FALSE(LineShown());
  SendMessageW(about_->OKButton.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(AboutShown());
  main_->About1Click();
  EXPECT_TRUE(AboutShown()) << "and again after closing";
}

TEST_F(FromMainWindow, TheStarDeltaWireGroupShowsTheLegend) {
  MouseClick(main_->GroupBox9.Handle());
  EXPECT_TRUE(LineShown());
  EXPECT_FALSE(AboutShown());
  SendMessageW(line_->Button1.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(LineShown());
}

TEST_F(FromMainWindow, EveryLabelInTheStarDeltaWireGroupShowsTheLegend) {
  const std::vector<HWND> labels = [] {
    std::vector<HWND> found;
    for (HWND h = GetWindow(main_->GroupBox9.Handle(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) found.push_back(h);
    return found;
  }();
  ASSERT_EQ(labels.size(), 12u) << "A,B C,D E,F G H with their sizes, mm and its 2";
  // Each click must bring the legend in front of the version window
  // (hiding and showing again costs seconds under a bare X server).
  for (HWND label : labels) {
    about_->Show();
    ASSERT_TRUE(IsAbove(about_->Handle(), line_->Handle()) || !LineShown());
    MouseClick(label);
    EXPECT_TRUE(LineShown()) << "label " << CaptionOf(label);
    EXPECT_TRUE(IsAbove(line_->Handle(), about_->Handle())) << "label " << CaptionOf(label);
  }
  about_->Show();
  MouseClick(main_->Label50.Handle());  // the H size, whose text the look-up changes
  EXPECT_TRUE(IsAbove(line_->Handle(), about_->Handle()));
}

TEST_F(FromMainWindow, TheDirectOnLineWireGroupOpensNothing) {
  MouseClick(main_->GroupBox5.Handle());
  MouseClick(main_->Label26.Handle());
  main_->GroupBox5Click();
  Pump();
  EXPECT_FALSE(LineShown());
  EXPECT_FALSE(AboutShown());
}

TEST_F(FromMainWindow, BothOpenTogetherAndTheMainWindowStaysUsable) {
  main_->About1Click();
  main_->GroupBox9Click();
  ASSERT_TRUE(AboutShown());
  ASSERT_TRUE(LineShown());
  EXPECT_TRUE(IsWindowEnabled(main_->Handle())) << "neither is modal";
  EXPECT_TRUE(IsAbove(line_->Handle(), about_->Handle())) << "the last shown in front";

  // The main window still takes commands while both are open.
  const bool ticked = main_->hint2.Checked();
  SendMessageW(main_->Handle(), WM_COMMAND, TQel_Wirmap::kHint2, 0);
  EXPECT_NE(main_->hint2.Checked(), ticked);
  SendMessageW(main_->Handle(), WM_COMMAND, TQel_Wirmap::kHint2, 0);
  EXPECT_EQ(main_->hint2.Checked(), ticked);

  // Showing the one behind brings it to the front; nothing else changes.
  main_->About1Click();
  EXPECT_TRUE(IsAbove(about_->Handle(), line_->Handle()));
  EXPECT_TRUE(LineShown());
  main_->GroupBox9Click();
  EXPECT_TRUE(IsAbove(line_->Handle(), about_->Handle()));
  EXPECT_TRUE(AboutShown());
}

}  // namespace
}  // namespace qel
