#pragma once
// The application object of the program.
#include "app/view/ViewInfo.h"
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/ColorSchemeOptions.h"
#include "platform/afx/linux_headers_end.h"

class CTVLApp : public CWinApp {
public:
  // Builds the members and hands the view state and the colour scheme to the
  // document and the views.
  CTVLApp();
  ~CTVLApp() override;
  BOOL InitInstance() override;
  int ExitInstance() override;

  // The view state shared by the document, the view, the wave frame and the rulers.
  ViewInfo m_viewInfo;
  ColorSchemeOptions m_colorScheme;
  void ResetViewInfo() { ::ResetViewInfo(&m_viewInfo); }
};
