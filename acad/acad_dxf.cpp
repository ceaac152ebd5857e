#include "acad/acad_dxf.h"

#include <cstdio>
#include <ctime>

#include "acad/page_layout.h"
#include "base/file_io.h"
#include "base/paths.h"
#include "dxf/preview_geometry.h"

namespace qel {

namespace {

// The layer each kind of drawing goes on. Colours and line weights tell
// them apart on screen and on paper; the supply bus is the heaviest line.
struct MeaningLayer {
  Meaning meaning;
  const char* name;
  int color;       // ACI
  int lineweight;  // hundredths of a millimetre
};
constexpr MeaningLayer kMeaningLayers[] = {
    {Meaning::SupplyBus, "BUS", 1, 70},        {Meaning::MainWiring, "WIRING", 7, 35},
    {Meaning::SignalWiring, "SIGNAL", 5, 25},  {Meaning::Symbol, "SYMBOL", 4, 25},
    {Meaning::CircuitText, "TEXT", 3, 18},     {Meaning::Frame, "FRAME", 8, 18},
    {Meaning::Sheet, "SHEET", 7, 50},
};

const char* LayerName(Meaning m) {
  for (const MeaningLayer& l : kMeaningLayers)
    if (l.meaning == m) return l.name;
  return "0";
}

// Every page has the layers, as above, whatever the template made of them.
void AddMeaningLayers(dxf::Drawing& page) {
  for (const MeaningLayer& m : kMeaningLayers) {
    dxf::Layer* layer = nullptr;
    for (dxf::Layer& l : page.layers)
      if (dxf::SameName(l.name, m.name)) layer = &l;
    if (!layer) {
      page.layers.push_back(dxf::Layer{});
      layer = &page.layers.back();
    }
    *layer = dxf::Layer{m.name, m.color, "CONTINUOUS", m.lineweight};
  }
}

// The drawing steps as entities on page drawings, each page starting as a
// copy of the template: what AutoCAD makes of the typed commands, entity
// for entity (current linetype on every entity, texts in the current style
// at its height and width, blocks by the template's own names).
class DxfPageSteps : public DrawingSteps {
 public:
  DxfPageSteps(const dxf::Drawing& templ, std::vector<dxf::Drawing>& pages) : templ_(templ), pages_(pages) {}

  void Launch() override {}
  void OsModeOff() override {}  // object snaps do not move typed coordinates
  void OpenTemplate() override {
    page_ = templ_;
    AddMeaningLayers(page_);
    linetype_ = "BYLAYER";
    style_ = "STANDARD";
  }
  void SetTextStyle() override {
    dxf::TextStyle* s = page_.FindStyle("STANDARD");
    if (!s) {
      page_.styles.push_back(dxf::TextStyle{});
      s = &page_.styles.back();
      s->name = "STANDARD";
    }
    s->font = "txt";
    s->bigFont = "extfont";
    s->height = 2.5;
    s->widthFactor = 0.8;
    s->oblique = 0;
    s->generation = 0;
    s->vertical = false;
    style_ = s->name;
  }
  void LineTypeCenter() override {
    // A template without it keeps the current linetype, as AutoCAD does.
    if (const dxf::Linetype* l = page_.FindLinetype("Center")) linetype_ = l->name;
  }
  void LineTypeByLayer() override { linetype_ = "BYLAYER"; }
  void SavePage(int) override { pages_.push_back(page_); }

  void Line(Meaning m, int x1, int y1, int x2, int y2) override {
    dxf::Entity e = New(dxf::EntityKind::Line, m);
    e.points = {P(x1, y1), P(x2, y2)};
    Add(std::move(e));
  }
  void LineAfterCancel(Meaning m, int x1, int y1, int x2, int y2) override { Line(m, x1, y1, x2, y2); }
  void Rectangle(Meaning m, int x1, int y1, int x2, int y2) override {
    dxf::Entity e = New(dxf::EntityKind::Polyline, m);
    e.closed = true;
    e.points = {P(x1, y1), P(x2, y1), P(x2, y2), P(x1, y2)};
    Add(std::move(e));
  }
  void Text(Meaning m, int x, int y, const std::string& text) override { PlaceText(m, x, y, text, 0); }
  void TextCentered(Meaning m, int x, int y, const std::string& text) override { PlaceText(m, x, y, text, 1); }
  void InsertBlock(Meaning m, int symbol, int x, int y) override {
    // An unknown code or a block the template lacks draws nothing.
    const std::string name = AcadBlockName(symbol);
    const dxf::Block* b = name.empty() ? nullptr : page_.FindBlock(name);
    if (!b) return;
    dxf::Entity e = New(dxf::EntityKind::Insert, m);
    e.points = {P(x, y)};
    e.text = b->name;
    Add(std::move(e));
  }

