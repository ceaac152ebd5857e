#pragma once
// An automation object that writes every call into a shared log and answers
// every get with another recording object, so a test can compare the exact
// call sequence a piece of code makes. A call can be made to fail.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/dispatch.h"

namespace qel::testing {

struct CallLog {
  std::vector<std::string> calls;
  // Consulted before each call with its log line; throwing from it makes
  // that call fail as a server would.
  std::function<void(const std::string&)> beforeCall;
};

class RecordingDispatch : public Dispatch, public std::enable_shared_from_this<RecordingDispatch> {
 public:
  RecordingDispatch(std::shared_ptr<CallLog> log, std::string path) : log_(std::move(log)), path_(std::move(path)) {}

  Variant Get(const std::string& member, Args args) override {
    std::string line = path_ + "." + member + Describe(args);
    Record(line);
    return Variant(std::shared_ptr<Dispatch>(std::make_shared<RecordingDispatch>(log_, path_ + "." + member)));
  }
  void Put(const std::string& member, const Variant& value, Args args) override {
    Record(path_ + "." + member + Describe(args) + " = " + value.Describe());
  }
  Variant Call(const std::string& member, Args& args) override {
    Record(path_ + "." + member + "()" + Describe(args));
    return Variant(std::shared_ptr<Dispatch>(std::make_shared<RecordingDispatch>(log_, path_ + "." + member + "()")));
  }

 private:
  static std::string Describe(const Args& args) {
    if (args.empty()) return "";
    std::string s = "(";
    for (std::size_t i = 0; i < args.size(); ++i) s += (i ? "," : "") + args[i].Describe();
    return s + ")";
  }
  void Record(const std::string& line) {
    if (log_->beforeCall) log_->beforeCall(line);
    log_->calls.push_back(line);
  }
  std::shared_ptr<CallLog> log_;
  std::string path_;
};

}  // namespace qel::testing
