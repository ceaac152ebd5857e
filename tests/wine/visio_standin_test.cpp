// The Visio stand-in through the real COM path: a local server started by
// CoCreateInstance, called by member name, its failures arriving as
// AutomationErrors that carry the server's description.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>

#include "list/circuit_list.h"
#include "tests/support/program_folder.h"
#include "visio/e_visio_2.h"
#include "win32/com_dispatch.h"

namespace qel {
namespace {

using testing::RepoFile;
using Object = std::shared_ptr<Dispatch>;

constexpr double kMm = 1 / 25.4;

// One stand-in process per test, awaited at the end so that the next test's
// CoCreateInstance starts a fresh one instead of meeting a dying one.
class VisioStandin : public ::testing::Test {
 protected:
  void SetUp() override {
    app = win::CreateComObject("Visio.Application");
    ASSERT_TRUE(app);
    process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(app->Get("ProcessID").AsInt()));
    ASSERT_NE(process, nullptr);
  }
  void TearDown() override {
    stencil.reset();
    app.reset();
    if (!process) return;
    EXPECT_EQ(WaitForSingleObject(process, 15000), WAIT_OBJECT_0) << "the stand-in must end with its last object";
    CloseHandle(process);
  }

  static std::string StencilPath() { return RepoFile("tests/data/standin-test.vss"); }
  static std::string DrawingPath() { return RepoFile("tests/data/standin-test.vsd"); }

  void Open(const std::string& path) {
    Args args{Variant(path)};
    app->Get("Documents").AsObject()->Call("Open", args);
  }
  void OpenBoth() {
    Open(StencilPath());
    Args path{Variant(StencilPath())};
    stencil = app->Call("Documents", path).AsObject();
    Open(DrawingPath());
  }
  Object Pages() { return app->Get("ActiveDocument").AsObject()->Get("Pages").AsObject(); }
  Object Page(std::int32_t index) {
    Variant i(index);
    Args args{i.ByRefTyped()};
    return Pages()->Call("Item", args).AsObject();
  }
  Object Drop(const Object& page, const std::string& master, double xMm, double yMm) {
    Args name{Variant(master)};
    Variant m(stencil->Call("masters", name).AsObject());
    Args args{m.ByRef(), Variant(xMm * kMm), Variant(yMm * kMm)};
    return page->Call("Drop", args).AsObject();
  }
  static void SetText(const Object& shape, const std::string& cell, const std::string& formula) {
    Args args{Variant(cell)};
    shape->Call("Cells", args).AsObject()->Put("Formula", Variant(formula));
  }

  Object app;
  Object stencil;
  HANDLE process = nullptr;
};

struct FailureCase {
  const char* what;
  std::function<void()> call;
  const char* description;  // a part of the error's text
};

template <std::size_t N>
void ExpectEachFails(const FailureCase (&cases)[N]) {
  for (const FailureCase& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const AutomationError& e) {
      EXPECT_NE(std::string(e.what()).find(c.description), std::string::npos) << c.what << ": " << e.what();
    }
  }
}

