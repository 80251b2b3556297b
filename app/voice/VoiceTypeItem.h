#pragma once
// CVoiceTypeItem: one voice card of the voice picker ("VoiceTypeItem.xml"):
// picture, name, description, the multi-emotion badge, play and pause of the
// sample, "use" and "detail". The card buttons are direct children of the
// content's root, so a button's grandparent is its card.
//
// Owned by its tile layout; the record is borrowed (a catalogue record that
// outlives the window).
#include "core/catalog/portable/VoiceCatalogRecords.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/UIEvent.h"

class CVoiceTypeItem : public Trellis::CContainerUI, public Trellis::INotifyUI {
 public:
  // `inUse`: the card of the voice the job uses now shows the "using" images.
  CVoiceTypeItem(const VoiceInfo* voice, bool inUse);
  ~CVoiceTypeItem() override;

  // CControlUI:
  const Trellis::UIChar* GetClassName() const override;  // "CVoiceTypeItemUI"
  // Answers "CVoiceTypeItemUI" with this item; anything else as the container.
  void* GetInterface(const Trellis::UIChar* name) override;
  // Builds the card from its skin and fills it from the record.
  void OnInit() override;
  // INotifyUI: the window handles the card's buttons.
  void Notify(Trellis::UINotify&) override {}

  const VoiceInfo* GetVoice() const { return m_voice; }
  // The card a button of its content belongs to (the button's grandparent), or null.
  static CVoiceTypeItem* FromButton(Trellis::CControlUI* button);

 private:
  const VoiceInfo* m_voice;  // borrowed: a catalogue record
  bool m_inUse;
};
