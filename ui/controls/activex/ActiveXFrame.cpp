#include "ui/controls/activex/ActiveXFrame.h"

namespace Trellis {

STDMETHODIMP CActiveXFrame::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
    *object = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CActiveXFrame::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

STDMETHODIMP_(ULONG) CActiveXFrame::Release() {
  const LONG refs = InterlockedDecrement(&m_refs);
  if (refs == 0) delete this;
  return static_cast<ULONG>(refs);
}

STDMETHODIMP CActiveXFrame::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = m_hwndFrame;
  return S_OK;
}

STDMETHODIMP CActiveXFrame::ContextSensitiveHelp(BOOL) { return S_OK; }
STDMETHODIMP CActiveXFrame::GetBorder(LPRECT) { return S_OK; }
// The frame has no tool bars to make room in.
STDMETHODIMP CActiveXFrame::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP CActiveXFrame::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

STDMETHODIMP CActiveXFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  if (object != nullptr) object->AddRef();
  m_pActiveObject.Reset(object);
  return S_OK;
}

STDMETHODIMP CActiveXFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
STDMETHODIMP CActiveXFrame::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP CActiveXFrame::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP CActiveXFrame::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP CActiveXFrame::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP CActiveXFrame::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

}  // namespace Trellis
