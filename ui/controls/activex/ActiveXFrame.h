#pragma once

// CActiveXFrame: the in-place frame a hosted object gets from
// IOleInPlaceSite::GetWindowContext. The framework window is the frame; it
// offers no tool space and keeps the active object it is told about.
// Reference counted from 1; deletes itself at the last Release.
#include <windows.h>
#include <ole2.h>

#include "core/base/ScopedHandle.h"

namespace Trellis {

class CActiveXFrame final : public IOleInPlaceFrame {
 public:
  explicit CActiveXFrame(HWND frameWindow) : m_hwndFrame(frameWindow) {}
  CActiveXFrame(const CActiveXFrame&) = delete;
  CActiveXFrame& operator=(const CActiveXFrame&) = delete;

  // IUnknown:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IOleWindow:
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
  // IOleInPlaceUIWindow:
  STDMETHODIMP GetBorder(LPRECT border) override;
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
  // IOleInPlaceFrame:
  STDMETHODIMP InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
  STDMETHODIMP SetMenu(HMENU shared, HOLEMENU menu, HWND activeObject) override;
  STDMETHODIMP RemoveMenus(HMENU shared) override;
  STDMETHODIMP SetStatusText(LPCOLESTR text) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;
  STDMETHODIMP TranslateAccelerator(LPMSG message, WORD id) override;

 private:
  ~CActiveXFrame() = default;

  LONG m_refs = 1;
  HWND m_hwndFrame;                                  // borrowed: the framework window
  ComPtr<IOleInPlaceActiveObject> m_pActiveObject;   // from SetActiveObject
};

}  // namespace Trellis
