#pragma once
// The edit field inside a toolbar's drop-down combo box: Enter sends the item's
// command, Up and Down open the list, Escape closes it or leaves for the frame, and
// focus and hover light up the item's border.
#include "platform/afx/Edit.h"
#include "platform/afx/afxwin.h"

class CTKToolbarComboBoxButton;

class CTKComboEdit : public CEdit {
public:
  CTKComboEdit(CTKToolbarComboBoxButton& button, CWnd& bar) : m_button(button), m_bar(bar) {}

  BOOL PreTranslateMessage(MSG* msg) override;

protected:
  void OnSetFocus(CWnd* oldWnd);
  void OnKillFocus(CWnd* newWnd);
  void OnMouseMove(UINT flags, CPoint point);
  void OnMouseLeave();
  DECLARE_MESSAGE_MAP()

private:
  CTKToolbarComboBoxButton& m_button;
  CWnd& m_bar;
  BOOL m_bTracked = FALSE;
};
