// The skin builder: resources and window attributes registered with the
// manager, the factory and the callback, "Include", "cover", failures that
// must not leak what was built, from inline XML, a skin folder and an archive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ManagedTestWindow.h"
#include "tests/support/TestBitmaps.h"
#include "tests/ui/skin/SkinTestFolder.h"
#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/draw/UIImageInfo.h"
#include "ui/window/Shadow.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

// A control made by the callback that counts how many of its kind are alive,
// so a test sees whether a control nobody owns was deleted.
class ProbeControl : public CControlUI {
 public:
  static int live;
  ProbeControl() { ++live; }
  ~ProbeControl() override { --live; }
};
int ProbeControl::live = 0;

// A container that remembers how many children it held when its "probe"
// attribute arrived.
class ProbeContainer : public CContainerUI {
 public:
  int countAtProbe = -1;
  void SetAttribute(const UIChar* name, const UIChar* value) override {
    if (std::wstring(name) == L"probe") countAtProbe = GetCount();
    CContainerUI::SetAttribute(name, value);
  }
};

// A container that takes no children.
class RefusingContainer : public CContainerUI {
 public:
  bool AddItem(CControlUI*) override { return false; }
};

// Records every element name it is asked for; makes "Probe", "ProbeBox" and "Refuser".
class RecordingCallback : public IDialogBuilderCallback {
 public:
  std::vector<std::wstring> asked;
  void (*onProbe)() = nullptr;  // runs when a probe is made
  CControlUI* CreateControl(const UIChar* name) override {
    asked.push_back(name);
    if (std::wstring(name) == L"Probe") {
      if (onProbe != nullptr) onProbe();
      return new ProbeControl;
    }
    if (std::wstring(name) == L"ProbeBox") return new ProbeContainer;
    if (std::wstring(name) == L"Refuser") return new RefusingContainer;
    return nullptr;
  }
  bool WasAsked(const wchar_t* name) const {
    for (const auto& n : asked) {
      if (n == name) return true;
    }
    return false;
  }
};

// A window with its manager and a builder, with helpers that build in one line.
class SkinBuilderTest : public testing::Test {
 protected:
  void TearDown() override {
    delete m_root;  // what a build handed out and no window took
    EXPECT_EQ(ProbeControl::live, 0) << "a control built without an owner was not deleted";
  }

  CControlUI* Build(const wchar_t* xml) {
    m_root = m_builder.CreateFromSource(xml, nullptr, &m_callback, &m_window.manager());
    return m_root;
  }
  IContainerUI* AsContainer(CControlUI* control) {
    return control != nullptr ? static_cast<IContainerUI*>(control->GetInterface(L"IContainer")) : nullptr;
  }

  testwindows::ManagedTestWindow m_window;
  CSkinBuilder m_builder;
  RecordingCallback m_callback;
  CControlUI* m_root = nullptr;
};

TEST_F(SkinBuilderTest, RegistersFontsWindowAttributesAndReturnsTheFirstControl) {
  CControlUI* root = Build(
      L"<Window size=\"414,305\"><Font id=\"1\" name=\"微软雅黑\" size=\"14\" bold=\"true\" default=\"true\" />"
      L"<Container name=\"box\"><Control name=\"ok\" /></Container></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName().Compare(L"box"), 0);
  ASSERT_NE(AsContainer(root), nullptr);
  ASSERT_EQ(AsContainer(root)->GetCount(), 1);
  EXPECT_EQ(AsContainer(root)->GetItemAt(0)->GetName().Compare(L"ok"), 0);
  // Built controls are detached again: the window takes the tree when it attaches the root.
  EXPECT_EQ(root->GetManager(), nullptr);

  CWindowManagerUI& manager = m_window.manager();
  EXPECT_EQ(manager.GetInitialSize().cx, 414);
  EXPECT_EQ(manager.GetInitialSize().cy, 305);
  UIFontInfo* font = manager.GetFontInfo(1);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->sFontName.Compare(L"微软雅黑"), 0);
  EXPECT_EQ(font->iSize, 14);
  EXPECT_TRUE(font->bBold);
  ASSERT_NE(manager.GetDefaultFontInfo(), nullptr);
  EXPECT_EQ(manager.GetDefaultFontInfo()->sFontName.Compare(L"微软雅黑"), 0);
}

