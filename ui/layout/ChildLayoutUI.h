#pragma once

// CChildLayoutUI: a container that fills itself from a separate skin file
// ("xmlfile") when it is initialised, and places that content as the plain
// container does.
#include "ui/control/ContainerUI.h"

namespace Trellis {

class CChildLayoutUI : public CContainerUI {
 public:
  CChildLayoutUI();

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "ChildLayout": the layout; else the control base's answer (not a container's).
  void* GetInterface(const UIChar* name) override;
  // Builds the skin file's tree as the only child (replacing earlier
  // content, so a second Init builds one subtree); an empty name or a file
  // that builds nothing leaves no children. Runs neither OnInit nor the init
  // listeners.
  void Init() override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;

  void SetChildLayoutXML(const UIChar* fileName) { m_pstrXMLFile.AssignText(fileName); }
  const CUIString& GetChildLayoutXML() const { return m_pstrXMLFile; }

 private:
  CUIString m_pstrXMLFile;  // skin file name; used by the next Init
};

}  // namespace Trellis
