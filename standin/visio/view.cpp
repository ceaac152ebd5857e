#include "standin/visio/view.h"

#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "standin/comserver/local_server.h"
#include "standin/comserver/main_window.h"
#include "standin/visio/render.h"
#include "standin/visio/state.h"

namespace qel::visio_standin {

namespace {

constexpr wchar_t kClassName[] = L"QelVisioStandin";
constexpr int kListWidth = 200;
constexpr int kPageListId = 100;
constexpr int kSaveSvgId = 200;
constexpr int kExitId = 201;

struct ListedPage {
  std::shared_ptr<Document> doc;
  std::shared_ptr<Page> page;
};

std::vector<ListedPage> listed;
HWND pageList = nullptr;

constexpr UINT_PTR kRefreshTimer = 1;
bool refreshPending = false;

// A drawing client changes the document with every call; the view catches
// up a little later, once for many changes, instead of after each one.
void Session_Changed(HWND window) {
  if (!window || refreshPending) return;
  refreshPending = SetTimer(window, kRefreshTimer, 150, nullptr) != 0;
  if (!refreshPending) RefreshView(window);
}

std::shared_ptr<Page> SelectedPage() {
  const LRESULT sel = SendMessageW(pageList, LB_GETCURSEL, 0, 0);
  if (sel < 0 || static_cast<std::size_t>(sel) >= listed.size()) return nullptr;
  return listed[static_cast<std::size_t>(sel)].page;
}

// Zoom and pan of the page view: zoom 1 fits the page into the window; the
// wheel zooms about the cursor, dragging moves the page, a double click fits.
double zoom = 1;
double panX = 0, panY = 0;
bool dragging = false;
POINT dragFrom{};

struct Layout {
  double scale = 0;
  double ox = 0, oy = 0;  // where the page's top left corner lies
};

Layout PageLayout(HWND window, const Page& page) {
  RECT client;
  GetClientRect(window, &client);
  const int margin = 12;
  const double availW = client.right - kListWidth - 2 * margin, availH = client.bottom - 2 * margin;
  Layout l;
  if (availW <= 0 || availH <= 0 || page.width <= 0 || page.height <= 0) return l;
  l.scale = std::min(availW / page.width, availH / page.height) * zoom;
  l.ox = kListWidth + margin + panX;
  l.oy = margin + panY;
  return l;
}

void ZoomAt(HWND window, int x, int y, double factor) {
  std::shared_ptr<Page> page = SelectedPage();
  if (!page) return;
  const Layout before = PageLayout(window, *page);
  if (before.scale <= 0) return;
  zoom = std::clamp(zoom * factor, 0.2, 40.0);
  const Layout after = PageLayout(window, *page);
  // Keep the page point under the cursor where it is.
  panX += (x - before.ox) * (1 - after.scale / before.scale);
  panY += (y - before.oy) * (1 - after.scale / before.scale);
  InvalidateRect(window, nullptr, FALSE);
}

void PaintPage(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  RECT area{kListWidth, 0, client.right, client.bottom};
  FillRect(dc, &area, reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  std::shared_ptr<Page> page = SelectedPage();
  if (!page) return;
  const Layout layout = PageLayout(window, *page);
  if (layout.scale <= 0) return;
  const double scale = layout.scale, ox = layout.ox, oy = layout.oy;
  auto px = [&](double x) { return static_cast<int>(ox + x * scale + 0.5); };
  auto py = [&](double y) { return static_cast<int>(oy + (page->height - y) * scale + 0.5); };

  Rectangle(dc, px(0), py(page->height), px(page->width), py(0));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_LEFT | TA_BASELINE);
  HFONT font = nullptr;  // one font for every text of one size
  int fontHeight = 0;
  HGDIOBJ oldFont = nullptr;
  for (const DrawnShape& shape : DrawPage(*page)) {
    for (const auto& path : shape.paths) {
      if (path.empty()) continue;
      MoveToEx(dc, px(path[0].x), py(path[0].y), nullptr);
      for (std::size_t i = 1; i < path.size(); ++i) LineTo(dc, px(path[i].x), py(path[i].y));
    }
    for (const DrawnEllipse& e : shape.ellipses)
      Ellipse(dc, px(e.center.x - e.rx), py(e.center.y + e.ry), px(e.center.x + e.rx), py(e.center.y - e.ry));
    for (const DrawnText& t : shape.texts) {
      const int height = std::max(6, static_cast<int>(t.size * scale * 1.3));
      if (height != fontHeight) {
        HFONT next = CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Gothic");
        HGDIOBJ previous = SelectObject(dc, next);
        if (!oldFont) oldFont = previous;
        if (font) DeleteObject(font);
        font = next;
        fontHeight = height;
      }
      TextOutW(dc, px(t.baseline.x), py(t.baseline.y), t.text.c_str(), static_cast<int>(t.text.size()));
    }
  }
  if (oldFont) SelectObject(dc, oldFont);
  if (font) DeleteObject(font);
  SelectObject(dc, oldBrush);
}

void SaveSvgFromMenu(HWND window) {
  auto doc = TheSession().active;
  if (!doc) {
    MessageBoxW(window, L"No document is open.", L"Save pages as SVG", MB_OK | MB_ICONINFORMATION);
    return;
  }
  BROWSEINFOW info{};
  info.hwndOwner = window;
  info.lpszTitle = L"Folder for the SVG files (page1.svg, page2.svg, ...)";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return;
  wchar_t folder[MAX_PATH];
  const bool ok = SHGetPathFromIDListW(chosen, folder);
  CoTaskMemFree(chosen);
  if (!ok) return;
  try {
    const int n = SavePagesAsSvg(*doc, folder);
    MessageBoxW(window, (std::to_wstring(n) + L" page(s) saved in " + folder).c_str(), L"Save pages as SVG", MB_OK);
  } catch (const std::runtime_error& e) {
    MessageBoxW(window, FromUtf8(e.what()).c_str(), L"Save pages as SVG", MB_OK | MB_ICONERROR);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      pageList = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY,
                                 0, 0, kListWidth, 100, window, reinterpret_cast<HMENU>(kPageListId), nullptr, nullptr);
      standin::SetFileMenu(window, kSaveSvgId, L"&Save pages as SVG...", kExitId);
      return 0;
    }
    case WM_TIMER:
      if (wp == kRefreshTimer) {
        KillTimer(window, kRefreshTimer);
        refreshPending = false;
        RefreshView(window);
      }
      return 0;
    case WM_SIZE:
      MoveWindow(pageList, 0, 0, kListWidth, HIWORD(lp), TRUE);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_MOUSEWHEEL: {
      POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      ScreenToClient(window, &at);
      ZoomAt(window, at.x, at.y, std::pow(1.25, GET_WHEEL_DELTA_WPARAM(wp) / 120.0));
      return 0;
    }
    case WM_LBUTTONDOWN:
      dragging = true;
      dragFrom = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      SetCapture(window);
      return 0;
    case WM_MOUSEMOVE:
      if (dragging) {
        const POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        panX += at.x - dragFrom.x;
        panY += at.y - dragFrom.y;
        dragFrom = at;
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      dragging = false;
      ReleaseCapture();
      return 0;
    case WM_LBUTTONDBLCLK:
      zoom = 1;
      panX = panY = 0;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the page view paints every pixel itself
    case WM_COMMAND:
      if (LOWORD(wp) == kPageListId && HIWORD(wp) == LBN_SELCHANGE) {
        zoom = 1;
        panX = panY = 0;
        InvalidateRect(window, nullptr, FALSE);
      }
      if (LOWORD(wp) == kSaveSvgId) SaveSvgFromMenu(window);
      if (LOWORD(wp) == kExitId) DestroyWindow(window);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      // Drawn off screen first, so that zooming and dragging do not flicker.
      RECT client;
      GetClientRect(window, &client);
      HDC memory = CreateCompatibleDC(dc);
      HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom));
      HGDIOBJ old = SelectObject(memory, bitmap);
      PaintPage(window, memory);
      BitBlt(dc, kListWidth, 0, client.right - kListWidth, client.bottom, memory, kListWidth, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY:
      // Closing the window ends Visio, whoever started it.
      TheSession().window = nullptr;
      standin::RequestServerQuit();
      return 0;
  }
  return DefWindowProcW(window, msg, wp, lp);
}

}  // namespace

