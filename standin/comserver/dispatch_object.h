#pragma once
// The automation side of the stand-in servers: an IDispatch whose members
// are looked up by name without regard to case, called as property get,
// property put or method, with by-reference arguments written back and
// failures handed to the client as exceptions with a description.
#include <windows.h>
#include <oleauto.h>

#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace qel::standin {

// Thrown by a member to fail the call; the client sees DISP_E_EXCEPTION with
// this description in its EXCEPINFO.
class AutomationFault : public std::exception {
 public:
  explicit AutomationFault(std::wstring description) : description_(std::move(description)) {}
  const std::wstring& Description() const { return description_; }
  const char* what() const noexcept override { return "automation fault"; }

 private:
  std::wstring description_;
};

// The positional arguments of one call, first argument first. A by-reference
// argument is reached through its reference, so a member that changes it
// changes the caller's copy.
class CallArgs {
 public:
  CallArgs(const std::wstring& member, DISPPARAMS* params, bool isPut);
  std::size_t Count() const { return count_; }
  VARIANT& At(std::size_t i);
  // Converting getters; a value that does not convert fails the call.
  std::wstring Text(std::size_t i);
  double Number(std::size_t i);
  long Integer(std::size_t i);
  IDispatch* Object(std::size_t i);  // borrowed, no reference added
  // The value of a property put.
  VARIANT& PutValue();
  std::wstring PutText();
  // Fails the call unless between `least` and `most` arguments came.
  void Expect(std::size_t least, std::size_t most);
  // Fails the call unless argument i came as exactly one of the types
  // (VT_BYREF included), as a server with typed parameters insists.
  void Require(std::size_t i, std::initializer_list<VARTYPE> types);
  // The type argument i came as, VT_BYREF included.
  VARTYPE TypeOf(std::size_t i);

 private:
  // Argument i converted to `type` (the caller owns the result); `what` names
  // the wanted kind in the failure ("a text").
  VARIANT Converted(std::size_t i, VARTYPE type, const wchar_t* what);
  const std::wstring& member_;
  DISPPARAMS* params_;
  std::size_t count_;
  bool isPut_;
};

// Fillers for a member's result.
void ReturnText(VARIANT* result, const std::wstring& text);
void ReturnNumber(VARIANT* result, double value);
void ReturnInteger(VARIANT* result, long value);
void ReturnBool(VARIANT* result, bool value);
// Hands the new object (created with one reference) to the caller.
void ReturnObject(VARIANT* result, IDispatch* object);

// How a member may be invoked. A property is read with a property get (a
// client may add DISPATCH_METHOD, not knowing which it is); a call with
// arguments, and a method without any, must be DISPATCH_METHOD alone.
// Loose answers any kind, as the lenient servers do.
enum class Invocation { Loose, Property, Method };

// The readable name of an invocation kind or a VARTYPE, for descriptions.
std::wstring InvocationName(WORD flags);
std::wstring TypeName(VARTYPE type);

class DispatchObject : public IDispatch {
 public:
  using Getter = std::function<void(CallArgs&, VARIANT* result)>;
  using Putter = std::function<void(CallArgs&)>;

  DispatchObject();
  virtual ~DispatchObject();
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT* argErr) override;

  // The server's own object behind an interface a client handed back to us
  // (an argument such as a master), or null when it is someone else's.
  static DispatchObject* FromDispatch(IDispatch* dispatch);

  // The name given to exceptions' source, e.g. "Visio.Application".
  static void SetSourceName(std::wstring name);

 protected:
  // A member answering get and method calls, and property puts when `put`
  // is given, invoked as `how` says.
  void Member(const wchar_t* name, Getter get, Putter put = {}, Invocation how = Invocation::Loose);
  void Member(const wchar_t* name, Invocation how, Getter get, Putter put = {}) {
    Member(name, std::move(get), std::move(put), how);
  }

 private:
  struct Entry {
    std::wstring name;
    Getter get;
    Putter put;
    Invocation how;
  };
  static void CheckInvocation(const Entry& entry, WORD flags, std::size_t argCount);
  std::vector<Entry> members_;
  LONG refs_ = 1;
};

}  // namespace qel::standin
