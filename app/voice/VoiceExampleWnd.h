#pragma once
// CVoiceExampleWnd: the voice detail window ("VoiceExampleWnd.xml") opened by
// a card's "详情": the voice's picture, name and description over one
// CVoiceExampleItem with the example text, its sample and "use".
//
// "Use" closes this window with kVoiceExampleUseResult; its opener (the
// picker) then hands the voice to the main window and closes itself, once
// this window's modal loop has ended. A heap object; its last message deletes
// it. UI thread only.
#include "app/voice/VoiceSampleWnd.h"
#include "core/catalog/portable/VoiceCatalogRecords.h"

#include <functional>

// Close result of the detail window when the user took its voice.
constexpr UINT kVoiceExampleUseResult = 19;
// Close result of the voice windows' own close buttons.
constexpr UINT kVoiceWindowCloseResult = 8;

class CVoiceExampleWnd : public CVoiceSampleWnd {
 public:
  // `voice` is borrowed (a catalogue record); `report` starts a usage report
  // with its detail value (may be empty).
  CVoiceExampleWnd(const VoiceInfo* voice, const HttpClient& client, std::wstring sampleFolder,
                   std::function<void(int)> report);

  // CWindowWnd:
  const Trellis::UIChar* GetWindowClassName() const override;  // "VoiceExampleWnd"
  // WindowImplBase:
  void OnSkinLoaded() override;
  Trellis::CUIString GetSkinFile() override;
  // INotifyUI:
  void Notify(Trellis::UINotify& msg) override;

  const VoiceInfo* GetVoice() const { return m_voice; }

 protected:
  const VoiceInfo* VoiceOfItem(Trellis::CControlUI* item) const override;

 private:
  const VoiceInfo* m_voice;  // borrowed: a catalogue record
  std::function<void(int)> m_report;
};