// A skin's font is made when first looked up, by whichever lookup comes
// first; every lookup after gives that one font.
TEST_F(SkinBuilderTest, ASkinFontIsOneFontWhicheverLookupMakesIt) {
  ASSERT_NE(Build(L"<Window><Font id=\"21\" name=\"Tahoma\" size=\"15\" bold=\"true\" />"
                  L"<Font id=\"22\" name=\"Tahoma\" size=\"17\" italic=\"true\" /><Container /></Window>"),
            nullptr);
  CWindowManagerUI& manager = m_window.manager();
  const HFONT defaultFont = manager.GetDefaultFontInfo()->hFont.Get();

  const HFONT found = manager.FindFontHandle(L"Tahoma", 15, true, false, false);
  ASSERT_NE(found, nullptr) << "a skin font not drawn with yet is still found by its settings";
  EXPECT_NE(found, defaultFont);
  LOGFONTW logFont = {};
  ASSERT_EQ(GetObjectW(found, sizeof(logFont), &logFont), static_cast<int>(sizeof(logFont)));
  EXPECT_EQ(logFont.lfWeight, FW_BOLD);
  EXPECT_EQ(logFont.lfHeight, -15);
  EXPECT_EQ(manager.GetFontHandle(21), found);
  EXPECT_EQ(manager.GetFontInfoByHandle(found), manager.GetFontInfo(21));
  EXPECT_GT(manager.GetFontInfo(21)->tm.tmHeight, 0) << "measured with the window's DC";

  UIFontInfo* italic = manager.GetFontInfo(22);
  ASSERT_NE(italic, nullptr);
  ASSERT_NE(italic->hFont.Get(), nullptr);
  EXPECT_NE(italic->hFont.Get(), defaultFont);
  EXPECT_TRUE(italic->bItalic);
  EXPECT_EQ(manager.GetFontHandle(22), italic->hFont.Get());
  EXPECT_EQ(manager.FindFontHandle(L"Tahoma", 17, false, false, true), italic->hFont.Get());
}

TEST_F(SkinBuilderTest, FontWithoutIdAndResourcesBelowTheRootLevelChangeNothing) {
  CWindowManagerUI& manager = m_window.manager();
  const CUIString defaultFace = manager.GetDefaultFontInfo()->sFontName;
  CControlUI* root = Build(
      L"<Window><Font name=\"Courier New\" size=\"12\" default=\"true\" />"
      L"<Container><Font id=\"5\" name=\"Courier New\" default=\"true\" /><Image name=\"missing.png\" /></Container>"
      L"</Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(AsContainer(root)->GetCount(), 0) << "a resource element is never a control";
  EXPECT_EQ(manager.GetDefaultFontInfo()->sFontName.Compare(defaultFace.GetText()), 0);
  EXPECT_NE(manager.GetFontInfo(5)->sFontName.Compare(L"Courier New"), 0);
}

TEST_F(SkinBuilderTest, ElementAttributesWinOverTheDefaultList) {
  CControlUI* root = Build(
      L"<Window><Default name=\"Control\" value=\"width=&quot;10&quot; height=&quot;7&quot;\" />"
      L"<Container><Control width=\"20\" /></Container></Window>");
  ASSERT_NE(root, nullptr);
  CControlUI* child = AsContainer(root)->GetItemAt(0);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->GetFixedWidth(), 20);
  EXPECT_EQ(child->GetFixedHeight(), 7);
}

