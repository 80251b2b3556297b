// Test cases run alone: they check which window has the keyboard focus, which other tests' windows take.
// The single-line edit under Wine, driven through the window's own messages:
// a click opens the native edit over the control, typed characters come back
// as "textchanged" with the text, Enter as "return"; focus moving away closes
// the native edit and keeps the text; "maxchar" reaches an open edit; hidden
// or clipped-away ancestors hide it; a control deleted while its edit is open
// (by the test or by a notification handler) goes cleanly; a native edit that
// cannot be made leaves nothing behind and the next click tries again;
// password, read-only and select-all settings; screenshots of a focused edit
// with Chinese text, in a plain and in a layered window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ManagedTestWindow.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ContainerUI.h"
#include "ui/controls/edit/EditUI.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

// A page of edits: two free edits, one inside a box that can be hidden, one
// that lies outside its clipping box's client area, a password edit, a
// read-only edit and one with state images (its focused image is missing).
const wchar_t kEditSkin[] =
    L"<Window size=\"420,260\">"
    L"<Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"16\" default=\"true\" />"
    L"<VerticalLayout name=\"page\" bkcolor=\"#FFE8EDF3\">"
    L"<Edit name=\"editName\" float=\"true\" pos=\"20,20,260,50\" bordercolor=\"#FF7A8CA5\" bordersize=\"1\" />"
    L"<Edit name=\"editOther\" float=\"true\" pos=\"20,60,260,90\" bordercolor=\"#FF7A8CA5\" bordersize=\"1\" />"
    L"<Container name=\"box\" float=\"true\" pos=\"20,100,280,140\">"
    L"<Edit name=\"editInBox\" float=\"true\" pos=\"0,5,240,35\" />"
    L"</Container>"
    L"<Container name=\"clip\" float=\"true\" pos=\"300,20,400,40\">"
    L"<Edit name=\"editClipped\" float=\"true\" pos=\"0,60,90,90\" />"
    L"</Container>"
    L"<Edit name=\"editPassword\" float=\"true\" pos=\"20,150,260,180\" password=\"true\" />"
    L"<Edit name=\"editReadOnly\" float=\"true\" pos=\"20,190,260,220\" readonly=\"true\" text=\"fixed\" />"
    L"<Edit name=\"editImages\" float=\"true\" pos=\"290,150,400,180\" normalimage=\"color='#FFD02020'\""
    L" hotimage=\"color='#FF20A040'\" focusedimage=\"file='missing.png'\" disabledimage=\"color='#FF2040D0'\" />"
    L"</VerticalLayout></Window>";

// Writes down "type:sender=text" for the edit notifications; a handler may
// be set to run on each (to delete the sender, say).
class NotifyLog : public INotifyUI {
 public:
  std::vector<std::wstring> entries;
  void (*onNotify)(UINotify& msg) = nullptr;
  void Notify(UINotify& msg) override {
    const bool edit = msg.sType.EqualsText(L"textchanged") || msg.sType.EqualsText(L"return");
    if (!edit) return;
    std::wstring entry = msg.sType.GetText();
    entry += L":";
    if (msg.pSender != nullptr) {
      entry += msg.pSender->GetName().GetText();
      entry += L"=";
      entry += msg.pSender->GetText().GetText();
    }
    entries.push_back(entry);
    if (onNotify != nullptr) onNotify(msg);
  }
};

class EditTest : public ::testing::Test {
 protected:
  EditTest() : m_window(420, 260), m_driver(m_window.manager()) {}

  void SetUp() override {
    CWindowManagerUI& manager = m_window.manager();
    CControlUI* root = m_builder.CreateFromSource(kEditSkin, nullptr, nullptr, &manager);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(manager.AttachRootControl(root));
    ASSERT_TRUE(manager.AddNotifier(&m_log));
    m_window.Show();
    m_driver.PumpFor(50);
  }
  void TearDown() override { m_window.manager().RemoveNotifier(&m_log); }

