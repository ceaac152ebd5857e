#include "standin/visio/automation.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <stdexcept>

#include "standin/comserver/local_server.h"
#include "standin/visio/render.h"
#include "standin/visio/state.h"

namespace qel::visio_standin {

namespace {

using standin::AutomationFault;
using standin::CallArgs;
using standin::DispatchObject;
constexpr standin::Invocation kProperty = standin::Invocation::Property;
constexpr standin::Invocation kMethod = standin::Invocation::Method;
using standin::ReturnInteger;
using standin::ReturnObject;
using standin::ReturnText;

std::wstring Quoted(const std::wstring& text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) out += c == L'"' ? std::wstring(L"\"\"") : std::wstring(1, c);
  return out + L"\"";
}

std::wstring FullPath(const std::wstring& path) {
  wchar_t buf[4096];
  DWORD n = GetFullPathNameW(path.c_str(), 4096, buf, nullptr);
  return n > 0 && n < 4096 ? std::wstring(buf, n) : path;
}

std::shared_ptr<Document> FindOpen(const std::wstring& path) {
  const std::wstring full = FullPath(path);
  for (const auto& d : TheSession().documents)
    if (SameName(FullPath(d->path), full)) return d;
  return nullptr;
}

class CellObject final : public DispatchObject {
 public:
  CellObject(std::shared_ptr<PlacedShape> shape, std::wstring property, std::wstring cellName)
      : shape_(std::move(shape)), property_(std::move(property)), cellName_(std::move(cellName)) {
    auto getFormula = [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, Prop().formula);
    };
    auto putFormula = [this](CallArgs& a) {
      const std::wstring formula = a.PutText();
      std::wstring value;
      if (!ParseStringConstant(formula, value))
        throw AutomationFault(L"Formula: " + formula + L" is not a valid string constant for " + cellName_ +
                              L" (write a text in double quotes, a quote inside it as two quotes)");
      Property& p = Prop();
      p.formula = formula;
      p.value = value;
      TheSession().Changed();
    };
    Member(L"Formula", kProperty, getFormula, putFormula);
    Member(L"FormulaU", kProperty, getFormula, putFormula);
    Member(L"ResultStr", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 1);
      ReturnText(r, Prop().value);
    });
    Member(L"Name", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, cellName_);
    });
  }

 private:
  Property& Prop() {
    for (Property& p : shape_->properties)
      if (SameName(p.name, property_)) return p;
    throw AutomationFault(L"the cell " + cellName_ + L" no longer exists");
  }
  std::shared_ptr<PlacedShape> shape_;
  std::wstring property_;
  std::wstring cellName_;
};

class ShapeObject final : public DispatchObject {
 public:
  explicit ShapeObject(std::shared_ptr<PlacedShape> shape) : shape_(std::move(shape)) {
    auto cells = [this](CallArgs& a, VARIANT* r) {
      a.Expect(1, 1);
      a.Require(0, {VT_BSTR});
      const std::wstring name = a.Text(0);
      const std::wstring prefix = L"Prop.";
      if (name.size() > prefix.size() && SameName(name.substr(0, prefix.size()), prefix)) {
        const std::wstring property = name.substr(prefix.size());
        for (const Property& p : shape_->properties)
          if (SameName(p.name, property)) return ReturnObject(r, new CellObject(shape_, p.name, name));
      }
      throw AutomationFault(L"Cells: the shape " + Describe() + L" has no cell named " + name);
    };
    Member(L"Cells", kMethod, cells);
    Member(L"CellsU", kMethod, cells);
    Member(L"ID", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnInteger(r, shape_->id);
    });
    Member(L"Name", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, Describe());
    });
  }

 private:
  std::wstring Describe() const {
    return (shape_->isLine ? std::wstring(L"Line") : shape_->master->nameU) + L"." + std::to_wstring(shape_->id);
  }
  std::shared_ptr<PlacedShape> shape_;
};

class MasterObject final : public DispatchObject {
 public:
  explicit MasterObject(std::shared_ptr<const Master> master) : master_(std::move(master)) {
    Member(L"Name", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, master_->name);
    });
    Member(L"NameU", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, master_->nameU);
    });
  }
  const std::shared_ptr<const Master>& Get() const { return master_; }

 private:
  std::shared_ptr<const Master> master_;
};

