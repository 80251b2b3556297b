#pragma once

// CListTextElementUI: a list item with one text per column
// ("ListTextElement"), taken from the list's text provider when there is one,
// with up to 8 clickable links (markup texts) that send "link".
#include "ui/base/portable/UIPtrArray.h"
#include "ui/controls/list/ListLabelElementUI.h"

namespace Trellis {

class CListTextElementUI : public CListLabelElementUI {
 public:
  static constexpr int kMaxLinks = 8;

  CListTextElementUI();
  // Deletes the column texts.
  ~CListTextElementUI() override;

  // The column's own text, or null when there is none.
  const UIChar* GetText(int column) const;
  // Stores an own text for the column (the list's provider wins over it).
  void SetText(int column, const UIChar* text);
  using CListLabelElementUI::SetText;
  using CListLabelElementUI::GetText;
  int GetLinkCount() const { return m_nLinks; }
  // The rectangle of link slot i from the last paint; empty outside 0..count-1.
  CUIRect GetLinkRect(int index) const;

  // IListItemUI:
  // Also takes the owner's "IList" part (for the text provider).
  void SetOwner(CControlUI* owner) override;
  // One text per column, links recorded into the slots.
  void DrawItemText(HDC hDC, const CUIRect& rcItem) override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  void* GetInterface(const UIChar* name) override;
  // Set-cursor while enabled with at least one link.
  UINT GetControlFlags() const override;
  // Links: hand cursor, "link" on release, hover tracking; the rest as the label.
  void HandleEvent(UIEvent& event) override;
  // The label's estimate over the columns' span and the column-0 text.
  CUISize EstimateSize(CUISize available) override;

 protected:
  // The text column 0 draws (provider, own text or column text 0).
  CUIString GetFirstColumnText();
  // The link slot under the point, -1 when none.
  int LinkAt(CUIPoint pt) const;

  int m_nLinks = 0;
  CUIRect m_rcLinks[kMaxLinks];
  CUIString m_sLinks[kMaxLinks];
  int m_nHoverLink = -1;
  IListUI* m_pListOwner = nullptr;         // borrowed: the owner's list part, for the provider
  CUIPtrArray m_aTexts;                    // owned CUIString*, one per column
  CUIString m_sCachedText;                 // the text the size cache was made with
};

}  // namespace Trellis
