#include "platform/afx/AfxMessageBox.h"

#include "platform/afx/String.h"
#include "platform/afx/WinApp.h"

#include "platform/afx/linux_headers_begin.h"
#include "platform/seams/MessageBox.h"
#include "platform/afx/linux_headers_end.h"

namespace {
CString MessageCaption() {
  if (CWinApp* app = AfxGetApp())
    if (app->m_pszAppName && *app->m_pszAppName) return app->m_pszAppName;
  CString title;
  if (title.LoadString(AFX_IDS_APP_TITLE)) return title;
  return "Tarvel";
}
}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT) {
  // As the framework does: a box given no icon gets the one its buttons call for, an
  // exclamation mark for a notice, a question mark for a question.
  if ((type & MB_ICONMASK) == 0) {
    switch (type & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
        type |= MB_ICONEXCLAMATION;
        break;
      case MB_YESNO:
      case MB_YESNOCANCEL:
        type |= MB_ICONQUESTION;
        break;
      default:
        break;
    }
  }
  return seams::ShowMessageBox(text ? text : "", MessageCaption().str(), type);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId) {
  CString text;
  if (!text.LoadString(promptId)) {
    switch (promptId) {
      case AFX_IDP_PARSE_INT:
        text = "Please enter an integer.";
        break;
      case AFX_IDP_PARSE_REAL:
        text = "Please enter a number.";
        break;
      default:
        break;
    }
  }
  return AfxMessageBox(text, type, helpId == static_cast<UINT>(-1) ? promptId : helpId);
}
