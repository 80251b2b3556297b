// Test cases run alone: they click through the voice windows and their nested modal loop, which other tests' windows would disturb.
// The voice picker and detail windows under Wine, built from the real skin
// files over the catalogue of a stand-in speech service, and driven through
// their own message path: categories and paging, the cards, samples played,
// paused, switched, failing and stopped, "use" from either window, and the
// emotion tiles of the text-to-speech page.
#include "app/voice/EmotionItem.h"
#include "app/voice/VoiceExampleWnd.h"
#include "app/voice/VoiceItemSkin.h"
#include "app/voice/VoiceTypeItem.h"
#include "app/voice/VoiceTypeWnd.h"
#include "core/base/AppMessages.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/UsageReport.h"
#include "tests/core/client/StandinClientTest.h"
#include "tests/support/AppWindowTesting.h"
#include "tests/support/Screenshot.h"
#include "tests/support/UserMessageRecorder.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/window/WindowImplBase.h"
#include "ui/window/WindowManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Trellis;
using testshots::SaveWindowPng;
using testwindows::WindowDriver;

namespace {

constexpr int kXiaolan = 100510000;  // the voice in use; second card of the first category, multi-emotion
constexpr int kYunzhou = 100510001;  // first card of the first category
constexpr int kRuoxi = 100510002;    // third card of the first category

std::string SamplePath(int voiceType) { return "/colud/tts/samples/" + std::to_string(voiceType) + ".mp3"; }

template <typename T>
T* As(CControlUI* control, const wchar_t* interfaceName) {
  return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

// What the tests watch of a picker; kept by the test, since the picker
// deletes itself.
struct PickerWatch {
  bool deleted = false;
  bool destroyed = false;
  bool sampleLeftAtDestroy = true;  // a player or a fetch was still there when the window went
  HWND detail = nullptr;            // the detail window opened from it, if any
  bool destroyedInsideDetail = false;  // destroyed while the detail window's loop ran inside its notification
};

class WatchedPicker : public CVoiceTypeWnd {
 public:
  WatchedPicker(VoicePickerSetup setup, PickerWatch* watch) : CVoiceTypeWnd(std::move(setup)), m_watch(watch) {}
  ~WatchedPicker() override { m_watch->deleted = true; }
  LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    const LRESULT result = CVoiceTypeWnd::OnDestroy(message, wParam, lParam, handled);
    m_watch->sampleLeftAtDestroy = GetPlayback().HasPlayer() || GetPlayback().IsFetching();
    m_watch->destroyed = true;
    m_watch->destroyedInsideDetail = m_inDetail;
    return result;
  }
  UINT ShowExample(const VoiceInfo* voice) override {
    m_inDetail = true;
    const HWND self = GetHandle();
    const UINT result = CVoiceTypeWnd::ShowExample(voice);
    if (IsWindow(self)) m_inDetail = false;
    return result;
  }

 private:
  PickerWatch* m_watch;
  bool m_inDetail = false;
};

class VoicePickerTest : public StandinClientTest {
 protected:
  void SetUp() override {
    StandinClientTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    CWindowManagerUI::SetResourcePath(apptest::SourceSkinFolder().c_str());
    // A skin that does not load fails the window's creation instead of showing a box nobody answers.
    m_savedSkinHandler = WindowImplBase::SetSkinLoadFailureHandler([](WindowImplBase*) {});
    m_restoreSkinHandler = true;
    CatalogFetch fetch{m_state.get(), &m_catalog};
    RunThread(FetchVoiceCategoriesThread, &fetch);
    RunThread(FetchVoiceListThread, &fetch);
    RunThread(FetchVoiceEmotionsThread, &fetch);
    for (int part = 1; part <= 3; ++part) m_catalog.TakeDelivered(part);
    ASSERT_EQ(m_catalog.categories.size(), 5u);
    ASSERT_EQ(m_catalog.voices.size(), 12u);
  }
  void TearDown() override {
    if (m_picker != nullptr && !m_watch.deleted) DestroyWindow(m_picker->GetHandle());
    m_driver.reset();
    if (m_restoreSkinHandler) WindowImplBase::SetSkinLoadFailureHandler(m_savedSkinHandler);
    StandinClientTest::TearDown();
  }

