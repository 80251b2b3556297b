#pragma once
// CVoiceTypeWnd: the voice picker ("VoiceTypeWnd.xml"), opened modal by the
// main window's "更换主播". The catalogue's categories are options over the
// tab layout "voiceTypeTab"; each page is a two-column tile of
// CVoiceTypeItem cards with play, pause, "use" and "detail". "Use" (here or
// in the detail window) posts WM_APP_VOICE_CHOSEN to the owner (the main
// window) with the catalogue record and closes the picker.
//
// A heap object made by ShowVoicePicker (or a test); its last message
// deletes it. UI thread only.
#include "app/voice/VoiceSampleWnd.h"

#include <functional>
#include <string>

struct VoiceCatalog;
class CVoiceExampleWnd;

// What the picker works with.
struct VoicePickerSetup {
  const VoiceCatalog* catalog = nullptr;  // borrowed: its vectors outlive the windows
  const HttpClient* client = nullptr;     // borrowed: fetches the samples
  int currentVoiceType = 0;               // the job's voice: its card shows "using"
  std::wstring sampleFolder;              // cache of the samples, ends with a separator
  std::function<void(int)> report;        // starts a usage report with a detail value; may be empty
};

// Category slots of the skin ("voiceTypeOption0".."8", "voiceTypeTileLayout0".."8").
constexpr int kVoiceCategorySlots = 9;
// Width of one category option; the option row pages by one option.
constexpr int kVoiceCategoryOptionWidth = 86;

class CVoiceTypeWnd : public CVoiceSampleWnd {
 public:
  explicit CVoiceTypeWnd(VoicePickerSetup setup);

  // CWindowWnd:
  const Trellis::UIChar* GetWindowClassName() const override;  // "VoiceTypeWnd"
  // WindowImplBase:
  void OnSkinLoaded() override;
  Trellis::CUIString GetSkinFile() override;
  // INotifyUI:
  void Notify(Trellis::UINotify& msg) override;

  // The detail window while it is open from this picker, else null.
  CVoiceExampleWnd* GetExampleWindow() const { return m_example; }

 protected:
  const VoiceInfo* VoiceOfItem(Trellis::CControlUI* item) const override;
  // Shows the detail window of `voice` modal to this window; its close result.
  virtual UINT ShowExample(const VoiceInfo* voice);

 private:
  void FillCategories();
  void PageCategories(int step);
  void ShowCategory(Trellis::CControlUI* option);
  void UseVoice(const VoiceInfo* voice, bool takeExampleText);
  void OpenDetail(Trellis::CControlUI* detailButton);

  VoicePickerSetup m_setup;
  Trellis::CControlUI* m_voiceTypeTab = nullptr;   // borrowed from the tree: "voiceTypeTab"
  Trellis::CControlUI* m_optionRow = nullptr;      // borrowed: "hLayoutOption"
  Trellis::CControlUI* m_emotionsTip = nullptr;    // borrowed: "emotionsTip"
  int m_shownCategories = 0;                       // category slots filled
  CVoiceExampleWnd* m_example = nullptr;           // the open detail window; it deletes itself
};

// Opens the picker owned by `owner` and runs it modal; returns its close result
// (0 when it could not be opened).
UINT ShowVoicePicker(HWND owner, VoicePickerSetup setup);
