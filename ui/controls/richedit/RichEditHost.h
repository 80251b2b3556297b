#pragma once

// CRichEditHost: the host side of the platform's windowless rich-text engine
// for one CRichEditUI. It creates the engine bound to itself, answers the
// engine's callbacks from the control's window (paint DC, client rectangle,
// timers, capture, caret, the control's scroll bars) and keeps the default
// character and paragraph formats and the property bits the engine reads.
//
// Ownership: a COM object with its own reference count (1 after Create); the
// control holds that reference and gives it back with Release. The host owns
// the engine (released by Shutdown or at the latest by the destructor) and a
// reference on "msftedit.dll". The control is borrowed: Detach clears it
// before the control goes, so no callback that arrives afterwards reaches it.
#include <windows.h>

#include "core/base/ScopedHandle.h"
#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIString.h"
#include "ui/controls/richedit/TextServicesApi.h"

namespace Trellis {

class CRichEditUI;
class CScrollBarUI;

class CRichEditHost : public ITextHostApi {
 public:
  // Host flag bits.
  enum : DWORD {
    kFlagAutoWordSel = 0x1,
    kFlagWordWrap = 0x2,
    kFlagAllowBeep = 0x4,
    kFlagRich = 0x8,
    kFlagSaveSelection = 0x10,
    kFlagInPlaceActive = 0x20,
    kFlagTransparent = 0x40,
    kFlagTimer = 0x80,
    kFlagCaptured = 0x100,
    kFlagCaretShown = 0x200,
    kFlagCaretDirty = 0x400,
  };

  // Makes a host for the control with its style and initial text and binds a
  // new engine to it; null (nothing left behind) when the formats, the
  // library, its entry point, the interface or the initial text fail.
  static CRichEditHost* Create(CRichEditUI* control, DWORD style, const UIChar* text);
  // Hosts alive in this process (a test checks that teardown reaches zero).
  static int GetLiveCount();
  // Makes the engines of hosts created from now on with `factory` instead of
  // the platform's "msftedit.dll" (tests give a stand-in engine, or one that
  // fails); null goes back to the platform's.
  static void SetEngineFactory(CreateTextServicesProc factory);

  // Forgets the control: callbacks after this touch nothing of it. Does not release.
  void Detach();
  // Deactivates and releases the engine; the host stays until its last
  // reference goes. Called from inside one of the engine's own calls (a
  // handler deleted the control), it waits until that call has returned.
  // Safe to call twice.
  void Shutdown();

