#include "standin/comserver/dispatch_object.h"

#include <cwchar>

#include "standin/comserver/local_server.h"

namespace qel::standin {

namespace {

// Private interface identity: asking one of our own objects for it gives the
// object itself, which is how an argument object is recognised as ours.
const IID kOwnObjectIid = {0xbe322a54, 0x03cf, 0x482f, {0x95, 0x66, 0xd1, 0x1b, 0xc8, 0xd2, 0x55, 0x11}};

std::wstring& SourceName() {
  static std::wstring name = L"automation server";
  return name;
}

bool SameName(const std::wstring& a, const wchar_t* b) {
  return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

std::wstring Ordinal(std::size_t i) { return std::to_wstring(i + 1); }

// The text of a VT_BSTR variant, which is cleared.
std::wstring TakeText(VARIANT& converted) {
  std::wstring text(converted.bstrVal ? converted.bstrVal : L"", converted.bstrVal ? SysStringLen(converted.bstrVal) : 0);
  VariantClear(&converted);
  return text;
}

}  // namespace

CallArgs::CallArgs(const std::wstring& member, DISPPARAMS* params, bool isPut)
    : member_(member), params_(params), isPut_(isPut) {
  count_ = params ? params->cArgs - params->cNamedArgs : 0;
  // Trailing optional arguments a client leaves out arrive as "not found".
  while (count_ > 0) {
    const VARIANT& last = params_->rgvarg[params_->cArgs - count_];
    if (last.vt != VT_ERROR || last.scode != DISP_E_PARAMNOTFOUND) break;
    --count_;
  }
}

VARIANT& CallArgs::At(std::size_t i) {
  if (i >= count_) throw AutomationFault(member_ + L": argument " + Ordinal(i) + L" is missing");
  // Positional arguments come last to first, after the named ones.
  VARIANT& v = params_->rgvarg[params_->cArgs - 1 - i];
  if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return *v.pvarVal;
  return v;
}

VARIANT CallArgs::Converted(std::size_t i, VARTYPE type, const wchar_t* what) {
  VARIANT converted;
  VariantInit(&converted);
  VARIANT plain;
  VariantInit(&plain);
  HRESULT hr = VariantCopyInd(&plain, &At(i));
  if (SUCCEEDED(hr)) hr = VariantChangeType(&converted, &plain, 0, type);
  VariantClear(&plain);
  if (FAILED(hr)) throw AutomationFault(member_ + L": argument " + Ordinal(i) + L" is not " + what);
  return converted;
}

std::wstring CallArgs::Text(std::size_t i) {
  VARIANT converted = Converted(i, VT_BSTR, L"a text");
  return TakeText(converted);
}

double CallArgs::Number(std::size_t i) { return Converted(i, VT_R8, L"a number").dblVal; }

long CallArgs::Integer(std::size_t i) { return Converted(i, VT_I4, L"an integer").lVal; }

IDispatch* CallArgs::Object(std::size_t i) {
  VARIANT& v = At(i);
  if (v.vt == VT_DISPATCH && v.pdispVal) return v.pdispVal;
  if (v.vt == (VT_BYREF | VT_DISPATCH) && v.ppdispVal && *v.ppdispVal) return *v.ppdispVal;
  throw AutomationFault(member_ + L": argument " + Ordinal(i) + L" is not an object");
}

VARIANT& CallArgs::PutValue() {
  if (!isPut_ || !params_ || params_->cNamedArgs < 1) throw AutomationFault(member_ + L": no value assigned");
  VARIANT& v = params_->rgvarg[0];
  if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return *v.pvarVal;
  return v;
}

std::wstring CallArgs::PutText() {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, &PutValue(), 0, VT_BSTR)))
    throw AutomationFault(member_ + L": the value assigned is not a text");
  return TakeText(converted);
}

void CallArgs::Expect(std::size_t least, std::size_t most) {
  if (count_ < least || count_ > most) {
    std::wstring wanted = least == most ? std::to_wstring(least) : std::to_wstring(least) + L" to " + std::to_wstring(most);
    throw AutomationFault(member_ + L": expects " + wanted + L" argument(s), got " + std::to_wstring(count_));
  }
}

VARTYPE CallArgs::TypeOf(std::size_t i) {
  At(i);  // fails the call when it is missing
  return params_->rgvarg[params_->cArgs - 1 - i].vt;
}

void CallArgs::Require(std::size_t i, std::initializer_list<VARTYPE> types) {
  const VARTYPE came = TypeOf(i);
  std::wstring wanted;
  for (VARTYPE t : types) {
    if (t == came) return;
    wanted += (wanted.empty() ? L"" : L" or ") + TypeName(t);
  }
  throw AutomationFault(member_ + L": argument " + Ordinal(i) + L" came as " + TypeName(came) + L"; expected " +
                        wanted);
}

std::wstring InvocationName(WORD flags) {
  std::wstring name;
  const std::pair<WORD, const wchar_t*> kinds[] = {{DISPATCH_METHOD, L"DISPATCH_METHOD"},
                                                   {DISPATCH_PROPERTYGET, L"DISPATCH_PROPERTYGET"},
                                                   {DISPATCH_PROPERTYPUT, L"DISPATCH_PROPERTYPUT"},
                                                   {DISPATCH_PROPERTYPUTREF, L"DISPATCH_PROPERTYPUTREF"}};
  for (const auto& [flag, text] : kinds)
    if (flags & flag) name += (name.empty() ? L"" : L"|") + std::wstring(text);
  return name.empty() ? L"no invocation kind" : name;
}

