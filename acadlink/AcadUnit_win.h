#pragma once
// Discovery of installed and running AutoCAD editions: the edition cache,
// registry look-ups, the running test, single-drawing mode, the start of a
// program and the search path it inherits. Main thread only (the cache has
// no lock). Windows only.
#include <windows.h>

#include <string>

#include "acadlink/AcadUnit.h"

namespace qel {

// Initialises the edition cache and the run index and probes every edition;
// runs by itself on first use. Calling it again starts over (tests).
void InitAcadEditionCache();

std::string GetAcadExePath(int edition);
std::string GetAcadVersion(int edition);
bool IsAcadInstalled(int edition);
bool IsAcadRunning(int edition);
void MarkAcadStarting(int edition, bool starting);
bool CanExecuteAcad(int edition);
std::string GetAcadVersionKey(int edition);
std::string GetAcadProfileKey(int edition);
bool GetAcadSDIMode(int edition);
bool SetAcadSDIMode(int edition, bool value);
bool StartAcadProcess(int edition, const std::string& cmdLine, const std::string& workDir, int show,
                      PROCESS_INFORMATION& info);
bool SetAcadSharedPath(const std::string& programDir);

// The registry key of the link library's own backup of the SDI setting.
constexpr const char* kAcadToolKey = "Software\\Morvi\\ACADTOOL";

}  // namespace qel
