#include "platform/afx/Dialog.h"

#include "platform/afx/WinApp.h"

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_nIDHelp(templateId), m_nIDTemplate(templateId), m_pParentWnd(parent) {}

BOOL CDialog::InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent) {
  m_lpDialogTemplate = dialogTemplate;
  m_nIDTemplate = 0;
  m_pParentWnd = parent;
  return dialogTemplate != nullptr;
}

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
  // Every later message reaches the object through its message map; this procedure
  // only hands the new window to its object.
  if (message != WM_INITDIALOG) return FALSE;
  auto* dialog = reinterpret_cast<CDialog*>(lParam);
  if (!dialog || !dialog->SubclassWindow(hwnd)) return TRUE;
  return dialog->OnInitDialog();
}

namespace {
// The style of a dialog template, in either of its two layouts.
DWORD TemplateStyle(const DLGTEMPLATE* dialogTemplate) {
  if (!dialogTemplate) return 0;
  const WORD* words = reinterpret_cast<const WORD*>(dialogTemplate);
  if (words[0] == 1 && words[1] == 0xFFFF) return *reinterpret_cast<const DWORD*>(words + 6);  // extended
  return dialogTemplate->style;
}
const DLGTEMPLATE* TemplateResource(UINT templateId) {
  HINSTANCE instance = AfxGetInstanceHandle();
  HRSRC resource =
      ::FindResourceA(instance, MAKEINTRESOURCEA(templateId), reinterpret_cast<LPCSTR>(RT_DIALOG));
  HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
  return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}
}  // namespace

HWND CDialog::ParentForTemplate(const DLGTEMPLATE* dialogTemplate) const {
  // A child dialog (a panel inside another window) lives in the window it is given.
  if (TemplateStyle(dialogTemplate) & WS_CHILD) return AfxGetSafeHwnd(m_pParentWnd);
  return OwnerWindow();
}

HWND CDialog::OwnerWindow() const {
  HWND owner = AfxGetSafeHwnd(m_pParentWnd);
  if (!owner) {
    CWnd* main = AfxGetMainWnd();
    if (main && ::IsWindow(main->m_hWnd)) owner = main->m_hWnd;
  }
  // A dialog belongs to a top-level window, never to a child.
  while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  return owner;
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd) return -1;
  HINSTANCE instance = AfxGetInstanceHandle();
  LPARAM self = reinterpret_cast<LPARAM>(this);
  m_bModal = true;
  INT_PTR result =
      m_lpDialogTemplate
          ? ::DialogBoxIndirectParamA(instance, m_lpDialogTemplate, OwnerWindow(), AfxDlgProc, self)
          : ::DialogBoxParamA(instance, MAKEINTRESOURCEA(m_nIDTemplate), OwnerWindow(), AfxDlgProc, self);
  m_bModal = false;
  // The window and its controls are gone; their objects were let go with their
  // last messages.
  return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  m_nIDTemplate = templateId;
  m_lpDialogTemplate = nullptr;
  m_pParentWnd = parent;
  HWND hwnd = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(templateId),
                                   ParentForTemplate(TemplateResource(templateId)), AfxDlgProc,
                                   reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr && m_hWnd == hwnd;
}

BOOL CDialog::CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent) {
  m_lpDialogTemplate = dialogTemplate;
  m_nIDTemplate = 0;
  m_pParentWnd = parent;
  HWND hwnd =
      ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), dialogTemplate, ParentForTemplate(dialogTemplate),
                                   AfxDlgProc, reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr && m_hWnd == hwnd;
}

void CDialog::EndDialog(int result) {
  if (m_hWnd) ::EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const CUserException&) {
    return FALSE;
  }
  return TRUE;
}

void CDialog::GotoDlgCtrl(HWND control) {
  if (m_hWnd && control) ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void CDialog::GotoDlgCtrl(CWnd* control) { GotoDlgCtrl(control ? control->m_hWnd : nullptr); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  // A modeless dialog in the application's loop still wants Tab, Enter and Escape;
  // a modal one runs the dialog manager's own loop.
  if (!m_bModal && m_hWnd && ::IsDialogMessageA(m_hWnd, msg)) return TRUE;
  return CWnd::PreTranslateMessage(msg);
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()
