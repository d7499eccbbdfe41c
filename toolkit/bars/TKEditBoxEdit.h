#pragma once
// The edit control of a toolbar edit box: it tells its button when it gains or loses
// the focus and when the mouse comes over it or leaves, so that the button draws its
// border highlighted; Tab and Escape leave it the way they leave a dialog's field.
#include "platform/afx/Edit.h"
#include "platform/afx/afxwin.h"

class CTKToolbarEditBoxButton;

class CTKEditBoxEdit : public CEdit {
public:
  explicit CTKEditBoxEdit(CTKToolbarEditBoxButton& button) : m_button(button) {}

  BOOL PreTranslateMessage(MSG* msg) override;

protected:
  void OnSetFocus(CWnd* oldWnd);
  void OnKillFocus(CWnd* newWnd);
  void OnMouseMove(UINT flags, CPoint point);
  void OnMouseLeave();
  DECLARE_MESSAGE_MAP()

private:
  CTKToolbarEditBoxButton& m_button;
  BOOL m_bTracked = FALSE;
};

// Tab and Escape as the toolbar's controls handle them: Tab to the next tab stop of
// the control's dialog-like parent, Escape back to the frame. TRUE when consumed.
BOOL HandleToolbarControlKey(HWND control, const MSG* msg);
