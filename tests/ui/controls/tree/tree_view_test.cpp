// Test cases run alone: they drive the mouse of the one test desktop, which other tests' windows would take.
// The tree view built from skin XML and driven through real messages: folder
// buttons and double clicks expanding and collapsing branches (a collapsed
// sub-folder keeps its children hidden), indentation per level, and the node
// operations that keep the view's flat list in display order: appending after
// a parent's last descendant, appending to the very last node, adding into a
// collapsed node, removing whole branches; check boxes checking a whole
// branch, and a node moved to another view calling only that view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"
#include "tests/support/TestBitmaps.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/tree/TreeNodeUI.h"
#include "ui/controls/tree/TreeViewUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

// Folder marks: a right-pointing triangle while collapsed (selected), a
// down-pointing one while expanded.
void WritePictures(ScratchFolder& folder) {
  ScratchFolder::WriteFileBytes(folder / L"tree_open.bmp", testbitmaps::MakeBmp(18, 18, [](int x, int y) {
                                  const int row = y - 6;
                                  return row >= 0 && row <= 5 && x >= 4 + row && x <= 13 - row ? 0x5B6478u : 0xFFFFFFu;
                                }));
  ScratchFolder::WriteFileBytes(folder / L"tree_closed.bmp", testbitmaps::MakeBmp(18, 18, [](int x, int y) {
                                  const int col = x - 6;
                                  return col >= 0 && col <= 5 && y >= 4 + col && y <= 13 - col ? 0x5B6478u : 0xFFFFFFu;
                                }));
}

// docs (guide (intro, usage), notes (todo)), music.
std::wstring TreeSkin() {
  const std::wstring node =
      L" height=\"22\" folderattr=\"normalimage=&quot;file='tree_open.bmp'&quot; "
      L"selectedimage=&quot;file='tree_closed.bmp'&quot;\" itemattr=\"textpadding=&quot;4,0,0,0&quot;\" ";
  auto open = [&](const wchar_t* name, const wchar_t* text) {
    return L"<TreeNode name=\"" + std::wstring(name) + L"\" text=\"" + text + L"\"" + node + L">";
  };
  return L"<Window size=\"320,260\"><Font id=\"0\" name=\"WenQuanYi Micro Hei\" size=\"13\" default=\"true\" />"
         L"<VerticalLayout bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\">"
         L"<TreeView name=\"tree\" itemtextcolor=\"#FF1E2533\" itemhotbkcolor=\"#FFEEF1FE\" "
         L"itemselectedbkcolor=\"#FFDDE6FB\">" +
         open(L"docs", L"文档") + open(L"guide", L"指南") + open(L"intro", L"简介") + L"</TreeNode>" +
         open(L"usage", L"用法") + L"</TreeNode></TreeNode>" + open(L"notes", L"笔记") + open(L"todo", L"待办") +
         L"</TreeNode></TreeNode></TreeNode>" + open(L"music", L"音乐") + L"</TreeNode>" +
         L"</TreeView></VerticalLayout></Window>";
}

class TreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WritePictures(m_folder);
    CWindowManagerUI::SetResourcePath(m_folder.path().c_str());
  }
  static CTreeNodeUI* Node(SkinnedTestWindow& w, const wchar_t* name) {
    return w.Find<CTreeNodeUI>(name, L"TreeNode");
  }
  // The names of the view's items in order, hidden ones in brackets.
  static std::vector<std::wstring> Rows(CTreeViewUI* tree) {
    std::vector<std::wstring> rows;
    for (int i = 0; i < tree->GetCount(); ++i) {
      CControlUI* item = tree->GetItemAt(i);
      const std::wstring name = item->GetName().GetText();
      rows.push_back(item->IsVisible() ? name : L"(" + name + L")");
    }
    return rows;
  }
  // Clicks a node's folder button through the window's messages.
  static void ClickFolder(SkinnedTestWindow& w, CTreeNodeUI* node) {
    w.driver().Pump();  // laid out first
    const CUIRect pos = node->GetFolderButton()->GetPos();
    w.driver().ClickAt(POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2});
    w.driver().PumpFor(20);
  }
  static CTreeNodeUI* NewNode(const wchar_t* name) {
    auto* node = new CTreeNodeUI();
    node->SetName(name);
    return node;
  }

  ScratchFolder m_folder;
};

using Names = std::vector<std::wstring>;

