#include "standin/acad/command_line.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/cp932.h"

namespace qel::acadstandin {
namespace {

constexpr const char* kCommandPrompt = "Command: ";
constexpr size_t kHistoryLines = 200;

std::string Number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  return buf;
}

bool IsOneOf(const std::string& upper, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (upper == w) return true;
  return false;
}

// Yes/No answers: empty keeps the default.
bool ParseYesNo(const std::string& token, bool defaultValue, bool& out) {
  std::string u = UpperAscii(token);
  if (u.empty()) { out = defaultValue; return true; }
  if (u == "Y" || u == "YES") { out = true; return true; }
  if (u == "N" || u == "NO") { out = false; return true; }
  return false;
}

std::string Unquote(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '"') out += c;
  return out;
}

struct Justification {
  const char* word;
  int h, v;
  const char* prompt;
};

const Justification kJustifications[] = {
    {"C", 1, 0, "Specify center point of text: "},
    {"CENTER", 1, 0, "Specify center point of text: "},
    {"M", 4, 0, "Specify middle point of text: "},
    {"MIDDLE", 4, 0, "Specify middle point of text: "},
    {"R", 2, 0, "Specify right endpoint of text baseline: "},
    {"RIGHT", 2, 0, "Specify right endpoint of text baseline: "},
    {"TL", 0, 3, "Specify top-left point of text: "},
    {"TC", 1, 3, "Specify top-center point of text: "},
    {"TR", 2, 3, "Specify top-right point of text: "},
    {"ML", 0, 2, "Specify middle-left point of text: "},
    {"MC", 1, 2, "Specify middle point of text: "},
    {"MR", 2, 2, "Specify middle-right point of text: "},
    {"BL", 0, 1, "Specify bottom-left point of text: "},
    {"BC", 1, 1, "Specify bottom-center point of text: "},
    {"BR", 2, 1, "Specify bottom-right point of text: "},
};

const Justification* FindJustification(const std::string& upper) {
  for (const Justification& j : kJustifications)
    if (upper == j.word) return &j;
  return nullptr;
}

}  // namespace

