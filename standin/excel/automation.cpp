#include "standin/excel/automation.h"

#include <cstdio>

#include "standin/comserver/local_server.h"
#include "standin/excel/workbook.h"

namespace qel::excel_standin {

namespace {

using standin::AutomationFault;
using standin::CallArgs;
using standin::DispatchObject;
using standin::ReturnBool;
using standin::ReturnInteger;
using standin::ReturnObject;
using standin::ReturnText;

bool PutBool(CallArgs& a, const wchar_t* member) {
  VARIANT b;
  VariantInit(&b);
  if (FAILED(VariantChangeType(&b, &a.PutValue(), 0, VT_BOOL)))
    throw AutomationFault(std::wstring(member) + L": the value is not true or false");
  return b.boolVal != VARIANT_FALSE;
}

class CellObject final : public DispatchObject {
 public:
  CellObject(std::shared_ptr<Sheet> sheet, long row, long column) : sheet_(std::move(sheet)), key_(row, column) {
    auto get = [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      auto it = sheet_->cells.find(key_);
      ReturnText(r, it == sheet_->cells.end() ? std::wstring() : it->second);
    };
    auto put = [this](CallArgs& a) {
      sheet_->cells[key_] = a.PutText();
      TheSession().Changed();
    };
    Member(L"Value", get, put);
    Member(L"Value2", get, put);
    Member(L"Formula", get, put);
    Member(L"Text", get);
    Member(L"Row", [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnInteger(r, key_.first);
    });
    Member(L"Column", [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnInteger(r, key_.second);
    });
  }

 private:
  std::shared_ptr<Sheet> sheet_;
  std::pair<long, long> key_;
};

class SheetObject final : public DispatchObject {
 public:
  SheetObject(std::shared_ptr<Workbook> book, std::shared_ptr<Sheet> sheet)
      : book_(std::move(book)), sheet_(std::move(sheet)) {
    Member(L"Cells", [this](CallArgs& a, VARIANT* r) {
      a.Expect(2, 2);
      const long row = a.Integer(0), column = a.Integer(1);
      if (row < 1 || row > 1048576 || column < 1 || column > 16384)
        throw AutomationFault(L"Cells: there is no cell at row " + std::to_wstring(row) + L", column " +
                              std::to_wstring(column));
      ReturnObject(r, new CellObject(sheet_, row, column));
    });
    Member(L"Activate", [this](CallArgs& a, VARIANT*) {
      a.Expect(0, 0);
      for (std::size_t i = 0; i < book_->sheets.size(); ++i)
        if (book_->sheets[i] == sheet_) book_->active = i;
      TheSession().active = book_;
      TheSession().Changed();
    });
    Member(L"Name", [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, sheet_->name);
    });
  }

 private:
  std::shared_ptr<Workbook> book_;
  std::shared_ptr<Sheet> sheet_;
};

class WorkbookObject final : public DispatchObject {
 public:
  explicit WorkbookObject(std::shared_ptr<Workbook> book) : book_(std::move(book)) {
    auto sheets = [this](CallArgs& a, VARIANT* r) {
      a.Expect(1, 1);
      if (a.At(0).vt == VT_BSTR) {
        const std::wstring name = a.Text(0);
        for (const auto& s : book_->sheets)
          if (CompareStringOrdinal(s->name.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL)
            return ReturnObject(r, new SheetObject(book_, s));
        throw AutomationFault(L"Worksheets: there is no sheet named " + name);
      }
      const long index = a.Integer(0);
      if (index < 1 || static_cast<std::size_t>(index) > book_->sheets.size())
        throw AutomationFault(L"Worksheets: there is no sheet " + std::to_wstring(index));
      ReturnObject(r, new SheetObject(book_, book_->sheets[static_cast<std::size_t>(index) - 1]));
    };
    Member(L"Worksheets", sheets);
    Member(L"Sheets", sheets);
    Member(L"ActiveSheet", [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnObject(r, new SheetObject(book_, book_->sheets[book_->active]));
    });
    Member(L"Name", [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, book_->name);
    });
  }

