#include "platform/afx/PropertyPage.h"

#include "platform/afx/PropertySheet.h"
#include "platform/afx/WinApp.h"

CPropertyPage::CPropertyPage() { Init(0); }

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialog(templateId) { Init(captionId); }

CPropertyPage::CPropertyPage(const DLGTEMPLATE* dialogTemplate, const char* caption) {
  Init(0);
  m_lpDialogTemplate = dialogTemplate;
  m_psp.dwFlags |= PSP_DLGINDIRECT;
  m_psp.pResource = dialogTemplate;
  if (caption) {
    m_caption = caption;
    m_psp.dwFlags |= PSP_USETITLE;
    m_psp.pszTitle = static_cast<const char*>(m_caption);
  }
}

CPropertyPage::~CPropertyPage() = default;

void CPropertyPage::Init(UINT captionId) {
  m_psp.dwSize = sizeof m_psp;
  m_psp.dwFlags = PSP_DEFAULT;
  m_psp.hInstance = AfxGetInstanceHandle();
  m_psp.pszTemplate = MAKEINTRESOURCEA(m_nIDTemplate);
  m_psp.pfnDlgProc = AfxPropPageProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
  if (captionId) {
    char text[256] = {};
    if (::LoadStringA(AfxGetInstanceHandle(), captionId, text, sizeof text) > 0) {
      m_caption = text;
      m_psp.dwFlags |= PSP_USETITLE;
      m_psp.pszTitle = static_cast<const char*>(m_caption);
    }
  }
}

INT_PTR CALLBACK AfxPropPageProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
  auto* page = psp ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
  if (!page || !page->SubclassWindow(hwnd)) return TRUE;
  return page->OnInitDialog();
}

void CPropertyPage::SetModified(BOOL changed) {
  HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (sheet)
    ::SendMessageA(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

CPropertySheet* CPropertyPage::GetSheet() const {
  CWnd* parent = m_hWnd ? FromHandlePermanent(::GetParent(m_hWnd)) : nullptr;
  return dynamic_cast<CPropertySheet*>(parent);
}

LRESULT CPropertyPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && lParam && reinterpret_cast<NMHDR*>(lParam)->hwndFrom == ::GetParent(m_hWnd)) {
    // The sheet's questions; the answer goes where a dialog procedure puts it and is
    // also returned, as the sheet may read either.
    LRESULT answer = 0;
    bool handled = true;
    switch (reinterpret_cast<NMHDR*>(lParam)->code) {
      case PSN_SETACTIVE:
        answer = OnSetActive() ? 0 : -1;
        break;
      case PSN_KILLACTIVE:
        answer = OnKillActive() ? FALSE : TRUE;
        break;
      case PSN_APPLY:
        answer = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        break;
      case PSN_RESET:
        OnReset();
        break;
      default:
        handled = false;
    }
    if (handled) {
      ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, answer);
      return answer;
    }
  }
  return CDialog::WindowProc(message, wParam, lParam);
}
