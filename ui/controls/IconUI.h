#pragma once

// CIconUI: a plain control ("Icon") that draws a platform icon stretched
// over its rectangle less an inset. Apart from the icon it behaves as the
// control base.
//
// What "icon" names, tried in this order:
//   - "#<number>": the icon resource of that id in the resource module
//     (CWindowManagerUI::GetResourceInstance);
//   - otherwise an icon file (.ico): the skin file of that name (skin folder
//     or skin archive, as images are read), else the name as a path.
// From a file the directory entry closest to the drawn size is used (the
// smallest at least as large, else the largest). The icon is loaded at the
// first paint that has a size, once per name: a name that cannot be loaded
// draws nothing and is not read again until the name changes.
//
// Ownership: the control owns the icon it loaded or was handed with SetIcon
// and destroys it when the name changes, a new icon is set, or the control
// is deleted. Nothing else destroys it, and the control never destroys an
// icon it did not load or take over.
#include "core/base/ScopedHandle.h"
#include "ui/control/ControlUI.h"

namespace Trellis {

class CIconUI : public CControlUI {
 public:
  // Transparent background ("bkcolor" #00000000), no inset, no icon.
  CIconUI();
  ~CIconUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "Icon": this control; other names go to the control base.
  void* GetInterface(const UIChar* name) override;
  // "icon" and "inset" are stored; every attribute then repaints and goes on
  // to the control base (which keeps unknown names as custom attributes).
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // The icon over the position less the inset (loading it first when named);
  // nothing for an empty or negative size.
  void PaintStatusImage(HDC hDC) override;

  // CIconUI:
  const CUIString& GetIconName() const { return m_sIconName; }
  // Names the icon (see the class comment); a different name destroys the
  // icon held. Does not load it (the next paint does).
  void SetIconName(const UIChar* name);
  // Takes over an icon made by the program (destroying the one held); the
  // name is left as it is and no longer loaded.
  void SetIcon(OwnedIcon icon);
  // The icon held, borrowed; null when none is loaded.
  HICON GetIcon() const { return m_hIcon.Get(); }
  // Loads the named icon for a drawing size now, when none is held and the
  // name was not tried yet; true when an icon is held afterwards.
  bool EnsureIcon(int width, int height);
  CUIRect GetInset() const { return m_rcInset; }
  // Stores the inset left, top, right, bottom; does not repaint.
  void SetInset(const CUIRect& inset);

  // Makes an icon from the bytes of an .ico file, choosing the entry closest
  // to the size; a null icon for anything that is not a well-formed icon file.
  static OwnedIcon IconFromFileBytes(const unsigned char* bytes, size_t size, int width, int height);

 protected:
  CUIString m_sIconName;    // "icon"
  CUIRect m_rcInset;        // "inset"
  OwnedIcon m_hIcon;        // owned: loaded from the name or handed over with SetIcon
  bool m_bIconTried = false;  // the name was tried (loaded or failed); a new name clears it
};

}  // namespace Trellis