 private:
  std::shared_ptr<Workbook> book_;
};

class WorkbooksObject final : public DispatchObject {
 public:
  WorkbooksObject() {
    Member(L"Add", [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 1);
      static int made = 0;
      auto book = std::make_shared<Workbook>();
      book->name = L"Book" + std::to_wstring(++made);
      for (int i = 1; i <= 3; ++i) {
        book->sheets.push_back(std::make_shared<Sheet>());
        book->sheets.back()->name = L"Sheet" + std::to_wstring(i);
      }
      TheSession().books.push_back(book);
      TheSession().active = book;
      TheSession().Changed();
      ReturnObject(r, new WorkbookObject(book));
    });
    Member(L"Count", [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnInteger(r, static_cast<long>(TheSession().books.size()));
    });
    Member(L"Item", [](CallArgs& a, VARIANT* r) {
      a.Expect(1, 1);
      const long index = a.Integer(0);
      const auto& books = TheSession().books;
      if (index < 1 || static_cast<std::size_t>(index) > books.size())
        throw AutomationFault(L"Workbooks: there is no workbook " + std::to_wstring(index));
      ReturnObject(r, new WorkbookObject(books[static_cast<std::size_t>(index) - 1]));
    });
  }
};

class ApplicationObject final : public DispatchObject {
 public:
  ApplicationObject() {
    Member(L"Application", [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      AddRef();
      ReturnObject(r, this);
    });
    Member(
        L"Visible",
        [](CallArgs& a, VARIANT* r) {
          a.Expect(0, 0);
          ReturnBool(r, TheSession().window && IsWindowVisible(TheSession().window));
        },
        [](CallArgs& a) {
          const bool visible = PutBool(a, L"Visible");
          if (HWND w = TheSession().window) ShowWindow(w, visible ? SW_SHOW : SW_HIDE);
          // A visible Excel is the user's: it stays when its clients let go.
          standin::SetUserControl(visible);
        });
    Member(
        L"ScreenUpdating",
        [](CallArgs& a, VARIANT* r) {
          a.Expect(0, 0);
          ReturnBool(r, TheSession().screenUpdating);
        },
        [](CallArgs& a) {
          TheSession().screenUpdating = PutBool(a, L"ScreenUpdating");
          TheSession().Changed();
        });
    Member(L"Workbooks", [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnObject(r, new WorkbooksObject());
    });
    Member(L"ActiveWorkbook", [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      if (!TheSession().active) throw AutomationFault(L"ActiveWorkbook: no workbook is open");
      ReturnObject(r, new WorkbookObject(TheSession().active));
    });
    Member(L"Quit", [](CallArgs& a, VARIANT*) {
      a.Expect(0, 0);
      if (HWND w = TheSession().window) ShowWindow(w, SW_HIDE);
      standin::RequestServerQuit();
    });
    Member(L"ProcessID", [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnInteger(r, static_cast<long>(GetCurrentProcessId()));
    });
    // Our own: the active sheet as UTF-8 CSV, for tests and for anyone
    // without Excel.
    Member(L"SaveAsCsv", [](CallArgs& a, VARIANT*) {
      a.Expect(1, 1);
      const std::wstring path = a.Text(0);
      auto sheet = TheSession().ActiveSheet();
      if (!sheet) throw AutomationFault(L"SaveAsCsv: no workbook is open");
      const std::string csv = SheetCsv(*sheet);
      FILE* f = _wfopen(path.c_str(), L"wb");
      bool ok = f && std::fwrite(csv.data(), 1, csv.size(), f) == csv.size();
      if (f && std::fclose(f) != 0) ok = false;
      if (!ok) throw AutomationFault(L"SaveAsCsv: cannot write " + path);
    });
  }
};

}  // namespace

DispatchObject* NewApplication() { return new ApplicationObject(); }

}  // namespace qel::excel_standin
