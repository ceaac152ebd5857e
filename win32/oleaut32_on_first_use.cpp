// oleaut32 (BSTR and VARIANT) is needed only by the Visio and Excel
// commands, so the program does not import it: it is loaded at the first
// automation call instead of at every start. The program's calls go through
// the import pointers the compiler emits for these functions
// (__imp__Name@n); they are defined here, each pointing at a function that
// loads the DLL once, looks the real function up once and calls it. The
// import library of oleaut32 is not linked into the program, so a call to
// any other oleaut32 function fails at link time instead of bringing the
// DLL back into every start. (The linker's own delay-load import libraries
// for 32-bit Windows call through a null pointer with this toolchain.)
#include <windows.h>
#include <oleauto.h>

#include <stdexcept>
#include <string>

static_assert(sizeof(void*) == 4, "the import pointer names below are those of 32-bit Windows");

namespace {

FARPROC OleAutFunction(const char* name) {
  static const HMODULE dll = LoadLibraryW(L"oleaut32.dll");
  const FARPROC f = dll ? GetProcAddress(dll, name) : nullptr;
  if (!f) throw std::runtime_error(std::string("oleaut32.dll の ") + name + " を読み込めません。");
  return f;
}

template <typename F>
F Real(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(OleAutFunction(name)));
}

BSTR WINAPI FirstSysAllocStringLen(const OLECHAR* s, UINT n) {
  static const auto f = Real<decltype(&SysAllocStringLen)>("SysAllocStringLen");
  return f(s, n);
}
void WINAPI FirstSysFreeString(BSTR s) {
  static const auto f = Real<decltype(&SysFreeString)>("SysFreeString");
  f(s);
}
UINT WINAPI FirstSysStringLen(BSTR s) {
  static const auto f = Real<decltype(&SysStringLen)>("SysStringLen");
  return f(s);
}
void WINAPI FirstVariantInit(VARIANTARG* v) {
  static const auto f = Real<decltype(&VariantInit)>("VariantInit");
  f(v);
}
HRESULT WINAPI FirstVariantClear(VARIANTARG* v) {
  static const auto f = Real<decltype(&VariantClear)>("VariantClear");
  return f(v);
}
HRESULT WINAPI FirstVariantCopyInd(VARIANT* to, VARIANTARG* from) {
  static const auto f = Real<decltype(&VariantCopyInd)>("VariantCopyInd");
  return f(to, from);
}
HRESULT WINAPI FirstVariantChangeType(VARIANTARG* to, VARIANTARG* from, USHORT flags, VARTYPE type) {
  static const auto f = Real<decltype(&VariantChangeType)>("VariantChangeType");
  return f(to, from, flags, type);
}

}  // namespace

extern "C" {
void* qel_imp_SysAllocStringLen __asm__("__imp__SysAllocStringLen@8") = reinterpret_cast<void*>(&FirstSysAllocStringLen);
void* qel_imp_SysFreeString __asm__("__imp__SysFreeString@4") = reinterpret_cast<void*>(&FirstSysFreeString);
void* qel_imp_SysStringLen __asm__("__imp__SysStringLen@4") = reinterpret_cast<void*>(&FirstSysStringLen);
void* qel_imp_VariantInit __asm__("__imp__VariantInit@4") = reinterpret_cast<void*>(&FirstVariantInit);
void* qel_imp_VariantClear __asm__("__imp__VariantClear@4") = reinterpret_cast<void*>(&FirstVariantClear);
void* qel_imp_VariantCopyInd __asm__("__imp__VariantCopyInd@8") = reinterpret_cast<void*>(&FirstVariantCopyInd);
void* qel_imp_VariantChangeType __asm__("__imp__VariantChangeType@16") = reinterpret_cast<void*>(&FirstVariantChangeType);
}
