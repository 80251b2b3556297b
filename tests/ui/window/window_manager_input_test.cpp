// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The window manager under Wine with a real window, driven through the
// window's own message path: mouse capture and clicks, Tab order, closing with
// a button held, the wheel, focus on a new window, maximising.
#include <gtest/gtest.h>

#include "tests/ui/window/ManagerTestWindow.h"

using namespace managertest;

namespace {

// Holds Shift down for this thread's key state while it lives.
class ShiftHeld {
 public:
  ShiftHeld() {
    GetKeyboardState(m_saved);
    BYTE keys[256];
    memcpy(keys, m_saved, sizeof(keys));
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
  }
  ~ShiftHeld() { SetKeyboardState(m_saved); }

 private:
  BYTE m_saved[256];
};

}  // namespace

class ManagerInput : public ManagerFixture {};

TEST_F(ManagerInput, PressMoveOutAndReleaseKeepsTheMouseOnThePressedControl) {
  ProbeControl* a = AddProbe(L"a", L"10,10,110,60");
  ProbeControl* b = AddProbe(L"b", L"150,10,250,60");
  Settle();

  driver().PressAt({60, 35});
  EXPECT_EQ(manager().GetClickControl(), a);
  EXPECT_TRUE(manager().IsCaptured());
  driver().MoveTo({200, 35});  // over b while the button is held
  EXPECT_EQ(manager().GetHoverControl(), a) << "hover does not change while captured";
  driver().ReleaseAt({200, 35});
  Screenshot(L"window-manager-press-move-out.png");

  EXPECT_EQ(a->Count(kUIEventButtonDown), 1);
  EXPECT_EQ(a->Count(kUIEventButtonUp), 1);
  ASSERT_FALSE(a->events.empty());
  EXPECT_EQ(a->events.back().point.x, 200) << "the pressed control hears where the button came up";
  EXPECT_EQ(b->Count(kUIEventMouseEnter) + b->Count(kUIEventMouseMove) + b->Count(kUIEventButtonUp), 0);
  EXPECT_FALSE(manager().IsCaptured());
  EXPECT_EQ(manager().GetClickControl(), nullptr);
  EXPECT_EQ(std::count(m_recorder.seen.begin(), m_recorder.seen.end(), L"click:a"), 0)
      << "released outside: no click";

  driver().MoveTo({200, 40});  // free again: hover follows the mouse
  EXPECT_EQ(manager().GetHoverControl(), b);
  EXPECT_EQ(a->Count(kUIEventMouseLeave), 1);

  driver().Click(L"a");
  EXPECT_EQ(std::count(m_recorder.seen.begin(), m_recorder.seen.end(), L"click:a"), 1);
}

TEST_F(ManagerInput, TabAndShiftTabWrapAroundTheTabStops) {
  ProbeControl* t1 = AddProbe(L"t1", L"10,10,60,40", kUIFlagTabStop);
  AddProbe(L"plain", L"70,10,120,40");
  ProbeControl* t2 = AddProbe(L"t2", L"130,10,180,40", kUIFlagTabStop);
  ProbeControl* t3 = AddProbe(L"t3", L"190,10,240,40", kUIFlagTabStop);
  Settle();
  Settle();
  EXPECT_EQ(manager().GetFocusControl(), t1) << "the first tab stop of a new window takes the focus";

  const struct {
    bool shift;
    ProbeControl* expected;
  } steps[] = {{false, t2}, {false, t3}, {false, t1}, {true, t3}, {true, t2}, {true, t1}, {true, t3}};
  for (const auto& step : steps) {
    if (step.shift) {
      ShiftHeld shift;
      driver().Key(VK_TAB);
    } else {
      driver().Key(VK_TAB);
    }
    EXPECT_EQ(manager().GetFocusControl(), step.expected) << (step.shift ? "Shift+Tab" : "Tab");
  }
  Screenshot(L"window-manager-tab-order.png");

  // The control losing the focus hears who takes it; listeners hear both.
  ASSERT_GE(t2->Count(kUIEventKillFocus), 1);
  EXPECT_EQ(t2->events.back().kind, kUIEventKillFocus);
  EXPECT_EQ(t2->events.back().sender, t1);
  EXPECT_NE(std::find(m_recorder.seen.begin(), m_recorder.seen.end(), L"killfocus:t1"), m_recorder.seen.end());
  EXPECT_NE(std::find(m_recorder.seen.begin(), m_recorder.seen.end(), L"setfocus:t3"), m_recorder.seen.end());
}

