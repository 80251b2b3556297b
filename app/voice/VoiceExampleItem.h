#pragma once
// CVoiceExampleItem: the example of one voice in the voice detail window
// ("VoiceExampleItem.xml"): the voice's example text, play and pause of its
// sample, and "use". The buttons are direct children of the content's root,
// so a button's grandparent is the item.
//
// Owned by its layout; the record is borrowed (it outlives the window).
#include "core/catalog/portable/VoiceCatalogRecords.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/UIEvent.h"

class CVoiceExampleItem : public Trellis::CContainerUI, public Trellis::INotifyUI {
 public:
  explicit CVoiceExampleItem(const VoiceInfo* voice);
  ~CVoiceExampleItem() override;

  // CControlUI:
  const Trellis::UIChar* GetClassName() const override;  // "CVoiceExampleItemUI"
  // Answers "CVoiceExampleItemUI" with this item; anything else as the container.
  void* GetInterface(const Trellis::UIChar* name) override;
  // Builds the item from its skin and shows the example text.
  void OnInit() override;
  // INotifyUI: the window handles the item's buttons.
  void Notify(Trellis::UINotify&) override {}

  const VoiceInfo* GetVoice() const { return m_voice; }
  // The item a button of its content belongs to (the button's grandparent), or null.
  static CVoiceExampleItem* FromButton(Trellis::CControlUI* button);

 private:
  const VoiceInfo* m_voice;  // borrowed
};