TEST_F(VisioStandin, OpensDocumentsAndDrawsOnPages) {
  ASSERT_TRUE(app->Get("Documents").IsObject());
  for (auto [value, in, out, format, expected] : {
           std::tuple{"1 mm", "mm", "mm", "#.00 mm", "1.00 mm"},
           std::tuple{"25.4", "mm", "in", "0.000 in", "1.000 in"},
           std::tuple{"2 in", "mm", "mm", "#.0 mm", "50.8 mm"},
       }) {
    Variant v(value);
    Args args{v.ByRefTyped(), Variant(in), Variant(out), Variant(format)};
    EXPECT_EQ(app->Call("FormatResult", args).AsText(), expected) << value;
    EXPECT_EQ(args[0].AsText(), value) << "the by-reference value comes back unchanged";
  }

  OpenBoth();
  EXPECT_EQ(stencil->Get("Name").AsText(), "standin-test.vss");
  EXPECT_EQ(app->Get("activedocument").AsObject()->Get("NAME").AsText(), "standin-test.vsd")
      << "member names are matched without regard to case; the document opened last is active";

  EXPECT_EQ(Page(1)->Get("name").AsText(), "Page-1");
  Object added = Pages()->Call("add").AsObject();
  EXPECT_EQ(added->Get("Name").AsText(), "Page-2");
  added->Put("name", Variant("dwg2"));
  Variant index(std::int32_t{2});
  Args itemArgs{index.ByRefTyped()};
  EXPECT_EQ(Pages()->Call("Item", itemArgs).AsObject()->Get("Name").AsText(), "dwg2");
  EXPECT_EQ(itemArgs[0].AsInt(), 2);
  EXPECT_EQ(Pages()->Get("Count").AsInt(), 2);

  Object motor = Drop(Page(1), "MOTOR", 50, 60);
  Args row2{Variant("Prop.Row_2")};
  Object cell = motor->Call("Cells", row2).AsObject();
  EXPECT_EQ(cell->Get("ResultStr").AsText(), "M") << "a new shape starts with the master's value";
  for (auto [formula, shown] : {
           std::pair{"\"ACM F-1\"", "ACM F-1"},
           std::pair{"\"\"", ""},
           std::pair{"\"say \"\"hi\"\"\"", "say \"hi\""},
           std::pair{"\"電動機 ⊿\"", "電動機 ⊿"},
       }) {
    cell->Put("Formula", Variant(formula));
    EXPECT_EQ(cell->Get("ResultStr").AsText(), shown) << formula;
    EXPECT_EQ(cell->Get("Formula").AsText(), formula);
  }
  Args line{Variant(30 * kMm), Variant(220 * kMm), Variant(400 * kMm), Variant(220 * kMm)};
  EXPECT_TRUE(Page(2)->Call("DrawLine", line).IsObject());
}

TEST_F(VisioStandin, FailuresCarryTheServersDescription) {
  OpenBoth();
  const std::string notXml = RepoFile("README.md");
  const FailureCase cases[] = {
      {"unknown master", [&] { Drop(Page(1), "NoSuchMaster", 50, 60); },
       "Masters: standin-test.vss has no master named NoSuchMaster"},
      {"shape without the cell",
       [&] { SetText(Drop(Page(1), "terminal", 50, 90), "Prop.Row_2", "\"x\""); },
       "has no cell named Prop.Row_2"},
      {"line has no custom properties",
       [&] {
         Args l{Variant(0.0), Variant(0.0), Variant(1.0), Variant(1.0)};
         SetText(Page(1)->Call("DrawLine", l).AsObject(), "Prop.Row_2", "\"x\"");
       },
       "has no cell named Prop.Row_2"},
      {"page index past the end", [&] { Page(2); }, "Item: there is no page 2; the document has 1 page(s)"},
      {"page index zero", [&] { Page(0); }, "Item: there is no page 0"},
      {"lone quote inside", [&] { SetText(Drop(Page(1), "motor", 50, 60), "Prop.Row_3", "\"a\"b\""); },
       "Formula: \"a\"b\" is not a valid string constant"},
      {"no closing quote", [&] { SetText(Drop(Page(1), "motor", 50, 60), "Prop.Row_3", "\"abc"); },
       "is not a valid string constant"},
      {"not quoted at all", [&] { SetText(Drop(Page(1), "motor", 50, 60), "Prop.Row_3", "abc"); },
       "is not a valid string constant"},
      {"unknown member", [&] { app->Get("NoSuchMember"); }, "NoSuchMember"},
      {"drawing opened twice", [&] { Open(DrawingPath()); }, "is already open"},
      {"stencil opened twice, other case", [&] { Open(RepoFile("tests/data/STANDIN-TEST.VSS")); }, "is already open"},
      {"page name taken", [&] { Page(1)->Put("Name", Variant("Page-1")); Pages()->Call("add").AsObject()->Put("Name", Variant("page-1")); },
       "Name: the document already has a page named page-1"},
      {"page by a name it does not have",
       [&] {
         Args name{Variant("dwg9")};
         Pages()->Call("Item", name);
       },
       "no page named dwg9"},
      {"a page dropped as if it were a master",
       [&] {
         Variant notMaster(Page(1));
         Args args{notMaster.ByRef(), Variant(1.0), Variant(1.0)};
         Page(1)->Call("Drop", args);
       },
       "Drop: the object to drop is not a master"},
      {"Drop without coordinates",
       [&] {
         Args name{Variant("motor")};
         Args args{Variant(stencil->Call("masters", name).AsObject())};
         Page(1)->Call("Drop", args);
       },
       "Drop: expects 3 argument(s), got 1"},
      {"unknown unit",
       [&] {
         Args args{Variant("1 furlong").ByRefTyped(), Variant("mm"), Variant("mm"), Variant("#.00 mm")};
         app->Call("FormatResult", args);
       },
       "FormatResult: unknown unit furlong"},
      {"missing file", [&] { Open(RepoFile("tests/data/no-such-file.vsd")); }, "Open: cannot read the file"},
      {"not XML", [&] { Open(notXml); }, "is not readable XML"},
  };
  ExpectEachFails(cases);
}

