#pragma once
// Owner of one handle of any kind: frees it exactly once, can be moved and
// never copied. Traits name the handle type and its free call; a kind whose
// empty value is not null names that too (empty()), and a kind with more
// than one failure value says which values hold a handle (valid()).
#include <utility>

namespace hv::platform::win32 {

template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, empty())) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, empty()));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return valid(h_); }
  void reset(Handle h = empty()) {
    if (valid(h_) && h_ != h) Traits::free(h_);
    h_ = h;
  }
  // Gives the handle up to a new owner (for example a menu that a window
  // now destroys with itself).
  Handle release() { return std::exchange(h_, empty()); }

 private:
  static Handle empty() {
    if constexpr (requires { Traits::empty(); })
      return Traits::empty();
    else
      return nullptr;
  }
  static bool valid(Handle h) {
    if constexpr (requires(Handle x) { Traits::valid(x); })
      return Traits::valid(h);
    else
      return h != empty();
  }

  Handle h_ = empty();
};

}  // namespace hv::platform::win32