  // The engine, or null after Shutdown. Borrowed.
  ITextServicesApi* GetServices() const { return m_pServices.Get(); }
  // Sends a message to the engine; S_FALSE without one or once it is shut down.
  HRESULT Send(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  const CUIRect& GetClientRect() const { return m_rcClient; }
  // Stores the text area (window client coordinates), recomputes the extent
  // and tells the engine; nothing else is laid out.
  void SetClientRect(const CUIRect& rc);
  // Refills size, weight, slant, underline, character set, pitch and face of
  // the default character format from the font; the colour stays. Tells the engine.
  bool SetFont(HFONT font);
  // The default text colour (COLORREF); tells the engine.
  void SetTextColor(COLORREF color);
  // The text limit; n <= 0 means 32767. Tells the engine.
  void SetMaxLength(int maxLength);
  // Transparent background (flag 0x40); tells the engine.
  void SetTransparent(bool transparent);
  // Rich or plain text (flag 0x8); tells the engine.
  void SetRich(bool rich);

  bool HasFlag(DWORD flag) const { return (m_dwFlags & flag) != 0; }
  void SetFlag(DWORD flag, bool on);
  int GetCaretWidth() const { return m_iCaretWidth; }
  int GetCaretHeight() const { return m_iCaretHeight; }

  // IUnknown:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ITextHostApi:
  HDC TRELLIS_TXCALL TxGetDC() override;
  INT TRELLIS_TXCALL TxReleaseDC(HDC dc) override;
  BOOL TRELLIS_TXCALL TxShowScrollBar(INT bar, BOOL show) override;
  BOOL TRELLIS_TXCALL TxEnableScrollBar(INT bars, INT arrows) override;
  BOOL TRELLIS_TXCALL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL redraw) override;
  BOOL TRELLIS_TXCALL TxSetScrollPos(INT bar, INT pos, BOOL redraw) override;
  void TRELLIS_TXCALL TxInvalidateRect(LPCRECT rect, BOOL mode) override;
  void TRELLIS_TXCALL TxViewChange(BOOL update) override;
  BOOL TRELLIS_TXCALL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
  BOOL TRELLIS_TXCALL TxShowCaret(BOOL show) override;
  BOOL TRELLIS_TXCALL TxSetCaretPos(INT x, INT y) override;
  BOOL TRELLIS_TXCALL TxSetTimer(UINT id, UINT timeout) override;
  void TRELLIS_TXCALL TxKillTimer(UINT id) override;
  void TRELLIS_TXCALL TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN updateRegion,
                                       LPRECT update, UINT flags) override;
  void TRELLIS_TXCALL TxSetCapture(BOOL capture) override;
  void TRELLIS_TXCALL TxSetFocus() override;
  void TRELLIS_TXCALL TxSetCursor(HCURSOR cursor, BOOL text) override;
  BOOL TRELLIS_TXCALL TxScreenToClient(LPPOINT point) override;
  BOOL TRELLIS_TXCALL TxClientToScreen(LPPOINT point) override;
  HRESULT TRELLIS_TXCALL TxActivate(LONG* oldState) override;
  HRESULT TRELLIS_TXCALL TxDeactivate(LONG newState) override;
  HRESULT TRELLIS_TXCALL TxGetClientRect(LPRECT rect) override;
  HRESULT TRELLIS_TXCALL TxGetViewInset(LPRECT rect) override;
  HRESULT TRELLIS_TXCALL TxGetCharFormat(const CHARFORMATW** format) override;
  HRESULT TRELLIS_TXCALL TxGetParaFormat(const PARAFORMAT** format) override;
  COLORREF TRELLIS_TXCALL TxGetSysColor(int index) override;
  HRESULT TRELLIS_TXCALL TxGetBackStyle(TextBackStyle* style) override;
  HRESULT TRELLIS_TXCALL TxGetMaxLength(DWORD* length) override;
  HRESULT TRELLIS_TXCALL TxGetScrollBars(DWORD* scrollBars) override;
  HRESULT TRELLIS_TXCALL TxGetPasswordChar(WCHAR* ch) override;
  HRESULT TRELLIS_TXCALL TxGetAcceleratorPos(LONG* pos) override;
  HRESULT TRELLIS_TXCALL TxGetExtent(LPSIZEL extent) override;
  HRESULT TRELLIS_TXCALL OnTxCharFormatChange(const CHARFORMATW* format) override;
  HRESULT TRELLIS_TXCALL OnTxParaFormatChange(const PARAFORMAT* format) override;
  HRESULT TRELLIS_TXCALL TxGetPropertyBits(DWORD mask, DWORD* bits) override;
  HRESULT TRELLIS_TXCALL TxNotify(DWORD code, void* data) override;
  HIMC TRELLIS_TXCALL TxImmGetContext() override;
  void TRELLIS_TXCALL TxImmReleaseContext(HIMC context) override;
  HRESULT TRELLIS_TXCALL TxGetSelectionBarWidth(LONG* width) override;

 private:
  explicit CRichEditHost(CRichEditUI* control);
  // Shuts the engine down if still bound.
  virtual ~CRichEditHost();
  bool Init(DWORD style, const UIChar* text);
  // Deactivates and releases the engine now.
  void ReleaseEngine();
  // Gives the default character format to the engine.
  void ApplyCharFormat();
  // Shows or hides one of the control's bars (if it has it); a change asks
  // the control for a new layout.
  void ShowBar(CScrollBarUI* bar, bool show);
  HWND GetPaintWindow() const;
  int GetLogPixels(int index) const;

  CRichEditUI* m_pControl;                  // borrowed; cleared by Detach
  LONG m_cRef = 1;                          // COM references; the host deletes itself at 0
  int m_iEngineCalls = 0;                   // depth of Send: the engine is running one of its calls
  bool m_bShutdownPending = false;          // Shutdown came during an engine call; done when it returns
  OwnedModule m_hModule;                    // "msftedit.dll", held while the engine lives
  ComPtr<ITextServicesApi> m_pServices;     // the engine; released by Shutdown
  DWORD m_dwStyle = ES_MULTILINE;
  DWORD m_dwFlags = 0;
  int m_iCaretWidth = 0;
  int m_iCaretHeight = 0;
  int m_iOldCaretWidth = 0;
  int m_iOldCaretHeight = 0;
  LONG m_lSelBarWidth = 0;
  LONG m_lMaxLength = 32767;
  CUIRect m_rcClient;                       // text area, window client coordinates
  SIZEL m_sizelExtent = {0, 0};             // m_rcClient in HIMETRIC
  CHARFORMAT2W m_charFormat;
  PARAFORMAT2 m_paraFormat;
  LONG m_lAcceleratorPos = -1;
  WCHAR m_chPassword = 0;
};

}  // namespace Trellis