 private:
  static dxf::Point P(int x, int y) { return {static_cast<double>(x), static_cast<double>(y)}; }
  dxf::Entity New(dxf::EntityKind kind, Meaning m) const {
    dxf::Entity e;
    e.kind = kind;
    e.layer = LayerName(m);
    e.linetype = linetype_;
    return e;
  }
  void Add(dxf::Entity e) { page_.entities.push_back(std::move(e)); }
  void PlaceText(Meaning m, int x, int y, const std::string& text, int hAlign) {
    if (text.empty()) return;  // an empty text line ends TEXT without a text
    const dxf::TextStyle* s = page_.FindStyle(style_);
    dxf::Entity e = New(dxf::EntityKind::Text, m);
    e.points = {P(x, y)};
    e.alignment = P(x, y);
    e.hAlign = hAlign;
    e.text = text;
    e.style = s ? s->name : "STANDARD";
    e.height = s && s->height > 0 ? s->height : 2.5;
    e.widthFactor = s ? s->widthFactor : 1;
    // A centred text starts where AutoCAD would start it, for readers
    // that place every text by its start point.
    e.points[0] = dxf::TextStart(e);
    Add(std::move(e));
  }

  const dxf::Drawing& templ_;
  std::vector<dxf::Drawing>& pages_;
  dxf::Drawing page_;
  std::string linetype_ = "BYLAYER";
  std::string style_ = "STANDARD";
};

std::string FileList(const std::vector<std::string>& files) {
  std::string out;
  for (const std::string& f : files) out += "\r\n" + f;
  return out;
}

}  // namespace

std::vector<dxf::Drawing> LayOutDxfPages(const Grid& list, const dxf::Drawing& templ) {
  Grid snapshot = list;
  snapshot.SetOnChange(nullptr);
  std::vector<dxf::Drawing> pages;
  DxfPageSteps steps(templ, pages);
  PageLayout(steps, snapshot).MakeDrawing();
  return pages;
}

void FillTitleBlocks(std::vector<dxf::Drawing>& pages, const std::string& title, const std::string& date) {
  const std::string count = std::to_string(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::string page = std::to_string(i + 1) + " / " + count;
    for (dxf::Entity& e : pages[i].entities) {
      for (dxf::Entity& a : e.attributes) {
        if (dxf::SameName(a.tag, kTitleTag)) a.text = title;
        else if (dxf::SameName(a.tag, kPageTag)) a.text = page;
        else if (dxf::SameName(a.tag, kDateTag)) a.text = date;
      }
    }
  }
}

std::string TodayText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return buf;
}

namespace {

std::string TemplateProblemText(dxf::DxfReadProblem problem) {
  using P = dxf::DxfReadProblem;
  switch (problem) {
    case P::Missing: return "ファイルが見つからないか、開けません。";
    case P::NotDxf: return "DXF 形式のファイルではありません。";
    case P::TooLarge: return "ファイルが大きすぎます (4 MB まで)。";
    case P::BadLine: return "長すぎる行か、値 0 のバイトがあります。";
    case P::CountBeyondFile: return "頂点などの個数が、ファイルの残りに収まらない数になっています。";
    case P::NumberOutOfRange: return "座標や大きさに、数でない値か ±10000000 を超える値があります。";
    case P::TooManyEntities: return "図形や表の項目が多すぎます (100000 まで)。";
    case P::Unreadable:
    case P::None: break;
  }
  return "DXF ファイルとして読めません。";
}

std::string TemplateMessage(const std::string& path, const std::string& reason) {
  return "作図のテンプレートを読めません = " + path + "\r\n" + reason;
}

constexpr const char* kTooManyStrokes = "図形を展開すると多すぎます (ブロックの入れ子か、細かすぎる線種)。";

}  // namespace

