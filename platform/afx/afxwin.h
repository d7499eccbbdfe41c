#pragma once
// The framework layer for windows: strings, command targets, windows, frames and the
// application object.
#include <windows.h>
#include <commctrl.h>

#include "platform/afx/CString.h"
#include "platform/afx/AfxMessageMap.h"
#include "platform/afx/CCmdTarget.h"
#include "platform/afx/CCmdUI.h"
#include "platform/afx/CWnd.h"
#include "platform/afx/CFrameWnd.h"
#include "platform/afx/CWinApp.h"
