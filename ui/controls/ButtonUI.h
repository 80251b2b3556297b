#pragma once

// CButtonUI ("Button"): a label that reacts to the mouse and the keyboard,
// sends "click" (and "menu"), shows the hand cursor and paints an image for
// its state (normal, hot, pushed, focused, disabled), optionally
// cross-fading between the normal and hot images. The "click" handler may
// delete the button or rebuild the tree: the button finishes its own state
// changes before it sends the notification and touches nothing after it.
//
// Ownership: the image records borrow their pictures from the window
// manager's image table.
#include "ui/control/ControlLifeGuard.h"
#include "ui/controls/LabelUI.h"

namespace Trellis {

class CButtonUI : public CLabelUI {
 public:
  // Control timer of the hot/normal cross-fade.
  static constexpr UINT kFadeTimerId = 11;
  static constexpr UINT kFadeIntervalMs = 30;

  // Centred single-line text, no images, no fading.
  CButtonUI();
  ~CButtonUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "Button": the button; other names go to the label.
  void* GetInterface(const UIChar* name) override;
  // Set-cursor always; Tab stop while keyboard-enabled.
  UINT GetControlFlags() const override;
  // Sends "click" when visible and enabled (true); false otherwise. The
  // button may be gone when this returns true.
  bool Activate() override;
  // Disabling clears the whole button state.
  void SetEnabled(bool enabled = true) override;
  // Presses, captures, hot tracking, fading, keys, cursor; see the class note.
  void HandleEvent(UIEvent& event) override;
  // The button's images, colours and fade; others go to the label.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Auto width as the label; with a fixed height the control base's answer,
  // else (fixed width, font height + 8).
  CUISize EstimateSize(CUISize available) override;
  // The image for the state, then the fore image.
  void PaintStatusImage(HDC hDC) override;
  // The text in the colour of the state.
  void PaintText(HDC hDC) override;

  // --- Images (a setter does nothing for an unchanged description whose
  // image is loaded; otherwise stores it and repaints) ---
  const UIChar* GetNormalImage() const { return m_diNormal.sDrawString.GetText(); }
  void SetNormalImage(const UIChar* description);
  const UIChar* GetHotImage() const { return m_diHot.sDrawString.GetText(); }
  void SetHotImage(const UIChar* description);
  const UIChar* GetHotForeImage() const { return m_diHotFore.sDrawString.GetText(); }
  void SetHotForeImage(const UIChar* description);
  const UIChar* GetPushedImage() const { return m_diPushed.sDrawString.GetText(); }
  void SetPushedImage(const UIChar* description);
  const UIChar* GetFocusedImage() const { return m_diFocused.sDrawString.GetText(); }
  void SetFocusedImage(const UIChar* description);
  const UIChar* GetDisabledImage() const { return m_diDisabled.sDrawString.GetText(); }
  void SetDisabledImage(const UIChar* description);
  const UIChar* GetForeImage() const { return m_diFore.sDrawString.GetText(); }
  void SetForeImage(const UIChar* description);
  // One strip of five equal frames (normal, pushed, hot, focused, disabled)
  // for the five state images; a floating button without a fixed size takes
  // one frame's size. Frames are cut once the picture is loaded.
  void SetFiveStatusImage(const UIChar* description);

  // --- Colours and fade (store only) ---
  DWORD GetHotBkColor() const { return m_dwHotBkColor; }
  void SetHotBkColor(DWORD color) { m_dwHotBkColor = color; }
  DWORD GetHotTextColor() const { return m_dwHotTextColor; }
  void SetHotTextColor(DWORD color) { m_dwHotTextColor = color; }
  DWORD GetPushedTextColor() const { return m_dwPushedTextColor; }
  void SetPushedTextColor(DWORD color) { m_dwPushedTextColor = color; }
  DWORD GetFocusedTextColor() const { return m_dwFocusedTextColor; }
  void SetFocusedTextColor(DWORD color) { m_dwFocusedTextColor = color; }
  BYTE GetFadeDelta() const { return m_uFadeDelta; }
  // 0 switches fading off; other values are clamped to 1..255.
  void SetFadeDelta(int delta);
  BYTE GetFadeStep() const { return m_uFadeAlphaStep; }
  UINT GetButtonState() const { return m_uButtonState; }

 protected:
  // Repaints the image of a record whose description changed.
  void SetImageRecord(UIImageDrawInfo& record, const UIChar* description);
  // Draws the record at the given alpha (its own fade restored afterwards);
  // false when its picture is not loaded.
  bool DrawImageAtAlpha(HDC hDC, UIImageDrawInfo& record, BYTE alpha);
  // Cuts the five frames out of a loaded strip; nothing while it is not loaded.
  void ApplyFiveStatusFrames();
  // The button's status image, drawn as if `state` were the button state.
  void PaintButtonStatusImage(HDC hDC, UINT state);
  // The button's text, coloured for `state`.
  void PaintButtonText(HDC hDC, UINT state);
  // The state bits with focused and disabled refreshed from the control.
  UINT CurrentState() const;

  // The guard of a running call that waits to learn whether the button
  // survives its notification (see Activate in derived controls); the
  // destructor marks it. Null otherwise.
  CControlLifeGuard* m_pLifeGuard = nullptr;

  UINT m_uButtonState = 0;          // UIStateBit: focused, selected (options), disabled, hot, pushed, captured
  DWORD m_dwHotBkColor = 0;         // 0 = not set
  DWORD m_dwHotTextColor = 0;
  DWORD m_dwPushedTextColor = 0;
  DWORD m_dwFocusedTextColor = 0;
  BYTE m_uFadeAlphaStep = 255;      // alpha of the normal image while cross-fading
  BYTE m_uFadeDelta = 0;            // 0 = no fading
  bool m_bFiveStatusPending = false;  // a five-frame strip waits for its picture to load
  UIImageDrawInfo m_diNormal;
  UIImageDrawInfo m_diHot;
  UIImageDrawInfo m_diHotFore;
  UIImageDrawInfo m_diPushed;
  UIImageDrawInfo m_diFocused;
  UIImageDrawInfo m_diDisabled;
};

}  // namespace Trellis
