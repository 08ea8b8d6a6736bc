// IUnknown for a heap object that exposes one interface besides IUnknown.
#pragma once

#include "platform/win32/ole32.h"

// Object starts with one reference; the last Release deletes it as the derived type, so the
// derived class needs no virtual destructor (it may keep its destructor private and befriend this).
template <class Derived, class Interface, const IID& INTERFACE_ID>
class SingleInterfaceObject : public Interface {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == INTERFACE_ID) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }

  ULONG AddRef() override { return ++references_; }

  ULONG Release() override {
    ULONG left = --references_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 private:
  ULONG references_ = 1;
};
