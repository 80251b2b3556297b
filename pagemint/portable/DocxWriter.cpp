#include "pagemint/portable/DocxWriter.h"

namespace {

const char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
const char kWordNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

const char kContentTypes[] =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "</Types>";

const char kPackageRelationships[] =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/>"
    "</Relationships>";

const char kDocumentRelationships[] =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/>"
    "</Relationships>";

// Default run font: a Latin face plus SimSun for East Asian text, so Chinese
// transcripts show without the reader guessing a font.
const char kStylesBody[] =
    "<w:docDefaults><w:rPrDefault><w:rPr>"
    "<w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\" w:eastAsia=\"SimSun\" "
    "w:cs=\"Times New Roman\"/>"
    "<w:sz w:val=\"24\"/><w:szCs w:val=\"24\"/><w:lang w:val=\"en-US\" w:eastAsia=\"zh-CN\"/>"
    "</w:rPr></w:rPrDefault><w:pPrDefault/></w:docDefaults>"
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/></w:style>";

// A4 page with 2.54 cm / 3.17 cm margins.
const char kSectionProperties[] =
    "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
    "<w:pgMar w:top=\"1440\" w:right=\"1800\" w:bottom=\"1440\" w:left=\"1800\" w:header=\"851\" "
    "w:footer=\"992\" w:gutter=\"0\"/></w:sectPr>";

void AppendEscaped(char32_t c, std::string* out) {
  switch (c) {
    case U'&': *out += "&amp;"; break;
    case U'<': *out += "&lt;"; break;
    case U'>': *out += "&gt;"; break;
    default: AppendUtf8(c, out);
  }
}

// One paragraph: text pieces in <w:t> (spaces preserved) split by <w:tab/>.
void AppendParagraph(const std::u32string& paragraph, std::string* xml) {
  if (paragraph.empty()) {
    *xml += "<w:p/>";
    return;
  }
  *xml += "<w:p><w:r>";
  bool inText = false;
  for (char32_t c : paragraph) {
    if (c == U'\t') {
      if (inText) *xml += "</w:t>";
      inText = false;
      *xml += "<w:tab/>";
      continue;
    }
    if (!inText) *xml += "<w:t xml:space=\"preserve\">";
    inText = true;
    AppendEscaped(c, xml);
  }
  if (inText) *xml += "</w:t>";
  *xml += "</w:r></w:p>";
}

std::string DocumentXml(const DocumentText& text) {
  std::string xml = kXmlDeclaration;
  xml += "<w:document xmlns:w=\"";
  xml += kWordNamespace;
  xml += "\"><w:body>";
  for (const std::u32string& paragraph : text.paragraphs) AppendParagraph(paragraph, &xml);
  xml += kSectionProperties;
  xml += "</w:body></w:document>";
  return xml;
}

std::string StylesXml() {
  return std::string(kXmlDeclaration) + "<w:styles xmlns:w=\"" + kWordNamespace + "\">" + kStylesBody +
         "</w:styles>";
}

}  // namespace

bool BuildDocx(const DocumentText& text, ZipDosTime stamp, std::string* package) {
  ZipWriter zip(stamp);
  // [Content_Types].xml first: some readers sniff the package by its first entry.
  return zip.Add("[Content_Types].xml", kXmlDeclaration + std::string(kContentTypes)) &&
         zip.Add("_rels/.rels", kXmlDeclaration + std::string(kPackageRelationships)) &&
         zip.Add("word/document.xml", DocumentXml(text)) &&
         zip.Add("word/_rels/document.xml.rels", kXmlDeclaration + std::string(kDocumentRelationships)) &&
         zip.Add("word/styles.xml", StylesXml()) && zip.Finish(package);
}
