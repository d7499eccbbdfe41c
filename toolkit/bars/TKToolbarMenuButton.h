#pragma once
// A button that owns a list of sub-items and opens them as a popup menu: every title
// of the menu bar, every item of a popup menu, and a drop-down button on a toolbar. It
// converts between its sub-items and a menu handle, decides where its popup opens and
// draws itself as a menu title, a menu item or a toolbar button with an arrow.
#include "toolkit/bars/TKToolbarButton.h"

class CTKPopupMenu;
class CTKToolBar;

class CTKToolbarMenuButton : public CTKToolbarButton {
  DECLARE_SERIAL(CTKToolbarMenuButton)

public:
  CTKToolbarMenuButton();
  CTKToolbarMenuButton(UINT command, HMENU menu, int image, const char* text = nullptr,
                       BOOL userImage = FALSE);
  ~CTKToolbarMenuButton() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CTKToolbarButton& source) override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  SIZE OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) override;
  BOOL OnClick(CWnd* window, BOOL delay = TRUE) override;
  void OnChangeParentWnd(CWnd* parent) override;
  BOOL HaveHotBorder() const override { return FALSE; }
  void OnCancelMode() override;
  BOOL IsDroppedDown() const override { return m_popupMenu != nullptr; }
  BOOL OnCloseRequest() override;
  void ResetImageToDefault() override;
  BOOL CompareWith(const CTKToolbarButton& other) const override;
  Kind LookKind() const override { return kMenuButton; }

  // Opens the popup under (or beside) the button; window defaults to the parent bar.
  virtual BOOL OpenPopupMenu(CWnd* window = nullptr);
  // Replaces the sub-items by the menu's items.
  virtual void CreateFromMenu(HMENU menu);
  // A new menu of the sub-items, owned by the caller; null when the button has no
  // sub-items and a real command.
  virtual HMENU CreateMenu() const;
  virtual CTKPopupMenu* CreatePopupMenu();
  // Whether a popup may open without a menu handle.
  virtual BOOL IsEmptyMenuAllowed() const { return FALSE; }
  // Whether the button takes part in the popup's command routing (TRUE) and whether
  // it handles an item chosen in its popup itself (FALSE: the popup bar does).
  virtual BOOL IsExclusive() const { return TRUE; }
  virtual BOOL HandlesChosenItem() const { return FALSE; }
  // An item chosen in the button's popup, for buttons that handle it themselves.
  virtual BOOL OnItemChosen(CTKToolBar*, CTKToolbarButton*) { return FALSE; }
  // A click on an entry the popup bar hands over (entries that act in place).
  virtual BOOL OnClickMenuItem() { return FALSE; }
  BOOL IsTearOffMenu() const { return m_uiTearOffBarID != 0; }
  virtual void SetTearOff(UINT id);

  CTKPopupMenu* GetPopupMenu() const;
  const CObList& GetCommands() const { return m_listCommands; }
  CObList& GetCommands() { return m_listCommands; }
  BOOL IsInPopup() const { return m_bMenuPaletteMode; }
  // The popup's direction and text shown inside menus (label and shortcut).
  static void DrawMenuItemText(CDC* dc, const CString& text, CRect rect, BOOL fits, BOOL disabled);

  CObList m_listCommands;
  BOOL m_bMenuMode = FALSE;
  BOOL m_bMenuPaletteMode = FALSE;
  CWnd* m_pWndParent = nullptr;
  BOOL m_bDefault = FALSE;
  BOOL m_bClickedOnMenu = FALSE;
  BOOL m_bToBeClosed = FALSE;
  BOOL m_bMenuOnly = FALSE;
  UINT m_uiTearOffBarID = 0;
  BOOL m_bImageHighlight = FALSE;
  CWnd* m_pWndMessage = nullptr;
  BOOL m_bMenuRight = FALSE;
  BOOL m_bDrawDownArrow = FALSE;
  // The time of the message during which the popup last closed: a press that closed
  // it does not open it again.
  DWORD m_dwClosedAt = 0;
  // Set by the popup bar's layout: the item fits its column's minimum width.
  BOOL m_bFitsColumn = TRUE;

protected:
  // The frame draws the image of an item whose command has none in the image lists.
  BOOL DrawImageByFrame(CDC* dc, const CRect& column);
  void DeleteCommands();
  // The arrow strip of a drop-down button on a toolbar.
  CRect ArrowStrip() const;
};
