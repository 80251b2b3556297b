// The markup loaders that need the system: the ANSI code page and the skin
// source (folder or archive).
#include <windows.h>

#include <climits>

#include "ui/skin/SkinFile.h"
#include "ui/skin/portable/LoadProbe.h"
#include "ui/skin/portable/XmlMarkup.h"

namespace Trellis {

bool CXmlMarkup::LoadFromMemory(const void* bytes, size_t length, MarkupEncoding encoding) {
  if (encoding != MarkupEncodingAnsi) return LoadFromUnicodeMemory(bytes, length, encoding);
  if (bytes == nullptr) length = 0;
  if (length > static_cast<size_t>(INT_MAX)) return FailLoad(L"File too large");
  const char* text = static_cast<const char*>(bytes);
  const int count = length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
  size_t capacity = 0;
  UIChar* wide = TextBuffer(static_cast<size_t>(count), text, length, &capacity);
  if (wide == nullptr) return FailLoad(L"Out of memory");
  if (count > 0) MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), wide, count);
  wide[count] = 0;
  return ParseOwnedText(wide, capacity, static_cast<size_t>(count));
}

bool CXmlMarkup::LoadFromFile(const UIChar* name, MarkupEncoding encoding) {
  // The previous document is gone at once, whatever the read gives.
  m_nElements = 0;
  UIByteBuffer bytes;
  {
    UILoadStepScope step(kUILoadSkinRead);
    if (const wchar_t* error = ReadSkinFile(name, kMaxFileBytes, bytes)) return FailLoad(error);
  }
  return LoadFromMemory(bytes.data(), bytes.size(), encoding);
}

}  // namespace Trellis
