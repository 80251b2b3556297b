#include "app/voice/VoiceTypeWnd.h"

#include "app/voice/VoiceExampleWnd.h"
#include "app/voice/VoiceTypeItem.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/catalog/VoiceCatalog.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/TabLayoutUI.h"

#include <string>

using namespace Trellis;

namespace {

// The tip shown over the category whose option has this tag (the catalogue
// lists its multi-emotion voices second).
constexpr uintptr_t kEmotionCategoryTag = 1;
const wchar_t kCategoryGroup[] = L"gr_type_opt";

template <typename T>
T* As(CControlUI* control, const wchar_t* interfaceName) {
  return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

}  // namespace

CVoiceTypeWnd::CVoiceTypeWnd(VoicePickerSetup setup)
    : CVoiceSampleWnd(setup.client != nullptr ? *setup.client : HttpClient(), setup.sampleFolder),
      m_setup(std::move(setup)) {}

const UIChar* CVoiceTypeWnd::GetWindowClassName() const { return UI_TEXT("VoiceTypeWnd"); }

CUIString CVoiceTypeWnd::GetSkinFile() { return CUIString(L"VoiceTypeWnd.xml"); }

void CVoiceTypeWnd::OnSkinLoaded() {
  m_voiceTypeTab = m_pm.FindControlByName(L"voiceTypeTab");
  m_optionRow = m_pm.FindControlByName(L"hLayoutOption");
  m_emotionsTip = m_pm.FindControlByName(L"emotionsTip");
  if (auto* tab = As<CTabLayoutUI>(m_voiceTypeTab, L"TabLayout")) tab->SelectItem(0, false);
  FillCategories();
}

void CVoiceTypeWnd::FillCategories() {
  if (m_setup.catalog == nullptr) return;
  const VoiceCatalog& catalog = *m_setup.catalog;
  const int count = static_cast<int>(catalog.categories.size());
  if (count > kVoiceCategorySlots) {
    DebugTrace(L"voice picker: %d categories; the picker shows the first %d", count, kVoiceCategorySlots);
  }
  m_shownCategories = count < kVoiceCategorySlots ? count : kVoiceCategorySlots;
  for (int i = 0; i < m_shownCategories; ++i) {
    const VoiceCategory& category = catalog.categories[static_cast<size_t>(i)];
    const std::wstring optionName = L"voiceTypeOption" + std::to_wstring(i);
    if (CControlUI* option = m_pm.FindControlByName(optionName.c_str())) {
      option->SetText(category.name.c_str());
      option->SetVisible(true);
    }
    if (category.count <= 0) continue;
    const std::wstring tileName = L"voiceTypeTileLayout" + std::to_wstring(i);
    auto* tile = As<CContainerUI>(m_pm.FindControlByName(tileName.c_str()), L"Container");
    if (tile == nullptr) continue;
    for (const VoiceInfo& voice : catalog.voices) {
      if (voice.categoryId != category.id) continue;
      tile->AddItem(new CVoiceTypeItem(&voice, voice.voiceType == m_setup.currentVoiceType));
    }
  }
}

const VoiceInfo* CVoiceTypeWnd::VoiceOfItem(CControlUI* item) const {
  auto* card = item != nullptr ? static_cast<CVoiceTypeItem*>(item->GetInterface(UI_TEXT("CVoiceTypeItemUI"))) : nullptr;
  return card != nullptr ? card->GetVoice() : nullptr;
}

void CVoiceTypeWnd::Notify(UINotify& msg) {
  if (msg.pSender == nullptr) return;
  const CUIString name = msg.pSender->GetName();
  if (msg.sType.EqualsText(L"selectchanged")) {
    ShowCategory(msg.pSender);
    return;
  }
  if (msg.sType.DiffersFromText(L"click")) return;
  if (name.EqualsText(L"btnClose")) {
    StopSample();
    PostClose(kVoiceWindowCloseResult);
  } else if (name.EqualsText(L"btnUse")) {
    if (CVoiceTypeItem* card = CVoiceTypeItem::FromButton(msg.pSender)) UseVoice(card->GetVoice(), false);
  } else if (name.EqualsText(L"btnPlay")) {
    PlaySample(msg.pSender);
  } else if (name.EqualsText(L"btnSuspend")) {
    PauseSample(msg.pSender);
  } else if (name.EqualsText(L"btnDetail")) {
    OpenDetail(msg.pSender);
  } else if (name.EqualsText(L"btnPrevOption")) {
    PageCategories(+1);
  } else if (name.EqualsText(L"btnNextOption")) {
    PageCategories(-1);
  }
}

void CVoiceTypeWnd::PageCategories(int step) {
  if (m_optionRow == nullptr) return;
  CUIRect padding = m_optionRow->GetPadding();
  // Two positions: the first eight options, or the row moved by one option.
  if (step > 0 && padding.left < 0) {
    padding.left += kVoiceCategoryOptionWidth;
  } else if (step < 0 && padding.left > -kVoiceCategoryOptionWidth) {
    padding.left -= kVoiceCategoryOptionWidth;
  } else {
    return;
  }
  m_optionRow->SetPadding(padding);
}

void CVoiceTypeWnd::ShowCategory(CControlUI* option) {
  auto* categoryOption = As<COptionUI>(option, L"Option");
  if (categoryOption == nullptr || !categoryOption->GetGroup().EqualsText(kCategoryGroup)) return;
  if (!categoryOption->IsSelected()) return;  // the option that lost the selection
  const uintptr_t tag = option->GetTag();
  if (auto* tab = As<CTabLayoutUI>(m_voiceTypeTab, L"TabLayout")) tab->SelectItem(static_cast<int>(tag));
  if (m_emotionsTip != nullptr) m_emotionsTip->SetVisible(tag == kEmotionCategoryTag);
}

void CVoiceTypeWnd::UseVoice(const VoiceInfo* voice, bool takeExampleText) {
  if (voice == nullptr) return;
  StopSample();
  PostMessageW(::GetWindow(GetHandle(), GW_OWNER), WM_APP_VOICE_CHOSEN, reinterpret_cast<WPARAM>(voice),
               takeExampleText ? 1 : 0);
  PostClose(kVoiceWindowCloseResult);
}

void CVoiceTypeWnd::OpenDetail(CControlUI* detailButton) {
  CVoiceTypeItem* card = CVoiceTypeItem::FromButton(detailButton);
  if (card == nullptr || card->GetVoice() == nullptr) return;
  const VoiceInfo* voice = card->GetVoice();
  StopSample();  // one sample at a time: the detail window plays its own
  const HWND self = GetHandle();
  const UINT result = ShowExample(voice);
  // The loop ran this window's messages too; it may be gone (and this object with it).
  if (!IsWindow(self)) return;
  if (result == kVoiceExampleUseResult) UseVoice(voice, true);
}

UINT CVoiceTypeWnd::ShowExample(const VoiceInfo* voice) {
  auto* example = new CVoiceExampleWnd(voice, m_setup.client != nullptr ? *m_setup.client : HttpClient(),
                                       m_setup.sampleFolder, m_setup.report);
  if (!example->Open(GetHandle(), L"VoiceExampleWnd")) {
    // A window that never got a native handle gets no last message either.
    if (example->GetHandle() == nullptr) delete example;
    return 0;
  }
  m_example = example;
  const HWND self = GetHandle();
  const UINT result = example->RunModalLoop();
  if (IsWindow(self)) m_example = nullptr;
  return result;
}

UINT ShowVoicePicker(HWND owner, VoicePickerSetup setup) {
  auto* picker = new CVoiceTypeWnd(std::move(setup));
  if (!picker->Open(owner, L"VoiceTypeWnd")) {
    if (picker->GetHandle() == nullptr) delete picker;
    return 0;
  }
  return picker->RunModalLoop();
}
