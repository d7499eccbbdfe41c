#pragma once
// The chevron at the end of a toolbar: it takes the buttons that do not fit the bar
// and lists them in its popup, followed by the customize entry or the "Add or Remove
// Buttons" menu from which every button of the bar (and of the bars in its row) can be
// shown or hidden.
#include "toolkit/bars/TKToolbarMenuButton.h"

class CCustomizeButton : public CTKToolbarMenuButton {
  DECLARE_SERIAL(CCustomizeButton)

public:
  CCustomizeButton();
  CCustomizeButton(int customizeCommand, const char* customizeText);
  ~CCustomizeButton() override;

  void CopyFrom(const CTKToolbarButton& source) override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  SIZE OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) override;
  void OnChangeParentWnd(CWnd* parent) override;
  void OnCancelMode() override;
  BOOL IsEditable() const override { return FALSE; }
  BOOL CanBeStored() const override { return FALSE; }
  BOOL HaveHotBorder() const override { return FALSE; }
  CTKPopupMenu* CreatePopupMenu() override;
  BOOL IsEmptyMenuAllowed() const override { return TRUE; }
  BOOL HandlesChosenItem() const override { return TRUE; }
  // An entry of the chevron's popup was chosen: the hidden button it stands for runs.
  BOOL OnItemChosen(CTKToolBar* popupBar, CTKToolbarButton* item) override;

  CTKToolBar* GetParentToolbar() const { return m_pWndParentToolbar; }
  // The toolbar's buttons that did not fit, in bar order (not owned).
  CObList& GetInvisibleButtons() { return m_lstInvisibleButtons; }
  void SetHiddenMode(BOOL hidden) { m_bIsEmpty = hidden; }

  int m_iCustomizeCmdId = 0;
  CString m_strCustomizeText;
  CTKToolBar* m_pWndParentToolbar = nullptr;
  BOOL m_bIsEmpty = FALSE;
  BOOL m_bMenuGlyph = TRUE;
  SIZE m_sizeExtra{0, 0};
  CObList m_lstInvisibleButtons;
  BOOL m_bExtraSize = TRUE;
  BOOL m_bDefaultAlignment = TRUE;

  // The hidden button behind each entry of the open popup (null for separators and
  // the customize entries), so a choice runs exactly the button the user saw.
  CArray<CTKToolbarButton*, CTKToolbarButton*> m_popupSources;
};
