// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The rich edit over the platform's windowless text engine under Wine, driven
// through the window's own messages: the engine binds to our host (interface
// ids and call layout checked by real calls), long Chinese text round-trips,
// Return and Ctrl+Return insert a break or become "return" as configured,
// the tip shows while the control is empty or holds the tip's own text,
// "textchanged" comes for every edit, the user's and the program's (also
// when the handler writes the text back), input-method characters need the
// focus, a scroll bar appears for long text, the text area follows moves,
// system keys go on to the window, the limit is normalised, and teardown
// frees the host. A stand-in engine shows that a handler deleting the
// control does not free the engine inside its own call, and a failing one
// the control without an engine.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/controls/richedit/RichEditUI.h"
#include "ui/controls/richedit/RichEditHost.h"
#include "ui/controls/richedit/TextServicesApi.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

const wchar_t kSkinHead[] =
    L"<Window size=\"420,300\" defaultfontcolor=\"#FF1030C0\">"
    L"<Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"16\" default=\"true\" />"
    L"<VerticalLayout name=\"page\" bkcolor=\"#FFFFFFFF\">";
const wchar_t kSkinTail[] = L"</VerticalLayout></Window>";

std::wstring Skin(const std::wstring& body) { return kSkinHead + body + kSkinTail; }

// One rich edit named "editor" at a fixed place, with extra attributes.
std::wstring EditorSkin(const std::wstring& attributes) {
  return Skin(L"<RichEdit name=\"editor\" float=\"true\" pos=\"20,20,400,200\" bordercolor=\"#FF7A8CA5\""
              L" bordersize=\"1\" " + attributes + L" />");
}

// Chinese text of the given length (cycling through a few common characters).
std::wstring ChineseText(size_t length) {
  const std::wstring pool = L"文字语音转换器把合成的声音保存为文件朗读中国汉字";
  std::wstring text;
  for (size_t i = 0; i < length; ++i) text += pool[i % pool.size()];
  return text;
}

// Presses a key with Ctrl held (the thread's key state says so while the
// messages are processed), then releases Ctrl.
void KeyWithCtrl(testwindows::WindowDriver& driver, UINT key) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[VK_CONTROL] = 0x80;
  state[VK_LCONTROL] = 0x80;
  SetKeyboardState(state);
  driver.Key(key);
  state[VK_CONTROL] = 0;
  state[VK_LCONTROL] = 0;
  SetKeyboardState(state);
}

struct EditorFixture {
  explicit EditorFixture(const std::wstring& attributes) : window(EditorSkin(attributes)) {
    editor = window.Find<CRichEditUI>(L"editor", L"RichEdit");
  }
  // Clicks into the editor so that it has the keyboard focus.
  void Focus() {
    window.driver().Click(L"editor");
    window.driver().Pump();
  }
  SkinnedTestWindow window;
  CRichEditUI* editor = nullptr;
};

}  // namespace

// The engine is made through our host: the interface id is the engine's
// (it answers it), and the calls reach the right slots in both directions
// (initial text, messages, selection; the host's client rectangle).
TEST(RichEditTest, EngineBindsToTheHost) {
  EditorFixture f(L"text=\"起始文字\"");
  ASSERT_TRUE(f.window.ok());
  ASSERT_NE(f.editor, nullptr);
  ASSERT_TRUE(f.editor->HasEngine());
  EXPECT_STREQ(f.editor->GetText().GetText(), L"起始文字");
  EXPECT_EQ(f.editor->GetTextLength(), 4);
  EXPECT_GT(CRichEditHost::GetLiveCount(), 0);
  const CUIRect area = f.editor->GetTextRect();
  EXPECT_EQ(area.left, 20);
  EXPECT_EQ(area.top, 20);
  EXPECT_EQ(area.right, 400);
  // Selection and replacement go through EM_EXSETSEL / EM_REPLACESEL.
  f.editor->SetSel(2, 4);
  CHARRANGE range = {};
  f.editor->GetSel(range);
  EXPECT_EQ(range.cpMin, 2);
  EXPECT_EQ(range.cpMax, 4);
  f.editor->ReplaceSel(L"声音", false);
  EXPECT_STREQ(f.editor->GetText().GetText(), L"起始声音");
  f.editor->InsertText(0, L"[", false);
  f.editor->AppendText(L"]", false);
  EXPECT_STREQ(f.editor->GetText().GetText(), L"[起始声音]");
}

