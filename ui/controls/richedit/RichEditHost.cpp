// CRichEditHost: creation of the engine, the default formats, property
// changes and the engine's callbacks.
//
// Sections: Creation and teardown; Properties; IUnknown; Callbacks.
#include "ui/controls/richedit/RichEditHost.h"

#include <imm.h>
#include <new>

#include "core/base/BenchMemory.h"
#include "core/base/DebugTrace.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/controls/richedit/RichEditUI.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

// Hosts alive in this process; only read by diagnostics and tests.
int g_liveHosts = 0;
// Replaces the platform's engine for hosts made from now on; null = "msftedit.dll".
CreateTextServicesProc g_engineFactory = nullptr;

}  // namespace

// --- Creation and teardown ---

CRichEditHost::CRichEditHost(CRichEditUI* control) : m_pControl(control) {
  ZeroMemory(&m_charFormat, sizeof(m_charFormat));
  ZeroMemory(&m_paraFormat, sizeof(m_paraFormat));
  ++g_liveHosts;
}

CRichEditHost::~CRichEditHost() {
  Shutdown();
  --g_liveHosts;
}

int CRichEditHost::GetLiveCount() { return g_liveHosts; }

void CRichEditHost::SetEngineFactory(CreateTextServicesProc factory) { g_engineFactory = factory; }

CRichEditHost* CRichEditHost::Create(CRichEditUI* control, DWORD style, const UIChar* text) {
  if (control == nullptr) return nullptr;
  auto* host = new (std::nothrow) CRichEditHost(control);
  if (host == nullptr) return nullptr;
  if (!host->Init(style, text)) {
    host->Detach();
    host->Release();
    return nullptr;
  }
  return host;
}

