// The skin builder: loading a skin document, registering its resources and
// window attributes, and making the control tree through the factory.
//
// Sections: factory; loading; resources and window attributes; controls;
// "Include" and "TreeNode" elements.
#include "ui/window/SkinBuilder.h"

#include <windows.h>

#include "core/base/BenchMemory.h"
#include "core/base/DebugTrace.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/layout/ChildLayoutUI.h"
#include "ui/layout/HorizontalLayoutUI.h"
#include "ui/layout/TileLayoutUI.h"
#include "ui/layout/VerticalLayoutUI.h"
#include "ui/skin/portable/LoadProbe.h"
#include "ui/window/Shadow.h"
#include "ui/window/WindowManager.h"

namespace Trellis {
namespace {

// --- Factory ---

template <class T>
CControlUI* Make(const UIChar*) {
  return new T;
}

// The element names of the framework's own classes. The concrete controls'
// names come from the control factory the controls library installs.
const UIFactoryEntry kFrameworkFactory[] = {
    {UI_TEXT("HBox"), false, &Make<CHorizontalLayoutUI>},
    {UI_TEXT("VBox"), false, &Make<CVerticalLayoutUI>},
    {UI_TEXT("Control"), false, &Make<CControlUI>},
    {UI_TEXT("Container"), false, &Make<CContainerUI>},
    {UI_TEXT("ScrollBar"), false, &Make<CScrollBarUI>},
    {UI_TEXT("TileLayout"), false, &Make<CTileLayoutUI>},
    {UI_TEXT("ChildLayout"), false, &Make<CChildLayoutUI>},
    {UI_TEXT("VerticalLayout"), false, &Make<CVerticalLayoutUI>},
    {UI_TEXT("HorizontalLayout"), false, &Make<CHorizontalLayoutUI>},
};

UIControlFactory g_controlFactory = nullptr;  // installed by the controls library

bool IsName(const UIChar* name, const UIChar* expected) { return UITextCompareNoCase(name, expected) == 0; }

bool IsResourceElement(const UIChar* name) {
  return IsName(name, UI_TEXT("Image")) || IsName(name, UI_TEXT("Font")) || IsName(name, UI_TEXT("Default")) ||
         IsName(name, UI_TEXT("MultiLanguage"));
}

// Booleans of resource elements: "true" in any letter case.
bool ReadResourceBool(const UIChar* value) { return IsName(value, UI_TEXT("true")); }

// Reads an attribute into a bounded buffer; an absent attribute gives false.
template <int N>
bool ReadBounded(CXmlMarkupNode& node, const UIChar* name, UIChar (&buffer)[N]) {
  buffer[0] = 0;
  return node.GetAttributeValue(name, buffer, N - 1);
}

}  // namespace

CControlUI* CSkinBuilder::CreateFromTable(const UIFactoryEntry* table, int count, const UIChar* elementName) {
  if (table == nullptr || elementName == nullptr) return nullptr;
  const size_t length = UITextLength(elementName);
  for (int i = 0; i < count; ++i) {
    const UIFactoryEntry& entry = table[i];
    if (UITextLength(entry.name) != length) continue;  // the length picks the group first
    const bool same = entry.exactCase ? UITextCompare(elementName, entry.name) == 0 : IsName(elementName, entry.name);
    if (same) return entry.make != nullptr ? entry.make(elementName) : nullptr;
  }
  return nullptr;
}

CControlUI* CSkinBuilder::CreateFactoryControl(const UIChar* elementName) {
  CControlUI* control = CreateFromTable(kFrameworkFactory, static_cast<int>(sizeof(kFrameworkFactory) /
                                                                            sizeof(kFrameworkFactory[0])),
                                        elementName);
  if (control == nullptr && g_controlFactory != nullptr && elementName != nullptr &&
      !IsName(elementName, UI_TEXT("TreeNode"))) {
    control = g_controlFactory(elementName);
  }
  return control;
}

void CSkinBuilder::SetControlFactory(UIControlFactory factory) { g_controlFactory = factory; }

UIControlFactory CSkinBuilder::GetControlFactory() { return g_controlFactory; }

// --- Loading ---

CSkinBuilder::CSkinBuilder()
    : m_pCallback(nullptr),
      m_pstrResourceType(nullptr),
      m_nIncludeDepth(0),
      m_pIncludedBy(nullptr),
      m_bFailed(false) {}

CSkinBuilder::~CSkinBuilder() = default;

CControlUI* CSkinBuilder::CreateFromSource(UIResourceRef source, const UIChar* resourceType,
                                           IDialogBuilderCallback* callback, CWindowManagerUI* manager,
                                           CControlUI* parent) {
  BenchMemoryScope measured("skin.build");
  if (source.IsNumber()) {
    HINSTANCE module = CWindowManagerUI::GetResourceInstance();
    HRSRC found = FindResourceW(module, source.AsResourceName(), resourceType);
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) {
      FreeResource(loaded);
      return nullptr;
    }
    m_pCallback = callback;
    UILoadStepScope step(kUILoadSkinParse);
    const bool parsed = m_xml.LoadFromMemory(LockResource(loaded), SizeofResource(module, found), MarkupEncodingUtf8);
    FreeResource(loaded);
    if (!parsed) return nullptr;
    m_pstrResourceType = resourceType;
  } else {
    const UIChar* text = source.GetName();
    if (text == nullptr) return nullptr;
    m_sSource = text;
    bool parsed;
    {
      // The file's reading is a step of its own inside this one.
      UILoadStepScope step(kUILoadSkinParse);
      parsed = text[0] == UI_TEXT('<') ? m_xml.Load(text) : m_xml.LoadFromFile(text);
    }
    if (!parsed) {
      DebugTrace(L"CSkinBuilder: cannot load the skin: %ls", m_xml.GetLastErrorMessage());
      return nullptr;
    }
  }
  return Create(callback, manager, parent);
}