TEST(RichEditTest, FiveThousandChineseCharactersRoundTrip) {
  EditorFixture f(L"vscrollbar=\"true\"");
  ASSERT_NE(f.editor, nullptr);
  ASSERT_TRUE(f.editor->HasEngine());
  const std::wstring text = ChineseText(5000);
  f.editor->SetText(text.c_str());
  EXPECT_EQ(f.editor->GetTextLength(), 5000);
  const CUIString back = f.editor->GetText();
  EXPECT_EQ(back.GetLength(), 5000);
  EXPECT_TRUE(back.EqualsText(text.c_str()));
}

// Return and Ctrl+Return: a break in the text or a "return" to the window,
// never both; the character that follows a diverted key inserts nothing.
TEST(RichEditTest, ReturnInsertsABreakOrNotifies) {
  struct Case {
    const wchar_t* attributes;
    bool ctrl;
    bool expectBreak;
  };
  const Case cases[] = {
      {L"", false, true},
      {L"", true, true},
      {L"wantreturn=\"false\"", false, false},
      {L"wantreturn=\"false\"", true, false},
      {L"wantctrlreturn=\"false\"", false, true},
      {L"wantctrlreturn=\"false\"", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.attributes) + (c.ctrl ? L" ctrl" : L""));
    EditorFixture f(c.attributes);
    ASSERT_NE(f.editor, nullptr);
    ASSERT_TRUE(f.editor->HasEngine());
    f.Focus();
    ASSERT_TRUE(f.editor->IsFocused());
    f.window.driver().TypeText(L"ab");
    if (c.ctrl) {
      KeyWithCtrl(f.window.driver(), VK_RETURN);
    } else {
      f.window.driver().Key(VK_RETURN);
    }
    f.window.driver().TypeText(L"c");
    const std::wstring text = f.editor->GetText().GetText();
    const bool hasBreak = text.find_first_of(L"\r\n\x0B") != std::wstring::npos;
    EXPECT_EQ(hasBreak, c.expectBreak) << text;
    EXPECT_EQ(text.substr(0, 2), L"ab");
    EXPECT_EQ(text.back(), L'c');
    EXPECT_EQ(f.window.recorder.Of(L"return").size(), c.expectBreak ? 0u : 1u);
  }
}

// The tip shows in its colour while the control is empty and while its
// content is the tip's own text; without a colour of its own it takes the
// window's disabled text colour.
TEST(RichEditTest, TipWhileEmptyOrHoldingTheTip) {
  EditorFixture f(L"tipvalue=\"请输入文字\" tipvaluecolor=\"#FFFF0000\"");
  ASSERT_NE(f.editor, nullptr);
  const CUIRect tipArea(21, 21, 200, 60);
  auto count = [&](bool red) {
    return testcontrols::CountPixels(f.window.Pixels(tipArea), [red](int r, int g, int b) {
      // red: the tip colour; otherwise the window's text colour (#1030C0)
      return red ? (r > 180 && g < 90 && b < 90) : (b > 120 && r < 80 && g < 100);
    });
  };
  EXPECT_GT(count(true), 10);
  f.editor->SetText(L"正文");
  EXPECT_EQ(count(true), 0);
  EXPECT_GT(count(false), 10);
  f.editor->SetText(L"请输入文字");
  EXPECT_GT(count(true), 10);
  EXPECT_EQ(count(false), 0) << "the content is drawn over the tip";
  f.editor->SetText(L"");
  EXPECT_GT(count(true), 10);

  EditorFixture plain(L"tipvalue=\"提示\"");
  ASSERT_NE(plain.editor, nullptr);
  EXPECT_EQ(plain.editor->GetTipValueColor(), plain.window.manager().GetDefaultDisabledColor());
}

