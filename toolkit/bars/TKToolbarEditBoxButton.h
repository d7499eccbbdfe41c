#pragma once
// A toolbar item holding a text field bound to its command: every edit box of one
// command in every toolbar shows the same text, the text is stored with the bar's
// state, and the field is made again whenever the item moves to another bar.
#include "toolkit/bars/TKEditBoxEdit.h"
#include "toolkit/bars/TKToolbarButton.h"

class CTKToolbarEditBoxButton : public CTKToolbarButton {
  DECLARE_SERIAL(CTKToolbarEditBoxButton)

public:
  CTKToolbarEditBoxButton();
  CTKToolbarEditBoxButton(UINT command, int image, DWORD style = 0x50000080, int width = 0);
  ~CTKToolbarEditBoxButton() override;

  void CopyFrom(const CTKToolbarButton& source) override;
  void Serialize(CArchive& ar) override;
  SIZE OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) override;
  void OnMove() override;
  void OnChangeParentWnd(CWnd* parent) override;
  BOOL NotifyCommand(int code) override;
  void OnAddToCustomizePage() override;
  HBRUSH OnCtlColor(CDC* dc, UINT ctlColor) override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  int OnDrawOnCustomizeList(CDC* dc, const CRect& rect, BOOL selected) override;
  HWND GetHwnd() override { return AfxGetSafeHwnd(m_pWndEdit); }
  void OnShow(BOOL show) override;
  void SetStyle(UINT style) override;
  void OnGlobalFontsChanged() override;
  BOOL HaveHotBorder() const override { return FALSE; }

  virtual CTKEditBoxEdit* CreateEdit(CWnd* parent, const CRect& rect);
  virtual CRect GetInvalidateRect() const;

  void SetHighlight(BOOL highlight);
  // The edit's window rectangle in the bar's client coordinates, grown by one.
  BOOL GetEditBorder(CRect& border) const;
  BOOL IsEditVisible() const;
  CString GetContents() const;
  void SetContents(const CString& text);
  CEdit* GetEditBox() const { return m_pWndEdit; }
  int GetWidth() const { return m_iWidth; }

  // Class-wide: edit boxes draw a flat border that only shows highlighted.
  static BOOL s_bFlat;

  DWORD m_dwStyle = 0x50000080;
  CTKEditBoxEdit* m_pWndEdit = nullptr;
  CString m_strContents;
  BOOL m_bChangingText = FALSE;
  int m_iWidth = 150;
  BOOL m_bHighlighted = FALSE;

private:
  void DestroyEdit();
  // The height of the label under the field, 0 when the bar shows none.
  int LabelHeight(CDC* dc) const;
  BOOL ShowsLabels() const;
};