bool CRichEditHost::Init(DWORD style, const UIChar* text) {
  CWindowManagerUI* manager = m_pControl->GetManager();
  m_charFormat.cbSize = sizeof(CHARFORMAT2W);
  m_charFormat.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET |
                        CFM_CHARSET;
  m_charFormat.crTextColor = 0;
  HFONT font = manager != nullptr ? manager->GetFontHandle(m_pControl->GetFont()) : nullptr;
  if (font == nullptr) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (!SetFont(font)) return false;
  m_paraFormat.cbSize = sizeof(PARAFORMAT2);
  m_paraFormat.dwMask = PFM_ALIGNMENT | PFM_NUMBERING | PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET |
                        PFM_TABSTOPS | PFM_RTLPARA | PFM_OFFSETINDENT;
  m_paraFormat.wAlignment = PFA_LEFT;
  m_paraFormat.cTabCount = 1;
  m_paraFormat.rgxTabs[0] = 720;  // half an inch, in twips

  m_dwStyle = style;
  if (m_pControl->IsRich()) m_dwFlags |= kFlagRich;
  // The engine reads the back style when it is made; a later change alone
  // does not reach every engine.
  if (m_pControl->IsTransparent()) m_dwFlags |= kFlagTransparent;
  m_lMaxLength = m_pControl->GetLimitText() > 0 ? m_pControl->GetLimitText() : 32767;
  if ((style & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0) m_dwFlags |= kFlagWordWrap;
  if ((style & ES_CENTER) != 0) {
    m_paraFormat.wAlignment = PFA_CENTER;
  } else if ((style & ES_RIGHT) != 0) {
    m_paraFormat.wAlignment = PFA_RIGHT;
  }
  m_dwFlags |= kFlagInPlaceActive;

  BenchMemoryScope measured("lib.richedit");
  CreateTextServicesProc create = g_engineFactory;
  if (create == nullptr) {
    m_hModule.Reset(::LoadLibraryW(L"msftedit.dll"));
    if (!m_hModule) {
      DebugTrace(L"CRichEditHost: msftedit.dll could not be loaded (error %lu)", ::GetLastError());
      return false;
    }
    create = reinterpret_cast<CreateTextServicesProc>(
        reinterpret_cast<void*>(::GetProcAddress(m_hModule.Get(), "CreateTextServices")));
    if (create == nullptr) {
      DebugTrace(L"CRichEditHost: CreateTextServices is missing (error %lu)", ::GetLastError());
      return false;
    }
  }
  ComPtr<IUnknown> unknown;
  HRESULT hr = create(nullptr, this, unknown.Receive());
  if (FAILED(hr) || !unknown) {
    DebugTrace(L"CRichEditHost: CreateTextServices failed (0x%08lX, error %lu)", static_cast<unsigned long>(hr),
               ::GetLastError());
    return false;
  }
  hr = unknown->QueryInterface(kIidTextServices, m_pServices.ReceiveVoid());
  if (FAILED(hr) || !m_pServices) {
    DebugTrace(L"CRichEditHost: the engine has no text-services interface (0x%08lX, error %lu)",
               static_cast<unsigned long>(hr), ::GetLastError());
    return false;
  }
  unknown.Reset();
  ApplyCharFormat();
  if (text != nullptr && text[0] != 0) {
    hr = m_pServices->TxSetText(text);
    if (FAILED(hr)) {
      DebugTrace(L"CRichEditHost: the initial text was refused (0x%08lX, error %lu)",
                 static_cast<unsigned long>(hr), ::GetLastError());
      return false;
    }
  }
  return true;
}

void CRichEditHost::Detach() { m_pControl = nullptr; }

void CRichEditHost::Shutdown() {
  if (!m_pServices) return;
  if (m_iEngineCalls > 0) {
    // The engine is running the call that led here (a "textchanged" handler
    // deleted the control): releasing it now would free it, and perhaps its
    // library, under its own feet. The outermost Send finishes the job.
    m_bShutdownPending = true;
    return;
  }
  ReleaseEngine();
}

void CRichEditHost::ReleaseEngine() {
  m_bShutdownPending = false;
  if (!m_pServices) return;
  // Taken out first: callbacks during deactivation find no engine to call.
  ComPtr<ITextServicesApi> services(m_pServices.Release());
  services->OnTxInPlaceDeactivate();
  services.Reset();
  m_hModule.Reset();
}

HRESULT CRichEditHost::Send(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  LRESULT local = 0;
  if (result == nullptr) result = &local;
  *result = 0;
  if (!m_pServices || m_bShutdownPending) return S_FALSE;
  // A handler reached from inside the engine may release this host: it
  // stays alive until the call returns, and so does the engine.
  AddRef();
  ++m_iEngineCalls;
  const HRESULT hr = m_pServices->TxSendMessage(message, wParam, lParam, result);
  --m_iEngineCalls;
  if (m_iEngineCalls == 0 && m_bShutdownPending) ReleaseEngine();
  Release();
  return hr;
}

// --- Properties ---

HWND CRichEditHost::GetPaintWindow() const {
  if (m_pControl == nullptr || m_pControl->GetManager() == nullptr) return nullptr;
  return m_pControl->GetManager()->GetPaintWindow();
}

int CRichEditHost::GetLogPixels(int index) const {
  HDC dc = m_pControl != nullptr && m_pControl->GetManager() != nullptr ? m_pControl->GetManager()->GetPaintDC()
                                                                          : nullptr;
  if (dc != nullptr) return ::GetDeviceCaps(dc, index);
  WindowDC screen(nullptr);
  const int value = screen.Get() != nullptr ? ::GetDeviceCaps(screen.Get(), index) : 96;
  return value > 0 ? value : 96;
}

void CRichEditHost::SetFlag(DWORD flag, bool on) {
  if (on) {
    m_dwFlags |= flag;
  } else {
    m_dwFlags &= ~flag;
  }
}

void CRichEditHost::SetClientRect(const CUIRect& rc) {
  m_rcClient = rc;
  m_sizelExtent.cx = ::MulDiv(rc.GetWidth(), 2540, GetLogPixels(LOGPIXELSX));
  m_sizelExtent.cy = ::MulDiv(rc.GetHeight(), 2540, GetLogPixels(LOGPIXELSY));
  if (m_pServices) m_pServices->OnTxPropertyBitsChange(kTxtBitClientRectChange, kTxtBitClientRectChange);
}

bool CRichEditHost::SetFont(HFONT font) {
  LOGFONTW logFont = {};
  if (font == nullptr || ::GetObjectW(font, sizeof(logFont), &logFont) == 0) {
    DebugTrace(L"CRichEditHost: the font could not be read (error %lu)", ::GetLastError());
    return false;
  }
  m_charFormat.yHeight = logFont.lfHeight * -1440 / GetLogPixels(LOGPIXELSY);
  m_charFormat.yOffset = 0;
  m_charFormat.dwEffects &= ~static_cast<DWORD>(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
  if (logFont.lfWeight >= FW_BOLD) m_charFormat.dwEffects |= CFE_BOLD;
  if (logFont.lfItalic) m_charFormat.dwEffects |= CFE_ITALIC;
  if (logFont.lfUnderline) m_charFormat.dwEffects |= CFE_UNDERLINE;
  m_charFormat.bCharSet = logFont.lfCharSet;
  m_charFormat.bPitchAndFamily = logFont.lfPitchAndFamily;
  lstrcpynW(m_charFormat.szFaceName, logFont.lfFaceName, LF_FACESIZE);
  ApplyCharFormat();
  return true;
}

void CRichEditHost::SetTextColor(COLORREF color) {
  m_charFormat.crTextColor = color;
  ApplyCharFormat();
}

void CRichEditHost::ApplyCharFormat() {
  if (!m_pServices) return;
  m_pServices->OnTxPropertyBitsChange(kTxtBitCharFormatChange, kTxtBitCharFormatChange);
  // Not every engine re-reads the host's format on that change: the format
  // is also given as the default and to the text there is, the way a
  // windowed rich edit takes a new font and colour.
  CHARFORMAT2W format = m_charFormat;
  LRESULT ignored = 0;
  m_pServices->TxSendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format), &ignored);
  m_pServices->TxSendMessage(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format), &ignored);
}

