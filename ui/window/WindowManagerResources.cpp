// CWindowManagerUI, resources: fonts by number, images by name, default
// attribute lists by element name, default colours, process-wide
// multi-language texts, option groups, the skin's window attributes and the
// process-wide skin source settings. Lookups try the window's set first, then
// the shared one; shared resources live until the process ends.
//
// Sections: Resource sets; Fonts; Images; Default attribute lists;
// Multi-language texts; Default colours; Option groups; Window attributes;
// Program instance and skin source.
#include <cwctype>

#include "core/base/BenchMemory.h"
#include "core/base/DebugTrace.h"
#include "ui/control/ControlUI.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/draw/DrawEngine.h"
#include "ui/skin/SkinFile.h"
#include "ui/skin/ZipArchive.h"
#include "ui/skin/portable/LoadProbe.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowManagerProcess.h"
#include "ui/window/portable/MultiLanguageTokens.h"

namespace Trellis {

// --- Resource sets ---

UIResourceSet& CWindowManagerUI::ChosenSet(bool shared) {
  return shared || m_bForceUseSharedRes ? GetProcessState().shared : m_ResInfo;
}

namespace {

CUIString DecimalKey(int id) {
  CUIString key;
  key.Format(UI_TEXT("%d"), id);
  return key;
}

// Calls fn(value) for every value of the map, then empties it.
template <typename T, typename Fn>
void DrainMap(CUIStringMap& map, Fn fn) {
  for (int i = 0; i < map.GetCount(); ++i) {
    const UIChar* key = map.GetKeyAt(i);
    if (key != nullptr) fn(static_cast<T*>(map.Find(key, false)));
  }
  map.RemoveAll();
}

}  // namespace

// --- Fonts ---

namespace {

// The stock GUI font's description with the requested face, size and style.
HFONT CreateUIFont(const UIChar* face, int size, bool bold, bool underline, bool italic) {
  LOGFONTW logFont = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
  lstrcpynW(logFont.lfFaceName, face != nullptr ? face : L"", LF_FACESIZE);
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfHeight = -size;
  // Bold is the bold weight itself, not an offset added to the face's weight.
  if (bold) logFont.lfWeight = FW_BOLD;
  if (underline) logFont.lfUnderline = TRUE;
  if (italic) logFont.lfItalic = TRUE;
  BenchAddCount("fonts.created", 1);
  return ::CreateFontIndirectW(&logFont);
}

}  // namespace

void CWindowManagerUI::MeasureFont(UIFontInfo* font) {
  if (font == nullptr || font->tm.tmHeight != 0 || !font->hFont || !m_hDcPaint) return;
  UILoadStepScope step(kUILoadFont);
  SelectObjectScope select(m_hDcPaint.Get(), font->hFont.Get());
  ::GetTextMetricsW(m_hDcPaint.Get(), &font->tm);
}

UIFontInfo* CWindowManagerUI::StoreFont(int id, const UIChar* face, int size, bool bold, bool underline, bool italic,
                                        bool shared, OwnedFont font) {
  auto* info = new UIFontInfo;
  info->hFont = std::move(font);
  info->sFontName.AssignText(face);
  info->iSize = size;
  info->bBold = bold;
  info->bUnderline = underline;
  info->bItalic = italic;
  UIResourceSet& set = ChosenSet(shared);
  const CUIString key = DecimalKey(id);
  if (auto* old = static_cast<UIFontInfo*>(set.m_CustomFonts.Find(key.GetText(), false))) {
    set.m_CustomFonts.Remove(key.GetText());
    delete old;
  }
  if (!set.m_CustomFonts.Insert(key.GetText(), info)) {
    delete info;
    return nullptr;
  }
  return info;
}

HFONT CWindowManagerUI::AddFont(int id, const UIChar* face, int size, bool bold, bool underline, bool italic,
                                bool shared) {
  UILoadStepScope step(kUILoadFont);
  OwnedFont font(CreateUIFont(face, size, bold, underline, italic));
  if (!font) return nullptr;
  UIFontInfo* info = StoreFont(id, face, size, bold, underline, italic, shared, std::move(font));
  if (info == nullptr) return nullptr;
  MeasureFont(info);
  return info->hFont.Get();
}

void CWindowManagerUI::DeclareFont(int id, const UIChar* face, int size, bool bold, bool underline, bool italic,
                                   bool shared) {
  StoreFont(id, face, size, bold, underline, italic, shared, OwnedFont());
}

bool CWindowManagerUI::RealizeFont(UIFontInfo* font) {
  if (font->hFont) return true;
  UILoadStepScope step(kUILoadFont);
  font->hFont.Reset(CreateUIFont(font->sFontName.GetText(), font->iSize, font->bBold != 0, font->bUnderline != 0,
                                 font->bItalic != 0));
  return static_cast<bool>(font->hFont);
}

HFONT CWindowManagerUI::GetFontHandle(int id) {
  UIFontInfo* info = GetFontInfo(id);
  return info != nullptr ? info->hFont.Get() : nullptr;
}

UIFontInfo* CWindowManagerUI::GetFontInfo(int id) {
  if (id < 0) return GetDefaultFontInfo();
  const CUIString key = DecimalKey(id);
  auto* info = static_cast<UIFontInfo*>(m_ResInfo.m_CustomFonts.Find(key.GetText()));
  if (info == nullptr) info = static_cast<UIFontInfo*>(GetProcessState().shared.m_CustomFonts.Find(key.GetText()));
  // A declared font that cannot be made draws with the default font.
  if (info == nullptr || !RealizeFont(info)) return GetDefaultFontInfo();
  MeasureFont(info);
  return info;
}

UIFontInfo* CWindowManagerUI::GetFontInfoByHandle(HFONT font) {
  if (font != nullptr) {
    for (UIResourceSet* set : {&m_ResInfo, &GetProcessState().shared}) {
      for (int i = 0; i < set->m_CustomFonts.GetCount(); ++i) {
        auto* info = static_cast<UIFontInfo*>(set->m_CustomFonts.Find(set->m_CustomFonts.GetKeyAt(i), false));
        if (info != nullptr && info->hFont.Get() == font) {
          MeasureFont(info);
          return info;
        }
      }
    }
  }
  return GetDefaultFontInfo();
}

HFONT CWindowManagerUI::FindFontHandle(const UIChar* face, int size, bool bold, bool underline, bool italic) {
  for (UIResourceSet* set : {&m_ResInfo, &GetProcessState().shared}) {
    for (int i = 0; i < set->m_CustomFonts.GetCount(); ++i) {
      auto* info = static_cast<UIFontInfo*>(set->m_CustomFonts.Find(set->m_CustomFonts.GetKeyAt(i), false));
      if (info != nullptr && info->sFontName.EqualsText(face) && info->iSize == size && (info->bBold != 0) == bold &&
          (info->bUnderline != 0) == underline && (info->bItalic != 0) == italic && RealizeFont(info)) {
        return info->hFont.Get();
      }
    }
  }
  return nullptr;
}

void CWindowManagerUI::SetDefaultFont(const UIChar* face, int size, bool bold, bool underline, bool italic,
                                      bool shared) {
  UILoadStepScope step(kUILoadFont);
  OwnedFont font(CreateUIFont(face, size, bold, underline, italic));
  if (!font) return;
  UIFontInfo& info = ChosenSet(shared).DefaultFontInfo;
  info.hFont = std::move(font);  // deletes the old handle
  info.sFontName.AssignText(face);
  info.iSize = size;
  info.bBold = bold;
  info.bUnderline = underline;
  info.bItalic = italic;
  info.tm = {};
  MeasureFont(&info);
}

UIFontInfo* CWindowManagerUI::GetDefaultFontInfo() {
  UIFontInfo* info = m_ResInfo.DefaultFontInfo.sFontName.IsEmpty() ? &GetProcessState().shared.DefaultFontInfo
                                                                   : &m_ResInfo.DefaultFontInfo;
  MeasureFont(info);
  return info;
}

void CWindowManagerUI::RemoveAllFonts(bool shared) {
  DrainMap<UIFontInfo>(ChosenSet(shared).m_CustomFonts, [](UIFontInfo* info) { delete info; });
}

// --- Images ---

UIImageInfo* CWindowManagerUI::AddImage(const UIChar* name, const UIChar* type, DWORD mask, bool keepSourcePixels,
                                        bool shared) {
  if (name == nullptr || name[0] == 0) return nullptr;
  UIResourceSet& set = ChosenSet(shared);
  // Controls keep pointers to loaded records: a second add keeps the first.
  if (auto* existing = static_cast<UIImageInfo*>(set.m_ImageHash.Find(name, false))) return existing;
  UILoadStepScope step(kUILoadImage);
  UIImageInfo* image = nullptr;
  // A colour's name is its hexadecimal text ("*COLOR*"), never a resource
  // number, even when it starts with a digit ("80FF0000").
  const bool colour = type != nullptr && UITextCompare(type, UI_TEXT("*COLOR*")) == 0;
  if (type != nullptr && type[0] != 0) {
    if (!colour && name[0] >= '0' && name[0] <= '9') {
      image = CDrawEngine::LoadImage(UIResourceRef(static_cast<int>(ParseAttributeInt(name))), type, mask);
    } else {
      image = CDrawEngine::LoadImage(UIResourceRef(name), type, mask);
    }
  } else {
    image = CDrawEngine::LoadImage(UIResourceRef(name), nullptr, mask);
  }
  if (image == nullptr) return nullptr;
  image->sResType.AssignText(type);
  image->bUseHSL = keepSourcePixels;
  if (keepSourcePixels) image->SaveSourceBits();
  if (CDrawEngine::IsHslEnabled()) {
    short hue = 0;
    short saturation = 0;
    short luminance = 0;
    CDrawEngine::GetHsl(&hue, &saturation, &luminance);
    CDrawEngine::AdjustImage(true, image, hue, saturation, luminance);
  }
  if (!set.m_ImageHash.Insert(name, image)) {
    CDrawEngine::FreeImage(image);
    return nullptr;
  }
  return image;
}

UIImageInfo* CWindowManagerUI::GetImage(const UIChar* name) const {
  if (name == nullptr || name[0] == 0) return nullptr;
  auto* image = static_cast<UIImageInfo*>(m_ResInfo.m_ImageHash.Find(name));
  if (image == nullptr) image = static_cast<UIImageInfo*>(GetProcessState().shared.m_ImageHash.Find(name));
  return image;
}

UIImageInfo* CWindowManagerUI::GetOrAddImage(const UIChar* name, const UIChar* type, DWORD mask,
                                             bool keepSourcePixels) {
  UIImageInfo* image = GetImage(name);
  return image != nullptr ? image : AddImage(name, type, mask, keepSourcePixels, m_bForceUseSharedRes);
}

void CWindowManagerUI::RemoveAllImages(bool shared) {
  DrainMap<UIImageInfo>(ChosenSet(shared).m_ImageHash, [](UIImageInfo* image) { CDrawEngine::FreeImage(image); });
}

// --- Default attribute lists ---

void CWindowManagerUI::AddDefaultAttributeList(const UIChar* elementName, const UIChar* list, bool shared) {
  if (elementName == nullptr || elementName[0] == 0 || list == nullptr) return;
  auto* copy = new CUIString(list);
  UIResourceSet& set = ChosenSet(shared);
  void* old = set.m_AttrHash.Set(elementName, copy);
  if (old == copy) {  // could not be stored
    delete copy;
    return;
  }
  delete static_cast<CUIString*>(old);
}

const UIChar* CWindowManagerUI::GetDefaultAttributeList(const UIChar* elementName) const {
  if (elementName == nullptr || elementName[0] == 0) return nullptr;
  auto* list = static_cast<const CUIString*>(m_ResInfo.m_AttrHash.Find(elementName));
  if (list == nullptr) list = static_cast<const CUIString*>(GetProcessState().shared.m_AttrHash.Find(elementName));
  return list != nullptr ? list->GetText() : nullptr;
}

void CWindowManagerUI::RemoveAllDefaultAttributeLists(bool shared) {
  DrainMap<CUIString>(ChosenSet(shared).m_AttrHash, [](CUIString* list) { delete list; });
}

// --- Multi-language texts ---

void CWindowManagerUI::AddMultiLanguageString(int id, const UIChar* text) {
  if (text == nullptr) return;
  CUIStringMap& table = GetProcessState().shared.m_MultiLanguageHash;
  auto* copy = new CUIString(text);
  void* old = table.Set(DecimalKey(id).GetText(), copy);
  if (old == copy) {
    delete copy;
    return;
  }
  delete static_cast<CUIString*>(old);
}

const UIChar* CWindowManagerUI::GetMultiLanguageString(int id) {
  const auto* text =
      static_cast<const CUIString*>(GetProcessState().shared.m_MultiLanguageHash.Find(DecimalKey(id).GetText()));
  return text != nullptr ? text->GetText() : nullptr;
}

void CWindowManagerUI::ProcessMultiLanguageTokens(CUIString& text) {
  if (text.FindText(UI_TEXT("%{")) < 0) return;
  text = ExpandMultiLanguageTokens(text.GetText(), &CWindowManagerUI::GetMultiLanguageString);
}

// --- Default colours ---

namespace {

// The shared colour changes; a window whose colour still equals the old
// shared one follows it. Without shared only the window's colour changes.
void SetDefaultColor(uint32_t UIResourceSet::*field, UIResourceSet& window, uint32_t color, bool shared) {
  if (shared) {
    UIResourceSet& sharedSet = GetProcessState().shared;
    if (window.*field == sharedSet.*field) window.*field = color;
    sharedSet.*field = color;
  } else {
    window.*field = color;
  }
}

}  // namespace

void CWindowManagerUI::SetDefaultDisabledColor(uint32_t color, bool shared) {
  SetDefaultColor(&UIResourceSet::dwDefaultDisabledColor, m_ResInfo, color, shared);
}
void CWindowManagerUI::SetDefaultFontColor(uint32_t color, bool shared) {
  SetDefaultColor(&UIResourceSet::dwDefaultFontColor, m_ResInfo, color, shared);
}
void CWindowManagerUI::SetDefaultLinkFontColor(uint32_t color, bool shared) {
  SetDefaultColor(&UIResourceSet::dwDefaultLinkFontColor, m_ResInfo, color, shared);
}
void CWindowManagerUI::SetDefaultLinkHoverFontColor(uint32_t color, bool shared) {
  SetDefaultColor(&UIResourceSet::dwDefaultLinkHoverFontColor, m_ResInfo, color, shared);
}
void CWindowManagerUI::SetDefaultSelectedBkColor(uint32_t color, bool shared) {
  SetDefaultColor(&UIResourceSet::dwDefaultSelectedBkColor, m_ResInfo, color, shared);
}

// --- Option groups ---

bool CWindowManagerUI::AddOptionToGroup(const UIChar* group, CControlUI* option) {
  if (group == nullptr || group[0] == 0 || option == nullptr) return false;
  auto* options = static_cast<CUIPtrArray*>(m_mOptionGroup.Find(group));
  if (options == nullptr) {
    options = new CUIPtrArray(6);
    if (!m_mOptionGroup.Insert(group, options)) {
      delete options;
      return false;
    }
  }
  if (options->Find(option) >= 0) return false;
  return options->Add(option);
}

CUIPtrArray* CWindowManagerUI::GetOptionGroup(const UIChar* group) const {
  if (group == nullptr || group[0] == 0) return nullptr;
  return static_cast<CUIPtrArray*>(m_mOptionGroup.Find(group));
}

void CWindowManagerUI::RemoveOptionFromGroup(const UIChar* group, CControlUI* option) {
  CUIPtrArray* options = GetOptionGroup(group);
  if (options == nullptr) return;
  const int index = options->Find(option);
  if (index >= 0) options->Remove(index);
  if (options->IsEmpty()) {
    m_mOptionGroup.Remove(group);
    delete options;
  }
}

void CWindowManagerUI::RemoveAllOptionGroups() {
  DrainMap<CUIPtrArray>(m_mOptionGroup, [](CUIPtrArray* options) { delete options; });
}

// --- Window attributes ---

namespace {

bool IsNamed(const UIChar* name, const UIChar* expected) { return UITextCompareNoCase(name, expected) == 0; }

}  // namespace

void CWindowManagerUI::SetWindowAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = UI_TEXT("");
  if (IsNamed(name, UI_TEXT("size"))) {
    const CUISize size = ParseAttributeSize(value);
    SetInitialSize(size.cx, size.cy);
  } else if (IsNamed(name, UI_TEXT("sizebox"))) {
    SetSizeBox(ParseAttributeRect(value));
  } else if (IsNamed(name, UI_TEXT("caption"))) {
    SetCaptionRect(ParseAttributeRect(value));
  } else if (IsNamed(name, UI_TEXT("roundcorner"))) {
    const CUISize corner = ParseAttributeSize(value);
    SetRoundCorner(corner.cx, corner.cy);
  } else if (IsNamed(name, UI_TEXT("mininfo"))) {
    const CUISize size = ParseAttributeSize(value);
    SetMinInfo(size.cx, size.cy);
  } else if (IsNamed(name, UI_TEXT("maxinfo"))) {
    const CUISize size = ParseAttributeSize(value);
    SetMaxInfo(size.cx, size.cy);
  } else if (IsNamed(name, UI_TEXT("showdirty"))) {
    SetShowDirty(IsNamed(value, UI_TEXT("true")));
  } else if (UITextCompare(name, UI_TEXT("noactivate")) == 0) {
    SetNoActivate(IsNamed(value, UI_TEXT("true")));
  } else if (IsNamed(name, UI_TEXT("opacity"))) {
    SetOpacity(ParseAttributeInt(value));
  } else if (UITextCompare(name, UI_TEXT("layeredopacity")) == 0) {
    SetLayeredOpacity(ParseAttributeInt(value));
  } else if (UITextCompare(name, UI_TEXT("layeredimage")) == 0) {
    SetLayered(true);
    SetLayeredImage(value);
  } else if (IsNamed(name, UI_TEXT("disabledfontcolor"))) {
    SetDefaultDisabledColor(ParseAttributeColor(value));
  } else if (IsNamed(name, UI_TEXT("defaultfontcolor"))) {
    SetDefaultFontColor(ParseAttributeColor(value));
  } else if (IsNamed(name, UI_TEXT("linkfontcolor"))) {
    SetDefaultLinkFontColor(ParseAttributeColor(value));
  } else if (IsNamed(name, UI_TEXT("linkhoverfontcolor"))) {
    SetDefaultLinkHoverFontColor(ParseAttributeColor(value));
  } else if (IsNamed(name, UI_TEXT("selectedcolor"))) {
    SetDefaultSelectedBkColor(ParseAttributeColor(value));
  } else {
    AddWindowCustomAttribute(name, value);
  }
}

