#pragma once

// CSkinBuilder: turns one skin XML document into a tree of controls. It loads
// the document (resource, inline text or skin file), registers the document's
// resources (images, fonts, default attribute lists, multi-language texts) and
// the root's window attributes with a window manager, then makes one control
// per element through the factory of element names, attaches each to its
// parent and applies default and own attributes. Skinned windows, list items,
// menus and child layouts build their content with it. UI thread only.
//
// The framework's own factory knows only its own classes (control, container,
// layouts, scroll bar); the concrete controls live in a library above the
// framework, which installs their factory with `SetControlFactory` (see
// ui/controls/BuiltInControls.h), so the framework builds and links alone.
#include "ui/base/portable/UIChar.h"
#include "ui/base/portable/UIResourceRef.h"
#include "ui/base/portable/UIString.h"
#include "ui/skin/portable/XmlMarkup.h"

namespace Trellis {

class CControlUI;
class CWindowManagerUI;

// Asked by the builder for elements its factory does not know.
class IDialogBuilderCallback {
 public:
  // A new control for the element name, or null when this callback does not make it.
  virtual CControlUI* CreateControl(const UIChar* className) = 0;

 protected:
  ~IDialogBuilderCallback() = default;
};

// Makes a new control for an element name, or null for names it does not know.
using UIControlFactory = CControlUI* (*)(const UIChar* elementName);

// One element name of a factory table.
struct UIFactoryEntry {
  const UIChar* name;
  bool exactCase;  // the name must be written exactly so ("Icon", "GifAnim")
  UIControlFactory make;
};

class CSkinBuilder {
 public:
  // "Include" elements nest at most this deep; deeper ones build nothing, so
  // a document that includes itself ends instead of recursing without end.
  static constexpr int kMaxIncludeDepth = 8;

  CSkinBuilder();
  ~CSkinBuilder();
  CSkinBuilder(const CSkinBuilder&) = delete;
  CSkinBuilder& operator=(const CSkinBuilder&) = delete;

  // Loads a document and builds it: a number is an XML resource of the given
  // type, a text starting with '<' is the document itself, any other text a
  // skin file name. Returns the first control made, or null when the document
  // cannot be loaded or built. Reports nothing (the caller decides).
  CControlUI* CreateFromSource(UIResourceRef source, const UIChar* resourceType = nullptr,
                               IDialogBuilderCallback* callback = nullptr, CWindowManagerUI* manager = nullptr,
                               CControlUI* parent = nullptr);
  // Builds the document already loaded (again, when called again): resources
  // and window attributes go to the manager when one is given; the controls
  // are attached under `parent` when one is given. Returns the first control
  // made at the top level, or null.
  CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CWindowManagerUI* manager = nullptr,
                     CControlUI* parent = nullptr);
  // Makes the controls of `node`'s child elements under `parent`; returns the
  // first one made at that level (null when none, or when the build failed).
  CControlUI* CreateControls(CXmlMarkupNode node, CControlUI* parent = nullptr, CWindowManagerUI* manager = nullptr);

  // The loaded document (for diagnostics and tests).
  CXmlMarkup* GetMarkup() { return &m_xml; }
  // The parse error of the last failed load, if any.
  const UIChar* GetLastErrorMessage() const { return m_xml.GetLastErrorMessage(); }

  // Makes the control of a factory element name, or null for names the
  // factory does not know (plug-ins and callbacks are not asked): the
  // framework's own names first, then the installed control factory.
  static CControlUI* CreateFactoryControl(const UIChar* elementName);
  // Installs the factory of the concrete controls (null removes it). It is
  // asked for element names the framework's own table does not know, and for
  // "TreeNode" by the tree-node step. Process-wide; UI thread only.
  static void SetControlFactory(UIControlFactory factory);
  static UIControlFactory GetControlFactory();
  // Looks a name up in a factory table: names are compared ignoring case
  // unless the entry says exact case. Null when the table does not know it.
  static CControlUI* CreateFromTable(const UIFactoryEntry* table, int count, const UIChar* elementName);

 private:
  void RegisterResources(CXmlMarkupNode root, CWindowManagerUI* manager);
  void ApplyWindowAttributes(CXmlMarkupNode root, CWindowManagerUI* manager);
  void BuildInclude(CXmlMarkupNode node, CControlUI* parent, CWindowManagerUI* manager);
  // Builds one "TreeNode" element; false when the whole build must end.
  bool BuildTreeNode(CXmlMarkupNode node, CControlUI* parent, CWindowManagerUI* manager);
  CControlUI* MakeControl(const UIChar* elementName, CWindowManagerUI* manager);
  void ApplyAttributes(CControlUI* control, CXmlMarkupNode node, CWindowManagerUI* manager);

  CXmlMarkup m_xml;                             // the document, owned
  IDialogBuilderCallback* m_pCallback;          // not owned; set by each build
  const UIChar* m_pstrResourceType;             // resource type of a document loaded from resources, else null
  int m_nIncludeDepth;                          // how many "Include" levels this builder sits below the first
  const CSkinBuilder* m_pIncludedBy;            // the builder whose "Include" made this one, else null
  CUIString m_sSource;                          // the file name or text this document was loaded from
  bool m_bFailed;                               // set when a build must end with null
};

}  // namespace Trellis
