#pragma once
// A dialog box from a template: modal (DoModal) or modeless (Create). The dialog's
// window is made by the system's dialog manager and then routed through this
// object's message map; OK and Cancel end it, OK only after the data exchange
// accepted every value.
#include "platform/afx/DataExchange.h"
#include "platform/afx/Wnd.h"

class CDialog : public CWnd {
public:
  CDialog() = default;
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  // A template in memory instead of a resource; it must outlive the dialog.
  BOOL InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);

  // Runs the dialog modally; answers the value given to EndDialog (IDOK, IDCANCEL),
  // or -1 when the dialog could not be made. Without a parent the dialog is owned
  // by the main window, which stays disabled while it runs.
  virtual INT_PTR DoModal();
  // Makes a modeless dialog; it shows itself when its template says WS_VISIBLE.
  BOOL Create(UINT templateId, CWnd* parent = nullptr);
  BOOL CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);

  void EndDialog(int result);
  // Variables to controls (FALSE) or controls to variables with validation (TRUE);
  // FALSE when a value was refused.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  // Moves the focus to a control the way the Tab key would (an edit's text selected).
  void GotoDlgCtrl(CWnd* control);
  void GotoDlgCtrl(HWND control);

  // After the controls exist, before the dialog shows: fills the controls. Answer TRUE
  // to let the system put the focus on the first control.
  virtual BOOL OnInitDialog();
  BOOL PreTranslateMessage(MSG* msg) override;

protected:
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* dx) {}

  UINT m_nIDHelp = 0;
  UINT m_nIDTemplate = 0;
  const DLGTEMPLATE* m_lpDialogTemplate = nullptr;
  CWnd* m_pParentWnd = nullptr;

  DECLARE_MESSAGE_MAP()

private:
  HWND OwnerWindow() const;
  // The owner, or for a template of a child window its parent.
  HWND ParentForTemplate(const DLGTEMPLATE* dialogTemplate) const;
  bool m_bModal = false;
  friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

// The dialog procedure of every CDialog: attaches the object at WM_INITDIALOG.
INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