  CEditUI* Edit(const wchar_t* name) {
    CControlUI* control = m_driver.Find(name);
    return control != nullptr ? static_cast<CEditUI*>(control->GetInterface(L"Edit")) : nullptr;
  }
  // Types into the window that has the keyboard focus (the native edit once
  // one is open), one WM_CHAR per UTF-16 unit.
  void TypeIntoFocus(const wchar_t* text) {
    const HWND target = GetFocus();
    ASSERT_NE(target, nullptr);
    for (const wchar_t* p = text; *p != 0; ++p) PostMessageW(target, WM_CHAR, static_cast<WPARAM>(*p), 1);
    m_driver.Pump();
  }
  static std::wstring NativeText(HWND edit) {
    wchar_t text[256] = {};
    GetWindowTextW(edit, text, 256);
    return text;
  }

  testwindows::ManagedTestWindow m_window;
  testwindows::WindowDriver m_driver;
  CSkinBuilder m_builder;
  NotifyLog m_log;
};

TEST_F(EditTest, ClickOpensTheNativeEditTypingReportsTextChangedAndEnterReportsReturn) {
  CEditUI* edit = Edit(L"editName");
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(m_driver.Click(L"editName"));
  const HWND native = edit->GetNativeWindow();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(GetParent(native), m_window.GetHandle());
  EXPECT_TRUE(IsWindowVisible(native));
  EXPECT_EQ(GetFocus(), native);
  EXPECT_EQ(m_window.manager().GetFocusControl(), edit);
  // The native edit lies inside the control's text area.
  const CUIRect over = m_window.manager().GetChildWindowRect(native);
  EXPECT_GE(over.left, edit->GetPos().left + 4);
  EXPECT_LE(over.right, edit->GetPos().right - 4);
  EXPECT_GE(over.top, edit->GetPos().top);
  EXPECT_LE(over.bottom, edit->GetPos().bottom);

  TypeIntoFocus(L"ab你好");
  EXPECT_EQ(edit->GetText().GetText(), std::wstring(L"ab你好"));
  const std::vector<std::wstring> typed = {L"textchanged:editName=a", L"textchanged:editName=ab",
                                           L"textchanged:editName=ab你", L"textchanged:editName=ab你好"};
  EXPECT_EQ(m_log.entries, typed);

  m_log.entries.clear();
  m_driver.Key(VK_RETURN);
  EXPECT_EQ(m_log.entries, std::vector<std::wstring>{L"return:editName=ab你好"});
  EXPECT_EQ(NativeText(native), L"ab你好");
}

TEST_F(EditTest, FocusMovingAwayClosesTheNativeEditAndKeepsTheText) {
  CEditUI* name = Edit(L"editName");
  CEditUI* other = Edit(L"editOther");
  ASSERT_TRUE(m_driver.Click(L"editName"));
  const HWND first = name->GetNativeWindow();
  ASSERT_NE(first, nullptr);
  TypeIntoFocus(L"hello");

  ASSERT_TRUE(m_driver.Click(L"editOther"));
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(name->GetNativeWindow(), nullptr);
  EXPECT_EQ(name->GetText().GetText(), std::wstring(L"hello"));
  EXPECT_NE(other->GetNativeWindow(), nullptr);
  EXPECT_EQ(m_window.manager().GetFocusControl(), other);

  // Back again: the new native edit starts with the kept text.
  ASSERT_TRUE(m_driver.Click(L"editName"));
  ASSERT_NE(name->GetNativeWindow(), nullptr);
  EXPECT_EQ(NativeText(name->GetNativeWindow()), L"hello");
  EXPECT_EQ(other->GetNativeWindow(), nullptr);

  // Tab moves the focus too, and closes the edit the same way.
  const HWND second = name->GetNativeWindow();
  m_driver.Key(VK_TAB);
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(m_window.manager().GetFocusControl(), other);
  EXPECT_NE(other->GetNativeWindow(), nullptr);
}

