// The skinned window base: message routing, skin loading at creation, the
// frameless window's non-client behaviour, title buttons and default keys.
//
// Sections: notification map and failure handler; message routing; creation
// and skin loading; non-client handling; size and system commands; keys and
// clicks.
#include "ui/window/WindowImplBase.h"

#include <memory>
#include <vector>

#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "ui/control/ControlUI.h"

namespace Trellis {
namespace {

// --- Notification map and failure handler ---

void ShowSkinLoadFailureAndExit(WindowImplBase*) {
  MessageBoxW(nullptr, UI_TEXT("加载资源文件失败"), UI_TEXT("Trellis"), MB_ICONERROR);
  ExitProcess(1);
}

WindowImplBase::SkinLoadFailureHandler skinLoadFailureHandler = &ShowSkinLoadFailureAndExit;

// Copies of skin archives taken from the resources. The manager reads the
// archive in place, so each copy lives for the rest of the process; a second
// window of the same archive reuses its copy.
struct ArchiveCopy {
  UIResourceRef id;
  CUIString name;  // the id's text, when it is one (the ref does not own it)
  std::vector<unsigned char> bytes;
};
std::vector<std::unique_ptr<ArchiveCopy>>& ArchiveCopies() {
  static std::vector<std::unique_ptr<ArchiveCopy>> copies;
  return copies;
}

bool SameResource(const ArchiveCopy& copy, UIResourceRef id) {
  if (copy.id.IsNumber() || id.IsNumber()) return copy.id.IsNumber() && id.IsNumber() && copy.id.GetNumber() == id.GetNumber();
  return copy.name.CompareNoCase(id.GetName()) == 0;
}

// The archive resource's bytes, copied once per process; null when the
// resource is missing, cannot be loaded or is empty.
const ArchiveCopy* TakeArchiveCopy(UIResourceRef id) {
  for (const auto& copy : ArchiveCopies()) {
    if (SameResource(*copy, id)) return copy.get();
  }
  if (!id.IsNumber() && (id.GetName() == nullptr || id.GetName()[0] == 0)) return nullptr;
  HINSTANCE module = CWindowManagerUI::GetResourceInstance();
  HRSRC found = FindResourceW(module, id.AsResourceName(), UI_TEXT("ZIPRES"));
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  const DWORD size = SizeofResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return nullptr;
  auto copy = std::make_unique<ArchiveCopy>(ArchiveCopy{id, CUIString(), {}});
  if (!id.IsNumber()) copy->name = id.GetName();
  copy->bytes.assign(static_cast<const unsigned char*>(bytes), static_cast<const unsigned char*>(bytes) + size);
  ArchiveCopies().push_back(std::move(copy));
  return ArchiveCopies().back().get();
}

bool IsZoomedWindow(HWND window) { return IsZoomed(window) != FALSE; }

}  // namespace

TRELLIS_BEGIN_NOTIFY_MAP(WindowImplBase, CNotifyPump)
TRELLIS_NOTIFY_ON(UI_TEXT("click"), UI_TEXT(""), WindowImplBase, OnClick)
TRELLIS_END_NOTIFY_MAP()

WindowImplBase::SkinLoadFailureHandler WindowImplBase::SetSkinLoadFailureHandler(SkinLoadFailureHandler handler) {
  SkinLoadFailureHandler previous = skinLoadFailureHandler;
  skinLoadFailureHandler = handler != nullptr ? handler : &ShowSkinLoadFailureAndExit;
  return previous;
}

// --- Message routing ---

const UIChar* WindowImplBase::GetSuperClassName() const { return nullptr; }

UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = true;
  LRESULT result = 0;
  switch (message) {
    case WM_CREATE: result = OnCreate(message, wParam, lParam, handled); break;
    case WM_DESTROY: result = OnDestroy(message, wParam, lParam, handled); break;
    case WM_SIZE: result = OnSize(message, wParam, lParam, handled); break;
    case WM_SETFOCUS: result = OnSetFocus(message, wParam, lParam, handled); break;
    case WM_KILLFOCUS: result = OnKillFocus(message, wParam, lParam, handled); break;
    case WM_CLOSE: result = OnClose(message, wParam, lParam, handled); break;
    case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(message, wParam, lParam, handled); break;
    case WM_NCCALCSIZE: result = OnNcCalcSize(message, wParam, lParam, handled); break;
    case WM_NCHITTEST: result = OnNcHitTest(message, wParam, lParam, handled); break;
    case WM_NCPAINT: result = OnNcPaint(message, wParam, lParam, handled); break;
    case WM_NCACTIVATE: result = OnNcActivate(message, wParam, lParam, handled); break;
    case WM_KEYDOWN: result = OnKeyDown(message, wParam, lParam, handled); break;
    case WM_CHAR: result = OnChar(message, wParam, lParam, handled); break;
    case WM_SYSCOMMAND: result = OnSysCommand(message, wParam, lParam, handled); break;
    case WM_MOUSEMOVE: result = OnMouseMove(message, wParam, lParam, handled); break;
    case WM_LBUTTONDOWN: result = OnLButtonDown(message, wParam, lParam, handled); break;
    case WM_LBUTTONUP: result = OnLButtonUp(message, wParam, lParam, handled); break;
    case WM_MOUSEWHEEL: result = OnMouseWheel(message, wParam, lParam, handled); break;
    case WM_MOUSEHOVER: result = OnMouseHover(message, wParam, lParam, handled); break;
    default: handled = false; break;
  }
  if (handled) return result;
  handled = false;
  result = HandleCustomMessage(message, wParam, lParam, handled);
  if (handled) return result;
  if (m_pm.ProcessMessage(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void WindowImplBase::OnLastMessage(HWND) {
  m_pm.RemovePreMessageFilter(this);
  m_pm.RemoveNotifier(this);
  m_pm.ReapObjects(m_pm.GetRootControl());
}

void WindowImplBase::OnSkinLoaded() {}

// --- Creation and skin loading ---

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool&) {
  HWND window = GetHandle();
  // No native frame: the whole window is client area drawn by the manager.
  const LONG style = (GetWindowLongW(window, GWL_STYLE) & 0xFF3FFFFF) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  SetWindowLongW(window, GWL_STYLE, style);
  RECT client{};
  GetClientRect(window, &client);
  SetWindowPos(window, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

  m_pm.InitForWindow(window);
  m_pm.AddPreMessageFilter(this);

  // The first skinned window fixes the skin folder for every later one.
  CUIString folder = CWindowManagerUI::GetResourcePath();
  if (folder.IsEmpty()) {
    folder = CWindowManagerUI::GetInstancePath();
    folder.AppendString(GetSkinFolder());
  }
  CWindowManagerUI::SetResourcePath(folder.GetText());

  const int kind = GetSkinSourceKind();
  if (kind == kUISkinArchiveFile) {
    CWindowManagerUI::SetResourceZipFile(GetSkinZipName().GetText(), true);
  } else if (kind == kUISkinArchiveResource) {
    const ArchiveCopy* archive = TakeArchiveCopy(GetSkinZipResourceId());
    if (archive == nullptr) {
      DebugTrace(L"WindowImplBase: the skin archive resource is missing or empty");
      return 0;  // the window stays empty
    }
    CWindowManagerUI::SetResourceZipMemory(archive->bytes.data(), static_cast<unsigned>(archive->bytes.size()));
  }

  CSkinBuilder builder;
  const CUIString skinFile = GetSkinFile();
  CControlUI* root = kind == kUISkinXmlResource
                         ? builder.CreateFromSource(UIResourceRef(_wtoi(skinFile.GetText())), UI_TEXT("xml"), this, &m_pm)
                         : builder.CreateFromSource(UIResourceRef(skinFile.GetText()), nullptr, this, &m_pm);
  if (root == nullptr) {
    DebugTrace(L"WindowImplBase: cannot load the skin %ls", skinFile.GetText());
    skinLoadFailureHandler(this);
    return -1;  // the handler returned (a test's): the window is not made
  }
  m_pm.AttachRootControl(root);
  m_pm.AddNotifier(this);
  OnSkinLoaded();
  return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

// --- Non-client handling ---

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if (IsIconic(GetHandle())) {
    handled = false;
    return 0;
  }
  return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, bool&) {
  if (!IsZoomedWindow(GetHandle())) return 0;  // the whole window is client area
  // Maximised: fill the work area of the window's monitor, not the whole screen.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(GetHandle(), MONITOR_DEFAULTTONEAREST), &monitor);
  RECT* proposed = reinterpret_cast<RECT*>(lParam);  // NCCALCSIZE_PARAMS starts with the proposed rectangle
  if (proposed != nullptr) {
    proposed->right = proposed->left + (monitor.rcWork.right - monitor.rcWork.left);
    proposed->bottom = proposed->top + (monitor.rcWork.bottom - monitor.rcWork.top);
  }
  return WVR_REDRAW;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&) { return 0; }

// Which controls in the caption band take their clicks instead of dragging
// the window. Button, option and text alone would leave every other working
// control placed in the band (an edit, a combo, a slider, a tab stop) unusable:
// its press would start a window drag and never reach it.
bool WindowImplBase::IsInteractiveControl(CControlUI* control) {
  if (control == nullptr) return false;
  // These three take clicks whatever their state, as the skins expect.
  const UIChar* className = control->GetClassName();
  static const UIChar* const kAlwaysClient[] = {UI_TEXT("Button"), UI_TEXT("Option"), UI_TEXT("Text")};
  for (const UIChar* name : kAlwaysClient) {
    if (className != nullptr && UITextCompareNoCase(className, name) == 0) return true;
  }
  if (!control->IsEnabled()) return false;
  // Tab stops and controls that set their own cursor react to the mouse.
  if ((control->GetControlFlags() & (kUIFlagTabStop | kUIFlagSetCursor)) != 0) return true;
  // Derived controls answer their bases' interfaces, so a new kind of button,
  // edit or list is recognised through the interface it shares.
  static const UIChar* const kInteractive[] = {
      UI_TEXT("Button"),   UI_TEXT("Option"),   UI_TEXT("CheckBox"),  UI_TEXT("Text"),       UI_TEXT("Edit"),
      UI_TEXT("RichEdit"), UI_TEXT("Combo"),    UI_TEXT("Slider"),    UI_TEXT("ScrollBar"),  UI_TEXT("List"),
      UI_TEXT("ListItem"), UI_TEXT("TreeView"), UI_TEXT("DateTime"),  UI_TEXT("ActiveX"),    UI_TEXT("WebBrowser"),
      UI_TEXT("ListHeaderItem")};
  for (const UIChar* name : kInteractive) {
    if (control->GetInterface(name) != nullptr) return true;
  }
  return false;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
  POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ScreenToClient(GetHandle(), &point);
  RECT client{};
  GetClientRect(GetHandle(), &client);

  if (!IsZoomedWindow(GetHandle())) {
    const CUIRect sizeBox = m_pm.GetSizeBox();
    const bool left = point.x < client.left + sizeBox.left;
    const bool right = point.x > client.right - sizeBox.right;
    if (point.y < client.top + sizeBox.top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (point.y > client.bottom - sizeBox.bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
  }

  const CUIRect caption = m_pm.GetCaptionRect();
  if (point.x >= client.left + caption.left && point.x < client.right - caption.right && point.y >= caption.top &&
      point.y < caption.bottom) {
    // Empty parts of the band and passive controls (labels, pictures,
    // layouts) drag the window; interactive controls take the click.
    CControlUI* control = m_pm.FindControlAtPoint(CUIPoint(point.x, point.y));
    if (!IsInteractiveControl(control)) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(GetHandle(), MONITOR_DEFAULTTONEAREST), &monitor);
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  if (info != nullptr) {
    // Positions of a maximised window are relative to its monitor.
    info->ptMaxPosition.x = monitor.rcWork.left - monitor.rcMonitor.left;
    info->ptMaxPosition.y = monitor.rcWork.top - monitor.rcMonitor.top;
    info->ptMaxTrackSize.x = monitor.rcWork.right - monitor.rcWork.left;
    info->ptMaxTrackSize.y = monitor.rcWork.bottom - monitor.rcWork.top;
    const CUISize minimum = m_pm.GetMinInfo();
    info->ptMinTrackSize.x = minimum.cx;
    info->ptMinTrackSize.y = minimum.cy;
  }
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

// --- Size and system commands ---

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled) {
  const CUISize corner = m_pm.GetRoundCorner();
  if (!IsIconic(GetHandle()) && (corner.cx != 0 || corner.cy != 0)) {
    RECT window{};
    GetWindowRect(GetHandle(), &window);
    OwnedRegion region(CreateRoundRectRgn(0, 0, window.right - window.left + 1, window.bottom - window.top + 1,
                                          corner.cx, corner.cy));
    // The system owns a region once it is the window's region.
    if (region && SetWindowRgn(GetHandle(), region.Get(), TRUE) != 0) region.Release();
  }
  handled = false;  // the manager lays out on WM_SIZE too
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  if (wParam == SC_CLOSE) {
    SendMessageW(GetHandle(), WM_CLOSE, 0, 0);
    return 0;
  }
  const bool wasZoomed = IsZoomedWindow(GetHandle());
  const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
  if (wasZoomed != IsZoomedWindow(GetHandle())) {
    CControlUI* maxButton = m_pm.FindControlByName(UI_TEXT("maxbtn"));
    CControlUI* restoreButton = m_pm.FindControlByName(UI_TEXT("restorebtn"));
    if (maxButton != nullptr && restoreButton != nullptr) {
      maxButton->SetVisible(wasZoomed);
      restoreButton->SetVisible(!wasZoomed);
    }
  }
  return result;
}

// --- Keys and clicks ---

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LONG WindowImplBase::GetStyle() { return GetWindowLongW(GetHandle(), GWL_STYLE) & 0xFF3FFFFF; }

LRESULT WindowImplBase::HandleDefaultKey(WPARAM virtualKey) {
  if (virtualKey == VK_ESCAPE) {
    PostClose(1);
    return 1;
  }
  return 0;
}

int WindowImplBase::GetSkinSourceKind() { return kUISkinFolderOrArchive; }

CUIString WindowImplBase::GetSkinZipName() { return CUIString(); }

UIResourceRef WindowImplBase::GetSkinZipResourceId() { return UIResourceRef(UI_TEXT("")); }

void WindowImplBase::OnClick(UINotify& msg) {
  if (msg.pSender == nullptr) return;
  const CUIString name = msg.pSender->GetName();
  if (name.EqualsText(UI_TEXT("closebtn"))) {
    PostClose(1);
  } else if (name.EqualsText(UI_TEXT("minbtn"))) {
    SendMessageW(GetHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name.EqualsText(UI_TEXT("maxbtn"))) {
    SendMessageW(GetHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name.EqualsText(UI_TEXT("restorebtn"))) {
    SendMessageW(GetHandle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  }
}

void WindowImplBase::Notify(UINotify& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::FilterMessage(UINT message, WPARAM wParam, LPARAM, bool&) {
  if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) return HandleDefaultKey(wParam);
  return 0;
}

CControlUI* WindowImplBase::CreateControl(const UIChar*) { return nullptr; }

}  // namespace Trellis
