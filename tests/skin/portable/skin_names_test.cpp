// The skin files against what the windows look up in them: every control the
// code finds by name exists with the element type, group, user data, tag and
// nesting the code relies on, and every image and included file a skin names
// is in the skin folder. A skin edit that breaks a page fails here instead of
// silently leaving a null control pointer behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ui/base/portable/UITestText.h"
#include "ui/skin/portable/XmlMarkup.h"

#if !defined(QUILLORA_SKIN_DIR) || !defined(QUILLORA_STANDIN_CATALOGUE)
#error "the build passes the skin folder and the stand-in voice catalogue"
#endif

namespace {

// The layout files of the embedded skin archive.
const char* const kSkinFiles[] = {
    "MainWnd.xml",       "LoginWnd.xml",         "MessageWnd.xml",          "ConvertOkWnd.xml",
    "VoiceTypeWnd.xml",  "VoiceTypeItem.xml",    "VoiceExampleWnd.xml",     "VoiceExampleItem.xml",
    "EmotionItem.xml",   "Voice2TextListItemUI.xml", "PersonalCenterTip.xml", "Menu.xml",
    "MenuPolyphone.xml", "MenuInterval.xml",     "fonts.xml",
};

std::string SkinPath(const std::string& name) { return std::string(QUILLORA_SKIN_DIR) + "/" + name; }

bool ReadBytes(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream out;
  out << in.rdbuf();
  *bytes = out.str();
  return true;
}

bool FileExists(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return static_cast<bool>(in);
}

// --- The parsed skin ---

struct Element {
  std::string type;                                        // element name as written
  std::vector<std::pair<std::string, std::string>> attrs;  // document order
  Element* parent = nullptr;                               // null for the document element
  std::vector<std::unique_ptr<Element>> children;

