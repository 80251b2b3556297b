// CScrollBarUI: range and position, the layout of its parts, pressing,
// dragging and repeating, hot tracking, attributes and painting.
#include "ui/control/ScrollBarUI.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

bool IsAllZero(const CUIRect& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

int SaturateInt(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int>(value);
}

// The image attributes: name, part and state.
struct ImageAttributeName {
  const UIChar* name;
  CScrollBarUI::Part part;
  CScrollBarUI::ImageState state;
};

const ImageAttributeName kImageAttributes[] = {
    {UI_TEXT("button1normalimage"), CScrollBarUI::kPartButton1, CScrollBarUI::kImageNormal},
    {UI_TEXT("button1hotimage"), CScrollBarUI::kPartButton1, CScrollBarUI::kImageHot},
    {UI_TEXT("button1pushedimage"), CScrollBarUI::kPartButton1, CScrollBarUI::kImagePushed},
    {UI_TEXT("button1disabledimage"), CScrollBarUI::kPartButton1, CScrollBarUI::kImageDisabled},
    {UI_TEXT("button2normalimage"), CScrollBarUI::kPartButton2, CScrollBarUI::kImageNormal},
    {UI_TEXT("button2hotimage"), CScrollBarUI::kPartButton2, CScrollBarUI::kImageHot},
    {UI_TEXT("button2pushedimage"), CScrollBarUI::kPartButton2, CScrollBarUI::kImagePushed},
    {UI_TEXT("button2disabledimage"), CScrollBarUI::kPartButton2, CScrollBarUI::kImageDisabled},
    {UI_TEXT("thumbnormalimage"), CScrollBarUI::kPartThumb, CScrollBarUI::kImageNormal},
    {UI_TEXT("thumbhotimage"), CScrollBarUI::kPartThumb, CScrollBarUI::kImageHot},
    {UI_TEXT("thumbpushedimage"), CScrollBarUI::kPartThumb, CScrollBarUI::kImagePushed},
    {UI_TEXT("thumbdisabledimage"), CScrollBarUI::kPartThumb, CScrollBarUI::kImageDisabled},
    {UI_TEXT("railnormalimage"), CScrollBarUI::kPartRail, CScrollBarUI::kImageNormal},
    {UI_TEXT("railhotimage"), CScrollBarUI::kPartRail, CScrollBarUI::kImageHot},
    {UI_TEXT("railpushedimage"), CScrollBarUI::kPartRail, CScrollBarUI::kImagePushed},
    {UI_TEXT("raildisabledimage"), CScrollBarUI::kPartRail, CScrollBarUI::kImageDisabled},
    {UI_TEXT("bknormalimage"), CScrollBarUI::kPartBackground, CScrollBarUI::kImageNormal},
    {UI_TEXT("bkhotimage"), CScrollBarUI::kPartBackground, CScrollBarUI::kImageHot},
    {UI_TEXT("bkpushedimage"), CScrollBarUI::kPartBackground, CScrollBarUI::kImagePushed},
    {UI_TEXT("bkdisabledimage"), CScrollBarUI::kPartBackground, CScrollBarUI::kImageDisabled},
};

}  // namespace

CScrollBarUI::CScrollBarUI() { m_cxyFixed.cx = 16; }

CScrollBarUI::~CScrollBarUI() = default;

// --- CControlUI ---

const UIChar* CScrollBarUI::GetClassName() const { return UI_TEXT("ScrollBar"); }

void* CScrollBarUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("ScrollBar"))) return static_cast<CScrollBarUI*>(this);
  return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  const int thickness = m_bHorizontal ? m_cxyFixed.cy : m_cxyFixed.cx;
  const UIScrollBarParts parts =
      ComputeScrollBarParts(m_rcItem, m_bHorizontal, thickness, m_bShowButton1, m_bShowButton2, m_nRange, m_nScrollPos);
  m_rcButton1 = parts.button1;
  m_rcButton2 = parts.button2;
  m_rcThumb = parts.thumb;
}