// The window's default text colour, latched at the first paint, reaches the
// engine: typed text is drawn in it, not in black.
TEST(RichEditTest, DefaultTextColourReachesTheEngine) {
  EditorFixture f(L"");
  ASSERT_NE(f.editor, nullptr);
  f.window.driver().Pump();
  EXPECT_EQ(f.editor->GetTextColor(), 0xFF1030C0u);
  f.editor->SetText(L"蓝色文字蓝色文字");
  const auto pixels = f.window.Pixels(CUIRect(21, 21, 200, 50));
  const int blue = testcontrols::CountPixels(pixels, [](int r, int g, int b) { return b > 120 && r < 80 && g < 100; });
  const int black = testcontrols::CountPixels(pixels, [](int r, int g, int b) { return r + g + b < 60; });
  EXPECT_GT(blue, 10);
  EXPECT_EQ(black, 0);
}

// "textchanged" for every edit once the event mask asks for it: each typed
// character and each of the program's own text operations, none for a
// change of the default colour or font, none without ENM_CHANGE. A handler
// that cuts the text (writing it back) hears its own cut and ends with the
// cut text.
TEST(RichEditTest, TextChangedForEveryEdit) {
  EditorFixture f(L"");
  ASSERT_NE(f.editor, nullptr);
  f.Focus();
  f.window.driver().TypeText(L"无");
  EXPECT_TRUE(f.window.recorder.Of(L"textchanged").empty()) << "sent without ENM_CHANGE";

  f.editor->SetEventMask(ENM_CHANGE);
  f.window.recorder.seen.clear();
  f.window.driver().TypeText(L"语音");
  EXPECT_EQ(f.window.recorder.Of(L"textchanged").size(), 2u);

  struct Edit {
    const char* name;
    std::function<void()> run;
  };
  CRichEditUI* editor = f.editor;
  const Edit edits[] = {
      {"SetText", [editor] { editor->SetText(L"程序"); }},
      {"AppendText", [editor] { editor->AppendText(L"追加"); }},
      {"InsertText", [editor] { editor->InsertText(0, L"前"); }},
      {"ReplaceSel", [editor] { editor->ReplaceSel(L"换", true); }},
  };
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.name);
    f.window.recorder.seen.clear();
    edit.run();
    EXPECT_FALSE(f.window.recorder.Of(L"textchanged").empty());
  }
  f.window.recorder.seen.clear();
  f.editor->SetTextColor(0xFF205080);
  f.editor->SetFont(1);
  EXPECT_TRUE(f.window.recorder.Of(L"textchanged").empty()) << "a format change is not a text change";

  // The cut of the main window: at most 5 characters, written back from the handler.
  f.editor->SetText(L"");
  f.window.recorder.seen.clear();
  int depth = 0;
  int maxDepth = 0;
  f.window.recorder.hook = [&](UINotify& msg) {
    if (!msg.sType.EqualsText(L"textchanged")) return;
    ++depth;
    maxDepth = depth > maxDepth ? depth : maxDepth;
    const CUIString text = editor->GetText();
    if (text.GetLength() > 5) {
      editor->SetText(text.Left(5).GetText());
      editor->SetSel(-1, -1);
    }
    --depth;
  };
  f.window.driver().TypeText(L"一二三四五六七");
  f.window.recorder.hook = nullptr;
  EXPECT_GE(f.window.recorder.Of(L"textchanged").size(), 7u);
  EXPECT_LE(maxDepth, 2);  // the cut's own change is heard at most once from inside
  EXPECT_STREQ(f.editor->GetText().GetText(), L"一二三四五");
}

// Input-method characters are typed text: an editor without the focus
// leaves them to the window.
TEST(RichEditTest, InputMethodCharactersNeedTheFocus) {
  EditorFixture f(L"");
  ASSERT_NE(f.editor, nullptr);
  ASSERT_TRUE(f.editor->HasEngine());
  f.window.manager().SetFocusControl(nullptr, true);
  ASSERT_FALSE(f.editor->IsFocused());
  bool handled = false;
  f.editor->FilterMessage(WM_IME_CHAR, L'字', 1, handled);
  EXPECT_FALSE(handled) << "left to the window";

  f.Focus();
  ASSERT_TRUE(f.editor->IsFocused());
  handled = false;
  f.editor->FilterMessage(WM_IME_CHAR, L'字', 1, handled);
  EXPECT_TRUE(handled) << "the focused editor's engine takes it";
}

