// The text-to-speech page's text import: a text file chosen by the user is
// decoded (byte-order mark, else UTF-8 when valid, else the ANSI code page)
// and appended to the editor within its 5000-character limit.
#include "app/pages/TextToSpeechPage.h"

#include "core/base/DebugTrace.h"
#include "core/base/FileBytes.h"
#include "core/base/portable/TextFileDecoding.h"
#include "ui/controls/richedit/RichEditUI.h"

#include <commdlg.h>

#include <cwchar>

using namespace Trellis;

namespace {

constexpr long kEditorLimit = 5000;
// A text file larger than this is not a text to speak; reading stops there.
constexpr size_t kMaxImportBytes = 64u << 20;

std::u16string WidenAnsi(const std::string& bytes) {
  std::u16string text;
  if (bytes.empty()) return text;
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return text;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], length);
  text.assign(wide.begin(), wide.end());
  return text;
}

CRichEditUI* Editor(CControlUI* control) {
  return control != nullptr ? static_cast<CRichEditUI*>(control->GetInterface(L"RichEdit")) : nullptr;
}

}  // namespace

void TextToSpeechPage::ImportText() {
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Window();
  dialog.lpstrFilter = L"文本文件(*.txt)\0*.txt\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!PickOpenFile(&dialog)) return;  // cancelled
  ImportTextFile(path);
}

bool TextToSpeechPage::ImportTextFile(const std::wstring& path) {
  CRichEditUI* editor = Editor(m_editor);
  if (editor == nullptr) return false;
  ByteBuffer bytes;
  DWORD error = 0;
  if (ReadWholeFile(path, kMaxImportBytes, bytes, &error) != FileReadResult::kOk) {
    DebugTrace(L"text import: cannot read %ls (error %lu)", path.c_str(), error);
    return false;  // the editor stays as it was
  }
  const std::string raw(bytes.size() != 0 ? bytes.data() : "", bytes.size());
  const std::u16string text = TextForEditor(DecodeTextFile(raw, WidenAnsi));
  std::wstring wide(text.begin(), text.end());
  // More than the editor holds is cut here rather than appended and cut back.
  if (wide.size() > static_cast<size_t>(kEditorLimit)) wide.resize(static_cast<size_t>(kEditorLimit));

  m_editor->SetText(L"");
  editor->SetLimitText(kEditorLimit);
  editor->AppendText(wide.c_str());
  EnforceTextLimit();
  ClearCache();
  return true;
}

void TextToSpeechPage::EnforceTextLimit() {
  CRichEditUI* editor = Editor(m_editor);
  if (editor == nullptr) return;
  long length = editor->GetTextLength();
  if (length >= kEditorLimit) {
    std::wstring text = editor->GetText().GetText();
    if (CutTextToLimit(text, kEditorLimit)) {
      editor->SetLimitText(kEditorLimit);
      editor->SetText(L"");
      editor->AppendText(text.c_str());
    }
    length = editor->GetTextLength();
    editor->SetSel(length, length);
  }
  wchar_t count[32];
  std::swprintf(count, 32, L"%ld/5000", length);
  SetControlText(m_textCount, count);
}