TEST_F(ManagerInput, ClosingWithTheButtonHeldReleasesThePressedControlFirst) {
  ProbeControl* a = AddProbe(L"a", L"10,10,110,60");
  Settle();
  driver().PressAt({40, 30});
  Screenshot(L"window-manager-close-held.png");
  ASSERT_EQ(a->Count(kUIEventButtonUp), 0);

  SendMessageW(hwnd(), WM_CLOSE, 0, 0);

  EXPECT_FALSE(IsWindow(hwnd())) << "the manager leaves WM_CLOSE to the default handling";
  EXPECT_EQ(a->Count(kUIEventButtonUp), 1);
  EXPECT_EQ(a->Count(kUIEventMouseLeave), 1);
  EXPECT_EQ(manager().GetClickControl(), nullptr);
  EXPECT_EQ(manager().GetHoverControl(), nullptr);
  EXPECT_FALSE(manager().IsCaptured());
}

TEST_F(ManagerInput, WheelTowardsTheUserIsOneAwayIsZero) {
  ProbeControl* a = AddProbe(L"a", L"10,10,110,60");
  Settle();
  ASSERT_TRUE(driver().Scroll(L"a", -1));
  ASSERT_TRUE(driver().Scroll(L"a", 1));
  std::vector<WPARAM> wheel;
  for (const SeenEvent& e : a->events) {
    if (e.kind == kUIEventScrollWheel) wheel.push_back(e.wParam);
  }
  EXPECT_EQ(wheel, (std::vector<WPARAM>{1, 0}));
}

TEST_F(ManagerInput, TheFirstPaintSendsWindowInitOnce) {
  AddProbe(L"a", L"10,10,110,60");
  Settle();
  Settle();
  driver().MoveTo({20, 20});
  Settle();
  EXPECT_EQ(std::count(m_recorder.seen.begin(), m_recorder.seen.end(), L"windowinit:root"), 1);
  const CUIRect pos = m_root->GetPos();
  EXPECT_EQ(pos.GetWidth(), kWidth);
  EXPECT_EQ(pos.GetHeight(), kHeight);
}

TEST_F(ManagerInput, MaximiseAndRestoreLayTheTreeOutAtTheNewSize) {
  m_root->SetBkColor(0xFF3060A0);
  AddProbe(L"a", L"10,10,110,60")->SetBkColor(0xFFE0A020);
  Settle();
  ShowWindow(hwnd(), SW_MAXIMIZE);
  Settle();
  RECT client = {};
  GetClientRect(hwnd(), &client);
  EXPECT_GT(client.right, kWidth);
  EXPECT_EQ(m_root->GetPos().GetWidth(), client.right);
  EXPECT_EQ(m_root->GetPos().GetHeight(), client.bottom);
  Screenshot(L"window-manager-maximised.png");

  ShowWindow(hwnd(), SW_RESTORE);
  Settle();
  EXPECT_EQ(m_root->GetPos().GetWidth(), kWidth);
  EXPECT_EQ(m_root->GetPos().GetHeight(), kHeight);
  Screenshot(L"window-manager-restored.png");
}