class PageObject final : public DispatchObject {
 public:
  PageObject(std::shared_ptr<Document> doc, std::shared_ptr<Page> page) : doc_(std::move(doc)), page_(std::move(page)) {
    auto getName = [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, page_->name);
    };
    auto putName = [this](CallArgs& a) {
      const std::wstring name = a.PutText();
      if (name.empty()) throw AutomationFault(L"Name: a page name cannot be empty");
      for (const auto& other : doc_->pages)
        if (other != page_ && SameName(other->name, name))
          throw AutomationFault(L"Name: the document already has a page named " + name);
      page_->name = name;
      TheSession().Changed();
    };
    Member(L"Name", kProperty, getName, putName);
    Member(L"NameU", kProperty, getName, putName);
    Member(L"DrawLine", kMethod, [this](CallArgs& a, VARIANT* r) {
      a.Expect(4, 4);
      for (std::size_t i = 0; i < 4; ++i) a.Require(i, {VT_R8});
      auto shape = std::make_shared<PlacedShape>();
      shape->isLine = true;
      shape->from = {a.Number(0), a.Number(1)};
      shape->to = {a.Number(2), a.Number(3)};
      Place(shape, r);
    });
    Member(L"Drop", kMethod, [this](CallArgs& a, VARIANT* r) {
      a.Expect(3, 3);
      // The master is passed as a variant by reference.
      a.Require(0, {VT_BYREF | VT_VARIANT});
      a.Require(1, {VT_R8});
      a.Require(2, {VT_R8});
      auto* master = dynamic_cast<MasterObject*>(DispatchObject::FromDispatch(a.Object(0)));
      if (!master) throw AutomationFault(L"Drop: the object to drop is not a master of this Visio");
      auto shape = std::make_shared<PlacedShape>();
      shape->master = master->Get();
      shape->at = {a.Number(1), a.Number(2)};
      if (!shape->master->shapes.empty())
        for (Property p : shape->master->shapes.front().properties) {
          p.formula = Quoted(p.value);
          shape->properties.push_back(p);
        }
      Place(shape, r);
    });
  }

 private:
  void Place(const std::shared_ptr<PlacedShape>& shape, VARIANT* r) {
    shape->id = page_->nextId++;
    page_->shapes.push_back(shape);
    TheSession().Changed();
    ReturnObject(r, new ShapeObject(shape));
  }
  std::shared_ptr<Document> doc_;
  std::shared_ptr<Page> page_;
};

class PagesObject final : public DispatchObject {
 public:
  explicit PagesObject(std::shared_ptr<Document> doc) : doc_(std::move(doc)) {
    Member(L"Item", kMethod, [this](CallArgs& a, VARIANT* r) {
      a.Expect(1, 1);
      // A page index is a 32-bit integer by reference; a name is our own.
      a.Require(0, {VT_BYREF | VT_I4, VT_BSTR});
      const auto& pages = doc_->pages;
      if (a.At(0).vt == VT_BSTR) {
        const std::wstring name = a.Text(0);
        for (const auto& p : pages)
          if (SameName(p->name, name)) return ReturnObject(r, new PageObject(doc_, p));
        throw AutomationFault(L"Item: the document has no page named " + name);
      }
      const long index = a.Integer(0);
      if (index < 1 || static_cast<std::size_t>(index) > pages.size())
        throw AutomationFault(L"Item: there is no page " + std::to_wstring(index) + L"; the document has " +
                              std::to_wstring(pages.size()) + L" page(s)");
      ReturnObject(r, new PageObject(doc_, pages[static_cast<std::size_t>(index) - 1]));
    });
    Member(L"Count", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnInteger(r, static_cast<long>(doc_->pages.size()));
    });
    Member(L"Add", kMethod, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      if (doc_->isStencil) throw AutomationFault(L"Add: a stencil has no pages");
      auto page = std::make_shared<Page>();
      if (!doc_->pages.empty()) {
        page->width = doc_->pages.front()->width;
        page->height = doc_->pages.front()->height;
      }
      // The next free "Page-N", as Visio names new pages.
      for (std::size_t n = doc_->pages.size() + 1; page->name.empty(); ++n) {
        std::wstring name = L"Page-" + std::to_wstring(n);
        bool taken = false;
        for (const auto& p : doc_->pages) taken = taken || SameName(p->name, name);
        if (!taken) page->name = name;
      }
      doc_->pages.push_back(page);
      TheSession().Changed();
      ReturnObject(r, new PageObject(doc_, page));
    });
  }

 private:
  std::shared_ptr<Document> doc_;
};

