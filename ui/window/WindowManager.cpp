// CWindowManagerUI, lifetime and tree: construction and destruction, binding
// to a window, attaching the control tree, forgetting controls that go away,
// the name index and the searches, the listener and hook lists.
//
// Sections: Process state; Construction and destruction; Binding and tree;
// Name index and searches; Lists.
#include "ui/window/WindowManager.h"

#include <commctrl.h>

#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManagerProcess.h"

namespace Trellis {

// --- Process state ---

UIProcessState& GetProcessState() {
  static UIProcessState state;
  return state;
}

WORD CurrentKeyState() {
  WORD state = 0;
  if (::GetKeyState(VK_CONTROL) < 0) state |= kUIKeyStateControl;
  if (::GetKeyState(VK_RBUTTON) < 0) state |= kUIKeyStateRightButton;
  if (::GetKeyState(VK_LBUTTON) < 0) state |= kUIKeyStateLeftButton;
  if (::GetKeyState(VK_SHIFT) < 0) state |= kUIKeyStateShift;
  if (::GetKeyState(VK_MENU) < 0) state |= kUIKeyStateAlt;
  return state;
}

int CWindowManagerUI::GetManagerCount() { return GetProcessState().managers.GetSize(); }

CWindowManagerUI* CWindowManagerUI::GetManagerAt(int index) {
  return static_cast<CWindowManagerUI*>(GetProcessState().managers.GetAt(index));
}

void CWindowManagerUI::EnsureProcessDefaults() {
  UIProcessState& process = GetProcessState();
  if (process.defaultsReady) return;
  process.defaultsReady = true;
  process.showDirtyPen.Reset(::CreatePen(PS_SOLID, 1, RGB(220, 0, 0)));
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  process.msimg32.Reset(::LoadLibraryW(L"msimg32.dll"));

  UIResourceSet& shared = process.shared;
  if (!shared.DefaultFontInfo.sFontName.IsEmpty()) return;
  shared.dwDefaultDisabledColor = 0xFFA7A6AA;
  shared.dwDefaultFontColor = 0xFF000000;
  shared.dwDefaultLinkFontColor = 0xFF0000FF;
  shared.dwDefaultLinkHoverFontColor = 0xFFD3215F;
  shared.dwDefaultSelectedBkColor = 0xFFBAE4FF;
  LOGFONTW logFont = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
  logFont.lfCharSet = DEFAULT_CHARSET;
  shared.DefaultFontInfo.hFont.Reset(::CreateFontIndirectW(&logFont));
  shared.DefaultFontInfo.sFontName.Assign(logFont.lfFaceName);
  shared.DefaultFontInfo.iSize = -logFont.lfHeight;
  shared.DefaultFontInfo.bBold = logFont.lfWeight >= FW_BOLD;
  shared.DefaultFontInfo.bUnderline = logFont.lfUnderline != 0;
  shared.DefaultFontInfo.bItalic = logFont.lfItalic != 0;
  shared.DefaultFontInfo.tm = {};
}

// --- Construction and destruction ---

CWindowManagerUI::CWindowManagerUI()
    : m_hWndPaint(nullptr),
      m_pOffscreenBits(nullptr),
      m_pBackgroundBits(nullptr),
      m_iLastTooltipWidth(-1),
      m_hwndTooltip(nullptr),
      m_ToolTip{},
      m_iHoverTime(1000),
      m_bNoActivate(false),
      m_bShowUpdateRect(false),
      m_pRoot(nullptr),
      m_pFocus(nullptr),
      m_pEventHover(nullptr),
      m_pEventClick(nullptr),
      m_pEventKey(nullptr),
      m_pLastToolTip(nullptr),
      m_ptLastMousePos(-1, -1),
      m_bFirstLayout(true),
      m_bUpdateNeeded(false),
      m_bFocusNeeded(false),
      m_bOffscreenPaint(true),
      m_nOpacity(0xFF),
      m_bLayered(false),
      m_bLayeredChanged(false),
      m_bMouseTracking(false),
      m_bMouseCapture(false),
      m_bIsPainting(false),
      m_bUsedVirtualWnd(false),
      m_bAsyncNotifyPosted(false),
      m_bAlphaForced(false),
      m_bAuxFlag(false),
      m_bForceUseSharedRes(false),
      m_pParentManager(nullptr) {
  EnsureProcessDefaults();
  const UIResourceSet& shared = GetProcessState().shared;
  m_ResInfo.dwDefaultDisabledColor = shared.dwDefaultDisabledColor;
  m_ResInfo.dwDefaultFontColor = shared.dwDefaultFontColor;
  m_ResInfo.dwDefaultLinkFontColor = shared.dwDefaultLinkFontColor;
  m_ResInfo.dwDefaultLinkHoverFontColor = shared.dwDefaultLinkHoverFontColor;
  m_ResInfo.dwDefaultSelectedBkColor = shared.dwDefaultSelectedBkColor;
}

CWindowManagerUI::~CWindowManagerUI() {
  DropDelayedCleanups();
  DropQueuedNotifications();
  m_mNameHash.RemoveAll();
  if (m_pRoot != nullptr) {
    CControlUI* root = m_pRoot;
    m_pRoot = nullptr;
    root->Delete();
  }
  m_ResInfo.DefaultFontInfo.hFont.Reset();
  RemoveAllFonts();
  RemoveAllImages();
  RemoveAllDefaultAttributeLists();
  RemoveAllWindowCustomAttributes();
  RemoveAllOptionGroups();
  KillAllTimers();
  if (m_hwndTooltip != nullptr) {
    ::DestroyWindow(m_hwndTooltip);
    m_hwndTooltip = nullptr;
  }
  m_hDcOffscreen.Reset();
  m_hDcBackground.Reset();
  m_hbmpOffscreen.Reset();
  m_hbmpBackground.Reset();
  m_hDcPaint.Reset();
  CUIPtrArray& managers = GetProcessState().managers;
  const int index = managers.Find(this);
  if (index >= 0) managers.Remove(index);
}

// --- Binding and tree ---

void CWindowManagerUI::InitForWindow(HWND hWnd, const UIChar* name) {
  m_mNameHash.RemoveAll();
  RemoveAllFonts();
  RemoveAllImages();
  RemoveAllDefaultAttributeLists();
  RemoveAllWindowCustomAttributes();
  RemoveAllOptionGroups();
  KillAllTimers();
  m_sName.AssignText(name);
  if (m_hWndPaint != hWnd) {
    m_hWndPaint = hWnd;
    m_hDcPaint = WindowDC(hWnd);
    CUIPtrArray& managers = GetProcessState().managers;
    if (managers.Find(this) < 0) managers.Add(this);
  }
}

bool CWindowManagerUI::AttachRootControl(CControlUI* control) {
  SetFocusControl(nullptr, true);
  m_pEventKey = nullptr;
  m_pEventHover = nullptr;
  m_pEventClick = nullptr;
  m_pLastToolTip = nullptr;
  if (m_pRoot != nullptr && m_pRoot != control) {
    DropDelayedCleanups();
    DropQueuedNotifications();
    m_mNameHash.RemoveAll();
    m_aPostPaintControls.Clear();
    m_aNativeWindow.Clear();
    m_aNativeWindowControl.Clear();
    // The old tree may be the caller of this very call (a notification
    // handler that rebuilds the window): it goes at the next flush.
    CControlUI* oldRoot = m_pRoot;
    m_pRoot = nullptr;
    AddDelayedCleanup(oldRoot);
  }
  m_pRoot = control;
  m_bUpdateNeeded = true;
  m_bFirstLayout = true;
  m_bFocusNeeded = true;
  if (m_hWndPaint != nullptr) m_Shadow.CreateShadowWindow(this);
  return InitControls(control, nullptr);
}

bool CWindowManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
  if (control == nullptr) return false;
  control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
  struct Filer {
    static CControlUI* File(CControlUI* found, void* data) {
      auto* names = static_cast<CUIStringMap*>(data);
      const CUIString name = found->GetName();
      if (!name.IsEmpty()) names->Set(name.GetText(), found);
      return nullptr;  // visit every control
    }
  };
  control->FindControl(&Filer::File, &m_mNameHash, 0);
  return true;
}