  // Opens the picker over `catalog` (the stand-in's by default), owned by the
  // recording window, and lays it out.
  WatchedPicker* OpenPicker(const VoiceCatalog* catalog = nullptr) {
    VoicePickerSetup setup;
    setup.catalog = catalog != nullptr ? catalog : &m_catalog;
    setup.client = &m_state->httpClient;
    setup.currentVoiceType = kXiaolan;
    setup.sampleFolder = m_folder.path();
    setup.report = [this](int detail) { m_reports.push_back(detail); };
    m_picker = new WatchedPicker(std::move(setup), &m_watch);
    if (!m_picker->Open(m_window.handle(), L"VoiceTypeWnd")) return nullptr;
    m_driver = std::make_unique<WindowDriver>(m_picker->GetPaintManager());
    m_driver->PumpFor(300);
    return m_picker;
  }

  const VoiceInfo* Voice(int voiceType) const {
    for (const VoiceInfo& voice : m_catalog.voices) {
      if (voice.voiceType == voiceType) return &voice;
    }
    return nullptr;
  }
  // The card of a voice in the picker, or null.
  CVoiceTypeItem* Card(int voiceType) {
    for (int slot = 0; slot < kVoiceCategorySlots; ++slot) {
      const std::wstring name = L"voiceTypeTileLayout" + std::to_wstring(slot);
      auto* tile = As<CContainerUI>(m_driver->Find(name.c_str()), L"Container");
      for (int i = 0; tile != nullptr && i < tile->GetCount(); ++i) {
        auto* card = As<CVoiceTypeItem>(tile->GetItemAt(i), L"CVoiceTypeItemUI");
        if (card != nullptr && card->GetVoice() != nullptr && card->GetVoice()->voiceType == voiceType) return card;
      }
    }
    return nullptr;
  }
  CControlUI* CardControl(int voiceType, const wchar_t* name) {
    CVoiceTypeItem* card = Card(voiceType);
    return card != nullptr ? m_picker->GetPaintManager().FindSubControlByName(card, name) : nullptr;
  }
  // Clicks a card's button at its centre; false when it is not shown.
  bool ClickCard(int voiceType, const wchar_t* name) {
    CControlUI* control = CardControl(voiceType, name);
    if (control == nullptr || !control->IsVisible()) return false;
    const CUIRect pos = control->GetPos();
    m_driver->ClickAt(POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2});
    return true;
  }
  // Whether the card shows its pause button (its sample sounds or is fetched) rather than play.
  bool ShowsPause(int voiceType) {
    CControlUI* play = CardControl(voiceType, L"btnPlay");
    CControlUI* pause = CardControl(voiceType, L"btnSuspend");
    EXPECT_NE(play != nullptr && play->IsVisible(), pause != nullptr && pause->IsVisible())
        << "exactly one of play and pause shows";
    return pause != nullptr && pause->IsVisible();
  }
  // Pumps until `done` holds or the time is up; returns `done`'s last answer.
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < timeoutMs) m_driver->PumpFor(20);
    return done();
  }
  bool SamplePlays() {
    return PumpUntil([this] { return m_picker->GetPlayback().HasPlayer(); });
  }
  int CurrentPage() { return As<CTabLayoutUI>(m_driver->Find(L"voiceTypeTab"), L"TabLayout")->GetCurSel(); }
  std::vector<MessageWindow::Message> ChosenVoices() {
    std::vector<MessageWindow::Message> chosen;
    for (const MessageWindow::Message& m : m_window.Pump()) {
      if (m.message == WM_APP_VOICE_CHOSEN) chosen.push_back(m);
    }
    return chosen;
  }

  VoiceCatalog m_catalog;
  UserMessageRecorder m_messages;
  std::vector<int> m_reports;
  WatchedPicker* m_picker = nullptr;
  PickerWatch m_watch;
  WindowImplBase::SkinLoadFailureHandler m_savedSkinHandler = nullptr;
  bool m_restoreSkinHandler = false;
  std::unique_ptr<WindowDriver> m_driver;
};

// --- Categories and cards ---

