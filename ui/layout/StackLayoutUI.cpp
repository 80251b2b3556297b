// What the vertical and horizontal layouts share: placing the children along
// one direction, and the separator drag.
#include "ui/layout/StackLayoutUI.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/draw/DrawEngine.h"
#include "ui/layout/ContainerLayoutItems.h"
#include "ui/layout/portable/StackLayout.h"
#include "ui/layout/portable/SeparatorDrag.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

// The colour of the band a deferred drag proposes: black, alpha 0xAA.
constexpr DWORD kProposedBandColor = 0xAA000000u;

}  // namespace

CStackLayoutUI::~CStackLayoutUI() {
  // A layout deleted in the middle of a deferred drag must not stay on the
  // after-paint list.
  if (m_pManager != nullptr) m_pManager->RemovePostPaint(this);
}

UINT CStackLayoutUI::GetControlFlags() const { return (IsEnabled() && m_iSepSize != 0) ? static_cast<UINT>(kUIFlagSetCursor) : 0u; }

void CStackLayoutUI::SetSepImmediateMode(bool immediate) {
  if (m_bImmediateMode == immediate) return;
  if (IsDragging() && !m_bImmediateMode && m_pManager != nullptr) m_pManager->RemovePostPaint(this);
  m_bImmediateMode = immediate;
}

CUIRect CStackLayoutUI::GetThumbRect(bool useNewPos) const {
  return SeparatorBand((useNewPos && IsDragging()) ? m_rcNewPos : m_rcItem, m_iSepSize, m_bHorizontal);
}

void CStackLayoutUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  const CUIRect area = CContainerUI::GetClientPos();
  if (m_items.IsEmpty()) {
    ProcessScrollBar(area, 0, 0);
    return;
  }
  CContainerLayoutItems items(*this);
  UIStackLayoutParams params;
  params.area = area;
  params.childPadding = m_iChildPadding;
  params.align = m_bHorizontal ? m_iChildVAlign : m_iChildAlign;
  params.scroll = ReadLayoutScroll(*this);
  const CUISize needed = m_bHorizontal ? LayOutHorizontal(items, params) : LayOutVertical(items, params);
  ProcessScrollBar(area, needed.cx, needed.cy);
}

void CStackLayoutUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr) return;
  if (UITextCompare(name, m_bHorizontal ? UI_TEXT("sepwidth") : UI_TEXT("sepheight")) == 0) {
    SetSepSize(ParseAttributeInt(value));
  } else if (UITextCompare(name, UI_TEXT("sepimm")) == 0) {
    SetSepImmediateMode(ParseAttributeBool(value));
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

void CStackLayoutUI::HandleEvent(UIEvent& event) {
  if (m_iSepSize != 0) {
    const CUIPoint& pt = event.ptMouse;
    switch (event.Type) {
      case kUIEventSetCursor:
        if (IsEnabled() && RectContainsPoint(GetThumbRect(false), pt)) {
          ::SetCursor(::LoadCursorW(nullptr, m_bHorizontal ? IDC_SIZEWE : IDC_SIZENS));
          return;
        }
        break;
      case kUIEventButtonDown:
        if (IsEnabled() && RectContainsPoint(GetThumbRect(false), pt)) {
          m_uButtonState |= kUIStateCaptured;
          m_ptLastMouse = pt;
          m_rcNewPos = m_rcItem;
          if (!m_bImmediateMode && m_pManager != nullptr) m_pManager->AddPostPaint(this);
          return;
        }
        break;
      case kUIEventButtonUp:
        if (IsDragging()) {
          m_uButtonState &= ~kUIStateCaptured;
          m_rcItem = m_rcNewPos;
          if (!m_bImmediateMode && m_pManager != nullptr) m_pManager->RemovePostPaint(this);
          RequestParentLayout();
          return;
        }
        break;
      case kUIEventMouseMove:
        if (IsDragging()) {
          const int along = m_bHorizontal ? pt.x : pt.y;
          const int last = m_bHorizontal ? m_ptLastMouse.x : m_ptLastMouse.y;
          const int delta = static_cast<int>(static_cast<int64_t>(along) - last);
          m_ptLastMouse = pt;
          CUIRect proposed = m_rcNewPos;
          const int minSize = m_bHorizontal ? GetMinWidth() : GetMinHeight();
          const int maxSize = m_bHorizontal ? GetMaxWidth() : GetMaxHeight();
          if (!ApplySeparatorMove(proposed, m_iSepSize, m_bHorizontal, delta, along, minSize, maxSize)) return;
          const CUIRect oldBand = GetThumbRect(true);
          m_rcNewPos = proposed;
          if (m_bHorizontal) {
            m_cxyFixed.cx = proposed.GetWidth();
          } else {
            m_cxyFixed.cy = proposed.GetHeight();
          }
          if (m_bImmediateMode) {
            m_rcItem = m_rcNewPos;
            RequestParentLayout();
          } else if (m_pManager != nullptr) {
            CUIRect dirty = UnionRects(oldBand, GetThumbRect(true));
            dirty = UnionRects(dirty, GetThumbRect(false));
            m_pManager->InvalidateArea(dirty);
          }
          return;
        }
        break;
      default:
        break;
    }
  }
  CContainerUI::HandleEvent(event);
}

void CStackLayoutUI::PostPaint(HDC hDC, const CUIRect& rcPaint) {
  if (IsDragging() && !m_bImmediateMode) CDrawEngine::FillColor(hDC, GetThumbRect(true), kProposedBandColor);
  CContainerUI::PostPaint(hDC, rcPaint);
}

}  // namespace Trellis