// Long text shows the vertical bar; short text hides it again. A control
// whose bar was removed keeps working when the engine reports ranges.
TEST(RichEditTest, ScrollBarAppearsForLongText) {
  const std::wstring body =
      L"<RichEdit name=\"editor\" float=\"true\" pos=\"20,20,380,200\" vscrollbar=\"true\" autovscroll=\"true\""
      L" vscrollbarstyle=\"thumbcolor=&quot;#FF8FA0B8&quot; bkcolor=&quot;#FFEEF1F5&quot; showbutton1=&quot;false&quot;"
      L" showbutton2=&quot;false&quot; width=&quot;10&quot;\""
      L" bordercolor=\"#FF7A8CA5\" bordersize=\"1\" textpadding=\"4,4,4,4\" />"
      L"<RichEdit name=\"nobar\" float=\"true\" pos=\"20,210,400,290\" vscrollbar=\"true\" />";
  SkinnedTestWindow window(Skin(body));
  auto* editor = window.Find<CRichEditUI>(L"editor", L"RichEdit");
  auto* nobar = window.Find<CRichEditUI>(L"nobar", L"RichEdit");
  ASSERT_NE(editor, nullptr);
  ASSERT_NE(nobar, nullptr);
  std::wstring lines;
  for (int i = 0; i < 30; ++i) lines += L"第" + std::to_wstring(i) + L"行：文字语音转换器\r";
  editor->SetText(lines.c_str());
  window.driver().Pump();
  window.Screenshot(L"ui-controls-richedit-long.png");
  ASSERT_NE(editor->GetVerticalScrollBar(), nullptr);
  EXPECT_TRUE(editor->GetVerticalScrollBar()->IsVisible());
  EXPECT_GT(editor->GetVerticalScrollBar()->GetScrollRange(), 0);
  const CUIRect barPos = editor->GetVerticalScrollBar()->GetPos();
  EXPECT_EQ(barPos.top, 20);
  EXPECT_EQ(barPos.bottom, 200);
  EXPECT_EQ(barPos.right, 380);
  EXPECT_EQ(editor->GetTextRect().right, barPos.left - 4);  // the text area makes room for the bar
  // The wheel scrolls the view and the bar follows.
  window.driver().Scroll(L"editor", -3);
  EXPECT_GT(editor->GetVerticalScrollBar()->GetScrollPos(), 0);
  editor->SetText(L"短");
  window.driver().Pump();
  EXPECT_FALSE(editor->GetVerticalScrollBar()->IsVisible());

  nobar->SetAttribute(L"vscrollbar", L"false");
  ASSERT_EQ(nobar->GetVerticalScrollBar(), nullptr);
  nobar->SetText(lines.c_str());
  window.driver().Pump();
  EXPECT_EQ(nobar->GetTextLength(), static_cast<long>(lines.size()));
}

// Moving the control keeps the text padding and moves the engine's area.
TEST(RichEditTest, MoveKeepsThePadding) {
  EditorFixture f(L"textpadding=\"10,6,10,6\"");
  ASSERT_NE(f.editor, nullptr);
  const CUIRect before = f.editor->GetTextRect();
  EXPECT_EQ(before.left, f.editor->GetPos().left + 10);
  EXPECT_EQ(before.top, f.editor->GetPos().top + 6);
  f.editor->Move(CUISize(7, 9), false);
  const CUIRect after = f.editor->GetTextRect();
  EXPECT_EQ(after.left, before.left + 7);
  EXPECT_EQ(after.top, before.top + 9);
  EXPECT_EQ(after.right, before.right + 7);
  EXPECT_EQ(after.bottom, before.bottom + 9);
}