class DocumentObject final : public DispatchObject {
 public:
  explicit DocumentObject(std::shared_ptr<Document> doc) : doc_(std::move(doc)) {
    Member(L"Pages", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnObject(r, new PagesObject(doc_));
    });
    Member(L"Masters", kMethod, [this](CallArgs& a, VARIANT* r) {
      a.Expect(1, 1);
      a.Require(0, {VT_BSTR, VT_I4});
      const auto& masters = doc_->masters;
      if (a.At(0).vt != VT_BSTR) {
        const long index = a.Integer(0);
        if (index < 1 || static_cast<std::size_t>(index) > masters.size())
          throw AutomationFault(L"Masters: there is no master " + std::to_wstring(index) + L" in " + doc_->name);
        return ReturnObject(r, new MasterObject(masters[static_cast<std::size_t>(index) - 1]));
      }
      const std::wstring name = a.Text(0);
      for (const auto& m : masters)
        if (SameName(m->nameU, name) || SameName(m->name, name)) return ReturnObject(r, new MasterObject(m));
      throw AutomationFault(L"Masters: " + doc_->name + L" has no master named " + name);
    });
    Member(L"Name", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, doc_->name);
    });
    Member(L"FullName", kProperty, [this](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, doc_->path);
    });
  }

 private:
  std::shared_ptr<Document> doc_;
};

class DocumentsObject final : public DispatchObject {
 public:
  DocumentsObject() {
    Member(L"Open", kMethod, [](CallArgs& a, VARIANT* r) {
      a.Expect(1, 1);
      a.Require(0, {VT_BSTR});
      const std::wstring path = a.Text(0);
      if (FindOpen(path)) throw AutomationFault(L"Open: " + path + L" is already open");
      std::shared_ptr<Document> doc;
      try {
        doc = LoadDocument(path);
      } catch (const std::runtime_error& e) {
        throw AutomationFault(L"Open: " + FromUtf8(e.what()));
      }
      TheSession().documents.push_back(doc);
      TheSession().active = doc;
      TheSession().Changed();
      ReturnObject(r, new DocumentObject(doc));
    });
    Member(L"Item", kMethod, [](CallArgs& a, VARIANT* r) { Item(a, r); });
    Member(L"Count", kProperty, [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnInteger(r, static_cast<long>(TheSession().documents.size()));
    });
  }

  // A document by 1-based index or by the path or name it was opened with.
  static void Item(CallArgs& a, VARIANT* r) {
    a.Expect(1, 1);
    a.Require(0, {VT_BSTR, VT_I4, VT_BYREF | VT_I4});
    const auto& docs = TheSession().documents;
    if (a.At(0).vt != VT_BSTR) {
      const long index = a.Integer(0);
      if (index < 1 || static_cast<std::size_t>(index) > docs.size())
        throw AutomationFault(L"Documents: there is no document " + std::to_wstring(index));
      return ReturnObject(r, new DocumentObject(docs[static_cast<std::size_t>(index) - 1]));
    }
    const std::wstring key = a.Text(0);
    if (auto doc = FindOpen(key)) return ReturnObject(r, new DocumentObject(doc));
    for (const auto& d : docs)
      if (SameName(d->name, key)) return ReturnObject(r, new DocumentObject(d));
    throw AutomationFault(L"Documents: " + key + L" is not open");
  }
};

// Inches per unit, for the units FormatResult understands.
double UnitFactor(std::wstring unit) {
  while (!unit.empty() && unit.front() == L' ') unit.erase(0, 1);
  while (!unit.empty() && unit.back() == L' ') unit.pop_back();
  static const std::pair<const wchar_t*, double> units[] = {
      {L"mm", 1 / 25.4}, {L"cm", 1 / 2.54}, {L"m", 1 / 0.0254}, {L"in", 1},   {L"inch", 1},
      {L"inches", 1},    {L"\"", 1},         {L"ft", 12},         {L"pt", 1.0 / 72}};
  for (const auto& [name, factor] : units)
    if (SameName(unit, name)) return factor;
  throw AutomationFault(L"FormatResult: unknown unit " + unit);
}

