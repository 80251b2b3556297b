#pragma once
// Bound operations (an object and one of its operations) and the event
// source that holds copies of them.

#include <cstring>

#include "ui/base/portable/UIPtrArray.h"

namespace Trellis {

// A bound operation: an object and one of its operations taking an untyped
// argument and returning bool. The operation is kept in storage large enough
// for any member-function pointer (which can be wider than a data pointer),
// compared byte for byte by Equals.
class CDelegateBase {
 public:
  static constexpr size_t kMethodStorage = 4 * sizeof(void*);

  CDelegateBase(void* object, const void* method, size_t methodSize);
  CDelegateBase(const CDelegateBase& other);
  CDelegateBase& operator=(const CDelegateBase& other);
  virtual ~CDelegateBase();

  // A new heap copy of the same concrete delegate, owned by the caller.
  virtual CDelegateBase* Copy() const = 0;
  // Calls the operation on the object with the argument and returns its result.
  virtual bool Invoke(void* argument) = 0;

  void* GetObject() const { return m_pObject; }
  const void* GetMethod() const { return m_method; }
  // Same object and same operation (the concrete class is not compared).
  bool Equals(const CDelegateBase& other) const {
    return m_pObject == other.m_pObject && std::memcmp(m_method, other.m_method, kMethodStorage) == 0;
  }
  bool Call(void* argument) { return Invoke(argument); }

 protected:
  template <typename Method>
  Method GetMethodAs() const {
    Method method;
    std::memcpy(&method, m_method, sizeof(Method));
    return method;
  }

 private:
  void* m_pObject;                                     // the listener; not owned
  alignas(void*) unsigned char m_method[kMethodStorage];  // the member-function pointer, zero-padded
};

// A delegate of an operation `bool (T::*)(void*)` called on an object of class
// O (a T or a class derived from it).
template <class O, class T>
class CDelegate : public CDelegateBase {
 public:
  using Method = bool (T::*)(void*);
  static_assert(sizeof(Method) <= kMethodStorage, "member-function pointer does not fit");

  CDelegate(O* object, Method method) : CDelegateBase(object, &method, sizeof(Method)) {}

  CDelegateBase* Copy() const override { return new CDelegate(*this); }
  bool Invoke(void* argument) override {
    O* object = static_cast<O*>(GetObject());
    return (object->*GetMethodAs<Method>())(argument);
  }
};

// An ordered list of owned delegate copies, invoked with one argument; any
// listener can stop the ones after it by returning false. A listener that
// stops listening (a tree view losing a node) takes its delegate out with
// RemoveDelegate; the others stay until the source is destroyed.
class CUIEventSource {
 public:
  CUIEventSource() = default;
  CUIEventSource(const CUIEventSource&) = delete;
  CUIEventSource& operator=(const CUIEventSource&) = delete;
  // Deletes every held delegate.
  ~CUIEventSource();

  // Appends a copy of the delegate unless an equal one is held; the caller
  // keeps its own delegate.
  void AddDelegate(const CDelegateBase& delegate);
  // Deletes the held delegate equal to the given one (same object and
  // method); nothing when none is held. Safe from inside Invoke: the entry is
  // emptied then and the list closes up after the outermost Invoke.
  void RemoveDelegate(const CDelegateBase& delegate);
  bool HasDelegates() const;
  // Calls the delegates in order; false as soon as one returns false (later
  // ones are not called), true after the last (and for an empty source).
  bool Invoke(void* argument);

 private:
  void Compact();

  CUIPtrArray m_aDelegates;  // owned CDelegateBase copies, in the order added; null = removed during Invoke
  CUIPtrArray m_aRemoved;    // owned delegates removed during Invoke, deleted when the outermost run ends
  int m_iInvoking = 0;       // depth of running Invoke calls; entries are only emptied meanwhile
};

}  // namespace Trellis