TEST_F(TreeViewTest, FolderClicksCollapseAndExpandAndACollapsedSubFolderStaysClosed) {
  SkinnedTestWindow w(TreeSkin(), 320, 260);
  ASSERT_TRUE(w.ok());
  auto* tree = w.Find<CTreeViewUI>(L"tree", L"TreeView");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"guide", L"intro", L"usage", L"notes", L"todo", L"music"}));

  // Collapsing "guide" by its folder button hides its two children only.
  ClickFolder(w, Node(w, L"guide"));
  EXPECT_TRUE(Node(w, L"guide")->GetFolderButton()->IsSelected());
  EXPECT_FALSE(Node(w, L"guide")->IsFolderExpanded());
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"guide", L"(intro)", L"(usage)", L"notes", L"todo", L"music"}));

  // Collapsing "docs" hides the whole branch.
  ClickFolder(w, Node(w, L"docs"));
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"(guide)", L"(intro)", L"(usage)", L"(notes)", L"(todo)", L"music"}));
  // The rows close up: "music" follows "docs" directly.
  w.driver().Pump();
  EXPECT_EQ(Node(w, L"music")->GetPos().top, Node(w, L"docs")->GetPos().bottom);

  // Expanding "docs" again brings back its children and the open "notes"
  // branch; the collapsed "guide" keeps its children hidden.
  ClickFolder(w, Node(w, L"docs"));
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"guide", L"(intro)", L"(usage)", L"notes", L"todo", L"music"}));

  // A double click on a node toggles its folder like the button does.
  w.driver().Pump();
  const CUIRect guide = Node(w, L"guide")->GetPos();
  const LPARAM at = MAKELPARAM(guide.right - 20, (guide.top + guide.bottom) / 2);
  PostMessageW(w.hwnd(), WM_MOUSEMOVE, 0, at);
  PostMessageW(w.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(w.hwnd(), WM_LBUTTONUP, 0, at);
  PostMessageW(w.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageW(w.hwnd(), WM_LBUTTONUP, 0, at);
  w.driver().PumpFor(20);
  EXPECT_EQ(w.recorder.Of(L"itemdbclick"), std::vector<std::wstring>{L"guide"});
  EXPECT_FALSE(Node(w, L"guide")->GetFolderButton()->IsSelected());
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"guide", L"intro", L"usage", L"notes", L"todo", L"music"}));

  EXPECT_TRUE(w.Screenshot(L"tree-view.png"));
}

TEST_F(TreeViewTest, EachLevelIsIndentedBySixteenPixels) {
  SkinnedTestWindow w(TreeSkin(), 320, 260);
  ASSERT_TRUE(w.ok());
  w.driver().Pump();
  const struct {
    const wchar_t* name;
    int dotLineWidth;
    bool dotLineShown;
  } levels[] = {{L"docs", 2, false}, {L"guide", 18, true}, {L"intro", 34, true}, {L"music", 2, false}};
  for (const auto& level : levels) {
    CTreeNodeUI* node = Node(w, level.name);
    ASSERT_NE(node, nullptr) << level.name;
    EXPECT_EQ(node->GetDotLine()->GetFixedWidth(), level.dotLineWidth) << level.name;
    EXPECT_EQ(node->GetDotLine()->IsVisible(), level.dotLineShown) << level.name;
  }
  // On screen each level's folder button starts 18 further right than the
  // level above (16 of indentation beyond the hidden 2-pixel line of the top).
  const int top = Node(w, L"docs")->GetFolderButton()->GetPos().left;
  EXPECT_EQ(Node(w, L"guide")->GetFolderButton()->GetPos().left, top + 18);
  EXPECT_EQ(Node(w, L"intro")->GetFolderButton()->GetPos().left, top + 34);
}

