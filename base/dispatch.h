#pragma once
// Late-bound automation: an object whose members are reached by name, as a
// property get, a property put or a method call. The Windows side implements
// it over IDispatch; tests implement it with recording objects.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace qel {

class Dispatch;

// A value passed to or returned from an automation member. Texts are CP932.
class Variant {
 public:
  Variant() = default;
  Variant(std::int32_t v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(bool v) : value_(v) {}
  Variant(std::string v) : value_(std::move(v)) {}
  Variant(const char* v) : value_(std::string(v)) {}
  Variant(std::shared_ptr<Dispatch> v) : value_(std::move(v)) {}

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsInt() const { return std::holds_alternative<std::int32_t>(value_); }
  bool IsDouble() const { return std::holds_alternative<double>(value_); }
  bool IsBool() const { return std::holds_alternative<bool>(value_); }
  bool IsText() const { return std::holds_alternative<std::string>(value_); }
  bool IsObject() const { return std::holds_alternative<std::shared_ptr<Dispatch>>(value_); }

  std::int32_t AsInt() const;
  double AsDouble() const;
  bool AsBool() const;
  const std::string& AsText() const;
  // The object a member returned; an AutomationError when it returned none.
  std::shared_ptr<Dispatch> AsObject() const;

  // A by-reference argument: the server may change it, and the caller reads
  // the changed value from the same Variant after the call. ByRef passes a
  // reference to a variant, which the server may fill with any type;
  // ByRefTyped a reference to a value of the Variant's own type (a 32-bit
  // integer, a text), for members whose parameter is typed so.
  Variant& ByRef() { byRef_ = RefKind::AnyType; return *this; }
  Variant& ByRefTyped() { byRef_ = RefKind::OwnType; return *this; }
  bool IsByRef() const { return byRef_ != RefKind::None; }
  bool IsByRefTyped() const { return byRef_ == RefKind::OwnType; }

  // Readable form for messages and recorded call logs.
  std::string Describe() const;

  bool operator==(const Variant& other) const { return value_ == other.value_; }

 private:
  std::variant<std::monostate, std::int32_t, double, bool, std::string, std::shared_ptr<Dispatch>> value_;
  enum class RefKind : unsigned char { None, AnyType, OwnType };
  RefKind byRef_ = RefKind::None;
};

using Args = std::vector<Variant>;

// An automation call failed; the text is the server's own description.
class AutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Dispatch {
 public:
  virtual ~Dispatch() = default;
  // Property get (or method call whose value is used).
  virtual Variant Get(const std::string& member, Args args = {}) = 0;
  // Property put; `args` are the index arguments, if any.
  virtual void Put(const std::string& member, const Variant& value, Args args = {}) = 0;
  // Method call; by-reference arguments come back changed.
  virtual Variant Call(const std::string& member, Args& args) = 0;
  Variant Call(const std::string& member) { Args none; return Call(member, none); }
};

// Creates the automation object registered under a ProgID, such as
// "Excel.Application". Throws AutomationError when it cannot be created.
using DispatchFactory = std::function<std::shared_ptr<Dispatch>(const std::string& progId)>;

// The factory the program uses unless a caller passes its own; the Windows
// side installs the COM one at start-up. Without one, creation fails.
void SetDefaultDispatchFactory(DispatchFactory factory);
std::shared_ptr<Dispatch> CreateAutomationObject(const std::string& progId);

}  // namespace qel
