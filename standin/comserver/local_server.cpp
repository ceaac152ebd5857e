#include "standin/comserver/local_server.h"

#include <objbase.h>

#include <atomic>
#include <cstdio>
#include <memory>

namespace qel::standin {

namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};
std::atomic<bool> everUsed{false};
std::atomic<bool> endWhenUnusedFlag{false};
std::atomic<bool> userControlFlag{false};
std::atomic<bool> stopping{false};
DWORD loopThread = 0;

void CheckUnused() {
  if (endWhenUnusedFlag && !userControlFlag && everUsed && liveObjects == 0 && serverLocks == 0) RequestServerQuit();
}

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(std::function<DispatchObject*()> create) : create_(std::move(create)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    // A client arriving while the server winds down gets a fresh one.
    if (stopping) return CO_E_SERVER_STOPPING;
    DispatchObject* object = nullptr;
    try {
      object = create_();
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ++serverLocks;
      everUsed = true;
    } else {
      --serverLocks;
      CheckUnused();
    }
    return S_OK;
  }

 private:
  std::function<DispatchObject*()> create_;
  LONG refs_ = 1;
};

bool HasSwitch(const wchar_t* commandLine, const wchar_t* name) {
  // Switches are words starting with '-' or '/', compared without case.
  const wchar_t* p = commandLine;
  const std::size_t len = wcslen(name);
  while (p && *p) {
    if ((*p == L'-' || *p == L'/') && (p == commandLine || p[-1] == L' ' || p[-1] == L'\t')) {
      if (CompareStringOrdinal(p + 1, static_cast<int>(len), name, static_cast<int>(len), TRUE) == CSTR_EQUAL) {
        wchar_t after = p[1 + len];
        if (after == 0 || after == L' ' || after == L'\t') return true;
      }
    }
    ++p;
  }
  return false;
}

std::wstring GuidText(const CLSID& clsid) {
  wchar_t buf[64];
  StringFromGUID2(clsid, buf, 64);
  return buf;
}

std::wstring SetDefault(const std::wstring& key, const std::wstring& value) {
  HKEY h = nullptr;
  LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr);
  if (rc == ERROR_SUCCESS) {
    rc = RegSetValueExW(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
  }
  if (rc != ERROR_SUCCESS) return L"cannot write HKLM\\" + key + L" (error " + std::to_wstring(rc) + L")";
  return L"";
}

}  // namespace

StartMode ParseStartMode(const wchar_t* commandLine) {
  if (HasSwitch(commandLine, L"RegServer")) return StartMode::kRegister;
  if (HasSwitch(commandLine, L"UnregServer")) return StartMode::kUnregister;
  if (HasSwitch(commandLine, L"Embedding") || HasSwitch(commandLine, L"Automation")) return StartMode::kEmbedding;
  return StartMode::kUser;
}

std::wstring RegisterServer(const ServerClass& server) {
  wchar_t exe[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return L"cannot tell this program's path";
  const std::wstring clsid = GuidText(server.clsid);
  const std::wstring classes = L"Software\\Classes\\";
  const std::wstring progId = server.progId;
  for (const auto& [key, value] : {
           std::pair{classes + progId, std::wstring(server.description)},
           std::pair{classes + progId + L"\\CLSID", clsid},
           std::pair{classes + L"CLSID\\" + clsid, std::wstring(server.description)},
           std::pair{classes + L"CLSID\\" + clsid + L"\\ProgID", progId},
           std::pair{classes + L"CLSID\\" + clsid + L"\\LocalServer32", L"\"" + std::wstring(exe, n) + L"\""},
       }) {
    std::wstring error = SetDefault(key, value);
    if (!error.empty()) return error;
  }
  return L"";
}

std::wstring UnregisterServer(const ServerClass& server) {
  const std::wstring classes = L"Software\\Classes\\";
  for (const std::wstring& key : {classes + server.progId, classes + L"CLSID\\" + GuidText(server.clsid)}) {
    LONG rc = RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
      return L"cannot remove HKLM\\" + key + L" (error " + std::to_wstring(rc) + L")";
  }
  return L"";
}

ClassRegistration::ClassRegistration(const ServerClass& server) {
  loopThread = GetCurrentThreadId();
  factory_ = new ClassFactory(server.create);
  result_ = CoRegisterClassObject(server.clsid, factory_, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

ClassRegistration::~ClassRegistration() {
  if (SUCCEEDED(result_)) CoRevokeClassObject(cookie_);
  factory_->Release();
}

int RunServerLoop(bool endWhenUnused, UINT idleLimitMs) {
  loopThread = GetCurrentThreadId();
  endWhenUnusedFlag = endWhenUnused;
  UINT_PTR idleTimer = endWhenUnused ? SetTimer(nullptr, 0, idleLimitMs, nullptr) : 0;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr && idleTimer && msg.wParam == idleTimer) {
      KillTimer(nullptr, idleTimer);
      idleTimer = 0;
      // Started by COM but nobody ever connected: do not linger.
      if (!everUsed) break;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (idleTimer) KillTimer(nullptr, idleTimer);
  return 0;
}

int RunServerProgram(const ServerClass& server, const wchar_t* programName,
                     const std::function<HWND(bool startedByCom)>& openWindow) {
  const StartMode mode = ParseStartMode(GetCommandLineW());
  if (mode == StartMode::kRegister || mode == StartMode::kUnregister) {
    const std::wstring error = mode == StartMode::kRegister ? RegisterServer(server) : UnregisterServer(server);
    if (!error.empty()) std::fwprintf(stderr, L"%ls: %ls\n", programName, error.c_str());
    return error.empty() ? 0 : 1;
  }

  if (FAILED(CoInitialize(nullptr))) return 1;
  DispatchObject::SetSourceName(server.progId);
  const bool byCom = mode == StartMode::kEmbedding;
  HWND window = openWindow(byCom);
  int rc = 0;
  {
    // Only a start by COM serves clients; a person's start just shows the window.
    std::unique_ptr<ClassRegistration> registration;
    if (byCom) {
      registration = std::make_unique<ClassRegistration>(server);
      if (FAILED(registration->Result())) rc = 1;
    }
    if (rc == 0) rc = RunServerLoop(byCom);
    if (IsWindow(window)) DestroyWindow(window);
  }
  CoUninitialize();
  return rc;
}

void SetUserControl(bool userControl) { userControlFlag = userControl; }

void RequestServerQuit() {
  stopping = true;
  if (loopThread) PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
}

void ServerObjectCreated() {
  ++liveObjects;
  everUsed = true;
}

void ServerObjectDestroyed() {
  --liveObjects;
  CheckUnused();
}

}  // namespace qel::standin
