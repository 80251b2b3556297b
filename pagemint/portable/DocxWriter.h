#pragma once

#include <string>

#include "pagemint/portable/DocumentText.h"
#include "pagemint/portable/ZipWriter.h"

// Builds a WordprocessingML package (.docx): content types, package and part
// relationships, styles with a CJK-capable default font, and the document body
// with one paragraph per text paragraph (tabs as tab marks, spaces kept).
// False when the archive cannot be made.
bool BuildDocx(const DocumentText& text, ZipDosTime stamp, std::string* package);
