// The text-to-speech page's menus: the pop-up menus it opens for the window
// (the main menu "Menu.xml") and its two hover menus, the polyphone hint
// ("MenuPolyphone.xml") and the pause marks ("MenuInterval.xml"). A menu
// window deletes itself when it closes (a click elsewhere closes it too), so
// the page keeps each hover menu's window handle beside its object and uses
// the object only while that window still belongs to it.
#include "app/pages/TextToSpeechPage.h"

#include "ui/controls/OptionUI.h"
#include "ui/controls/menu/MenuWnd.h"

using namespace Trellis;

namespace {

// The areas, from the menu's top left corner, in which the pointer keeps a
// hover menu open.
constexpr int kPolyphoneKeepWidth = 240;
constexpr int kPolyphoneKeepHeight = 80;
constexpr int kIntervalKeepWidth = 130;
constexpr int kIntervalKeepHeight = 150;

bool Contains(const CUIRect& rect, int x, int y) {
  return x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom;
}

}  // namespace

CMenuWnd* TextToSpeechPage::OpenMenu(const wchar_t* skinFile, POINT at, HWND* window) {
  POINT screen = at;
  ClientToScreen(Window(), &screen);
  CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, UIResourceRef(skinFile), screen.x, screen.y, &Manager(), nullptr, 6);
  if (window != nullptr) *window = menu != nullptr ? menu->GetHandle() : nullptr;
  return menu;
}

void TextToSpeechPage::ShowPopupMenu(const wchar_t* skinFile, POINT at) { OpenMenu(skinFile, at, nullptr); }

bool TextToSpeechPage::HoverMenuAlive(CMenuWnd* menu, HWND window) const {
  // A closed menu has deleted its object; a new window may even have the old
  // handle. The window proves the object only while it still points at it.
  return menu != nullptr && window != nullptr && IsWindow(window) &&
         GetWindowLongPtrW(window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(menu);
}

void TextToSpeechPage::CloseHoverMenu(CMenuWnd*& menu, HWND& window) {
  if (HoverMenuAlive(menu, window)) menu->PostClose(1);
  menu = nullptr;
  window = nullptr;
}

void TextToSpeechPage::UpdateHoverMenus(int x, int y) {
  if (m_btnPolyphone == nullptr || m_btnInterval == nullptr) return;
  // Menus closed by a click elsewhere are forgotten first.
  if (!HoverMenuAlive(m_polyphoneMenu, m_polyphoneMenuWindow)) CloseHoverMenu(m_polyphoneMenu, m_polyphoneMenuWindow);
  if (!HoverMenuAlive(m_intervalMenu, m_intervalMenuWindow)) CloseHoverMenu(m_intervalMenu, m_intervalMenuWindow);

  auto* pageSwitch = m_btnText2AudioShow != nullptr
                         ? static_cast<COptionUI*>(m_btnText2AudioShow->GetInterface(L"Option"))
                         : nullptr;
  const bool pageInFront = pageSwitch != nullptr && pageSwitch->IsSelected() && pageSwitch->IsVisible();

  RECT windowRect;
  GetWindowRect(Window(), &windowRect);
  // Whether the pointer left the area that keeps the menu open; never above the window's top edge.
  const auto outside = [&](HWND menuWindow, int width, int height) {
    RECT menuRect;
    GetWindowRect(menuWindow, &menuRect);
    const int left = menuRect.left - windowRect.left;
    const int top = menuRect.top - windowRect.top;
    const bool inside = x >= left && x <= left + width && y >= top && y <= top + height;
    return !inside && y > 0;
  };

  const CUIRect polyphone = m_btnPolyphone->GetPos();
  if (Contains(polyphone, x, y)) {
    if (m_polyphoneMenu == nullptr && pageInFront) {
      m_polyphoneMenu =
          OpenMenu(L"MenuPolyphone.xml", POINT{polyphone.left - 80, polyphone.bottom - 98}, &m_polyphoneMenuWindow);
    }
  } else if (m_polyphoneMenu != nullptr && outside(m_polyphoneMenuWindow, kPolyphoneKeepWidth, kPolyphoneKeepHeight)) {
    CloseHoverMenu(m_polyphoneMenu, m_polyphoneMenuWindow);
  }

  const CUIRect interval = m_btnInterval->GetPos();
  if (Contains(interval, x, y)) {
    if (m_intervalMenu == nullptr && pageInFront) {
      m_intervalMenu =
          OpenMenu(L"MenuInterval.xml", POINT{interval.left - 20, interval.bottom - 180}, &m_intervalMenuWindow);
    }
  } else if (m_intervalMenu != nullptr && outside(m_intervalMenuWindow, kIntervalKeepWidth, kIntervalKeepHeight)) {
    CloseHoverMenu(m_intervalMenu, m_intervalMenuWindow);
  }
}