// Alt+F4, Alt+Space and F10 are left to the window; ordinary keys are taken.
TEST(RichEditTest, SystemKeysGoOnToTheWindow) {
  EditorFixture f(L"");
  ASSERT_NE(f.editor, nullptr);
  f.Focus();
  ASSERT_TRUE(f.editor->IsFocused());
  struct Case {
    UINT message;
    WPARAM key;
    bool handled;
  };
  const Case cases[] = {
      {WM_SYSKEYDOWN, VK_F4, false},
      {WM_SYSKEYDOWN, VK_SPACE, false},
      {WM_SYSCHAR, L' ', false},
      {WM_SYSKEYDOWN, VK_F10, false},
      {WM_KEYDOWN, VK_LEFT, true},
  };
  for (const Case& c : cases) {
    bool handled = false;
    f.editor->FilterMessage(c.message, c.key, 0x20000001, handled);
    EXPECT_EQ(handled, c.handled) << c.message << " " << c.key;
  }
}

// A limit of 0 or less means the engine's default; a real limit stops typing.
TEST(RichEditTest, LimitIsNormalised) {
  EditorFixture f(L"");
  ASSERT_NE(f.editor, nullptr);
  for (int limit : {0, -3}) {
    f.editor->SetLimitText(limit);
    EXPECT_EQ(f.editor->GetLimitText(), 32767);
  }
  f.editor->SetLimitText(3);
  f.Focus();
  f.window.driver().TypeText(L"一二三四五");
  EXPECT_EQ(f.editor->GetTextLength(), 3);
}

// Teardown with the engine focused and a timer running: the host is released
// to its last reference and no callback reaches the deleted control.
TEST(RichEditTest, TeardownFreesTheHost) {
  const int before = CRichEditHost::GetLiveCount();
  {
    EditorFixture f(L"text=\"文字\"");
    ASSERT_NE(f.editor, nullptr);
    f.Focus();
    f.window.driver().TypeText(L"再");
    EXPECT_EQ(CRichEditHost::GetLiveCount(), before + 1);
    auto* page = f.window.Find<CContainerUI>(L"page", L"Container");
    ASSERT_NE(page, nullptr);
    page->RemoveItem(f.editor);
    f.window.driver().PumpFor(100);
    EXPECT_EQ(CRichEditHost::GetLiveCount(), before);
  }
  EXPECT_EQ(CRichEditHost::GetLiveCount(), before);
}

TEST(RichEditTest, ScreenshotWithChineseText) {
  EditorFixture f(L"vscrollbar=\"true\" textpadding=\"6,6,6,6\" tipvalue=\"请输入要转换的文字\"");
  ASSERT_NE(f.editor, nullptr);
  f.editor->SetText(L"文字语音转换器：把文字转换为语音文件，也把语音文件转换为文字。\r第二段：朗读中文。");
  f.Focus();
  EXPECT_TRUE(f.window.Screenshot(L"ui-controls-richedit.png"));

  // The picture shows the text in the window's default colour (blue) on
  // three lines (the first paragraph wraps once), inside the border.
  const CUIRect pos = f.editor->GetPos();
  const std::vector<DWORD> pixels = f.window.Pixels(pos);
  const int width = pos.GetWidth();
  std::vector<int> textRows;
  for (int y = 0; y < pos.GetHeight(); ++y) {
    int blue = 0;
    for (int x = 0; x < width; ++x) {
      const DWORD p = pixels[static_cast<size_t>(y) * width + x];
      const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      blue += b > r + 80 && b > g + 60 ? 1 : 0;
    }
    if (blue > 3) textRows.push_back(y);
  }
  ASSERT_FALSE(textRows.empty()) << "no text drawn";
  EXPECT_LT(textRows.front(), 6 + 12) << "the first line starts below the padding";
  EXPECT_GT(textRows.back() - textRows.front(), 45) << "the text shows fewer than its three lines";
  EXPECT_EQ(pixels[static_cast<size_t>(pos.GetHeight() / 2) * width], 0x7A8CA5u) << "the left border";
}

