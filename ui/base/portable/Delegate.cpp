#include "ui/base/portable/Delegate.h"

namespace Trellis {

CDelegateBase::CDelegateBase(void* object, const void* method, size_t methodSize) : m_pObject(object), m_method() {
  std::memcpy(m_method, method, methodSize < kMethodStorage ? methodSize : kMethodStorage);
}

CDelegateBase::CDelegateBase(const CDelegateBase& other) : m_pObject(other.m_pObject), m_method() {
  std::memcpy(m_method, other.m_method, kMethodStorage);
}

CDelegateBase& CDelegateBase::operator=(const CDelegateBase& other) {
  m_pObject = other.m_pObject;
  std::memcpy(m_method, other.m_method, kMethodStorage);
  return *this;
}

CDelegateBase::~CDelegateBase() = default;

CUIEventSource::~CUIEventSource() {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_aDelegates.GetAtUnchecked(i));
  for (int i = 0; i < m_aRemoved.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_aRemoved.GetAtUnchecked(i));
}

void CUIEventSource::AddDelegate(const CDelegateBase& delegate) {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    const CDelegateBase* held = static_cast<const CDelegateBase*>(m_aDelegates.GetAtUnchecked(i));
    if (held != nullptr && held->Equals(delegate)) return;
  }
  CDelegateBase* copy = delegate.Copy();
  if (!m_aDelegates.Add(copy)) delete copy;
}

void CUIEventSource::RemoveDelegate(const CDelegateBase& delegate) {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    CDelegateBase* held = static_cast<CDelegateBase*>(m_aDelegates.GetAtUnchecked(i));
    if (held == nullptr || !held->Equals(delegate)) continue;
    m_aDelegates.Remove(i);
    if (m_iInvoking > 0) {
      // A running Invoke walks the list by index and may be inside this very
      // delegate: keep the place, and the object until the run ends.
      m_aDelegates.InsertAt(i, nullptr);
      if (m_aRemoved.Add(held)) return;
    }
    delete held;
    return;
  }
}

bool CUIEventSource::HasDelegates() const {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    if (m_aDelegates.GetAtUnchecked(i) != nullptr) return true;
  }
  return false;
}

void CUIEventSource::Compact() {
  for (int i = 0; i < m_aRemoved.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_aRemoved.GetAtUnchecked(i));
  m_aRemoved.Clear();
  for (int i = m_aDelegates.GetSize() - 1; i >= 0; --i) {
    if (m_aDelegates.GetAtUnchecked(i) == nullptr) m_aDelegates.Remove(i);
  }
}

bool CUIEventSource::Invoke(void* argument) {
  ++m_iInvoking;
  bool result = true;
  // The count is read on every step: a listener may add delegates while running.
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    CDelegateBase* delegate = static_cast<CDelegateBase*>(m_aDelegates.GetAtUnchecked(i));
    if (delegate == nullptr) continue;
    if (!delegate->Invoke(argument)) {
      result = false;
      break;
    }
  }
  if (--m_iInvoking == 0) Compact();
  return result;
}

}  // namespace Trellis
