#pragma once
// The toolkit's property sheet: the system's sheet with a DialogHelper for library
// popup menus and a choice of how the pages are offered: the standard tab control
// (look 0, what this program shows), an outlook bar of page buttons (look 1), a tree
// of categories and pages (look 2) or the toolkit's tab window (look 3).
#include "toolkit/frames/DialogHelper.h"
#include "toolkit/frames/TKPropertyPage.h"

// A group of pages in the tree look.
class CTKPropSheetCategory {
public:
  explicit CTKPropSheetCategory(const char* name, int icon = -1, int selectedIcon = -1,
                                CTKPropSheetCategory* parent = nullptr)
      : m_strName(name), m_nIcon(icon), m_nSelectedIcon(selectedIcon), m_pParentCategory(parent) {}
  CString m_strName;
  int m_nIcon;
  int m_nSelectedIcon;
  CTKPropSheetCategory* m_pParentCategory;
  std::vector<CTKPropSheetCategory*> m_lstSubCategories;
  std::vector<CTKPropertyPage*> m_lstPages;
};

class CTKOutlookBar;
class CTKPropSheetTabWnd;
class CTKTabWnd;

class CTKPropertySheet : public CPropertySheet {
public:
  enum Look {
    PropSheetLook_Tabs = 0,
    PropSheetLook_OutlookBar = 1,
    PropSheetLook_Tree = 2,
    PropSheetLook_OneNoteTabs = 3
  };

  CTKPropertySheet() : m_Impl(this) {}
  explicit CTKPropertySheet(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0)
      : CPropertySheet(caption, parent, selectPage), m_Impl(this) {}
  ~CTKPropertySheet() override;

  void AddPage(CPropertyPage* page) override;
  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  // Added after the sheet's own virtual operations.
  virtual void OnActivatePage(CPropertyPage* page);
  virtual BOOL CreateNavigationControl();

  // The look and the pane width are taken before the window exists.
  void SetLook(int look, int navigationPaneWidth = 100);
  int GetLook() const { return m_look; }
  // Page icons for the outlook bar, tree and tab-window looks.
  BOOL SetIconsList(HIMAGELIST images, SIZE iconSize);
  CTKPropSheetCategory* AddTreeCategory(const char* name, int icon = -1, int selectedIcon = -1,
                                        CTKPropSheetCategory* parent = nullptr);
  void SetOpenMenu(CTKPopupMenuBase* popup) { m_Impl.SetOpenMenu(popup); }

  DialogHelper m_Impl;

protected:
  int m_look = PropSheetLook_Tabs;
  int m_nBarWidth = 100;
  int m_nActivePage = -1;
  HIMAGELIST m_Icons = nullptr;
  SIZE m_sizeIcon{0, 0};
  std::vector<CTKPropSheetCategory*> m_lstTreeCategories;
  BOOL m_bIsInSelectTree = FALSE;
  HWND m_hwndTree = nullptr;
  CTKOutlookBar* m_pOutlookBar = nullptr;
  CTKPropSheetTabWnd* m_pTabWnd = nullptr;

  void OnTreeSelChanged(NMHDR* header, LRESULT* result);
  LRESULT OnChangeActiveTab(WPARAM tab, LPARAM);
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  BOOL OnNcActivate(BOOL active);
  void OnDestroy();

  DECLARE_MESSAGE_MAP()

public:
  HWND GetNavigationTree() const { return m_hwndTree; }
  CTKOutlookBar* GetNavigationOutlookBar() const { return m_pOutlookBar; }
  CTKTabWnd* GetNavigationTabWnd() const;
  // The commands of the outlook bar's page buttons: the first page's, then one each.
  enum : UINT { kFirstPageCommand = 0xE700 };

private:
  HTREEITEM InsertTreeItem(HTREEITEM parent, const char* text, int icon, int selectedIcon, LPARAM data);
  // The title the system's tab control shows for a page (at most 255 characters).
  CString TabTitleOf(CPropertyPage* page) const;
  void AddPageToTree(CPropertyPage* page, HTREEITEM parent);
  void AddPageToOutlookBar(CPropertyPage* page);
  void AddPageToTabWnd(CPropertyPage* page);
  // Looks 1 and 2: a pane on the left takes the navigation, the tab strip goes up out
  // of sight. Look 3: the tab window takes the tab control's place.
  void LayOutNavigationPane();
  void LayOutTabWnd();
  // The buttons 5 pixels above the bottom, then together against the right edge.
  void MoveButtonsToTheCorner();
  // The page window fills the tab window's area for hosted windows.
  void PlacePageInTabWnd(CPropertyPage* page);

private:
  void DeleteCategories();
};