  const std::string* Attr(const std::string& name) const {
    for (const auto& a : attrs)
      if (a.first == name) return &a.second;
    return nullptr;
  }
  int AttrIndex(const std::string& name) const {
    for (size_t i = 0; i < attrs.size(); ++i)
      if (attrs[i].first == name) return static_cast<int>(i);
    return -1;
  }
  std::string Name() const {
    const std::string* name = Attr("name");
    return name ? *name : std::string();
  }
};

struct SkinDocument {
  std::string error;              // empty when the file was read and parsed
  std::unique_ptr<Element> root;  // the document element ("Window"); not a control
  std::vector<Element*> elements; // everything below the root, document order
};

bool IsResourceElement(const std::string& type) {
  return type == "Font" || type == "Image" || type == "Default" || type == "MultiLanguage" || type == "Include";
}

std::unique_ptr<Element> BuildElement(Trellis::CXmlMarkupNode node, Element* parent, SkinDocument* doc) {
  auto element = std::make_unique<Element>();
  element->type = ToUtf8(node.GetName());
  element->parent = parent;
  for (int i = 0; i < node.GetAttributeCount(); ++i)
    element->attrs.emplace_back(ToUtf8(node.GetAttributeName(i)), ToUtf8(node.GetAttributeValue(i)));
  if (parent != nullptr) doc->elements.push_back(element.get());
  for (Trellis::CXmlMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling())
    element->children.push_back(BuildElement(child, element.get(), doc));
  return element;
}

const SkinDocument& Skin(const std::string& file) {
  static std::map<std::string, SkinDocument> cache;
  auto found = cache.find(file);
  if (found != cache.end()) return found->second;
  SkinDocument& doc = cache[file];
  std::string bytes;
  if (!ReadBytes(SkinPath(file), &bytes)) {
    doc.error = "cannot read " + SkinPath(file);
    return doc;
  }
  Trellis::CXmlMarkup markup;
  if (!markup.LoadFromUnicodeMemory(bytes.data(), bytes.size(), Trellis::MarkupEncodingUtf8)) {
    doc.error = "parse error: " + ToUtf8(markup.GetLastErrorMessage()) + " at " + ToUtf8(markup.GetLastErrorLocation());
    return doc;
  }
  doc.root = BuildElement(markup.GetRoot(), nullptr, &doc);
  return doc;
}

// Controls only: resource elements and the document element are not controls.
std::vector<const Element*> FindByName(const SkinDocument& doc, const std::string& name) {
  std::vector<const Element*> found;
  for (const Element* e : doc.elements)
    if (!IsResourceElement(e->type) && e->Name() == name) found.push_back(e);
  return found;
}

// Number of controls around the element inside its file (the document element
// does not count): a top-level control has depth 0.
int ControlDepth(const Element* e) {
  int depth = 0;
  for (const Element* p = e->parent; p != nullptr && p->parent != nullptr; p = p->parent) ++depth;
  return depth;
}

bool HasAncestorNamed(const Element* e, const std::string& name) {
  for (const Element* p = e->parent; p != nullptr; p = p->parent)
    if (p->Name() == name) return true;
  return false;
}

// The child of `ancestor` on the path from the element up to it, or null.
const Element* ChildOnPath(const Element* e, const Element* ancestor) {
  for (const Element* p = e; p != nullptr; p = p->parent)
    if (p->parent == ancestor) return p;
  return nullptr;
}

bool IsContainerType(const std::string& type) {
  static const std::set<std::string> kContainers = {
      "Container", "VerticalLayout", "HorizontalLayout", "VBox", "HBox", "TileLayout", "TabLayout", "ChildLayout"};
  return kContainers.count(type) != 0;
}

// --- What the windows look up ---

constexpr const char* kAbsent = nullptr;  // the attribute must not be written
constexpr const char* kLayout = "layout";  // any container element

struct Lookup {
  const char* file;
  const char* name;
  const char* type;  // element name, or kLayout
  std::vector<std::pair<const char*, const char*>> attrs = {};
  const char* within = nullptr;  // an ancestor that must hold it
  int depth = -1;                // controls around it inside its file, when the code climbs parents
};

const char* const kListenNormal = "file='img/ListenTestBtn.png' source='0,0,152,50'";
const char* const kListenHot = "file='img/ListenTestBtn.png' source='0,50,152,100'";
const char* const kListenPushed = "file='img/ListenTestBtn.png' source='0,100,152,150'";

std::vector<Lookup> Lookups() {
  std::vector<Lookup> rows = {
      // Main window: title band.
      {"MainWnd.xml", "kefuBtn", "Button"},
      {"MainWnd.xml", "btnMenu", "Button"},
      {"MainWnd.xml", "minBtn", "Button"},
      {"MainWnd.xml", "closeBtn", "Button"},
      {"MainWnd.xml", "btnLogin", "Button"},
      {"MainWnd.xml", "btnLogout", "Button", {{"visible", "false"}}},
      {"MainWnd.xml", "loginSucessLayout", kLayout, {{"visible", "false"}}},
      {"MainWnd.xml", "showInfoBtn", "Button", {}, "loginSucessLayout"},
      {"MainWnd.xml", "tabMain", "TabLayout"},
      // Home page.
      {"MainWnd.xml", "btnShowVoice2Text", "Button", {}, "tabMain"},
      {"MainWnd.xml", "btnShowText2Voice", "Button", {}, "tabMain"},
      {"MainWnd.xml", "versionNumber", "Label", {}, "tabMain"},
      // Conversion area.
      {"MainWnd.xml", "btnReturn", "Button", {}, "tabMain"},
      {"MainWnd.xml", "btnVoice2TextShow", "Option", {{"group", "optShow"}}, "tabMain"},
      {"MainWnd.xml", "btnText2AudioShow", "Option", {{"group", "optShow"}, {"visible", kAbsent}}, "tabMain"},
      {"MainWnd.xml", "tabConvert", "TabLayout", {}, "tabMain"},
      // Speech-to-text page.
      {"MainWnd.xml", "voiceLayout", kLayout, {{"visible", kAbsent}}, "tabConvert"},
      {"MainWnd.xml", "btnAddVoiceMid", "Button", {}, "voiceLayout"},
      {"MainWnd.xml", "voiceListLayout", kLayout, {{"visible", "false"}}, "tabConvert"},
      {"MainWnd.xml", "listVoice", "List", {{"visible", "false"}}, "tabConvert"},
      {"MainWnd.xml", "btnAddFile", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "btnAddDir", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "chinese", "Option", {{"selected", "true"}}, "tabConvert"},
      {"MainWnd.xml", "english", "Option", {}, "tabConvert"},
      {"MainWnd.xml", "optTxt", "Option", {{"selected", "true"}}, "tabConvert"},
      {"MainWnd.xml", "optDoc", "Option", {}, "tabConvert"},
      {"MainWnd.xml", "optDocx", "Option", {}, "tabConvert"},
      {"MainWnd.xml", "optionSaveOri", "Option", {{"selected", "true"}}, "tabConvert"},
      {"MainWnd.xml", "optionSaveUser", "Option", {}, "tabConvert"},
      {"MainWnd.xml", "savePathEdit", "Edit", {}, "tabConvert"},
      {"MainWnd.xml", "btnChangeVoicePath", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "btnVoice2Text", "Button", {{"visible", kAbsent}}, "tabConvert"},
      {"MainWnd.xml", "gifVoice2Text", "GifAnim", {{"visible", "false"}}, "tabConvert"},
      // Text-to-speech page.
      {"MainWnd.xml", "editText2Vioce", "RichEdit", {}, "tabConvert"},
      {"MainWnd.xml", "textCount", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "btnImport", "Button", {}, "tabConvert"},
      // The hover menus open 98 and 180 pixels above these buttons' bottom
      // edges; at 30 pixels high the pointer passes from button to menu
      // without leaving both.
      {"MainWnd.xml", "btnPolyphone", "Button", {{"height", "30"}}, "tabConvert"},
      {"MainWnd.xml", "btnInterval", "Button", {{"userdata", "0"}, {"height", "30"}}, "tabConvert"},
      {"MainWnd.xml", "btnCleanText", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "lblAnchorFace", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "lblAnchorName", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "lblAnchorDes", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "btnChangeAnchor", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "anchorTypeCombo", "Combo", {}, "tabConvert"},
      {"MainWnd.xml", "hLayoutEmotion", kLayout, {{"visible", "false"}}, "tabConvert"},
      {"MainWnd.xml", "btnLeftEmotion", "Button", {}, "hLayoutEmotion"},
      {"MainWnd.xml", "btnRightEmotion", "Button", {}, "hLayoutEmotion"},
      // The strip scrolls by its own left padding, so its parent must lay it out.
      {"MainWnd.xml", "hLayoutMainEmotion", "HorizontalLayout", {}, "hLayoutEmotion"},
      {"MainWnd.xml", "OptionEmotion1", "Option", {{"group", "group"}, {"text", "原声"}, {"userdata", "neutral"}},
       "hLayoutMainEmotion"},
      {"MainWnd.xml", "tileEmotion", "TileLayout", {}, "hLayoutMainEmotion"},
      {"MainWnd.xml", "sliderVolume", "Slider", {{"min", "1"}, {"max", "9"}, {"sendmove", "true"}}, "tabConvert"},
      {"MainWnd.xml", "sliderSpeed", "Slider", {{"min", "1"}, {"max", "9"}, {"sendmove", "true"}}, "tabConvert"},
      {"MainWnd.xml", "sliderBgmVolume", "Slider", {{"min", "1"}, {"max", "20"}, {"sendmove", "true"}}, "tabConvert"},
      {"MainWnd.xml", "volumeLabel", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "speedLabel", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "volumeBgmLabel", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "btnSliderVolumeReset", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "btnSliderSpeedReset", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "btnSliderBgmVolumeReset", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "lblBgmName", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "delBgmBtn", "Button", {{"visible", "false"}}, "tabConvert"},
      {"MainWnd.xml", "btnChangeBgm", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "btnBgmMinus", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "btnBgmPlus", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "btnTextMinus", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "btnTextPlus", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "lblBgm", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "lblText", "Label", {}, "tabConvert"},
      {"MainWnd.xml", "lblBgm1", "Label", {{"showhtml", "true"}}, "tabConvert"},
      {"MainWnd.xml", "lblText1", "Label", {{"showhtml", "true"}}, "tabConvert"},
      {"MainWnd.xml", "optMp3", "Option", {{"selected", "true"}}, "tabConvert"},
      {"MainWnd.xml", "optWav", "Option", {}, "tabConvert"},
      {"MainWnd.xml", "optPcm", "Option", {}, "tabConvert"},
      {"MainWnd.xml", "savePathVoice", "Edit", {}, "tabConvert"},
      {"MainWnd.xml", "btnChangePath", "Button", {}, "tabConvert"},
      {"MainWnd.xml", "btnPlayVoice", "Button",
       {{"normalimage", kListenNormal}, {"hotimage", kListenHot}, {"pushedimage", kListenPushed}, {"visible", kAbsent}},
       "tabConvert"},
      {"MainWnd.xml", "playVoiceGif", "GifAnim", {{"visible", "false"}}, "tabConvert"},
      {"MainWnd.xml", "btnConvertText2Voice", "Button", {{"visible", kAbsent}}, "tabConvert"},
      {"MainWnd.xml", "gifConvert", "GifAnim", {{"visible", "false"}}, "tabConvert"},

      // Speech-to-text row: the row buttons find their row item by climbing.
      {"Voice2TextListItemUI.xml", "fileName", "Label"},
      {"Voice2TextListItemUI.xml", "fileTime", "Label"},
      {"Voice2TextListItemUI.xml", "voiceStatus", kLayout, {{"visible", kAbsent}}},
      {"Voice2TextListItemUI.xml", "voiceStatusIng", kLayout, {{"visible", "false"}}},
      {"Voice2TextListItemUI.xml", "progress", "Progress", {{"min", "0"}, {"max", "100"}}, "voiceStatusIng"},
      {"Voice2TextListItemUI.xml", "progressText", "Label", {}, "voiceStatusIng"},
      {"Voice2TextListItemUI.xml", "voiceStatusEnd", kLayout, {{"visible", "false"}}},
      {"Voice2TextListItemUI.xml", "voiceDeal", "Label", {}, "voiceStatusEnd"},
      {"Voice2TextListItemUI.xml", "voiceStart", kLayout, {{"visible", kAbsent}}},
      {"Voice2TextListItemUI.xml", "btnSingleVocie2Text", "Button", {{"text", "开始处理"}}, "voiceStart"},
      {"Voice2TextListItemUI.xml", "voiceIng", kLayout, {{"visible", "false"}}},
      {"Voice2TextListItemUI.xml", "voiceEndSucces", kLayout, {{"visible", "false"}}},
      {"Voice2TextListItemUI.xml", "btnOpenFile", "Button", {{"text", "打开文件"}}, "voiceEndSucces"},
      {"Voice2TextListItemUI.xml", "btnOpenPath", "Button", {{"text", "文件夹"}}, "voiceEndSucces"},
      {"Voice2TextListItemUI.xml", "voiceEndError", kLayout, {{"visible", "false"}}},
      {"Voice2TextListItemUI.xml", "btnMoveFile", "Button", {}, nullptr, 5},

      // Voice picker and its cards; the card buttons' grandparent is the card item.
      {"VoiceTypeWnd.xml", "btnClose", "Button"},
      {"VoiceTypeWnd.xml", "voiceTypeTab", "TabLayout"},
      {"VoiceTypeWnd.xml", "hLayoutOption", "HorizontalLayout"},
      {"VoiceTypeWnd.xml", "btnPrevOption", "Button"},
      {"VoiceTypeWnd.xml", "btnNextOption", "Button"},
      {"VoiceTypeWnd.xml", "emotionsTip", "Label",
       {{"visible", "false"}, {"text", "提示:多情感主播仅支持150字以内的文字转换 "}}},
      {"VoiceTypeItem.xml", "lblAnchorFace", "Label"},
      {"VoiceTypeItem.xml", "lblAnchorName", "Label"},
      {"VoiceTypeItem.xml", "lblEmotion", "Label"},
      {"VoiceTypeItem.xml", "lblAnchorDes", "Label"},
      {"VoiceTypeItem.xml", "btnPlay", "Button", {{"visible", kAbsent}}, nullptr, 1},
      {"VoiceTypeItem.xml", "btnSuspend", "Button", {{"visible", "false"}}, nullptr, 1},
      {"VoiceTypeItem.xml", "btnUse", "Button", {}, nullptr, 1},
      {"VoiceTypeItem.xml", "btnDetail", "Button", {}, nullptr, 1},
      {"VoiceExampleWnd.xml", "btnClose1", "Button"},
      {"VoiceExampleWnd.xml", "btnClose", "Button"},
      {"VoiceExampleWnd.xml", "lblAnchorFace", "Label"},
      {"VoiceExampleWnd.xml", "lblAnchorName", "Label"},
      {"VoiceExampleWnd.xml", "lblAnchorDes", "Label"},
      {"VoiceExampleWnd.xml", "voiceExampleLayout", kLayout},
      {"VoiceExampleItem.xml", "textAnchorExample", "Label"},
      {"VoiceExampleItem.xml", "btnPlay", "Button", {{"visible", kAbsent}}, nullptr, 1},
      {"VoiceExampleItem.xml", "btnSuspend", "Button", {{"visible", "false"}}, nullptr, 1},
      {"VoiceExampleItem.xml", "btnUse", "Button", {}, nullptr, 1},
      {"EmotionItem.xml", "OptionEmotion2", "Option",
       {{"group", "group"}, {"text", "原声"}, {"userdata", "neutral"}, {"selected", kAbsent}}},

      // Login window.
      {"LoginWnd.xml", "title", "Label", {{"text", "文字语音转换器"}}},
      {"LoginWnd.xml", "closeBtn", "Button"},
      {"LoginWnd.xml", "webChatLogin", "WebBrowser",
       {{"float", "true"},
        {"pos", "20,100,300,350"},
        {"clsid", "{8856F961-340A-11D0-A96B-00C04FD705A2}"},
        {"homepage", "about:blank"},
        {"delaycreate", "false"}}},
      {"LoginWnd.xml", "loginService", "Button"},

      // Message windows.
      {"MessageWnd.xml", "titleTips", "Label", {{"text", "您确定退出本软件吗？"}, {"height", "41"}, {"font", "16"}}},
      {"MessageWnd.xml", "closebtn", "Button"},
      {"MessageWnd.xml", "btn_ok", "Button", {{"text", "确定"}}},
      {"MessageWnd.xml", "btn_cancel", "Button", {{"text", "取消"}}},
      {"ConvertOkWnd.xml", "titleTips", "Label", {{"height", "41"}, {"font", "16"}}},
      {"ConvertOkWnd.xml", "closebtn", "Button"},
      {"ConvertOkWnd.xml", "btnOpenFile", "Button"},
      {"ConvertOkWnd.xml", "btnOpenPath", "Button"},

      // Menus.
      {"Menu.xml", "menuHelp", "MenuElement", {{"text", "使用手册"}}},
      {"Menu.xml", "menuFeedback", "MenuElement", {{"text", "意见反馈"}}},
      {"Menu.xml", "menuQuestion", "MenuElement", {{"text", "常见问题"}}},
      {"PersonalCenterTip.xml", "user_id", "Label"},
      {"PersonalCenterTip.xml", "btnUserLogout", "Button"},
      {"MenuInterval.xml", "btnInterval1", "Button", {{"text", "插入0.5s"}, {"userdata", "500ms"}}},
      {"MenuInterval.xml", "btnInterval2", "Button", {{"text", "插入1s"}, {"userdata", "1s"}}},
      {"MenuInterval.xml", "btnInterval3", "Button", {{"text", "插入1.5s"}, {"userdata", "1500ms"}}},
      {"MenuInterval.xml", "btnInterval4", "Button", {{"text", "插入2s"}, {"userdata", "2s"}}},
      {"MenuInterval.xml", "btnInterval5", "Button", {{"text", "插入2.5s"}, {"userdata", "2500ms"}}},
      {"MenuInterval.xml", "btnInterval6", "Button", {{"text", "插入3s"}, {"userdata", "3s"}}},
      {"MenuInterval.xml", "btnInterval7", "Button", {{"text", "插入5s"}, {"userdata", "5s"}}},
      {"MenuInterval.xml", "btnInterval8", "Button", {{"text", "插入10s"}, {"userdata", "10s"}}},
  };
  // The nine category slots of the picker: tag i selects page i.
  static const char* const kTags[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};
  static std::vector<std::string> names;
  if (names.empty()) {
    for (int i = 0; i < 9; ++i) {
      names.push_back("voiceTypeOption" + std::to_string(i));
      names.push_back("voiceTypeTileLayout" + std::to_string(i));
    }
  }
  for (int i = 0; i < 9; ++i) {
    rows.push_back({"VoiceTypeWnd.xml", names[2 * i].c_str(), "Option",
                    {{"group", "gr_type_opt"}, {"tag", kTags[i]}, {"width", "86"}, {"visible", "false"},
                     {"selected", i == 0 ? "true" : kAbsent}},
                    "hLayoutOption"});
    rows.push_back({"VoiceTypeWnd.xml", names[2 * i + 1].c_str(), "TileLayout", {{"columns", "2"}}, "voiceTypeTab"});
  }
  return rows;
}

std::string Describe(const Lookup& row) { return std::string(row.file) + " \"" + row.name + "\""; }

TEST(SkinNames, EveryLookedUpControlIsThereAsTheCodeExpects) {
  for (const Lookup& row : Lookups()) {
    const SkinDocument& doc = Skin(row.file);
    ASSERT_EQ(doc.error, "") << row.file;
    const std::vector<const Element*> found = FindByName(doc, row.name);
    ASSERT_EQ(found.size(), 1u) << Describe(row) << " must exist exactly once";
    const Element* e = found[0];
    if (std::string(row.type) == kLayout)
      EXPECT_TRUE(IsContainerType(e->type)) << Describe(row) << " is a " << e->type << ", not a layout";
    else
      EXPECT_EQ(e->type, row.type) << Describe(row);
    for (const auto& attr : row.attrs) {
      const std::string* value = e->Attr(attr.first);
      if (attr.second == kAbsent)
        EXPECT_EQ(value, nullptr) << Describe(row) << " must not set \"" << attr.first << "\"";
      else if (value == nullptr)
        ADD_FAILURE() << Describe(row) << " lacks \"" << attr.first << "\"";
      else
        EXPECT_EQ(*value, attr.second) << Describe(row) << " attribute \"" << attr.first << "\"";
    }
    if (row.within != nullptr) {
      EXPECT_TRUE(HasAncestorNamed(e, row.within)) << Describe(row) << " must lie inside \"" << row.within << "\"";
    }
    if (row.depth >= 0) {
      EXPECT_EQ(ControlDepth(e), row.depth) << Describe(row) << " nesting";
    }
  }
}

// Controls that must sit on a given page of a tab layout (the code selects
// pages by number).
TEST(SkinNames, PagesHoldTheirControls) {
  struct Page {
    const char* file;
    const char* tab;
    int page;
    const char* name;
  };
  std::vector<Page> pages = {
      {"MainWnd.xml", "tabMain", 0, "btnShowVoice2Text"},   {"MainWnd.xml", "tabMain", 0, "btnShowText2Voice"},
      {"MainWnd.xml", "tabMain", 0, "versionNumber"},       {"MainWnd.xml", "tabMain", 1, "btnReturn"},
      {"MainWnd.xml", "tabMain", 1, "btnVoice2TextShow"},   {"MainWnd.xml", "tabMain", 1, "btnText2AudioShow"},
      {"MainWnd.xml", "tabMain", 1, "tabConvert"},          {"MainWnd.xml", "tabConvert", 0, "listVoice"},
      {"MainWnd.xml", "tabConvert", 0, "voiceLayout"},      {"MainWnd.xml", "tabConvert", 0, "btnVoice2Text"},
      {"MainWnd.xml", "tabConvert", 0, "savePathEdit"},     {"MainWnd.xml", "tabConvert", 1, "editText2Vioce"},
      {"MainWnd.xml", "tabConvert", 1, "btnPolyphone"},     {"MainWnd.xml", "tabConvert", 1, "btnInterval"},
      {"MainWnd.xml", "tabConvert", 1, "tileEmotion"},      {"MainWnd.xml", "tabConvert", 1, "btnConvertText2Voice"},
      {"MainWnd.xml", "tabConvert", 1, "savePathVoice"},
  };
  std::vector<std::string> tiles;
  for (int i = 0; i < 9; ++i) tiles.push_back("voiceTypeTileLayout" + std::to_string(i));
  for (int i = 0; i < 9; ++i) pages.push_back({"VoiceTypeWnd.xml", "voiceTypeTab", i, tiles[i].c_str()});

  for (const Page& p : pages) {
    const SkinDocument& doc = Skin(p.file);
    ASSERT_EQ(doc.error, "") << p.file;
    const std::vector<const Element*> tab = FindByName(doc, p.tab);
    const std::vector<const Element*> control = FindByName(doc, p.name);
    ASSERT_EQ(tab.size(), 1u) << p.tab;
    ASSERT_EQ(control.size(), 1u) << p.name;
    const Element* page = ChildOnPath(control[0], tab[0]);
    ASSERT_NE(page, nullptr) << p.name << " is not inside " << p.tab;
    int index = -1;
    for (size_t i = 0; i < tab[0]->children.size(); ++i)
      if (tab[0]->children[i].get() == page) index = static_cast<int>(i);
    EXPECT_EQ(index, p.page) << p.name << " on the pages of " << p.tab;
  }
}

// Options that act as one set of radio buttons: exactly these share one group.
TEST(SkinNames, OptionGroupsHoldExactlyTheirOptions) {
  struct Group {
    const char* file;
    const char* group;  // null: any name, as long as only these share it
    std::set<std::string> names;
  };
  const Group groups[] = {
      {"MainWnd.xml", "optShow", {"btnVoice2TextShow", "btnText2AudioShow"}},
      {"MainWnd.xml", "group", {"OptionEmotion1"}},
      {"MainWnd.xml", nullptr, {"chinese", "english"}},
      {"MainWnd.xml", nullptr, {"optTxt", "optDoc", "optDocx"}},
      {"MainWnd.xml", nullptr, {"optionSaveOri", "optionSaveUser"}},
      {"MainWnd.xml", nullptr, {"optMp3", "optWav", "optPcm"}},
      {"EmotionItem.xml", "group", {"OptionEmotion2"}},
  };
  for (const Group& g : groups) {
    const SkinDocument& doc = Skin(g.file);
    ASSERT_EQ(doc.error, "") << g.file;
    std::string group = g.group ? g.group : "";
    if (group.empty()) {
      const std::vector<const Element*> first = FindByName(doc, *g.names.begin());
      ASSERT_EQ(first.size(), 1u) << *g.names.begin();
      const std::string* value = first[0]->Attr("group");
      ASSERT_NE(value, nullptr) << *g.names.begin() << " has no group";
      group = *value;
    }
    std::set<std::string> members;
    for (const Element* e : doc.elements) {
      const std::string* value = e->Attr("group");
      if (value != nullptr && *value == group) members.insert(e->Name());
    }
    EXPECT_EQ(members, g.names) << g.file << " group \"" << group << "\"";
  }
}

// The main window dispatches clicks on any name containing "btnInterval" as a
// pause mark and selections of any name containing "OptionEmotion" as an
// emotion, so no other control of the window may carry those texts.
TEST(SkinNames, SubstringDispatchMatchesOnlyItsOwnControls) {
  const SkinDocument& doc = Skin("MainWnd.xml");
  ASSERT_EQ(doc.error, "");
  for (const Element* e : doc.elements) {
    const std::string name = e->Name();
    if (name.find("btnInterval") != std::string::npos) {
      EXPECT_EQ(name, "btnInterval");
    }
    if (name.find("OptionEmotion") != std::string::npos) {
      EXPECT_EQ(name, "OptionEmotion1");
    }
  }
  const SkinDocument& menu = Skin("MenuInterval.xml");
  ASSERT_EQ(menu.error, "");
  for (const Element* e : menu.elements) {
    if (e->type == "Button") {
      EXPECT_NE(e->Name().find("btnInterval"), std::string::npos) << e->Name();
    }
  }
}

TEST(SkinNames, WindowsHaveTheirSizesAndFrames) {
  struct WindowAttr {
    const char* file;
    const char* attr;
    const char* value;
  };
  const WindowAttr rows[] = {
      {"MainWnd.xml", "size", "1024,720"},        {"MainWnd.xml", "caption", "0,0,0,50"},
      {"MainWnd.xml", "sizebox", "4,0,4,0"},      {"MainWnd.xml", "shadowsize", "14"},
      {"MainWnd.xml", "shadowimage", "images/bk_shadow.png"},
      {"MainWnd.xml", "showshadow", "true"},      {"LoginWnd.xml", "size", "320,400"},
      {"MessageWnd.xml", "size", "380,240"},      {"MessageWnd.xml", "caption", "0,0,0,35"},
      {"MessageWnd.xml", "shadowimage", "images/bk_shadow.png"},
      {"MessageWnd.xml", "shadowsize", "14"},     {"ConvertOkWnd.xml", "size", "380,240"},
      {"ConvertOkWnd.xml", "caption", "0,0,0,35"},
      {"ConvertOkWnd.xml", "shadowimage", "images/bk_shadow.png"},
      {"ConvertOkWnd.xml", "shadowsize", "14"},   {"VoiceTypeWnd.xml", "size", "770,540"},
      {"VoiceTypeWnd.xml", "caption", "0,0,0,36"}, {"VoiceExampleWnd.xml", "size", "465,403"},
      {"VoiceExampleWnd.xml", "caption", "0,0,0,35"},
  };
  for (const WindowAttr& row : rows) {
    const SkinDocument& doc = Skin(row.file);
    ASSERT_EQ(doc.error, "") << row.file;
    ASSERT_EQ(doc.root->type, "Window") << row.file;
    const std::string* value = doc.root->Attr(row.attr);
    ASSERT_NE(value, nullptr) << row.file << " lacks \"" << row.attr << "\"";
    EXPECT_EQ(*value, row.value) << row.file << " \"" << row.attr << "\"";
  }
}

// The item of the old voice list maps these texts to voice types and every
// other item to 101000 + its index, with "智逍遥，阅读男声" selected by a reset.
TEST(SkinNames, VoiceComboListsItsThirtyNineItems) {
  const SkinDocument& doc = Skin("MainWnd.xml");
  ASSERT_EQ(doc.error, "");
  const std::vector<const Element*> combo = FindByName(doc, "anchorTypeCombo");
  ASSERT_EQ(combo.size(), 1u);
  std::vector<std::string> texts;
  for (const auto& child : combo[0]->children) {
    EXPECT_EQ(child->type, "ListLabelElement");
    const std::string* text = child->Attr("text");
    texts.push_back(text ? *text : "");
  }
  ASSERT_EQ(texts.size(), 39u);
  EXPECT_EQ(texts[0], "智逍遥，阅读男声");
  for (const char* special : {"智川，四川女声", "WeJack，英文男声", "WeRose，英文女声"})
    EXPECT_EQ(std::count(texts.begin(), texts.end(), special), 1) << special;
}

// The hover menus are closed by the main window when the pointer leaves a
// fixed area (240 x 80 and 130 x 150) from their corner: the menus fit it.
TEST(SkinNames, HoverMenusFitTheirHoverAreas) {
  struct Menu {
    const char* file;
    const char* width;
    const char* height;
  };
  for (const Menu& m : {Menu{"MenuPolyphone.xml", "240", "60"}, Menu{"MenuInterval.xml", "130", "150"}}) {
    const SkinDocument& doc = Skin(m.file);
    ASSERT_EQ(doc.error, "") << m.file;
    std::vector<const Element*> items;
    for (const Element* e : doc.elements)
      if (e->type == "MenuElement") items.push_back(e);
    ASSERT_EQ(items.size(), 1u) << m.file;
    ASSERT_NE(items[0]->Attr("width"), nullptr);
    ASSERT_NE(items[0]->Attr("height"), nullptr);
    EXPECT_EQ(*items[0]->Attr("width"), m.width) << m.file;
    EXPECT_EQ(*items[0]->Attr("height"), m.height) << m.file;
  }
  bool hint = false;
  for (const Element* e : Skin("MenuPolyphone.xml").elements) {
    const std::string* text = e->Attr("text");
    if (text && *text == "在文本中插入多音字标识[=]  例如:睡觉[=jiao4],发第四声") hint = true;
  }
  EXPECT_TRUE(hint);
}

// --- The files themselves ---

const std::set<std::string>& FactoryElements() {
  static const std::set<std::string> kNames = {
      "Edit", "List", "Text", "Icon", "Tree", "HBox", "VBox", "Combo", "Label", "Button", "Option", "Slider",
      "Control", "ActiveX", "GifAnim", "Progress", "RichEdit", "CheckBox", "ComboBox", "DateTime", "TreeView",
      "Container", "TabLayout", "ScrollBar", "ListHeader", "TileLayout", "WebBrowser", "ChildLayout",
      "VerticalLayout", "ListHeaderItem", "CircleProgress", "ListTextElement", "ListHBoxElement",
      "HorizontalLayout", "ListLabelElement", "ListContainerElement"};
  return kNames;
}

TEST(SkinFiles, EveryFileParsesWithKnownElementsAndUniqueNames) {
  for (const char* file : kSkinFiles) {
    const SkinDocument& doc = Skin(file);
    ASSERT_EQ(doc.error, "") << file;
    EXPECT_EQ(doc.root->type, "Window") << file;
    const bool menuFile = std::string(file).rfind("Menu", 0) == 0 || std::string(file) == "PersonalCenterTip.xml";
    std::map<std::string, int> names;
    for (const Element* e : doc.elements) {
      if (IsResourceElement(e->type)) {
        // Resources count only as direct children of the root; anywhere else
        // the builder ignores them (Include is read at any level).
        if (e->type != "Include") {
          EXPECT_EQ(e->parent, doc.root.get()) << file << ": nested " << e->type;
        }
        continue;
      }
      const bool known = FactoryElements().count(e->type) != 0 ||
                         (menuFile && (e->type == "Menu" || e->type == "MenuElement"));
      EXPECT_TRUE(known) << file << ": no control is made for <" << e->type << ">";
      if (!e->Name().empty()) ++names[e->Name()];
      EXPECT_LE(e->attrs.size(), static_cast<size_t>(Trellis::CXmlMarkupNode::kMaxAttributes)) << file;
    }
    for (const auto& n : names) EXPECT_EQ(n.second, 1) << file << ": \"" << n.first << "\" is used twice";
  }
}

// Attributes applied in document order that depend on an earlier one.
TEST(SkinFiles, DependentAttributesFollowTheirPrerequisites) {
  for (const char* file : kSkinFiles) {
    const SkinDocument& doc = Skin(file);
    ASSERT_EQ(doc.error, "") << file;
    for (const Element* e : doc.elements) {
      // A selection joins the group only when the group is already known.
      if (e->AttrIndex("selected") >= 0 && e->AttrIndex("group") >= 0) {
        EXPECT_LT(e->AttrIndex("group"), e->AttrIndex("selected")) << file << " \"" << e->Name() << "\"";
      }
      // A value is clamped to the bounds set so far.
      if (e->AttrIndex("value") >= 0 && (e->type == "Slider" || e->type == "Progress")) {
        EXPECT_LT(e->AttrIndex("min"), e->AttrIndex("value")) << file << " \"" << e->Name() << "\"";
        EXPECT_LT(e->AttrIndex("max"), e->AttrIndex("value")) << file << " \"" << e->Name() << "\"";
      }
    }
  }
}

TEST(SkinFiles, EveryIncludedFileExists) {
  for (const char* file : kSkinFiles) {
    const SkinDocument& doc = Skin(file);
    ASSERT_EQ(doc.error, "") << file;
    for (const Element* e : doc.elements) {
      if (e->type != "Include") continue;
      const std::string* source = e->Attr("source");
      ASSERT_NE(source, nullptr) << file;
      EXPECT_TRUE(FileExists(SkinPath(*source))) << file << " includes " << *source;
      EXPECT_EQ(Skin(*source).error, "") << *source;
    }
  }
}

// --- Images ---

struct ImageSize {
  int width = 0, height = 0;
  int frames = 0;  // GIF only: images in the file
};

uint32_t BigEndian32(const std::string& b, size_t at) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(b[at])) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

