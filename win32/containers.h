#pragma once
// Windows that hold other controls: panels, group boxes, tab pages, and
// the splitter and status bar that go with them.
#include <functional>
#include <string>
#include <vector>

#include "win32/wnd.h"

namespace qel::win {

// Common controls (tab control, status bar) registered once per process.
void EnsureCommonControls();

// A plain rectangle that lays out its children; with a caption and a
// raised bevel it also serves as a large flat button (onClick).
class Panel : public Wnd {
 public:
  enum class Bevel { None, Raised, Lowered };
  void Create(const CreateArgs& a, Bevel bevel = Bevel::None);
  void SetText(const std::string& cp932) override;
  std::function<void()> onClick;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  Bevel bevel_ = Bevel::None;
  bool pressed_ = false;
};

// A framed group with a caption. Unlike the system's group box it takes
// clicks itself: a click anywhere on it, or on a label inside that sends
// its own onClick here, reaches onClick.
class GroupBox : public Wnd {
 public:
  void Create(const CreateArgs& a);
  void SetText(const std::string& cp932) override;
  std::function<void()> onClick;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool pressed_ = false;
};

// A bar between two aligned controls; dragging it resizes `target`.
class Splitter : public Wnd {
 public:
  void Create(const CreateArgs& a, Wnd* target);
  int minSize = 10;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  Wnd* target_ = nullptr;
  int dragStartX_ = 0;
  int startWidth_ = 0;
  bool dragging_ = false;
};

class PageControl;

// One page of a PageControl; onShow and onHide follow its visibility. A
// page told to HoldChildWindows() makes its controls' windows when it is
// first shown.
class TabSheet : public Wnd {
 public:
  void Create(PageControl& owner, const std::string& caption, const std::string& hint = {});
  int PageIndex() const { return index_; }
  std::function<void()> onShow;
  std::function<void()> onHide;

 private:
  friend class PageControl;
  int index_ = -1;
};

// Tabs over a stack of pages, one page visible at a time.
class PageControl : public Wnd {
 public:
  void Create(const CreateArgs& a);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TabSheet& Page(int index) const { return *pages_.at(static_cast<std::size_t>(index)); }
  int ActivePageIndex() const { return active_; }
  TabSheet* ActivePage() const { return active_ < 0 ? nullptr : pages_[static_cast<std::size_t>(active_)]; }
  // Shows the page (its onShow, then the old page's onHide); as a change
  // made by code it does not fire onChange.
  void SetActivePage(int index);
  HWND TabHandle() const { return tab_; }
  // The user chose another tab; the new page is already shown.
  std::function<void()> onChange;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  friend class TabSheet;
  void AddPage(TabSheet* page, const std::string& caption);
  void PlacePages();
  HWND tab_ = nullptr;
  std::vector<TabSheet*> pages_;
  int active_ = -1;
};

// A status bar with one text over its whole width.
class StatusBar : public Wnd {
 public:
  void Create(const CreateArgs& a);
  const std::string& SimpleText() const { return text_; }
  void SetSimpleText(const std::string& cp932);

 private:
  std::string text_;
};

}  // namespace qel::win
