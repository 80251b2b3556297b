#pragma once

// CListItemBase<Base>: the item part both list-item families share, over
// either a plain control (CListElementUI) or a container (CListContainerElementUI):
// numbering, owner, selection through the owner, the hot state, activation,
// hiding and disabling, and painting the item background.
#include "ui/controls/list/ListInterfaces.h"
#include "ui/controls/list/ListItemDrawing.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

template <typename Base>
class CListItemBase : public Base, public IListItemUI {
 public:
  CListItemBase() = default;
  ~CListItemBase() override {
    if (m_pLifeGuard != nullptr) m_pLifeGuard->MarkDestroyed();
  }

  // IListItemUI:
  int GetIndex() const override { return m_iIndex; }
  void SetIndex(int index) override { m_iIndex = index; }
  int GetDrawIndex() const override { return m_iDrawIndex; }
  void SetDrawIndex(int index) override { m_iDrawIndex = index; }
  IListOwnerUI* GetOwner() override { return m_pOwner; }
  void SetOwner(CControlUI* owner) override {
    if (owner == nullptr) return;
    m_pOwner = static_cast<IListOwnerUI*>(owner->GetInterface(UI_TEXT("IListOwner")));
  }
  bool IsSelected() const override { return m_bSelected; }

  // A disabled item cannot be selected, but it can always be deselected, so
  // the owner's selection and the item's flag never disagree for long. A
  // selection the owner refuses reverts the flag.
  bool Select(bool select = true, bool takeFocus = false) override {
    if (select && !this->IsEnabled()) return false;
    if (m_bSelected == select) return true;
    m_bSelected = select;
    if (select && m_pOwner != nullptr) {
      CListItemLifeGuard guard(this, &m_pLifeGuard);
      const bool accepted = m_pOwner->SelectItem(m_iIndex, takeFocus, true);
      // An "itemselect" handler may have deleted the item.
      if (guard.IsGone()) return accepted;
      if (!accepted) m_bSelected = false;
      InvalidateItem();
      return accepted;
    }
    InvalidateItem();
    return true;
  }

  // CControlUI:
  UINT GetControlFlags() const override { return 0; }

  // Sends "itemactivate" when the control base agrees.
  bool Activate() override {
    if (!Base::Activate()) return false;
    if (this->m_pManager != nullptr) this->m_pManager->SendNotify(this, UI_TEXT("itemactivate"));
    return true;
  }

  // Hiding a selected item clears its flag and the owner's selection.
  void SetVisible(bool visible = true) override {
    Base::SetVisible(visible);
    if (!this->IsVisible() && m_bSelected) {
      m_bSelected = false;
      if (m_pOwner != nullptr) m_pOwner->SelectItem(-1, false, true);
    }
  }

  // Disabling drops the hot state.
  void SetEnabled(bool enabled = true) override {
    Base::SetEnabled(enabled);
    if (!this->IsEnabled()) m_uButtonState = 0;
  }

 protected:
  // Activates the item, then repaints it unless the "itemactivate" handler
  // took it away.
  void ActivateAndRepaint() {
    CListItemLifeGuard guard(this, &m_pLifeGuard);
    Activate();
    if (!guard.IsGone()) InvalidateItem();
  }

  // Fills the background from the owner's appearance record (over the whole
  // item, whatever rectangle is passed).
  void DrawItemBk(HDC hDC, const CUIRect&) {
    if (m_pOwner == nullptr) return;
    UIListInfo* info = m_pOwner->GetListInfo();
    if (info == nullptr) return;
    DrawListItemBk(this, hDC, *info, this->m_diBk, m_uButtonState, m_bSelected, m_iDrawIndex);
  }

  // Repaints only the part of the item visible in its list.
  void InvalidateItem() { InvalidateListItem(this); }

  int m_iIndex = -1;
  int m_iDrawIndex = 0;
  bool m_bSelected = false;
  UINT m_uButtonState = 0;                     // kUIStateHot while hot
  IListOwnerUI* m_pOwner = nullptr;            // borrowed
  CListItemLifeGuard* m_pLifeGuard = nullptr;  // the running event call's guard; told by the destructor
};

}  // namespace Trellis