TEST_F(EditTest, MaxCharReachesAnOpenEditAndNumberOnlyTheNextOne) {
  CEditUI* edit = Edit(L"editName");
  ASSERT_TRUE(m_driver.Click(L"editName"));
  ASSERT_NE(edit->GetNativeWindow(), nullptr);
  edit->SetAttribute(L"maxchar", L"3");
  edit->SetAttribute(L"numberonly", L"true");
  TypeIntoFocus(L"abcdef");
  EXPECT_EQ(edit->GetText().GetText(), std::wstring(L"abc"));
  EXPECT_EQ(SendMessageW(edit->GetNativeWindow(), EM_GETLIMITTEXT, 0, 0), 3);

  // The next native edit takes digits only.
  edit->SetText(L"");
  ASSERT_TRUE(m_driver.Click(L"editOther"));
  ASSERT_TRUE(m_driver.Click(L"editName"));
  ASSERT_NE(edit->GetNativeWindow(), nullptr);
  EXPECT_NE(GetWindowLongPtrW(edit->GetNativeWindow(), GWL_STYLE) & ES_NUMBER, 0);
  TypeIntoFocus(L"1x2");
  EXPECT_EQ(edit->GetText().GetText(), std::wstring(L"12"));
}

TEST_F(EditTest, AHiddenAncestorClosesTheNativeEditAndAClippedEditStaysHidden) {
  CEditUI* edit = Edit(L"editInBox");
  CControlUI* box = m_driver.Find(L"box");
  ASSERT_TRUE(m_driver.Click(L"editInBox"));
  const HWND native = edit->GetNativeWindow();
  ASSERT_NE(native, nullptr);
  TypeIntoFocus(L"kept");

  box->SetVisible(false);
  m_driver.Pump();
  EXPECT_FALSE(IsWindow(native) && IsWindowVisible(native));
  EXPECT_EQ(edit->GetNativeWindow(), nullptr);
  // The ancestor's hiding is not stored in the control: it only took the focus.
  EXPECT_TRUE(edit->IsVisible());
  EXPECT_NE(m_window.manager().GetFocusControl(), edit);
  EXPECT_EQ(edit->GetText().GetText(), std::wstring(L"kept"));

  box->SetVisible(true);
  m_driver.Pump();
  EXPECT_TRUE(edit->IsVisible());
  ASSERT_TRUE(m_driver.Click(L"editInBox"));
  EXPECT_NE(edit->GetNativeWindow(), nullptr);

  // An edit that its box clips away completely gets a native edit that is
  // not shown (it takes the focus through the framework: it cannot be clicked).
  CEditUI* clipped = Edit(L"editClipped");
  clipped->SetFocus();
  m_driver.Pump();
  ASSERT_NE(clipped->GetNativeWindow(), nullptr);
  EXPECT_FALSE(IsWindowVisible(clipped->GetNativeWindow()));
}

TEST_F(EditTest, DeletingTheControlWhileItsEditIsOpenIsClean) {
  auto* page = static_cast<CContainerUI*>(m_driver.Find(L"page")->GetInterface(L"Container"));
  ASSERT_NE(page, nullptr);
  // Removed children are deleted at once, inside the call (the harshest case).
  page->SetDelayedDestroy(false);
  CEditUI* edit = Edit(L"editName");
  ASSERT_TRUE(m_driver.Click(L"editName"));
  const HWND native = edit->GetNativeWindow();
  ASSERT_NE(native, nullptr);
  TypeIntoFocus(L"x");
  ASSERT_TRUE(page->RemoveItem(edit));
  EXPECT_FALSE(IsWindow(native));
  EXPECT_EQ(m_driver.Find(L"editName"), nullptr);
  m_driver.Pump();

  // A listener that deletes the sender from inside "textchanged", and one
  // from inside "return": nothing touches the deleted control afterwards.
  static CContainerUI* s_page = nullptr;
  s_page = page;
  m_log.onNotify = [](UINotify& msg) {
    if (msg.pSender != nullptr) s_page->RemoveItem(msg.pSender);
  };
  CEditUI* other = Edit(L"editOther");
  ASSERT_TRUE(m_driver.Click(L"editOther"));
  const HWND otherNative = other->GetNativeWindow();
  ASSERT_NE(otherNative, nullptr);
  TypeIntoFocus(L"yz");
  EXPECT_FALSE(IsWindow(otherNative));
  EXPECT_EQ(m_driver.Find(L"editOther"), nullptr);
  EXPECT_EQ(m_log.entries.back(), L"textchanged:editOther=y");

  m_log.onNotify = nullptr;
  CEditUI* password = Edit(L"editPassword");
  ASSERT_TRUE(m_driver.Click(L"editPassword"));
  const HWND passwordNative = password->GetNativeWindow();
  ASSERT_NE(passwordNative, nullptr);
  m_log.onNotify = [](UINotify& msg) {
    if (msg.sType.EqualsText(L"return") && msg.pSender != nullptr) s_page->RemoveItem(msg.pSender);
  };
  m_driver.Key(VK_RETURN);
  EXPECT_FALSE(IsWindow(passwordNative));
  EXPECT_EQ(m_driver.Find(L"editPassword"), nullptr);
  m_log.onNotify = nullptr;
  m_driver.Pump();
}

