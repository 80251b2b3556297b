#include "ui/controls/menu/MenuWnd.h"

#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "ui/control/ContainerUI.h"
#include "ui/controls/list/ListBodyUI.h"
#include "ui/controls/menu/MenuElementUI.h"
#include "ui/controls/menu/MenuPlacement.h"
#include "ui/controls/menu/MenuUI.h"
#include "ui/window/Shadow.h"

namespace Trellis {

namespace {

// The result every menu window closes with (the WM_CLOSE wParam).
constexpr UINT kMenuCloseResult = 1;

bool IsMenuElement(CControlUI* control) {
  return control != nullptr && control->GetInterface(UI_TEXT("MenuElement")) != nullptr;
}

CUIRect WorkAreaOf(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info)) {
    RECT rc = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
    return CUIRect(rc.left, rc.top, rc.right, rc.bottom);
  }
  return CUIRect(info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom);
}

CUIRect InsetOf(CControlUI* control) {
  auto* container = control != nullptr ? static_cast<CContainerUI*>(control->GetInterface(UI_TEXT("Container")))
                                        : nullptr;
  return container != nullptr ? container->GetInset() : CUIRect();
}

// The Menu an item lives in (its list), or null.
CMenuUI* MenuOf(CControlUI* item) {
  for (CControlUI* up = item != nullptr ? item->GetParent() : nullptr; up != nullptr; up = up->GetParent()) {
    if (auto* menu = static_cast<CMenuUI*>(up->GetInterface(UI_TEXT("Menu")))) return menu;
  }
  return nullptr;
}

// A fresh record naming the same image: the copy loads it through its own window.
void CopyImageDescription(const UIImageDrawInfo& from, UIImageDrawInfo& to) {
  to.Clear();
  to.sDrawString = from.sDrawString;
}

// A sub-menu whose window has no "Menu" default list looks like the menu it
// opens from (background, border, inset and the item appearance); without
// it the sub-menu would show unpainted, with black-on-black items.
void CopyMenuLook(CMenuUI* from, CMenuUI* to) {
  to->SetBkColor(from->GetBkColor());
  to->SetBorderColor(from->GetBorderColor());
  to->SetBorderSize(from->GetBorderSize());
  to->SetBorderRound(from->GetBorderRound());
  to->SetInset(from->GetInset());
  const UIListInfo& src = *from->GetListInfo();
  UIListInfo& dst = *to->GetListInfo();
  dst.iItemHeight = src.iItemHeight;
  dst.iFont = src.iFont;
  dst.uTextStyle = src.uTextStyle;
  dst.rcTextPadding = src.rcTextPadding;
  dst.dwTextColor = src.dwTextColor;
  dst.dwBkColor = src.dwBkColor;
  dst.bAlternateBk = src.bAlternateBk;
  dst.dwSelectedTextColor = src.dwSelectedTextColor;
  dst.dwSelectedBkColor = src.dwSelectedBkColor;
  dst.dwHotTextColor = src.dwHotTextColor;
  dst.dwHotBkColor = src.dwHotBkColor;
  dst.dwDisabledTextColor = src.dwDisabledTextColor;
  dst.dwDisabledBkColor = src.dwDisabledBkColor;
  dst.iHLineSize = src.iHLineSize;
  dst.dwHLineColor = src.dwHLineColor;
  dst.iVLineSize = src.iVLineSize;
  dst.dwVLineColor = src.dwVLineColor;
  dst.bShowHtml = src.bShowHtml;
  CopyImageDescription(src.diBk, dst.diBk);
  CopyImageDescription(src.diSelected, dst.diSelected);
  CopyImageDescription(src.diHot, dst.diHot);
  CopyImageDescription(src.diDisabled, dst.diDisabled);
}

}  // namespace

CMenuWnd::CMenuWnd() = default;

CMenuWnd::~CMenuWnd() = default;

// --- Program-wide state ---

ObserverImpl& CMenuWnd::GetMenuObserver() {
  static ObserverImpl observer;
  return observer;
}

namespace {
CUIString& ClickedItemName() {
  static CUIString name;
  return name;
}
}  // namespace

CUIString CMenuWnd::GetClickedItemName() { return ClickedItemName(); }

void CMenuWnd::SetClickedItemName(const UIChar* name) { ClickedItemName().AssignText(name); }

