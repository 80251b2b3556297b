#pragma once

// CLabelUI: the text-bearing control ("Label") that buttons, options, texts,
// edits and progress bars build on. It draws its text plainly or as markup in
// its rectangle less the text padding, can make its width follow its text,
// and can draw the text through GDI+ with a colour gradient, an outline
// (stroke), a shadow and a glow. Whatever GDI+ cannot make (an empty text
// rectangle, a face that is not TrueType, a bitmap that cannot be created)
// makes the label fall back to its plain drawing.
//
// Ownership: the label owns only values; fonts and default colours are
// borrowed from the window manager.
#include "ui/control/ControlUI.h"

namespace Trellis {

class CLabelUI : public CControlUI {
 public:
  // Text style DT_SINGLELINE | DT_VCENTER, the window's default font.
  CLabelUI();
  ~CLabelUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "Label": the label; other names go to the control base.
  void* GetInterface(const UIChar* name) override;
  // Stores a different text and marks the size for re-measuring; asks the
  // parent for a layout only when the width follows the text.
  void SetText(const UIChar* text) override;
  // The control base's setters, and the size is measured again.
  void SetFixedWidth(int cx) override;
  void SetFixedHeight(int cy) override;
  // Set-focus and kill-focus only record the focus; the rest to the base.
  void HandleEvent(UIEvent& event) override;
  // The label's attributes (see the setters below); others to the base.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Measures the text: auto width, single line (font height + 8 + padding)
  // or multi-line (height for the available width); cached until something
  // that changes the measure changes.
  CUISize EstimateSize(CUISize available) override;
  // Plain, markup or effect text in the position less the text padding.
  void PaintText(HDC hDC) override;

  // CLabelUI:
  virtual bool IsAutoCalcWidth() const;
  // Stores the flag only; the next estimate sets the fixed width.
  virtual void SetAutoCalcWidth(bool autoCalcWidth);

  // --- Text style, font, colours, padding ---
  UINT GetTextStyle() const { return m_uTextStyle; }
  // Stores DrawTextW bits and repaints; marks the size for re-measuring.
  void SetTextStyle(UINT style);
  bool IsMultiLine() const { return (m_uTextStyle & DT_SINGLELINE) == 0; }
  // Multi-line clears DT_SINGLELINE and sets DT_WORDBREAK; else DT_SINGLELINE.
  void SetMultiLine(bool multiLine);
  int GetFont() const { return m_iFont; }
  // A font id of the window (-1 = its default font); repaints and re-measures.
  void SetFont(int id);
  DWORD GetTextColor() const { return m_dwTextColor; }
  // ARGB; 0 takes the window's default text colour at the first paint.
  void SetTextColor(DWORD color);
  DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
  void SetDisabledTextColor(DWORD color);
  CUIRect GetTextPadding() const { return m_rcTextPadding; }
  // Left, top, right, bottom; repaints and re-measures.
  void SetTextPadding(CUIRect padding);
  bool IsShowHtml() const { return m_bShowHtml; }
  // Markup text on or off; re-measures only when it changes.
  void SetShowHtml(bool showHtml = true);

