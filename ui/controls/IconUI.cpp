// The icon control: resolving "icon" to an icon handle and drawing it.
#include "ui/controls/IconUI.h"

#include <cstring>
#include <memory>

#include "core/base/DebugTrace.h"
#include "ui/base/portable/UIChar.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/skin/SkinFile.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

// Icon files are small; anything larger is not read.
constexpr size_t kMaxIconFileBytes = 4u * 1024u * 1024u;

uint16_t ReadU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

CIconUI::CIconUI() { CControlUI::SetAttribute(UI_TEXT("bkcolor"), UI_TEXT("#00000000")); }

CIconUI::~CIconUI() = default;

const UIChar* CIconUI::GetClassName() const { return UI_TEXT("IconUI"); }

void* CIconUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("Icon")) == 0) return this;
  return CControlUI::GetInterface(name);
}

void CIconUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (UITextCompare(name, UI_TEXT("icon")) == 0) {
    SetIconName(value);
  } else if (UITextCompare(name, UI_TEXT("inset")) == 0) {
    int32_t sides[4] = {0, 0, 0, 0};
    ParseAttributeIntList(value, sides, 4);
    SetInset(CUIRect(sides[0], sides[1], sides[2], sides[3]));
  }
  Invalidate();
  CControlUI::SetAttribute(name, value);
}

void CIconUI::SetIconName(const UIChar* name) {
  if (name == nullptr) name = UI_TEXT("");
  if (m_sIconName.EqualsText(name)) return;
  m_sIconName = name;
  m_hIcon.Reset();
  m_bIconTried = false;
}

void CIconUI::SetIcon(OwnedIcon icon) {
  m_hIcon = std::move(icon);
  m_bIconTried = true;
  Invalidate();
}

void CIconUI::SetInset(const CUIRect& inset) { m_rcInset = inset; }

OwnedIcon CIconUI::IconFromFileBytes(const unsigned char* bytes, size_t size, int width, int height) {
  // ICONDIR: reserved 0, type 1 (icon), count; then 16-byte entries.
  if (bytes == nullptr || size < 6 || ReadU16(bytes) != 0 || ReadU16(bytes + 2) != 1) return OwnedIcon();
  const size_t count = ReadU16(bytes + 4);
  if (count == 0 || size < 6 + count * 16) return OwnedIcon();
  const int wanted = width > height ? width : height;
  size_t best = count;
  int bestSide = 0;
  for (size_t i = 0; i < count; ++i) {
    const unsigned char* entry = bytes + 6 + i * 16;
    const int side = entry[0] == 0 ? 256 : entry[0];  // 0 stands for 256
    const uint32_t length = ReadU32(entry + 8);
    const uint32_t offset = ReadU32(entry + 12);
    if (length == 0 || offset > size || length > size - offset) continue;  // outside the file
    // The smallest entry at least as large as wanted, else the largest.
    const bool better = best == count || (bestSide < wanted ? side > bestSide : (side >= wanted && side < bestSide));
    if (better) {
      best = i;
      bestSide = side;
    }
  }
  if (best == count) return OwnedIcon();
  const unsigned char* entry = bytes + 6 + best * 16;
  const uint32_t length = ReadU32(entry + 8);
  const uint32_t offset = ReadU32(entry + 12);
  // CreateIconFromResourceEx takes a writable pointer; give it a copy.
  std::unique_ptr<BYTE[]> image(new BYTE[length]);
  std::memcpy(image.get(), bytes + offset, length);
  return OwnedIcon(::CreateIconFromResourceEx(image.get(), length, TRUE, 0x00030000, bestSide, bestSide,
                                              LR_DEFAULTCOLOR));
}

bool CIconUI::EnsureIcon(int width, int height) {
  if (m_hIcon) return true;
  if (m_bIconTried || m_sIconName.IsEmpty()) return false;
  m_bIconTried = true;
  const UIChar* name = m_sIconName.GetText();
  if (name[0] == UI_TEXT('#')) {
    const int id = ParseAttributeInt(name + 1);
    if (id > 0 && id <= 0xFFFF) {
      m_hIcon.Reset(static_cast<HICON>(::LoadImageW(CWindowManagerUI::GetResourceInstance(), MAKEINTRESOURCEW(id),
                                                    IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
    }
  } else {
    UIByteBuffer bytes;
    const wchar_t* failure = ReadSkinFile(name, kMaxIconFileBytes, bytes);
    if (failure != nullptr) failure = ReadWholeFile(name, kMaxIconFileBytes, bytes);
    if (failure == nullptr) {
      const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
      m_hIcon = IconFromFileBytes(data, bytes.size(), width, height);
    }
  }
  if (!m_hIcon) {
    DebugTrace(L"Trellis: icon control cannot load its icon");
    return false;
  }
  return true;
}

void CIconUI::PaintStatusImage(HDC hDC) {
  const int x = m_rcItem.left + m_rcInset.left;
  const int y = m_rcItem.top + m_rcInset.top;
  const int width = m_rcItem.right - m_rcInset.right - x;
  const int height = m_rcItem.bottom - m_rcInset.bottom - y;
  if (width <= 0 || height <= 0 || hDC == nullptr) return;
  if (!EnsureIcon(width, height)) return;
  ::DrawIconEx(hDC, x, y, m_hIcon.Get(), width, height, 0, nullptr, DI_NORMAL);
}

}  // namespace Trellis