void CRichEditHost::SetMaxLength(int maxLength) {
  m_lMaxLength = maxLength > 0 ? maxLength : 32767;
  if (!m_pServices) return;
  m_pServices->OnTxPropertyBitsChange(kTxtBitMaxLengthChange, kTxtBitMaxLengthChange);
  LRESULT ignored = 0;
  m_pServices->TxSendMessage(EM_EXLIMITTEXT, 0, static_cast<LPARAM>(m_lMaxLength), &ignored);
}

void CRichEditHost::SetTransparent(bool transparent) {
  SetFlag(kFlagTransparent, transparent);
  if (m_pServices) m_pServices->OnTxPropertyBitsChange(kTxtBitBackStyleChange, 0);
}

void CRichEditHost::SetRich(bool rich) {
  SetFlag(kFlagRich, rich);
  if (m_pServices) m_pServices->OnTxPropertyBitsChange(kTxtBitRichText, rich ? static_cast<DWORD>(kTxtBitRichText) : 0u);
}

// --- IUnknown ---

HRESULT STDMETHODCALLTYPE CRichEditHost::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidTextHost)) {
    *object = static_cast<ITextHostApi*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CRichEditHost::AddRef() { return static_cast<ULONG>(++m_cRef); }

ULONG STDMETHODCALLTYPE CRichEditHost::Release() {
  const LONG count = --m_cRef;
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

// --- Callbacks ---
// Every callback that reaches the control first checks that it is still
// attached: the engine may call back during teardown.

HDC TRELLIS_TXCALL CRichEditHost::TxGetDC() {
  if (m_pControl == nullptr || m_pControl->GetManager() == nullptr) return nullptr;
  return m_pControl->GetManager()->GetPaintDC();
}

INT TRELLIS_TXCALL CRichEditHost::TxReleaseDC(HDC) { return 1; }

void CRichEditHost::ShowBar(CScrollBarUI* bar, bool show) {
  if (bar == nullptr || m_pControl == nullptr || bar->IsVisible() == show) return;
  bar->SetVisible(show);
  // The text area narrows or widens and the bar needs its place.
  m_pControl->RequestLayout();
}

BOOL TRELLIS_TXCALL CRichEditHost::TxShowScrollBar(INT bar, BOOL show) {
  if (m_pControl == nullptr) return TRUE;
  if (bar == SB_VERT || bar == SB_BOTH) ShowBar(m_pControl->GetVerticalScrollBar(), show == TRUE);
  if (bar == SB_HORZ || bar == SB_BOTH) ShowBar(m_pControl->GetHorizontalScrollBar(), show == TRUE);
  return TRUE;
}

BOOL TRELLIS_TXCALL CRichEditHost::TxEnableScrollBar(INT bars, INT arrows) {
  if (m_pControl == nullptr) return TRUE;
  const bool hasVertical = m_pControl->GetVerticalScrollBar() != nullptr;
  const bool hasHorizontal = m_pControl->GetHorizontalScrollBar() != nullptr;
  const bool visible = arrows != ESB_DISABLE_BOTH;
  switch (bars) {
    case SB_VERT:
      m_pControl->EnableScrollBar(true, hasHorizontal);
      ShowBar(m_pControl->GetVerticalScrollBar(), visible);
      break;
    case SB_HORZ:
      m_pControl->EnableScrollBar(hasVertical, true);
      ShowBar(m_pControl->GetHorizontalScrollBar(), visible);
      break;
    case SB_BOTH:
      m_pControl->EnableScrollBar(true, true);
      ShowBar(m_pControl->GetVerticalScrollBar(), visible);
      ShowBar(m_pControl->GetHorizontalScrollBar(), visible);
      break;
    default:
      break;
  }
  return TRUE;
}

BOOL TRELLIS_TXCALL CRichEditHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL) {
  if (m_pControl == nullptr) return TRUE;
  CScrollBarUI* scrollBar = nullptr;
  int page = 0;
  if (bar == SB_VERT) {
    scrollBar = m_pControl->GetVerticalScrollBar();
    page = m_rcClient.GetHeight();
  } else if (bar == SB_HORZ) {
    scrollBar = m_pControl->GetHorizontalScrollBar();
    page = m_rcClient.GetWidth();
  }
  if (scrollBar == nullptr) return TRUE;
  const int range = static_cast<int>(maxPos - minPos) - page;
  if (range <= 0) {
    ShowBar(scrollBar, false);
  } else {
    ShowBar(scrollBar, true);
    scrollBar->SetScrollRange(range);
  }
  return TRUE;
}

BOOL TRELLIS_TXCALL CRichEditHost::TxSetScrollPos(INT bar, INT pos, BOOL redraw) {
  if (m_pControl == nullptr) return TRUE;
  CScrollBarUI* scrollBar = nullptr;
  if (bar == SB_VERT) {
    scrollBar = m_pControl->GetVerticalScrollBar();
  } else if (bar == SB_HORZ) {
    scrollBar = m_pControl->GetHorizontalScrollBar();
  }
  if (scrollBar != nullptr) scrollBar->SetScrollPos(pos, redraw == TRUE);
  return TRUE;
}

void TRELLIS_TXCALL CRichEditHost::TxInvalidateRect(LPCRECT rect, BOOL) {
  if (m_pControl == nullptr || m_pControl->GetManager() == nullptr) return;
  CUIRect area = m_rcClient;
  if (rect != nullptr) area = CUIRect(rect->left, rect->top, rect->right, rect->bottom);
  m_pControl->GetManager()->InvalidateArea(area);
}

void TRELLIS_TXCALL CRichEditHost::TxViewChange(BOOL) {
  if (m_pControl != nullptr && m_pControl->OnTxViewChanged()) m_pControl->Invalidate();
}

BOOL TRELLIS_TXCALL CRichEditHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
  m_iCaretWidth = width;
  m_iCaretHeight = height;
  const HWND paint = GetPaintWindow();
  return paint != nullptr ? ::CreateCaret(paint, bitmap, width, height) : FALSE;
}

