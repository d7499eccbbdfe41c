#pragma once
// A button that shows a colour and, when pressed, opens a colour popup below
// itself; a colour picked there becomes the button's colour and the parent hears
// of it through WM_COMMAND.
#include "toolkit/frames/TKButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CTKColorButton;

// What the colour popup is made from. The maker (CTKColorButton::s_makePopup, the
// toolkit's colour popup unless replaced) creates one with the button as owner at the
// given screen point and returns it, or null when it could not be made.
struct ColorPopupRequest {
  const std::vector<COLORREF>* colors = nullptr;
  COLORREF color = (COLORREF)-1;
  const char* automaticLabel = "";
  const char* otherLabel = "";
  const char* documentLabel = "";
  const std::vector<COLORREF>* documentColors = nullptr;
  int columns = -1;
  COLORREF automaticColor = (COLORREF)-1;
  POINT at{0, 0};
  BOOL keyboardOpen = FALSE;  // the popup's colour bar is told it opened for the keyboard
  BOOL takeFocus = TRUE;      // the popup's colour bar takes the focus
};

class CTKColorButton : public CTKButton {
public:
  CTKColorButton();
  ~CTKColorButton() override;

  COLORREF GetColor() const { return m_Color; }
  void SetColor(COLORREF color);
  // A colour chosen in the popup: stored, and the parent told.
  void PickColor(COLORREF color);
  void SetAutomaticEntry(const char* label, COLORREF color, BOOL useDefaultLabel = TRUE);
  void SetOtherEntry(const char* label, BOOL enabled = TRUE, BOOL flag = FALSE);
  void SetDocumentColors(const char* label, const std::vector<COLORREF>& colors);
  void SetColumnsNumber(int columns) { m_nColumns = columns; }
  // The popup went (it calls this as it closes).
  void OnPopupClosed() { m_pPopup = nullptr; }
  CWnd* GetPopup() const { return m_pPopup; }
  const std::vector<COLORREF>& GetPaletteColors() const { return m_Colors; }
  // Rebuilds the palette from the given one (all its entries) or from the system
  // palette of the button's DC.
  void RebuildPalette(HPALETTE from = nullptr);

  typedef CWnd* (*PopupMaker)(CTKColorButton* owner, const ColorPopupRequest& request);
  static PopupMaker s_makePopup;
  // The colour bar's default table, filled into an empty palette on the first popup.
  static void FillDefaultColorTable(std::vector<COLORREF>& colors);

  // Overridable operations of the colour button.
  virtual void ShowColorPopup();

  void FitToContent(SIZE& size, BOOL keepSize = FALSE) override;
  void FillBackground(CDC* dc, const CRect& rect) override;
  void DrawBorder(CDC* dc, CRect& rect, UINT itemState) override;
  void DrawFocusRectangle(CDC* dc, const CRect& rect) override;
  void PaintContent(CDC* dc, const CRect& rect, UINT itemState) override;

  BOOL m_bAltColorDlg = FALSE;  // the keyboard-open flag
  BOOL m_bFocusPopup = TRUE;
  COLORREF m_Color = (COLORREF)-1;
  COLORREF m_ColorAutomatic = (COLORREF)-1;
  std::vector<COLORREF> m_Colors;
  std::vector<COLORREF> m_lstDocColors;
  int m_nColumns = -1;
  CWnd* m_pPopup = nullptr;
  CString m_strOtherText;
  CString m_strDocColorsText;
  CString m_strAutoColorText;
  BOOL m_bEnabledInOther = TRUE;
  HPALETTE m_Palette = nullptr;

protected:
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
  UINT OnGetDlgCode();
  void OnSysColorChange();
  void OnMouseMove(UINT flags, CPoint point);

  DECLARE_MESSAGE_MAP()

private:
  int ArrowWidth() const;
  BOOL Themed() const;
};