// Refuses the creation of every native edit window while installed.
HHOOK g_refuseHook = nullptr;
LRESULT CALLBACK RefuseEditWindows(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    wchar_t className[32] = {};
    GetClassNameW(reinterpret_cast<HWND>(wParam), className, 32);
    if (std::wstring(className) == L"EditWnd") return 1;
  }
  return CallNextHookEx(g_refuseHook, code, wParam, lParam);
}

TEST_F(EditTest, ANativeEditThatCannotBeMadeLeavesNothingAndTheNextClickTriesAgain) {
  CEditUI* edit = Edit(L"editName");
  edit->SetText(L"before");
  g_refuseHook = SetWindowsHookExW(WH_CBT, RefuseEditWindows, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_refuseHook, nullptr);
  ASSERT_TRUE(m_driver.Click(L"editName"));
  UnhookWindowsHookEx(g_refuseHook);
  g_refuseHook = nullptr;
  EXPECT_EQ(edit->GetNativeWindow(), nullptr);
  EXPECT_EQ(FindWindowExW(m_window.GetHandle(), nullptr, L"EditWnd", nullptr), nullptr);
  // The control keeps the framework focus and its own text.
  EXPECT_EQ(m_window.manager().GetFocusControl(), edit);
  EXPECT_EQ(edit->GetText().GetText(), std::wstring(L"before"));

  // A press on the focused control makes the native edit at once.
  ASSERT_TRUE(m_driver.Click(L"editName"));
  ASSERT_NE(edit->GetNativeWindow(), nullptr);
  EXPECT_EQ(NativeText(edit->GetNativeWindow()), L"before");
}

TEST_F(EditTest, PasswordMasksReadOnlyRefusesAndAutoSelectAllSelectsTheText) {
  CEditUI* password = Edit(L"editPassword");
  ASSERT_TRUE(m_driver.Click(L"editPassword"));
  const HWND native = password->GetNativeWindow();
  ASSERT_NE(native, nullptr);
  EXPECT_NE(GetWindowLongPtrW(native, GWL_STYLE) & ES_PASSWORD, 0);
  EXPECT_EQ(SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), L'*');
  TypeIntoFocus(L"s3cret");
  EXPECT_EQ(password->GetText().GetText(), std::wstring(L"s3cret"));

  CEditUI* readOnly = Edit(L"editReadOnly");
  m_log.entries.clear();
  ASSERT_TRUE(m_driver.Click(L"editReadOnly"));
  ASSERT_NE(readOnly->GetNativeWindow(), nullptr);
  EXPECT_NE(GetWindowLongPtrW(readOnly->GetNativeWindow(), GWL_STYLE) & ES_READONLY, 0);
  TypeIntoFocus(L"zz");
  EXPECT_EQ(readOnly->GetText().GetText(), std::wstring(L"fixed"));
  EXPECT_TRUE(m_log.entries.empty());
  readOnly->SetReadOnly(false);
  TypeIntoFocus(L"!");
  EXPECT_EQ(readOnly->GetText().GetText(), std::wstring(L"fixed!"));

  // Select-all: the whole text is selected on opening, a press keeps it,
  // typing replaces it.
  CEditUI* name = Edit(L"editName");
  name->SetText(L"hello");
  name->SetAttribute(L"autoselall", L"true");
  ASSERT_TRUE(m_driver.Click(L"editName"));
  ASSERT_NE(name->GetNativeWindow(), nullptr);
  DWORD start = 0, end = 0;
  SendMessageW(name->GetNativeWindow(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 5u);
  TypeIntoFocus(L"x");
  EXPECT_EQ(name->GetText().GetText(), std::wstring(L"x"));
}