TEST_F(VoicePickerTest, ShowsTheCategoriesAndTheirCardsWithPicturesAndTheVoiceInUse) {
  ASSERT_NE(OpenPicker(), nullptr);
  for (int slot = 0; slot < kVoiceCategorySlots; ++slot) {
    CControlUI* option = m_driver->Find((L"voiceTypeOption" + std::to_wstring(slot)).c_str());
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->IsVisible(), slot < 5) << slot;
    if (slot < 5) {
      EXPECT_EQ(option->GetText().GetText(), m_catalog.categories[static_cast<size_t>(slot)].name);
    }
  }
  // Every voice has its card in its category's page, in catalogue order.
  for (size_t c = 0; c < m_catalog.categories.size(); ++c) {
    auto* tile = As<CContainerUI>(m_driver->Find((L"voiceTypeTileLayout" + std::to_wstring(c)).c_str()), L"Container");
    ASSERT_NE(tile, nullptr);
    std::vector<int> expected, shown;
    for (const VoiceInfo& voice : m_catalog.voices) {
      if (voice.categoryId == m_catalog.categories[c].id) expected.push_back(voice.voiceType);
    }
    for (int i = 0; i < tile->GetCount(); ++i) {
      shown.push_back(As<CVoiceTypeItem>(tile->GetItemAt(i), L"CVoiceTypeItemUI")->GetVoice()->voiceType);
    }
    EXPECT_EQ(shown, expected) << "category " << c;
  }
  EXPECT_EQ(CurrentPage(), 0);

  // The card of the voice in use says so; the others offer "use".
  for (int voice : {kYunzhou, kXiaolan, kRuoxi}) {
    auto* use = As<CButtonUI>(CardControl(voice, L"btnUse"), L"Button");
    ASSERT_NE(use, nullptr);
    const std::wstring image = use->GetNormalImage();
    EXPECT_NE(image.find(voice == kXiaolan ? L"usingBtn.png" : L"useBtn.png"), std::wstring::npos) << voice;
    EXPECT_EQ(CardControl(voice, L"lblEmotion")->IsVisible(), voice == kXiaolan) << "only 晓澜 is multi-emotion";
  }
  CControlUI* face = CardControl(kXiaolan, L"lblAnchorFace");
  EXPECT_STREQ(face->GetBkImage().sDrawString.GetText(), L"images/anchor_xiaolan.png");
  EXPECT_EQ(CardControl(kXiaolan, L"lblAnchorName")->GetText().GetText(), std::wstring(L"晓澜"));
  EXPECT_EQ(CardControl(kXiaolan, L"lblAnchorDes")->GetText().GetText(), Voice(kXiaolan)->voiceDesc);
  EXPECT_TRUE(SaveWindowPng(L"voice-picker.png", m_picker->GetHandle()));
}

TEST_F(VoicePickerTest, CategoryOptionsSwitchPagesAndOnlyTheSecondShowsTheEmotionTip) {
  ASSERT_NE(OpenPicker(), nullptr);
  CControlUI* tip = m_driver->Find(L"emotionsTip");
  ASSERT_NE(tip, nullptr);
  EXPECT_FALSE(tip->IsVisible());
  for (int slot : {1, 2, 4, 1, 0}) {
    ASSERT_TRUE(m_driver->Click((L"voiceTypeOption" + std::to_wstring(slot)).c_str()));
    m_driver->PumpFor(50);
    EXPECT_EQ(CurrentPage(), slot);
    EXPECT_EQ(tip->IsVisible(), slot == 1) << slot;
  }
  ASSERT_TRUE(m_driver->Click(L"voiceTypeOption2"));
  m_driver->PumpFor(100);
  EXPECT_TRUE(SaveWindowPng(L"voice-picker-emotion-category.png", m_picker->GetHandle()));

  // The option row has two positions: the start, and moved by one option.
  CControlUI* row = m_driver->Find(L"hLayoutOption");
  const struct {
    const wchar_t* button;
    int left;
  } steps[] = {{L"btnPrevOption", 0}, {L"btnNextOption", -86}, {L"btnNextOption", -86},
               {L"btnPrevOption", 0}, {L"btnPrevOption", 0}};
  for (const auto& step : steps) {
    ASSERT_TRUE(m_driver->Click(step.button));
    EXPECT_EQ(row->GetPadding().left, step.left) << step.button;
  }
}

