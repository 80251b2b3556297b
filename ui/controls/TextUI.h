#pragma once

// CTextUI ("Text"): a multi-line label whose markup text may hold links. It
// keeps the rectangles of the links drawn by the last paint, shows the hand
// cursor over them, highlights the hovered one and sends "link" with the
// index of the rectangle clicked. A link wrapped over several lines has a
// rectangle per line, each with its own index, in the order the markup
// renderer recorded them (a handler tells them apart by GetLinkContent). At
// most kMaxLinkRects rectangles are tracked; links beyond them are drawn but
// not clickable.
#include "ui/controls/LabelUI.h"

namespace Trellis {

class CTextUI : public CLabelUI {
 public:
  static constexpr int kMaxLinkRects = 8;

  // Word-wrapped, top-left text with 2 pixels of padding left and right.
  CTextUI();
  ~CTextUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "Text": the control; other names go to the label.
  void* GetInterface(const UIChar* name) override;
  // Set-cursor while enabled with links; nothing otherwise.
  UINT GetControlFlags() const override;
  // A changed text forgets the link rectangles until the next paint.
  void SetText(const UIChar* text) override;
  // Hand cursor, hover highlight and "link" clicks; the rest to the label.
  void HandleEvent(UIEvent& event) override;
  // Draws the text and records the link rectangles (none for plain text).
  void PaintText(HDC hDC) override;

  // CTextUI:
  // Rectangles recorded by the last paint (one per line of a link).
  int GetLinkRectCount() const { return m_nLinks; }
  // The rectangle at 0..count-1, else an empty one.
  CUIRect GetLinkRect(int index) const;
  // The link's text (its tag parameter) of a rectangle, else empty.
  CUIString GetLinkContent(int index) const;
  // The rectangle under the point, -1 for none.
  int HitTestLink(CUIPoint point) const;

 protected:
  int m_nLinks = 0;                           // rectangles recorded by the last paint
  CUIRect m_rcLinks[kMaxLinkRects];
  CUIString m_sLinks[kMaxLinkRects];
  int m_nHoverLink = -1;                      // rectangle under the mouse; -1 = none
};

}  // namespace Trellis
