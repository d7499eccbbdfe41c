#pragma once
// The framework layer for windows: strings, command targets, windows, frames, dialogs
// and their data exchange, controls, message boxes and the application object.
#include <windows.h>
#include <commctrl.h>

#include "platform/afx/CString.h"
#include "platform/afx/CRect.h"
#include "platform/afx/CGdiObject.h"
#include "platform/afx/CDC.h"
#include "platform/afx/AfxMessageMap.h"
#include "platform/afx/CCmdTarget.h"
#include "platform/afx/CCmdUI.h"
#include "platform/afx/CWnd.h"
#include "platform/afx/CFrameWnd.h"
#include "platform/afx/CControlBar.h"
#include "platform/afx/CWinApp.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CDataExchange.h"
#include "platform/afx/CDialog.h"
#include "platform/afx/CSpinButtonCtrl.h"
#include "platform/afx/CButton.h"
#include "platform/afx/CPropertyPage.h"
#include "platform/afx/CPropertySheet.h"
#include "platform/afx/CHeaderCtrl.h"
#include "platform/afx/CObject.h"
#include "platform/afx/CFile.h"
#include "platform/afx/CMemFile.h"
#include "platform/afx/CArchive.h"
#include "platform/afx/CList.h"
#include "platform/afx/CArray.h"
#include "platform/afx/CMap.h"
#include "platform/afx/CListCtrl.h"
#include "platform/afx/CTreeCtrl.h"
