#include "app/Qel_Wirmap.h"

#include <algorithm>
#include <stdexcept>

#include "acad/a_cad.h"
#include "acad/acad_dxf.h"
#include "acad/acad_pdf.h"
#include "acad/page_layout.h"
#include "acad/acad_job_progress.h"
#include "base/file_io.h"
#include "base/paths.h"
#include "list/list_file_format.h"
#include "win32/application.h"
#include "win32/hint.h"
#include "win32/system_error.h"
#include "win32/text.h"

#include <shlobj.h>

namespace qel {

namespace {
constexpr int kRowHeight = 15;
const std::vector<int> kTableWidths = {20, 60, 30, 90, 50, 50, 80, 60, 70, 90, 25, 25, 25, 25, 25, 25, 70, 90};
constexpr int kMaintenanceWidth = 410;
constexpr int kClosedPanelWidth = 10;
constexpr int kOutOfSight = 15;

// The current directory however long it is. A buffer too small gets the
// size the system asks for (at least twice the last), as the directory may
// change between two calls; a few rounds settle it.
std::string CurrentDirectory() {
  std::wstring buf(MAX_PATH, L'\0');
  for (int round = 0; round < 8; ++round) {
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buf.size()), buf.data());
    if (n == 0) throw std::runtime_error(win::SystemMessage(GetLastError()));
    if (n < buf.size()) return win::Narrow(std::wstring_view(buf.data(), n));
    buf.resize(std::max<std::size_t>(n + 1, buf.size() * 2));
  }
  throw std::runtime_error("GetCurrentDirectoryW: the current directory keeps growing");
}
}  // namespace

TQel_Wirmap::TQel_Wirmap()
    : AboutBox([] { return std::make_unique<TAboutBox>(); }),
      LINE([this] { return std::make_unique<TLINE>(hwnd_); }),
      AcadTool_Frame([this] {
        return std::make_unique<TAcadTool_Frame>(AcadTypeChoice1, [this](const std::string& text) { Label57.SetText(text); });
      }),
      PreviewForm([this] {
        auto preview = std::make_unique<TDrawingPreview>(hwnd_);
        // The pages the preview shows, not the list as it is now.
        preview->onSavePdf = [this](const std::vector<dxf::Drawing>& shown, const std::string& note) {
          SavePdf(
              PreviewForm->Handle(),
              [&shown](std::vector<dxf::Drawing>& pages, std::string&) {
                pages = shown;
                return true;
              },
              note);
        };
        return preview;
      }) {
  Create({.className = "TQel_Wirmap", .caption = "Qｅｌ_Ｗｉｒｍａｐ  Pelvane", .width = 628, .height = 527});
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ProgramIcon()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ProgramIcon()));
  CreateMenus();
  CreateRegions();
  CreatePanel6();
  CreateTabSheet1();
  CreateTabSheet2();
  CreateTabSheet3();
  CreateBottomPanel();
  CreateMaintenanceView();
  CreateDialogs();
  StringGridIO1.TargetGrid = &StringGrid1.Cells();
  StringGridIO1.Stretch = false;
  StringGridIO1.GrowRows = true;  // a saved list longer than the grid comes back whole
  StringGridIO2.TargetGrid = &StringGrid2.Cells();
  StringGridIO2.Stretch = false;
  AcadControl1.SetAcadType(atACAD2000);
  AcadControl1.Loaded();
  // A job that AutoCAD cut short is told once, with the page it was on.
  AcadControl1.OnDeliveryAborted = [this](TAcadControl*, TAcadDeliveryStop reason, const std::vector<std::string>& sent,
                                          const std::vector<std::string>& dropped) {
    win::MessageBoxCp932(hwnd_, AcadJobStoppedMessage(reason, AcadStoppedPage(sent, dropped)), kAcadJobStoppedCaption,
                         MB_OK | MB_ICONWARNING);
  };
  WireEvents();
  FormCreate();
  // Last: it switches the link's watch timer off. The first paint shows
  // its sentence; the type selection window shows the same choice when
  // it is first opened.
  AcadTypeChoice1.FormCreate();
  Label57.SetText(AcadTypeChoice1.StatusSentence());
}

TQel_Wirmap::~TQel_Wirmap() {
  auto& app = win::Application::Instance();
  app.onHint = nullptr;
  AcadTearDown();
  DestroyHandle();
}

