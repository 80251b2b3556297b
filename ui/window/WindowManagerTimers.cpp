// CWindowManagerUI, control timers: native window timers on the manager's
// window, each record tying a native id to a control and its own timer id.
//
// Sections: Starting and stopping; Timer messages.
#include "core/base/DebugTrace.h"
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowManagerProcess.h"
#include "ui/window/portable/TimerIds.h"

namespace Trellis {

// --- Starting and stopping ---

bool CWindowManagerUI::SetControlTimer(CControlUI* control, UINT timerId, UINT elapseMs) {
  if (control == nullptr || m_hWndPaint == nullptr) return false;
  unsigned used[kControlTimerIdLimit];
  int usedCount = 0;
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
    if (timer->hWnd != m_hWndPaint) continue;
    if (timer->pSender == control && timer->nLocalID == timerId) {
      if (!timer->bKilled) return false;  // already running
      if (::SetTimer(m_hWndPaint, timer->uWinTimer, elapseMs, nullptr) == 0) return false;
      timer->bKilled = false;
      return true;
    }
    if (usedCount < static_cast<int>(kControlTimerIdLimit)) used[usedCount++] = timer->uWinTimer;
  }
  const unsigned nativeId = LowestFreeTimerId(used, usedCount, kFirstControlTimerId, kControlTimerIdLimit);
  if (nativeId == 0) {
    DebugTrace(L"Trellis: no free control timer id");
    return false;
  }
  if (::SetTimer(m_hWndPaint, nativeId, elapseMs, nullptr) == 0) return false;
  auto* timer = new TimerInfo{control, timerId, m_hWndPaint, nativeId, false};
  if (!m_aTimers.Add(timer)) {
    ::KillTimer(m_hWndPaint, nativeId);
    delete timer;
    return false;
  }
  return true;
}

bool CWindowManagerUI::KillControlTimer(CControlUI* control, UINT timerId) {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
    if (timer->pSender == control && timer->hWnd == m_hWndPaint && timer->nLocalID == timerId && !timer->bKilled) {
      if (::IsWindow(m_hWndPaint)) ::KillTimer(timer->hWnd, timer->uWinTimer);
      timer->bKilled = true;
      return true;
    }
  }
  return false;
}

void CWindowManagerUI::KillControlTimers(CControlUI* control) {
  for (int i = m_aTimers.GetSize() - 1; i >= 0; --i) {
    auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
    if (timer->pSender != control || timer->hWnd != m_hWndPaint) continue;
    if (!timer->bKilled && ::IsWindow(timer->hWnd)) ::KillTimer(timer->hWnd, timer->uWinTimer);
    m_aTimers.Remove(i);
    delete timer;
  }
}

void CWindowManagerUI::KillAllTimers() {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
    if (!timer->bKilled && ::IsWindow(timer->hWnd)) ::KillTimer(timer->hWnd, timer->uWinTimer);
    delete timer;
  }
  m_aTimers.Clear();
}

UINT CWindowManagerUI::GetNativeTimerId(CControlUI* control, UINT timerId) const {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    const auto* timer = static_cast<const TimerInfo*>(m_aTimers.GetAt(i));
    if (timer->pSender == control && timer->hWnd == m_hWndPaint && timer->nLocalID == timerId) {
      return timer->uWinTimer;
    }
  }
  return 0;
}

// --- Timer messages ---

void CWindowManagerUI::HandleTimer(UINT nativeId, LPARAM lParam) {
  if (nativeId == kLayeredTimerId) {
    const bool dirty = m_rcLayeredUpdate.GetWidth() > 0 && m_rcLayeredUpdate.GetHeight() > 0;
    if (m_bLayered && dirty && !::IsIconic(m_hWndPaint)) HandlePaint();
    return;
  }
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    const auto* timer = static_cast<const TimerInfo*>(m_aTimers.GetAt(i));
    if (timer->hWnd == m_hWndPaint && timer->uWinTimer == nativeId && !timer->bKilled) {
      SendEventTo(timer->pSender, kUIEventTimer, m_ptLastMousePos, timer->nLocalID, lParam, 0, CurrentKeyState());
      return;
    }
  }
}

}  // namespace Trellis