// Visio's members are typed: a property is read, a call with arguments is
// a method, and by-reference arguments have their declared types. The
// stand-in refuses anything else with a description, as such a server does.
TEST_F(VisioStandin, RefusesOtherInvocationKindsAndArgumentTypes) {
  OpenBoth();
  const auto call = [](const Object& object, const char* member, Args args) { object->Call(member, args); };
  const FailureCase cases[] = {
      {"a method read as a value", [&] { Pages()->Get("Item", {Variant(std::int32_t{1}).ByRefTyped()}); },
       "Item: invoked as DISPATCH_METHOD|DISPATCH_PROPERTYGET; a call with arguments must be invoked as "
       "DISPATCH_METHOD"},
      {"a property called", [&] { call(app, "ActiveDocument", {}); },
       "ActiveDocument: invoked as DISPATCH_METHOD; this property is read with DISPATCH_PROPERTYGET"},
      {"page index as a reference to a variant", [&] { call(Pages(), "Item", {Variant(std::int32_t{1}).ByRef()}); },
       "Item: argument 1 came as VT_BYREF|VT_VARIANT; expected VT_BYREF|VT_I4 or VT_BSTR"},
      {"FormatResult's value by value",
       [&] { call(app, "FormatResult", {Variant("1 mm"), Variant("mm"), Variant("mm"), Variant("#.00 mm")}); },
       "FormatResult: argument 1 came as VT_BSTR; expected VT_BYREF|VT_BSTR"},
      {"the master by value",
       [&] {
         Args name{Variant("motor")};
         call(Page(1), "Drop", {stencil->Call("masters", name), Variant(1.0), Variant(1.0)});
       },
       "Drop: argument 1 came as VT_DISPATCH; expected VT_BYREF|VT_VARIANT"},
  };
  ExpectEachFails(cases);
}

// The program's own drawing of a list whose cells hold the cancel byte, line
// breaks with a command after them, and lead bytes left without their trail
// byte: the stand-in takes every formula, so every row is drawn.
TEST_F(VisioStandin, AListWithControlBytesIsDrawnRowByRow) {
  testing::ProgramFolder folder({"qel-ms.vss", "qel-ms.vsd"}, false);
  {
    VisioModule module(win::CreateComObject);
    module.SetProgramFolder(folder.Path());
    bool openFailed = true;
    struct : VisioMessageSink {
      void ShowVisioMessage(const std::string& text) override { ADD_FAILURE() << text; }
    } messages;
    module.VisioStart(messages);
    module.VisioOpenDocuments(openFailed, messages);
    Grid list(21, 6);
    list.SetRow(0, ListHeaders());
    const char* names[] = {"M1\x03._LINE 0,0 400,300 ", "ab\x82", "A\r\nB", "表\x81"};
    std::vector<std::string> row(21);
    row[18] = "Di>Ry";  // I/F and Type
    row[19] = "Di-";
    for (int r = 1; r <= 4; ++r) {
      row[1] = names[r - 1];
      list.SetRow(r, row);
    }
    module.VisioDrawList(list);
  }
  testing::TempDir svg;
  Args save{Variant(svg.Path())};
  ASSERT_EQ(app->Call("SaveAsSvg", save).AsInt(), 1);
  const std::string page = ReadWholeFile(svg.File("page1.svg"));
  // Each row's name on its field device and its receiving device.
  for (const char* text : {">M1 ._LINE 0,0 400,300 </text>", ">ab </text>", ">A  B</text>",
                           reinterpret_cast<const char*>(u8">表 </text>")}) {
    const std::size_t first = page.find(text);
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_NE(page.find(text, first + 1), std::string::npos) << text;
  }
}

