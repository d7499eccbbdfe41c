#pragma once
// One item of a toolkit bar: its command, style and state bits, image (standard or
// user-drawn), text and display flags. It measures and draws itself, stores itself in
// an archive (toolbar state, drag and drop), and answers the bar's and the
// customisation's questions through virtual operations. Special items (menu buttons,
// controls, the chevron) derive from it and are made again by their runtime class.
#include "platform/afx/OleInit.h"
#include "platform/afx/afxwin.h"
#include "toolkit/frames/BarStyles.h"

#ifndef TBBS_BUTTON
#define TBBS_BUTTON 0x0
#define TBBS_SEPARATOR 0x1
#define TBBS_CHECKBOX 0x2
#define TBBS_HIDDEN 0x80000
#define TBBS_WRAPPED 0x200000
#endif

class CTKBaseControlBar;
class CTKToolbarImageList;
class COleDataSource;
class COleDataObject;

class CTKToolbarButton : public CObject {
  DECLARE_SERIAL(CTKToolbarButton)

public:
  // What the looks need to tell items apart.
  enum Kind { kPlain, kShowAll, kOutlook, kMenuButton };

  CTKToolbarButton();
  CTKToolbarButton(UINT command, int image, const char* text = nullptr, BOOL userImage = FALSE,
                   BOOL locked = FALSE);
  ~CTKToolbarButton() override;

  void Serialize(CArchive& ar) override;
  virtual BOOL ExportHook(void*) { return TRUE; }
  virtual void CopyFrom(const CTKToolbarButton& source);
  virtual void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
                      BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
                      BOOL grayDisabledButtons = TRUE);
  virtual SIZE OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal);
  // The bar's press: TRUE when the button handled the click itself (a menu button
  // opened its popup).
  virtual BOOL OnClick(CWnd* window, BOOL delay = TRUE) { return FALSE; }
  // A completed click; TRUE when handled (no command is then sent).
  virtual BOOL OnClickUp() { return FALSE; }
  virtual void OnChangeParentWnd(CWnd* parent);
  virtual BOOL CopyToMenuButton(CObject* menuButton);
  virtual void OnMove() {}
  virtual void OnSize(int) {}
  virtual HWND GetHwnd() { return nullptr; }
  virtual BOOL CanBeStretched() const { return FALSE; }
  virtual BOOL NotifyCommand(int) { return FALSE; }
  virtual void OnAddToCustomizePage() {}
  virtual HBRUSH OnCtlColor(CDC*, UINT) { return nullptr; }
  virtual void OnDblClick(CWnd*) {}
  virtual BOOL CanBeStored() const { return TRUE; }
  virtual BOOL HaveHotBorder() const { return TRUE; }
  virtual void OnCancelMode() {}
  virtual void OnGlobalFontsChanged() {}
  virtual BOOL IsEditable() const;
  virtual BOOL IsActionButton() const { return FALSE; }
  virtual BOOL OnBeforeDrag() const { return FALSE; }
  virtual int OnDrawOnCustomizeList(CDC* dc, const CRect& rect, BOOL selected);
  virtual BOOL IsDroppedDown() const { return FALSE; }
  virtual BOOL OnCloseRequest() { return TRUE; }
  virtual BOOL OnToolHitTest(const CWnd* window, TOOLINFOA* info);
  virtual void OnAfterCustomize() {}
  virtual void OnShow(BOOL) {}
  virtual const CRect Rect() const { return m_rect; }
  virtual void SetStyle(UINT style) { m_nStyle = style; }
  virtual void ResetImageToDefault();
  virtual BOOL CompareWith(const CTKToolbarButton& other) const { return m_nID == other.m_nID; }
  virtual void EnableWindow(BOOL enable = TRUE);
  virtual BOOL IsWindowVisible();
  virtual BOOL IsOwnerOf(HWND hwnd);
  virtual BOOL HasFocus() const;
  virtual void SetImage(int image);
  virtual void HighlightImage() {}
  virtual BOOL IsExtraBorder() const { return m_bExtraBorder; }
  // A button may be dropped on the bar (menu buttons refuse some bars).
  virtual BOOL CanBeDropped(CWnd*) { return TRUE; }
  // Called by the bar while updating a radio state.
  virtual void OnRadioHook() {}

  // The looks' view of the button.
  virtual Kind LookKind() const { return kPlain; }
  virtual BOOL OnDrawBorder(CDC*, CRect&, int) { return FALSE; }
  BOOL IsPopupOpen() const {
    return m_popupMenu && m_popupMenu->m_hWnd && ::IsWindowVisible(m_popupMenu->m_hWnd);
  }

  int GetImage() const { return m_bUserImage ? m_iUserImage : m_iImage; }
  BOOL IsLocked() const { return m_bLocked; }
  BOOL IsVisible() const { return m_bVisible; }
  void SetVisible(BOOL visible = TRUE) { m_bVisible = visible; }
  BOOL IsHidden() const { return m_bHidden; }
  BOOL IsSeparator() const { return (m_nStyle & TBBS_SEPARATOR) != 0; }
  BOOL IsHorizontal() const { return m_bHorz; }

  // The button's archive in the drag data; TRUE even when nothing was put there.
  BOOL PrepareDrag(COleDataSource& source);
  // A new button from drag data, null when the data holds none.
  static CTKToolbarButton* CreateFromOleData(COleDataObject* data);
  static CLIPFORMAT GetClipboardFormat();
  // Draws the face through the current look (not when the no-face flag is set).
  void DrawButtonFrame(CDC* dc, const CRect& rect, BOOL highlighted);
  // The text as drawn: "&&" shown as one "&", other "&" removed.
  static CString TextWithoutAmpersands(const CString& text);

  // Class-wide: the name of the clipboard format (empty: made from the instance
  // handle), whether standard images are registered with the command manager, and
  // commands whose buttons may not be edited.
  static CString s_clipboardFormatName;
  static BOOL s_registerImages;
  static CList<UINT, UINT> s_nonEditableIds;
  static BOOL s_wrapText;

  BOOL m_bUserImage = FALSE;
  UINT m_nID = 0;
  UINT m_nStyle = 0;
  CString m_strText;
  BOOL m_bText = FALSE;
  BOOL m_bImage = TRUE;
  BOOL m_bTextCopy = FALSE;
  BOOL m_bImageCopy = TRUE;
  BOOL m_bTextBelow = FALSE;
  CString m_strTooltip;
  BOOL m_bFromToolbar = FALSE;
  BOOL m_bWrap = FALSE;
  BOOL m_bLocked = FALSE;
  CRect m_rect;
  SIZE m_sizeText{0, 0};
  BOOL m_bHorz = TRUE;
  BOOL m_bVisible = TRUE;
  BOOL m_bHidden = FALSE;
  BOOL m_bNoFace = FALSE;
  BOOL m_bExtraBorder = FALSE;
  BOOL m_bExtra = FALSE;
  int m_iImage = -1;
  int m_iUserImage = -1;
  // The bar holding the button (set by OnChangeParentWnd) and, for the menu family,
  // its open popup.
  CTKBaseControlBar* m_bar = nullptr;
  CWnd* m_popupMenu = nullptr;

private:
  void MakeDefaults();
};
