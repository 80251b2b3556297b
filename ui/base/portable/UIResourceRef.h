#pragma once
// A resource named by text or by number, in one value that owns nothing.

#include <cstdint>

#include "ui/base/portable/UIChar.h"

namespace Trellis {

// A resource named by a text or by a number, in one pointer-sized value as the
// platform's integer-resource convention has it: values below 0x10000 are
// numbers (kept in the low 16 bits), anything else points at the name text,
// which the reference does not own.
class UIResourceRef {
 public:
  UIResourceRef(const UIChar* name) : m_value(reinterpret_cast<uintptr_t>(name)) {}
  UIResourceRef(int number) : m_value(static_cast<uintptr_t>(number) & 0xFFFFu) {}

  bool IsNumber() const { return m_value < 0x10000u; }
  unsigned GetNumber() const { return IsNumber() ? static_cast<unsigned>(m_value) : 0u; }
  // The name text, or null for a number.
  const UIChar* GetName() const { return IsNumber() ? nullptr : reinterpret_cast<const UIChar*>(m_value); }
  // The value as the platform's resource functions take it (a name pointer,
  // or the number in a pointer).
  const UIChar* AsResourceName() const { return reinterpret_cast<const UIChar*>(m_value); }

 private:
  uintptr_t m_value;
};

}  // namespace Trellis