void CWindowManagerUI::AddWindowCustomAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr || name[0] == 0 || value == nullptr || value[0] == 0) return;
  if (m_mWindowCustomAttrHash.Find(name, false) != nullptr) return;
  auto* copy = new CUIString(value);
  if (!m_mWindowCustomAttrHash.Insert(name, copy)) delete copy;
}

const UIChar* CWindowManagerUI::GetWindowCustomAttribute(const UIChar* name) const {
  if (name == nullptr || name[0] == 0) return nullptr;
  const auto* value = static_cast<const CUIString*>(m_mWindowCustomAttrHash.Find(name));
  return value != nullptr ? value->GetText() : nullptr;
}

void CWindowManagerUI::RemoveAllWindowCustomAttributes() {
  DrainMap<CUIString>(m_mWindowCustomAttrHash, [](CUIString* value) { delete value; });
}

// --- Program instance and skin source ---

void CWindowManagerUI::SetInstance(HINSTANCE instance) {
  GetProcessState().instance = instance;
  CShadowUI::RegisterWindowClass(instance);
}

HINSTANCE CWindowManagerUI::GetInstance() { return GetProcessState().instance; }

HINSTANCE CWindowManagerUI::GetResourceInstance() {
  const UIProcessState& process = GetProcessState();
  return process.resourceInstance != nullptr ? process.resourceInstance : process.instance;
}