HWND CreateViewWindow(HINSTANCE instance) {
  // Double clicks fit the page into the window again.
  HWND window = standin::CreateMainWindow(instance, kClassName, WindowProc, L"Visio stand-in", 1000, 700, CS_DBLCLKS);
  TheSession().window = window;
  return window;
}

void RefreshView(HWND window) {
  if (!window || !pageList) return;
  std::shared_ptr<Page> selected = SelectedPage();
  listed.clear();
  SendMessageW(pageList, LB_RESETCONTENT, 0, 0);
  for (const auto& doc : TheSession().documents)
    for (const auto& page : doc->pages) {
      listed.push_back({doc, page});
      const std::wstring entry = doc->name + L" : " + page->name;
      SendMessageW(pageList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
  // Keep the page in view; otherwise show the last page of the active document.
  LRESULT pick = -1;
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (listed[i].page == selected) pick = static_cast<LRESULT>(i);
  }
  if (pick < 0)
    for (std::size_t i = 0; i < listed.size(); ++i)
      if (listed[i].doc == TheSession().active) pick = static_cast<LRESULT>(i);
  if (pick >= 0) SendMessageW(pageList, LB_SETCURSEL, static_cast<WPARAM>(pick), 0);
  const std::wstring title =
      L"Visio stand-in" + (TheSession().active ? L" - " + TheSession().active->name : std::wstring());
  SetWindowTextW(window, title.c_str());
  InvalidateRect(window, nullptr, TRUE);
}

Session& TheSession() {
  static Session session;
  return session;
}

void Session::Changed() const { Session_Changed(window); }

}  // namespace qel::visio_standin
