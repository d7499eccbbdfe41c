#pragma once
// A popup menu as the looks see it: the window that hosts a popup menu bar.
#include "platform/afx/afxwin.h"

class CTKBaseControlBar;

class CTKPopupMenuBase : public CWnd {
public:
  CTKBaseControlBar* m_parentBar = nullptr;  // the bar whose button opened it
};
