#pragma once

#include <string>

#include "pagemint/portable/DocumentText.h"

// Builds an RTF document (what Pagemint writes under a .doc name): pure ASCII,
// every character beyond ASCII as a \uN escape with "?" as the fallback for
// readers without Unicode, characters outside the BMP as surrogate pairs, one
// \par between paragraphs.
std::string BuildRtf(const DocumentText& text);
