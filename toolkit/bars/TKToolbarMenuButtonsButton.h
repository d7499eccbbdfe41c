#pragma once
// One of the minimize, restore and close buttons at the right end of the menu bar
// while a document window is maximized inside the frame.
#include "toolkit/bars/TKToolbarButton.h"

class CTKToolbarMenuButtonsButton : public CTKToolbarButton {
  DECLARE_DYNCREATE(CTKToolbarMenuButtonsButton)

public:
  CTKToolbarMenuButtonsButton() = default;
  // The window command it stands for: SC_MINIMIZE, SC_RESTORE or SC_CLOSE.
  explicit CTKToolbarMenuButtonsButton(UINT systemCommand);

  void CopyFrom(const CTKToolbarButton& source) override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  SIZE OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) override;
  BOOL CanBeStored() const override { return FALSE; }
  BOOL HaveHotBorder() const override { return FALSE; }
  BOOL IsEditable() const override { return FALSE; }
  // A click carries out the window command on the active document window; close
  // does nothing while the window's own Close is greyed.
  BOOL OnClickUp() override;
  // Whether the window's system menu offers Close (no system menu offers nothing).
  static BOOL CanClose(HWND window);

  UINT GetSystemCommand() const { return m_nSysCommand; }

private:
  UINT m_nSysCommand = 0;
};
