#pragma once
// TQel_Wirmap, the main window: the motor and instrumentation selection,
// the circuit list, the equipment table and its maintenance view, the
// menus and the status-bar hints. The window only moves texts between its
// controls and the portable core; every decision is made there.
//
// Qel_Wirmap.cpp        creation, handlers, the equipment table host
// Qel_Wirmap_layout.cpp the regions, menus, dialogs and the bottom panels
// Qel_Wirmap_tabs.cpp   the three tab pages
// Qel_Wirmap_selection.cpp the motor and loop selection and the circuit list
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acad/AcadTool_Frame.h"
#include "acadlink/AcadCtrl_win.h"
#include "base/drawing_job.h"
#include "list/StrGrdIO.h"
#include "list/circuit_list.h"
#include "selection/equipment_table.h"
#include "selection/motor_selection.h"
#include "ui/AboutBox.h"
#include "ui/DrawingPreview.h"
#include "ui/Line.h"
#include "visio/e_visio_2.h"
#include "win32/containers.h"
#include "win32/controls.h"
#include "win32/dialogs.h"
#include "win32/first_use.h"
#include "win32/form.h"
#include "win32/menu.h"
#include "win32/string_grid.h"

namespace qel {

class TQel_Wirmap : public win::Form, private EquipmentTableHost {
 public:
  // Menu command ids. They are fixed so that a driver outside the process
  // can choose an entry by sending WM_COMMAND to the window.
  enum CommandId : UINT {
    kSave1 = 101, kLoad1, kExcel1, kExit1,
    kN7 = 111, kFuji1, kMel1, kDataload1, kN5, kN6,
    kDrowing1 = 121, kACADA, kAutoCadToolS1, kDXFX, kDrawingPreview,
    kPdfF = 126,
    kHelp2 = 131, kAbout1,
    kHint2 = 141,
    kN1 = 151, kN2,
  };

  TQel_Wirmap();
  ~TQel_Wirmap() override;

  // ---- state kept for the run ----
  const std::string& ProgramFolder() const { return programFolder_; }
  const EquipmentTables& Tables() const { return *tables_; }
  bool VisioOpenFailed = false;  // the last opening of the Visio documents failed

  // ---- menus ----
  win::MainMenu MainMenu1;
  win::MenuItem file1, save1, load1, Excel1, Exit1;
  win::MenuItem menu1, N7, fuji1, mel1, N3, dataload1, N4, N5, N6;
  win::MenuItem visio1, Drowing1, ACADA, DXFX, DrawingPreview, N8, AutoCadToolS1;
  win::MenuItem PdfF;  // "PDFで保存", after DXFX
  win::MenuItem help1, help2, About1;
  win::MenuItem hint1, hint2;
  win::PopupMenu PopupMenu1;
  win::MenuItem N1, N2;

  // ---- regions ----
  win::Panel Panel1;  // the thin strip at the top
  win::StatusBar StatusBar1;
  win::Panel Panel2;  // the bottom panel
  win::Panel Panel3;  // the left margin
  win::Panel Panel5;  // the right-hand panel: the maintenance view
  win::Splitter Splitter2;
  win::Panel Panel4;  // the work area
  win::Panel Panel6, Panel7, Panel8;

  // ---- Panel6: voltage, output, name, options, buttons ----
  win::GroupBox GroupBox2;
  win::RadioButton RadioButton1, RadioButton2;
  win::Label Label1, Label12;
  win::ComboBox ComboBox1;
  win::Edit Edit1;
  win::CheckBox CheckBox1, CheckBox2;
  win::Button Button1, Button4, Button3, Button7;

  // ---- Panel7: the tab pages ----
  win::PageControl PageControl1;
  win::TabSheet TabSheet1, TabSheet2, TabSheet3;
  // direct-on-line
  win::GroupBox GroupBox1, GroupBox3, GroupBox4, GroupBox5;
  win::Label Label13, Label15, Label17, Label19, Label21, Label22, Label24, Label26;
  win::CheckBox CheckBox3, CheckBox4;
  // star-delta
  win::GroupBox GroupBox6, GroupBox7, GroupBox8, GroupBox9;
  win::Label Label7, Label29, Label45, Label46, Label31, Label33, Label37, Label38, Label40;
  win::Label Label42, Label47, Label48, Label49, Label50;
  // instrumentation
  win::ComboBox ComboBox19, ComboBox20, ComboBox21;
  win::ComboBox ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6;
  win::Label Label74;

  // ---- Panel8: the circuit list ----
  win::StringGrid StringGrid1;
  // The rows StringGrid1 shows, with the write position that Edit2 mirrors.
  CircuitList CircuitList1{StringGrid1.Cells()};
  // The write position read as a number.
  struct WritePositionView {
    const CircuitList& list;
    operator int() const { return list.WritePosition(); }
  };
  const WritePositionView WritePosition{CircuitList1};

  // ---- the bottom panel ----
  win::Picture Image1;
  win::Label Label57, Label64, Label63;
  win::Edit Edit2;
  win::Panel Panel9;

  // ---- the maintenance view ----
  win::Panel Panel10;
  win::Button Button5, Button6;
  win::CheckBox CheckBox5;
  win::StringGrid StringGrid2;

