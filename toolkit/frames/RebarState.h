#pragma once
// The order and sizes of the bands of every rebar among a frame's child windows, kept
// under "TKRebar-<control id>" below the caller's registry path. Bands are matched by
// the control ids of their child windows, never by handles.
#include "platform/afx/afxwin.h"

// frame: null walks the desktop's windows.
BOOL SaveRebarState(const char* path, CWnd* frame);
BOOL LoadRebarState(const char* path, CWnd* frame);