TEST_F(VoicePickerTest, MoreCategoriesThanSlotsFillTheNineSlotsWithoutFailing) {
  VoiceCatalog many;
  for (int id = 1; id <= 12; ++id) {
    many.categories.push_back(VoiceCategory{id, L"分类" + std::to_wstring(id), id == 3 ? 0 : 1});
    VoiceInfo voice = m_catalog.voices[static_cast<size_t>(id - 1)];
    voice.categoryId = id;
    many.voices.push_back(voice);
  }
  ASSERT_NE(OpenPicker(&many), nullptr);
  for (int slot = 0; slot < kVoiceCategorySlots; ++slot) {
    CControlUI* option = m_driver->Find((L"voiceTypeOption" + std::to_wstring(slot)).c_str());
    EXPECT_TRUE(option->IsVisible());
    EXPECT_EQ(option->GetText().GetText(), L"分类" + std::to_wstring(slot + 1));
    auto* tile = As<CContainerUI>(m_driver->Find((L"voiceTypeTileLayout" + std::to_wstring(slot)).c_str()), L"Container");
    // A category that counts no voices gets no cards.
    EXPECT_EQ(tile->GetCount(), slot == 2 ? 0 : 1) << slot;
  }
  ASSERT_TRUE(m_driver->Click(L"btnNextOption"));
  ASSERT_TRUE(m_driver->Click(L"voiceTypeOption8"));
  m_driver->PumpFor(50);
  EXPECT_EQ(CurrentPage(), 8);
}

TEST_F(VoicePickerTest, PicturesComeFromTheSkinByTheirCatalogueName) {
  ASSERT_NE(OpenPicker(), nullptr);
  CWindowManagerUI* manager = &m_picker->GetPaintManager();
  const struct {
    const wchar_t* avatar;
    const wchar_t* image;
  } cases[] = {
      {L"anchor_ava.png", L"images/anchor_ava.png"},
      {L"https://cdn.example.com/voices/anchor_leo.png?v=3", L"images/anchor_leo.png"},  // an address names its file
      {L"no_such_picture.png", L""},                                                    // not in the skin
      {L"../img/useBtn.png", L""},                                                      // not a plain name
      {L"C:\\Windows\\anchor_ava.png", L""},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(VoiceAvatarImage(manager, c.avatar), c.image) << c.avatar;
}

// --- Using a voice ---

TEST_F(VoicePickerTest, UseOnACardHandsTheCatalogueRecordToTheOwnerAndCloses) {
  ASSERT_NE(OpenPicker(), nullptr);
  ASSERT_TRUE(ClickCard(kRuoxi, L"btnUse"));
  m_driver->PumpFor(100);
  EXPECT_TRUE(m_watch.deleted);
  const auto chosen = ChosenVoices();
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].wParam, reinterpret_cast<WPARAM>(Voice(kRuoxi)));
  EXPECT_EQ(chosen[0].lParam, 0) << "the picker's own use keeps the editor text";
}

// Drives the detail window from inside its modal loop (a thread timer runs there).
struct DetailVisit {
  WatchedPicker* picker = nullptr;
  PickerWatch* watch = nullptr;
  const wchar_t* button = nullptr;  // clicked in the detail window
  bool opened = false;
  std::wstring name, description, example, face;
};
DetailVisit g_visit;

void CALLBACK VisitDetail(HWND, UINT, UINT_PTR timer, DWORD) {
  CVoiceExampleWnd* example = g_visit.picker->GetExampleWindow();
  if (example == nullptr || !IsWindowVisible(example->GetHandle())) return;
  KillTimer(nullptr, timer);
  g_visit.opened = true;
  g_visit.watch->detail = example->GetHandle();
  WindowDriver driver(example->GetPaintManager());
  driver.PumpFor(200);
  g_visit.name = driver.Find(L"lblAnchorName")->GetText().GetText();
  g_visit.description = driver.Find(L"lblAnchorDes")->GetText().GetText();
  g_visit.example = driver.Find(L"textAnchorExample")->GetText().GetText();
  g_visit.face = driver.Find(L"lblAnchorFace")->GetBkImage().sDrawString.GetText();
  SaveWindowPng(L"voice-example.png", example->GetHandle());
  driver.PostClick(g_visit.button);
}