// Reads the size of a PNG or GIF in the skin folder; false for a missing file
// or another format.
bool ReadImageSize(const std::string& name, ImageSize* size) {
  std::string b;
  if (!ReadBytes(SkinPath(name), &b)) return false;
  if (b.size() >= 24 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 && b.compare(12, 4, "IHDR") == 0) {
    size->width = static_cast<int>(BigEndian32(b, 16));
    size->height = static_cast<int>(BigEndian32(b, 20));
    return true;
  }
  if (b.size() >= 10 && (b.compare(0, 6, "GIF89a") == 0 || b.compare(0, 6, "GIF87a") == 0)) {
    size->width = static_cast<unsigned char>(b[6]) | (static_cast<unsigned char>(b[7]) << 8);
    size->height = static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8);
    // Each frame carries its own delay in a graphic control extension.
    for (size_t at = b.find("\x21\xF9\x04", 10); at != std::string::npos; at = b.find("\x21\xF9\x04", at + 3))
      ++size->frames;
    return true;
  }
  return false;
}

struct ImageReference {
  std::string where;  // file and control, for messages
  std::string name;   // path inside the skin folder
  bool hasSource = false;
  int source[4] = {0, 0, 0, 0};
  bool hasCorner = false;
  int corner[4] = {0, 0, 0, 0};  // nine-grid borders left, top, right, bottom
};

