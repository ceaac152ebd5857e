#pragma once
// A link component for tests: it records every command text and every
// call the drawing makes, and plays a machine with a chosen set of
// installed and startable editions for the type selection window.
#include <set>
#include <string>
#include <vector>

#include "acadlink/AcadLinkApi.h"

namespace qel::testing {

class FakeAcadLink : public AcadLinkApi {
 public:
  std::vector<std::string> commands;  // every text given to SendCommand
  std::vector<std::string> calls;     // the other calls of the drawing job, by name
  std::set<int> installed;            // editions that count as installed
  std::set<int> startable;            // editions that count as startable
  bool enabled = true;

  bool SendCommand(const std::string& cmdStr, int sendNo) override {
    if (sendNo != 0) calls.push_back("SendNo " + std::to_string(sendNo));
    commands.push_back(cmdStr);
    return true;
  }
  bool GetSDIMode() override { calls.push_back("GetSDIMode"); return true; }
  bool launches = true;  // false: AutoCAD died or never appeared while starting
  bool ExecuteAcad() override { calls.push_back("ExecuteAcad"); return launches; }
  void SetSDIMode(bool value) override { calls.push_back(value ? "SetSDIMode true" : "SetSDIMode false"); }

  bool Enabled() override { return enabled; }
  void SetEnabled(bool value) override { enabled = value; }
  TAcadType AcadType() override { return type_; }
  void SetAcadType(TAcadType value) override { type_ = value; }
  TAcadType MinAcadType() override { return atACLT95; }
  TAcadType MaxAcadType() override { return atACAD2002; }
  std::string GetAcadTypeName() override { return NameOf(type_); }
  TAcadType AcadTypeFromName(const std::string& name) override {
    for (int t = atACLT95; t <= atACAD2002; ++t)
      if (!NameOf(t).empty() && NameOf(t) == name) return static_cast<TAcadType>(t);
    return atNOACAD;
  }
  TAcadType FindInstalledAclt() override { return Newest(atACLT95, atACLT2002); }
  TAcadType FindInstalledAcad() override { return Newest(atACAD13, atACAD2002); }
  bool IsInstalled() override { return installed.count(type_) > 0; }
  bool CanExecute() override { return startable.count(type_) > 0; }

 private:
  static std::string NameOf(int t) {
    static const char* const names[] = {"",
                                        "AutoCAD LT95",  "AutoCAD LT97",    "AutoCAD LT98", "AutoCAD LT2000",
                                        "AutoCAD LT2000i", "AutoCAD LT2002", "",             "",
                                        "",              "AutoCAD R13",     "AutoCAD R14",  "AutoCAD 2000",
                                        "AutoCAD 2000i", "AutoCAD 2002"};
    return t >= 0 && t <= 14 ? names[t] : "";
  }
  TAcadType Newest(int from, int to) const {
    for (int t = to; t >= from; --t)
      if (installed.count(t)) return static_cast<TAcadType>(t);
    return atNOACAD;
  }
  TAcadType type_ = atNOACAD;
};

}  // namespace qel::testing