TEST_F(VoicePickerTest, UseInTheDetailWindowClosesItFirstThenThePickerAndTakesTheExampleText) {
  ASSERT_NE(OpenPicker(), nullptr);
  g_visit = DetailVisit();
  g_visit.picker = m_picker;
  g_visit.watch = &m_watch;
  g_visit.button = L"btnUse";
  SetTimer(nullptr, 0, 100, VisitDetail);
  ASSERT_TRUE(ClickCard(kXiaolan, L"btnDetail"));  // returns when the detail window's loop has ended
  m_driver->PumpFor(200);

  ASSERT_TRUE(g_visit.opened);
  EXPECT_EQ(g_visit.name, L"晓澜");
  EXPECT_EQ(g_visit.description, Voice(kXiaolan)->voiceDesc);
  EXPECT_EQ(g_visit.example, Voice(kXiaolan)->text);
  EXPECT_EQ(g_visit.face, L"images/anchor_xiaolan.png");
  EXPECT_FALSE(IsWindow(m_watch.detail));
  EXPECT_TRUE(m_watch.deleted);
  EXPECT_FALSE(m_watch.destroyedInsideDetail) << "the picker closes only after the detail window's loop ended";
  const auto chosen = ChosenVoices();
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].wParam, reinterpret_cast<WPARAM>(Voice(kXiaolan)));
  EXPECT_EQ(chosen[0].lParam, 1) << "the detail window's use also takes the example text";
  EXPECT_EQ(m_reports, std::vector<int>{kReportVoiceTaken});
}

// The picker's sample ends as the detail window opens: one sample sounds at a time.
TEST_F(VoicePickerTest, ClosingTheDetailWindowKeepsThePickerOpen) {
  ASSERT_NE(OpenPicker(), nullptr);
  ASSERT_TRUE(ClickCard(kRuoxi, L"btnPlay"));
  ASSERT_TRUE(SamplePlays());
  g_visit = DetailVisit();
  g_visit.picker = m_picker;
  g_visit.watch = &m_watch;
  g_visit.button = L"btnClose";
  SetTimer(nullptr, 0, 100, VisitDetail);
  ASSERT_TRUE(ClickCard(kYunzhou, L"btnDetail"));
  m_driver->PumpFor(200);
  ASSERT_TRUE(g_visit.opened);
  EXPECT_FALSE(IsWindow(m_watch.detail));
  EXPECT_FALSE(m_watch.deleted);
  EXPECT_TRUE(ChosenVoices().empty());
  EXPECT_TRUE(m_reports.empty());
  EXPECT_FALSE(m_picker->GetPlayback().HasPlayer());
  EXPECT_FALSE(ShowsPause(kRuoxi));
}

// --- Samples ---