bool IsImageAttribute(const std::string& attr) {
  return attr.size() >= 5 && attr.compare(attr.size() - 5, 5, "image") == 0;
}

// Every image a value names: the "file" of each description (also inside the
// attribute lists of "Default" elements), or a bare image name in an image
// attribute.
void CollectImages(const std::string& where, const std::string& attr, const std::string& value,
                   std::vector<ImageReference>* out) {
  static const std::regex kFile(R"(file\s*=\s*'([^']*)')");
  static const std::regex kSource(R"(source\s*=\s*'(-?\d+),(-?\d+),(-?\d+),(-?\d+)')");
  static const std::regex kCorner(R"(corner\s*=\s*'(-?\d+),(-?\d+),(-?\d+),(-?\d+)')");
  // A description ends where the next quoted attribute of a list begins.
  static const std::regex kDescription(R"([^"]*file\s*=\s*'[^"]*)");
  bool any = false;
  for (auto it = std::sregex_iterator(value.begin(), value.end(), kDescription); it != std::sregex_iterator(); ++it) {
    const std::string description = it->str();
    std::smatch file, source;
    if (!std::regex_search(description, file, kFile)) continue;
    any = true;
    ImageReference ref;
    ref.where = where + " " + attr;
    ref.name = file[1];
    if (std::regex_search(description, source, kSource)) {
      ref.hasSource = true;
      for (int i = 0; i < 4; ++i) ref.source[i] = std::atoi(source[i + 1].str().c_str());
    }
    std::smatch corner;
    if (std::regex_search(description, corner, kCorner)) {
      ref.hasCorner = true;
      for (int i = 0; i < 4; ++i) ref.corner[i] = std::atoi(corner[i + 1].str().c_str());
    }
    out->push_back(ref);
  }
  if (!any && IsImageAttribute(attr) && !value.empty() && value.find('=') == std::string::npos) {
    ImageReference ref;
    ref.where = where + " " + attr;
    ref.name = value;
    out->push_back(ref);
  }
}