TEST_F(TreeViewTest, AppendedChildrenGoAfterTheParentsLastDescendant) {
  SkinnedTestWindow w(TreeSkin(), 320, 260);
  ASSERT_TRUE(w.ok());
  auto* tree = w.Find<CTreeViewUI>(L"tree", L"TreeView");

  // "docs" ends with notes/todo: a new child of docs goes after "todo".
  ASSERT_TRUE(Node(w, L"docs")->AddItem(NewNode(L"drafts")));
  // "guide" ends with "usage": a new child goes there, before "notes".
  ASSERT_TRUE(Node(w, L"guide")->AddItem(NewNode(L"faq")));
  EXPECT_EQ(Rows(tree),
            (Names{L"docs", L"guide", L"intro", L"usage", L"faq", L"notes", L"todo", L"drafts", L"music"}));
  EXPECT_EQ(Node(w, L"faq")->GetParentNode(), Node(w, L"guide"));
  EXPECT_EQ(Node(w, L"faq")->GetDotLine()->GetFixedWidth(), 34);

  // The very last node of the view takes a child (its index is the item count),
  // and that child a child of its own.
  ASSERT_TRUE(Node(w, L"music")->AddItem(NewNode(L"songs")));
  ASSERT_TRUE(Node(w, L"songs")->AddItem(NewNode(L"live")));
  // The view's own insertion at the count appends too.
  ASSERT_TRUE(tree->AddItemAt(NewNode(L"video"), tree->GetCount()));
  EXPECT_FALSE(tree->AddItemAt(NewNode(L"beyond"), tree->GetCount() + 1));
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"guide", L"intro", L"usage", L"faq", L"notes", L"todo", L"drafts", L"music",
                              L"songs", L"live", L"video"}));
  EXPECT_EQ(Node(w, L"live")->GetParentNode(), Node(w, L"songs"));

  // Inserting at an index of the parent's children keeps the view in the same order.
  ASSERT_TRUE(Node(w, L"guide")->AddItemAt(NewNode(L"setup"), 1));
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"guide", L"intro", L"setup", L"usage", L"faq", L"notes", L"todo", L"drafts",
                              L"music", L"songs", L"live", L"video"}));
  w.driver().Pump();
  EXPECT_EQ(Node(w, L"video")->GetPos().top, Node(w, L"live")->GetPos().bottom);
}

TEST_F(TreeViewTest, AChildAddedToACollapsedNodeStaysHidden) {
  SkinnedTestWindow w(TreeSkin(), 320, 260);
  ASSERT_TRUE(w.ok());
  auto* tree = w.Find<CTreeViewUI>(L"tree", L"TreeView");
  ClickFolder(w, Node(w, L"notes"));
  ASSERT_TRUE(Node(w, L"notes")->AddItem(NewNode(L"later")));
  EXPECT_FALSE(Node(w, L"later")->IsVisible());
  // And it shows with its siblings when the folder opens.
  ClickFolder(w, Node(w, L"notes"));
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"guide", L"intro", L"usage", L"notes", L"todo", L"later", L"music"}));
}

TEST_F(TreeViewTest, RemovingANodeRemovesItsBranchAndItsParentForgetsIt) {
  SkinnedTestWindow w(TreeSkin(), 320, 260);
  ASSERT_TRUE(w.ok());
  auto* tree = w.Find<CTreeViewUI>(L"tree", L"TreeView");
  CTreeNodeUI* docs = Node(w, L"docs");

  ASSERT_TRUE(tree->RemoveItem(Node(w, L"guide")));
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"notes", L"todo", L"music"}));
  EXPECT_EQ(docs->GetChildNodeCount(), 1);
  EXPECT_EQ(docs->GetChildNode(0), Node(w, L"notes"));
  // The removed branch is deleted (after the window's delayed clean-up), its names gone with it.
  w.driver().PumpFor(20);
  EXPECT_EQ(w.driver().Find(L"guide"), nullptr);
  EXPECT_EQ(w.driver().Find(L"intro"), nullptr);

  // By index; and the parent's next child lands right after what is left.
  ASSERT_TRUE(tree->RemoveItemAt(tree->GetItemIndex(Node(w, L"notes"))));
  EXPECT_EQ(docs->GetChildNodeCount(), 0);
  EXPECT_EQ(docs->LastDescendant(), docs);
  ASSERT_TRUE(docs->AddItem(NewNode(L"fresh")));
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"fresh", L"music"}));

  // A branch kept by the caller leaves the view whole and can be put back.
  CTreeNodeUI* fresh = Node(w, L"fresh");
  ASSERT_TRUE(fresh->AddItem(NewNode(L"inner")));
  ASSERT_TRUE(tree->RemoveItem(fresh, true));
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"music"}));
  EXPECT_EQ(fresh->GetParentNode(), nullptr);
  EXPECT_EQ(fresh->GetChildNodeCount(), 1);
  ASSERT_TRUE(tree->AddItem(fresh));
  EXPECT_EQ(Rows(tree), (Names{L"docs", L"music", L"fresh", L"inner"}));
  EXPECT_EQ(tree->RemoveItemAt(99), false);
}

