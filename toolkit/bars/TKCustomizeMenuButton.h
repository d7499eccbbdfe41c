#pragma once
// One entry of a toolbar's "Add or Remove Buttons" menu: it stands for a button of the
// toolbar (checked while the button is visible) or for an original button that can be
// put back, or it is the "Reset Toolbar" entry. A click acts on the live toolbar at
// once and the menu stays open.
#include "toolkit/bars/TKToolbarMenuButton.h"

class CTKCustomizeMenuButton : public CTKToolbarMenuButton {
  DECLARE_SERIAL(CTKCustomizeMenuButton)

public:
  static constexpr int kResetIndex = 17021;
  static constexpr UINT kResetCommand = (UINT)-20;

  CTKCustomizeMenuButton();
  CTKCustomizeMenuButton(UINT command, HMENU menu, int image, const char* text = nullptr,
                         BOOL userImage = FALSE);

  void CopyFrom(const CTKToolbarButton& source) override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  BOOL OnClickMenuItem() override;

  void SetItem(int index, BOOL bound, BOOL addSeparator);
  // Fills the popup bar with the entries of the toolbar; FALSE when the popup bar
  // holds no marker entry (command 1, text the toolbar's control id).
  static BOOL ExpandMarker(CTKToolBar* popupBar);

  int m_iIndex = -1;
  BOOL m_bChecked = FALSE;
  BOOL m_bFrozen = FALSE;
  BOOL m_bBound = FALSE;
  BOOL m_bAddSeparator = FALSE;
  BOOL m_bEnabled = TRUE;
  BOOL m_bReserved = FALSE;

  // The toolbar whose entries are being made and clicked.
  static CTKToolBar* s_pCurrentToolbar;

private:
  // A click on the entry of a button on the toolbar: the button (and its separators)
  // show or hide.
  void ShowOrHide(CTKToolBar* toolbar, CTKToolbarButton* button);
  // A click on the entry of a button the toolbar lost: it goes back to its original place.
  void PutBack(CTKToolBar* toolbar);
  // A new button as the resource gave the toolbar at that position, null for none.
  static CTKToolbarButton* MakeOriginal(CTKToolBar* toolbar, int position);
};