std::vector<ImageReference> AllImageReferences() {
  std::vector<ImageReference> refs;
  for (const char* file : kSkinFiles) {
    const SkinDocument& doc = Skin(file);
    if (!doc.error.empty()) continue;
    for (const auto& a : doc.root->attrs) CollectImages(file, a.first, a.second, &refs);
    for (const Element* e : doc.elements)
      for (const auto& a : e->attrs) CollectImages(std::string(file) + " <" + e->type + " " + e->Name() + ">", a.first,
                                                   a.second, &refs);
  }
  return refs;
}

TEST(SkinImages, EveryReferencedImageExistsWithItsSourceAndNineGrid) {
  const std::vector<ImageReference> refs = AllImageReferences();
  EXPECT_GT(refs.size(), 50u) << "the image references were not found at all";
  for (const ImageReference& ref : refs) {
    ImageSize size;
    if (!ReadImageSize(ref.name, &size)) {
      ADD_FAILURE() << ref.where << ": no PNG or GIF at skin/" << ref.name;
      continue;
    }
    // A nine-grid stretches its centre: a centre of no pixels draws nothing.
    if (ref.hasCorner) {
      const int width = ref.hasSource ? ref.source[2] - ref.source[0] : size.width;
      const int height = ref.hasSource ? ref.source[3] - ref.source[1] : size.height;
      EXPECT_TRUE(ref.corner[0] + ref.corner[2] < width && ref.corner[1] + ref.corner[3] < height)
          << ref.where << ": corners " << ref.corner[0] << "," << ref.corner[1] << "," << ref.corner[2] << ","
          << ref.corner[3] << " leave no centre in " << width << "x" << height;
    }
    if (!ref.hasSource) continue;
    EXPECT_TRUE(ref.source[0] >= 0 && ref.source[1] >= 0 && ref.source[0] < ref.source[2] &&
                ref.source[1] < ref.source[3] && ref.source[2] <= size.width && ref.source[3] <= size.height)
        << ref.where << ": source " << ref.source[0] << "," << ref.source[1] << "," << ref.source[2] << ","
        << ref.source[3] << " of a " << size.width << "x" << size.height << " image";
  }
}