void CWindowManagerUI::ReapObjects(CControlUI* control) {
  if (control == nullptr) return;
  if (control == m_pEventKey) m_pEventKey = nullptr;
  if (control == m_pEventHover) m_pEventHover = nullptr;
  if (control == m_pEventClick) m_pEventClick = nullptr;
  if (control == m_pFocus) m_pFocus = nullptr;
  if (control == m_pLastToolTip) m_pLastToolTip = nullptr;
  KillControlTimers(control);
  const CUIString name = control->GetName();
  if (!name.IsEmpty() && m_mNameHash.Find(name.GetText(), false) == control) m_mNameHash.Remove(name.GetText());
  int index = m_aPostPaintControls.Find(control);
  if (index >= 0) m_aPostPaintControls.Remove(index);
  index = m_aMouseLeaveListeners.Find(control);
  if (index >= 0) m_aMouseLeaveListeners.Remove(index);
  while ((index = m_aNativeWindowControl.Find(control)) >= 0) {
    m_aNativeWindowControl.Remove(index);
    m_aNativeWindow.Remove(index);
  }
  // Deleted elsewhere while waiting for the clean-up: never delete it twice.
  index = m_aDelayedCleanup.Find(control);
  if (index >= 0) m_aDelayedCleanup.Remove(index);
  for (int group = m_mOptionGroup.GetCount() - 1; group >= 0; --group) {
    auto* options = static_cast<CUIPtrArray*>(m_mOptionGroup.Find(m_mOptionGroup.GetKeyAt(group), false));
    const int at = options != nullptr ? options->Find(control) : -1;
    if (at >= 0) options->Remove(at);
  }
  // Notifications it sent, queued or being delivered right now, lose their
  // sender and are still delivered, with a null sender.
  for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
    auto* notify = static_cast<UINotify*>(m_aAsyncNotify.GetAt(i));
    if (notify->pSender == control) notify->pSender = nullptr;
  }
  for (int i = 0; i < m_aInFlightNotify.GetSize(); ++i) {
    auto* notify = static_cast<UINotify*>(m_aInFlightNotify.GetAt(i));
    if (notify->pSender == control) notify->pSender = nullptr;
  }
}

