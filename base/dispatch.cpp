#include "base/dispatch.h"

#include <cstdio>

namespace qel {

namespace {
DispatchFactory& DefaultFactory() {
  static DispatchFactory factory;
  return factory;
}
[[noreturn]] void WrongType(const char* wanted, const Variant& v) {
  throw AutomationError(std::string("automation value is not ") + wanted + ": " + v.Describe());
}
}  // namespace

std::int32_t Variant::AsInt() const {
  if (auto p = std::get_if<std::int32_t>(&value_)) return *p;
  if (auto d = std::get_if<double>(&value_)) return static_cast<std::int32_t>(*d);
  if (auto b = std::get_if<bool>(&value_)) return *b ? -1 : 0;
  WrongType("an integer", *this);
}

double Variant::AsDouble() const {
  if (auto p = std::get_if<double>(&value_)) return *p;
  if (auto i = std::get_if<std::int32_t>(&value_)) return *i;
  WrongType("a number", *this);
}

bool Variant::AsBool() const {
  if (auto p = std::get_if<bool>(&value_)) return *p;
  if (auto i = std::get_if<std::int32_t>(&value_)) return *i != 0;
  WrongType("a Boolean", *this);
}

const std::string& Variant::AsText() const {
  if (auto p = std::get_if<std::string>(&value_)) return *p;
  WrongType("a text", *this);
}

std::shared_ptr<Dispatch> Variant::AsObject() const {
  if (auto p = std::get_if<std::shared_ptr<Dispatch>>(&value_); p && *p) return *p;
  WrongType("an object", *this);
}

std::string Variant::Describe() const {
  struct Visitor {
    std::string operator()(std::monostate) const { return "(empty)"; }
    std::string operator()(std::int32_t v) const { return std::to_string(v); }
    std::string operator()(double v) const {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%g", v);
      return buf;
    }
    std::string operator()(bool v) const { return v ? "true" : "false"; }
    std::string operator()(const std::string& v) const { return "\"" + v + "\""; }
    std::string operator()(const std::shared_ptr<Dispatch>& v) const { return v ? "(object)" : "(nothing)"; }
  };
  return std::visit(Visitor{}, value_);
}

void SetDefaultDispatchFactory(DispatchFactory factory) { DefaultFactory() = std::move(factory); }

std::shared_ptr<Dispatch> CreateAutomationObject(const std::string& progId) {
  if (!DefaultFactory()) throw AutomationError("no automation available to create " + progId);
  return DefaultFactory()(progId);
}

}  // namespace qel
