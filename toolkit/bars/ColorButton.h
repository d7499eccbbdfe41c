#pragma once
// One entry of a colour bar: a colour cell, the automatic or other entry, the cell
// that shows a colour found in no list, or the caption of the document colours.
#include "toolkit/bars/TKToolbarButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <map>
#include "platform/afx/linux_headers_end.h"

class CTKColorBar;

class CColorButton : public CTKToolbarButton {
  DECLARE_SERIAL(CColorButton)

public:
  CColorButton();
  CColorButton(COLORREF color, BOOL selected = FALSE, CTKColorBar* bar = nullptr);

  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  void OnChangeParentWnd(CWnd* parent) override;
  BOOL OnToolHitTest(const CWnd* window, TOOLINFOA* info) override;
  BOOL IsEditable() const override { return CTKToolbarButton::IsEditable(); }
  BOOL CanBeStored() const override { return FALSE; }

  // The tooltip of a colour: its name when the application gave one, else its hex.
  static CString ColorName(COLORREF color);
  // Names of colours for the tooltips; empty unless the application fills it.
  static std::map<COLORREF, CString> s_colorNames;

  COLORREF m_Color = (COLORREF)-1;
  BOOL m_bHighlight = FALSE;
  BOOL m_bIsAutomatic = FALSE;
  BOOL m_bIsOther = FALSE;
  BOOL m_bIsLabel = FALSE;
  BOOL m_bIsDocument = FALSE;
  BOOL m_bIsOtherColor = FALSE;
  CTKColorBar* m_pParentBar = nullptr;
};
