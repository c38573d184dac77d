// An owning reference to a COM interface, so that no path forgets an AddRef or a Release.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <cstddef>
#include <type_traits>
#include <utility>

namespace qorva {

// Holds one reference to a T, or none. Copying takes a reference of its own; moving and
// Detach hand the one held over. operator& is deliberately not overloaded: out-parameters go
// through ReleaseAndGetAddressOf, which says that the reference held is dropped first.
template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Shares `pointer`: takes a reference of its own, as an assignment from a raw pointer does.
  ComPtr(T* pointer) noexcept : pointer_(pointer) { AddRefHeld(); }
  ComPtr(const ComPtr& other) noexcept : ComPtr(other.pointer_) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(other.Detach()) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  ComPtr(const ComPtr<U>& other) noexcept : ComPtr(other.Get()) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  ComPtr(ComPtr<U>&& other) noexcept : pointer_(other.Detach()) {}
  ~ComPtr() { Reset(); }

  // The new reference is taken before the old one is dropped, so assigning a pointer that
  // only the old one keeps alive is safe.
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }

  T* Get() const noexcept { return pointer_; }
  T* operator->() const noexcept { return pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }

  void Reset() noexcept {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  // Takes over a reference the caller owns, without an AddRef.
  void Attach(T* pointer) noexcept {
    Reset();
    pointer_ = pointer;
  }
  // Hands the reference over to the caller, who releases it.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(pointer_, nullptr); }
  // Drops the reference held and returns the slot for a call that returns a new one.
  T** ReleaseAndGetAddressOf() noexcept {
    Reset();
    return &pointer_;
  }

  // Stores the pointer with a reference of its own in a caller's out-parameter; E_POINTER
  // when `out` is null.
  HRESULT CopyTo(T** out) const noexcept {
    if (!out) return E_POINTER;
    *out = pointer_;
    AddRefHeld();
    return S_OK;
  }

  // QueryInterface for U, into `out`; `out` is empty on failure and may be this pointer.
  template <class U>
  HRESULT As(ComPtr<U>* out) const noexcept {
    return As(__uuidof(U), out);
  }
  // The same for an interface known only by its IID, such as a dispinterface that is
  // reached through IDispatch.
  template <class U>
  HRESULT As(REFIID iid, ComPtr<U>* out) const noexcept {
    if (!out) return E_POINTER;
    if (!pointer_) {
      out->Reset();
      return E_POINTER;
    }
    ComPtr<U> result;
    HRESULT hr =
        pointer_->QueryInterface(iid, reinterpret_cast<void**>(result.ReleaseAndGetAddressOf()));
    *out = std::move(result);
    return hr;
  }

 private:
  void AddRefHeld() const noexcept {
    if (pointer_) pointer_->AddRef();
  }

  T* pointer_ = nullptr;
};

}  // namespace qorva
