#pragma once

// CActiveXUI: a control that hosts an OLE/ActiveX object inside a skinned
// window. It creates the object from a CLSID or ProgID ("clsid"), or from a
// DLL named by absolute path ("modulename") without registration, acts as its
// container through a CActiveXSite, activates it in place windowless (drawn
// into the framework window, messages forwarded through this control's
// message filter) or inside a CActiveXWnd child window, and keeps the
// object's size and visibility in step with the layout.
//
// Ownership: the control owns one reference to the object, the site and, for
// a "modulename" object, the loaded module (freed after the object and the
// site have let go). The host window is borrowed. UI thread only.
#include <windows.h>
#include <ole2.h>

#include "core/base/ScopedHandle.h"
#include "ui/control/ControlUI.h"
#include "ui/window/MessageFilter.h"

namespace Trellis {

class CActiveXSite;

class CActiveXUI : public CControlUI, public IMessageFilterUI {
 public:
  CActiveXUI();
  ~CActiveXUI() override;

  // CControlUI:
  // "ActiveX".
  const UIChar* GetClassName() const override;
  // This control for "ActiveX", else as the base.
  void* GetInterface(const UIChar* name) override;
  // A tab stop (1).
  UINT GetControlFlags() const override;
  // The window the object draws in (the framework window or the child); null before activation.
  HWND GetNativeWindow() const override;
  // Lays out; creates a not yet created object; passes the new size to the object and its window.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // Moves as the base does and moves a windowed object's child window along.
  void Move(CUISize offset, bool invalidate = true) override;
  // Shows or hides as the base does, and a windowed object's child window with it.
  void SetVisible(bool visible = true) override;
  // As SetVisible, for the visibility inherited from the ancestors.
  void SetInheritedVisible(bool visible = true) override;
  // Draws a windowless object through its view object; windowed objects paint themselves.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;
  // "clsid", "modulename", "delaycreate"; others go to the base.
  void SetAttribute(const UIChar* name, const UIChar* value) override;

  // IMessageFilterUI: routes the window's messages to a windowless object in place.
  LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // Reads a braced GUID text or a ProgID (at most 99 characters) and sets it
  // as SetCLSIDValue does; false when it names no class.
  bool SetCLSID(const UIChar* text);
  // Stores the class and marks the control not created; creates at once when
  // creation is not delayed. False for the null GUID (nothing changes).
  bool SetCLSIDValue(REFCLSID clsid);
  CLSID GetCLSID() const { return m_clsid; }
  // Sets the DLL to create the object from. Only an absolute path is kept (a
  // relative name would be searched for along the DLL search path): false and
  // no module for anything else. Does not create the object.
  bool SetModuleName(const UIChar* path);
  const CUIString& GetModuleName() const { return m_sModuleName; }
  bool IsDelayCreate() const { return m_bDelayCreate; }
  // Switching the delay off while a class is set and nothing was created creates at once.
  void SetDelayCreate(bool delay);
  bool IsCreated() const { return m_bCreated; }
  // True while an object is held.
  bool HasObject() const { return static_cast<bool>(m_pOleObject); }
  // QueryInterface on the object: E_POINTER for a null out pointer, E_PENDING without an object.
  HRESULT GetControl(REFIID iid, void** object);

  // Lets go of the object, the site and the module; the control can create again later.
  virtual void ReleaseControl();
  // Releases any object and creates, embeds and activates a new one; true only
  // when the object was made and activated in place (the optional site
  // hand-over does not decide it).
  virtual bool DoCreateControl();

  // For the site: the object, the host window and its setter, the framework window.
  IOleObject* GetOleObject() const { return m_pOleObject.Get(); }
  void SetHostWindow(HWND window) { m_hwndHost = window; }
  HWND GetFrameWindow() const;
  // For tests: the site (null before creation).
  CActiveXSite* GetSite() const { return m_pSite.Get(); }

 protected:
  // The object's rectangle in its host window: the control rectangle when
  // windowless, the child window's client area when windowed.
  RECT ObjectRect() const;
  // Gives the object, its in-place part and its child window the control's size and position.
  void UpdateObjectPlacement();
  // Shows or hides a windowed object's child window as the control's visibility says.
  void UpdateChildVisibility();
  // Creates the object through the named module's class factory; false without one.
  bool CreateFromModule(IUnknown** object);

  CLSID m_clsid;                     // all zero = none
  CUIString m_sModuleName;           // absolute DLL path, or empty
  bool m_bCreated = false;           // set when creation was attempted, cleared by a new class
  bool m_bDelayCreate = true;        // create at the first SetPos
  ComPtr<IOleObject> m_pOleObject;   // owned reference; released by ReleaseControl
  ComPtr<CActiveXSite> m_pSite;      // owned reference; released by ReleaseControl
  OwnedModule m_module;              // the "modulename" DLL; freed by ReleaseControl after the object
  HWND m_hwndHost = nullptr;         // borrowed: the framework window (windowless) or the child window
  bool m_bComInitialized = false;    // CoInitialize succeeded in the constructor
};

}  // namespace Trellis