bool CWindowManagerUI::AddDelayedCleanup(CControlUI* control) {
  if (control == nullptr) return false;
  if (m_aDelayedCleanup.Find(control) >= 0) return true;
  control->SetManager(this, nullptr, false);
  if (!m_aDelayedCleanup.Add(control)) return false;
  if (!m_bAsyncNotifyPosted && m_hWndPaint != nullptr) {
    m_bAsyncNotifyPosted = ::PostMessageW(m_hWndPaint, kFlushNotifyMessage, 0, 0) != FALSE;
  }
  return true;
}

void CWindowManagerUI::DropDelayedCleanups() {
  // Taken off the list before deleting: a deleted control reaps itself here.
  while (!m_aDelayedCleanup.IsEmpty()) {
    const int last = m_aDelayedCleanup.GetSize() - 1;
    auto* control = static_cast<CControlUI*>(m_aDelayedCleanup.GetAt(last));
    m_aDelayedCleanup.Remove(last);
    control->Delete();
  }
}

void CWindowManagerUI::DropQueuedNotifications() {
  while (!m_aAsyncNotify.IsEmpty()) {
    const int last = m_aAsyncNotify.GetSize() - 1;
    auto* notify = static_cast<UINotify*>(m_aAsyncNotify.GetAt(last));
    m_aAsyncNotify.Remove(last);
    delete notify;
  }
}

bool CWindowManagerUI::SetParentManager(CWindowManagerUI* parent) {
  for (CWindowManagerUI* walk = parent; walk != nullptr; walk = walk->m_pParentManager) {
    if (walk == this) return false;
  }
  m_pParentManager = parent;
  return true;
}

// --- Name index and searches ---

bool CWindowManagerUI::RenameControl(CControlUI* control, const UIChar* name) {
  if (control == nullptr || control->GetManager() != this || name == nullptr || name[0] == 0) return false;
  const CUIString oldName = control->GetName();
  if (oldName.EqualsText(name)) return true;
  const auto* holder = static_cast<CControlUI*>(m_mNameHash.Find(name, false));
  if (holder != nullptr && holder != control) return false;
  control->SetName(name);  // files the control through UpdateControlName
  return true;
}

void CWindowManagerUI::UpdateControlName(CControlUI* control, const UIChar* oldName) {
  if (control == nullptr) return;
  if (oldName != nullptr && oldName[0] != 0 && m_mNameHash.Find(oldName, false) == control) {
    m_mNameHash.Remove(oldName);
  }
  const CUIString name = control->GetName();
  if (!name.IsEmpty()) m_mNameHash.Set(name.GetText(), control);
}