// Images the code names itself, with the strips it cuts from them.
TEST(SkinImages, ImagesTheCodeNamesHaveTheirSizes) {
  struct Expected {
    const char* name;
    int width, height;
  };
  const Expected images[] = {
      {"img/ListenTestBtn.png", 152, 150},  // listen: normal, hot, pushed stacked
      {"img/pauseVoice.png", 152, 50},
      {"img/useBtn.png", 96, 24},  // normal and hot side by side
      {"img/usingBtn.png", 96, 24},
      {"img/neutral.png", 26, 26},  // emotion icons are drawn at 8,0,34,26
  };
  for (const Expected& e : images) {
    ImageSize size;
    ASSERT_TRUE(ReadImageSize(e.name, &size)) << e.name;
    EXPECT_EQ(size.width, e.width) << e.name;
    EXPECT_EQ(size.height, e.height) << e.name;
  }
  EXPECT_TRUE(FileExists(SkinPath("images/bk_shadow.png")));
}

// A busy animation takes its button's place and is stretched over its own
// rectangle: it is drawn at that size and has several frames.
TEST(SkinImages, BusyAnimationsFitTheirControls) {
  for (const char* file : kSkinFiles) {
    const SkinDocument& doc = Skin(file);
    ASSERT_EQ(doc.error, "") << file;
    for (const Element* e : doc.elements) {
      if (e->type != "GifAnim") continue;
      const std::string* image = e->Attr("bkimage");
      ASSERT_NE(image, nullptr) << e->Name();
      ImageSize size;
      ASSERT_TRUE(ReadImageSize(*image, &size)) << *image;
      EXPECT_GT(size.frames, 1) << *image << " does not animate";
      ASSERT_NE(e->Attr("width"), nullptr) << e->Name();
      ASSERT_NE(e->Attr("height"), nullptr) << e->Name();
      EXPECT_EQ(std::to_string(size.width), *e->Attr("width")) << e->Name();
      EXPECT_EQ(std::to_string(size.height), *e->Attr("height")) << e->Name();
    }
  }
}