bool ReadDrawingTemplate(const std::string& path, dxf::Drawing& out, std::string& message) {
  std::string error;  // the reader's English reason, for the stand-in: the user gets the Japanese one
  dxf::DxfReadProblem problem = dxf::DxfReadProblem::None;
  dxf::Drawing read;
  if (!dxf::ReadDxfFile(path, read, error, &problem)) {
    message = TemplateMessage(path, TemplateProblemText(problem));
    return false;
  }
  // Every page starts as a copy of it: a block that would flatten past a
  // page's budget is refused here, for the DXF pages as for the preview.
  if (!dxf::WithinFlattenBudget(read)) {
    message = TemplateMessage(path, kTooManyStrokes);
    return false;
  }
  out = std::move(read);
  return true;
}

bool PagesWithinFlattenBudget(const std::vector<dxf::Drawing>& pages, const std::string& templatePath,
                              std::string& message) {
  for (const dxf::Drawing& page : pages) {
    if (dxf::FlattenCost(page, page.entities) <= dxf::kFlattenBudget) continue;
    message = TemplateMessage(templatePath, kTooManyStrokes);
    return false;
  }
  return true;
}

std::string DxfPageFile(const std::string& baseName, int page) { return baseName + std::to_string(page) + ".dxf"; }

DxfWriteResult WriteDxfPages(const std::vector<dxf::Drawing>& pages, const std::string& baseName,
                             dxf::DxfVersion version) {
  DxfWriteResult result;
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::string file = DxfPageFile(baseName, static_cast<int>(i) + 1);
    try {
      // Written beside the target and then put in its place.
      ReplaceFileContents(file, dxf::DxfText(pages[i], version));
    } catch (const FileError& e) {
      result.failedFile = file;
      result.message = "DXFファイルを書けません = " + file + "\r\n" + e.what();
      if (!result.written.empty()) result.message += "\r\n\r\n書き出したページ:" + FileList(result.written);
      return result;
    }
    result.written.push_back(file);
  }
  result.message = std::to_string(result.written.size()) + " ページのDXFファイルを書き出しました。" +
                   FileList(result.written);
  return result;
}

std::vector<std::pair<std::string, std::string>> DxfSaveFilter() {
  return {{"DXF R2000 (*.dxf)", "*.dxf"}, {"DXF R12 (*.dxf)", "*.dxf"}};
}

dxf::DxfVersion DxfVersionOfFilter(int filterIndex) {
  return filterIndex == 2 ? dxf::DxfVersion::R12 : dxf::DxfVersion::R2000;
}

AcadDrawingPlan DxfPlanDrawing(const std::string& chosenPath) {
  AcadDrawingPlan plan = AcadPlanDrawing(chosenPath);
  plan.pageOneFile = DxfPageFile(plan.baseName, 1);
  return plan;
}

DxfDrawOutcome DxfDrawToFile(const Grid& list, const std::string& templatePath, const std::string& chosenPath,
                             int filterIndex, const std::function<bool(const std::string&)>& fileExists,
                             const std::function<bool(const std::string&, const std::string&)>& askYesNo,
                             const std::string& date) {
  DxfDrawOutcome outcome;
  const AcadDrawingPlan plan = DxfPlanDrawing(chosenPath);
  if (fileExists(plan.pageOneFile) && !askYesNo(plan.overwriteQuestion, kAcadOverwriteCaption)) return outcome;
  outcome.ran = true;
  dxf::Drawing templ;
  if (!ReadDrawingTemplate(templatePath, templ, outcome.message)) return outcome;
  std::vector<dxf::Drawing> pages = LayOutDxfPages(list, templ);
  FillTitleBlocks(pages, paths::FileName(plan.baseName), date);
  const DxfWriteResult written = WriteDxfPages(pages, plan.baseName, DxfVersionOfFilter(filterIndex));
  outcome.ok = written.Ok();
  outcome.message = written.message;
  const std::string note = UndrawnRowsNote(list);
  if (written.Ok() && !note.empty()) outcome.message += "\r\n\r\n" + note;
  return outcome;
}

}  // namespace qel