CControlUI* CSkinBuilder::Create(IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent) {
  m_pCallback = callback;
  m_bFailed = false;
  CXmlMarkupNode root = m_xml.GetRoot();
  if (!root.IsValid()) return nullptr;
  if (manager != nullptr) {
    RegisterResources(root, manager);
    if (IsName(root.GetName(), UI_TEXT("Window")) && manager->GetPaintWindow() != nullptr) {
      ApplyWindowAttributes(root, manager);
    }
  }
  UILoadStepScope step(kUILoadControls);
  return CreateControls(root, parent, manager);
}

// --- Resources and window attributes ---

void CSkinBuilder::RegisterResources(CXmlMarkupNode root, CWindowManagerUI* manager) {
  for (CXmlMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
    const UIChar* element = node.GetName();
    const int count = node.GetAttributeCount();
    if (IsName(element, UI_TEXT("Image"))) {
      const UIChar* name = nullptr;
      const UIChar* type = nullptr;
      uint32_t mask = 0;
      bool keepSourcePixels = false;
      for (int i = 0; i < count; ++i) {
        const UIChar* key = node.GetAttributeName(i);
        const UIChar* value = node.GetAttributeValue(i);
        if (IsName(key, UI_TEXT("name"))) name = value;
        else if (IsName(key, UI_TEXT("restype"))) type = value;
        else if (IsName(key, UI_TEXT("mask"))) mask = ParseAttributeColor(value);
        else if (IsName(key, UI_TEXT("shared"))) keepSourcePixels = ReadResourceBool(value);
      }
      // An image element's "shared" keeps a copy of the source pixels (for
      // later hue/saturation/luminance shifts); the image goes to this
      // window's own table.
      if (name != nullptr && name[0] != 0) manager->AddImage(name, type, mask, keepSourcePixels, false);
    } else if (IsName(element, UI_TEXT("Font"))) {
      int id = -1;
      int size = 12;
      const UIChar* face = nullptr;
      bool bold = false, underline = false, italic = false, isDefault = false, shared = false;
      for (int i = 0; i < count; ++i) {
        const UIChar* key = node.GetAttributeName(i);
        const UIChar* value = node.GetAttributeValue(i);
        if (IsName(key, UI_TEXT("id"))) id = ParseAttributeInt(value);
        else if (IsName(key, UI_TEXT("name"))) face = value;
        else if (IsName(key, UI_TEXT("size"))) size = ParseAttributeInt(value);
        else if (IsName(key, UI_TEXT("bold"))) bold = ReadResourceBool(value);
        else if (IsName(key, UI_TEXT("underline"))) underline = ReadResourceBool(value);
        else if (IsName(key, UI_TEXT("italic"))) italic = ReadResourceBool(value);
        else if (IsName(key, UI_TEXT("default"))) isDefault = ReadResourceBool(value);
        else if (IsName(key, UI_TEXT("shared"))) shared = ReadResourceBool(value);
      }
      // A font without an id is ignored altogether, its "default" included.
      if (id >= 0 && face != nullptr && face[0] != 0) {
        manager->DeclareFont(id, face, size, bold, underline, italic, shared);
        if (isDefault) manager->SetDefaultFont(face, size, bold, underline, italic, shared);
      }
    } else if (IsName(element, UI_TEXT("Default"))) {
      const UIChar* name = nullptr;
      const UIChar* value = UI_TEXT("");
      bool shared = false;
      for (int i = 0; i < count; ++i) {
        const UIChar* key = node.GetAttributeName(i);
        if (IsName(key, UI_TEXT("name"))) name = node.GetAttributeValue(i);
        else if (IsName(key, UI_TEXT("value"))) value = node.GetAttributeValue(i);
        else if (IsName(key, UI_TEXT("shared"))) shared = ReadResourceBool(node.GetAttributeValue(i));
      }
      if (name != nullptr && name[0] != 0) manager->AddDefaultAttributeList(name, value, shared);
    } else if (IsName(element, UI_TEXT("MultiLanguage"))) {
      int id = -1;
      const UIChar* value = nullptr;
      for (int i = 0; i < count; ++i) {
        const UIChar* key = node.GetAttributeName(i);
        if (IsName(key, UI_TEXT("id"))) id = ParseAttributeInt(node.GetAttributeValue(i));
        else if (IsName(key, UI_TEXT("value"))) value = node.GetAttributeValue(i);
      }
      if (id >= 0 && value != nullptr && value[0] != 0) CWindowManagerUI::AddMultiLanguageString(id, value);
    }
  }
}

