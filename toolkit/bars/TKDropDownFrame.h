#pragma once
// The small popup window that a drop-down toolbar button opens: it holds a copy of
// the source toolbar's buttons, sits next to the button inside the screen, never
// takes the activation, and closes when the application loses the activation. When it
// goes, the button comes up again.
#include "toolkit/bars/TKDropDownToolBar.h"

class CTKDropDownToolbarButton;

class CTKDropDownFrame : public CWnd {
public:
  CTKDropDownFrame() = default;
  ~CTKDropDownFrame() override = default;

  // Opens the frame at the screen point (its top-left corner before the screen limits
  // apply); the frame deletes itself once its window is gone.
  BOOL Create(CTKDropDownToolbarButton* parentButton, CTKDropDownToolBar* source, CPoint position);
  CTKDropDownToolbarButton* GetParentButton() const { return m_pParentButton; }
  CTKDropDownToolBar* GetToolBar() { return &m_wndToolBar; }

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnPaint();
  void OnSize(UINT type, int cx, int cy);
  int OnMouseActivate(CWnd*, UINT, UINT) { return MA_NOACTIVATE; }
  LRESULT OnActivateApp(WPARAM active, LPARAM);
  void PostNcDestroy() override { delete this; }
  DECLARE_MESSAGE_MAP()

  CTKDropDownToolbarButton* m_pParentButton = nullptr;
  CTKDropDownToolBar* m_pSource = nullptr;
  CTKDropDownToolBar m_wndToolBar;
  CPoint m_ptPosition{0, 0};
  BOOL m_bOwnsButtons = TRUE;
  CString m_strName;
};
