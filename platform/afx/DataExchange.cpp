#include "platform/afx/DataExchange.h"

#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/Wnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include "platform/afx/linux_headers_end.h"

CDataExchange::CDataExchange(CWnd* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

HWND CDataExchange::PrepareCtrl(int id) {
  HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
  m_hWndLastControl = control;
  m_bEditLastControl = FALSE;
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  HWND control = PrepareCtrl(id);
  m_bEditLastControl = TRUE;
  return control;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_hWndLastControl) {
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  throw CUserException();
}

BOOL AfxControlIsEditable(HWND control) {
  return control && ::IsWindowVisible(control) && ::IsWindowEnabled(control);
}

namespace {
CString ControlText(HWND control) {
  CString text;
  int length = control ? ::GetWindowTextLengthA(control) : 0;
  char* buffer = text.GetBuffer(length + 1);
  buffer[0] = '\0';
  if (control) ::GetWindowTextA(control, buffer, length + 1);
  text.ReleaseBuffer();
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The whole text, blanks around it allowed, must be the number.
bool ParseInt(const char* text, int* value) {
  while (IsBlank(*text)) ++text;
  char* end = nullptr;
  errno = 0;
  long long parsed = std::strtoll(text, &end, 10);
  if (end == text || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  while (IsBlank(*end)) ++end;
  if (*end) return false;
  *value = static_cast<int>(parsed);
  return true;
}

bool ParseDouble(const char* text, double* value) {
  while (IsBlank(*text)) ++text;
  char* end = nullptr;
  double parsed = std::strtod(text, &end);
  if (end == text || !std::isfinite(parsed)) return false;
  while (IsBlank(*end)) ++end;
  if (*end) return false;
  *value = parsed;
  return true;
}
}  // namespace

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate)
    value = ControlText(control);
  else
    ::SetWindowTextA(control, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
  HWND control = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate) {
    if (!ParseInt(ControlText(control), &value)) {
      AfxMessageBox(AFX_IDP_PARSE_INT);
      dx->Fail();
    }
  } else {
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    ::SetWindowTextA(control, text);
  }
}

void DDX_Text(CDataExchange* dx, int id, double& value) {
  HWND control = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate) {
    if (!ParseDouble(ControlText(control), &value)) {
      AfxMessageBox(AFX_IDP_PARSE_REAL);
      dx->Fail();
    }
  } else {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", 15, value);
    ::SetWindowTextA(control, text);
  }
}

namespace {
bool IsRadioButton(HWND control) {
  return (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}
}  // namespace

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  HWND first = dx->PrepareCtrl(id);
  if (!first) return;
  if (dx->m_bSaveAndValidate) value = -1;
  // The group runs from the first button to the next control that starts a group.
  int index = 0;
  for (HWND control = first; control && IsRadioButton(control);
       control = ::GetWindow(control, GW_HWNDNEXT), ++index) {
    if (control != first && (::GetWindowLongA(control, GWL_STYLE) & WS_GROUP)) break;
    if (dx->m_bSaveAndValidate) {
      if (::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      ::SendMessageA(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.m_hWnd) return;
  HWND item = dx->PrepareCtrl(id);
  if (!item || !control.SubclassWindow(item)) dx->Fail();
}
