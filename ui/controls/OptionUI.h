#pragma once

// COptionUI ("Option"): a button with a selected state. Options that share a
// group name in one window act as radio buttons through the window manager's
// option groups; an option without a group toggles like a check box.
// CCheckBoxUI ("CheckBox") is the same control under another class name.
//
// An option is filed in the group table of the manager it is attached to and
// leaves it whenever it is detached (or attached elsewhere) and when it is
// deleted, so the table never keeps a pointer to an option that went away.
#include "ui/controls/ButtonUI.h"

namespace Trellis {

class CWindowManagerUI;

class COptionUI : public CButtonUI {
 public:
  COptionUI();
  // Leaves the group it is filed in.
  ~COptionUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "Option": the option; other names go to the button.
  void* GetInterface(const UIChar* name) override;
  // Leaves the group of a manager it is detached from, then the base's
  // work; an option with a group joins it in the new manager, and a selected
  // one deselects the rest of that group (without notification).
  void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
  // "click", then select (grouped) or toggle (ungrouped) with "selectchanged";
  // nothing touches the option when the click handler deleted it or took it
  // out of its parent.
  bool Activate() override;
  // Disabling keeps only the selected bit of the state.
  void SetEnabled(bool enabled = true) override;
  // The option's attributes; "selected" from the skin sends no notification.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // With a fixed height the control base's answer, else (fixed width, font height + 8).
  CUISize EstimateSize(CUISize available) override;
  // Selected images or colour when selected, else the button's images as if
  // not pushed; then the option's fore image.
  void PaintStatusImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  // COptionUI:
  bool IsSelected() const { return m_bSelected; }
  // Sets or clears the selection. A grouped selection deselects the rest of
  // the group first; "selectchanged" is sent (when notify is set) after the
  // repaint is asked for, and nothing touches the option after it. A grouped
  // deselection and any change without a manager send nothing.
  virtual void SetSelected(bool selected, bool notify = true);

  const CUIString& GetGroup() const { return m_sGroupName; }
  // Leaves the old group, stores the name (null or empty: no group) and
  // joins the new group when attached. An equal name changes nothing.
  void SetGroup(const UIChar* name);

  const UIChar* GetSelectedImage() const { return m_diSelected.sDrawString.GetText(); }
  void SetSelectedImage(const UIChar* description);
  const UIChar* GetSelectedHotImage() const { return m_diSelectedHot.sDrawString.GetText(); }
  void SetSelectedHotImage(const UIChar* description);
  // The option's own fore image (drawn in every state).
  const UIChar* GetOptionForeImage() const { return m_diOptionFore.sDrawString.GetText(); }
  void SetOptionForeImage(const UIChar* description);
  DWORD GetSelectedBkColor() const { return m_dwSelectedBkColor; }
  void SetSelectedBkColor(DWORD color) { m_dwSelectedBkColor = color; }
  DWORD GetSelectedTextColor() const { return m_dwSelectedTextColor; }
  void SetSelectedTextColor(DWORD color) { m_dwSelectedTextColor = color; }

 protected:
  // Files the option in the manager's group (when it has a group name).
  void JoinGroup(CWindowManagerUI* manager);
  // Takes the option out of the group table it is filed in.
  void LeaveGroup();
  // Deselects every other option of the group, without notification.
  void DeselectOthers();

  bool m_bSelected = false;
  CUIString m_sGroupName;                      // empty = no group
  CWindowManagerUI* m_pGroupManager = nullptr; // borrowed: whose group table holds this option; null when none
  DWORD m_dwSelectedBkColor = 0;               // 0 = none
  DWORD m_dwSelectedTextColor = 0;             // 0 = none
  UIImageDrawInfo m_diSelected;
  UIImageDrawInfo m_diSelectedHot;
  UIImageDrawInfo m_diOptionFore;
};

// CCheckBoxUI ("CheckBox"): an option under its own class name.
class CCheckBoxUI : public COptionUI {
 public:
  // CControlUI:
  const UIChar* GetClassName() const override;
  // "CheckBox": the check box; other names go to the option.
  void* GetInterface(const UIChar* name) override;
};

}  // namespace Trellis