TEST_F(VoicePickerTest, PlayPauseResumeAndAnotherCardReplacesTheSample) {
  ASSERT_NE(OpenPicker(), nullptr);
  ASSERT_TRUE(ClickCard(kYunzhou, L"btnPlay"));
  EXPECT_TRUE(ShowsPause(kYunzhou));
  ASSERT_TRUE(SamplePlays());
  EXPECT_TRUE(m_picker->GetPlayback().GetStatus().playing);

  ASSERT_TRUE(ClickCard(kYunzhou, L"btnSuspend"));
  EXPECT_FALSE(ShowsPause(kYunzhou));
  EXPECT_TRUE(m_picker->GetPlayback().GetStatus().paused);
  ASSERT_TRUE(ClickCard(kYunzhou, L"btnPlay"));  // the held sample goes on; nothing is fetched again
  EXPECT_TRUE(m_picker->GetPlayback().GetStatus().playing);
  EXPECT_EQ(m_picker->GetPlayback().FetchCount(), 1);

  // Another card: the first sample's player is released at once and its card shows play.
  ASSERT_TRUE(ClickCard(kRuoxi, L"btnPlay"));
  EXPECT_FALSE(m_picker->GetPlayback().HasPlayer());
  EXPECT_FALSE(ShowsPause(kYunzhou));
  EXPECT_TRUE(ShowsPause(kRuoxi));
  ASSERT_TRUE(SamplePlays());
  EXPECT_EQ(m_picker->GetPlayingItem(), Card(kRuoxi));

  // Played to its end: the card shows play again and nothing is held.
  EXPECT_TRUE(PumpUntil([this] { return m_picker->GetPlayingItem() == nullptr; }, 60000));
  EXPECT_FALSE(ShowsPause(kRuoxi));
  EXPECT_FALSE(m_picker->GetPlayback().HasPlayer());
  EXPECT_EQ(m_instance.Count(SamplePath(kYunzhou)), 1);
  EXPECT_EQ(m_instance.Count(SamplePath(kRuoxi)), 1);
  EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(VoicePickerTest, EscapeClosesThePickerAndReleasesItsSample) {
  ASSERT_NE(OpenPicker(), nullptr);
  ASSERT_TRUE(ClickCard(kXiaolan, L"btnPlay"));
  ASSERT_TRUE(SamplePlays());
  m_driver->Key(VK_ESCAPE);
  m_driver->PumpFor(100);
  EXPECT_TRUE(m_watch.deleted);
  EXPECT_FALSE(m_watch.sampleLeftAtDestroy);
}

TEST_F(VoicePickerTest, AFailedSampleSaysSoLeavesTheWindowUsableAndALaterTrySucceeds) {
  ASSERT_NE(OpenPicker(), nullptr);
  const std::wstring cached = m_folder / (L"voiceType_" + std::to_wstring(kYunzhou) + L".mp3");
  for (const char* fault : {R"({"http_status":500})", R"({"body":"<html>busy</html>"})", R"({"drop":true})"}) {
    SCOPED_TRACE(fault);
    m_messages.clear();
    ASSERT_TRUE(m_instance.Script(SamplePath(kYunzhou), fault));
    ASSERT_TRUE(ClickCard(kYunzhou, L"btnPlay"));
    ASSERT_TRUE(PumpUntil([this] { return !m_messages.messages().empty(); }));
    EXPECT_EQ(m_messages.messages(), std::vector<std::wstring>{kSampleFailedMessage});
    EXPECT_FALSE(ShowsPause(kYunzhou));
    EXPECT_EQ(m_picker->GetPlayingItem(), nullptr);
    EXPECT_FALSE(ScratchFolder::Exists(cached)) << "a failed sample is not cached";
    // The window still answers.
    ASSERT_TRUE(m_driver->Click(L"voiceTypeOption1"));
    m_driver->PumpFor(50);
    EXPECT_EQ(CurrentPage(), 1);
    ASSERT_TRUE(m_driver->Click(L"voiceTypeOption0"));
    m_driver->PumpFor(50);
  }
  // Without a fault the next try plays and keeps the sample.
  m_messages.clear();
  ASSERT_TRUE(ClickCard(kYunzhou, L"btnPlay"));
  ASSERT_TRUE(SamplePlays());
  EXPECT_TRUE(ShowsPause(kYunzhou));
  EXPECT_TRUE(ScratchFolder::Exists(cached));
  EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(VoicePickerTest, ASlowSampleKeepsTheWindowUsableAndClosingAbandonsIt) {
  ASSERT_NE(OpenPicker(), nullptr);
  ASSERT_TRUE(m_instance.Script(SamplePath(kRuoxi), R"({"delay_ms":2500})"));
  ASSERT_TRUE(ClickCard(kRuoxi, L"btnPlay"));
  m_driver->PumpFor(300);
  ASSERT_TRUE(m_picker->GetPlayback().IsFetching());
  ASSERT_TRUE(m_driver->Click(L"voiceTypeOption3"));
  m_driver->PumpFor(50);
  EXPECT_EQ(CurrentPage(), 3) << "the window answers while the sample is on its way";
  EXPECT_TRUE(m_picker->GetPlayback().IsFetching());
  ASSERT_TRUE(m_driver->Click(L"voiceTypeOption0"));
  ASSERT_TRUE(SamplePlays());  // it arrives in the end and plays
  EXPECT_TRUE(ShowsPause(kRuoxi));

  // A slow sample of another voice, and the window closed while it is fetched.
  ASSERT_TRUE(m_instance.Script(SamplePath(kYunzhou), R"({"delay_ms":20000})"));
  ASSERT_TRUE(ClickCard(kYunzhou, L"btnPlay"));
  EXPECT_FALSE(m_picker->GetPlayback().HasPlayer()) << "the previous sample was released";
  m_driver->PumpFor(300);
  ASSERT_TRUE(m_picker->GetPlayback().IsFetching());
  ASSERT_TRUE(m_driver->Click(L"btnClose"));
  m_driver->PumpFor(100);
  EXPECT_TRUE(m_watch.deleted);
  EXPECT_FALSE(m_watch.sampleLeftAtDestroy);
  EXPECT_TRUE(m_messages.messages().empty()) << "an abandoned sample is no failure";
  EXPECT_TRUE(ChosenVoices().empty());
}

// --- Emotion tiles ---

// A window with the text-to-speech page's emotion strip: the fixed neutral
// option and the tile that receives the emotion items.
class EmotionStrip : public WindowImplBase {
 public:
  const UIChar* GetWindowClassName() const override { return L"QuilloraTestEmotionStrip"; }
  CUIString GetSkinFolder() override { return CUIString(L""); }
  CUIString GetSkinFile() override {
    return CUIString(
        L"<Window size=\"420,60\"><Include source=\"fonts.xml\" /><HorizontalLayout bkcolor=\"#FFFFFFFF\" inset=\"10,17,10,17\">"
        L"<Option name=\"OptionEmotion1\" width=\"70\" height=\"26\" group=\"group\" selected=\"true\" userdata=\"neutral\" "
        L"text=\"原声\" textpadding=\"38,0,6,0\" font=\"12\" selectedtextcolor=\"#FF5B7AF2\" "
        L"normalimage=\"file='img/neutral.png' dest='8,0,34,26'\" />"
        L"<TileLayout name=\"tileEmotion\" columns=\"4\" itemsize=\"70,26\" childpadding=\"8\" padding=\"8,0,0,0\" />"
        L"</HorizontalLayout></Window>");
  }
  void Notify(UINotify& msg) override {
    if (msg.sType.EqualsText(L"selectchanged") && msg.pSender != nullptr) {
      auto* option = static_cast<COptionUI*>(msg.pSender->GetInterface(L"Option"));
      if (option != nullptr && option->IsSelected()) chosen.push_back(msg.pSender->GetUserData().GetText());
    }
  }
  std::vector<std::wstring> chosen;  // user data of each newly selected option
};

TEST_F(VoicePickerTest, EmotionTilesShowTheirIconAndNameAndReportTheirKey) {
  EmotionStrip strip;
  ASSERT_NE(strip.CreateWithSize(m_window.handle(), L"emotions", 0x90000000, 0), nullptr);
  WindowDriver driver(strip.GetPaintManager());
  auto* tile = As<CContainerUI>(driver.Find(L"tileEmotion"), L"Container");
  ASSERT_NE(tile, nullptr);
  for (const VoiceEmotion& emotion : m_catalog.emotions) {
    if (emotion.emotion != L"neutral") tile->AddItem(new CEmotionItem(emotion));
  }
  driver.PumpFor(200);
  ASSERT_EQ(tile->GetCount(), 4);
  for (int i = 0; i < tile->GetCount(); ++i) {
    auto* item = As<CEmotionItem>(tile->GetItemAt(i), L"CEmotionItemUI");
    ASSERT_NE(item, nullptr);
    auto* option = As<COptionUI>(item->GetOption(), L"Option");
    ASSERT_NE(option, nullptr);
    const VoiceEmotion& emotion = item->emotion();
    EXPECT_EQ(option->GetText().GetText(), emotion.name);
    EXPECT_EQ(option->GetUserData().GetText(), emotion.emotion);
    EXPECT_EQ(std::wstring(option->GetNormalImage()), L"file='img/" + emotion.emotion + L".png' dest = '8,0,34,26'");
    EXPECT_STREQ(option->GetGroup().GetText(), L"group");
  }
  EXPECT_TRUE(SaveWindowPng(L"emotion-tiles.png", strip.GetHandle()));

  // A tile's option takes the selection from the neutral one and names its key.
  CControlUI* sad = As<CEmotionItem>(tile->GetItemAt(1), L"CEmotionItemUI")->GetOption();
  const CUIRect pos = sad->GetPos();
  driver.ClickAt(POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2});
  driver.PumpFor(50);
  EXPECT_EQ(strip.chosen, std::vector<std::wstring>{L"sad"});
  EXPECT_FALSE(As<COptionUI>(driver.Find(L"OptionEmotion1"), L"Option")->IsSelected());
  DestroyWindow(strip.GetHandle());
}

}  // namespace