void TQel_Wirmap::WireEvents() {
  save1.onClick = [this] { save1Click(); };
  load1.onClick = [this] { load1Click(); };
  Excel1.onClick = [this] { Excel1Click(); };
  Exit1.onClick = [this] { exit1Click(); };
  N7.onClick = [this] { N7Click(); };
  fuji1.onClick = [this] { fuji1Click(); };
  mel1.onClick = [this] { mel1Click(); };
  dataload1.onClick = [this] { dataload1Click(); };
  N5.onClick = [this] { Button1Click(); };
  N6.onClick = [this] { Button4Click(); };
  Drowing1.onClick = [this] { Drowing1Click(); };
  ACADA.onClick = [this] { ACADAClick(); };
  DXFX.onClick = [this] { DXFXClick(); };
  DrawingPreview.onClick = [this] { DrawingPreviewClick(); };
  PdfF.onClick = [this] { PdfFClick(); };
  AutoCadToolS1.onClick = [this] { AutoCadToolS1Click(); };
  About1.onClick = [this] { About1Click(); };
  hint2.onClick = [this] { hint2Click(); };
  N1.onClick = [this] { Button1Click(); };
  N2.onClick = [this] { Button4Click(); };

  Button1.onClick = [this] { Button1Click(); };
  Button4.onClick = [this] { Button4Click(); };
  Button3.onClick = [this] { Button3Click(); };
  Button7.onClick = [this] { Button7Click(); };
  Panel9.onClick = [this] { Panel9Click(); };
  StringGrid1.onClick = [this] { StringGrid1Click(); };
  Edit2.onChange = [this] { Edit2Change(); };
  ComboBox1.onChange = [this] { ComboBox1Change(); };
  GroupBox2.onClick = [this] { GroupBox2Click(); };
  RadioButton1.onClick = [this] { RadioButton1Click(); };
  RadioButton2.onClick = [this] { RadioButton2Click(); };
  CheckBox2.onClick = [this] { CheckBox2Click(); };
  PageControl1.onChange = [this] { PageControl1Change(); };
  TabSheet3.onShow = [this] { TabSheet3Show(); };
  TabSheet3.onHide = [this] { TabSheet3Hide(); };
  CheckBox3.onClick = [this] { CheckBox3Click(); };
  CheckBox4.onClick = [this] { CheckBox4Click(); };
  GroupBox9.onClick = [this] { GroupBox9Click(); };  // its labels: CreateTabSheet2
  GroupBox5.onClick = [this] { GroupBox5Click(); };
  ComboBox19.onChange = [this] { ComboBox19Change(); };
  for (win::ComboBox* tagPart : {&ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5, &ComboBox6})
    tagPart->onChange = [this] { ComboBox2Change(); };
  CheckBox5.onClick = [this] { CheckBox5Click(); };
  Button5.onClick = [this] { Button5Click(); };
  Button6.onClick = [this] { Button6Click(); };
}

void TQel_Wirmap::FormCreate() {
  auto& app = win::Application::Instance();
  app.onHint = [this] { DisplayHint(); };
  hint2.SetChecked(true);

  programFolder_ = CurrentDirectory();
  Visio.SetProgramFolder(programFolder_);
  AcadSetProgramFolder(programFolder_);
  // The edition is chosen after this; until then no entry is chosen. The
  // choice's index is the type window's list index.
  AcadSetUp(AcadControl1, StringGrid1.Cells(), [this] { return AcadTypeChoice1.ItemIndex(); });
  // The AutoCAD job goes on after its handler, while the link delivers the
  // commands it queued.
  drawingJobs_.SetStillWorking([this] {
    const auto& queue = AcadControl1.Attachment().Queue;
    return queue && !queue->Snapshot().empty();
  });

  SaveDialog1.InitialDir = programFolder_;
  OpenDialog1.InitialDir = programFolder_;
  SaveDialog2.InitialDir = programFolder_;
  OpenDialog2.InitialDir = paths::Join(programFolder_, "Data");

  tables_ = std::make_unique<EquipmentTables>(static_cast<EquipmentTableHost&>(*this), programFolder_);
  tables_->StartUp();

  ComboBox1.SetItems(DirectOnLineOutputs());

  StringGrid1.SetDefaultRowHeight(kRowHeight);
  CircuitList1.SetUp();  // header and empty rows, write position 1
  StringGrid1.SetRowHeight(0, kRowHeight);
  SetListColumnWidths(ListLayout::Motor);
  StringGrid1.SetEditing(true);
  StringGrid1.SetColSizing(true);
  StringGrid1.SetRangeSelect(true);

  ComboBox1Change();
}

