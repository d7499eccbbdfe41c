#pragma once
// The popup menu whose whole client area is a colour bar: opened by a colour menu
// button on a toolbar or menu, or by a colour button in a dialog.
#include "toolkit/bars/TKColorBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/TKColorButton.h"

class CColorPopup : public CTKPopupMenu {
public:
  CColorPopup(const std::vector<COLORREF>& colors, COLORREF color, const char* automaticText,
              const char* otherText, const char* documentCaption, const std::vector<COLORREF>& documentColors,
              int columns, int dockedRows, int dockedColumns, COLORREF automaticColor, UINT commandId,
              CTKColorButton* parentButton = nullptr);
  ~CColorPopup() override;

  void RecalcLayout() override;
  // While the colour dialog of the other entry runs, clicks in it leave the popup be.
  BOOL KeepsOpenOnClickOutside() const override { return m_wndColorBar.IsInCommand(); }
  CTKColorBar* GetColorBar() { return &m_wndColorBar; }

  // Tears the popup off: a new colour bar of the frame, a copy of the embedded one that
  // sends the opening button's command, titled, with tooltips and dockable on every
  // side; it deletes itself when its window goes. Null when its window cannot be made.
  CTKColorBar* TearOff(CFrameWnd* frame, UINT barId, const char* title);

  // Makes the popup of a colour button (the button's popup maker).
  static CWnd* MakeForColorButton(CTKColorButton* owner, const ColorPopupRequest& request);

  // The popup may open while toolbars are being customized.
  BOOL m_bEnabledInCustomizeMode = FALSE;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  DECLARE_MESSAGE_MAP()

  CTKColorBar m_wndColorBar;
};
