#include "ui/controls/activex/ActiveXEnumUnknown.h"

namespace Trellis {

CActiveXEnumUnknown::CActiveXEnumUnknown(IUnknown* object) {
  if (object != nullptr) object->AddRef();
  m_pObject.Reset(object);
}

STDMETHODIMP CActiveXEnumUnknown::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IEnumUnknown) {
    *object = static_cast<IEnumUnknown*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CActiveXEnumUnknown::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

STDMETHODIMP_(ULONG) CActiveXEnumUnknown::Release() {
  const LONG refs = InterlockedDecrement(&m_refs);
  if (refs == 0) delete this;
  return static_cast<ULONG>(refs);
}

STDMETHODIMP CActiveXEnumUnknown::Next(ULONG count, IUnknown** items, ULONG* fetched) {
  if (fetched != nullptr) *fetched = 0;
  if (items == nullptr) return E_POINTER;
  if (count == 0) return S_OK;
  if (m_position > 0 || !m_pObject) return S_FALSE;
  m_pObject->AddRef();
  items[0] = m_pObject.Get();
  m_position = 1;
  if (fetched != nullptr) *fetched = 1;
  return count == 1 ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXEnumUnknown::Skip(ULONG count) {
  m_position += count;
  return m_position > 1 ? S_FALSE : S_OK;
}

STDMETHODIMP CActiveXEnumUnknown::Reset() {
  m_position = 0;
  return S_OK;
}

STDMETHODIMP CActiveXEnumUnknown::Clone(IEnumUnknown** copy) {
  if (copy != nullptr) *copy = nullptr;
  return E_NOTIMPL;
}

}  // namespace Trellis
