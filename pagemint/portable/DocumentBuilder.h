#pragma once

#include <string>

#include "pagemint/portable/ZipWriter.h"

// What Pagemint writes, chosen by the output file's extension.
enum class DocumentFormat {
  kUnknown,
  kDocx,  // ".docx": WordprocessingML package
  kDoc,   // ".doc": RTF content, which word processors open under that name
};

// The format named by the last extension of `path` (compared without case).
DocumentFormat FormatFromOutputPath(const std::wstring& path);

// Turns UTF-8 text into the bytes of a document of `format`. On failure
// `error` says why in one line and `document` is left alone.
bool BuildDocument(const std::string& utf8, DocumentFormat format, ZipDosTime stamp,
                   std::string* document, std::string* error);
