#pragma once

// CScrollBarUI: the scroll bar that containers create for themselves and
// that can also stand alone (skin element "ScrollBar"). Five parts: the
// background, two arrow buttons, a thumb whose length shows the visible
// share, and a rail mark in the middle of the thumb; each part has a normal,
// hot, pushed and disabled image, buttons and thumb also a colour. The bar
// keeps a position in 0..range; a bar owned by a container turns clicks and
// drags into the owner's scrolling, which moves the children. Position
// changes with notification send the asynchronous, mergeable "scroll".
#include "ui/control/ControlUI.h"
#include "ui/control/portable/ScrollBarMath.h"

namespace Trellis {

class CContainerUI;

class CScrollBarUI : public CControlUI {
 public:
  // Timer id of the press repeat (50 ms) and the thumb drag.
  static constexpr UINT kRepeatTimerId = 10;
  static constexpr UINT kRepeatIntervalMs = 50;
  // Ticks before a held button or track starts repeating (about 300 ms).
  static constexpr int kRepeatDelayTicks = 6;

  // A vertical bar 16 pixels thick.
  CScrollBarUI();
  ~CScrollBarUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "ScrollBar": the bar; else the control base's answer.
  void* GetInterface(const UIChar* name) override;
  // Places the position, then the buttons and the thumb.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // Stores a changed flag and drops the focused flag; asks for no layout (the
  // owner's bar processing decides).
  void SetVisible(bool visible = true) override;
  // Disabling clears the states of the buttons and the thumb.
  void SetEnabled(bool enabled = true) override;
  // Passed to the owner when there is one.
  void SetFocus() override;
  // Presses, drags, repeats, hot tracking; the rest to the owner.
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Colour, image, background by state, buttons, thumb, rail, border.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

  // --- Owner and orientation ---
  CContainerUI* GetOwner() const { return m_pOwner; }
  // The container whose scrolling the bar drives (not owned).
  void SetOwner(CContainerUI* owner) { m_pOwner = owner; }
  bool IsHorizontal() const { return m_bHorizontal; }
  // Switches orientation (16 pixels thick unless a thickness is set) and asks
  // the owner (or the parent) for a layout.
  void SetHorizontal(bool horizontal = true);

  // --- Range and position ---
  int GetScrollRange() const { return m_nRange; }
  // A negative range is 0; the position is lowered into it without notification.
  void SetScrollRange(int range);
  int GetScrollPos() const { return m_nScrollPos; }
  // Clamps to 0..range (rounded to the scroll unit first) and lays the parts
  // out; with notify and a manager sends "scroll" (wParam new, lParam old).
  // Setting the current position again does nothing.
  void SetScrollPos(int pos, bool notify = true);
  int GetLineSize() const { return m_nLineSize; }
  // Negative values are ignored; no repaint.
  void SetLineSize(int size);
  int GetScrollUnit() const { return m_nScrollUnit; }
  void SetScrollUnit(int unit);
  // The scroll unit when above 1, else the line size.
  int GetLineStep() const;

  // --- Parts ---
  bool GetShowButton1() const { return m_bShowButton1; }
  void SetShowButton1(bool show);
  bool GetShowButton2() const { return m_bShowButton2; }
  void SetShowButton2(bool show);
  DWORD GetButton1Color() const { return m_dwButton1Color; }
  void SetButton1Color(DWORD color);
  DWORD GetButton2Color() const { return m_dwButton2Color; }
  void SetButton2Color(DWORD color);
  DWORD GetThumbColor() const { return m_dwThumbColor; }
  void SetThumbColor(DWORD color);
  const CUIRect& GetButton1Rect() const { return m_rcButton1; }
  const CUIRect& GetButton2Rect() const { return m_rcButton2; }
  const CUIRect& GetThumbRect() const { return m_rcThumb; }
  UINT GetButton1State() const { return m_uButton1State; }
  UINT GetButton2State() const { return m_uButton2State; }
  UINT GetThumbState() const { return m_uThumbState; }
  // The position offset the pointer asks for while the thumb is dragged.
  int GetDragOffset() const { return m_nLastScrollOffset; }

  // The part images, indexed by part and state. A description equal to the
  // stored one whose image is loaded changes nothing; otherwise the record is
  // reset (loaded at the next paint) and the bar invalidated.
  enum Part { kPartBackground, kPartButton1, kPartButton2, kPartThumb, kPartRail, kPartCount };
  enum ImageState { kImageNormal, kImageHot, kImagePushed, kImageDisabled, kImageStateCount };
  const UIChar* GetPartImage(Part part, ImageState state) const;
  void SetPartImage(Part part, ImageState state, const UIChar* description);

 private:
  // One line or page back (negative) or forward through the owner, or
  // through the bar's own position without one.
  void ScrollLines(int direction);
  void ScrollPages(int direction);
  // The end of a press: timer stopped, pressed and captured states cleared.
  void EndPress();
  // Paints one part's image by state, falling back to the normal image.
  void PaintPartImage(HDC hDC, Part part, UINT state, const CUIRect& rc);
  // The coordinate along the bar of a point.
  int Along(const CUIPoint& pt) const { return m_bHorizontal ? pt.x : pt.y; }

  bool m_bHorizontal = false;
  int m_nRange = 100;
  int m_nScrollPos = 0;                 // always within 0..m_nRange after a set
  int m_nLineSize = 8;
  int m_nScrollUnit = 1;
  CContainerUI* m_pOwner = nullptr;     // borrowed: the container that owns this bar
  CUIPoint m_ptLastMouse;               // drag start point
  int m_nLastScrollPos = 0;             // drag start position
  int m_nLastScrollOffset = 0;          // position offset the pointer asks for while dragging
  int m_nScrollRepeatDelay = 0;         // timer ticks since the last press
  bool m_bShowButton1 = true;
  CUIRect m_rcButton1;
  UINT m_uButton1State = 0;
  DWORD m_dwButton1Color = 0;
  bool m_bShowButton2 = true;
  CUIRect m_rcButton2;
  UINT m_uButton2State = 0;
  DWORD m_dwButton2Color = 0;
  CUIRect m_rcThumb;
  UINT m_uThumbState = 0;
  DWORD m_dwThumbColor = 0;
  UIImageDrawInfo m_images[kPartCount][kImageStateCount];  // the twenty part images
};

}  // namespace Trellis