TEST_F(EditTest, APressPlacesTheCaretWhereItLandsAndDisablingClosesTheEdit) {
  CEditUI* edit = Edit(L"editName");
  edit->SetText(L"hello world");
  const CUIRect pos = edit->GetPos();
  m_driver.ClickAt(POINT{pos.left + 5, (pos.top + pos.bottom) / 2});
  const HWND native = edit->GetNativeWindow();
  ASSERT_NE(native, nullptr);
  DWORD start = 99, end = 99;
  SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 0u);

  edit->SetEnabled(false);
  m_driver.Pump();
  EXPECT_FALSE(IsWindow(native));
  EXPECT_NE(m_window.manager().GetFocusControl(), edit);
  ASSERT_TRUE(m_driver.Click(L"editName"));
  EXPECT_EQ(edit->GetNativeWindow(), nullptr);
  EXPECT_NE(m_window.manager().GetFocusControl(), edit);

  edit->SetEnabled(true);
  ASSERT_TRUE(m_driver.Click(L"editName"));
  EXPECT_NE(edit->GetNativeWindow(), nullptr);
}

// Paints one control alone into a white 32-bit picture of the window's size.
std::vector<uint32_t> PaintAlone(CControlUI* control, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  OwnedMemoryDC dc(CreateCompatibleDC(nullptr));
  OwnedBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || bits == nullptr) return pixels;
  HGDIOBJ old = SelectObject(dc.Get(), bitmap.Get());
  control->Paint(dc.Get(), control->GetPos(), nullptr);
  GdiFlush();
  SelectObject(dc.Get(), old);
  const auto* source = static_cast<const uint32_t*>(bits);
  pixels.assign(source, source + pixels.size());
  return pixels;
}

TEST_F(EditTest, PasswordModePaintsOneMaskCharacterPerCharacter) {
  struct Case {
    const wchar_t* text;
    const wchar_t* masks;
  };
  const Case cases[] = {
      {L"abc", L"***"},
      {L"密码", L"**"},
      {L"a\U0001F600b", L"***"},  // a surrogate pair is one character
  };
  CEditUI* edit = Edit(L"editOther");
  for (const Case& c : cases) {
    edit->SetPasswordMode(true);
    edit->SetText(c.text);
    const std::vector<uint32_t> masked = PaintAlone(edit, 420, 260);
    edit->SetPasswordMode(false);
    edit->SetText(c.masks);
    const std::vector<uint32_t> plain = PaintAlone(edit, 420, 260);
    EXPECT_TRUE(masked == plain) << "text of " << wcslen(c.text) << " units";
  }
}

TEST(EditLayoutTest, ANewLayoutMovesTheOpenEditWithTheControlAndKeepsItsFocus) {
  testwindows::ManagedTestWindow window(300, 120);
  CWindowManagerUI& manager = window.manager();
  CSkinBuilder builder;
  CControlUI* root = builder.CreateFromSource(
      L"<Window><VerticalLayout inset=\"10,10,10,10\"><Edit name=\"editWide\" height=\"30\" /><Control />"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &manager);
  ASSERT_NE(root, nullptr);
  ASSERT_TRUE(manager.AttachRootControl(root));
  window.Show();
  testwindows::WindowDriver driver(manager);
  driver.PumpFor(50);
  ASSERT_TRUE(driver.Click(L"editWide"));
  auto* edit = static_cast<CEditUI*>(driver.Find(L"editWide"));
  const HWND native = edit->GetNativeWindow();
  ASSERT_NE(native, nullptr);
  PostMessageW(GetFocus(), WM_CHAR, L'k', 1);
  driver.Pump();
  const int before = manager.GetChildWindowRect(edit->GetNativeWindow()).GetWidth();

  // The layout gives the control 100 pixels less: the open edit follows.
  root->SetAttribute(L"inset", L"10,10,110,10");
  UpdateWindow(window.GetHandle());
  driver.PumpFor(100);
  ASSERT_EQ(edit->GetNativeWindow(), native);
  EXPECT_EQ(manager.GetChildWindowRect(edit->GetNativeWindow()).GetWidth(), before - 100);
  EXPECT_EQ(GetFocus(), edit->GetNativeWindow());
  EXPECT_EQ(edit->GetText().GetText(), std::wstring(L"k"));
}

