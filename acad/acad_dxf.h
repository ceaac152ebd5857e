#pragma once
// The single-line diagram written as DXF pages by the program itself: the
// same page layout the AutoCAD job types, turned into entities on copies of
// the template drawing, and the "DXFで作図" command flow around it.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "acad/a_cad.h"
#include "base/grid.h"
#include "dxf/drawing.h"
#include "dxf/dxf_io.h"

namespace qel {

// The pages the AutoCAD job saves for this list, each a copy of the template
// drawing with what the job draws on that page. The list is copied first.
std::vector<dxf::Drawing> LayOutDxfPages(const Grid& list, const dxf::Drawing& templ);

// The title block fields a page fills in: attributes of the template's
// sheet insert, by tag. The others stay as the template gives them.
inline constexpr const char* kTitleTag = "TITLE";  // 図面名称
inline constexpr const char* kPageTag = "PAGE";    // 頁, "n / N"
inline constexpr const char* kDateTag = "DATE";    // 日付
// Page n of N gets "n / N", the date and the title.
void FillTitleBlocks(std::vector<dxf::Drawing>& pages, const std::string& title, const std::string& date);
// Today as the title block writes a date: 2025/04/01.
std::string TodayText();

// Reads the template drawing (AcadTemplatePath() in the program). False with
// a message for the user naming the file when it is missing or unreadable.
// The file's own bounds are the reader's; here the template is also refused
// when its model space or a block alone would flatten past a page's budget.
// The message is all Japanese: the file and what is wrong with it.
bool ReadDrawingTemplate(const std::string& path, dxf::Drawing& out, std::string& message);

// Whether every laid-out page flattens within a page's budget; false with
// the template message when one would not (many inserts of large blocks).
bool PagesWithinFlattenBudget(const std::vector<dxf::Drawing>& pages, const std::string& templatePath,
                              std::string& message);

// Page p of a drawing: base name + p + ".dxf".
std::string DxfPageFile(const std::string& baseName, int page);

struct DxfWriteResult {
  std::vector<std::string> written;  // the files written, page 1 first
  std::string failedFile;            // the file that could not be written; empty when all were
  std::string message;               // what the user is told, naming the files
  bool Ok() const { return failedFile.empty(); }
};

// Writes page p as DxfPageFile(baseName, p), each beside its target first and
// then put in its place, so that a failure leaves no half-written page (an
// existing file of that name stays as it was). Stops at the first failure.
DxfWriteResult WriteDxfPages(const std::vector<dxf::Drawing>& pages, const std::string& baseName,
                             dxf::DxfVersion version);

// ---- the drawing command of the main window ----

// The save dialog's file types, in this order; the 1-based filter index the
// user chose gives the version.
std::vector<std::pair<std::string, std::string>> DxfSaveFilter();
dxf::DxfVersion DxfVersionOfFilter(int filterIndex);
inline constexpr const char* kDxfMessageCaption = "DXFで作図";

// The AutoCAD job's plan (base name, question) with page 1 as base name + "1.dxf".
AcadDrawingPlan DxfPlanDrawing(const std::string& chosenPath);

struct DxfDrawOutcome {
  bool ran = false;     // false: the user answered No, nothing was read or written
  bool ok = false;
  std::string message;  // shown when it ran
};

// Everything after the save dialog: asks the overwrite question through
// `askYesNo(text, caption)` when `fileExists` finds page 1, then reads the
// template, lays out the list and writes the pages, titled with the file's
// base name and dated `date`. The message names the rows left undrawn.
DxfDrawOutcome DxfDrawToFile(const Grid& list, const std::string& templatePath, const std::string& chosenPath,
                             int filterIndex, const std::function<bool(const std::string&)>& fileExists,
                             const std::function<bool(const std::string&, const std::string&)>& askYesNo,
                             const std::string& date = TodayText());

}  // namespace qel
