#pragma once
// A COM local server in its own process: the class object that clients
// activate through CoCreateInstance, its registration in the registry, and
// the process's lifetime (it ends on request, when the last object a client
// held is released, or when nobody connects after a start by COM).
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "standin/comserver/dispatch_object.h"

namespace qel::standin {

struct ServerClass {
  CLSID clsid;
  const wchar_t* progId;       // e.g. L"Visio.Application"
  const wchar_t* description;  // shown in the registry
  // A new top-level object with one reference.
  std::function<DispatchObject*()> create;
};

enum class StartMode {
  kUser,        // started by a person: runs until its window is closed
  kEmbedding,   // started by COM ("-Embedding" or "/Automation")
  kRegister,    // "/RegServer": write the class registration and end
  kUnregister,  // "/UnregServer": remove it and end
};
StartMode ParseStartMode(const wchar_t* commandLine);

// Writes ProgID -> CLSID -> LocalServer32 (this executable) under
// HKLM\Software\Classes, which is where CLSIDFromProgID and CoCreateInstance
// look; UnregisterServer removes the same keys. Both return an error text,
// empty on success.
std::wstring RegisterServer(const ServerClass& server);
std::wstring UnregisterServer(const ServerClass& server);

// Makes the class object available to every client (REGCLS_MULTIPLEUSE:
// single-use activation hangs under Wine) until destroyed.
class ClassRegistration {
 public:
  explicit ClassRegistration(const ServerClass& server);
  ~ClassRegistration();
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
  DWORD cookie_ = 0;
  IClassFactory* factory_ = nullptr;
};

// Runs the thread's message loop until the server should end. With
// `endWhenUnused` (a start by COM) it also ends once the last object is
// released, and after `idleLimitMs` when no client ever created one.
int RunServerLoop(bool endWhenUnused, UINT idleLimitMs = 60000);

// Once a person has the program in hand (Excel made visible), releasing the
// last object no longer ends it; only a quit or closing its window does.
void SetUserControl(bool userControl);

// Ends the server loop after the current call has returned.
void RequestServerQuit();

// The whole life of a stand-in program, its wWinMain: registers or
// unregisters the class and ends (errors to stderr under `programName`), or
// opens its window through `openWindow` (told whether COM started it, so it
// decides whether to show itself), serves clients when started by COM, and
// runs until the server should end. Returns the process exit code.
int RunServerProgram(const ServerClass& server, const wchar_t* programName,
                     const std::function<HWND(bool startedByCom)>& openWindow);

// Object accounting, called by every DispatchObject.
void ServerObjectCreated();
void ServerObjectDestroyed();

}  // namespace qel::standin
