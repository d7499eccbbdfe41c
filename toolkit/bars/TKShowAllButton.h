#pragma once
// The last entry of a menu that shows only the commands used often: a click on it, or
// resting on it when the user wants that, brings up all the commands.
#include "toolkit/bars/TKToolbarMenuButton.h"

class CTKShowAllButton : public CTKToolbarMenuButton {
  DECLARE_DYNCREATE(CTKShowAllButton)

public:
  CTKShowAllButton();

  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  SIZE OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) override;
  BOOL OnClick(CWnd* window, BOOL delay = TRUE) override;
  BOOL OpenPopupMenu(CWnd* window = nullptr) override { return OnClick(window, FALSE); }
  BOOL CanBeStored() const override { return FALSE; }
  BOOL IsEditable() const override { return FALSE; }
  Kind LookKind() const override { return kShowAll; }
};