CUIString CWindowManagerUI::GetInstancePath() {
  wchar_t path[MAX_PATH + 1] = {};
  ::GetModuleFileNameW(GetInstance(), path, MAX_PATH);
  wchar_t* lastSlash = wcsrchr(path, L'\\');
  if (lastSlash != nullptr) lastSlash[1] = 0;
  return CUIString(path);
}

void CWindowManagerUI::SetResourcePath(const UIChar* path) {
  CUIString& resourcePath = GetSkinSource().resourcePath;
  resourcePath.AssignText(path);
  if (resourcePath.IsEmpty()) return;
  const UIChar last = resourcePath.GetAt(resourcePath.GetLength() - 1);
  if (last != '\\' && last != '/') resourcePath.AppendChar('\\');
}

const CUIString& CWindowManagerUI::GetResourcePath() { return GetSkinSource().resourcePath; }

namespace {

void CloseKeptArchive(UISkinSource& source) {
  if (source.zipHandle != nullptr) {
    ZipCloseArchive(source.zipHandle);
    source.zipHandle = nullptr;
  }
}

}  // namespace

void CWindowManagerUI::SetResourceZipFile(const UIChar* name, bool keepOpen) {
  UISkinSource& source = GetSkinSource();
  if (source.zipName.EqualsText(name) && source.zipCached == keepOpen) return;
  CloseKeptArchive(source);
  source.zipName.AssignText(name);
  source.zipCached = keepOpen;
  if (!keepOpen || source.zipName.IsEmpty()) return;
  const CUIString path = source.resourcePath.ConcatText(source.zipName.GetText());
  UILoadStepScope step(kUILoadArchiveOpen);
  source.zipHandle = ZipOpenArchive(path.GetText(), 0, ZipKindFile);
  if (source.zipHandle == nullptr) DebugTrace(L"Trellis: the skin archive file could not be opened");
}