void CSkinBuilder::ApplyWindowAttributes(CXmlMarkupNode root, CWindowManagerUI* manager) {
  CShadowUI* shadow = manager->GetShadow();
  const int count = root.GetAttributeCount();
  for (int i = 0; i < count; ++i) {
    const UIChar* name = root.GetAttributeName(i);
    const UIChar* value = root.GetAttributeValue(i);
    manager->SetWindowAttribute(name, value);
    if (shadow == nullptr) continue;
    // The drop-shadow names are compared exactly ("shadowpositon" is spelt as
    // the skins have always spelt it).
    if (UITextCompare(name, UI_TEXT("shadowsize")) == 0) {
      shadow->SetSize(ParseAttributeInt(value));
    } else if (UITextCompare(name, UI_TEXT("shadowsharpness")) == 0) {
      shadow->SetSharpness(ParseAttributeInt(value));
    } else if (UITextCompare(name, UI_TEXT("shadowdarkness")) == 0) {
      shadow->SetDarkness(ParseAttributeInt(value));
    } else if (UITextCompare(name, UI_TEXT("shadowpositon")) == 0) {
      const CUIPoint offset = ParseAttributePoint(value);
      shadow->SetPosition(offset.x, offset.y);
    } else if (UITextCompare(name, UI_TEXT("shadowcolor")) == 0) {
      shadow->SetColor(ParseAttributeColor(value));
    } else if (UITextCompare(name, UI_TEXT("shadowcorner")) == 0) {
      shadow->SetShadowCorner(ParseAttributeRect(value));
    } else if (UITextCompare(name, UI_TEXT("shadowimage")) == 0) {
      shadow->SetImage(value);
    } else if (UITextCompare(name, UI_TEXT("showshadow")) == 0) {
      shadow->SetShadowEnabled(ParseAttributeBool(value));
    }
  }
}

