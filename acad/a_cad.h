#pragma once
// a_cad: draws the circuit list in AutoCAD by typing into its command line.
// Every drawing action is one or more command texts, exactly as a user would
// key them, handed to the link component; the page layout walks the list
// grid eight circuits to a page and saves each page as a drawing file.
//
// The module is a set of plain procedures over one module state: the link
// component, the list grid, the type window's chosen entry, the program
// folder and the drawing base name. The main window fills it in once
// (AcadSetUp, AcadSetProgramFolder) and the drawing command sets the base
// name before each job. Nothing here checks what AutoCAD does with a text.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "acadlink/AcadLinkApi.h"
#include "base/grid.h"

namespace qel {

// ---- module state ----

// The link that carries every text, the circuit list the drawing reads, and
// where the type window's selected list index is read (it picks the insert
// word). The references must outlive every later call.
void AcadSetUp(AcadLinkApi& link, const Grid& list, std::function<int()> typeListIndex);
// Forgets the link and the list (the main window calls it when it closes).
void AcadTearDown();
void AcadSetProgramFolder(const std::string& folder);
const std::string& AcadProgramFolder();
// The template every page starts from: Data\Qel-Acad.DWG in the program folder.
std::string AcadTemplatePath();
void AcadSetDrawingBaseName(const std::string& baseName);
const std::string& AcadDrawingBaseName();

// ---- the command vocabulary ----

// The one way out: SendCommand(text, 0) on the link, result ignored; nothing
// is sent while no link is set up.
void AcadSend(const std::string& text);

// A path as AutoCAD's command line must get it: a blank would end the file
// name there, so a path with a blank goes in double quotes; any other path
// goes exactly as written.
std::string AcadCommandPath(const std::string& path);

void AcadOsModeOff();
void AcadSetTextStyle();
void AcadLineTypeCenter();
void AcadLineTypeByLayer();
void AcadOpenTemplate();
void AcadSavePage(int page);
// Starts (or attaches to) the chosen edition; sends no text. False when
// AutoCAD could not be started: it ended, or never showed its windows.
bool AcadLaunch();

void AcadLine(int x1, int y1, int x2, int y2);
void AcadRectangle(int x1, int y1, int x2, int y2);
void AcadText(int x, int y, const std::string& text);          // left-aligned
void AcadTextCentered(int x, int y, const std::string& text);  // centred on (x, y)
void AcadInsertBlock(int symbol, int x, int y);

// The template block a symbol code stands for; empty for an unknown code.
std::string AcadBlockName(int symbol);
// The insert command word for the type window's list index: the first three
// entries (NOACAD, LT95, LT97) and no choice at all take "._insert ", every
// later entry "-insert ".
std::string AcadInsertWord(int typeListIndex);

// ---- the page layout ----

void AcadDrawFrameLines();
void AcadDrawSupplyBus(int row);
void AcadDrawMotorDirect(int row, int breaker, int x);
void AcadDrawMotorReversing(int row, int breaker, int x);
void AcadDrawMotorStarDelta(int row, int breaker, int x);
void AcadDrawFeeder(int row, int breaker, int x);
void AcadDrawDigitalInput(int row, int typeCode, int receiver, int x);
void AcadDrawDigitalOutput(int row, int typeCode, int x);
void AcadDrawAnalogInput(int row, int typeCode, int rowKind, int x);
void AcadDrawAnalogOutput(int row, int typeCode, int x);
void AcadDrawWordInput(int row, int rowKind, int x);
void AcadDrawWordOutput(int row, int typeCode, int x);
// Rows 1 to 79 of the list, eight to a page, each page saved as
// base name + page + ".DWG"; stops at the first row with an empty NAME.
void AcadDrawList();
// The whole job: launch, template, settings, first frame lines, the list.
// False, with nothing sent, when AutoCAD could not be started.
bool AcadMakeDrawing();
inline constexpr const char* kAcadLaunchFailedMessage = "AutoCAD を起動できませんでした。作図を中止しました。";
inline constexpr const char* kAcadLaunchFailedCaption = "AutoCAD";

// ---- the drawing command of the main window ----

// The save dialog's filter list (description, pattern); it has no default
// extension, so a name typed without one stays as typed.
std::vector<std::pair<std::string, std::string>> AcadSaveFilter();
inline constexpr const char* kAcadOverwriteCaption = "確認";

// What the path chosen in the save dialog means for the job.
struct AcadDrawingPlan {
  std::string baseName;           // the path without the extension of its file name
  std::string pageOneFile;        // base name + "1.dwg": the only page looked for
  std::string overwriteQuestion;  // asked (Yes / No) when that file exists
};
AcadDrawingPlan AcadPlanDrawing(const std::string& chosenPath);

// Everything after the save dialog: sets the base name, asks the overwrite
// question through `askYesNo(text, caption)` when `fileExists` finds page 1,
// and runs AcadMakeDrawing unless the answer was No. True when it ran.
// When AutoCAD could not be started, `tell(text, caption)` says so: the
// job has queued nothing, so no delivery report would ever come.
bool AcadDrawToFile(const std::string& chosenPath, const std::function<bool(const std::string&)>& fileExists,
                    const std::function<bool(const std::string&, const std::string&)>& askYesNo,
                    const std::function<void(const std::string&, const std::string&)>& tell = nullptr);

}  // namespace qel