BOOL TRELLIS_TXCALL CRichEditHost::TxShowCaret(BOOL show) {
  SetFlag(kFlagCaretShown, show == TRUE);
  const HWND paint = GetPaintWindow();
  if (paint == nullptr) return FALSE;
  if (show) return ::ShowCaret(paint);
  return ::HideCaret(paint);
}

BOOL TRELLIS_TXCALL CRichEditHost::TxSetCaretPos(INT x, INT y) {
  if (m_pControl == nullptr || m_pControl->GetManager() == nullptr) return FALSE;
  CWindowManagerUI* manager = m_pControl->GetManager();
  POINT old = {};
  ::GetCaretPos(&old);
  const CUIRect oldArea(old.x, old.y, old.x + m_iOldCaretWidth, old.y + m_iOldCaretHeight);
  if (manager->IsLayered()) {
    manager->InvalidateArea(oldArea);
    manager->InvalidateArea(CUIRect(x, y, x + m_iCaretWidth, y + m_iCaretHeight));
  } else if (HasFlag(kFlagCaretDirty)) {
    manager->InvalidateArea(oldArea);
    SetFlag(kFlagCaretDirty, false);
  }
  m_iOldCaretWidth = m_iCaretWidth;
  m_iOldCaretHeight = m_iCaretHeight;
  return ::SetCaretPos(x, y);
}

