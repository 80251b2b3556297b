#include "pagemint/portable/DocumentBuilder.h"

#include "pagemint/portable/DocumentText.h"
#include "pagemint/portable/DocxWriter.h"
#include "pagemint/portable/RtfWriter.h"

namespace {

// `suffix` is lower-case ASCII; only ASCII letters of `text` are folded.
bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    wchar_t c = text[text.size() - suffix.size() + i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

}  // namespace

DocumentFormat FormatFromOutputPath(const std::wstring& path) {
  if (EndsWithNoCase(path, L".docx")) return DocumentFormat::kDocx;
  if (EndsWithNoCase(path, L".doc")) return DocumentFormat::kDoc;
  return DocumentFormat::kUnknown;
}

bool BuildDocument(const std::string& utf8, DocumentFormat format, ZipDosTime stamp,
                   std::string* document, std::string* error) {
  if (format == DocumentFormat::kUnknown) {
    *error = "the output name must end in .docx or .doc";
    return false;
  }
  DocumentText text;
  TextError textError;
  if (!ParseDocumentText(utf8, &text, &textError)) {
    *error = textError.reason + " (byte " + std::to_string(textError.offset) + ")";
    return false;
  }
  if (format == DocumentFormat::kDoc) {
    *document = BuildRtf(text);
    return true;
  }
  if (!BuildDocx(text, stamp, document)) {
    *error = "the document package could not be built";
    return false;
  }
  return true;
}
