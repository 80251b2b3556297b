#pragma once

// CListLabelElementUI: a list item with one text ("ListLabelElement"),
// measured once per change of text, available size or the owner's item
// appearance, and sending "itemclick" when pressed.
#include "ui/controls/list/ListElementUI.h"

namespace Trellis {

class CListLabelElementUI : public CListElementUI {
 public:
  CListLabelElementUI();

  // IListItemUI:
  void SetOwner(CControlUI* owner) override;
  // The text in the state colour, plain or markup per the owner.
  void DrawItemText(HDC hDC, const CUIRect& rcItem) override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  void* GetInterface(const UIChar* name) override;
  // Press sends "itemclick" then selects; hot tracking; the rest as the element.
  void HandleEvent(UIEvent& event) override;
  // Cached measurement (see the .cpp).
  CUISize EstimateSize(CUISize available) override;
  // Each also marks the size estimate stale.
  void SetText(const UIChar* text) override;
  void SetFixedWidth(int cx) override;
  void SetFixedHeight(int cy) override;

 protected:
  // Handles hot tracking; true when the event was one of them.
  bool HandleHotTracking(UIEvent& event);
  // The text measured (DT_CALCRECT) in rc with the owner's font and style.
  CUIRect MeasureText(const UIChar* text, CUIRect rc, UINT style);
  // True when the owner's cached appearance values differ from info.
  bool OwnerValuesChanged(const UIListInfo& info) const;
  // Copies the owner's appearance values into the cache key.
  void StoreOwnerValues(const UIListInfo& info);
  // The cached estimate of text (the shared part of label and text element).
  CUISize EstimateText(CUISize available, const UIChar* text, int fixedWidth);

  int m_cxCached = 0;
  int m_cyCached = 0;
  bool m_bNeedEstimateSize = true;         // set by text, fixed size and owner changes
  CUISize m_szAvailableLast;
  int m_iOwnerItemHeight = 0;              // the owner values the cache was made with
  int m_iOwnerFont = -1;
  UINT m_uOwnerTextStyle = 0;
  CUIRect m_rcOwnerTextPadding;
};

}  // namespace Trellis
