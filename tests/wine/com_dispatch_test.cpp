#include <gtest/gtest.h>

#include "win32/com_dispatch.h"

namespace qel {
namespace {

// Scripting.Dictionary is an automation object every Windows (and Wine)
// has, so the real IDispatch path is exercised without any outside program.
TEST(ComDispatch, CallsARealAutomationObjectByMemberName) {
  auto dict = win::CreateComObject("Scripting.Dictionary");
  ASSERT_TRUE(dict);
  Args add{Variant("表示"), Variant(std::int32_t{42})};
  dict->Call("Add", add);
  Args add2{Variant("x"), Variant(2.5)};
  dict->Call("Add", add2);
  EXPECT_EQ(dict->Get("Count").AsInt(), 2);
  EXPECT_EQ(dict->Get("Item", {Variant("表示")}).AsInt(), 42) << "a Shift-JIS key must survive the BSTR round trip";
  EXPECT_DOUBLE_EQ(dict->Get("Item", {Variant("x")}).AsDouble(), 2.5);
  dict->Put("Item", Variant("ﾃｷｽﾄ"), {Variant("x")});
  EXPECT_EQ(dict->Get("Item", {Variant("x")}).AsText(), "ﾃｷｽﾄ");
  Variant key("表示");
  Args exists{key.ByRef()};
  EXPECT_TRUE(dict->Call("Exists", exists).AsBool());
  EXPECT_EQ(exists[0].AsText(), "表示") << "a by-reference argument comes back";
}

TEST(ComDispatch, ServerErrorsBecomeAutomationErrorsWithText) {
  auto dict = win::CreateComObject("Scripting.Dictionary");
  Args add{Variant("k"), Variant(std::int32_t{1})};
  dict->Call("Add", add);
  try {
    Args again{Variant("k"), Variant(std::int32_t{2})};
    dict->Call("Add", again);
    FAIL() << "adding a key twice must fail";
  } catch (const AutomationError& e) {
    EXPECT_GT(std::string(e.what()).size(), 0u);
  }
  try {
    dict->Get("NoSuchMember");
    FAIL() << "an unknown member must fail";
  } catch (const AutomationError& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuchMember"), std::string::npos);
  }
}

// A page's Drop takes the master object the stencil returned; the object
// must reach the server as its own interface, by value or by reference.
TEST(ComDispatch, PassesAReturnedObjectBackAsAnArgument) {
  auto outer = win::CreateComObject("Scripting.Dictionary");
  auto inner = win::CreateComObject("Scripting.Dictionary");
  Args fill{Variant("k"), Variant(std::int32_t{7})};
  inner->Call("Add", fill);
  Args byValue{Variant("v"), Variant(inner)};
  outer->Call("Add", byValue);
  Variant ref(inner);
  Args byRef{Variant("r"), ref.ByRef()};
  outer->Call("Add", byRef);
  for (const char* key : {"v", "r"}) {
    auto back = outer->Get("Item", {Variant(key)}).AsObject();
    EXPECT_EQ(back->Get("Item", {Variant("k")}).AsInt(), 7) << key;
  }
}

TEST(ComDispatch, AMissingServerIsAnAutomationError) {
  EXPECT_THROW(win::CreateComObject("Qel.NoSuchServer.Application"), AutomationError);
}

}  // namespace
}  // namespace qel