  // --- GDI+ effects (each setter repaints) ---
  bool IsEffectEnabled() const { return m_bEnableEffect; }
  void SetEnabledEffect(bool enable);
  bool IsLuminousEnabled() const { return m_bEnableLuminous; }
  void SetEnabledLuminous(bool enable);
  float GetLuminousFuzzy() const { return m_fLuminousFuzzy; }
  // Glow fuzziness; values below 0.0001 are ignored.
  void SetLuminousFuzzy(float fuzzy);
  bool IsStrokeEnabled() const { return m_bEnableStroke; }
  void SetEnabledStroke(bool enable);
  bool IsShadowEnabled() const { return m_bEnableShadow; }
  void SetEnabledShadow(bool enable);
  int GetGradientAngle() const { return m_nGradientAngle; }
  void SetGradientAngle(int angle);
  int GetGradientLength() const { return m_nGradientLength; }
  // 0 = the text rectangle's height.
  void SetGradientLength(int length);
  // The value of the gradient's and the shadow's second colour that means
  // "use the first one" (the default of both).
  static constexpr DWORD kUseOtherColor = 0xFFFFFFFF;
  // The gradient's second colour; kUseOtherColor (opaque white's value, as
  // skins write it) uses the text colour.
  bool HasTextColor1() const { return m_dwTextColor1 != kUseOtherColor; }
  DWORD GetTextColor1() const { return m_dwTextColor1; }
  void SetTextColor1(DWORD color);
  // Back to "use the text colour".
  void ClearTextColor1();
  DWORD GetTextShadowColorA() const { return m_dwTextShadowColorA; }
  void SetTextShadowColorA(DWORD color);
  // The shadow's second colour; kUseOtherColor uses colour A.
  bool HasTextShadowColorB() const { return m_dwTextShadowColorB != kUseOtherColor; }
  DWORD GetTextShadowColorB() const { return m_dwTextShadowColorB; }
  void SetTextShadowColorB(DWORD color);
  void ClearTextShadowColorB();
  DWORD GetStrokeColor() const { return m_dwStrokeColor; }
  // 0 = no stroke even when the stroke is enabled.
  void SetStrokeColor(DWORD color);
  // Moves the shadow (and the glow) by the distance in the direction of the
  // angle (degrees, 0 = right, 90 = down); false and no change for an angle
  // outside -180..180.
  bool SetShadowOffset(int distance, int angle);
  float GetShadowOffsetX() const { return m_fShadowOffsetX; }
  float GetShadowOffsetY() const { return m_fShadowOffsetY; }

 protected:
  // Replaces a text colour or disabled colour of 0, for good, by the
  // window's defaults (needs a manager).
  void ApplyDefaultColors();
  // The position less the text padding.
  CUIRect GetTextRect() const;
  // Plain or markup text in rc with the label's style and font.
  void DrawLabelText(HDC hDC, CUIRect rc, DWORD color);
  // Draws the text through GDI+ with the enabled effects; false, having drawn
  // nothing, when a GDI+ object cannot be made (the caller draws plainly).
  bool PaintTextWithEffects(HDC hDC, const CUIRect& rc);
  // The window font's height (tmHeight), 0 without a manager.
  int GetFontHeight() const;
  // Sets the fixed width to the plain text width plus the left and right
  // padding when it differs from the stored one; an unchanged width asks
  // for no layout.
  void UpdateAutoCalcWidth();

  UINT m_uTextStyle = DT_SINGLELINE | DT_VCENTER;
  int m_iFont = -1;                        // window font id; -1 = default font
  DWORD m_dwTextColor = 0;                 // 0 until the first paint fills in the default
  DWORD m_dwDisabledTextColor = 0;
  CUIRect m_rcTextPadding;
  bool m_bShowHtml = false;
  CUISize m_szAvailableLast;               // available size of the cached estimate
  CUISize m_cxyFixedLast;                  // the cached estimate
  bool m_bNeedEstimateSize = true;         // set by whatever changes the measure, cleared by EstimateSize
  bool m_bAutoCalcWidth = false;
  float m_fLuminousFuzzy = 3.0f;
  int m_nGradientLength = 0;
  int m_nGradientAngle = 0;
  bool m_bEnableEffect = false;
  bool m_bEnableLuminous = false;
  bool m_bEnableStroke = false;
  bool m_bEnableShadow = false;
  DWORD m_dwTextColor1 = kUseOtherColor;   // kUseOtherColor: the gradient ends in the text colour
  DWORD m_dwTextShadowColorA = 0xFF000000;
  DWORD m_dwTextShadowColorB = kUseOtherColor;  // kUseOtherColor: the shadow is colour A throughout
  DWORD m_dwStrokeColor = 0;
  float m_fShadowOffsetX = 0.0f;
  float m_fShadowOffsetY = 0.0f;
};

}  // namespace Trellis
