// CWindowManagerUI, focus and tab order: which control has the keyboard
// focus, the kill-focus/set-focus events and notifications, and Tab
// navigation in tree order (parent first) over controls flagged as tab stops.
//
// Sections: Tab-stop search; Focus.
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowManagerProcess.h"

namespace Trellis {

// --- Tab-stop search ---

namespace {

// One walk over the tree in tab order. Forward: the first tab stop after the
// focus control (or the first of all without one). Backward: the last tab stop
// before it; when the focus control is the first, nothing is returned and
// `last` ends on the last tab stop of the tree (the wrap-around target).
struct TabSearch {
  CControlUI* focus;
  CControlUI* last;
  bool forward;
  bool nextIsIt;

  static CControlUI* Visit(CControlUI* control, void* data) {
    auto* search = static_cast<TabSearch*>(data);
    if (control == search->focus) {
      if (search->forward) search->nextIsIt = true;
      return search->forward ? nullptr : search->last;
    }
    if ((control->GetControlFlags() & kUIFlagTabStop) == 0) return nullptr;
    search->last = control;
    if (search->nextIsIt) return control;
    if (search->focus == nullptr) return control;
    return nullptr;
  }
};

constexpr UINT kTabOrderFlags = kUIFindVisible | kUIFindEnabled | kUIFindMeFirst;

}  // namespace

bool CWindowManagerUI::FocusNextTabStop(bool forward) {
  // Positions are not known before the layout: the next paint takes the step.
  if (m_bUpdateNeeded && forward) {
    m_bFocusNeeded = true;
    Invalidate();
    return true;
  }
  m_bFocusNeeded = false;
  if (m_pRoot == nullptr) return false;
  TabSearch search = {m_pFocus, nullptr, forward, false};
  CControlUI* next = m_pRoot->FindControl(&TabSearch::Visit, &search, kTabOrderFlags);
  if (next == nullptr) {
    if (forward) {
      TabSearch first = {nullptr, nullptr, true, false};
      next = m_pRoot->FindControl(&TabSearch::Visit, &first, kTabOrderFlags);
    } else {
      next = search.last;
    }
  }
  if (next == nullptr) return false;
  SetFocusControl(next, true);
  return true;
}

// --- Focus ---

void CWindowManagerUI::SetFocusControl(CControlUI* control, bool focusWindow) {
  if (focusWindow && ::GetFocus() != m_hWndPaint && control != m_pFocus && !m_bNoActivate && m_hWndPaint != nullptr) {
    ::SetFocus(m_hWndPaint);
  }
  if (control == m_pFocus) return;
  if (m_pFocus != nullptr) {
    CControlUI* old = m_pFocus;
    SendEventTo(old, kUIEventKillFocus, m_ptLastMousePos, 0, 0, 0, CurrentKeyState(), control);
    // The kill-focus handler may have deleted the old control (ReapObjects
    // then cleared m_pFocus): only a living control sends "killfocus".
    if (m_pFocus == old) SendNotify(old, UI_TEXT("killfocus"));
    m_pFocus = nullptr;
  }
  if (control == nullptr || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled()) return;
  m_pFocus = control;
  // A focus chosen on purpose replaces a tab step still waiting for a paint
  // (a new tree's or a new tab page's first tab stop): that step would move
  // the focus away from the control at the next paint.
  m_bFocusNeeded = false;
  SendEventTo(control, kUIEventSetFocus, m_ptLastMousePos, 0, 0, 0, CurrentKeyState());
  if (m_pFocus == control) SendNotify(control, UI_TEXT("setfocus"));
}

void CWindowManagerUI::SetPendingFocus(CControlUI* control) {
  if (!m_bNoActivate && m_hWndPaint != nullptr) ::SetFocus(m_hWndPaint);
  if (m_pFocus != nullptr) {
    CControlUI* old = m_pFocus;
    SendEventTo(old, kUIEventKillFocus, m_ptLastMousePos, 0, 0, 0, CurrentKeyState(), control);
    if (m_pFocus == old) SendNotify(old, UI_TEXT("killfocus"));
    m_pFocus = nullptr;
  }
  // The next paint's forward step starts from the tab stop before the
  // control, so it lands on the control itself.
  if (m_pRoot != nullptr && control != nullptr) {
    TabSearch search = {control, nullptr, false, false};
    m_pFocus = m_pRoot->FindControl(&TabSearch::Visit, &search, kTabOrderFlags);
  }
  m_bFocusNeeded = true;
  if (m_pRoot != nullptr) m_pRoot->RequestLayout();
  m_bUpdateNeeded = true;
}

}  // namespace Trellis
