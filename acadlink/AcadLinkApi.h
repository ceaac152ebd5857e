#pragma once
// The face of the AutoCAD link component that the drawing job and the
// AutoCAD type selection window use. Portable, so that both can be driven
// by a recording object in native tests; TAcadControl implements it on
// Windows.
#include <string>

namespace qel {

// The published edition enumeration; the ordinal is the value (0..14).
// atResv2..atResv4 are reserved: no edition, no display name.
enum TAcadType : int {
  atNOACAD = 0,
  atACLT95 = 1,
  atACLT97 = 2,
  atACLT98 = 3,
  atACLT2000 = 4,
  atACLT2000i = 5,
  atACLT2002 = 6,
  atResv2 = 7,
  atResv3 = 8,
  atResv4 = 9,
  atACAD13 = 10,
  atACAD14 = 11,
  atACAD2000 = 12,
  atACAD2000i = 13,
  atACAD2002 = 14,
};

class AcadLinkApi {
 public:
  virtual ~AcadLinkApi() = default;

  // ---- used by the drawing job ----
  // Queues one command text for the attached AutoCAD; false when refused.
  virtual bool SendCommand(const std::string& cmdStr, int sendNo) = 0;
  virtual bool GetSDIMode() = 0;
  virtual bool ExecuteAcad() = 0;
  virtual void SetSDIMode(bool value) = 0;

  // ---- used by the type selection window ----
  virtual bool Enabled() = 0;
  virtual void SetEnabled(bool value) = 0;
  virtual TAcadType AcadType() = 0;
  virtual void SetAcadType(TAcadType value) = 0;
  virtual TAcadType MinAcadType() = 0;
  virtual TAcadType MaxAcadType() = 0;
  virtual std::string GetAcadTypeName() = 0;
  virtual TAcadType AcadTypeFromName(const std::string& name) = 0;
  virtual TAcadType FindInstalledAclt() = 0;
  virtual TAcadType FindInstalledAcad() = 0;
  virtual bool IsInstalled() = 0;
  virtual bool CanExecute() = 0;
};

}  // namespace qel
