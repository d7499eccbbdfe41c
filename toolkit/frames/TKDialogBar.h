#pragma once
// A sizing bar whose client area is a dialog template with its controls. Without
// sizing allowed, the bar keeps the template's size plus its frame; with it, it
// sizes like any sizing bar.
#include "toolkit/frames/TKSizingControlBar.h"

class CTKDialogBar : public CTKSizingControlBar {
public:
  CTKDialogBar() = default;

  // Creates the bar from a template in memory (a child-style dialog template) and
  // records the template's size in pixels. False when the dialog cannot be made.
  BOOL CreateFromTemplate(CWnd* parent, const DLGTEMPLATE* dialogTemplate, UINT id,
                          DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, BOOL hasCaption = TRUE);

  // The OLE-control description of the template; kept for the template's controls.
  virtual BOOL SetOccDialogInfo(void* info) {
    m_occDialogInfo = info;
    return TRUE;
  }

  CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;
  CSize CalcDynamicLayout(int length, DWORD mode) override;
  BOOL UseNcUpdateRegion() override { return FALSE; }
  // Only the template's controls are brought up to date (no active-caption tracking).
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override {
    UpdateDialogControls(target, disableIfNoHandler);
  }

  CSize m_templateSize{0, 0};
  BOOL m_allowSizing = FALSE;
  void* m_occDialogInfo = nullptr;
  const char* m_templateName = nullptr;

protected:
  BOOL OnEraseBkgnd(CDC* dc);

  DECLARE_MESSAGE_MAP()
};
