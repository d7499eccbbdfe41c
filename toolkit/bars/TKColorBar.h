#pragma once
// A grid of colour cells with optional full-width entries: an "automatic" entry on
// top, a captioned group of document colours, and an "other" entry that opens a
// colour dialog, followed by a cell that shows a colour found in no list. It lives in
// a colour popup, in the popup of a colour button, docked or floating as a bar of its
// own, or as a child control of a dialog.
#include "toolkit/bars/ColorButton.h"
#include "toolkit/bars/TKPopupMenuBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CTKColorBar;
class CTKColorButton;
class CTKColorMenuButton;

class CTKColorBar : public CTKPopupMenuBar {
public:
  CTKColorBar(const std::vector<COLORREF>& colors, COLORREF selected, const char* automaticText,
              const char* otherText, const char* documentCaption, const std::vector<COLORREF>& documentColors,
              int columns, int dockedRows, int dockedColumns, COLORREF automaticColor, UINT commandId,
              CTKColorButton* parentButton);
  // A copy of another bar that sends a new command.
  CTKColorBar(const CTKColorBar& source, UINT commandId);
  ~CTKColorBar() override;

  using CTKToolBar::Create;
  BOOL Create(CWnd* parent, DWORD style, UINT id, int columns, int dockedRows, int dockedColumns,
              HPALETTE palette = nullptr);
  // A visible child control filling the rectangle; columns below 1 fit the grid to it.
  BOOL CreateControl(CWnd* parent, const CRect& rect, UINT id, int columns = -1, HPALETTE palette = nullptr);

  void Serialize(CArchive& ar) override;
  CSize CalcSize(BOOL vertical) override;
  void AdjustLayout() override;
  BOOL OnSendCommand(const CTKToolbarButton* button) override;
  BOOL OnKey(UINT key) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
  int OnToolHitTest(CPoint point, TOOLINFOA* info) override;
  void DoPaint(CDC* dc) override;
  void ShowCommandMessageString(UINT id) override;
  CWnd* GetCommandTarget() const override;
  BOOL AllowShowOnList() const override { return FALSE; }

  COLORREF GetColor() const { return m_ColorSelected; }
  void SetColor(COLORREF color);
  void SetOtherText(const char* text, BOOL platformDialog = FALSE);
  void SetMargins(int horizontal, int vertical);
  UINT GetCommandID() const { return m_nCommandID; }
  void SetCommandID(UINT id) { m_nCommandID = id; }
  BOOL HasDockedLayout() const { return m_bDockedLayout; }
  void SetShowDocumentColorsWhenDocked(BOOL on) { m_bShowDocColorsWhenDocked = on; }
  // Opens the colour dialog for the other entry; TRUE and the colour on OK.
  virtual BOOL OpenColorDialog(COLORREF initial, COLORREF& result);

  // Fills the colour list from the palette's entries, or from the platform's default
  // palette (20 colours) when none is given.
  static int InitColors(HPALETTE palette, std::vector<COLORREF>& colors);
  // The platform's colour dialog (full open, initial colour) or the toolkit's own.
  static BOOL RunColorDialog(BOOL platformDialog, COLORREF initial, COLORREF& result, CWnd* parent,
                             HPALETTE palette);
  // The palette to draw with: on a display of 8 bits per pixel the parent colour
  // button's palette, else one built from up to 100 of the bar's colours; on other
  // displays none (and a built one is deleted).
  HPALETTE GetDrawPalette();
  HPALETTE GetPalette() const { return m_Palette; }
  // The colour menu button whose popup holds the bar, if any.
  CTKColorMenuButton* GetOpenerButton() const;
  CTKColorButton* GetParentColorButton() const { return m_pParentBtn; }
  int GetColumns() const { return m_nNumColumns; }
  CSize GetCellSize() const { return m_BoxSize; }
  void SetCellSize(CSize size);
  int GetEntryHeight() const { return m_nRowHeight; }
  // The grid's column and row counts for the bar's current place.
  void GetGridSize(int& columns, int& rows) const;

  std::vector<COLORREF> m_colors;
  std::vector<COLORREF> m_lstDocColors;
  CString m_strAutoColor;
  CString m_strOtherColor;
  CString m_strDocColors;
  COLORREF m_ColorSelected = (COLORREF)-1;
  COLORREF m_ColorAutomatic = (COLORREF)-1;
  int m_nNumColumns = 0;
  int m_nNumRowsHorz = 0;
  int m_nNumColumnsVert = 0;
  CSize m_BoxSize{23, 22};
  int m_nRowHeight = 0;
  UINT m_nCommandID = 0;
  BOOL m_bStdColorDlg = FALSE;
  BOOL m_bIsEnabled = TRUE;
  BOOL m_bDockedLayout = TRUE;
  BOOL m_bShowDocColorsWhenDocked = TRUE;
  CTKColorButton* m_pParentBtn = nullptr;
  CPoint m_ptOffset{0, 0};
  // The bar deletes itself once its window is gone (a torn-off bar).
  BOOL m_bAutoDeleteBar = FALSE;
  // The window that gets the bar's command (its parent when none is set).
  CWnd* m_pOwnerWnd = nullptr;
  int m_nHorzMargin = 4;
  int m_nVertMargin = 4;
  // The bar's window lies inside a dialog as a control.
  BOOL m_bIsControl = FALSE;
  // The popup holding the bar was opened from the keyboard.
  BOOL m_bOpenedByKeyboard = FALSE;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
  void OnContextMenu(CWnd* wnd, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnMButtonDown(UINT flags, CPoint point);
  // In a colour button's popup these close the popup and the message goes no further;
  // they answer whether they did.
  BOOL ClosePopup();
  BOOL ClosePopupOutside(CPoint point);
  void PostNcDestroy() override;
  DECLARE_MESSAGE_MAP()

  void Rebuild();
  // Height of the entries and the document group above and below the grid.
  int ExtraHeight(int rows) const;
  BOOL IsDocked() const;
  void ChooseButton(CColorButton* button);
  void ApplyColor(COLORREF color);
  void FitToControl(const CRect& client, BOOL square = TRUE, BOOL centre = TRUE);
  void MakePalette();
  void ReleaseCaptureForButton();

  HPALETTE m_Palette = nullptr;
};
