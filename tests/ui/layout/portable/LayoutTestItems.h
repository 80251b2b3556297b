#pragma once

// A stand-in for a container's children in the layout arithmetic: each child
// is added in one line with its sizing rules, reports a fixed estimate, and
// records where the layout put it.
#include <ostream>
#include <vector>

#include "ui/layout/portable/LayoutItems.h"

namespace Trellis {
// Rectangles compare and print as a whole in assertions.
inline bool operator==(const CUIRect& a, const CUIRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const CUIRect& rc) {
  return out << "(" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << ")";
}
}  // namespace Trellis

class LayoutTestItems : public Trellis::IUILayoutItems {
 public:
  struct Child {
    Trellis::UILayoutChild rules;
    Trellis::CUISize estimate;       // what EstimateSize answers
    Trellis::CUIRect placed;         // set by PlaceItem
    bool wasPlaced = false;
    bool floatingPlaced = false;     // PlaceFloatingItem was called
  };

  // A child of fixed width and height (0 = automatic); its estimate is the
  // fixed size, as the control base answers.
  Child& Add(int fixedWidth, int fixedHeight) {
    Child child;
    child.rules.fixedWidth = fixedWidth;
    child.rules.fixedHeight = fixedHeight;
    child.estimate = Trellis::CUISize(fixedWidth, fixedHeight);
    m_children.push_back(child);
    return m_children.back();
  }
  Child& operator[](size_t index) { return m_children[index]; }
  const Trellis::CUIRect& Rect(size_t index) const { return m_children[index].placed; }
  size_t Size() const { return m_children.size(); }

  // Trellis::IUILayoutItems:
  int GetItemCount() const override { return static_cast<int>(m_children.size()); }
  Trellis::UILayoutChild GetItem(int index) const override { return m_children[index].rules; }
  Trellis::CUISize EstimateItem(int index, Trellis::CUISize) override { return m_children[index].estimate; }
  void PlaceItem(int index, const Trellis::CUIRect& rc) override {
    m_children[index].placed = rc;
    m_children[index].wasPlaced = true;
  }
  void PlaceFloatingItem(int index) override { m_children[index].floatingPlaced = true; }

 private:
  std::vector<Child> m_children;
};
