#pragma once
// A window the program needs now and then, made the first time something
// asks for it and kept from then on. Start-up then pays only for the
// windows the user sees.
#include <functional>
#include <memory>
#include <utility>

namespace qel::win {

template <class T>
class MadeOnFirstUse {
 public:
  explicit MadeOnFirstUse(std::function<std::unique_ptr<T>()> make) : make_(std::move(make)) {}
  MadeOnFirstUse(const MadeOnFirstUse&) = delete;
  MadeOnFirstUse& operator=(const MadeOnFirstUse&) = delete;

  T* get() {
    if (!made_) made_ = make_();
    return made_.get();
  }
  T* operator->() { return get(); }
  T& operator*() { return *get(); }
  // Whether it has been made, without making it.
  bool Made() const { return made_ != nullptr; }

 private:
  std::function<std::unique_ptr<T>()> make_;
  std::unique_ptr<T> made_;
};

}  // namespace qel::win