// --- Opening ---

CMenuWnd* CMenuWnd::CreateMenu(CMenuElementUI* owner, UIResourceRef xml, int x, int y, CWindowManagerUI* manager,
                               CMenuCheckMap* checkMap, DWORD alignment) {
  CMenuWnd* window = new CMenuWnd();
  if (!window->Init(owner, xml, x, y, manager, checkMap, alignment)) {
    delete window;  // no window was made, so no last message will delete it
    return nullptr;
  }
  return window;
}

bool CMenuWnd::Init(CMenuElementUI* owner, UIResourceRef xml, int x, int y, CWindowManagerUI* manager,
                    CMenuCheckMap* checkMap, DWORD alignment) {
  m_ptBase = CUIPoint(x, y);
  m_pOwner = owner;
  if (xml.IsNumber()) {
    m_nXmlId = xml.GetNumber();
  } else {
    m_sXml.AssignText(xml.GetName());
  }
  m_dwAlignment = alignment;
  m_pLayout = nullptr;

  ObserverImpl& observer = GetMenuObserver();
  // A new top-level menu reports to its own window and keeps its own states.
  if (owner == nullptr) observer.BeginTopLevelMenu(manager, checkMap);
  observer.AddReceiver(this);

  HWND ownerWindow = nullptr;
  if (owner != nullptr && owner->GetManager() != nullptr) {
    ownerWindow = owner->GetManager()->GetPaintWindow();
  } else if (manager != nullptr) {
    ownerWindow = manager->GetPaintWindow();
  }
  if (CreateWithRect(ownerWindow, UI_TEXT(""), WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CUIRect()) == nullptr) {
    DebugTrace(L"CMenuWnd: the menu window could not be made");
    DetachFromObservers();
    m_lent.Return();
    return false;
  }
  ::ShowWindow(m_hWnd, SW_SHOW);
  // The owner's title bar keeps its active look while its menu is open.
  ::SendMessageW(::GetAncestor(m_hWnd, GA_ROOTOWNER), WM_NCACTIVATE, TRUE, 0);
  // Keys go to the menu list: arrows select, Return chooses, Right opens.
  CControlUI* root = GetRoot();
  if (root != nullptr && root->GetInterface(UI_TEXT("Menu")) != nullptr) m_pm.SetFocusControl(root, true);
  return true;
}

CControlUI* CMenuWnd::GetRoot() const { return m_pm.GetRootControl(); }

const UIChar* CMenuWnd::GetWindowClassName() const { return UI_TEXT("TrellisMenuWnd"); }

CControlUI* CMenuWnd::CreateControl(const UIChar* className) {
  if (className == nullptr) return nullptr;
  if (UITextCompareNoCase(className, UI_TEXT("Menu")) == 0) return new CMenuUI();
  if (UITextCompareNoCase(className, UI_TEXT("MenuElement")) == 0) return new CMenuElementUI();
  return nullptr;
}

LRESULT CMenuWnd::OnCreate() {
  CControlUI* root = nullptr;
  if (m_pOwner != nullptr) {
    LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CAPTION);
    style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    m_pm.InitForWindow(m_hWnd);
    CWindowManagerUI* ownerManager = m_pOwner->GetManager();
    m_pLayout = new CMenuUI();
    // Fonts, images and defaults resolve through the window that owns this one.
    if (ownerManager != nullptr) m_pm.SetParentManager(ownerManager);
    m_pLayout->SetManager(&m_pm, nullptr, true);
    const UIChar* defaults = ownerManager != nullptr ? ownerManager->GetDefaultAttributeList(UI_TEXT("Menu")) : nullptr;
    if (defaults != nullptr) {
      m_pLayout->ApplyAttributeList(defaults);
    } else if (CMenuUI* parentMenu = MenuOf(m_pOwner)) {
      CopyMenuLook(parentMenu, m_pLayout);
    }
    // The items stay the owner's: the sub-menu shows them and gives them back.
    m_pLayout->SetAutoDestroy(false);
    if (m_pLayout->GetListBody() != nullptr) m_pLayout->GetListBody()->SetAutoDestroy(false);
    m_lent.Lend(m_pOwner, m_pLayout);
    if (ownerManager != nullptr) {
      ownerManager->GetShadow()->CopySettingsTo(m_pm.GetShadow());
      m_pm.SetImageAlphaForced(ownerManager->IsImageAlphaForced());
      m_pm.SetAuxFlag(ownerManager->GetAuxFlag());
    }
    root = m_pLayout;
  } else {
    m_pm.InitForWindow(m_hWnd);
    CSkinBuilder builder;
    root = m_nXmlId != 0 ? builder.CreateFromSource(UIResourceRef(static_cast<int>(m_nXmlId)), nullptr,
                                                                this, &m_pm)
                                     : builder.CreateFromSource(UIResourceRef(m_sXml.GetText()), nullptr, this, &m_pm);
    if (root == nullptr) {
      DebugTrace(L"CMenuWnd: the menu skin could not be built");
      PostClose(kMenuCloseResult);
      return 0;
    }
  }
  CShadowUI* shadow = m_pm.GetShadow();
  const bool shadowOn = shadow->IsShadowEnabled();
  shadow->SetShadowEnabled(false);
  m_pm.AttachRootControl(root);
  m_pm.AddNotifier(this);
  if (m_pOwner != nullptr) {
    PlaceSubMenu();
  } else {
    PlaceMenu();
  }
  shadow->SetShadowEnabled(shadowOn);
  shadow->CreateShadowWindow(&m_pm);
  return 0;
}