TEST_F(ManagerInput, NoActivateWindowsAnswerMouseActivateWithoutActivating) {
  EXPECT_NE(SendMessageW(hwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  manager().SetWindowAttribute(L"noactivate", L"true");
  EXPECT_EQ(SendMessageW(hwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
}

namespace {

// A probe that calls itself a label (labels pass their shortcut on).
class LabelProbe : public ProbeControl {
 public:
  const UIChar* GetClassName() const override { return L"Label"; }
};

// The text of the tooltip window of a manager's window, empty without one.
std::wstring ToolTipText(HWND owner) {
  HWND tip = nullptr;
  while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr) {
    if (GetWindow(tip, GW_OWNER) == owner) break;
  }
  if (tip == nullptr) return L"";
  wchar_t text[128] = {};
  TOOLINFOW info = {};
  info.cbSize = TTTOOLINFOW_V1_SIZE;
  info.hwnd = owner;
  info.uId = reinterpret_cast<UINT_PTR>(owner);
  info.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
  return text;
}

}  // namespace

TEST_F(ManagerInput, HoverShowsTheTooltipWithItsTokensReplaced) {
  ProbeControl* plain = AddProbe(L"plain", L"10,10,110,60");
  ProbeControl* tipped = AddProbe(L"tipped", L"150,10,250,60");
  tipped->SetToolTip(L"%{3} and %{4}");
  CWindowManagerUI::AddMultiLanguageString(3, L"三");
  Settle();

  driver().MoveTo({60, 30});
  SendMessageW(hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(60, 30));
  EXPECT_EQ(plain->Count(kUIEventMouseHover), 1);
  EXPECT_EQ(ToolTipText(hwnd()), L"") << "an empty tooltip shows nothing";

  driver().MoveTo({200, 30});
  SendMessageW(hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(200, 30));
  EXPECT_EQ(ToolTipText(hwnd()), L"三 and %{4}");
  HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  while (tip != nullptr && GetWindow(tip, GW_OWNER) != hwnd()) tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr);
  ASSERT_NE(tip, nullptr);
  EXPECT_TRUE(IsWindowVisible(tip)) << "the tip is shown next to the mouse";
  driver().PumpFor(100);  // the tip paints itself
  RECT area = {};
  GetWindowRect(hwnd(), &area);
  area.right += 80;
  area.bottom += 80;  // the tip is a window of its own, next to the mouse
  EXPECT_TRUE(testshots::SaveScreenAreaPng(L"window-manager-tooltip.png", area));
  EXPECT_EQ(SendMessageW(hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(300, 190)), 0) << "nothing under the mouse";
}

TEST_F(ManagerInput, AShortcutOfALabelFocusesTheControlAfterIt) {
  auto* label = new LabelProbe;
  label->SetAttribute(L"name", L"label");
  label->SetAttribute(L"float", L"true");
  label->SetAttribute(L"pos", L"10,10,60,40");
  label->SetAttribute(L"shortcut", L"n");
  m_root->AddItem(label);
  ProbeControl* field = AddProbe(L"field", L"70,10,160,40");
  ProbeControl* other = AddProbe(L"other", L"170,10,260,40");
  other->SetAttribute(L"shortcut", L"o");
  Settle();

  PostMessageW(hwnd(), WM_SYSCHAR, L'N', 0);
  driver().Pump();
  EXPECT_EQ(manager().GetFocusControl(), field) << "letters compare upper-cased; the label passes it on";
  PostMessageW(hwnd(), WM_SYSCHAR, L'o', 0);
  driver().Pump();
  EXPECT_EQ(manager().GetFocusControl(), other);
  EXPECT_EQ(label->Count(kUIEventSetFocus), 0);
}

TEST_F(ManagerInput, RenamingAndDelayedCleanUpKeepTheNameIndexTrue) {
  ProbeControl* a = AddProbe(L"a", L"10,10,60,40");
  ProbeControl* b = AddProbe(L"b", L"70,10,120,40");
  EXPECT_TRUE(manager().RenameControl(a, L"x"));
  EXPECT_EQ(manager().FindControlByName(L"x"), a);
  EXPECT_EQ(manager().FindControlByName(L"a"), nullptr);
  EXPECT_FALSE(manager().RenameControl(b, L"x")) << "taken by another control";
  EXPECT_FALSE(manager().RenameControl(b, L""));
  EXPECT_TRUE(manager().RenameControl(b, L"b")) << "unchanged";
  EXPECT_EQ(manager().FindSubControlByName(nullptr, L"X"), a) << "the tree search ignores case";

  Settle();
  driver().MoveTo({90, 20});
  ASSERT_EQ(manager().GetHoverControl(), b);
  ASSERT_TRUE(m_root->RemoveItem(b));  // handed to the delayed clean-up
  EXPECT_EQ(manager().FindControlByName(L"b"), b) << "alive until the flush";
  driver().Pump();
  EXPECT_EQ(manager().FindControlByName(L"b"), nullptr);
  EXPECT_EQ(manager().GetHoverControl(), nullptr) << "the manager forgot the deleted control";
  driver().MoveTo({95, 25});  // only the root is left there
  EXPECT_EQ(manager().GetHoverControl(), m_root);
}

namespace {

// A probe standing in for a rich edit that takes Tab as text.
class TabEatingEditProbe : public ProbeControl {
 public:
  TabEatingEditProbe() : ProbeControl(kUIFlagTabStop) {}
  const UIChar* GetClassName() const override { return L"RichEdit"; }
  CUIString GetAttribute(const UIChar* name) override {
    return CUIString(wcscmp(name, L"wanttab") == 0 ? L"true" : L"");
  }
};

}  // namespace

TEST_F(ManagerInput, TabReachesARichEditThatWantsIt) {
  auto* edit = new TabEatingEditProbe;
  edit->SetAttribute(L"name", L"edit");
  edit->SetAttribute(L"float", L"true");
  edit->SetAttribute(L"pos", L"10,10,150,90");
  m_root->AddItem(edit);
  AddProbe(L"next", L"160,10,220,40", kUIFlagTabStop);
  Settle();
  Settle();
  ASSERT_EQ(manager().GetFocusControl(), edit);

  driver().Key(VK_TAB);
  EXPECT_EQ(manager().GetFocusControl(), edit) << "the edit keeps the focus";
  bool sawTab = false;
  for (const SeenEvent& e : edit->events) sawTab = sawTab || (e.kind == kUIEventKeyDown && e.wParam == VK_TAB);
  EXPECT_TRUE(sawTab) << "the key reaches the edit as a key-down";
}

TEST_F(ManagerInput, PendingFocusLandsOnTheControlAtTheNextPaint) {
  ProbeControl* t1 = AddProbe(L"t1", L"10,10,60,40", kUIFlagTabStop);
  ProbeControl* t2 = AddProbe(L"t2", L"70,10,120,40", kUIFlagTabStop);
  Settle();
  Settle();
  ASSERT_EQ(manager().GetFocusControl(), t1);
  manager().SetPendingFocus(t2);
  EXPECT_EQ(t1->events.back().kind, kUIEventKillFocus);
  Settle();
  Settle();
  EXPECT_EQ(manager().GetFocusControl(), t2);
}

TEST_F(ManagerInput, AFocusChosenBeforeANewTreesFirstPaintOutlivesItsPendingTabStep) {
  const struct {
    const wchar_t* chosen;  // focused by the program before the first paint
    const wchar_t* expected;
  } cases[] = {
      {L"t2", L"t2"},  // a tab stop, not the first
      {L"plain", L"plain"},
  };
  for (const auto& c : cases) {
    const std::wstring label = c.chosen;
    auto* root = new CContainerUI;
    m_root = root;
    ASSERT_TRUE(manager().AttachRootControl(root));
    AddProbe(L"t1", L"10,10,60,40", kUIFlagTabStop);
    AddProbe(L"plain", L"70,10,120,40");
    AddProbe(L"t2", L"130,10,180,40", kUIFlagTabStop);
    manager().SetFocusControl(manager().FindControlByName(c.chosen));
    Settle();
    ASSERT_NE(manager().GetFocusControl(), nullptr) << testing::PrintToString(label);
    EXPECT_EQ(manager().GetFocusControl()->GetName().GetText(), std::wstring(c.expected))
        << testing::PrintToString(label) << ": after the first paint";
    // Later paints (the echo of a typed key, a hover) leave the focus alone.
    Settle();
    Settle();
    EXPECT_EQ(manager().GetFocusControl()->GetName().GetText(), std::wstring(c.expected))
        << testing::PrintToString(label) << ": after later paints";
  }
}

TEST_F(ManagerInput, TheContextMenuGoesToTheRightClickedControl) {
  ProbeControl* a = AddProbe(L"a", L"10,10,110,60");
  Settle();
  PostMessageW(hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
  POINT screen = {30, 30};
  ClientToScreen(hwnd(), &screen);
  PostMessageW(hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(screen.x, screen.y));
  driver().Pump();
  ASSERT_EQ(a->Count(kUIEventRightButtonDown), 1);
  ASSERT_EQ(a->Count(kUIEventContextMenu), 1);
  EXPECT_EQ(a->events.back().point.x, 30) << "the point is in client coordinates";
  EXPECT_EQ(manager().GetClickControl(), nullptr);
}

TEST_F(ManagerInput, FocusMovingIntoAHostedNativeWindowFocusesItsHost) {
  ProbeControl* host = AddProbe(L"host", L"10,10,160,40");
  ProbeControl* other = AddProbe(L"other", L"10,60,160,90", kUIFlagTabStop);
  Settle();
  Settle();
  ASSERT_EQ(manager().GetFocusControl(), other);
  const HWND edit = CreateWindowExW(0, L"EDIT", L"native", WS_CHILD | WS_VISIBLE, 10, 10, 150, 30, hwnd(), nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(manager().AddNativeWindow(host, edit));
  SetFocus(hwnd());
  SetFocus(edit);  // the window hears WM_KILLFOCUS naming the edit
  driver().Pump();
  EXPECT_EQ(manager().GetFocusControl(), host);
  EXPECT_EQ(GetFocus(), edit) << "the native focus stays in the edit";
  Screenshot(L"window-manager-native-focus.png");
  EXPECT_TRUE(manager().RemoveNativeWindow(edit));
  EXPECT_FALSE(manager().RemoveNativeWindow(edit));
  DestroyWindow(edit);
}