void TQel_Wirmap::DisplayHint() {
  if (hint2.Checked()) StatusBar1.SetSimpleText(win::LongHint(win::Application::Instance().Hint()));
}

// ---- list files ----

void TQel_Wirmap::save1Click() {
  if (!SaveDialog1.Execute(hwnd_)) return;
  const auto format = ListSaveFormat(SaveDialog1.FilterIndex);
  if (!format) return;
  if (format->html) StringGridIO1.SaveToHTML(SaveDialog1.FileName);
  else StringGridIO1.SaveToText(SaveDialog1.FileName, format->separator, format->csv);
}

void TQel_Wirmap::load1Click() {
  if (!OpenDialog1.Execute(hwnd_)) return;
  if (const auto format = ListOpenFormat(OpenDialog1.FilterIndex))
    StringGridIO1.LoadFromText(OpenDialog1.FileName, format->separator, format->csv);
}

void TQel_Wirmap::Excel1Click() { StringGridIO1.SaveToExcel(); }

void TQel_Wirmap::exit1Click() { Close(); }
void TQel_Wirmap::Panel9Click() { Close(); }

void TQel_Wirmap::hint2Click() { hint2.SetChecked(!hint2.Checked()); }

// ---- equipment tables ----

void TQel_Wirmap::fuji1Click() { tables_->SwitchToFuji(); }
void TQel_Wirmap::mel1Click() { tables_->SwitchToMel(); }
void TQel_Wirmap::dataload1Click() { tables_->LoadUserTable(); }
void TQel_Wirmap::Button5Click() { tables_->SaveTable(); }

void TQel_Wirmap::N7Click() {
  LayOutTableGrid();
  Panel10.SetAlign(win::Align::Top);
  StringGrid2.SetAlign(win::Align::Client);
  Panel5.SetWidth(kMaintenanceWidth);
  Splitter2.SetVisible(true);
  SwitchEditingOff();
}

void TQel_Wirmap::Button6Click() {
  Panel5.SetWidth(kClosedPanelWidth);
  Panel10.SetAlign(win::Align::None);
  StringGrid2.SetAlign(win::Align::None);
  Panel10.SetLeft(kOutOfSight);
  StringGrid2.SetLeft(kOutOfSight);
  Splitter2.SetVisible(false);
  SwitchEditingOff();
}

void TQel_Wirmap::CheckBox5Click() {
  const bool on = CheckBox5.Checked();
  StringGrid2.SetEditing(on);
  StringGrid2.SetColSizing(on);
}

// ---- drawing and the other windows ----

void TQel_Wirmap::RunDrawingJob(const std::function<void()>& job) {
  const auto running = drawingJobs_.Start();
  if (!running) {
    ShowUserMessage({kDrawingBusyMessage, ""});
    return;
  }
  job();
}