// The voice catalogue's avatars ("images/" + avatar) and emotion keys
// ("img/" + key + ".png") are drawn for every entry of the stand-in catalogue
// the tests and the demo run against.
TEST(SkinImages, CatalogueAvatarsAndEmotionsHaveImages) {
  std::string json;
  ASSERT_TRUE(ReadBytes(QUILLORA_STANDIN_CATALOGUE, &json));
  static const std::regex kAvatar(R"re("avatar"\s*:\s*"([^"]+)")re");
  static const std::regex kEmotion(R"re("emotion"\s*:\s*"([^"]+)")re");
  int avatars = 0, emotions = 0;
  for (auto it = std::sregex_iterator(json.begin(), json.end(), kAvatar); it != std::sregex_iterator(); ++it, ++avatars)
    EXPECT_TRUE(FileExists(SkinPath("images/" + (*it)[1].str()))) << (*it)[1].str();
  for (auto it = std::sregex_iterator(json.begin(), json.end(), kEmotion); it != std::sregex_iterator();
       ++it, ++emotions) {
    ImageSize size;
    EXPECT_TRUE(ReadImageSize("img/" + (*it)[1].str() + ".png", &size)) << (*it)[1].str();
    EXPECT_EQ(size.width, 26) << (*it)[1].str();
    EXPECT_EQ(size.height, 26) << (*it)[1].str();
  }
  EXPECT_GT(avatars, 0);
  EXPECT_GT(emotions, 0);
}

}  // namespace