bool ParseNumber(const std::string& text, double& out) {
  if (text.empty()) return false;
  const char* begin = text.c_str();
  char* end = nullptr;
  double v = std::strtod(begin, &end);
  if (end != begin + text.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

bool ParsePoint(const std::string& text, const Point& last, Point& out) {
  std::string t = text;
  bool relative = !t.empty() && t[0] == '@';
  if (relative) t.erase(0, 1);
  size_t comma = t.find(',');
  if (comma == std::string::npos) return false;
  std::string xs = t.substr(0, comma), ys = t.substr(comma + 1);
  size_t comma2 = ys.find(',');
  double z = 0;
  if (comma2 != std::string::npos) {
    if (!ParseNumber(ys.substr(comma2 + 1), z)) return false;
    ys = ys.substr(0, comma2);
  }
  double x, y;
  if (!ParseNumber(xs, x) || !ParseNumber(ys, y)) return false;
  out = relative ? Point{last.x + x, last.y + y} : Point{x, y};
  return true;
}

CommandLine::CommandLine(FileHooks hooks, bool singleDrawing) : hooks_(std::move(hooks)), single_(singleDrawing) {
  auto doc = std::make_unique<Document>();
  doc->id = nextId_++;
  doc->name = "Drawing1.dwg";
  doc->drawing.AddDefaults();
  docs_.push_back(std::move(doc));
  prompt_ = kCommandPrompt;
}

void CommandLine::Activate(int index) {
  if (index < 0 || index >= static_cast<int>(docs_.size()) || index == active_) return;
  // A command belongs to the drawing it began in (LINE's Undo keeps that
  // drawing's entity positions): switching drawings cancels it.
  if (step_ != Step::Command) Cancel();
  active_ = index;
}

void CommandLine::Type(std::string_view bytes) {
  for (char c : bytes) Key(static_cast<unsigned char>(c));
}

void CommandLine::Key(unsigned char c) {
  bool afterCr = lastWasCr_;
  lastWasCr_ = false;
  if (lead_) {
    lead_ = false;
    if (cp932::IsTrailByte(c)) {   // second byte of a double-byte character
      input_ += static_cast<char>(c);
      return;
    }
    // A lead byte that no character follows is a blank: it must neither
    // swallow the Enter or cancel after it nor reach a drawing file alone.
    if (!input_.empty()) input_.back() = ' ';
  }
  if (cp932::IsLeadByte(c)) {
    lead_ = true;
    input_ += static_cast<char>(c);
    return;
  }
  switch (c) {
    case 3:
      Cancel();
      return;
    case '\r':
      lastWasCr_ = true;
      Enter();
      return;
    case '\n':
      if (!afterCr) Enter();       // CR LF is one Enter
      return;
    case '\b':
      if (!input_.empty()) input_.pop_back();
      return;
    case ' ':
      if (TextMode() || (FileNameMode() && quoted_)) input_ += ' ';
      else Enter();
      return;
    case '"':
      if (FileNameMode()) quoted_ = !quoted_;
      input_ += '"';
      return;
    default:
      if (c == '\t') { if (!TextMode()) Enter(); else input_ += ' '; return; }
      if (c < 0x20) return;        // other control characters type nothing
      input_ += static_cast<char>(c);
  }
}

void CommandLine::Enter() {
  lead_ = false;
  std::string token;
  token.swap(input_);
  quoted_ = false;
  Echo(token);
  Submit(token);
}

void CommandLine::Echo(const std::string& token) {
  history_.push_back(prompt_ + token);
  if (history_.size() > kHistoryLines) history_.erase(history_.begin());
}

void CommandLine::Message(const std::string& line) {
  history_.push_back(line);
  if (history_.size() > kHistoryLines) history_.erase(history_.begin());
  lastMessage_ = line;
}

void CommandLine::Cancel() {
  input_.clear();
  lead_ = false;
  quoted_ = false;
  if (step_ != Step::Command) Message("*Cancel*");
  Done();
}

void CommandLine::Go(Step step, const std::string& prompt) {
  step_ = step;
  prompt_ = prompt;
}

void CommandLine::Done() {
  step_ = Step::Command;
  prompt_ = kCommandPrompt;
}

void CommandLine::Add(Entity e) {
  Document& d = Active();
  e.linetype = d.linetype;
  d.drawing.entities.push_back(std::move(e));
  d.untouched = false;
}

std::string CommandLine::DefaultExtension(std::string path) const {
  size_t slash = path.find_last_of("\\/");
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) path += ".dwg";
  return path;
}

void CommandLine::StartCommand(const std::string& token) {
  std::string name = token;
  size_t skip = 0;
  while (skip < name.size() && (name[skip] == '.' || name[skip] == '_' || name[skip] == '\'')) ++skip;
  bool dash = skip < name.size() && name[skip] == '-';
  if (dash) ++skip;
  std::string u = UpperAscii(name.substr(skip));
  (void)dash;   // every command here runs on the command line, with or without the dash
  if (onCommand) onCommand(u);

  if (IsOneOf(u, {"FILEDIA", "OSMODE"})) {
    sysVar_ = u;
    int current = u == "FILEDIA" ? filedia_ : osmode_;
    Go(Step::SysVar, "Enter new value for " + u + " <" + std::to_string(current) + ">: ");
  } else if (IsOneOf(u, {"LINE", "L"})) {
    segments_.clear();
    Go(Step::LineFirst, "Specify first point: ");
  } else if (IsOneOf(u, {"RECTANG", "RECTANGLE", "REC"})) {
    Go(Step::RectFirst, "Specify first corner point or [Chamfer/Elevation/Fillet/Thickness/Width]: ");
  } else if (IsOneOf(u, {"TEXT", "DTEXT", "DT"})) {
    Document& d = Active();
    TextStyle* s = d.drawing.FindStyle(d.style);
    text_ = Entity{};
    text_.kind = EntityKind::Text;
    text_.style = s ? s->name : "STANDARD";
    text_.height = s && s->height > 0 ? s->height : 2.5;
    text_.widthFactor = s ? s->widthFactor : 1;
    Message("Current text style:  \"" + text_.style + "\"  Text height:  " + Number(text_.height));
    Go(Step::TextStart, "Specify start point of text or [Justify/Style]: ");
  } else if (IsOneOf(u, {"INSERT", "I", "DDINSERT"})) {
    insert_ = Entity{};
    insert_.kind = EntityKind::Insert;
    Go(Step::InsertName, "Enter block name or [?]" + (lastBlock_.empty() ? std::string() : " <" + lastBlock_ + ">") + ": ");
  } else if (u == "OPEN") {
    Go(Step::OpenName, "Enter name of drawing to open: ");
  } else if (u == "SAVEAS") {
    Message("Current file format: AutoCAD 2000 Drawing (written as DXF R2000)");
    Go(Step::SaveFormat, "Enter file format [R14/2000/DXF] <2000>: ");
  } else if (IsOneOf(u, {"STYLE", "ST"})) {
    Go(Step::StyleName, "Enter name of text style or [?] <" + Active().style + ">: ");
  } else if (IsOneOf(u, {"LINETYPE", "LT", "LTYPE"})) {
    Message("Current line type:  \"" + Active().linetype + "\"");
    Go(Step::LinetypeOption, "Enter an option [?/Create/Load/Set]: ");
  } else {
    Message("Unknown command \"" + UpperAscii(token) + "\".  Press F1 for help.");
    Done();
  }
}

void CommandLine::OpenDrawing(const std::string& rawPath) {
  std::string path = DefaultExtension(Unquote(rawPath));
  Drawing d;
  std::string error;
  if (!hooks_.read || !hooks_.read(path, d, error)) {
    Message("\"" + path + "\": " + (error.empty() ? std::string("Cannot open the drawing.") : error));
    return;
  }
  auto doc = std::make_unique<Document>();
  doc->id = nextId_++;
  doc->name = path;
  doc->drawing = std::move(d);
  doc->untouched = false;
  if (single_ || Active().untouched) {
    doc->id = Active().id;         // the same drawing window shows the new drawing
    docs_[active_] = std::move(doc);
  } else {
    docs_.push_back(std::move(doc));
    active_ = static_cast<int>(docs_.size()) - 1;
  }
  Message("Opening " + path);
}

void CommandLine::SaveDrawing(const std::string& rawPath) {
  std::string path = rawPath.empty() ? Active().name : DefaultExtension(Unquote(rawPath));
  std::string error;
  if (!hooks_.write || !hooks_.write(path, Active().drawing, error)) {
    Message("\"" + path + "\": " + (error.empty() ? std::string("Cannot write the drawing.") : error));
    return;
  }
  Active().name = path;
  Active().untouched = false;
  Message("Saved " + path + " (DXF R2000)");
}

void CommandLine::Submit(const std::string& token) {
  Document& doc = Active();
  Point p;
  double v;
  bool yes;
  switch (step_) {
    case Step::Command:
      if (!token.empty()) StartCommand(token);
      return;

    case Step::SysVar: {
      if (token.empty()) { Done(); return; }
      double value;
      int high = sysVar_ == "FILEDIA" ? 1 : 16383;
      if (!ParseNumber(token, value) || value != std::floor(value) || value < 0 || value > high) {
        Message("Requires an integer between 0 and " + std::to_string(high) + ".");
        return;                    // asks again
      }
      (sysVar_ == "FILEDIA" ? filedia_ : osmode_) = static_cast<int>(value);
      Done();
      return;
    }

    case Step::LineFirst:
      if (token.empty()) { Done(); return; }
      if (!ParsePoint(token, last_, p)) { Message("Invalid point."); return; }
      first_ = last_ = p;
      Go(Step::LineNext, "Specify next point or [Undo]: ");
      return;
    case Step::LineNext: {
      std::string u = UpperAscii(token);
      if (token.empty()) { Done(); return; }
      if (u == "U" || u == "UNDO") {
        if (!segments_.empty()) {
          doc.drawing.entities.erase(doc.drawing.entities.begin() + static_cast<long>(segments_.back()));
          segments_.pop_back();
          last_ = segments_.empty() ? first_ : doc.drawing.entities[segments_.back()].points[1];
        }
        return;
      }
      bool close = (u == "C" || u == "CLOSE") && segments_.size() >= 2;
      if (close) p = first_;
      else if (!ParsePoint(token, last_, p)) { Message("Invalid point or option keyword required."); return; }
      Entity e;
      e.kind = EntityKind::Line;
      e.points = {last_, p};
      Add(std::move(e));
      segments_.push_back(doc.drawing.entities.size() - 1);
      last_ = p;
      if (close) Done();
      else Go(Step::LineNext, segments_.size() >= 2 ? "Specify next point or [Close/Undo]: " : "Specify next point or [Undo]: ");
      return;
    }

    case Step::RectFirst:
      if (token.empty()) { Done(); return; }
      if (!ParsePoint(token, last_, p)) { Message("Invalid point or option keyword required."); return; }
      first_ = last_ = p;
      Go(Step::RectOther, "Specify other corner point: ");
      return;
    case Step::RectOther: {
      if (token.empty()) { Done(); return; }
      if (!ParsePoint(token, first_, p)) { Message("Invalid point."); return; }
      Entity e;
      e.kind = EntityKind::Polyline;
      e.closed = true;
      e.points = {first_, {p.x, first_.y}, p, {first_.x, p.y}};
      Add(std::move(e));
      last_ = p;
      Done();
      return;
    }

    case Step::TextStart: {
      std::string u = UpperAscii(token);
      if (token.empty()) { Done(); return; }
      if (u == "J" || u == "JUSTIFY") {
        Go(Step::TextJustify, "Enter an option [Align/Fit/Center/Middle/Right/TL/TC/TR/ML/MC/MR/BL/BC/BR]: ");
        return;
      }
      if (u == "S" || u == "STYLE") { Go(Step::TextStyleName, "Enter style name or [?] <" + text_.style + ">: "); return; }
      if (const Justification* j = FindJustification(u)) {
        text_.hAlign = j->h;
        text_.vAlign = j->v;
        Go(Step::TextPoint, j->prompt);
        return;
      }
      if (!ParsePoint(token, last_, p)) { Message("Invalid point or option keyword required."); return; }
      text_.points = {p};
      text_.alignment = p;
      TextStyle* s = doc.drawing.FindStyle(text_.style);
      if (s && s->height > 0) Go(Step::TextRotation, "Specify rotation angle of text <0>: ");
      else Go(Step::TextHeight, "Specify height <" + Number(text_.height) + ">: ");
      return;
    }
    case Step::TextStyleName: {
      if (!token.empty()) {
        TextStyle* s = doc.drawing.FindStyle(token);
        if (!s) { Message("Cannot find text style \"" + token + "\"."); return; }
        text_.style = s->name;
        if (s->height > 0) text_.height = s->height;
        text_.widthFactor = s->widthFactor;
      }
      Go(Step::TextStart, "Specify start point of text or [Justify/Style]: ");
      return;
    }
    case Step::TextJustify: {
      const Justification* j = FindJustification(UpperAscii(token));
      if (!j) { Message("Invalid option keyword."); return; }
      text_.hAlign = j->h;
      text_.vAlign = j->v;
      Go(Step::TextPoint, j->prompt);
      return;
    }
    case Step::TextPoint: {
      if (!ParsePoint(token, last_, p)) { Message("Invalid point."); return; }
      text_.points = {p};
      text_.alignment = p;
      TextStyle* s = doc.drawing.FindStyle(text_.style);
      if (s && s->height > 0) Go(Step::TextRotation, "Specify rotation angle of text <0>: ");
      else Go(Step::TextHeight, "Specify height <" + Number(text_.height) + ">: ");
      return;
    }
    case Step::TextHeight:
      if (!token.empty()) {
        if (!ParseNumber(token, v) || v <= 0) { Message("Requires a positive number."); return; }
        text_.height = v;
      }
      Go(Step::TextRotation, "Specify rotation angle of text <0>: ");
      return;
    case Step::TextRotation:
      if (!token.empty()) {
        if (!ParseNumber(token, v)) { Message("Requires a valid numeric angle."); return; }
        text_.rotation = v;
      }
      Go(Step::TextString, "Enter text: ");
      return;
    case Step::TextString: {
      if (token.empty()) { Done(); return; }   // an empty line ends TEXT
      Entity e = text_;
      e.text = token;
      Add(e);
      // The next line goes below this one, as a second Enter text would.
      double step = text_.height * 5.0 / 3.0;
      double a = text_.rotation * 3.14159265358979323846 / 180.0;
      for (Point* q : {&text_.points[0], &text_.alignment}) {
        q->x += step * std::sin(a);
        q->y -= step * std::cos(a);
      }
      return;
    }

    case Step::InsertName: {
      std::string name = token.empty() ? lastBlock_ : token;
      if (name.empty()) { Done(); return; }
      if (name == "?") {
        for (const Block& b : doc.drawing.blocks) Message("  \"" + b.name + "\"");
        return;
      }
      const Block* b = doc.drawing.FindBlock(name);
      if (!b) {
        Message("Block \"" + name + "\" not found in the drawing.");
        Done();
        return;
      }
      insert_.text = b->name;
      Go(Step::InsertPoint, "Specify insertion point or [Scale/X/Y/Z/Rotate/PScale/PX/PY/PZ/PRotate]: ");
      return;
    }
    case Step::InsertPoint:
      if (!ParsePoint(token, last_, p)) { Message("Invalid point or option keyword required."); return; }
      insert_.points = {p};
      last_ = p;
      Go(Step::InsertXScale, "Enter X scale factor, specify opposite corner, or [Corner/XYZ] <1>: ");
      return;
    case Step::InsertXScale:
      if (!token.empty()) {
        if (!ParseNumber(token, v) || v == 0) { Message("Requires a nonzero number."); return; }
        insert_.scaleX = v;
      }
      insert_.scaleY = insert_.scaleX;
      Go(Step::InsertYScale, "Enter Y scale factor <use X scale factor>: ");
      return;
    case Step::InsertYScale:
      if (!token.empty()) {
        if (!ParseNumber(token, v) || v == 0) { Message("Requires a nonzero number."); return; }
        insert_.scaleY = v;
      }
      Go(Step::InsertRotation, "Specify rotation angle <0>: ");
      return;
    case Step::InsertRotation:
      if (!token.empty()) {
        if (!ParseNumber(token, v)) { Message("Requires a valid numeric angle."); return; }
        insert_.rotation = v;
      }
      lastBlock_ = insert_.text;
      Add(insert_);
      Done();
      return;

    case Step::OpenName:
      if (Unquote(token).empty()) return;      // asks again
      Done();
      OpenDrawing(token);
      return;

    case Step::SaveFormat: {
      std::string u = UpperAscii(token);
      if (!u.empty() && !IsOneOf(u, {"R14", "2000", "DXF"})) { Message("Invalid option keyword."); return; }
      Go(Step::SaveName, "Save drawing as <" + doc.name + ">: ");
      return;
    }
    case Step::SaveName:
      Done();
      SaveDrawing(token);
      return;

    case Step::StyleName: {
      if (token == "?") {
        for (const TextStyle& s : doc.drawing.styles) Message("Style name: \"" + s.name + "\"  Font files: " + s.font);
        return;
      }
      std::string name = token.empty() ? doc.style : UpperAscii(token);
      TextStyle* existing = doc.drawing.FindStyle(name);
      style_ = existing ? *existing : TextStyle{};
      style_.name = existing ? existing->name : name;
      if (!existing) Message("New style.");
      std::string font = style_.font + (style_.bigFont.empty() ? "" : "," + style_.bigFont);
      Go(Step::StyleFont, "Specify full font name or font filename (TTF or SHX) <" + font + ">: ");
      return;
    }
    case Step::StyleFont:
      if (!token.empty()) {
        size_t comma = token.find(',');
        style_.font = token.substr(0, comma);
        style_.bigFont = comma == std::string::npos ? std::string() : token.substr(comma + 1);
      }
      Go(Step::StyleHeight, "Specify height of text <" + Number(style_.height) + ">: ");
      return;
    case Step::StyleHeight:
      if (!token.empty()) {
        if (!ParseNumber(token, v) || v < 0) { Message("Requires a positive number or zero."); return; }
        style_.height = v;
      }
      Go(Step::StyleWidth, "Specify width factor <" + Number(style_.widthFactor) + ">: ");
      return;
    case Step::StyleWidth:
      if (!token.empty()) {
        if (!ParseNumber(token, v) || v <= 0) { Message("Requires a positive number."); return; }
        style_.widthFactor = v;
      }
      Go(Step::StyleOblique, "Specify obliquing angle <" + Number(style_.oblique) + ">: ");
      return;
    case Step::StyleOblique:
      if (!token.empty()) {
        if (!ParseNumber(token, v) || std::fabs(v) > 85) { Message("Requires a number between -85 and 85."); return; }
        style_.oblique = v;
      }
      Go(Step::StyleBackwards, "Display text backwards? [Yes/No] <N>: ");
      return;
    case Step::StyleBackwards:
      if (!ParseYesNo(token, (style_.generation & 2) != 0, yes)) { Message("Invalid option keyword."); return; }
      style_.generation = (style_.generation & ~2) | (yes ? 2 : 0);
      Go(Step::StyleUpsideDown, "Display text upside-down? [Yes/No] <N>: ");
      return;
    case Step::StyleUpsideDown:
      if (!ParseYesNo(token, (style_.generation & 4) != 0, yes)) { Message("Invalid option keyword."); return; }
      style_.generation = (style_.generation & ~4) | (yes ? 4 : 0);
      Go(Step::StyleVertical, "Vertical? <N>: ");
      return;
    case Step::StyleVertical: {
      if (!ParseYesNo(token, style_.vertical, yes)) { Message("Invalid option keyword."); return; }
      style_.vertical = yes;
      if (TextStyle* existing = doc.drawing.FindStyle(style_.name)) *existing = style_;
      else doc.drawing.styles.push_back(style_);
      doc.style = style_.name;
      Message("\"" + style_.name + "\" is now the current text style.");
      Done();
      return;
    }

    case Step::LinetypeOption: {
      std::string u = UpperAscii(token);
      if (token.empty()) { Done(); return; }
      if (u == "S" || u == "SET") { Go(Step::LinetypeName, "Specify linetype name or [?] <" + doc.linetype + ">: "); return; }
      if (u == "?") {
        for (const Linetype& l : doc.drawing.linetypes) Message(l.name + "  " + l.description);
        return;
      }
      if (IsOneOf(u, {"L", "LOAD", "C", "CREATE"})) { Message("Linetype files are not available here."); return; }
      Message("Invalid option keyword.");
      return;
    }
    case Step::LinetypeName: {
      std::string u = UpperAscii(token);
      if (!token.empty()) {
        if (u == "BYLAYER" || u == "BYBLOCK") doc.linetype = u;
        else if (const Linetype* l = doc.drawing.FindLinetype(token)) doc.linetype = l->name;
        else Message("Linetype " + token + " not found.  Use the Load option to load it.");
      }
      Go(Step::LinetypeOption, "Enter an option [?/Create/Load/Set]: ");
      return;
    }
  }
}

}  // namespace qel::acadstandin