std::wstring TypeName(VARTYPE type) {
  const std::pair<VARTYPE, const wchar_t*> names[] = {
      {VT_EMPTY, L"VT_EMPTY"}, {VT_NULL, L"VT_NULL"},     {VT_I2, L"VT_I2"},         {VT_I4, L"VT_I4"},
      {VT_R4, L"VT_R4"},       {VT_R8, L"VT_R8"},         {VT_BSTR, L"VT_BSTR"},     {VT_DISPATCH, L"VT_DISPATCH"},
      {VT_ERROR, L"VT_ERROR"}, {VT_BOOL, L"VT_BOOL"},     {VT_VARIANT, L"VT_VARIANT"}, {VT_UNKNOWN, L"VT_UNKNOWN"},
      {VT_UI1, L"VT_UI1"},     {VT_INT, L"VT_INT"}};
  std::wstring base = L"VARTYPE " + std::to_wstring(type & VT_TYPEMASK);
  for (const auto& [vt, text] : names)
    if ((type & VT_TYPEMASK) == vt) base = text;
  return (type & VT_BYREF) ? L"VT_BYREF|" + base : base;
}

void ReturnText(VARIANT* result, const std::wstring& text) {
  if (!result) return;
  VariantClear(result);
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void ReturnNumber(VARIANT* result, double value) {
  if (!result) return;
  VariantClear(result);
  result->vt = VT_R8;
  result->dblVal = value;
}

void ReturnInteger(VARIANT* result, long value) {
  if (!result) return;
  VariantClear(result);
  result->vt = VT_I4;
  result->lVal = value;
}

void ReturnBool(VARIANT* result, bool value) {
  if (!result) return;
  VariantClear(result);
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void ReturnObject(VARIANT* result, IDispatch* object) {
  if (!result) {
    object->Release();
    return;
  }
  VariantClear(result);
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
}

DispatchObject::DispatchObject() { ServerObjectCreated(); }
DispatchObject::~DispatchObject() { ServerObjectDestroyed(); }

HRESULT STDMETHODCALLTYPE DispatchObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kOwnObjectIid)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DispatchObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG STDMETHODCALLTYPE DispatchObject::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  HRESULT hr = S_OK;
  ids[0] = DISPID_UNKNOWN;
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (SameName(members_[i].name, names[0])) ids[0] = static_cast<DISPID>(i + 1);
  }
  if (ids[0] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  // No member takes named arguments.
  for (UINT i = 1; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                                 VARIANT* result, EXCEPINFO* info, UINT* argErr) {
  if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
  const Entry& entry = members_[static_cast<std::size_t>(id) - 1];
  const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (isPut ? !entry.put : !entry.get) return DISP_E_MEMBERNOTFOUND;
  if (argErr) *argErr = 0;
  if (result) VariantInit(result);
  std::wstring description;
  try {
    CallArgs args(entry.name, params, isPut);
    if (!isPut) CheckInvocation(entry, flags, args.Count());
    if (isPut) {
      entry.put(args);
    } else {
      entry.get(args, result);
    }
    return S_OK;
  } catch (const AutomationFault& fault) {
    description = fault.Description();
  } catch (const std::exception& e) {
    description = entry.name + L": ";
    for (const char* p = e.what(); *p; ++p) description += static_cast<wchar_t>(static_cast<unsigned char>(*p));
  }
  if (result) VariantClear(result);
  if (!info) return E_FAIL;
  *info = EXCEPINFO{};
  info->scode = E_FAIL;
  info->bstrSource = SysAllocString(SourceName().c_str());
  info->bstrDescription = SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
  return DISP_E_EXCEPTION;
}

DispatchObject* DispatchObject::FromDispatch(IDispatch* dispatch) {
  if (!dispatch) return nullptr;
  void* own = nullptr;
  if (FAILED(dispatch->QueryInterface(kOwnObjectIid, &own)) || !own) return nullptr;
  auto* object = static_cast<DispatchObject*>(static_cast<IDispatch*>(own));
  object->Release();  // the caller still holds the argument's reference
  return object;
}

void DispatchObject::SetSourceName(std::wstring name) { SourceName() = std::move(name); }

void DispatchObject::Member(const wchar_t* name, Getter get, Putter put, Invocation how) {
  members_.push_back(Entry{name, std::move(get), std::move(put), how});
}

void DispatchObject::CheckInvocation(const Entry& entry, WORD flags, std::size_t argCount) {
  if (entry.how == Invocation::Loose) return;
  if (argCount > 0 || entry.how == Invocation::Method) {
    // A method called without arguments for its value may come as method
    // or property get, as a client does for any such call; with arguments
    // it must come as a method.
    const bool asMethod =
        flags == DISPATCH_METHOD || (argCount == 0 && flags == (DISPATCH_METHOD | DISPATCH_PROPERTYGET));
    if (!asMethod)
      throw AutomationFault(entry.name + L": invoked as " + InvocationName(flags) +
                            (argCount > 0 ? L"; a call with arguments" : L"; this method") +
                            L" must be invoked as DISPATCH_METHOD");
  } else if (!(flags & DISPATCH_PROPERTYGET)) {
    throw AutomationFault(entry.name + L": invoked as " + InvocationName(flags) +
                          L"; this property is read with DISPATCH_PROPERTYGET");
  }
}

}  // namespace qel::standin