namespace {

// A stand-in for the platform's engine: it answers every call plainly, turns
// each WM_CHAR into EN_CHANGE to its host, and notes whether it was
// deactivated or lost its last reference while that call was still running.
class StandInEngine : public ITextServicesApi {
 public:
  static StandInEngine* current;  // the engine the factory made last
  static HRESULT WINAPI Create(IUnknown*, ITextHostApi* host, IUnknown** engine) {
    current = new StandInEngine(host);
    *engine = current;
    return S_OK;
  }

  ITextHostApi* host;
  LONG references = 1;
  bool inCall = false;
  bool deactivated = false;
  bool goneDuringCall = false;

  explicit StandInEngine(ITextHostApi* h) : host(h) {}
  virtual ~StandInEngine() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!IsEqualIID(iid, kIidTextServices) && !IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  // Kept (the test reads it afterwards); only the count is noted.
  ULONG STDMETHODCALLTYPE Release() override {
    if (--references == 0 && inCall) goneDuringCall = true;
    return static_cast<ULONG>(references);
  }
  HRESULT TRELLIS_TXCALL TxSendMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
    if (result != nullptr) *result = 0;
    if (msg == WM_CHAR) {
      inCall = true;
      host->TxNotify(EN_CHANGE, nullptr);
      // The engine goes on with its call: its state must still be there.
      if (deactivated) goneDuringCall = true;
      inCall = false;
    }
    return S_OK;
  }
  HRESULT TRELLIS_TXCALL TxDraw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC, LPCRECTL, LPCRECTL, LPRECT,
                                BOOL(CALLBACK*)(DWORD), DWORD, LONG) override {
    return S_OK;
  }
  HRESULT TRELLIS_TXCALL TxGetHScroll(LONG*, LONG*, LONG*, LONG*, BOOL*) override { return E_NOTIMPL; }
  HRESULT TRELLIS_TXCALL TxGetVScroll(LONG*, LONG*, LONG*, LONG*, BOOL*) override { return E_NOTIMPL; }
  HRESULT TRELLIS_TXCALL OnTxSetCursor(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC, LPCRECT, INT, INT) override {
    return S_OK;
  }
  HRESULT TRELLIS_TXCALL TxQueryHitPoint(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC, LPCRECT, INT, INT,
                                         DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT TRELLIS_TXCALL OnTxInPlaceActivate(LPCRECT) override { return S_OK; }
  HRESULT TRELLIS_TXCALL OnTxInPlaceDeactivate() override {
    deactivated = true;
    if (inCall) goneDuringCall = true;
    return S_OK;
  }
  HRESULT TRELLIS_TXCALL OnTxUIActivate() override { return S_OK; }
  HRESULT TRELLIS_TXCALL OnTxUIDeactivate() override { return S_OK; }
  HRESULT TRELLIS_TXCALL TxGetText(BSTR*) override { return E_NOTIMPL; }
  HRESULT TRELLIS_TXCALL TxSetText(LPCWSTR) override { return S_OK; }
  HRESULT TRELLIS_TXCALL TxGetCurTargetX(LONG*) override { return E_NOTIMPL; }
  HRESULT TRELLIS_TXCALL TxGetBaseLinePos(LONG*) override { return E_NOTIMPL; }
  HRESULT TRELLIS_TXCALL TxGetNaturalSize(DWORD, HDC, HDC, DVTARGETDEVICE*, DWORD, const SIZEL*, LONG*,
                                          LONG* height) override {
    if (height != nullptr) *height = 0;
    return S_OK;
  }
  HRESULT TRELLIS_TXCALL TxGetDropTarget(IDropTarget**) override { return E_NOTIMPL; }
  HRESULT TRELLIS_TXCALL OnTxPropertyBitsChange(DWORD, DWORD) override { return S_OK; }
  HRESULT TRELLIS_TXCALL TxGetCachedSize(DWORD*, DWORD*) override { return E_NOTIMPL; }
};
StandInEngine* StandInEngine::current = nullptr;

HRESULT WINAPI FailingEngine(IUnknown*, ITextHostApi*, IUnknown** engine) {
  *engine = nullptr;
  return E_FAIL;
}

