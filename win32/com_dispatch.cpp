#include "win32/com_dispatch.h"

#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "win32/system_error.h"
#include "win32/text.h"

namespace qel::win {

namespace {

std::string ComMessage(HRESULT hr) { return SystemMessage(static_cast<unsigned long>(hr)); }

// The interface behind an object a server returned; nullptr for any other.
IDispatch* InterfaceOf(const Dispatch& object);

void ToVariant(const Variant& in, VARIANT& out) {
  VariantInit(&out);
  if (in.IsInt()) {
    out.vt = VT_I4;
    out.lVal = in.AsInt();
  } else if (in.IsDouble()) {
    out.vt = VT_R8;
    out.dblVal = in.AsDouble();
  } else if (in.IsBool()) {
    out.vt = VT_BOOL;
    out.boolVal = in.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (in.IsText()) {
    std::wstring w = Wide(in.AsText());
    out.vt = VT_BSTR;
    out.bstrVal = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
  } else if (in.IsObject()) {
    // An object goes back to a server as the interface it came from, such
    // as a stencil master handed to a page's Drop.
    IDispatch* d = InterfaceOf(*in.AsObject());
    if (!d) throw AutomationError("only an object an automation server returned can be passed as an argument");
    d->AddRef();
    out.vt = VT_DISPATCH;
    out.pdispVal = d;
  }
}

Variant FromVariant(VARIANT& v) {
  VARIANT* p = &v;
  VARIANT deref;
  VariantInit(&deref);
  if (v.vt & VT_BYREF) {
    if (FAILED(VariantCopyInd(&deref, &v))) return Variant();
    p = &deref;
  }
  Variant result;
  switch (p->vt) {
    case VT_EMPTY:
    case VT_NULL: break;
    case VT_I2: result = Variant(static_cast<std::int32_t>(p->iVal)); break;
    case VT_I4: result = Variant(static_cast<std::int32_t>(p->lVal)); break;
    case VT_INT: result = Variant(static_cast<std::int32_t>(p->intVal)); break;
    case VT_UI1: result = Variant(static_cast<std::int32_t>(p->bVal)); break;
    case VT_R4: result = Variant(static_cast<double>(p->fltVal)); break;
    case VT_R8: result = Variant(p->dblVal); break;
    case VT_BOOL: result = Variant(p->boolVal != VARIANT_FALSE); break;
    case VT_BSTR:
      result = Variant(Narrow(std::wstring_view(p->bstrVal ? p->bstrVal : L"", p->bstrVal ? SysStringLen(p->bstrVal) : 0)));
      break;
    case VT_DISPATCH: result = Variant(WrapDispatch(p->pdispVal)); break;
    default: {
      VARIANT text;
      VariantInit(&text);
      if (SUCCEEDED(VariantChangeType(&text, p, 0, VT_BSTR)))
        result = Variant(Narrow(std::wstring_view(text.bstrVal, SysStringLen(text.bstrVal))));
      VariantClear(&text);
    }
  }
  VariantClear(&deref);
  return result;
}

class ComDispatch final : public Dispatch {
 public:
  explicit ComDispatch(IDispatch* d) : d_(d) { d_->AddRef(); }
  ~ComDispatch() override { d_->Release(); }

  // A value read, with or without arguments, may be a property or a method
  // on the server's side, so it is asked for as either; a call is a method
  // and nothing else, which a server with typed members insists on.
  Variant Get(const std::string& member, Args args) override {
    return Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, nullptr, true);
  }
  void Put(const std::string& member, const Variant& value, Args args) override {
    Invoke(member, DISPATCH_PROPERTYPUT, args, &value, false);
  }
  Variant Call(const std::string& member, Args& args) override {
    return Invoke(member, DISPATCH_METHOD, args, nullptr, true);
  }
  IDispatch* Interface() const { return d_; }

 private:
  DISPID Id(const std::string& member) {
    std::wstring name = Wide(member);
    LPOLESTR names[1] = {name.data()};
    DISPID id = 0;
    HRESULT hr = d_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) throw AutomationError(member + ": " + ComMessage(hr));
    return id;
  }