// --- Controls ---

CControlUI* CSkinBuilder::MakeControl(const UIChar* elementName, CWindowManagerUI* manager) {
  CControlUI* control = CreateFactoryControl(elementName);
  if (control == nullptr && manager != nullptr) {
    const CUIPtrArray& plugins = CWindowManagerUI::GetPlugins();
    for (int i = 0; i < plugins.GetSize() && control == nullptr; ++i) {
      auto creator = reinterpret_cast<UIPluginCreator>(plugins.GetAt(i));
      if (creator != nullptr) control = creator(elementName);
    }
  }
  if (control == nullptr && m_pCallback != nullptr) control = m_pCallback->CreateControl(elementName);
  return control;
}

void CSkinBuilder::ApplyAttributes(CControlUI* control, CXmlMarkupNode node, CWindowManagerUI* manager) {
  if (manager != nullptr) {
    control->SetManager(manager, nullptr, false);
    const UIChar* defaults = manager->GetDefaultAttributeList(node.GetName());
    if (defaults != nullptr) control->ApplyAttributeList(defaults);
  }
  // The element's own attributes come after the defaults, so they win.
  const int count = node.GetAttributeCount();
  for (int i = 0; i < count; ++i) control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
}

CControlUI* CSkinBuilder::CreateControls(CXmlMarkupNode node, CControlUI* parent, CWindowManagerUI* manager) {
  CControlUI* result = nullptr;
  IContainerUI* container = nullptr;
  bool containerAsked = false;
  CUIPtrArray unattached;  // controls of this level without a parent: only the first is handed out
  for (CXmlMarkupNode child = node.GetChild(); child.IsValid() && !m_bFailed; child = child.GetSibling()) {
    const UIChar* name = child.GetName();
    if (IsResourceElement(name)) continue;
    if (IsName(name, UI_TEXT("Include"))) {
      if (child.HasAttributes()) BuildInclude(child, parent, manager);
      continue;
    }
    if (IsName(name, UI_TEXT("TreeNode"))) {
      BuildTreeNode(child, parent, manager);
      continue;
    }
    CControlUI* control = MakeControl(name, manager);
    if (control == nullptr) continue;  // unknown element: skipped with everything below it

    // Children first, so containers hold them before their own attributes apply.
    if (child.HasChildren()) CreateControls(child, control, manager);
    if (m_bFailed) {
      control->Delete();  // not attached anywhere yet: the subtree goes with it
      break;
    }

    if (parent != nullptr) {
      UIChar cover[256];
      ReadBounded(child, UI_TEXT("cover"), cover);
      if (UITextCompare(cover, UI_TEXT("true")) == 0) {
        parent->SetCover(control);
      } else {
        // A tree node's own parts go into its row layout; until the tree view
        // joins, no parent answers "TreeNode" and every parent is a container.
        if (!containerAsked) {
          container = static_cast<IContainerUI*>(parent->GetInterface(UI_TEXT("IContainer")));
          containerAsked = true;
        }
        if (container == nullptr) {
          CUIString parentName = parent->GetName();
          DebugTrace(L"CSkinBuilder: a control's parent is not a container: %ls", parentName.GetText());
          control->Delete();
          m_bFailed = true;
          break;
        }
        if (!container->AddItem(control)) {
          DebugTrace(L"CSkinBuilder: the parent refused a control: %ls", name);
          control->Delete();
          continue;
        }
      }
    } else {
      unattached.Add(control);
    }

    ApplyAttributes(control, child, manager);
    // Detached again: the manager takes the whole tree when the window attaches its root.
    if (manager != nullptr) control->SetManager(nullptr, nullptr, false);
    if (result == nullptr) result = control;
  }
  // Top-level controls that nobody receives would leak: only the first one is
  // handed to the caller, and none when the build failed.
  for (int i = 0; i < unattached.GetSize(); ++i) {
    auto* control = static_cast<CControlUI*>(unattached.GetAt(i));
    if (control != result || m_bFailed) control->Delete();
  }
  return m_bFailed ? nullptr : result;
}

