#pragma once
// Dialog data exchange: moving values between a dialog's controls and its member
// variables, both ways, with validation on the way in. A routine that finds a bad
// value tells the user and calls Fail, which ends the exchange; UpdateData then
// answers FALSE and the dialog stays open on the offending control.
#include "platform/afx/String.h"

class CWnd;

// Thrown by CDataExchange::Fail and caught by UpdateData.
class CUserException {};

class CDataExchange {
public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate);

  BOOL m_bSaveAndValidate;  // TRUE: controls to variables; FALSE: variables to controls
  CWnd* m_pDlgWnd;

  // The control with this id, remembered as the one to return to on failure.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  // Ends the exchange: the focus goes to the last prepared control (an edit's text
  // selected) and UpdateData answers FALSE.
  [[noreturn]] void Fail();

  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;
};

// True when the user can change the control, so a bad value there is worth a message.
BOOL AfxControlIsEditable(HWND control);

void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
// A group of radio buttons starting at id: the index of the checked one, -1 for none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
// Attaches the control object to the dialog's control id (once).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
