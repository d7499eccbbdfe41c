#pragma once
// The large shortcut button of the outlook bar: an image with its label under it in a
// vertical bar or beside it in a horizontal one, a frame when hot, and the id of the
// page it belongs to.
#include "toolkit/bars/TKToolbarButton.h"

class CTKOutlookBar;

class CTKOutlookButton : public CTKToolbarButton {
  DECLARE_SERIAL(CTKOutlookButton)

public:
  CTKOutlookButton();
  ~CTKOutlookButton() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CTKToolbarButton& source) override;
  BOOL CompareWith(const CTKToolbarButton& other) const override;
  void OnChangeParentWnd(CWnd* parent) override;
  SIZE OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  Kind LookKind() const override { return kOutlook; }
  // Its image lies in the outlook bar's own images: it goes onto outlook bars only.
  BOOL CanBeDropped(CWnd* target) override { return IsOutlookBar(target); }
  virtual void StoreMemberValue() { m_nStoredImage = GetImage(); }

  static BOOL IsOutlookBar(CWnd* window);

  CTKOutlookBar* m_pWndParentBar = nullptr;
  UINT m_dwPageID = 0;
  int m_nMinWidth = 0;
  int m_nMinHeight = 0;
  BOOL m_bIsWholeText = TRUE;
  int m_nStoredImage = -1;
};
