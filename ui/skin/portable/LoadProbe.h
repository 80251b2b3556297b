#pragma once
// An optional clock on the steps of loading a skinned window (opening the
// skin archive, reading and parsing a skin file, creating fonts, building
// controls, decoding images), so a benchmark can show where start-up time
// goes. Without a probe a step costs one test of a null pointer.

namespace Trellis {

enum UILoadStep {
  kUILoadArchiveOpen = 0,  // opening a skin archive (central directory read)
  kUILoadSkinRead,         // reading one skin file's bytes from the folder or the archive
  kUILoadSkinParse,        // decoding and parsing one skin document
  kUILoadFont,             // creating or measuring one font
  kUILoadControls,         // building the control tree of one skin document
  kUILoadImage,            // reading and decoding one image
  kUILoadStepCount
};

// Told the start (begin true) and the end of every step, on the UI thread.
// Steps nest: an image decoded while controls are built ends inside them.
using UILoadProbe = void (*)(UILoadStep step, bool begin);

// Installs the probe (null removes it) and returns the one it replaces.
UILoadProbe SetUILoadProbe(UILoadProbe probe);
UILoadProbe GetUILoadProbe();

// Tells the probe a step's start when made and its end when it goes.
class UILoadStepScope {
 public:
  explicit UILoadStepScope(UILoadStep step) : m_probe(GetUILoadProbe()), m_step(step) {
    if (m_probe != nullptr) m_probe(m_step, true);
  }
  ~UILoadStepScope() {
    if (m_probe != nullptr) m_probe(m_step, false);
  }
  UILoadStepScope(const UILoadStepScope&) = delete;
  UILoadStepScope& operator=(const UILoadStepScope&) = delete;

 private:
  UILoadProbe m_probe;  // the probe at the step's start, so begin and end go to the same one
  UILoadStep m_step;
};

}  // namespace Trellis