TEST_F(TreeViewTest, CheckingANodesBoxChecksAndUnchecksItsWholeBranch) {
  std::wstring skin = TreeSkin();
  const std::wstring tag = L"<TreeView name=\"tree\"";
  skin.insert(skin.find(tag) + tag.size(), L" visiblecheckbtn=\"true\"");
  SkinnedTestWindow w(skin, 320, 260);
  ASSERT_TRUE(w.ok());
  auto checked = [&](const wchar_t* name) { return Node(w, name)->GetCheckBox()->IsSelected(); };
  ASSERT_TRUE(Node(w, L"docs")->GetCheckBox()->IsVisible());

  auto clickBox = [&](const wchar_t* name) {
    w.driver().Pump();
    const CUIRect pos = Node(w, name)->GetCheckBox()->GetPos();
    w.driver().ClickAt(POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2});
    w.driver().PumpFor(20);
  };
  struct Step {
    const wchar_t* click;
    std::vector<std::wstring> checkedAfter;
  };
  const Step steps[] = {
      {L"guide", {L"guide", L"intro", L"usage"}},
      {L"docs", {L"docs", L"guide", L"intro", L"usage", L"notes", L"todo"}},
      {L"notes", {L"docs", L"guide", L"intro", L"usage"}},
      {L"docs", {}},
  };
  const wchar_t* const all[] = {L"docs", L"guide", L"intro", L"usage", L"notes", L"todo", L"music"};
  for (const Step& step : steps) {
    clickBox(step.click);
    std::vector<std::wstring> now;
    for (const wchar_t* name : all) {
      if (checked(name)) now.push_back(name);
    }
    EXPECT_EQ(now, step.checkedAfter) << "after clicking " << std::wstring(step.click).c_str();
  }
  // Checking leaves the folders as they were.
  EXPECT_EQ(Node(w, L"intro")->IsVisible(), true);
  EXPECT_TRUE(w.Screenshot(L"tree-view-check-boxes.png"));
}

// A tree view that writes down which view handled a node's folder button.
class LoggingTreeView : public CTreeViewUI {
 public:
  LoggingTreeView(const wchar_t* id, std::vector<std::wstring>* log) : m_id(id), m_log(log) {}
  bool OnNodeFolderChanged(void* param) override {
    if (static_cast<UINotify*>(param)->sType.EqualsText(L"selectchanged")) m_log->push_back(m_id);
    return CTreeViewUI::OnNodeFolderChanged(param);
  }

 private:
  std::wstring m_id;
  std::vector<std::wstring>* m_log;
};

TEST_F(TreeViewTest, ANodeKeptOnRemovalAndAddedToAnotherViewCallsOnlyThatView) {
  SkinnedTestWindow w(L"<Window size=\"320,260\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
                      L"<HorizontalLayout name=\"host\" bkcolor=\"#FFFFFFFF\" /></Window>",
                      320, 260);
  ASSERT_TRUE(w.ok());
  auto* host = w.Find<CContainerUI>(L"host", L"Container");
  ASSERT_NE(host, nullptr);
  std::vector<std::wstring> log;
  auto* first = new LoggingTreeView(L"first", &log);
  auto* second = new LoggingTreeView(L"second", &log);
  ASSERT_TRUE(host->AddItem(first));
  ASSERT_TRUE(host->AddItem(second));
  CTreeNodeUI* branch = NewNode(L"branch");
  branch->GetItemButton()->SetText(L"分支");
  ASSERT_TRUE(first->AddItem(branch));
  ASSERT_TRUE(branch->AddItem(NewNode(L"leaf")));
  CTreeNodeUI* leaf = branch->GetChildNode(0);

  ASSERT_TRUE(first->RemoveItem(branch, true));
  ASSERT_TRUE(second->AddItem(branch));
  EXPECT_EQ(branch->GetTreeView(), second);
  EXPECT_EQ(second->GetCount(), 2);

  ClickFolder(w, branch);
  EXPECT_EQ(log, std::vector<std::wstring>{L"second"});
  EXPECT_FALSE(leaf->IsVisible());
  // The first view can go: nothing of the moved branch points at it.
  ASSERT_TRUE(host->RemoveItem(first));
  w.driver().PumpFor(20);
  log.clear();
  ClickFolder(w, branch);
  EXPECT_EQ(log, std::vector<std::wstring>{L"second"});
  EXPECT_TRUE(leaf->IsVisible());
}

}  // namespace