TEST_F(SkinBuilderTest, MultiLanguageTextsNeedAnIdAndAValue) {
  ASSERT_NE(Build(L"<Window><MultiLanguage id=\"3\" value=\"你好\" /><MultiLanguage id=\"4\" />"
                  L"<MultiLanguage value=\"no id\" /><Container /></Window>"),
            nullptr);
  ASSERT_NE(CWindowManagerUI::GetMultiLanguageString(3), nullptr);
  EXPECT_STREQ(CWindowManagerUI::GetMultiLanguageString(3), L"你好");
  EXPECT_EQ(CWindowManagerUI::GetMultiLanguageString(4), nullptr);
  EXPECT_EQ(CWindowManagerUI::GetMultiLanguageString(-1), nullptr);
}

TEST_F(SkinBuilderTest, WindowAttributesOnlyFromAWindowRoot) {
  ASSERT_NE(Build(L"<Dialog size=\"300,200\" showshadow=\"true\"><Container /></Dialog>"), nullptr);
  EXPECT_EQ(m_window.manager().GetInitialSize().cx, 0);
  EXPECT_FALSE(m_window.manager().GetShadow()->IsShadowEnabled());
  delete m_root;
  CSkinBuilder second;
  m_root = second.CreateFromSource(L"<Window showshadow=\"true\" shadowsize=\"6\"><Container /></Window>", nullptr,
                                   nullptr, &m_window.manager());
  ASSERT_NE(m_root, nullptr);
  EXPECT_TRUE(m_window.manager().GetShadow()->IsShadowEnabled());
}

TEST_F(SkinBuilderTest, FactoryNamesIgnoreCaseExceptIconAndGifAnim) {
  CControlUI* root = Build(L"<Window><Container><hbox /><icon /><GIFANIM /><CONTROL /></Container></Window>");
  ASSERT_NE(root, nullptr);
  IContainerUI* box = AsContainer(root);
  ASSERT_EQ(box->GetCount(), 2);
  EXPECT_STREQ(box->GetItemAt(0)->GetClassName(), L"HorizontalLayout");
  EXPECT_STREQ(box->GetItemAt(1)->GetClassName(), L"Control");
  EXPECT_FALSE(m_callback.WasAsked(L"hbox"));
  EXPECT_TRUE(m_callback.WasAsked(L"icon")) << "\"icon\" is not the factory's \"Icon\"";
  EXPECT_TRUE(m_callback.WasAsked(L"GIFANIM"));
  // Unknown elements are skipped with everything below them.
  delete m_root;
  CSkinBuilder second;
  m_root = second.CreateFromSource(L"<Window><Container><Nothing><Probe /></Nothing></Container></Window>", nullptr,
                                   &m_callback, &m_window.manager());
  ASSERT_NE(m_root, nullptr);
  EXPECT_EQ(AsContainer(m_root)->GetCount(), 0);
  EXPECT_EQ(ProbeControl::live, 0);
}

// A stand-in for the concrete controls' factory: records what it is asked
// and makes a probe for "Widget" and for "TreeNode".
std::vector<std::wstring> g_factoryAsked;
CControlUI* RecordingFactory(const UIChar* name) {
  g_factoryAsked.push_back(name);
  const std::wstring element(name);
  return element == L"Widget" || element == L"TreeNode" ? new ProbeControl : nullptr;
}

