#include "ui/controls/activex/BrowserEventHandler.h"

namespace Trellis {

HRESULT CBrowserEventHandler::BeforeNavigate2(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                              VARIANT_BOOL*) {
  return S_OK;
}
HRESULT CBrowserEventHandler::NavigateError(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) { return S_OK; }
HRESULT CBrowserEventHandler::NavigateComplete2(IDispatch*, VARIANT*) { return S_OK; }
HRESULT CBrowserEventHandler::DocumentComplete(IDispatch*, VARIANT*) { return S_OK; }
HRESULT CBrowserEventHandler::ProgressChange(LONG, LONG) { return S_OK; }
HRESULT CBrowserEventHandler::NewWindow3(IDispatch**, VARIANT_BOOL*, DWORD, BSTR, BSTR) { return S_OK; }
HRESULT CBrowserEventHandler::CommandStateChange(LONG, VARIANT_BOOL) { return S_OK; }

HRESULT CBrowserEventHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }
HRESULT CBrowserEventHandler::GetHostInfo(DOCHOSTUIINFO*) { return E_NOTIMPL; }
HRESULT CBrowserEventHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) {
  return S_OK;
}
HRESULT CBrowserEventHandler::HideUI() { return S_OK; }
HRESULT CBrowserEventHandler::UpdateUI() { return S_OK; }
HRESULT CBrowserEventHandler::EnableModeless(BOOL) { return E_NOTIMPL; }
HRESULT CBrowserEventHandler::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
HRESULT CBrowserEventHandler::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
HRESULT CBrowserEventHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
HRESULT CBrowserEventHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }
HRESULT CBrowserEventHandler::GetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }
HRESULT CBrowserEventHandler::GetDropTarget(IDropTarget*, IDropTarget**) { return S_FALSE; }
HRESULT CBrowserEventHandler::GetExternal(IDispatch**) { return S_FALSE; }
HRESULT CBrowserEventHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR*) { return E_NOTIMPL; }
HRESULT CBrowserEventHandler::FilterDataObject(IDataObject*, IDataObject**) { return E_NOTIMPL; }

HRESULT CBrowserEventHandler::Download(IMoniker*, IBindCtx*, DWORD, LONG, BINDINFO*, LPCOLESTR, LPCOLESTR, UINT) {
  return E_NOTIMPL;
}
HRESULT CBrowserEventHandler::Spare() { return S_OK; }

}  // namespace Trellis
