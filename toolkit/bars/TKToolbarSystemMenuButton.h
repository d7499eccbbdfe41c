#pragma once
// The small document icon at the left end of the menu bar while a document window is
// maximized inside the frame: it opens that window's system menu, and a double-click
// on it closes the window.
#include "toolkit/bars/TKToolbarMenuButton.h"

class CTKToolbarSystemMenuButton : public CTKToolbarMenuButton {
  DECLARE_DYNCREATE(CTKToolbarSystemMenuButton)

public:
  CTKToolbarSystemMenuButton() = default;
  CTKToolbarSystemMenuButton(HMENU systemMenu, HICON icon);

  void CopyFrom(const CTKToolbarButton& source) override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  SIZE OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) override;
  void OnDblClick(CWnd* window) override;
  BOOL CanBeStored() const override { return FALSE; }
  BOOL HaveHotBorder() const override { return FALSE; }
  BOOL IsEditable() const override { return FALSE; }
  void OnCancelMode() override;
  void CreateFromMenu(HMENU menu) override;
  HMENU CreateMenu() const override;
  BOOL IsEmptyMenuAllowed() const override { return FALSE; }
  BOOL IsExclusive() const override { return FALSE; }
  BOOL HandlesChosenItem() const override { return FALSE; }

  HMENU GetSystemMenu() const { return m_hSysMenu; }
  HICON GetIcon() const { return m_hSysIcon; }

  // The active document window of the frame holding the bar (the active child of its
  // MDI client area), or null.
  static HWND ActiveChildOf(CTKBaseControlBar* bar);

private:
  HMENU m_hSysMenu = nullptr;
  HICON m_hSysIcon = nullptr;
};
