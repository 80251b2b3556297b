#include "ui/controls/list/ListElementUI.h"

#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

}  // namespace

CListElementUI::CListElementUI() = default;

CListElementUI::~CListElementUI() = default;

// --- IListItemUI ---

bool CListElementUI::IsExpanded() const { return false; }
bool CListElementUI::Expand(bool) { return false; }
void CListElementUI::DrawItemText(HDC, const CUIRect&) {}

// --- CControlUI ---

const UIChar* CListElementUI::GetClassName() const { return UI_TEXT("ListElement"); }

void* CListElementUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("ListElement"))) return static_cast<CListElementUI*>(this);
  if (name != nullptr && Is(name, UI_TEXT("IListItem"))) return static_cast<IListItemUI*>(this);
  return CControlUI::GetInterface(name);
}

void CListElementUI::HandleEvent(UIEvent& event) {
  if (IsMouseEnabled() || !IsMouseEventKind(event.Type)) {
    if (event.Type == kUIEventDoubleClick) {
      if (IsEnabled()) ActivateAndRepaint();
      return;
    }
    if (event.Type == kUIEventKeyDown && event.chKey == VK_RETURN && IsKeyboardEnabled() && IsEnabled()) {
      ActivateAndRepaint();
      return;
    }
  }
  if (m_pOwner != nullptr) {
    m_pOwner->HandleItemEvent(event);
  } else {
    CControlUI::HandleEvent(event);
  }
}

void CListElementUI::SetAttribute(const UIChar* name, const UIChar* value) {
  // The value is not looked at: "selected" with any value selects.
  if (Is(name, UI_TEXT("selected"))) {
    Select(true, true);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

bool CListElementUI::PaintContent(HDC hDC, const CUIRect&, CControlUI*) {
  DrawItemBk(hDC, m_rcItem);
  DrawItemText(hDC, m_rcItem);
  return true;
}

}  // namespace Trellis