void CScrollBarUI::SetVisible(bool visible) {
  if (m_bVisible == visible) return;
  m_bVisible = visible;
  m_bFocused = false;
}

void CScrollBarUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!IsEnabled()) {
    m_uButton1State = 0;
    m_uButton2State = 0;
    m_uThumbState = 0;
  }
}

void CScrollBarUI::SetFocus() {
  if (m_pOwner != nullptr) {
    m_pOwner->SetFocus();
  } else {
    CControlUI::SetFocus();
  }
}

void CScrollBarUI::HandleEvent(UIEvent& event) {
  auto passOn = [this, &event]() {
    if (m_pOwner != nullptr) {
      m_pOwner->HandleEvent(event);
    } else {
      CControlUI::HandleEvent(event);
    }
  };
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    passOn();
    return;
  }
  const CUIPoint pt = event.ptMouse;
  switch (event.Type) {
    case kUIEventSetFocus:
    case kUIEventKillFocus:
    case kUIEventContextMenu:
      return;

    case kUIEventButtonDown:
    case kUIEventDoubleClick:
      if (!IsEnabled()) break;
      m_nLastScrollOffset = 0;
      m_nScrollRepeatDelay = 0;
      if (m_pManager != nullptr) m_pManager->SetControlTimer(this, kRepeatTimerId, kRepeatIntervalMs);
      if (RectContainsPoint(m_rcButton1, pt)) {
        m_uButton1State |= kUIStatePushed;
        ScrollLines(-1);
      } else if (RectContainsPoint(m_rcButton2, pt)) {
        m_uButton2State |= kUIStatePushed;
        ScrollLines(+1);
      } else if (RectContainsPoint(m_rcThumb, pt)) {
        m_uThumbState |= kUIStateCaptured | kUIStatePushed;
        m_ptLastMouse = pt;
        m_nLastScrollPos = m_nScrollPos;
      } else if (!IsAllZero(m_rcThumb)) {
        const int thumbStart = m_bHorizontal ? m_rcThumb.left : m_rcThumb.top;
        ScrollPages(Along(pt) < thumbStart ? -1 : +1);
      }
      Invalidate();
      return;

    case kUIEventButtonUp:
      EndPress();
      return;

    case kUIEventMouseMove:
      if ((m_uThumbState & kUIStateCaptured) != 0) {
        const int thickness = m_bHorizontal ? m_cxyFixed.cy : m_cxyFixed.cx;
        const int64_t length = m_bHorizontal ? m_rcItem.GetWidth() : m_rcItem.GetHeight();
        const int64_t thumb = m_bHorizontal ? m_rcThumb.GetWidth() : m_rcThumb.GetHeight();
        int64_t track = length - thumb;
        if (m_bShowButton1) track -= thickness;
        if (m_bShowButton2) track -= thickness;
        if (track <= 0) return;
        // Applied at the next tick of the repeat timer.
        m_nLastScrollOffset = ComputeScrollDragOffset(
            SaturateInt(static_cast<int64_t>(Along(pt)) - Along(m_ptLastMouse)), m_nRange, SaturateInt(track));
      } else if ((m_uThumbState & kUIStateHot) != 0) {
        if (!RectContainsPoint(m_rcThumb, pt)) {
          m_uThumbState &= ~kUIStateHot;
          Invalidate();
        }
      } else if (IsEnabled() && RectContainsPoint(m_rcThumb, pt)) {
        m_uThumbState |= kUIStateHot;
        Invalidate();
      }
      return;

    case kUIEventTimer:
      if (event.wParam != kRepeatTimerId) break;
      ++m_nScrollRepeatDelay;
      // A release the bar never saw (the capture was taken away) ends the
      // press here, so the repeat cannot run on forever.
      if ((event.wKeyState & kUIKeyStateLeftButton) == 0 && (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0) {
        EndPress();
        return;
      }
      if ((m_uThumbState & kUIStateCaptured) != 0) {
        const int pos = SaturateInt(static_cast<int64_t>(m_nLastScrollPos) + m_nLastScrollOffset);
        if (m_pOwner != nullptr) {
          const CUISize ownerPos = m_pOwner->GetScrollPos();
          m_pOwner->SetScrollPos(m_bHorizontal ? CUISize(pos, ownerPos.cy) : CUISize(ownerPos.cx, pos));
        } else {
          SetScrollPos(pos, true);
        }
        Invalidate();
      } else if ((m_uButton1State & kUIStatePushed) != 0) {
        if (m_nScrollRepeatDelay >= kRepeatDelayTicks) ScrollLines(-1);
      } else if ((m_uButton2State & kUIStatePushed) != 0) {
        if (m_nScrollRepeatDelay >= kRepeatDelayTicks) ScrollLines(+1);
      } else if (m_nScrollRepeatDelay >= kRepeatDelayTicks && m_pManager != nullptr && !IsAllZero(m_rcThumb)) {
        CUIPoint cursor;
        ::GetCursorPos(AsPOINT(&cursor));
        ::ScreenToClient(m_pManager->GetPaintWindow(), AsPOINT(&cursor));
        const int along = Along(cursor);
        const int thumbStart = m_bHorizontal ? m_rcThumb.left : m_rcThumb.top;
        const int thumbEnd = m_bHorizontal ? m_rcThumb.right : m_rcThumb.bottom;
        if (along < thumbStart) {
          ScrollPages(-1);
        } else if (along >= thumbEnd) {
          ScrollPages(+1);
        }
      }
      return;

    case kUIEventMouseEnter:
      if (RectContainsPoint(m_rcItem, pt) && IsEnabled()) {
        m_uButton1State |= kUIStateHot;
        m_uButton2State |= kUIStateHot;
        if (RectContainsPoint(m_rcThumb, pt)) m_uThumbState |= kUIStateHot;
        Invalidate();
      }
      break;

    case kUIEventMouseLeave:
      // Leaving always clears the hot parts; a leave to a point outside the
      // bar also asks for every later leave of the window.
      if (IsEnabled() && ((m_uButton1State | m_uButton2State | m_uThumbState) & kUIStateHot) != 0) {
        // Only a change repaints: a bar on the mouse-leave list hears every
        // hover change of the window.
        m_uButton1State &= ~kUIStateHot;
        m_uButton2State &= ~kUIStateHot;
        m_uThumbState &= ~kUIStateHot;
        Invalidate();
      }
      if (!RectContainsPoint(m_rcItem, pt)) {
        if (m_pManager != nullptr) m_pManager->AddMouseLeaveListener(this);
        return;
      }
      if (m_pManager != nullptr) m_pManager->RemoveMouseLeaveListener(this);
      break;

    default:
      break;
  }
  passOn();
}