TEST_F(SkinBuilderTest, TheControlFactoryIsAskedAfterTheFrameworksOwnNamesAndBeforeTheCallback) {
  // This program never installs the concrete controls: their names are
  // unknown and go to the callback like any other.
  ASSERT_EQ(CSkinBuilder::GetControlFactory(), nullptr);
  CControlUI* root = Build(L"<Window><Container><Button /><Label /></Container></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(AsContainer(root)->GetCount(), 0);
  EXPECT_TRUE(m_callback.WasAsked(L"Button"));
  EXPECT_TRUE(m_callback.WasAsked(L"Label"));
  delete m_root;
  m_root = nullptr;

  g_factoryAsked.clear();
  m_callback.asked.clear();
  CSkinBuilder::SetControlFactory(&RecordingFactory);
  CSkinBuilder second;
  m_root = second.CreateFromSource(L"<Window><Container><VerticalLayout /><Widget /><Probe /></Container></Window>",
                                   nullptr, &m_callback, &m_window.manager());
  ASSERT_NE(m_root, nullptr);
  ASSERT_EQ(AsContainer(m_root)->GetCount(), 3);
  EXPECT_STREQ(AsContainer(m_root)->GetItemAt(0)->GetClassName(), L"VerticalLayout");
  // The framework's names never reach the factory; the factory's never reach the callback.
  EXPECT_EQ(g_factoryAsked, (std::vector<std::wstring>{L"Widget", L"Probe"}));
  EXPECT_FALSE(m_callback.WasAsked(L"Widget"));
  EXPECT_TRUE(m_callback.WasAsked(L"Probe"));
  delete m_root;
  m_root = nullptr;

  // A tree node is made by the factory; outside a tree view the build ends
  // and the node goes.
  g_factoryAsked.clear();
  CSkinBuilder third;
  EXPECT_EQ(third.CreateFromSource(L"<Window><Container><TreeNode /></Container></Window>", nullptr, &m_callback,
                                   &m_window.manager()),
            nullptr);
  EXPECT_EQ(g_factoryAsked, std::vector<std::wstring>{L"TreeNode"});
  CSkinBuilder::SetControlFactory(nullptr);
  EXPECT_EQ(ProbeControl::live, 0);
}

TEST_F(SkinBuilderTest, CoverBecomesTheParentsCoverNotAChild) {
  CControlUI* root =
      Build(L"<Window><Container><Control name=\"over\" cover=\"true\" /><Control name=\"child\" /></Container></Window>");
  ASSERT_NE(root, nullptr);
  ASSERT_NE(root->GetCover(), nullptr);
  EXPECT_EQ(root->GetCover()->GetName().Compare(L"over"), 0);
  ASSERT_EQ(AsContainer(root)->GetCount(), 1);
  EXPECT_EQ(AsContainer(root)->GetItemAt(0)->GetName().Compare(L"child"), 0);
}

TEST_F(SkinBuilderTest, ChildrenAreAttachedBeforeTheElementsOwnAttributes) {
  CControlUI* root = Build(L"<Window><ProbeBox probe=\"x\"><Control /><Control /></ProbeBox></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(static_cast<ProbeContainer*>(root)->countAtProbe, 2);
}

TEST_F(SkinBuilderTest, AParentThatIsNoContainerEndsTheBuildAndLeaksNothing) {
  EXPECT_EQ(Build(L"<Window><Control><Probe /></Control></Window>"), nullptr);
  EXPECT_EQ(ProbeControl::live, 0);
  // Deeper: the failure ends the whole build; what was made and not attached goes.
  CSkinBuilder second;
  m_root = second.CreateFromSource(
      L"<Window><Container><Probe /><Container><Control><Probe /></Control></Container></Container></Window>", nullptr,
      &m_callback, &m_window.manager());
  EXPECT_EQ(m_root, nullptr);
  EXPECT_EQ(ProbeControl::live, 0);
}

TEST_F(SkinBuilderTest, AChildTheParentRefusesIsDeletedAndTheBuildGoesOn) {
  CControlUI* root = Build(
      L"<Window><Container><Refuser name=\"r\"><ProbeBox><Probe /></ProbeBox><Probe /></Refuser>"
      L"<Control name=\"after\" /></Container></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(ProbeControl::live, 0) << "refused children (and what was built into them) are deleted";
  ASSERT_EQ(AsContainer(root)->GetCount(), 2);
  EXPECT_EQ(AsContainer(root)->GetItemAt(1)->GetName().Compare(L"after"), 0);
}

TEST_F(SkinBuilderTest, OnlyTheFirstTopLevelControlIsHandedOut) {
  CControlUI* root = Build(L"<Window><Container name=\"first\" /><Probe /><Probe /></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName().Compare(L"first"), 0);
  EXPECT_EQ(ProbeControl::live, 0) << "top-level controls nobody receives are deleted";
}

TEST_F(SkinBuilderTest, UnloadableDocumentsGiveNull) {
  SkinTestFolder folder;
  const wchar_t* sources[] = {L"<Window><Container></Window>", L"missing.xml", L"<"};
  for (const wchar_t* source : sources) {
    CSkinBuilder builder;
    EXPECT_EQ(builder.CreateFromSource(source, nullptr, &m_callback, &m_window.manager()), nullptr) << source;
  }
  CSkinBuilder resource;
  EXPECT_EQ(resource.CreateFromSource(UIResourceRef(4711), L"xml", nullptr, &m_window.manager()), nullptr);
}

// --- "Include" from a skin folder ---

SkinTestFolder* includeFolder = nullptr;
void DeletePartFile() { DeleteFileW((includeFolder->path() + L"part.xml").c_str()); }

TEST_F(SkinBuilderTest, IncludeWithCountThreeLoadsOnceAndBuildsThreeTimes) {
  SkinTestFolder folder;
  includeFolder = &folder;
  ASSERT_TRUE(folder.Write(L"part.xml", "<Part><Probe name=\"p\" /></Part>"));
  ASSERT_TRUE(folder.Write(L"main.xml",
                           "<Window><Container name=\"host\"><Include source=\"part.xml\" count=\"3\" />"
                           "<Control name=\"own\" /></Container></Window>"));
  m_callback.onProbe = &DeletePartFile;  // a second load of part.xml would now fail
  CControlUI* root = m_builder.CreateFromSource(L"main.xml", nullptr, &m_callback, &m_window.manager());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName().Compare(L"host"), 0) << "included controls never become the result";
  IContainerUI* host = AsContainer(root);
  ASSERT_EQ(host->GetCount(), 4);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(host->GetItemAt(i)->GetName().Compare(L"p"), 0);
  EXPECT_EQ(ProbeControl::live, 3);
  delete root;
  EXPECT_EQ(ProbeControl::live, 0);
}

TEST_F(SkinBuilderTest, IncludeCountZeroOrLessBuildsNothing) {
  SkinTestFolder folder;
  ASSERT_TRUE(folder.Write(L"part.xml", "<Part><Control /></Part>"));
  for (const wchar_t* count : {L"0", L"-2"}) {
    CSkinBuilder builder;
    const std::wstring xml = std::wstring(L"<Window><Container><Include source=\"part.xml\" count=\"") + count +
                             L"\" /></Container></Window>";
    CControlUI* root = builder.CreateFromSource(xml.c_str(), nullptr, nullptr, &m_window.manager());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(AsContainer(root)->GetCount(), 0) << count;
    delete root;
  }
}

TEST_F(SkinBuilderTest, ADocumentThatIncludesItselfEndsCleanly) {
  SkinTestFolder folder;
  ASSERT_TRUE(folder.Write(L"self.xml",
                           "<Window><Container name=\"outer\"><Include source=\"self.xml\" count=\"3\" />"
                           "<Control /></Container></Window>"));
  ASSERT_TRUE(folder.Write(L"a.xml", "<Window><Container name=\"a\"><Include source=\"b.xml\" /></Container></Window>"));
  ASSERT_TRUE(folder.Write(L"b.xml", "<Part><Container name=\"b\"><Include source=\"A.XML\" /></Container></Part>"));

  CControlUI* root = m_builder.CreateFromSource(L"self.xml", nullptr, nullptr, &m_window.manager());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(AsContainer(root)->GetCount(), 1);
  delete root;

  CSkinBuilder cycle;
  root = cycle.CreateFromSource(L"a.xml", nullptr, nullptr, &m_window.manager());
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(AsContainer(root)->GetCount(), 1);
  CControlUI* b = AsContainer(root)->GetItemAt(0);
  EXPECT_EQ(b->GetName().Compare(L"b"), 0);
  EXPECT_EQ(AsContainer(b)->GetCount(), 0);
  delete root;
}

TEST_F(SkinBuilderTest, IncludesNestOnlyToTheDepthLimit) {
  // A chain of distinct files, one deeper than the limit allows.
  SkinTestFolder folder;
  const int files = CSkinBuilder::kMaxIncludeDepth + 2;
  for (int i = 0; i < files; ++i) {
    const std::string next = i + 1 < files ? "<Include source=\"level" + std::to_string(i + 1) + ".xml\" />" : "";
    ASSERT_TRUE(folder.Write(L"level" + std::to_wstring(i) + L".xml",
                             "<Part><Container>" + next + "</Container></Part>"));
  }
  CControlUI* root = m_builder.CreateFromSource(L"level0.xml", nullptr, nullptr, &m_window.manager());
  ASSERT_NE(root, nullptr);
  int depth = 0;
  for (CControlUI* level = root; AsContainer(level)->GetCount() > 0; level = AsContainer(level)->GetItemAt(0)) ++depth;
  EXPECT_EQ(depth, CSkinBuilder::kMaxIncludeDepth);
  delete root;
}

// --- Images ---

// A tiny picture the image loader reads like any other.
std::string TinyBmp() {
  return testbitmaps::MakeBmp(2, 2, [](int x, int y) { return (x + y) % 2 == 0 ? 0xFF0000u : 0x00FF00u; });
}

TEST_F(SkinBuilderTest, AnImagesSharedKeepsItsSourcePixelsInTheWindowsOwnTable) {
  SkinTestFolder folder;
  ASSERT_TRUE(folder.Write(L"kept.bmp", TinyBmp()));
  ASSERT_TRUE(folder.Write(L"own.bmp", TinyBmp()));
  ASSERT_NE(Build(L"<Window><Image name=\"kept.bmp\" shared=\"true\" /><Image name=\"own.bmp\" />"
                  L"<Container /></Window>"),
            nullptr);
  testwindows::ManagedTestWindow other;
  const UIImageInfo* kept = m_window.manager().GetImage(L"kept.bmp");
  const UIImageInfo* own = m_window.manager().GetImage(L"own.bmp");
  ASSERT_NE(kept, nullptr);
  ASSERT_NE(own, nullptr);
  EXPECT_NE(kept->pSrcBits, nullptr) << "\"shared\" keeps a copy of the source pixels";
  EXPECT_TRUE(kept->bUseHSL);
  EXPECT_EQ(own->pSrcBits, nullptr);
  EXPECT_FALSE(own->bUseHSL);
  EXPECT_EQ(other.manager().GetImage(L"kept.bmp"), nullptr) << "never put in the table every window sees";
  EXPECT_EQ(other.manager().GetImage(L"own.bmp"), nullptr);
  m_window.manager().RemoveAllImages(false);
}

// --- A skin archive in memory ---

TEST_F(SkinBuilderTest, BuildsFromAnArchiveInMemory) {
  TestZipBuilder zip;
  TestZipEntry main;
  main.name = "skin/main.xml";
  main.data =
      "<Window size=\"320,240\"><Container name=\"host\"><Include source=\"skin/part.xml\" count=\"2\" />"
      "</Container></Window>";
  zip.Add(main);
  TestZipEntry part;
  part.name = "skin/part.xml";
  part.data = "<Part><Control name=\"from-archive\" /></Part>";
  zip.Add(part);
  const std::string archive = zip.Build();
  CWindowManagerUI::SetResourceZipMemory(archive.data(), static_cast<unsigned>(archive.size()));

  CControlUI* root = m_builder.CreateFromSource(L"skin/main.xml", nullptr, nullptr, &m_window.manager());
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(AsContainer(root)->GetCount(), 2);
  EXPECT_EQ(AsContainer(root)->GetItemAt(1)->GetName().Compare(L"from-archive"), 0);
  EXPECT_EQ(m_window.manager().GetInitialSize().cx, 320);
  delete root;
  CWindowManagerUI::SetResourceZipFile(L"", false);
}

}  // namespace
