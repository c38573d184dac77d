// The IUnknown every COM class of the module shares. A class lists the interfaces it
// answers in one table and derives from ComObject (an object of its own, counted among the
// module's live objects) or ComPart (a part of another object, living as long as it does).
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <atomic>
#include <new>
#include <span>
#include <utility>

#include "win32/activex/module.h"
#include "win32/com_ptr.h"

namespace qorva {

// One row of a QueryInterface table: an interface identity and the object's base that
// answers for it. Several identities may share a base: IPersist is answered by
// IPersistPropertyBag, which derives from it.
template <class Object>
struct InterfaceEntry {
  const IID* iid;
  IUnknown* (*cast)(Object* object);
};

template <class Object, class Interface>
IUnknown* InterfaceOf(Object* object) {
  return static_cast<Interface*>(object);
}

// QueryInterface through `table`, which lists IID_IUnknown itself so that every query for
// the identity gives the same pointer. Leaves *out null on a miss.
template <class Object>
HRESULT QueryInterfaceFromTable(Object* object, std::span<const InterfaceEntry<Object>> table,
                                REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const InterfaceEntry<Object>& entry : table) {
    if (!IsEqualIID(iid, *entry.iid)) continue;
    IUnknown* found = entry.cast(object);
    found->AddRef();
    *out = found;
    return S_OK;
  }
  return E_NOINTERFACE;
}

// Runs the body of a COM method and turns any C++ exception into an HRESULT, since none may
// reach the caller.
template <class Body>
HRESULT GuardComCall(Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// IUnknown for a heap object of class Derived, which implements the interfaces Bases and
// defines `static std::span<const InterfaceEntry<Derived>> Interfaces()` as a static table
// of Entry<Interface>(iid) rows. An object starts with one reference, its creator's (see
// MakeComObject), and deletes itself at the last Release. While it lives, the module cannot
// unload.
template <class Derived, class... Bases>
class ComObject : public Bases... {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) final {
    return QueryInterfaceFromTable(static_cast<Derived*>(this), Derived::Interfaces(), iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() final { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() final {
    ULONG left = --refs_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 protected:
  ComObject() { ModuleAddRef(); }
  ~ComObject() { ModuleRelease(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // The table row for `iid`, answered by the Interface base.
  template <class Interface>
  static constexpr InterfaceEntry<Derived> Entry(const IID& iid) {
    return {&iid, &InterfaceOf<Derived, Interface>};
  }

  // Whether QueryInterface answers `iid`, without taking a reference.
  static bool Implements(REFIID iid) {
    for (const InterfaceEntry<Derived>& entry : Derived::Interfaces()) {
      if (IsEqualIID(iid, *entry.iid)) return true;
    }
    return false;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

// IUnknown for an object embedded in another, its owner: AddRef and Release are the
// owner's, so the part lives exactly as long as the owner does. QueryInterface answers the
// part's own table, as a connection point must.
template <class Derived, class... Bases>
class ComPart : public Bases... {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) final {
    return QueryInterfaceFromTable(static_cast<Derived*>(this), Derived::Interfaces(), iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() final { return owner_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() final { return owner_->Release(); }

 protected:
  explicit ComPart(IUnknown* owner) : owner_(owner) {}
  ~ComPart() = default;
  ComPart(const ComPart&) = delete;
  ComPart& operator=(const ComPart&) = delete;

  template <class Interface>
  static constexpr InterfaceEntry<Derived> Entry(const IID& iid) {
    return {&iid, &InterfaceOf<Derived, Interface>};
  }

 private:
  IUnknown* owner_;
};

// A new T holding the creator's one reference. Throws what `new` or T's constructor throws.
template <class T, class... Args>
ComPtr<T> MakeComObject(Args&&... args) {
  ComPtr<T> object;
  object.Attach(new T(std::forward<Args>(args)...));
  return object;
}

}  // namespace qorva
