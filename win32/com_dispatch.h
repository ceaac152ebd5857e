#pragma once
// qel::Dispatch over a real IDispatch: members are looked up by name with
// GetIDsOfNames and called with Invoke; texts cross as BSTRs converted from
// CP932; a failed call becomes an AutomationError with the server's text.
#include <memory>
#include <string>

#include "base/dispatch.h"

struct IDispatch;

namespace qel::win {

// Creates the object registered under the ProgID (in-process or local server).
std::shared_ptr<Dispatch> CreateComObject(const std::string& progId);

// Wraps an interface pointer the caller holds; takes a reference of its own.
std::shared_ptr<Dispatch> WrapDispatch(IDispatch* dispatch);

// COM for the calling thread, for as long as the object lives.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

}  // namespace qel::win
