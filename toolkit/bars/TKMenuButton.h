#pragma once
// A dialog push button with a small arrow at its right that opens a popup menu under
// itself when pressed; the command chosen there is kept and the parent hears of it
// through WM_COMMAND with the button's id and window.
#include "toolkit/frames/TKButton.h"

class CTKMenuButton : public CTKButton {
public:
  CTKMenuButton();
  ~CTKMenuButton() override;

  void FitToContent(SIZE& size, BOOL keepSize = FALSE) override;
  void PaintContent(CDC* dc, const CRect& rect, UINT itemState) override;
  // Opens the menu and reports the choice.
  virtual void OnShowMenu();

  // The command chosen in the menu the last time (0 for none).
  UINT GetMenuResult() const { return m_nMenuResult; }

  // Which of the two arrows is drawn: TRUE the right arrow, FALSE the down arrow.
  BOOL m_bRightArrow = FALSE;
  UINT m_nMenuResult = 0;
  UINT m_nReserved = 0;
  HMENU m_hMenu = nullptr;
  BOOL m_bRightAlign = TRUE;
  BOOL m_bToolkitMenu = FALSE;
  BOOL m_bMenuIsActive = FALSE;

protected:
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnKillFocus(CWnd* newWnd);
  DECLARE_MESSAGE_MAP()

  // Runs the toolkit's popup menu at the screen point until it closes; the command.
  UINT TrackToolkitMenu(int x, int y);
  BOOL HasContent();
};