BOOL TRELLIS_TXCALL CRichEditHost::TxSetTimer(UINT id, UINT timeout) {
  if (m_pControl == nullptr || m_pControl->GetManager() == nullptr) return FALSE;
  SetFlag(kFlagTimer, true);
  return m_pControl->GetManager()->SetControlTimer(m_pControl, id, timeout) ? TRUE : FALSE;
}

void TRELLIS_TXCALL CRichEditHost::TxKillTimer(UINT id) {
  if (m_pControl != nullptr && m_pControl->GetManager() != nullptr) {
    m_pControl->GetManager()->KillControlTimer(m_pControl, id);
  }
  SetFlag(kFlagTimer, false);
}

void TRELLIS_TXCALL CRichEditHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void TRELLIS_TXCALL CRichEditHost::TxSetCapture(BOOL capture) {
  if (m_pControl == nullptr || m_pControl->GetManager() == nullptr) return;
  if (capture) {
    m_pControl->GetManager()->SetMouseCapture();
  } else {
    m_pControl->GetManager()->ReleaseMouseCapture();
  }
  SetFlag(kFlagCaptured, capture == TRUE);
}

void TRELLIS_TXCALL CRichEditHost::TxSetFocus() {
  if (m_pControl != nullptr) m_pControl->SetFocus();
}

void TRELLIS_TXCALL CRichEditHost::TxSetCursor(HCURSOR cursor, BOOL) { ::SetCursor(cursor); }

BOOL TRELLIS_TXCALL CRichEditHost::TxScreenToClient(LPPOINT point) {
  const HWND paint = GetPaintWindow();
  return paint != nullptr && point != nullptr ? ::ScreenToClient(paint, point) : FALSE;
}

