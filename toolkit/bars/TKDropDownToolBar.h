#pragma once
// The toolbar shown inside a drop-down frame: a release on one of its buttons makes
// that command the current one of the button that opened the frame, closes the frame
// and sends the command to the frame holding that button. The same class serves as
// the hidden source toolbar whose buttons the drop-down copies. It takes no part in
// customisation.
#include "toolkit/bars/TKToolBar.h"

class CTKDropDownFrame;

class CTKDropDownToolBar : public CTKToolBar {
public:
  CTKDropDownToolBar() = default;

  BOOL AllowShowOnList() const override { return FALSE; }
  void OnCustomizeMode(BOOL) override {}
  // While dropped down, commands are enabled and sent as for the button's own bar.
  CWnd* GetCommandTarget() const override;

  // The frame holding the bar while it is dropped down; null for a source toolbar.
  CTKDropDownFrame* m_pDropDownFrame = nullptr;

protected:
  void OnLButtonUp(UINT flags, CPoint point);
  DECLARE_MESSAGE_MAP()
};