  Variant Invoke(const std::string& member, WORD flags, Args& args, const Variant* putValue, bool wantResult) {
    const DISPID id = Id(member);
    // IDispatch takes its arguments last to first; by-reference ones point
    // at a slot of their own whose value is copied back after the call.
    const std::size_t n = args.size() + (putValue ? 1 : 0);
    std::vector<VARIANT> values(n), slots(n);
    for (auto& v : values) VariantInit(&v);
    for (auto& v : slots) VariantInit(&v);
    struct Cleanup {
      std::vector<VARIANT>& a;
      std::vector<VARIANT>& b;
      ~Cleanup() {
        for (auto& v : a) VariantClear(&v);
        for (auto& v : b) VariantClear(&v);
      }
    } cleanup{values, slots};

    std::size_t pos = 0;
    if (putValue) ToVariant(*putValue, slots[pos++]);
    for (std::size_t i = args.size(); i-- > 0; ++pos) {
      ToVariant(args[i], values[pos]);
      if (args[i].IsByRefTyped() && values[pos].vt != VT_EMPTY) {
        // VT_BYREF | VT_I4 and the like point at the value inside the
        // variant; every member of a VARIANT's value union starts there.
        slots[pos].vt = static_cast<VARTYPE>(VT_BYREF | values[pos].vt);
        slots[pos].byref = &values[pos].lVal;
      } else if (args[i].IsByRef()) {
        slots[pos].vt = static_cast<VARTYPE>(VT_BYREF | VT_VARIANT);
        slots[pos].pvarVal = &values[pos];
      } else {
        slots[pos] = values[pos];
        VariantInit(&values[pos]);
      }
    }
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(n);
    params.rgvarg = n ? slots.data() : nullptr;
    DISPID putId = DISPID_PROPERTYPUT;
    if (putValue) {
      params.cNamedArgs = 1;
      params.rgdispidNamedArgs = &putId;
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    UINT argErr = 0;
    HRESULT hr = d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, wantResult ? &result : nullptr, &info,
                            &argErr);
    if (FAILED(hr)) {
      std::string text;
      if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        if (info.bstrDescription) text = Narrow(std::wstring_view(info.bstrDescription, SysStringLen(info.bstrDescription)));
        if (text.empty() && FAILED(info.scode)) text = ComMessage(info.scode);
      }
      if (text.empty()) text = ComMessage(hr);
      SysFreeString(info.bstrDescription);
      SysFreeString(info.bstrSource);
      SysFreeString(info.bstrHelpFile);
      VariantClear(&result);
      throw AutomationError(text);
    }
    pos = putValue ? 1 : 0;
    for (std::size_t i = args.size(); i-- > 0; ++pos) {
      if (args[i].IsByRef()) {
        const bool typed = args[i].IsByRefTyped();
        args[i] = FromVariant(values[pos]);
        if (typed) args[i].ByRefTyped();
        else args[i].ByRef();
      }
    }
    Variant out = FromVariant(result);
    VariantClear(&result);
    return out;
  }

  IDispatch* d_;
};

IDispatch* InterfaceOf(const Dispatch& object) {
  const auto* com = dynamic_cast<const ComDispatch*>(&object);
  return com ? com->Interface() : nullptr;
}

}  // namespace

std::shared_ptr<Dispatch> WrapDispatch(IDispatch* dispatch) {
  if (!dispatch) return nullptr;
  return std::make_shared<ComDispatch>(dispatch);
}

std::shared_ptr<Dispatch> CreateComObject(const std::string& progId) {
  std::wstring id = Wide(progId);
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(id.c_str(), &clsid);
  if (FAILED(hr)) throw AutomationError(progId + ": " + ComMessage(hr));
  IDispatch* d = nullptr;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                        reinterpret_cast<void**>(&d));
  if (FAILED(hr)) throw AutomationError(progId + ": " + ComMessage(hr));
  auto wrapped = WrapDispatch(d);
  d->Release();
  return wrapped;
}

ComApartment::ComApartment() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
ComApartment::~ComApartment() {
  if (initialised_) CoUninitialize();
}

}  // namespace qel::win