// --- Placement ---

void CMenuWnd::PlaceMenu() {
  CControlUI* root = GetRoot();
  if (root == nullptr) return;
  const CUIRect work = WorkAreaOf(m_hWnd);
  CUISize size = root->EstimateSize(CUISize(work.GetWidth(), work.GetHeight()));
  m_pm.SetInitialSize(size.cx, size.cy);
  size = m_pm.GetInitialSize();
  const CUIRect inset = InsetOf(root);
  size.cy += inset.top + inset.bottom;
  const CUIRect rc = CMenuPlacement::PlaceTopLevel(m_ptBase, size, m_dwAlignment);
  ::SetForegroundWindow(m_hWnd);
  ::MoveWindow(m_hWnd, rc.left, rc.top, rc.GetWidth(), rc.GetHeight(), FALSE);
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, rc.left, rc.top, rc.GetWidth(), rc.GetHeight(), SWP_SHOWWINDOW);
}

void CMenuWnd::PlaceSubMenu() {
  CWindowManagerUI* ownerManager = m_pOwner->GetManager();
  if (ownerManager == nullptr) return;
  const HWND parentWindow = ownerManager->GetPaintWindow();
  const CUIRect work = WorkAreaOf(m_hWnd);
  const CUISize available(work.GetWidth(), work.GetHeight());
  int height = 0;
  int width = 0;
  for (int i = 0; i < m_pOwner->GetCount(); ++i) {
    CControlUI* item = m_pOwner->GetItemAt(i);
    if (!IsMenuElement(item)) continue;
    const CUISize size = item->EstimateSize(available);
    height += size.cy;
    if (size.cx > width) width = size.cx;
  }
  RECT parentRect = {};
  ::GetWindowRect(parentWindow, &parentRect);
  const CUIRect parent(parentRect.left, parentRect.top, parentRect.right, parentRect.bottom);
  POINT ownerTop = {m_pOwner->GetPos().left, m_pOwner->GetPos().top};
  ::ClientToScreen(parentWindow, &ownerTop);

  // A chain of menus that already runs left or up goes on that way.
  bool reachRight = false;
  bool reachBottom = false;
  ObserverImpl& observer = GetMenuObserver();
  for (int i = 0; i < observer.GetReceiverCount(); ++i) {
    auto* menu = dynamic_cast<CMenuWnd*>(observer.GetReceiverAt(i));
    if (menu == nullptr || menu->GetHandle() == nullptr) continue;
    RECT rc = {};
    ::GetWindowRect(menu->GetHandle(), &rc);
    reachRight = rc.left >= parent.right;
    reachBottom = rc.top >= parent.bottom;
    if (menu->GetHandle() == parentWindow || reachRight || reachBottom) break;
  }
  // The layout's inset belongs to the height the placement works with, so a
  // menu flipped upwards ends exactly where its item begins.
  const CUIRect inset = InsetOf(m_pLayout);
  height += inset.top + inset.bottom;
  const CUIRect rc =
      CMenuPlacement::PlaceSubMenu(ownerTop.y, width, height, parent, reachRight, reachBottom, work);
  ::MoveWindow(m_hWnd, rc.left, rc.top, rc.GetWidth(), rc.GetHeight(), FALSE);
}