void TQel_Wirmap::Drowing1Click() {
  RunDrawingJob([this] {
    // The module's messages are plain message boxes with an OK button.
    struct : VisioMessageSink {
      TQel_Wirmap* window = nullptr;
      void ShowVisioMessage(const std::string& text) override { window->ShowUserMessage({text, ""}); }
    } messages;
    messages.window = this;
    Visio.VisioStart(messages);
    Visio.VisioOpenDocuments(VisioOpenFailed, messages);
    // Errors Visio raises while drawing go to the general error handler.
    if (!VisioOpenFailed) Visio.VisioDrawList(StringGrid1.Cells());
  });
}
void TQel_Wirmap::ACADAClick() {
  RunDrawingJob([this] { DrawInAcad(); });
}
void TQel_Wirmap::DrawInAcad() {
  SaveDialog2.Filter = AcadSaveFilter();
  SaveDialog2.DefaultExt.clear();  // a name typed without extension stays as typed
  if (!SaveDialog2.Execute(hwnd_)) return;
  AcadDrawToFile(
      SaveDialog2.FileName,
      [](const std::string& path) { return GetFileAttributesW(win::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; },
      [this](const std::string& text, const std::string& caption) {
        return win::MessageBoxCp932(hwnd_, text, caption, MB_YESNO) == IDYES;
      },
      [this](const std::string& text, const std::string& caption) {
        win::MessageBoxCp932(hwnd_, text, caption, MB_OK | MB_ICONERROR);
      });
}
void TQel_Wirmap::DXFXClick() {
  // The dialog is the AutoCAD command's; its file type choice is kept for it.
  const int acadFilterIndex = SaveDialog2.FilterIndex;
  SaveDialog2.Filter = DxfSaveFilter();
  SaveDialog2.FilterIndex = 1;
  SaveDialog2.DefaultExt.clear();  // the extension is dropped anyway: pages are base name + page + ".dxf"
  const bool chosen = SaveDialog2.Execute(hwnd_);
  const int filterIndex = SaveDialog2.FilterIndex;
  SaveDialog2.FilterIndex = acadFilterIndex;
  if (!chosen) return;
  const DxfDrawOutcome outcome = DxfDrawToFile(
      StringGrid1.Cells(), AcadTemplatePath(), SaveDialog2.FileName, filterIndex,
      [](const std::string& path) { return GetFileAttributesW(win::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; },
      [this](const std::string& text, const std::string& caption) {
        return win::MessageBoxCp932(hwnd_, text, caption, MB_YESNO) == IDYES;
      });
  if (outcome.ran)
    win::MessageBoxCp932(hwnd_, outcome.message, kDxfMessageCaption, outcome.ok ? MB_ICONINFORMATION : MB_ICONERROR);
}
void TQel_Wirmap::DrawingPreviewClick() {
  // The template is read every time, so that an edited template shows at once.
  dxf::Drawing templ;
  std::string message;
  if (!ReadDrawingTemplate(AcadTemplatePath(), templ, message)) {
    win::MessageBoxCp932(hwnd_, message, "作図プレビュー", MB_ICONERROR);
    return;
  }
  std::vector<dxf::Drawing> pages = LayOutDxfPages(StringGrid1.Cells(), templ);
  FillTitleBlocks(pages, "", TodayText());  // no file yet to take a title from
  if (!PagesWithinFlattenBudget(pages, AcadTemplatePath(), message)) {
    win::MessageBoxCp932(hwnd_, message, "作図プレビュー", MB_ICONERROR);
    return;
  }
  PreviewForm->ShowPages(std::move(pages), UndrawnRowsNote(StringGrid1.Cells()));
}
void TQel_Wirmap::PdfFClick() {
  SavePdf(
      hwnd_,
      [this](std::vector<dxf::Drawing>& pages, std::string& message) {
        // The template is read every time, as the preview reads it.
        dxf::Drawing templ;
        if (!ReadDrawingTemplate(AcadTemplatePath(), templ, message)) return false;
        pages = LayOutDxfPages(StringGrid1.Cells(), templ);
        return PagesWithinFlattenBudget(pages, AcadTemplatePath(), message);
      },
      UndrawnRowsNote(StringGrid1.Cells()));
}
namespace {

// The fonts folder as the shell names it. shell32 is loaded here rather
// than imported: the save dialog has loaded it by now anyway, and an import
// would bring it, with shlwapi and shcore, into every start.
std::string FontsFolder() {
  wchar_t fonts[MAX_PATH] = L"";
  using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  if (HMODULE shell = LoadLibraryW(L"shell32.dll")) {
    const auto get = reinterpret_cast<GetFolderPath>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")));
    const bool found = get && SUCCEEDED(get(nullptr, CSIDL_FONTS, nullptr, SHGFP_TYPE_CURRENT, fonts));
    FreeLibrary(shell);
    if (found) return win::Narrow(fonts);
  }
  GetWindowsDirectoryW(fonts, MAX_PATH);
  return win::Narrow(fonts) + "\\Fonts";
}

}  // namespace

void TQel_Wirmap::SavePdf(HWND owner, const std::function<bool(std::vector<dxf::Drawing>&, std::string&)>& makeDrawings,
                          const std::string& note) {
  // The dialog is the AutoCAD command's, as the DXF command's is; its file
  // type choice is kept for it.
  const int acadFilterIndex = SaveDialog2.FilterIndex;
  SaveDialog2.Filter = PdfSaveFilter();
  SaveDialog2.FilterIndex = 1;
  SaveDialog2.DefaultExt = kPdfDefaultExt;
  const bool chosen = SaveDialog2.Execute(owner);
  SaveDialog2.FilterIndex = acadFilterIndex;
  SaveDialog2.DefaultExt.clear();
  if (!chosen) return;
  const PdfSaveOutcome outcome = SavePagesAsPdf(
      SaveDialog2.FileName, PdfFontCandidates(FontsFolder()), makeDrawings,
      [](const std::string& path) { return GetFileAttributesW(win::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; },
      [owner](const std::string& text, const std::string& caption) {
        return win::MessageBoxCp932(owner, text, caption, MB_YESNO) == IDYES;
      },
      TodayText(), note);
  if (outcome.ran)
    win::MessageBoxCp932(owner, outcome.message, kPdfMessageCaption, outcome.ok ? MB_ICONINFORMATION : MB_ICONERROR);
}
void TQel_Wirmap::AutoCadToolS1Click() {
  AcadTool_Frame->Show();
}
void TQel_Wirmap::About1Click() {
  AboutBox->Show();
}
void TQel_Wirmap::GroupBox9Click() {
  LINE->Show();
}
// The direct-on-line page's wire sizes have no legend picture.
void TQel_Wirmap::GroupBox5Click() {}

// ---- EquipmentTableHost ----

bool TQel_Wirmap::LoadTableFile(const std::string& path) {
  try {
    StringGridIO2.LoadFromText(path, ",", true);
    return true;
  } catch (const FileError&) {
    return false;
  }
}

void TQel_Wirmap::SaveTableFile(const std::string& path) { StringGridIO2.SaveToText(path, ",", true); }

void TQel_Wirmap::ShowFileError(const std::string& text) { win::MessageBoxCp932(hwnd_, text, "ﾌｧｲﾙ ｴﾗｰ", MB_OK); }

bool TQel_Wirmap::Confirm(const std::string& text) {
  return win::MessageBoxCp932(hwnd_, text, "操作確認", MB_OKCANCEL) == IDOK;
}

void TQel_Wirmap::RunMotorLookUp() { ComboBox1Change(); }

std::string TQel_Wirmap::SetupIniPath() const {
  return paths::Join(paths::Join(programFolder_, "Readme"), "SETUP.INI");
}

std::string TQel_Wirmap::ReadRememberedName() {
  wchar_t buf[1024];
  const DWORD n = GetPrivateProfileStringW(L"DATA", L"dt_name", L"err", buf, 1024, win::Wide(SetupIniPath()).c_str());
  return win::Narrow(std::wstring_view(buf, n));
}

void TQel_Wirmap::RememberName(const std::string& name) {
  // Without a Readme folder the name simply is not remembered.
  WritePrivateProfileStringW(L"DATA", L"dt_name", win::Wide(name).c_str(), win::Wide(SetupIniPath()).c_str());
}

void TQel_Wirmap::ShowMenuTicks(const TableMenuTicks& ticks) {
  fuji1.SetChecked(ticks.fuji);
  mel1.SetChecked(ticks.mel);
  dataload1.SetChecked(ticks.userData);
}

void TQel_Wirmap::ShowTableLabel(const std::string& text) { Label63.SetText(text); }

void TQel_Wirmap::SwitchEditingOff() {
  StringGrid2.SetEditing(false);
  StringGrid2.SetColSizing(false);
  CheckBox5.SetChecked(false);
}

void TQel_Wirmap::LayOutTableGrid() {
  StringGrid2.SetDefaultRowHeight(kRowHeight);
  StringGrid2.SetColCount(kEquipmentColCount);
  StringGrid2.SetRowHeight(0, kRowHeight);
  for (int c = 0; c < kEquipmentColCount; ++c) StringGrid2.SetColWidth(c, kTableWidths[static_cast<std::size_t>(c)]);
  StringGrid2.SetFixedCols(2);
  StringGrid2.SetFixedRows(1);
}

std::optional<std::string> TQel_Wirmap::ChooseUserTable() {
  if (!OpenDialog2.Execute(hwnd_)) return std::nullopt;
  return OpenDialog2.FileName;
}

std::optional<TableSaveChoice> TQel_Wirmap::ChooseTableSaveName() {
  if (!SaveDialog3.Execute(hwnd_)) return std::nullopt;
  return TableSaveChoice{SaveDialog3.FileName, SaveDialog3.FilterIndex};
}

}  // namespace qel