TEST_F(VisioStandin, QuitEndsTheProcess) {
  OpenBoth();
  app->Call("quit");
  EXPECT_EQ(WaitForSingleObject(process, 15000), WAIT_OBJECT_0);
}

std::wstring ClassesValue(const std::wstring& key) {
  wchar_t buf[1024];
  DWORD size = sizeof buf;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return L"";
  return buf;
}

DWORD RunToEnd(std::wstring commandLine) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 999;
  DWORD code = 998;
  if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

// The program's own switches remove and restore what the install step
// registered: without it Visio.Application cannot be created.
TEST(VisioStandinRegistration, UnregisterThenRegisterAgain) {
  const std::wstring clsid = ClassesValue(L"Visio.Application\\CLSID");
  ASSERT_EQ(clsid, L"{5D0BD7BD-8511-499B-8452-CBEB5E80063E}");
  const std::wstring server = ClassesValue(L"CLSID\\" + clsid + L"\\LocalServer32");
  ASSERT_NE(server.find(L"VisioStandin.exe"), std::wstring::npos);
  // Registered as a 32-bit server is: in the 32-bit view of the classes only.
  HKEY wide = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &wide),
            ERROR_FILE_NOT_FOUND);
  if (wide) RegCloseKey(wide);
  struct Restore {
    std::wstring server;
    ~Restore() { RunToEnd(server + L" /RegServer"); }
  } restore{server};
  EXPECT_EQ(RunToEnd(server + L" /UnregServer"), 0u);
  EXPECT_EQ(ClassesValue(L"Visio.Application\\CLSID"), L"");
  EXPECT_THROW(win::CreateComObject("Visio.Application"), AutomationError);
  EXPECT_EQ(RunToEnd(server + L" /RegServer"), 0u);
  EXPECT_EQ(ClassesValue(L"CLSID\\" + clsid + L"\\LocalServer32"), server);
  auto app = win::CreateComObject("Visio.Application");
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(app->Get("ProcessID").AsInt()));
  app->Call("quit");
  app.reset();
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(WaitForSingleObject(process, 15000), WAIT_OBJECT_0);
  CloseHandle(process);
}

// Drawn for tests/wine/visio_standin_svg.py, which starts this test with
// QEL_VISIO_SVG_DIR set and reads the SVG files with its own XML parser.
TEST_F(VisioStandin, DrawsPagesForTheSvgReader) {
  const char* folder = std::getenv("QEL_VISIO_SVG_DIR");
  if (!folder) GTEST_SKIP() << "only run by visio_standin_svg.py";
  OpenBoth();
  Args bus{Variant(30 * kMm), Variant(220 * kMm), Variant(400 * kMm), Variant(220 * kMm)};
  Page(1)->Call("DrawLine", bus);
  Object breaker = Drop(Page(1), "1P-MCB", 90, 200);
  SetText(breaker, "Prop.Row_2", "\"MCCB1\"");
  SetText(breaker, "Prop.Row_3", "\"NF32 & <x>\"");
  SetText(breaker, "Prop.Row_4", "\"20AT\"");
  Object motor = Drop(Page(1), "motor", 50, 60);
  SetText(motor, "Prop.Row_2", "\"ACM F-1\"");
  SetText(motor, "Prop.Row_3", "\"電動機 \"\"1\"\"\"");
  SetText(motor, "Prop.Row_4", "\"3.7kw\"");
  Drop(Page(1), "terminal", 50, 90);
  Drop(Page(1), "probe", 200, 100);
  Object page2 = Pages()->Call("add").AsObject();
  page2->Put("name", Variant("dwg2"));
  SetText(Drop(Page(2), "motor", 90, 60), "Prop.Row_2", "\"P2\"");
  Args save{Variant(std::string(folder))};
  EXPECT_EQ(app->Call("SaveAsSvg", save).AsInt(), 2);
}

}  // namespace
}  // namespace qel
