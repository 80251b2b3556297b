#pragma once

// CVerticalLayoutUI: stacks its visible children top to bottom; children without a
// fixed height share the room the others leave. With a separator ("sepheight")
// the user can drag the layout's own height.
#include "ui/control/ContainerUI.h"
#include "ui/layout/StackSeparator.h"

namespace Trellis {

class CVerticalLayoutUI : public CContainerUI {
 public:
  CVerticalLayoutUI();

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "VerticalLayout": the layout; else the container's answer.
  void* GetInterface(const UIChar* name) override;
  // kUIFlagSetCursor while enabled with a separator.
  UINT GetControlFlags() const override;
  // Places the children top to bottom, then the scroll bars.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // Separator drags; everything else goes to the container.
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Draws the proposed separator band while a deferred drag runs.
  void PostPaint(HDC hDC, const CUIRect& rcPaint) override;

  int GetSepSize() const { return m_separator.GetSize(); }
  void SetSepSize(int size) { m_separator.SetSize(size); }
  bool IsSepImmediateMode() const { return m_separator.IsImmediate(); }
  void SetSepImmediateMode(bool immediate) { m_separator.SetImmediate(*this, immediate); }
  // The separator band (of the proposed rectangle while dragging, when asked).
  CUIRect GetThumbRect(bool useNewPos = false) const { return m_separator.GetBand(*this, useNewPos); }

 private:
  CStackSeparator m_separator;  // size, drag state, last point, proposed rectangle, immediate flag
};

}  // namespace Trellis