void CWindowManagerUI::SetResourceZipMemory(const void* bytes, unsigned length) {
  UISkinSource& source = GetSkinSource();
  // The first memory archive stays until another source is chosen
  // (SetResourceZipFile): later buffers are ignored, so one a caller frees
  // again never becomes the archive held open.
  if (source.zipName.EqualsText(UI_TEXT("membuffer"))) return;
  if (source.zipCached) CloseKeptArchive(source);
  source.zipName.AssignText(UI_TEXT("membuffer"));
  if (!source.zipCached || bytes == nullptr || length == 0) return;
  UILoadStepScope step(kUILoadArchiveOpen);
  source.zipHandle = ZipOpenArchive(bytes, length, ZipKindMemory);
  if (source.zipHandle == nullptr) DebugTrace(L"Trellis: the skin archive in memory could not be opened");
}

const CUIString& CWindowManagerUI::GetResourceZipName() { return GetSkinSource().zipName; }

ZipHandle* CWindowManagerUI::GetResourceZipHandle() { return GetSkinSource().zipHandle; }

bool CWindowManagerUI::IsResourceZipCached() { return GetSkinSource().zipCached; }

const CUIPtrArray& CWindowManagerUI::GetPlugins() { return GetProcessState().plugins; }

}  // namespace Trellis
