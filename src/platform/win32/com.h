#pragma once
// Owners for COM: the calling thread's apartment, interface pointers, BSTRs
// and VARIANTs. Each releases what it holds exactly once.
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <utility>

namespace hv::platform::win32 {

// COM on the calling thread for the owner's lifetime. A thread that already
// runs COM in another apartment keeps it, and nothing is undone for it.
class ComApartment {
 public:
  ComApartment()
      : initialised_(
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }

 private:
  bool initialised_;
};

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { reset(); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For a call that hands out a new reference; drops the old one first.
  T** put() {
    reset();
    return &p_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  // The same object through another interface; empty when it has none.
  template <class U>
  ComPtr<U> as() const {
    ComPtr<U> other;
    if (p_) p_->QueryInterface(__uuidof(U), other.putVoid());
    return other;
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const wchar_t* text) : b_(SysAllocString(text)) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }
  BSTR get() const { return b_; }
  explicit operator bool() const { return b_ != nullptr; }

 private:
  BSTR b_;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }
  static Variant Int(long value) {
    Variant v;
    v.v_.vt = VT_I4;
    v.v_.lVal = value;
    return v;
  }
  // An empty text stays VT_EMPTY: the shell reads that as "not given".
  static Variant Text(const wchar_t* text) {
    Variant v;
    if (text && *text) {
      v.v_.vt = VT_BSTR;
      v.v_.bstrVal = SysAllocString(text);
      if (!v.v_.bstrVal) v.v_.vt = VT_EMPTY;
    }
    return v;
  }
  Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
  Variant& operator=(Variant&&) = delete;
  VARIANT& get() { return v_; }

 private:
  VARIANT v_;
};

}  // namespace hv::platform::win32