// --- Closing ---

bool CMenuWnd::IsMenuWindow(HWND window) {
  if (window == nullptr) return false;
  ObserverImpl& observer = GetMenuObserver();
  for (int i = 0; i < observer.GetReceiverCount(); ++i) {
    auto* menu = dynamic_cast<CMenuWnd*>(observer.GetReceiverAt(i));
    if (menu != nullptr && menu->GetHandle() == window) return true;
  }
  return false;
}

BOOL CMenuWnd::Receive(int type, HWND window) {
  if (type == 1) {
    PostClose(kMenuCloseResult);
  } else if (type == 2) {
    for (HWND ancestor = ::GetParent(m_hWnd); ancestor != nullptr; ancestor = ::GetParent(ancestor)) {
      if (ancestor == window) {
        PostClose(kMenuCloseResult);
        break;
      }
    }
  }
  return TRUE;
}

void CMenuWnd::ReturnSubItems() { m_lent.Return(); }

void CMenuWnd::OwnerGone() {
  ReturnSubItems();
  m_pOwner = nullptr;
  PostClose(kMenuCloseResult);
}

void CMenuWnd::Notify(UINotify& msg) {
  CWindowManagerUI* owner = GetMenuObserver().GetManager();
  if (owner == nullptr || owner == &m_pm) return;
  if (msg.sType.EqualsText(UI_TEXT("click")) || msg.sType.EqualsText(UI_TEXT("valuechanged"))) {
    owner->SendNotifyRecord(msg, false);
  }
}

LRESULT CMenuWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_SIZE:
      // Setting the region reframes the window, which sends WM_SIZE again.
      if (wParam != SIZE_MINIMIZED && !m_bSettingRegion) {
        m_bSettingRegion = true;
        RECT rc = {};
        ::GetWindowRect(m_hWnd, &rc);
        ::OffsetRect(&rc, -rc.left, -rc.top);
        const CUISize corner = m_pm.GetRoundCorner();
        OwnedRegion region(::CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, corner.cx, corner.cy));
        // The window owns the region once it is set.
        if (region && ::SetWindowRgn(m_hWnd, region.Get(), TRUE) != 0) region.Release();
        m_bSettingRegion = false;
      }
      break;
    case WM_KILLFOCUS:
      // Focus moving into another menu (a sub-menu, or back to a parent) keeps them all.
      if (!IsMenuWindow(reinterpret_cast<HWND>(wParam))) GetMenuObserver().Broadcast(1, m_hWnd);
      return 0;
    case WM_CLOSE:
      if (m_pOwner != nullptr) {
        ReturnSubItems();
        m_pOwner->SetPos(m_pOwner->GetPos(), true);
        m_pOwner->SetFocus();
      }
      break;
    case WM_DESTROY:
      // However the window ends, the owner gets its items back first.
      ReturnSubItems();
      break;
    case WM_CONTEXTMENU:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE || wParam == VK_LEFT) {
        PostClose(kMenuCloseResult);
        return 0;
      }
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (m_pm.ProcessMessage(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CMenuWnd::OnLastMessage(HWND /*hWnd*/) {
  DetachFromObservers();
  ReturnSubItems();
  if (m_pOwner != nullptr) {
    // The sub-items live on, hidden, inside their item in the parent menu.
    CControlUI* listOwner = m_pOwner->GetParent();
    while (listOwner != nullptr && listOwner->GetInterface(UI_TEXT("IListOwner")) == nullptr) {
      listOwner = listOwner->GetParent();
    }
    for (int i = 0; i < m_pOwner->GetCount(); ++i) {
      CControlUI* item = m_pOwner->GetItemAt(i);
      if (!IsMenuElement(item)) continue;
      auto* listItem = static_cast<IListItemUI*>(item->GetInterface(UI_TEXT("IListItem")));
      if (listItem != nullptr && listOwner != nullptr) listItem->SetOwner(listOwner);
      item->SetVisible(false);
      item->SetInheritedVisible(false);
    }
    m_pOwner->SetSubMenuWindow(nullptr);
    m_pOwner->ClearPushed();
  }
  delete this;
}

}  // namespace Trellis