TEST_F(EditTest, StateImagesFollowHoverFocusAndDisablingAndAMissingOneFallsBackToNormal) {
  CEditUI* edit = Edit(L"editImages");
  const CUIRect pos = edit->GetPos();
  const auto cornerColour = [&]() {
    const std::vector<uint32_t> pixels = PaintAlone(edit, 420, 260);
    return pixels[static_cast<size_t>(pos.top + 2) * 420 + pos.left + 2] & 0xFFFFFFu;
  };
  EXPECT_EQ(cornerColour(), 0xD02020u);  // normal
  m_driver.MoveTo(m_driver.CentreOf(L"editImages"));
  EXPECT_EQ(cornerColour(), 0x20A040u);  // hot
  edit->SetEnabled(false);
  EXPECT_EQ(cornerColour(), 0x2040D0u);  // disabled wins over hot
  edit->SetEnabled(true);
  ASSERT_TRUE(m_driver.Click(L"editImages"));
  ASSERT_TRUE(edit->IsFocused());
  EXPECT_EQ(cornerColour(), 0xD02020u);  // focused, whose image is missing: normal
}

TEST_F(EditTest, ScreenshotOfAFocusedEditWithChineseText) {
  Edit(L"editOther")->SetText(L"未聚焦的输入框");
  Edit(L"editPassword")->SetText(L"密码123");
  ASSERT_TRUE(m_driver.Click(L"editName"));
  TypeIntoFocus(L"你好，Quillora 文字语音");
  m_driver.PumpFor(100);
  testshots::Picture shot;
  EXPECT_TRUE(testshots::SaveWindowPng(L"ui-controls-edit-focused.png", m_window.GetHandle(), &shot));

  // The focused edit holds the typed text in its open native edit...
  const HWND native = Edit(L"editName")->GetNativeWindow();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(GetFocus(), native);
  EXPECT_EQ(NativeText(native), L"你好，Quillora 文字语音");
  // ...and the picture shows text in it, in the unfocused edit and (masked) in
  // the password edit, but none in the empty edit inside the box.
  const auto darkPixels = [&](const wchar_t* name) {
    const CUIRect pos = Edit(name)->GetPos();
    int dark = 0;
    for (int y = pos.top + 2; y < pos.bottom - 2; ++y) {
      for (int x = pos.left + 2; x < pos.right - 2; ++x) {
        const uint32_t p = shot.At(x, y);
        dark += ((p >> 16) & 0xFF) < 100 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100 ? 1 : 0;
      }
    }
    return dark;
  };
  EXPECT_GT(darkPixels(L"editName"), 20);
  EXPECT_GT(darkPixels(L"editOther"), 20);
  EXPECT_GT(darkPixels(L"editPassword"), 10);
  EXPECT_EQ(darkPixels(L"editInBox"), 0);
}

