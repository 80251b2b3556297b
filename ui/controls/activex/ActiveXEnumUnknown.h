#pragma once

// CActiveXEnumUnknown: the enumerator IOleContainer::EnumObjects hands out,
// over the container's one object. Reference counted from 1; deletes itself
// at the last Release; holds a reference to the object.
#include <windows.h>
#include <ole2.h>

#include "core/base/ScopedHandle.h"

namespace Trellis {

class CActiveXEnumUnknown final : public IEnumUnknown {
 public:
  explicit CActiveXEnumUnknown(IUnknown* object);
  CActiveXEnumUnknown(const CActiveXEnumUnknown&) = delete;
  CActiveXEnumUnknown& operator=(const CActiveXEnumUnknown&) = delete;

  // IUnknown:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IEnumUnknown:
  STDMETHODIMP Next(ULONG count, IUnknown** items, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumUnknown** copy) override;

 private:
  ~CActiveXEnumUnknown() = default;

  LONG m_refs = 1;
  ComPtr<IUnknown> m_pObject;  // the one object
  ULONG m_position = 0;        // 0 before the object, 1 after it
};

}  // namespace Trellis