// Hosts made while it lives get their engine from `factory`.
struct EngineFactoryScope {
  explicit EngineFactoryScope(CreateTextServicesProc factory) { CRichEditHost::SetEngineFactory(factory); }
  ~EngineFactoryScope() { CRichEditHost::SetEngineFactory(nullptr); }
};

}  // namespace

// A "textchanged" handler that deletes the control: the engine is
// deactivated and released only once the call it was running has returned.
TEST(RichEditTest, HandlerDeletingTheControlLeavesTheEngineItsCall) {
  EngineFactoryScope engine(&StandInEngine::Create);
  const int hostsBefore = CRichEditHost::GetLiveCount();
  EditorFixture f(L"");
  ASSERT_NE(f.editor, nullptr);
  ASSERT_TRUE(f.editor->HasEngine());
  StandInEngine* standIn = StandInEngine::current;
  ASSERT_NE(standIn, nullptr);
  f.Focus();
  ASSERT_TRUE(f.editor->IsFocused());
  auto* page = f.window.Find<CContainerUI>(L"page", L"Container");
  ASSERT_NE(page, nullptr);
  bool deleted = false;
  f.window.recorder.hook = [&](UINotify& msg) {
    if (!msg.sType.EqualsText(L"textchanged") || deleted) return;
    deleted = true;
    page->RemoveItem(f.editor, true);
    f.editor->Delete();
  };
  f.window.driver().TypeText(L"a");
  f.window.recorder.hook = nullptr;
  ASSERT_TRUE(deleted);
  EXPECT_FALSE(standIn->goneDuringCall);
  EXPECT_TRUE(standIn->deactivated);
  EXPECT_EQ(standIn->references, 0);
  EXPECT_EQ(CRichEditHost::GetLiveCount(), hostsBefore);
  delete standIn;
  StandInEngine::current = nullptr;
}

// Without an engine (the platform's cannot be made) the control keeps and
// paints its stored text, its text operations do nothing, it takes no input
// and sends nothing.
TEST(RichEditTest, WithoutAnEngineTheStoredTextIsAllThereIs) {
  EngineFactoryScope engine(&FailingEngine);
  EditorFixture f(L"text=\"存储的文字\" tipvalue=\"提示\" tipvaluecolor=\"#FFFF0000\"");
  ASSERT_NE(f.editor, nullptr);
  EXPECT_FALSE(f.editor->HasEngine());
  EXPECT_STREQ(f.editor->GetText().GetText(), L"存储的文字");
  EXPECT_EQ(f.editor->GetTextLength(), 0);
  EXPECT_EQ(f.editor->SetSel(0, -1), 0);
  EXPECT_EQ(f.editor->AppendText(L"追加"), 0);
  EXPECT_EQ(f.editor->SetEventMask(ENM_CHANGE), 0u);
  LRESULT result = 7;
  EXPECT_EQ(f.editor->TxSendMessage(WM_CHAR, L'x', 0, &result), S_FALSE);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(f.editor->GetTextRect().GetWidth(), 0);
  bool handled = false;
  f.editor->FilterMessage(WM_KEYDOWN, VK_LEFT, 0, handled);
  EXPECT_FALSE(handled);

  const CUIRect textArea(21, 21, 200, 60);
  auto inColour = [&](bool red) {
    return testcontrols::CountPixels(f.window.Pixels(textArea), [red](int r, int g, int b) {
      return red ? (r > 180 && g < 90 && b < 90) : (b > 120 && r < 80 && g < 100);
    });
  };
  EXPECT_GT(inColour(false), 10) << "the stored text in the text colour";
  EXPECT_EQ(inColour(true), 0);
  f.window.Screenshot(L"ui-controls-richedit-without-engine.png");
  f.editor->SetText(L"");
  EXPECT_STREQ(f.editor->GetText().GetText(), L"");
  EXPECT_GT(inColour(true), 10) << "the tip once the text is empty";
  EXPECT_TRUE(f.window.recorder.Of(L"textchanged").empty());
}