BOOL TRELLIS_TXCALL CRichEditHost::TxClientToScreen(LPPOINT point) {
  const HWND paint = GetPaintWindow();
  return paint != nullptr && point != nullptr ? ::ClientToScreen(paint, point) : FALSE;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxActivate(LONG*) { return S_OK; }

HRESULT TRELLIS_TXCALL CRichEditHost::TxDeactivate(LONG) { return S_OK; }

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetClientRect(LPRECT rect) {
  if (rect == nullptr) return E_INVALIDARG;
  *rect = {m_rcClient.left, m_rcClient.top, m_rcClient.right, m_rcClient.bottom};
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetViewInset(LPRECT rect) {
  if (rect == nullptr) return E_INVALIDARG;
  *rect = {0, 0, 0, 0};
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetCharFormat(const CHARFORMATW** format) {
  if (format == nullptr) return E_INVALIDARG;
  *format = reinterpret_cast<const CHARFORMATW*>(&m_charFormat);
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetParaFormat(const PARAFORMAT** format) {
  if (format == nullptr) return E_INVALIDARG;
  *format = &m_paraFormat;
  return S_OK;
}

COLORREF TRELLIS_TXCALL CRichEditHost::TxGetSysColor(int index) { return ::GetSysColor(index); }

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetBackStyle(TextBackStyle* style) {
  if (style == nullptr) return E_INVALIDARG;
  *style = HasFlag(kFlagTransparent) ? kTxtBackTransparent : kTxtBackOpaque;
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetMaxLength(DWORD* length) {
  if (length == nullptr) return E_INVALIDARG;
  *length = static_cast<DWORD>(m_lMaxLength);
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetScrollBars(DWORD* scrollBars) {
  if (scrollBars == nullptr) return E_INVALIDARG;
  *scrollBars = m_dwStyle & (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL);
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetPasswordChar(WCHAR* ch) {
  if (ch == nullptr) return E_INVALIDARG;
  *ch = m_chPassword;
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetAcceleratorPos(LONG* pos) {
  if (pos == nullptr) return E_INVALIDARG;
  *pos = m_lAcceleratorPos;
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetExtent(LPSIZEL extent) {
  if (extent == nullptr) return E_INVALIDARG;
  *extent = m_sizelExtent;
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }

HRESULT TRELLIS_TXCALL CRichEditHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
  if (bits == nullptr) return E_INVALIDARG;
  DWORD value = 0;
  if (HasFlag(kFlagRich)) value |= kTxtBitRichText;
  if ((m_dwStyle & ES_MULTILINE) != 0) value |= kTxtBitMultiLine;
  if ((m_dwStyle & ES_READONLY) != 0) value |= kTxtBitReadOnly;
  if ((m_dwStyle & ES_PASSWORD) != 0) value |= kTxtBitUsePassword;
  if ((m_dwStyle & ES_NOHIDESEL) == 0) value |= kTxtBitHideSelection;
  if (HasFlag(kFlagAutoWordSel)) value |= kTxtBitAutoWordSel;
  if (HasFlag(kFlagWordWrap)) value |= kTxtBitWordWrap;
  if (HasFlag(kFlagAllowBeep)) value |= kTxtBitAllowBeep;
  if (HasFlag(kFlagSaveSelection)) value |= kTxtBitSaveSelection;
  *bits = value & mask;
  return S_OK;
}

HRESULT TRELLIS_TXCALL CRichEditHost::TxNotify(DWORD code, void* data) {
  if (code == EN_REQUESTRESIZE) {
    if (data != nullptr) {
      const REQRESIZE* request = static_cast<const REQRESIZE*>(data);
      SetClientRect(CUIRect(m_rcClient.left, m_rcClient.top, m_rcClient.left + request->rc.right,
                            m_rcClient.top + request->rc.bottom));
    }
    return S_OK;
  }
  if (m_pControl != nullptr) m_pControl->OnTxNotify(code, data);
  return S_OK;
}

HIMC TRELLIS_TXCALL CRichEditHost::TxImmGetContext() { return nullptr; }

void TRELLIS_TXCALL CRichEditHost::TxImmReleaseContext(HIMC) {}

HRESULT TRELLIS_TXCALL CRichEditHost::TxGetSelectionBarWidth(LONG* width) {
  if (width == nullptr) return E_INVALIDARG;
  *width = m_lSelBarWidth;
  return S_OK;
}

}  // namespace Trellis