// Formats the number by the first run of "#0.," in the format: as many
// decimals as the run has digits after its point; the rest is kept.
std::wstring FormatNumber(double value, const std::wstring& format) {
  const std::size_t start = format.find_first_of(L"#0");
  if (start == std::wstring::npos) return format;
  std::size_t end = format.find_first_not_of(L"#0.,", start);
  if (end == std::wstring::npos) end = format.size();
  const std::wstring run = format.substr(start, end - start);
  const std::size_t point = run.find(L'.');
  const int decimals = point == std::wstring::npos ? 0 : static_cast<int>(run.size() - point - 1);
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%.*f", decimals, value);
  return format.substr(0, start) + buf + format.substr(end);
}

class ApplicationObject final : public DispatchObject {
 public:
  ApplicationObject() {
    // Read without arguments, called with a document's path.
    Member(L"Documents", kProperty, [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 1);
      if (a.Count() == 0) return ReturnObject(r, new DocumentsObject());
      DocumentsObject::Item(a, r);
    });
    Member(L"ActiveDocument", kProperty, [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      if (!TheSession().active) throw AutomationFault(L"ActiveDocument: no document is open");
      ReturnObject(r, new DocumentObject(TheSession().active));
    });
    Member(L"FormatResult", kMethod, [](CallArgs& a, VARIANT* r) {
      a.Expect(4, 4);
      // The value is a text by reference; the units and the format texts.
      a.Require(0, {VT_BYREF | VT_BSTR});
      for (std::size_t i = 1; i < 4; ++i) a.Require(i, {VT_BSTR});
      const std::wstring text = a.Text(0);
      wchar_t* end = nullptr;
      const double number = std::wcstod(text.c_str(), &end);
      if (end == text.c_str()) throw AutomationFault(L"FormatResult: " + text + L" is not a number");
      const std::wstring unit = end;
      const double inches =
          number * UnitFactor(unit.find_first_not_of(L' ') == std::wstring::npos ? a.Text(1) : unit);
      ReturnText(r, FormatNumber(inches / UnitFactor(a.Text(2)), a.Text(3)));
    });
    Member(L"Quit", kMethod, [](CallArgs& a, VARIANT*) {
      a.Expect(0, 0);
      if (HWND w = TheSession().window) ShowWindow(w, SW_HIDE);
      standin::RequestServerQuit();
    });
    Member(
        L"Visible", kProperty,
        [](CallArgs& a, VARIANT* r) {
          a.Expect(0, 0);
          standin::ReturnBool(r, TheSession().window && IsWindowVisible(TheSession().window));
        },
        [](CallArgs& a) {
          VARIANT b;
          VariantInit(&b);
          if (FAILED(VariantChangeType(&b, &a.PutValue(), 0, VT_BOOL)))
            throw AutomationFault(L"Visible: the value is not true or false");
          if (HWND w = TheSession().window) ShowWindow(w, b.boolVal ? SW_SHOW : SW_HIDE);
        });
    Member(L"ProcessID", kProperty, [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnInteger(r, static_cast<long>(GetCurrentProcessId()));
    });
    Member(L"Name", kProperty, [](CallArgs& a, VARIANT* r) {
      a.Expect(0, 0);
      ReturnText(r, L"Visio stand-in");
    });
    // Our own: every page of the active document as SVG, for tests and
    // for anyone without Visio.
    Member(L"SaveAsSvg", kMethod, [](CallArgs& a, VARIANT* r) {
      a.Expect(1, 1);
      a.Require(0, {VT_BSTR});
      const std::wstring folder = a.Text(0);
      if (!TheSession().active) throw AutomationFault(L"SaveAsSvg: no document is open");
      try {
        ReturnInteger(r, SavePagesAsSvg(*TheSession().active, folder));
      } catch (const std::runtime_error& e) {
        throw AutomationFault(L"SaveAsSvg: " + FromUtf8(e.what()));
      }
    });
  }
};

}  // namespace

DispatchObject* NewApplication() { return new ApplicationObject(); }

}  // namespace qel::visio_standin
