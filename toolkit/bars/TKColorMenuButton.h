#pragma once
// A toolbar or menu button that shows the current colour of its command as a strip
// and drops down a colour popup. All colour buttons of one command share one colour,
// kept in a class-wide map from command to colour; the frame supplies the popup's
// document colours when asked through "TKTOOLBAR__GETDOCUMENTCOLORS".
#include "toolkit/bars/TKToolbarMenuButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CTKColorMenuButton : public CTKToolbarMenuButton {
  DECLARE_SERIAL(CTKColorMenuButton)

public:
  CTKColorMenuButton();
  CTKColorMenuButton(UINT command, const char* text, HPALETTE palette = nullptr);
  ~CTKColorMenuButton() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CTKToolbarButton& source) override;
  void OnChangeParentWnd(CWnd* parent) override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  int OnDrawOnCustomizeList(CDC* dc, const CRect& rect, BOOL selected) override;
  CTKPopupMenu* CreatePopupMenu() override;
  BOOL IsEmptyMenuAllowed() const override { return TRUE; }

  COLORREF GetColor() const { return m_Color; }
  // Stores the colour for the command and repaints; with notify, every other colour
  // button of the command and an open colour bar of it follow.
  virtual void SetColor(COLORREF color, BOOL notify = TRUE);
  virtual BOOL OpenColorDialog(COLORREF initial, COLORREF& result);

  void EnableAutomaticButton(const char* label, COLORREF automatic, BOOL enable = TRUE);
  void EnableOtherButton(const char* label, BOOL platformDialog = FALSE, BOOL enable = TRUE);
  void EnableDocumentColors(const char* caption, BOOL enable = TRUE);
  void SetColumnsNumber(int columns) { m_nColumns = columns; }
  void SetDockedLayout(int rows, int columns) {
    m_nHorzDockRows = rows;
    m_nVertDockColumns = columns;
  }
  void SetColors(const std::vector<COLORREF>& colors) { m_Colors = colors; }
  const std::vector<COLORREF>& GetColors() const { return m_Colors; }

  // The shared colour of a command: every colour button of it takes it (without
  // notifying the others again) and the class-wide map keeps it.
  static void SetColorByCmd(UINT command, COLORREF color);
  // The colour kept for the command, -1 when none is.
  static COLORREF GetColorByCmd(UINT command);
  static UINT GetDocumentColorsMessage();

  COLORREF m_Color = (COLORREF)-1;
  COLORREF m_colorAutomatic = 0;
  std::vector<COLORREF> m_Colors;
  HPALETTE m_Palette = nullptr;
  int m_nColumns = -1;
  int m_nHorzDockRows = -1;
  int m_nVertDockColumns = -1;
  BOOL m_bIsAutomaticButton = FALSE;
  BOOL m_bIsOtherButton = FALSE;
  BOOL m_bIsDocumentColors = FALSE;
  CString m_strAutomaticButtonLabel;
  CString m_strOtherButtonLabel;
  CString m_strDocumentColorsLabel;
  BOOL m_bStdColorDlg = FALSE;

  static CMap<UINT, UINT, COLORREF, COLORREF> s_ColorsMap;

protected:
  void Repaint();
  void MakePalette();
};