TEST(EditLayeredTest, ALayeredWindowPrintsTheNativeEditWithItsText) {
  testwindows::ManagedTestWindow window(300, 80, WS_POPUP);
  CWindowManagerUI& manager = window.manager();
  CSkinBuilder builder;
  CControlUI* root = builder.CreateFromSource(
      L"<Window><Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"16\" default=\"true\" />"
      L"<VerticalLayout bkcolor=\"#FFDDE6F0\">"
      L"<Edit name=\"editLayered\" float=\"true\" pos=\"20,20,280,55\" bordercolor=\"#FF3A6EA5\" bordersize=\"1\""
      L" nativebkcolor=\"#FFFFFFF0\" />"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &manager);
  ASSERT_NE(root, nullptr);
  ASSERT_TRUE(manager.AttachRootControl(root));
  manager.SetLayered(true);
  window.Show();
  testwindows::WindowDriver driver(manager);
  driver.PumpFor(50);
  ASSERT_TRUE(driver.Click(L"editLayered"));
  auto* edit = static_cast<CEditUI*>(driver.Find(L"editLayered"));
  ASSERT_NE(edit->GetNativeWindow(), nullptr);
  const HWND target = GetFocus();
  ASSERT_EQ(target, edit->GetNativeWindow());
  for (const wchar_t* p = L"层叠窗口 layered"; *p != 0; ++p) PostMessageW(target, WM_CHAR, *p, 1);
  driver.PumpFor(GetCaretBlinkTime() + 200);
  EXPECT_EQ(edit->GetText().GetText(), std::wstring(L"层叠窗口 layered"));
  EXPECT_TRUE(testshots::SaveWindowPng(L"ui-controls-edit-layered.png", window.GetHandle()));
}

}  // namespace

// A new window size hands the focus back to an edit whose native edit is
// open: it loses and regains the framework focus after the layout, and its
// native edit opens again, focused, over the control's new place.
TEST(EditLayoutTest, ANewWindowSizeGivesTheFocusBackAfterTheLayout) {
  testwindows::ManagedTestWindow window(300, 120);
  CWindowManagerUI& manager = window.manager();
  CSkinBuilder builder;
  CControlUI* root = builder.CreateFromSource(
      L"<Window><VerticalLayout inset=\"10,10,10,10\"><Edit name=\"editWide\" height=\"30\" /><Control />"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &manager);
  ASSERT_NE(root, nullptr);
  ASSERT_TRUE(manager.AttachRootControl(root));
  testcontrols::NotifyRecorder recorder;
  ASSERT_TRUE(manager.AddNotifier(&recorder));
  window.Show();
  testwindows::WindowDriver driver(manager);
  driver.PumpFor(50);
  ASSERT_TRUE(driver.Click(L"editWide"));
  auto* edit = static_cast<CEditUI*>(driver.Find(L"editWide"));
  ASSERT_NE(edit->GetNativeWindow(), nullptr);
  PostMessageW(GetFocus(), WM_CHAR, L'k', 1);
  driver.Pump();
  const int before = manager.GetChildWindowRect(edit->GetNativeWindow()).GetWidth();
  recorder.seen.clear();

  RECT frame = {};
  GetWindowRect(window.GetHandle(), &frame);
  SetWindowPos(window.GetHandle(), nullptr, 0, 0, frame.right - frame.left - 80, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateWindow(window.GetHandle());
  driver.PumpFor(100);
  // The focus step waits for a paint after the layout (positions known).
  InvalidateRect(window.GetHandle(), nullptr, FALSE);
  UpdateWindow(window.GetHandle());
  driver.PumpFor(100);
  std::vector<std::wstring> focusChanges;
  for (const testcontrols::SeenNotify& n : recorder.seen) {
    if (n.type == L"killfocus" || n.type == L"setfocus") focusChanges.push_back(n.type + L"/" + n.sender);
  }
  EXPECT_EQ(focusChanges, (std::vector<std::wstring>{L"killfocus/editWide", L"setfocus/editWide"}));
  EXPECT_EQ(manager.GetFocusControl(), edit);
  ASSERT_NE(edit->GetNativeWindow(), nullptr);
  EXPECT_EQ(GetFocus(), edit->GetNativeWindow());
  EXPECT_EQ(manager.GetChildWindowRect(edit->GetNativeWindow()).GetWidth(), before - 80);
  EXPECT_EQ(edit->GetText().GetText(), std::wstring(L"k"));
  manager.RemoveNotifier(&recorder);
}
