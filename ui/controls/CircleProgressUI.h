#pragma once

// CCircleProgressUI: a progress bar ("CircleProgress") that, with
// "circular" on, shows its value as a ring drawn with antialiased GDI+
// arcs: a full background circle and, from the top, an arc whose sweep is
// the value's share of 360 degrees (clockwise or not), in one colour or a
// vertical gradient, with an optional indicator picture riding on the end of
// the arc. Without "circular" it paints as a plain progress bar. The ring is
// painted in the background-colour stage, so the fore image and the text are
// drawn over it as usual.
//
// Ownership: the control owns its indicator bitmap, a private copy of the
// window manager's picture (rotating it never touches the shared image).
// GDI+ is started through the process-wide session.
#include "ui/controls/GdiplusSession.h"
#include "ui/controls/ProgressUI.h"

namespace Trellis {

class CCircleProgressUI : public CProgressUI {
 public:
  CCircleProgressUI();
  ~CCircleProgressUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "CircleProgress": this control; other names go to the progress bar.
  void* GetInterface(const UIChar* name) override;
  // The ring attributes; others go to the progress bar.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // The control base's colours, then the ring when circular; draws no ring
  // without a manager.
  void PaintBkColor(HDC hDC) override;

  // CCircleProgressUI:
  bool IsCircular() const { return m_bCircular; }
  // Stores and repaints.
  void SetCircular(bool circular);
  bool IsClockwise() const { return m_bClockwise; }
  // Stores; an indicator already made is turned by 180 degrees. No repaint.
  void SetClockwise(bool clockwise);
  int GetCircleWidth() const { return m_nCircleWidth; }
  // Ring pen width in pixels (negative values count as 0); repaints.
  void SetCircleWidth(int width);
  // Ring colours (ARGB); each repaints.
  void SetBackColor(DWORD color);
  void SetForeColor(DWORD color);
  void SetGradientColor1(DWORD color);
  void SetGradientColor2(DWORD color);
  DWORD GetBackColor() const { return m_dwBackColor; }
  DWORD GetForeColor() const { return m_dwForeColor; }
  // Gradient arc on or off; no repaint.
  void SetCircleEffect(bool effect);
  const CUIString& GetIndicatorName() const { return m_sIndicatorName; }
  // Names the indicator picture (an image of the window manager); the copy
  // is made at the next paint. A name that cannot be loaded leaves the ring
  // without an indicator. The same name again does nothing.
  void SetIndicator(const UIChar* name);
  // True once the indicator copy exists (after a paint with a loadable name).
  bool HasIndicatorBitmap() const { return static_cast<bool>(m_indicator); }
  // The indicator copy's size (0 x 0 without one).
  CUISize GetIndicatorSize() const;

 protected:
  // Copies the manager's picture into the owned indicator bitmap and turns
  // it to the sweep direction; false (and no bitmap) when that cannot be done.
  bool MakeIndicator();
  // Draws the ring into the DC (GDI+ failures skip the step that failed).
  void PaintRing(HDC hDC);

  bool m_bCircular = false;
  bool m_bClockwise = true;
  int m_nCircleWidth = 10;
  DWORD m_dwBackColor = 0;           // full background ring ("bgcolor"), not the control's "bkcolor"
  DWORD m_dwForeColor = 0;
  bool m_bCircleEffect = false;
  DWORD m_dwGradientColor1 = 0;
  DWORD m_dwGradientColor2 = 0;
  GdipBitmapPtr m_indicator;         // owned copy of the picture; null until made
  bool m_bIndicatorTried = false;    // a copy was attempted for the current name; cleared by SetIndicator
  CUIString m_sIndicatorName;
};

}  // namespace Trellis