  // ---- non-visual parts ----
  TStringGridIO StringGridIO1;  // the circuit list
  TStringGridIO StringGridIO2;  // the equipment table
  // The link to AutoCAD, for the whole run: the edition the drawing starts
  // is chosen in the type selection window.
  TAcadControl AcadControl1;
  // The edition choice, decided at start-up (the preselected edition and
  // Label57's sentence) and changed in the type selection window.
  AcadTypeChoice AcadTypeChoice1{AcadControl1};
  // The Visio module and the objects it keeps from one drawing to the next;
  // released with the window, while COM is still initialised.
  VisioModule Visio;
  win::FileDialog SaveDialog1{win::FileDialog::Kind::Save};
  win::FileDialog OpenDialog1{win::FileDialog::Kind::Open};
  win::FileDialog SaveDialog2{win::FileDialog::Kind::Save};
  win::FileDialog OpenDialog2{win::FileDialog::Kind::Open};
  win::FileDialog SaveDialog3{win::FileDialog::Kind::Save};

  // ---- the secondary windows, each made the first time it is shown ----
  win::MadeOnFirstUse<TAboutBox> AboutBox;  // the help menu's version window
  win::MadeOnFirstUse<TLINE> LINE;          // the wire-size legend of the star-delta page
  win::MadeOnFirstUse<TAcadTool_Frame> AcadTool_Frame;  // the AutoCAD edition choice
  win::MadeOnFirstUse<TDrawingPreview> PreviewForm;  // the drawing preview

  // ---- handlers ----
  void FormCreate();
  void save1Click();
  void load1Click();
  void Excel1Click();
  void exit1Click();
  void N7Click();
  void fuji1Click();
  void mel1Click();
  void dataload1Click();
  void Button1Click();
  void Button4Click();
  void Button3Click();
  void Button7Click();
  void Drowing1Click();
  void ACADAClick();
  void DXFXClick();
  void DrawingPreviewClick();
  void PdfFClick();
  // The save dialog and the PDF file for these pages (the list's, or the
  // ones the preview shows).
  void SavePdf(HWND owner, const std::function<bool(std::vector<dxf::Drawing>&, std::string&)>& makeDrawings,
               const std::string& note = "");
  void AutoCadToolS1Click();
  void About1Click();
  void hint2Click();
  void Panel9Click();
  void StringGrid1Click();
  void Edit2Change();
  void ComboBox1Change();
  void GroupBox2Click();
  void RadioButton1Click();
  void RadioButton2Click();
  void CheckBox2Click();
  void PageControl1Change();
  void TabSheet3Show();
  void TabSheet3Hide();
  void CheckBox3Click();
  void CheckBox4Click();
  void GroupBox9Click();
  void GroupBox5Click();
  void ComboBox19Change();
  void ComboBox2Change();
  void CheckBox5Click();
  void Button5Click();
  void Button6Click();

  // The application's hint, shown in the status bar while hint2 is ticked.
  void DisplayHint();

  // Every drawing command runs its work through here: `job` runs unless a
  // drawing job is running already, in which case the user is told so and
  // nothing else happens.
  void RunDrawingJob(const std::function<void()>& job);

 private:
  // Layout (Qel_Wirmap_layout.cpp, Qel_Wirmap_tabs.cpp).
  void CreateMenus();
  void CreateRegions();
  void CreatePanel6();
  void CreateBottomPanel();
  void CreateMaintenanceView();
  void CreateDialogs();
  void CreateTabSheet1();
  void CreateTabSheet2();
  void CreateTabSheet3();
  void WireEvents();
  static HICON ProgramIcon();
  // A fixed caption: a label that no code changes after it is made.
  win::Label& Caption(win::Wnd& parent, const std::string& text, int x, int y, int fontHeight = 0);
  std::deque<win::Label> captions_;

  // Selection and list glue (Qel_Wirmap_selection.cpp).
  WorkTab ActiveTab() const;
  void ShowMotorRecord(const MotorRecord& record);
  void SetListColumnWidths(ListLayout layout);
  void ShowDrawingOptions(const DrawingOptions& options);
  void ShowMotorOnlyControls(bool visible);
  static void ApplyDeviceList(win::ComboBox& list, const DeviceListUpdate& update);
  ListEntryInputs ListEntry() const;
  void ShowWriteOutcome(const WriteOutcome& outcome);
  void ShowWritePosition();
  void ShowUserMessage(const UserMessage& message);

  // EquipmentTableHost
  bool LoadTableFile(const std::string& path) override;
  void SaveTableFile(const std::string& path) override;
  void ShowFileError(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void RunMotorLookUp() override;
  std::string ReadRememberedName() override;
  void RememberName(const std::string& name) override;
  void ShowMenuTicks(const TableMenuTicks& ticks) override;
  void ShowTableLabel(const std::string& text) override;
  void SwitchEditingOff() override;
  void LayOutTableGrid() override;
  std::optional<std::string> ChooseUserTable() override;
  std::optional<TableSaveChoice> ChooseTableSaveName() override;

  std::string SetupIniPath() const;
  // The AutoCAD drawing command's work, run as a drawing job.
  void DrawInAcad();

  std::string programFolder_;
  DrawingJobs drawingJobs_;
  std::unique_ptr<EquipmentTables> tables_;
  // The last motor look-up: the labels show it, rows are composed from it.
  MotorSelection motor_;
};

}  // namespace qel