CControlUI* CWindowManagerUI::FindControlByName(const UIChar* name) const {
  if (name == nullptr || name[0] == 0) return nullptr;
  return static_cast<CControlUI*>(m_mNameHash.Find(name));
}

CControlUI* CWindowManagerUI::FindControlAtPoint(CUIPoint point) const {
  if (m_pRoot == nullptr) return nullptr;
  struct Hit {
    static CControlUI* Accept(CControlUI* found, void*) { return found; }
  };
  return m_pRoot->FindControl(&Hit::Accept, &point, kUIFindVisible | kUIFindHitTest | kUIFindTopFirst);
}

CControlUI* CWindowManagerUI::FindSubControlByName(CControlUI* parent, const UIChar* name) const {
  if (parent == nullptr) parent = m_pRoot;
  if (parent == nullptr || name == nullptr || name[0] == 0) return nullptr;
  struct ByName {
    static CControlUI* Match(CControlUI* found, void* data) {
      const CUIString own = found->GetName();
      return !own.IsEmpty() && own.CompareNoCase(static_cast<const UIChar*>(data)) == 0 ? found : nullptr;
    }
  };
  return parent->FindControl(&ByName::Match, const_cast<UIChar*>(name), 0);
}

// --- Lists ---

namespace {

bool AddUnique(CUIPtrArray& list, void* item) {
  if (item == nullptr || list.Find(item) >= 0) return false;
  return list.Add(item);
}

bool RemoveItem(CUIPtrArray& list, void* item) {
  const int index = item != nullptr ? list.Find(item) : -1;
  return index >= 0 && list.Remove(index);
}

}  // namespace

bool CWindowManagerUI::AddNotifier(INotifyUI* notifier) { return AddUnique(m_aNotifiers, notifier); }
bool CWindowManagerUI::RemoveNotifier(INotifyUI* notifier) { return RemoveItem(m_aNotifiers, notifier); }
bool CWindowManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) { return AddUnique(m_aPreMessageFilters, filter); }
bool CWindowManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
  return RemoveItem(m_aPreMessageFilters, filter);
}
bool CWindowManagerUI::AddMessageFilter(IMessageFilterUI* filter) { return AddUnique(m_aMessageFilters, filter); }
bool CWindowManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveItem(m_aMessageFilters, filter); }
bool CWindowManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
  return AddUnique(m_aTranslateAccelerator, translator);
}
bool CWindowManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
  return RemoveItem(m_aTranslateAccelerator, translator);
}
bool CWindowManagerUI::AddPostPaint(CControlUI* control) { return AddUnique(m_aPostPaintControls, control); }
bool CWindowManagerUI::RemovePostPaint(CControlUI* control) { return RemoveItem(m_aPostPaintControls, control); }
bool CWindowManagerUI::AddMouseLeaveListener(CControlUI* control) {
  return AddUnique(m_aMouseLeaveListeners, control);
}
bool CWindowManagerUI::RemoveMouseLeaveListener(CControlUI* control) {
  return RemoveItem(m_aMouseLeaveListeners, control);
}

bool CWindowManagerUI::AddNativeWindow(CControlUI* control, HWND hChildWnd) {
  if (control == nullptr || hChildWnd == nullptr || m_aNativeWindow.Find(hChildWnd) >= 0) return false;
  if (!m_aNativeWindow.Add(hChildWnd)) return false;
  if (!m_aNativeWindowControl.Add(control)) {
    m_aNativeWindow.Remove(m_aNativeWindow.GetSize() - 1);
    return false;
  }
  InvalidateArea(GetChildWindowRect(hChildWnd));
  return true;
}

bool CWindowManagerUI::RemoveNativeWindow(HWND hChildWnd) {
  const int index = hChildWnd != nullptr ? m_aNativeWindow.Find(hChildWnd) : -1;
  if (index < 0) return false;
  m_aNativeWindow.Remove(index);
  m_aNativeWindowControl.Remove(index);
  if (::IsWindow(hChildWnd)) InvalidateArea(GetChildWindowRect(hChildWnd));
  return true;
}

}  // namespace Trellis