void CScrollBarUI::EndPress() {
  m_nScrollRepeatDelay = 0;
  m_nLastScrollOffset = 0;
  if (m_pManager != nullptr) m_pManager->KillControlTimer(this, kRepeatTimerId);
  if ((m_uThumbState & kUIStateCaptured) != 0) {
    m_uThumbState &= ~(kUIStateCaptured | kUIStatePushed);
  } else if ((m_uButton1State & kUIStatePushed) != 0) {
    m_uButton1State &= ~kUIStatePushed;
  } else if ((m_uButton2State & kUIStatePushed) != 0) {
    m_uButton2State &= ~kUIStatePushed;
  } else {
    return;
  }
  Invalidate();
}

void CScrollBarUI::ScrollLines(int direction) {
  if (m_pOwner != nullptr) {
    if (m_bHorizontal) {
      direction < 0 ? m_pOwner->LineLeft() : m_pOwner->LineRight();
    } else {
      direction < 0 ? m_pOwner->LineUp() : m_pOwner->LineDown();
    }
    return;
  }
  SetScrollPos(SaturateInt(static_cast<int64_t>(m_nScrollPos) + static_cast<int64_t>(direction) * GetLineStep()), true);
}

void CScrollBarUI::ScrollPages(int direction) {
  if (m_pOwner != nullptr) {
    if (m_bHorizontal) {
      direction < 0 ? m_pOwner->PageLeft() : m_pOwner->PageRight();
    } else {
      direction < 0 ? m_pOwner->PageUp() : m_pOwner->PageDown();
    }
    return;
  }
  const int64_t page = m_bHorizontal ? m_rcItem.GetWidth() : m_rcItem.GetHeight();
  SetScrollPos(SaturateInt(static_cast<int64_t>(m_nScrollPos) + direction * page), true);
}

void CScrollBarUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = UI_TEXT("");
  for (const ImageAttributeName& image : kImageAttributes) {
    if (Is(name, image.name)) {
      SetPartImage(image.part, image.state, value);
      return;
    }
  }
  if (Is(name, UI_TEXT("button1color"))) {
    SetButton1Color(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("button2color"))) {
    SetButton2Color(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("thumbcolor"))) {
    SetThumbColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("hor"))) {
    SetHorizontal(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("linesize"))) {
    SetLineSize(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("range"))) {
    SetScrollRange(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("value"))) {
    SetScrollPos(ParseAttributeInt(value), true);
  } else if (Is(name, UI_TEXT("scrollunit"))) {
    SetScrollUnit(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("showbutton1"))) {
    SetShowButton1(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("showbutton2"))) {
    SetShowButton2(ParseAttributeBool(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

// --- Orientation, range and position ---

void CScrollBarUI::SetHorizontal(bool horizontal) {
  if (m_bHorizontal == horizontal) return;
  m_bHorizontal = horizontal;
  if (horizontal) {
    if (m_cxyFixed.cy == 0) {
      m_cxyFixed.cx = 0;
      m_cxyFixed.cy = 16;
    }
  } else if (m_cxyFixed.cx == 0) {
    m_cxyFixed.cy = 0;
    m_cxyFixed.cx = 16;
  }
  if (m_pOwner != nullptr) {
    m_pOwner->RequestLayout();
  } else {
    RequestParentLayout();
  }
}

void CScrollBarUI::SetScrollRange(int range) {
  if (range == m_nRange) return;
  m_nRange = range < 0 ? 0 : range;
  if (m_nScrollPos > m_nRange) m_nScrollPos = m_nRange;
  SetPos(m_rcItem, true);
}

void CScrollBarUI::SetScrollPos(int pos, bool notify) {
  if (pos == m_nScrollPos) return;
  const int oldPos = m_nScrollPos;
  m_nScrollPos = NormalizeScrollPos(pos, m_nScrollUnit, m_nRange);
  SetPos(m_rcItem, true);
  if (notify && m_pManager != nullptr) {
    m_pManager->SendNotify(this, UI_TEXT("scroll"), static_cast<WPARAM>(m_nScrollPos), static_cast<LPARAM>(oldPos),
                           true, false);
  }
}

void CScrollBarUI::SetLineSize(int size) {
  if (size >= 0) m_nLineSize = size;
}

void CScrollBarUI::SetScrollUnit(int unit) {
  if (unit >= 0) m_nScrollUnit = unit;
}

int CScrollBarUI::GetLineStep() const { return m_nScrollUnit > 1 ? m_nScrollUnit : m_nLineSize; }

// --- Parts ---

void CScrollBarUI::SetShowButton1(bool show) {
  m_bShowButton1 = show;
  SetPos(m_rcItem, true);
}

void CScrollBarUI::SetShowButton2(bool show) {
  m_bShowButton2 = show;
  SetPos(m_rcItem, true);
}

void CScrollBarUI::SetButton1Color(DWORD color) {
  if (m_dwButton1Color == color) return;
  m_dwButton1Color = color;
  Invalidate();
}

void CScrollBarUI::SetButton2Color(DWORD color) {
  if (m_dwButton2Color == color) return;
  m_dwButton2Color = color;
  Invalidate();
}

void CScrollBarUI::SetThumbColor(DWORD color) {
  if (m_dwThumbColor == color) return;
  m_dwThumbColor = color;
  Invalidate();
}

const UIChar* CScrollBarUI::GetPartImage(Part part, ImageState state) const {
  if (part < 0 || part >= kPartCount || state < 0 || state >= kImageStateCount) return UI_TEXT("");
  return m_images[part][state].sDrawString.GetText();
}

void CScrollBarUI::SetPartImage(Part part, ImageState state, const UIChar* description) {
  if (part < 0 || part >= kPartCount || state < 0 || state >= kImageStateCount) return;
  UIImageDrawInfo& image = m_images[part][state];
  if (image.sDrawString.EqualsText(description) && image.pImageInfo != nullptr) return;
  image.Clear();
  image.sDrawString.AssignText(description);
  Invalidate();
}

// --- Painting ---

bool CScrollBarUI::PaintContent(HDC hDC, const CUIRect&, CControlUI*) {
  PaintBkColor(hDC);
  PaintBkImage(hDC);
  for (UINT* state : {&m_uButton1State, &m_uButton2State, &m_uThumbState}) {
    if (IsEnabled()) {
      *state &= ~kUIStateDisabled;
    } else {
      *state |= kUIStateDisabled;
    }
  }
  PaintPartImage(hDC, kPartBackground, m_uThumbState, m_rcItem);
  if (m_bShowButton1) {
    if (m_dwButton1Color != 0) CDrawEngine::FillColor(hDC, m_rcButton1, ApplyHslToColor(m_dwButton1Color));
    PaintPartImage(hDC, kPartButton1, m_uButton1State, m_rcButton1);
  }
  if (m_bShowButton2) {
    if (m_dwButton2Color != 0) CDrawEngine::FillColor(hDC, m_rcButton2, ApplyHslToColor(m_dwButton2Color));
    PaintPartImage(hDC, kPartButton2, m_uButton2State, m_rcButton2);
  }
  if (!IsAllZero(m_rcThumb)) {
    if (m_dwThumbColor != 0) CDrawEngine::FillColor(hDC, m_rcThumb, ApplyHslToColor(m_dwThumbColor));
    PaintPartImage(hDC, kPartThumb, m_uThumbState, m_rcThumb);
    // The rail: a square of the bar's thickness on the middle of the thumb.
    CUIRect rail;
    if (m_bHorizontal) {
      const int t = m_cxyFixed.cy;
      const UICoord start = static_cast<UICoord>((static_cast<int64_t>(m_rcThumb.left) + m_rcThumb.right) / 2 - t / 2);
      rail = CUIRect(start, m_rcThumb.top, UICoordAdd(start, t), m_rcThumb.bottom);
    } else {
      const int t = m_cxyFixed.cx;
      const UICoord start = static_cast<UICoord>((static_cast<int64_t>(m_rcThumb.top) + m_rcThumb.bottom) / 2 - t / 2);
      rail = CUIRect(m_rcThumb.left, start, m_rcThumb.right, UICoordAdd(start, t));
    }
    PaintPartImage(hDC, kPartRail, m_uThumbState, rail);
  }
  PaintBorder(hDC);
  return true;
}

void CScrollBarUI::PaintPartImage(HDC hDC, Part part, UINT state, const CUIRect& rc) {
  ImageState chosen = kImageNormal;
  if ((state & kUIStateDisabled) != 0) {
    chosen = kImageDisabled;
  } else if ((state & kUIStatePushed) != 0) {
    chosen = kImagePushed;
  } else if ((state & kUIStateHot) != 0) {
    chosen = kImageHot;
  }
  auto draw = [this, hDC, &rc](UIImageDrawInfo& image) {
    if (image.sDrawString.IsEmpty()) return false;
    // Load (and parse) first: the parse would replace the destination set below.
    if (!DrawImage(nullptr, image)) return false;
    image.rcDest = rc;
    image.rcDest.Offset(UICoordSubtract(0, m_rcItem.left), UICoordSubtract(0, m_rcItem.top));
    return DrawImage(hDC, image);
  };
  // A state image that draws nothing (missing or unloadable) falls back to the normal one.
  if (chosen != kImageNormal && draw(m_images[part][chosen])) return;
  draw(m_images[part][kImageNormal]);
}

}  // namespace Trellis
