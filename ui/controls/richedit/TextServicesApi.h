#pragma once

// The platform's windowless rich-text engine ("msftedit.dll") and the host
// interface it calls back, declared from the platform's documented
// interface contract. The engine's own methods and the host callbacks use
// the thiscall convention on 32-bit x86 (the object pointer in ECX, callee
// cleans the stack) and the one x64 convention on 64-bit; IUnknown's three
// methods stay stdcall (COM) on both.
#include <windows.h>
#include <ole2.h>
#include <richedit.h>

#if defined(__i386__) || defined(_M_IX86)
#define TRELLIS_TXCALL __attribute__((thiscall))
#else
#define TRELLIS_TXCALL
#endif

namespace Trellis {

// {8D33F740-CF58-11CE-A89D-00AA006CADC5}
constexpr GUID kIidTextServices = {0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
// {C5BDD8D0-D26E-11CE-A89E-00AA006CADC5}
constexpr GUID kIidTextHost = {0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};

// Property bits the host reports and the change mask it sends.
enum : DWORD {
  kTxtBitRichText = 0x1,
  kTxtBitMultiLine = 0x2,
  kTxtBitReadOnly = 0x4,
  kTxtBitUsePassword = 0x10,
  kTxtBitHideSelection = 0x20,
  kTxtBitSaveSelection = 0x40,
  kTxtBitAutoWordSel = 0x80,
  kTxtBitWordWrap = 0x400,
  kTxtBitAllowBeep = 0x800,
  kTxtBitBackStyleChange = 0x4000,
  kTxtBitMaxLengthChange = 0x8000,
  kTxtBitCharFormatChange = 0x20000,
  kTxtBitParaFormatChange = 0x40000,
  kTxtBitClientRectChange = 0x100000,
};

enum TextBackStyle : int { kTxtBackTransparent = 0, kTxtBackOpaque = 1 };
constexpr DWORD kTxtNaturalFitToContent = 1;
constexpr LONG kTxtViewActive = 0;

class ITextServicesApi : public IUnknown {
 public:
  virtual HRESULT TRELLIS_TXCALL TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
  virtual HRESULT TRELLIS_TXCALL TxDraw(DWORD drawAspect, LONG index, void* aspect, DVTARGETDEVICE* device,
                                        HDC drawDc, HDC targetDc, LPCRECTL bounds, LPCRECTL metafileBounds,
                                        LPRECT update, BOOL(CALLBACK* continueProc)(DWORD), DWORD continueData,
                                        LONG viewId) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetHScroll(LONG* min, LONG* max, LONG* pos, LONG* page, BOOL* enabled) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetVScroll(LONG* min, LONG* max, LONG* pos, LONG* page, BOOL* enabled) = 0;
  virtual HRESULT TRELLIS_TXCALL OnTxSetCursor(DWORD drawAspect, LONG index, void* aspect, DVTARGETDEVICE* device,
                                               HDC drawDc, HDC targetDc, LPCRECT client, INT x, INT y) = 0;
  virtual HRESULT TRELLIS_TXCALL TxQueryHitPoint(DWORD drawAspect, LONG index, void* aspect,
                                                 DVTARGETDEVICE* device, HDC drawDc, HDC targetDc,
                                                 LPCRECT client, INT x, INT y, DWORD* hitResult) = 0;
  virtual HRESULT TRELLIS_TXCALL OnTxInPlaceActivate(LPCRECT client) = 0;
  virtual HRESULT TRELLIS_TXCALL OnTxInPlaceDeactivate() = 0;
  virtual HRESULT TRELLIS_TXCALL OnTxUIActivate() = 0;
  virtual HRESULT TRELLIS_TXCALL OnTxUIDeactivate() = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetText(BSTR* text) = 0;
  virtual HRESULT TRELLIS_TXCALL TxSetText(LPCWSTR text) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetCurTargetX(LONG* x) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetBaseLinePos(LONG* pos) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetNaturalSize(DWORD aspect, HDC drawDc, HDC targetDc, DVTARGETDEVICE* device,
                                                  DWORD mode, const SIZEL* extent, LONG* width, LONG* height) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetDropTarget(IDropTarget** target) = 0;
  virtual HRESULT TRELLIS_TXCALL OnTxPropertyBitsChange(DWORD mask, DWORD bits) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetCachedSize(DWORD* width, DWORD* height) = 0;
};

// The 39 host callbacks, in the platform's order.
class ITextHostApi : public IUnknown {
 public:
  virtual HDC TRELLIS_TXCALL TxGetDC() = 0;
  virtual INT TRELLIS_TXCALL TxReleaseDC(HDC dc) = 0;
  virtual BOOL TRELLIS_TXCALL TxShowScrollBar(INT bar, BOOL show) = 0;
  virtual BOOL TRELLIS_TXCALL TxEnableScrollBar(INT bars, INT arrows) = 0;
  virtual BOOL TRELLIS_TXCALL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL redraw) = 0;
  virtual BOOL TRELLIS_TXCALL TxSetScrollPos(INT bar, INT pos, BOOL redraw) = 0;
  virtual void TRELLIS_TXCALL TxInvalidateRect(LPCRECT rect, BOOL mode) = 0;
  virtual void TRELLIS_TXCALL TxViewChange(BOOL update) = 0;
  virtual BOOL TRELLIS_TXCALL TxCreateCaret(HBITMAP bitmap, INT width, INT height) = 0;
  virtual BOOL TRELLIS_TXCALL TxShowCaret(BOOL show) = 0;
  virtual BOOL TRELLIS_TXCALL TxSetCaretPos(INT x, INT y) = 0;
  virtual BOOL TRELLIS_TXCALL TxSetTimer(UINT id, UINT timeout) = 0;
  virtual void TRELLIS_TXCALL TxKillTimer(UINT id) = 0;
  virtual void TRELLIS_TXCALL TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN updateRegion,
                                               LPRECT update, UINT flags) = 0;
  virtual void TRELLIS_TXCALL TxSetCapture(BOOL capture) = 0;
  virtual void TRELLIS_TXCALL TxSetFocus() = 0;
  virtual void TRELLIS_TXCALL TxSetCursor(HCURSOR cursor, BOOL text) = 0;
  virtual BOOL TRELLIS_TXCALL TxScreenToClient(LPPOINT point) = 0;
  virtual BOOL TRELLIS_TXCALL TxClientToScreen(LPPOINT point) = 0;
  virtual HRESULT TRELLIS_TXCALL TxActivate(LONG* oldState) = 0;
  virtual HRESULT TRELLIS_TXCALL TxDeactivate(LONG newState) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetClientRect(LPRECT rect) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetViewInset(LPRECT rect) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetCharFormat(const CHARFORMATW** format) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetParaFormat(const PARAFORMAT** format) = 0;
  virtual COLORREF TRELLIS_TXCALL TxGetSysColor(int index) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetBackStyle(TextBackStyle* style) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetMaxLength(DWORD* length) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetScrollBars(DWORD* scrollBars) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetPasswordChar(WCHAR* ch) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetAcceleratorPos(LONG* pos) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetExtent(LPSIZEL extent) = 0;
  virtual HRESULT TRELLIS_TXCALL OnTxCharFormatChange(const CHARFORMATW* format) = 0;
  virtual HRESULT TRELLIS_TXCALL OnTxParaFormatChange(const PARAFORMAT* format) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetPropertyBits(DWORD mask, DWORD* bits) = 0;
  virtual HRESULT TRELLIS_TXCALL TxNotify(DWORD code, void* data) = 0;
  virtual HIMC TRELLIS_TXCALL TxImmGetContext() = 0;
  virtual void TRELLIS_TXCALL TxImmReleaseContext(HIMC context) = 0;
  virtual HRESULT TRELLIS_TXCALL TxGetSelectionBarWidth(LONG* width) = 0;
};

// CreateTextServices(outer, host, engine out): a new engine bound to the host.
using CreateTextServicesProc = HRESULT(WINAPI*)(IUnknown* outer, ITextHostApi* host, IUnknown** engine);

}  // namespace Trellis
