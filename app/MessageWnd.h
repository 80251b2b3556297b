#pragma once
// CMessageWnd: the program's own skinned message box, in three uses: a notice
// with one OK button (modal or modeless), the quit confirmation (OK and
// Cancel) and the conversion-finished notice that opens the result file or
// shows it in Explorer ("ConvertOkWnd.xml").
//
// A heap object made by the launchers below; its last message deletes it.
// UI thread only.
#include "ui/window/WindowImplBase.h"

#include <string>

#include "core/tts/ConvertJob.h"
namespace Trellis {
class CControlUI;
}

class CMessageWnd : public Trellis::WindowImplBase {
 public:
  // `result` (not owned) selects the convert-ok skin; null for notices.
  CMessageWnd(std::wstring message, bool quitConfirm, const ConvertJob* result);

  // CWindowWnd:
  const Trellis::UIChar* GetWindowClassName() const override;
  void OnLastMessage(HWND hWnd) override;
  // WindowImplBase:
  void OnSkinLoaded() override;
  Trellis::CUIString GetSkinFolder() override;
  Trellis::CUIString GetSkinFile() override;
  // INotifyUI:
  void Notify(Trellis::UINotify& msg) override;

  // Creates the native window on `parent` and centres it on its owner.
  bool Open(HWND parent);
  // Hides the Cancel button (the notices have only OK).
  void HideCancel();

 private:
  void OpenResultFile();
  void ShowResultInFolder();

  Trellis::CControlUI* m_titleTipsLabel = nullptr;  // borrowed from the tree: "titleTips"
  Trellis::CControlUI* m_cancelButton = nullptr;    // borrowed from the tree: "btn_cancel"
  std::wstring m_message;                           // empty: the skin's text stays
  bool m_quitConfirm;
  const ConvertJob* m_result;                       // not owned; null unless convert-ok
};

// The launchers. Each makes the window on the heap; the modal ones return
// when it has closed, with the close result (0 when it could not open).
UINT ShowMessageModal(const std::wstring& text, bool quitConfirm, HWND parent);
// Shows the notice and returns at once; the window is returned (or null).
CMessageWnd* ShowMessageModeless(const std::wstring& text, bool quitConfirm, HWND parent);
UINT ShowConvertResult(const std::wstring& text, HWND parent, const ConvertJob* job);
// The quit question with both buttons; OK posts WM_APP_QUIT_CONFIRMED to `mainWindow`.
UINT ConfirmQuit(HWND mainWindow);

// The parameters given to Explorer to show `path` selected; the path is
// quoted so that one with spaces or commas stays one argument.
std::wstring ExplorerSelectParameters(const std::wstring& path);
