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
}

void CUIEventSource::AddDelegate(const CDelegateBase& delegate) {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    const CDelegateBase* held = static_cast<const CDelegateBase*>(m_aDelegates.GetAtUnchecked(i));
    if (held != nullptr && held->Equals(delegate)) return;
  }
  CDelegateBase* copy = delegate.Copy();
  if (!m_aDelegates.Add(copy)) delete copy;
}

bool CUIEventSource::Invoke(void* argument) {
  // The count is read on every step: a listener may add delegates while running.
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    CDelegateBase* delegate = static_cast<CDelegateBase*>(m_aDelegates.GetAtUnchecked(i));
    if (delegate == nullptr) continue;
    if (!delegate->Invoke(argument)) return false;
  }
  return true;
}

}  // namespace Trellis
