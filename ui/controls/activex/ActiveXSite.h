#pragma once

// CActiveXSite: the container side of one hosted OLE object: its client
// site, in-place site (windowless capable), control site, object-with-site
// and container, all on one reference count starting at 1. Made by
// CActiveXUI::DoCreateControl; the control clears the owner (Detach) when it
// lets go, after which calls that need the control fail with E_UNEXPECTED.
//
// Ownership: owns references to the object's view object and in-place
// object, the object given through IObjectWithSite::SetSite, and the child
// window (CActiveXWnd) of a windowed object. Borrows its owner.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include "core/base/ScopedHandle.h"

namespace Trellis {

class CActiveXUI;
class CActiveXWnd;

class CActiveXSite final : public IOleClientSite,
                     public IOleInPlaceSiteWindowless,
                     public IOleControlSite,
                     public IObjectWithSite,
                     public IOleContainer {
 public:
  explicit CActiveXSite(CActiveXUI* owner);
  CActiveXSite(const CActiveXSite&) = delete;
  CActiveXSite& operator=(const CActiveXSite&) = delete;

  // The owner lets go: releases the kept interfaces, destroys the child window, forgets the owner.
  void Detach();
  // Asks the object for its view object (IViewObjectEx, else IViewObject2, else IViewObject).
  void TakeViewObject();
  CActiveXUI* GetOwner() const { return m_pOwner; }
  CActiveXWnd* GetWindow() const { return m_pWindow; }
  IViewObject* GetViewObject() const { return m_pViewObject.Get(); }
  IOleInPlaceObject* GetInPlaceObject() const { return m_pInPlaceObject.Get(); }
  bool IsWindowless() const { return m_bWindowless; }
  bool IsInPlaceActive() const { return m_bInPlaceActive; }
  bool IsUIActive() const { return m_bUIActive; }
  bool IsCaptured() const { return m_bCaptured; }
  void SetFocused(bool focused) { m_bFocused = focused; }
  // The child window tells the site it is gone.
  void OnWindowDestroyed() { m_pWindow = nullptr; }
  // Draws the view object over the rectangle of the DC; false without one.
  bool DrawView(HDC dc, const RECT& bounds);

  // IUnknown:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IOleClientSite:
  STDMETHODIMP SaveObject() override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD whichMoniker, IMoniker** moniker) override;
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override;
  STDMETHODIMP OnShowWindow(BOOL show) override;
  STDMETHODIMP RequestNewObjectLayout() override;

  // IOleWindow:
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

  // IOleInPlaceSite:
  STDMETHODIMP CanInPlaceActivate() override;
  STDMETHODIMP OnInPlaceActivate() override;
  STDMETHODIMP OnUIActivate() override;
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override;
  STDMETHODIMP Scroll(SIZE extent) override;
  STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
  STDMETHODIMP OnInPlaceDeactivate() override;
  STDMETHODIMP DiscardUndoState() override;
  STDMETHODIMP DeactivateAndUndo() override;
  STDMETHODIMP OnPosRectChange(LPCRECT position) override;

  // IOleInPlaceSiteEx:
  STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
  STDMETHODIMP OnInPlaceDeactivateEx(BOOL noRedraw) override;
  STDMETHODIMP RequestUIActivate() override;

  // IOleInPlaceSiteWindowless:
  STDMETHODIMP CanWindowlessActivate() override;
  STDMETHODIMP GetCapture() override;
  STDMETHODIMP SetCapture(BOOL capture) override;
  STDMETHODIMP GetFocus() override;
  STDMETHODIMP SetFocus(BOOL focus) override;
  STDMETHODIMP GetDC(LPCRECT rect, DWORD flags, HDC* dc) override;
  STDMETHODIMP ReleaseDC(HDC dc) override;
  STDMETHODIMP InvalidateRect(LPCRECT rect, BOOL erase) override;
  STDMETHODIMP InvalidateRgn(HRGN region, BOOL erase) override;
  STDMETHODIMP ScrollRect(INT dx, INT dy, LPCRECT scroll, LPCRECT clip) override;
  STDMETHODIMP AdjustRect(LPRECT rect) override;
  STDMETHODIMP OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  // IOleControlSite:
  STDMETHODIMP OnControlInfoChanged() override;
  STDMETHODIMP LockInPlaceActive(BOOL lock) override;
  STDMETHODIMP GetExtendedControl(IDispatch** dispatch) override;
  STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
  STDMETHODIMP TranslateAccelerator(MSG* message, DWORD modifiers) override;
  STDMETHODIMP OnFocus(BOOL gotFocus) override;
  STDMETHODIMP ShowPropertyFrame() override;

  // IObjectWithSite:
  STDMETHODIMP SetSite(IUnknown* site) override;
  STDMETHODIMP GetSite(REFIID iid, void** site) override;

  // IOleContainer (with IParseDisplayName):
  STDMETHODIMP ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten, IMoniker** moniker) override;
  STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown** enumerator) override;
  STDMETHODIMP LockContainer(BOOL lock) override;

 private:
  ~CActiveXSite();
  // Creates the child window once; false when it cannot be made.
  bool EnsureWindow();
  void DestroyChildWindow();

  LONG m_refs = 1;
  CActiveXUI* m_pOwner;                          // borrowed; cleared by Detach
  CActiveXWnd* m_pWindow = nullptr;              // the windowed object's child; deletes itself at its last message
  ComPtr<IUnknown> m_pSiteUnknown;               // from IObjectWithSite::SetSite
  ComPtr<IViewObject> m_pViewObject;             // IViewObjectEx, IViewObject2 or IViewObject
  ComPtr<IOleInPlaceObject> m_pInPlaceObject;    // IOleInPlaceObjectWindowless or IOleInPlaceObject
  bool m_bLocked = false;
  bool m_bFocused = false;
  bool m_bCaptured = false;
  bool m_bUIActive = false;
  bool m_bInPlaceActive = false;
  bool m_bWindowless = true;                     // until activation decides
};

}  // namespace Trellis
