#pragma once

// CListHeaderItemUI: one column of a list header ("ListHeaderItem"): a
// caption with state images that sends "headerclick", resized by dragging
// its separator band (never below its minimum width, 16 by default).
#include "ui/control/ControlUI.h"
#include "ui/controls/StateImages.h"

namespace Trellis {

class CListHeaderItemUI : public CControlUI {
 public:
  CListHeaderItemUI();

  // CControlUI:
  const UIChar* GetClassName() const override;
  void* GetInterface(const UIChar* name) override;
  // Set-cursor while enabled with a separator.
  UINT GetControlFlags() const override;
  // Disabling clears the state bits.
  void SetEnabled(bool enabled = true) override;
  // Press, separator drag, hot tracking.
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Fixed height, else (fixed width, default font height + 8).
  CUISize EstimateSize(CUISize available) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  // Setters: colour, padding and markup repaint; the rest only store.
  bool IsDragable() const { return m_bDragable; }
  // False also ends a drag in progress.
  void SetDragable(bool dragable);
  int GetSepWidth() const { return m_iSepWidth; }
  void SetSepWidth(int width);
  void SetTextColor(DWORD color);
  void SetSepColor(DWORD color);
  void SetFont(int font);
  void SetTextPadding(CUIRect padding);
  void SetShowHtml(bool showHtml);
  void SetNormalImage(const UIChar* description);
  void SetHotImage(const UIChar* description);
  void SetPushedImage(const UIChar* description);
  void SetFocusedImage(const UIChar* description);
  void SetSepImage(const UIChar* description);
  // The separator band in window coordinates.
  CUIRect GetThumbRect() const;

 protected:
  void SetImage(UIImageDrawInfo& image, const UIChar* description);

  CUIPoint m_ptLastMouse;                  // last point of a separator drag
  bool m_bDragable = true;
  UINT m_uButtonState = 0;                 // focused, hot, pushed, captured (= dragging)
  int m_iSepWidth = 4;                     // band at the right edge; negative: at the left
  DWORD m_dwTextColor = 0;                 // 0 = the window's default, taken at first paint
  DWORD m_dwSepColor = 0;
  int m_iFont = -1;
  UINT m_uTextStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  bool m_bShowHtml = false;
  CUIRect m_rcTextPadding{2, 0, 2, 0};
  CStateImages m_images;                   // normal, hot, pushed, focused
  UIImageDrawInfo m_diSep;
};

}  // namespace Trellis
