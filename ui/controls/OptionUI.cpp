// Sections: identity and group membership; selection; attributes; painting.
#include "ui/controls/OptionUI.h"

#include "ui/base/portable/UIPtrArray.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

// --- Identity and group membership ---

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() { LeaveGroup(); }

const UIChar* COptionUI::GetClassName() const { return UI_TEXT("Option"); }

void* COptionUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("Option")) == 0) return this;
  return CButtonUI::GetInterface(name);
}

void COptionUI::JoinGroup(CWindowManagerUI* manager) {
  if (manager == nullptr || m_sGroupName.IsEmpty() || m_pGroupManager == manager) return;
  LeaveGroup();
  manager->AddOptionToGroup(m_sGroupName.GetText(), this);
  m_pGroupManager = manager;
}

void COptionUI::LeaveGroup() {
  if (m_pGroupManager == nullptr) return;
  m_pGroupManager->RemoveOptionFromGroup(m_sGroupName.GetText(), this);
  m_pGroupManager = nullptr;
}

void COptionUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init) {
  if (m_pGroupManager != manager) LeaveGroup();
  CButtonUI::SetManager(manager, parent, init);
  if (manager == nullptr || m_sGroupName.IsEmpty() || m_pGroupManager == manager) return;
  JoinGroup(manager);
  if (m_bSelected) DeselectOthers();
}

void COptionUI::SetGroup(const UIChar* name) {
  const UIChar* newName = name != nullptr ? name : UI_TEXT("");
  if (m_sGroupName.EqualsText(newName)) return;
  LeaveGroup();
  m_sGroupName.AssignText(newName);
  JoinGroup(m_pManager);
}

// --- Selection ---

void COptionUI::DeselectOthers() {
  if (m_pGroupManager == nullptr) return;
  CUIPtrArray* group = m_pGroupManager->GetOptionGroup(m_sGroupName.GetText());
  if (group == nullptr) return;
  // A snapshot: deselecting must not be disturbed by changes to the group.
  CUIPtrArray others(group->GetSize());
  for (int i = 0; i < group->GetSize(); ++i) {
    if (group->GetAt(i) != this) others.Add(group->GetAt(i));
  }
  for (int i = 0; i < others.GetSize(); ++i) {
    auto* option = static_cast<COptionUI*>(static_cast<CControlUI*>(others.GetAt(i))->GetInterface(UI_TEXT("Option")));
    if (option != nullptr) option->SetSelected(false, true);
  }
}

void COptionUI::SetSelected(bool selected, bool notify) {
  if (m_bSelected == selected) return;
  m_bSelected = selected;
  if (selected) {
    m_uButtonState |= kUIStateSelected;
  } else {
    m_uButtonState &= ~static_cast<UINT>(kUIStateSelected);
  }
  Invalidate();
  if (m_pManager == nullptr) return;
  if (!m_sGroupName.IsEmpty()) {
    if (!selected) return;
    DeselectOthers();
  }
  // Last: the handler may delete this option.
  if (notify) m_pManager->SendNotify(this, UI_TEXT("selectchanged"));
}

bool COptionUI::Activate() {
  bool clicked = false;
  {
    CControlLifeGuard guard(this, &m_pLifeGuard);
    clicked = CButtonUI::Activate();
    // The click handler deleted this option, or took it out of the tree (it
    // waits for its deletion): no selection change comes from it.
    if (guard.IsGone()) return true;
  }
  if (!clicked) return false;
  SetSelected(m_sGroupName.IsEmpty() ? !m_bSelected : true, true);
  return true;
}

void COptionUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!enabled) m_uButtonState = m_bSelected ? static_cast<UINT>(kUIStateSelected) : 0u;
}

// --- Attributes ---

void COptionUI::SetSelectedImage(const UIChar* description) { SetImageRecord(m_diSelected, description); }
void COptionUI::SetSelectedHotImage(const UIChar* description) { SetImageRecord(m_diSelectedHot, description); }
void COptionUI::SetOptionForeImage(const UIChar* description) { SetImageRecord(m_diOptionFore, description); }

void COptionUI::SetAttribute(const UIChar* name, const UIChar* value) {
  const auto is = [name](const UIChar* candidate) { return UITextCompare(name, candidate) == 0; };
  if (is(UI_TEXT("group"))) {
    SetGroup(value);
  } else if (is(UI_TEXT("selected"))) {
    // Notified like any selection: whoever listens while the skin is read
    // (the option's own notify listeners, a window's notifier) hears it.
    SetSelected(ParseAttributeBool(value), true);
  } else if (is(UI_TEXT("selectedimage"))) {
    SetSelectedImage(value);
  } else if (is(UI_TEXT("selectedhotimage"))) {
    SetSelectedHotImage(value);
  } else if (is(UI_TEXT("foreimage"))) {
    SetOptionForeImage(value);
  } else if (is(UI_TEXT("selectedbkcolor"))) {
    SetSelectedBkColor(ParseAttributeColor(value));
  } else if (is(UI_TEXT("selectedtextcolor"))) {
    SetSelectedTextColor(ParseAttributeColor(value));
  } else {
    CButtonUI::SetAttribute(name, value);
  }
}

CUISize COptionUI::EstimateSize(CUISize available) {
  if (m_cxyFixed.cy > 0) return CControlUI::EstimateSize(available);
  return CUISize(m_cxyFixed.cx, GetFontHeight() + 8);
}

// --- Painting ---

void COptionUI::PaintStatusImage(HDC hDC) {
  m_uButtonState = CurrentState();
  const UINT notPushed = m_uButtonState & ~static_cast<UINT>(kUIStatePushed);
  if (!m_bSelected) {
    PaintButtonStatusImage(hDC, notPushed);
  } else {
    bool drawn = (m_uButtonState & kUIStateHot) != 0 && !m_diSelectedHot.sDrawString.IsEmpty() &&
                 DrawImage(hDC, m_diSelectedHot);
    if (!drawn) drawn = !m_diSelected.sDrawString.IsEmpty() && DrawImage(hDC, m_diSelected);
    if (!drawn) {
      if (m_dwSelectedBkColor != 0) {
        CDrawEngine::FillColor(hDC, m_rcPaint, ApplyHslToColor(m_dwSelectedBkColor));
      } else {
        PaintButtonStatusImage(hDC, notPushed);
      }
    }
  }
  if (!m_diOptionFore.sDrawString.IsEmpty()) DrawImage(hDC, m_diOptionFore);
}

void COptionUI::PaintText(HDC hDC) {
  const UINT state = CurrentState();
  if (!m_bSelected) {
    PaintButtonText(hDC, state & ~static_cast<UINT>(kUIStatePushed));
    return;
  }
  ApplyDefaultColors();
  if (m_sText.IsEmpty()) return;
  const DWORD selectedColor = m_dwSelectedTextColor != 0 ? m_dwSelectedTextColor : m_dwTextColor;
  DrawLabelText(hDC, GetTextRect(), IsEnabled() ? selectedColor : m_dwDisabledTextColor);
}

// --- Check box ---

const UIChar* CCheckBoxUI::GetClassName() const { return UI_TEXT("CheckBox"); }

void* CCheckBoxUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("CheckBox")) == 0) return this;
  return COptionUI::GetInterface(name);
}

}  // namespace Trellis
