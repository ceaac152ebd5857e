// The stand-in's windows: an MDI frame shaped the way AutoCAD's is seen
// from outside (classes, titles, child order), a drawing window per open
// drawing with its view, and the command windows whose prompt and input
// children answer WM_GETTEXT with the current prompt line and input while
// their titles stay fixed. Typed input arrives as WM_COPYDATA (identifier 1)
// at the frame or as WM_CHAR at the view and the command windows.
#include <windows.h>

#include <cmath>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "standin/acad/command_line.h"
#include "dxf/dxf_io.h"

using namespace qel::acadstandin;
using qel::dxf::ReadDxfFile;
using qel::dxf::WriteDxfFile;

namespace {

constexpr wchar_t kFrameClass[] = L"Afx:400000:b:10011:6:3be0579";
constexpr wchar_t kDrawingClass[] = L"Afx:400000:3:10011:0:0";
constexpr wchar_t kFrameOrViewClass[] = L"AfxFrameOrView42";
constexpr wchar_t kControlBarClass[] = L"AfxControlBar42";
constexpr wchar_t kBarClass[] = L"AfxWnd42";
constexpr wchar_t kStatusClass[] = L"AcStandinStatus";
// Byte windows: what they answer to WM_GETTEXT, and the WM_CHAR they take,
// are code page 932 bytes, so these classes are registered as ANSI classes.
constexpr char kViewClass[] = "AcStaticViewClass";
constexpr char kCmdClass[] = "AcCommandWindow";
constexpr char kPromptClass[] = "AcCommandPrompt";
constexpr char kInputClass[] = "AcCommandInput";

constexpr int kStatusHeight = 20;
constexpr int kCmdFrameHeight = 68;
constexpr int kBarHeight = 40;
constexpr int kLineHeight = 16;

struct Role {
  const wchar_t* name;     // start of the frame title
  bool controlBar;         // the 2000-era editions dock the command line in a control bar
  bool profiles;           // reads its single-drawing setting from the profile
};
const Role kRole2000{L"AutoCAD 2000", true, true};
const Role kRoleLt98{L"AutoCAD LT 98", false, false};
const Role kRoleLt97{L"AutoCAD LT 97", false, false};

struct App {
  const Role* role = &kRole2000;
  CommandLine* cl = nullptr;
  HWND frame = nullptr, mdiClient = nullptr, cmdFrame = nullptr, controlBar = nullptr, bar = nullptr, status = nullptr;
  std::vector<HWND> cmdWindows, prompts, inputs;
  std::map<int, HWND> drawingWindows;        // document id -> drawing window
  bool syncing = false;
  HANDLE messageFile = INVALID_HANDLE_VALUE;
  std::string freezeCommand;  // QEL_ACAD_FREEZE: the command after which ...
  DWORD freezeMs = 0;         // ... the window thread stops answering this long
  bool freezePending = false;
} g;

constexpr UINT kFreezeMessage = WM_APP + 0x51;

std::wstring Wide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(932, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring BaseName(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return Wide(slash == std::string::npos ? path : path.substr(slash + 1));
}

// ---- the view: the active drawing, fitted into the window ----

struct Transform {     // world = a*x + b*y + c, d*x + e*y + f
  double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;
  Point Apply(Point p) const { return {a * p.x + b * p.y + c, d * p.x + e * p.y + f}; }
  Transform Then(const Transform& outer) const {   // outer after this
    Transform r;
    r.a = outer.a * a + outer.b * d;
    r.b = outer.a * b + outer.b * e;
    r.c = outer.a * c + outer.b * f + outer.c;
    r.d = outer.d * a + outer.e * d;
    r.e = outer.d * b + outer.e * e;
    r.f = outer.d * c + outer.e * f + outer.f;
    return r;
  }
  double Scale() const { return std::sqrt(std::fabs(a * e - b * d)); }
  double Angle() const { return std::atan2(d, a) * 180.0 / 3.14159265358979323846; }
};

Transform InsertTransform(const Entity& ins, const Block& block) {
  double r = ins.rotation * 3.14159265358979323846 / 180.0;
  double cs = std::cos(r), sn = std::sin(r);
  Transform t;
  t.a = cs * ins.scaleX; t.b = -sn * ins.scaleY;
  t.d = sn * ins.scaleX; t.e = cs * ins.scaleY;
  Point base = block.base;
  t.c = ins.points[0].x - (t.a * base.x + t.b * base.y);
  t.f = ins.points[0].y - (t.d * base.x + t.e * base.y);
  return t;
}

// Visits every entity drawn, block references expanded. Nesting and the
// number of visits are bounded: a block that (indirectly) holds itself
// must not hang the painting.
template <class Visit>
void Walk(const Drawing& d, const std::vector<Entity>& list, const Transform& t, int depth, long& budget, Visit&& visit) {
  for (const Entity& e : list) {
    if (--budget < 0) return;
    if (e.kind == EntityKind::Insert) {
      const Block* b = d.FindBlock(e.text);
      if (b && depth < 8 && !e.points.empty())
        Walk(d, b->entities, InsertTransform(e, *b).Then(t), depth + 1, budget, visit);
    } else {
      visit(e, t);
    }
  }
}

template <class Visit>
void Walk(const Drawing& d, Visit&& visit) {
  long budget = 200000;
  Walk(d, d.entities, Transform{}, 0, budget, visit);
}

// The polyline's outline with its arc segments (bulges) as short chords.
std::vector<Point> ArcPoints(const Entity& e) {
  std::vector<Point> out;
  size_t n = e.points.size();
  size_t segments = e.kind == EntityKind::Polyline && e.closed ? n : (n ? n - 1 : 0);
  if (n) out.push_back(e.points[0]);
  for (size_t i = 0; i < segments; ++i) {
    Point p0 = e.points[i], p1 = e.points[(i + 1) % n];
    double b = i < e.bulges.size() ? e.bulges[i] : 0;
    double cx = p1.x - p0.x, cy = p1.y - p0.y, len = std::hypot(cx, cy);
    if (std::fabs(b) > 1e-9 && len > 0) {
      double off = len * (1 - b * b) / (4 * b);
      Point centre{(p0.x + p1.x) / 2 - cy / len * off, (p0.y + p1.y) / 2 + cx / len * off};
      double r = std::hypot(p0.x - centre.x, p0.y - centre.y);
      double a0 = std::atan2(p0.y - centre.y, p0.x - centre.x), sweep = 4 * std::atan(b);
      for (int k = 1; k < 16; ++k)
        out.push_back({centre.x + r * std::cos(a0 + sweep * k / 16), centre.y + r * std::sin(a0 + sweep * k / 16)});
    }
    out.push_back(p1);
  }
  return out;
}

void PaintView(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (!g.cl) { EndPaint(hwnd, &ps); return; }
  const Document& doc = *g.cl->Documents()[static_cast<size_t>(g.cl->ActiveIndex())];
  const Drawing& d = doc.drawing;

  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  Walk(d, [&](const Entity& e, const Transform& t) {
    for (const Point& p : e.points) {
      Point w = t.Apply(p);
      double r = (e.kind == EntityKind::Circle || e.kind == EntityKind::Arc) ? e.radius * t.Scale() : 0;
      minX = std::min(minX, w.x - r); maxX = std::max(maxX, w.x + r);
      minY = std::min(minY, w.y - r); maxY = std::max(maxY, w.y + r);
    }
  });
  if (minX > maxX) { minX = 0; minY = 0; maxX = 420; maxY = 297; }   // an empty sheet
  double w = std::max(maxX - minX, 1.0), h = std::max(maxY - minY, 1.0);
  double cw = std::max<LONG>(rc.right - 20, 10), ch = std::max<LONG>(rc.bottom - 20, 10);
  double scale = std::min(cw / w, ch / h);
  auto toScreen = [&](Point p) {
    return POINT{static_cast<LONG>(10 + (p.x - minX) * scale), static_cast<LONG>(rc.bottom - 10 - (p.y - minY) * scale)};
  };

  HPEN solid = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
  HPEN dashed = CreatePen(PS_DASHDOT, 1, RGB(255, 255, 0));
  HGDIOBJ oldPen = SelectObject(dc, solid);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  Walk(d, [&](const Entity& e, const Transform& t) {
    SelectObject(dc, UpperAscii(e.linetype) == "BYLAYER" || UpperAscii(e.linetype) == "CONTINUOUS" ? solid : dashed);
    switch (e.kind) {
      case EntityKind::Line:
      case EntityKind::Polyline: {
        std::vector<POINT> pts;
        for (const Point& p : ArcPoints(e)) pts.push_back(toScreen(t.Apply(p)));
        HPEN wide = nullptr;
        if (e.width > 0) {
          wide = CreatePen(PS_SOLID, std::max(1, static_cast<int>(e.width * t.Scale() * scale)), RGB(255, 255, 255));
          SelectObject(dc, wide);
        }
        if (pts.size() >= 2) Polyline(dc, pts.data(), static_cast<int>(pts.size()));
        if (wide) {
          SelectObject(dc, solid);
          DeleteObject(wide);
        }
        break;
      }
      case EntityKind::Circle:
      case EntityKind::Arc: {
        POINT c = toScreen(t.Apply(e.points[0]));
        int r = std::max(1, static_cast<int>(e.radius * t.Scale() * scale));
        if (e.kind == EntityKind::Circle) {
          Ellipse(dc, c.x - r, c.y - r, c.x + r + 1, c.y + r + 1);
        } else {
          double a1 = (e.startAngle + t.Angle()) * 3.14159265358979323846 / 180.0;
          double a2 = (e.endAngle + t.Angle()) * 3.14159265358979323846 / 180.0;
          SetArcDirection(dc, AD_COUNTERCLOCKWISE);
          Arc(dc, c.x - r, c.y - r, c.x + r + 1, c.y + r + 1, c.x + static_cast<int>(r * std::cos(a1)),
              c.y - static_cast<int>(r * std::sin(a1)), c.x + static_cast<int>(r * std::cos(a2)),
              c.y - static_cast<int>(r * std::sin(a2)));
        }
        break;
      }
      case EntityKind::Text: {
        bool aligned = e.hAlign != 0 || e.vAlign != 0;
        POINT p = toScreen(t.Apply(aligned ? e.alignment : e.points[0]));
        int px = std::max(1, static_cast<int>(e.height * t.Scale() * scale));
        HFONT font = CreateFontW(-px, static_cast<int>(px * e.widthFactor / 2), static_cast<int>((e.rotation + t.Angle()) * 10),
                                 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, L"MS Gothic");
        HGDIOBJ oldFont = SelectObject(dc, font);
        UINT align = TA_BASELINE | (e.hAlign == 1 || e.hAlign == 4 ? TA_CENTER : e.hAlign == 2 ? TA_RIGHT : TA_LEFT);
        SetTextAlign(dc, align);
        std::wstring text = Wide(e.text);
        TextOutW(dc, p.x, p.y, text.c_str(), static_cast<int>(text.size()));
        SelectObject(dc, oldFont);
        DeleteObject(font);
        break;
      }
      case EntityKind::Solid: {
        std::vector<POINT> pts;
        for (const Point& p : e.points) pts.push_back(toScreen(t.Apply(p)));
        if (pts.size() >= 3) Polygon(dc, pts.data(), static_cast<int>(pts.size()));
        break;
      }
      case EntityKind::AttDef:  // shown only through an insert's values
      case EntityKind::Insert:
        break;
    }
  });
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(solid);
  DeleteObject(dashed);
  EndPaint(hwnd, &ps);
}

// ---- keeping the windows in step with the command line ----

void Refresh();

void TypeBytes(const std::string& bytes) {
  if (!g.cl) return;
  try {
    g.cl->Type(bytes);
  } catch (const std::exception& e) {
    // A fault in one command must not take the program down: the command
    // is dropped and the prompt comes back.
    g.cl->Key(3);
    SetWindowTextW(g.status, (L"Internal error: " + Wide(e.what())).c_str());
  }
  Refresh();
  // The freeze comes once the input has been taken, as a real AutoCAD
  // goes quiet after it has accepted OPEN and starts loading.
  if (g.freezePending && g.frame) {
    g.freezePending = false;
    PostMessageW(g.frame, kFreezeMessage, 0, 0);
  }
}

// Test switch QEL_ACAD_FREEZE=<command>:<seconds> (e.g. OPEN:8): after each
// such command is typed the window thread answers nothing for that long.
void ReadFreezeSwitch() {
  wchar_t value[64] = {};
  const DWORD n = GetEnvironmentVariableW(L"QEL_ACAD_FREEZE", value, 64);
  if (n == 0 || n >= 64) return;
  const std::wstring text(value, n);
  const size_t colon = text.find(L':');
  if (colon == std::wstring::npos || colon == 0) return;
  const unsigned long seconds = wcstoul(text.c_str() + colon + 1, nullptr, 10);
  if (seconds == 0 || seconds > 3600) return;
  for (wchar_t c : text.substr(0, colon)) g.freezeCommand += static_cast<char>(c >= L'a' && c <= L'z' ? c - 32 : c);
  g.freezeMs = static_cast<DWORD>(seconds * 1000);
}

void SyncDrawingWindows() {
  g.syncing = true;
  const auto& docs = g.cl->Documents();
  std::map<int, HWND> keep;
  for (const auto& doc : docs) {
    auto it = g.drawingWindows.find(doc->id);
    HWND child;
    if (it == g.drawingWindows.end()) {
      MDICREATESTRUCTW mcs{};
      std::wstring title = BaseName(doc->name);
      mcs.szClass = kDrawingClass;
      mcs.szTitle = title.c_str();
      mcs.hOwner = GetModuleHandleW(nullptr);
      mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
      mcs.style = WS_MAXIMIZE;
      child = reinterpret_cast<HWND>(SendMessageW(g.mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    } else {
      child = it->second;
      std::wstring title = BaseName(doc->name);
      wchar_t current[512] = {};
      GetWindowTextW(child, current, 512);
      if (title != current) SetWindowTextW(child, title.c_str());
      g.drawingWindows.erase(it);
    }
    SetWindowLongPtrW(child, GWLP_USERDATA, doc->id);
    keep[doc->id] = child;
  }
  for (auto& [id, child] : g.drawingWindows) SendMessageW(g.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
  g.drawingWindows = keep;
  HWND active = keep[docs[static_cast<size_t>(g.cl->ActiveIndex())]->id];
  if (reinterpret_cast<HWND>(SendMessageW(g.mdiClient, WM_MDIGETACTIVE, 0, 0)) != active)
    SendMessageW(g.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(active), 0);
  g.syncing = false;
}

void Refresh() {
  SyncDrawingWindows();
  SetWindowTextW(g.status, Wide(g.cl->LastMessage()).c_str());
  for (HWND w : g.cmdWindows) InvalidateRect(w, nullptr, TRUE);
  for (HWND w : g.prompts) InvalidateRect(w, nullptr, TRUE);
  for (HWND w : g.inputs) InvalidateRect(w, nullptr, TRUE);
  for (auto& [id, child] : g.drawingWindows)
    if (HWND view = GetWindow(child, GW_CHILD)) InvalidateRect(view, nullptr, TRUE);
}

// ---- window procedures ----

// WM_GETTEXT in bytes: the prompt window answers the prompt line, the input
// window what has been typed; both keep their titles for GetWindowText
// from other processes, which reads the title without asking the window.
LRESULT AnswerText(const std::string& text, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
  size_t room = static_cast<size_t>(wp);
  char* out = reinterpret_cast<char*>(lp);
  if (!out || room == 0) return 0;
  size_t n = std::min(text.size(), room - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<LRESULT>(n);
}

void PaintLine(HWND hwnd, const std::string& text, COLORREF color) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  std::wstring w = Wide(text);
  TextOutW(dc, 2, 1, w.c_str(), static_cast<int>(w.size()));
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

// The prompt and input lines: each answers WM_GETTEXT with its current line
// (its title stays fixed), takes typed characters, and paints the line.
LRESULT CommandLineProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool input) {
  const auto line = [input] { return !g.cl ? std::string() : input ? g.cl->Input() : g.cl->Prompt(); };
  switch (msg) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      return AnswerText(line(), msg, wp, lp);
    case WM_CHAR:
      TypeBytes(std::string(1, static_cast<char>(wp)));
      return 0;
    case WM_LBUTTONDOWN:
      if (!input) break;
      SetFocus(hwnd);
      return 0;
    case WM_PAINT:
      if (input) PaintLine(hwnd, line() + "_", RGB(0, 0, 128));
      else PaintLine(hwnd, line(), RGB(0, 0, 0));
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK PromptProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return CommandLineProc(hwnd, msg, wp, lp, false);
}

LRESULT CALLBACK InputProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return CommandLineProc(hwnd, msg, wp, lp, true);
}

// The command window: the history above, the prompt and input line below.
LRESULT CALLBACK CmdProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE: {
      int w = LOWORD(lp), h = HIWORD(lp);
      HWND prompt = FindWindowExA(hwnd, nullptr, kPromptClass, nullptr);
      HWND input = FindWindowExA(hwnd, nullptr, kInputClass, nullptr);
      int pw = w * 3 / 5;
      MoveWindow(prompt, 0, h - kLineHeight - 2, pw, kLineHeight + 2, TRUE);
      MoveWindow(input, pw, h - kLineHeight - 2, w - pw, kLineHeight + 2, TRUE);
      return 0;
    }
    case WM_CHAR:
      TypeBytes(std::string(1, static_cast<char>(wp)));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      if (g.cl) {
        const auto& history = g.cl->History();
        int rows = std::max(0, static_cast<int>((rc.bottom - kLineHeight - 2) / kLineHeight));
        size_t first = history.size() > static_cast<size_t>(rows) ? history.size() - static_cast<size_t>(rows) : 0;
        int y = 0;
        for (size_t i = first; i < history.size(); ++i, y += kLineHeight) {
          std::wstring w = Wide(history[i]);
          TextOutW(dc, 2, y, w.c_str(), static_cast<int>(w.size()));
        }
      }
      SelectObject(dc, old);
      EndPaint(hwnd, &ps);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CHAR:
      TypeBytes(std::string(1, static_cast<char>(wp)));
      return 0;
    case WM_PAINT:
      PaintView(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// A plain container that lays its single child over its client area (or,
// for the control bar, leaves a small border around it).
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SIZE) {
    int border = GetWindowLongPtrW(hwnd, GWLP_USERDATA) ? 3 : 0;
    if (HWND child = GetWindow(hwnd, GW_CHILD))
      MoveWindow(child, border, border, LOWORD(lp) - 2 * border, HIWORD(lp) - 2 * border, TRUE);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK StatusProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    PaintLine(hwnd, Narrow(text), RGB(0, 0, 0));
    return 0;
  }
  if (msg == WM_SETTEXT) {
    LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
    InvalidateRect(hwnd, nullptr, TRUE);
    return r;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK DrawingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      CreateWindowExA(0, kViewClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd, nullptr,
                      GetModuleHandleW(nullptr), nullptr);
      break;
    case WM_SIZE:
      if (HWND view = GetWindow(hwnd, GW_CHILD)) MoveWindow(view, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      break;   // DefMDIChildProc must see WM_SIZE too
    case WM_MDIACTIVATE:
      if (!g.syncing && g.cl && reinterpret_cast<HWND>(lp) == hwnd) {
        int id = static_cast<int>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        const auto& docs = g.cl->Documents();
        for (size_t i = 0; i < docs.size(); ++i)
          if (docs[i]->id == id) g.cl->Activate(static_cast<int>(i));
      }
      break;
    case WM_CLOSE:
      return 0;   // drawings stay open: there is no CLOSE command to save them first
  }
  return DefMDIChildProcW(hwnd, msg, wp, lp);
}

void Layout(int w, int h) {
  int y = h - kStatusHeight;
  MoveWindow(g.status, 0, y, w, kStatusHeight, TRUE);
  y -= kCmdFrameHeight;
  MoveWindow(g.cmdFrame, 0, y, w, kCmdFrameHeight, TRUE);
  y -= kBarHeight;
  MoveWindow(g.controlBar ? g.controlBar : g.bar, 0, y, w, kBarHeight, TRUE);
  MoveWindow(g.mdiClient, 0, 0, w, std::max(0, y), TRUE);
}

HWND MakeCommandWindow(HWND parent) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  HWND cmd = CreateWindowExA(0, kCmdClass, "Marin", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10, parent,
                             nullptr, inst, nullptr);
  HWND prompt = CreateWindowExA(0, kPromptClass, "Headlands", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, cmd, nullptr, inst, nullptr);
  HWND input = CreateWindowExA(0, kInputClass, "MountTam", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, cmd, nullptr, inst, nullptr);
  g.cmdWindows.push_back(cmd);
  g.prompts.push_back(prompt);
  g.inputs.push_back(input);
  return cmd;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  switch (msg) {
    case WM_CREATE: {
      g.frame = hwnd;
      CLIENTCREATESTRUCT ccs{};
      ccs.idFirstChild = 0xFF00;
      g.mdiClient = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE,
                                    0, 0, 10, 10, hwnd, nullptr, inst, &ccs);
      if (g.role->controlBar) {
        g.controlBar = CreateWindowExW(0, kControlBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                                       hwnd, nullptr, inst, nullptr);
        SetWindowLongPtrW(g.controlBar, GWLP_USERDATA, 1);
      }
      g.bar = CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                              g.controlBar ? g.controlBar : hwnd, nullptr, inst, nullptr);
      MakeCommandWindow(g.bar);
      g.cmdFrame = CreateWindowExW(0, kFrameOrViewClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                                   hwnd, nullptr, inst, nullptr);
      MakeCommandWindow(g.cmdFrame);
      g.status = CreateWindowExW(0, kStatusClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd, nullptr, inst, nullptr);
      // The frame's first child is the command window's frame, as outside
      // watchers expect of AutoCAD's main window.
      SetWindowPos(g.cmdFrame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return 0;
    }
    case WM_SIZE:
      Layout(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_COPYDATA: {
      auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      if (!cds || cds->dwData != 1) return FALSE;
      const char* data = static_cast<const char*>(cds->lpData);
      size_t n = data ? strnlen(data, cds->cbData) : 0;
      TypeBytes(std::string(data ? data : "", n));
      return TRUE;
    }
    case WM_CHAR:
      TypeBytes(std::string(1, static_cast<char>(wp)));
      return 0;
    case kFreezeMessage:
      Sleep(g.freezeMs);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefFrameProcW(hwnd, g.mdiClient, msg, wp, lp);
}

bool RegisterClasses(HINSTANCE inst) {
  WNDCLASSEXW w{};
  w.cbSize = sizeof w;
  w.hInstance = inst;
  w.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  w.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  w.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  w.lpfnWndProc = FrameProc;
  w.lpszClassName = kFrameClass;
  if (!RegisterClassExW(&w)) return false;
  w.lpfnWndProc = DrawingProc;
  w.lpszClassName = kDrawingClass;
  if (!RegisterClassExW(&w)) return false;
  w.hIcon = nullptr;
  w.lpfnWndProc = ContainerProc;
  for (const wchar_t* name : {kFrameOrViewClass, kControlBarClass, kBarClass}) {
    w.lpszClassName = name;
    if (!RegisterClassExW(&w)) return false;
  }
  w.lpfnWndProc = StatusProc;
  w.lpszClassName = kStatusClass;
  if (!RegisterClassExW(&w)) return false;

  WNDCLASSEXA a{};
  a.cbSize = sizeof a;
  a.hInstance = inst;
  a.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  a.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  struct { const char* name; WNDPROC proc; } byteClasses[] = {
      {kViewClass, ViewProc}, {kCmdClass, CmdProc}, {kPromptClass, PromptProc}, {kInputClass, InputProc}};
  for (const auto& c : byteClasses) {
    a.lpfnWndProc = c.proc;
    a.lpszClassName = c.name;
    if (!RegisterClassExA(&a)) return false;
  }
  return true;
}

std::wstring ModulePath() {
  wchar_t buf[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
  return std::wstring(buf, n);
}

// The role comes from a /role= switch, else from the program file's name:
// ACLT.EXE plays AutoCAD LT 98, anything else AutoCAD 2000.
const Role* ChooseRole(const std::wstring& cmdLine, const std::wstring& exe) {
  std::wstring lower = cmdLine;
  for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
  if (lower.find(L"/role=lt97") != std::wstring::npos) return &kRoleLt97;
  if (lower.find(L"/role=lt98") != std::wstring::npos) return &kRoleLt98;
  if (lower.find(L"/role=2000") != std::wstring::npos) return &kRole2000;
  size_t slash = exe.find_last_of(L"\\/");
  std::wstring name = exe.substr(slash == std::wstring::npos ? 0 : slash + 1);
  for (auto& c : name) c = static_cast<wchar_t>(towupper(c));
  return name.rfind(L"ACLT", 0) == 0 ? &kRoleLt98 : &kRole2000;
}

bool ReadString(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& out) {
  wchar_t buf[512] = {};
  DWORD size = sizeof buf - sizeof(wchar_t), type = 0;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, &type, buf, &size) != ERROR_SUCCESS) return false;
  out = buf;
  return true;
}

// The single-drawing setting of the current profile, as AutoCAD 2000 keeps
// it; a missing value means several drawing windows.
bool ReadSingleDrawingMode() {
  const std::wstring family = L"SOFTWARE\\Autodesk\\AutoCAD\\R15.0";
  std::wstring curVer, profile;
  if (!ReadString(HKEY_LOCAL_MACHINE, family, L"CurVer", curVer)) return false;
  std::wstring profiles = family + L"\\" + curVer + L"\\Profiles";
  if (!ReadString(HKEY_CURRENT_USER, profiles, nullptr, profile)) return false;
  DWORD value = 0, size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, (profiles + L"\\" + profile + L"\\Drawing Window").c_str(), L"SDIMode",
                   RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return false;
  return value == 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR cmdLine, int show) {
  std::wstring exe = ModulePath();
  g.role = ChooseRole(cmdLine ? cmdLine : L"", exe);

  // A running AutoCAD holds its message file beside the program open;
  // that is how others tell that it runs.
  size_t dot = exe.find_last_of(L'.');
  std::wstring xmx = (dot == std::wstring::npos ? exe : exe.substr(0, dot)) + L".xmx";
  g.messageFile = CreateFileW(xmx.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);

  FileHooks hooks{[](const std::string& path, qel::dxf::Drawing& drawing, std::string& error) {
                     return ReadDxfFile(path, drawing, error);
                   },
                   [](const std::string& path, const qel::dxf::Drawing& drawing, std::string& error) {
                     return WriteDxfFile(path, drawing, error);   // every SAVEAS as DXF R2000
                   }};
  CommandLine cl(hooks, g.role->profiles && ReadSingleDrawingMode());
  g.cl = &cl;
  ReadFreezeSwitch();
  if (!g.freezeCommand.empty())
    cl.onCommand = [](const std::string& name) { g.freezePending = g.freezePending || name == g.freezeCommand; };

  if (!RegisterClasses(inst)) {
    MessageBoxW(nullptr, L"The window classes could not be registered.", g.role->name, MB_ICONERROR);
    return 1;
  }
  std::wstring title = std::wstring(g.role->name) + L" (stand-in: drawings are saved as DXF)";
  HWND frame = CreateWindowExW(0, kFrameClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                               CW_USEDEFAULT, 900, 700, nullptr, nullptr, inst, nullptr);
  if (!frame) {
    MessageBoxW(nullptr, L"The main window could not be created.", g.role->name, MB_ICONERROR);
    return 1;
  }
  Refresh();
  ShowWindow(frame, show);
  UpdateWindow(frame);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!TranslateMDISysAccel(g.mdiClient, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  g.cl = nullptr;
  if (g.messageFile != INVALID_HANDLE_VALUE) CloseHandle(g.messageFile);
  return static_cast<int>(msg.wParam);
}
