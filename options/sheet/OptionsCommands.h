#pragma once
// The commands that open the options sheet, for the main frame and the control panel:
// each runs its sheet modally and, on OK, copies the pages' records into the
// application's (GetOptionsHost) and stores them. The answer is the sheet's (IDOK,
// IDCANCEL, or -1 when it could not be made).
#include "platform/afx/afxwin.h"

// All five pages: colour scheme, file output encode, sound device, file output and
// advance recording setting.
INT_PTR RunOptionsSheet(CWnd* parent);
// Only the advance recording setting page.
INT_PTR RunAdvanceRecordSettingSheet(CWnd* parent);
// Only the colour scheme page (it stores and applies its colours itself).
INT_PTR RunColorSchemeSheet(CWnd* parent);