// --- "Include" and "TreeNode" ---

void CSkinBuilder::BuildInclude(CXmlMarkupNode node, CControlUI* parent, CWindowManagerUI* manager) {
  UIChar countText[500];
  UIChar source[500];
  int count = 1;
  if (ReadBounded(node, UI_TEXT("count"), countText)) count = ParseAttributeInt(countText);
  if (!ReadBounded(node, UI_TEXT("source"), source) || source[0] == 0 || count <= 0) return;
  if (m_nIncludeDepth >= kMaxIncludeDepth) {
    DebugTrace(L"CSkinBuilder: \"Include\" nested too deep, not built: %ls", source);
    return;
  }
  // A document that includes itself, directly or through others, is refused
  // at once instead of being built until the depth runs out.
  for (const CSkinBuilder* builder = this; builder != nullptr; builder = builder->m_pIncludedBy) {
    if (!builder->m_sSource.IsEmpty() && builder->m_sSource.CompareNoCase(source) == 0) {
      DebugTrace(L"CSkinBuilder: a skin includes itself, not built: %ls", source);
      return;
    }
  }
  CSkinBuilder included;
  included.m_nIncludeDepth = m_nIncludeDepth + 1;
  included.m_pIncludedBy = this;
  for (int i = 0; i < count; ++i) {
    CControlUI* first = nullptr;
    if (i == 0) {
      first = m_pstrResourceType != nullptr
                  ? included.CreateFromSource(UIResourceRef(ParseAttributeInt(source)), m_pstrResourceType,
                                              m_pCallback, manager, parent)
                  : included.CreateFromSource(UIResourceRef(source), nullptr, m_pCallback, manager, parent);
      if (!included.m_xml.IsValid()) return;  // nothing to build again
    } else {
      first = included.Create(m_pCallback, manager, parent);
    }
    // Without a parent nobody would own what the included document made.
    if (parent == nullptr && first != nullptr) first->Delete();
  }
}

bool CSkinBuilder::BuildTreeNode(CXmlMarkupNode node, CControlUI* parent, CWindowManagerUI* manager) {
  // Tree nodes are concrete controls: without the control factory the element
  // is skipped with its branch, like any element nothing makes.
  CControlUI* treeNode = g_controlFactory != nullptr ? g_controlFactory(UI_TEXT("TreeNode")) : nullptr;
  if (treeNode == nullptr) return true;
  if (parent != nullptr && parent->GetInterface(UI_TEXT("TreeNode")) != nullptr) {
    auto* parentNode = static_cast<IContainerUI*>(parent->GetInterface(UI_TEXT("IContainer")));
    if (parentNode == nullptr || !parentNode->AddItem(treeNode)) {
      treeNode->Delete();
      return true;
    }
    ApplyAttributes(treeNode, node, manager);
    CreateControls(node, treeNode, manager);
    return !m_bFailed;
  }
  ApplyAttributes(treeNode, node, manager);
  CreateControls(node, treeNode, manager);
  IContainerUI* view = nullptr;
  if (!m_bFailed && parent != nullptr && parent->GetInterface(UI_TEXT("TreeView")) != nullptr) {
    view = static_cast<IContainerUI*>(parent->GetInterface(UI_TEXT("IContainer")));
  }
  if (view == nullptr) {
    // Not attached anywhere: the node and the branch built into it go.
    treeNode->Delete();
    if (!m_bFailed) DebugTrace(L"CSkinBuilder: a tree node outside a tree view");
    m_bFailed = true;
    return false;
  }
  if (!view->AddItem(treeNode)) treeNode->Delete();
  return true;
}

}  // namespace Trellis
