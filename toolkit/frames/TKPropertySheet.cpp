#include "toolkit/frames/TKPropertySheet.h"

#include "toolkit/frames/TKOutlookBar.h"
#include "toolkit/frames/TKTabWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

// The tab-window look's control: its tabs host the pages, whose windows the system
// makes only when a page is first shown, so a tab the user picks asks the sheet for its
// page first (the page that is left may refuse, and its tab stays).
class CTKPropSheetTabWnd : public CTKTabWnd {
public:
  explicit CTKPropSheetTabWnd(CTKPropertySheet* sheet) : m_pSheet(sheet) {}
  BOOL SetActiveTab(int tab) override {
    if (m_bTakesPicks && tab != GetActiveTab() && tab != m_pSheet->GetActiveIndex()) {
      if (!m_pSheet->SetActivePage(tab)) return FALSE;
      // A toolkit page has moved the tabs along already; another page has not.
      return GetActiveTab() == tab || CTKTabWnd::SetActiveTab(tab);
    }
    return CTKTabWnd::SetActiveTab(tab);
  }
  // Off while the sheet builds the tabs itself.
  BOOL m_bTakesPicks = FALSE;

private:
  CTKPropertySheet* m_pSheet;
};

CTKPropertySheet::~CTKPropertySheet() {
  DeleteCategories();
  delete m_pOutlookBar;
  delete m_pTabWnd;
}

CTKTabWnd* CTKPropertySheet::GetNavigationTabWnd() const { return m_pTabWnd; }

void CTKPropertySheet::DeleteCategories() {
  // Categories own their subcategories; walk down from the roots.
  std::vector<CTKPropSheetCategory*> pending(m_lstTreeCategories.begin(), m_lstTreeCategories.end());
  while (!pending.empty()) {
    CTKPropSheetCategory* category = pending.back();
    pending.pop_back();
    pending.insert(pending.end(), category->m_lstSubCategories.begin(), category->m_lstSubCategories.end());
    delete category;
  }
  m_lstTreeCategories.clear();
}

void CTKPropertySheet::SetLook(int look, int navigationPaneWidth) {
  if (m_hWnd) return;  // the navigation is laid out when the window is made
  m_look = look;
  m_nBarWidth = navigationPaneWidth;
}

BOOL CTKPropertySheet::SetIconsList(HIMAGELIST images, SIZE iconSize) {
  m_Icons = images;
  m_sizeIcon = iconSize;
  return images != nullptr;
}

CTKPropSheetCategory* CTKPropertySheet::AddTreeCategory(const char* name, int icon, int selectedIcon,
                                                        CTKPropSheetCategory* parent) {
  auto* category = new CTKPropSheetCategory(name, icon, selectedIcon, parent);
  if (parent)
    parent->m_lstSubCategories.push_back(category);
  else
    m_lstTreeCategories.push_back(category);
  return category;
}

void CTKPropertySheet::AddPage(CPropertyPage* page) {
  CPropertySheet::AddPage(page);
  if (m_hWnd && m_hwndTree) AddPageToTree(page, TVI_ROOT);
  if (m_hWnd && m_pOutlookBar) AddPageToOutlookBar(page);
  if (m_hWnd && m_pTabWnd && m_pTabWnd->m_hWnd) AddPageToTabWnd(page);
}

namespace {
constexpr int kTreeId = 101;
constexpr int kTabWndId = 102;
constexpr UINT kOutlookBarId = 59392;

void MoveBy(HWND window, HWND parent, int dx, int dy) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  ::SetWindowPos(window, nullptr, rect.left + dx, rect.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

BOOL CTKPropertySheet::OnInitDialog() {
  BOOL result = CPropertySheet::OnInitDialog();
  if (!CreateNavigationControl() || m_look == PropSheetLook_Tabs) return result;
  if (m_look == PropSheetLook_OneNoteTabs)
    LayOutTabWnd();
  else
    LayOutNavigationPane();
  MoveButtonsToTheCorner();
  return result;
}

void CTKPropertySheet::LayOutNavigationPane() {
  // The tree or the outlook bar takes a pane on the left; the tab strip goes up out of sight, with the
  // pages under it, so the tree alone chooses the page.
  HWND tab = reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL));
  RECT strip{};
  ::SendMessageA(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&strip));
  const int stripHeight = strip.bottom - strip.top;
  ::SetWindowLongA(tab, GWL_STYLE, ::GetWindowLongA(tab, GWL_STYLE) & ~WS_TABSTOP);
  RECT window{};
  GetWindowRect(&window);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left + m_nBarWidth,
                 window.bottom - window.top - (stripHeight + 5) + 20,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  MoveBy(tab, m_hWnd, m_nBarWidth, -(stripHeight + 5));
  for (CPropertyPage* page : m_pages)
    if (page->m_hWnd) MoveBy(page->m_hWnd, m_hWnd, m_nBarWidth, -(stripHeight + 5));
  RECT client{};
  GetClientRect(&client);
  HWND navigation = m_hwndTree ? m_hwndTree : m_pOutlookBar->m_hWnd;
  ::SetWindowPos(navigation, nullptr, 0, 1, m_nBarWidth, client.bottom - 2, SWP_NOZORDER | SWP_NOACTIVATE);
  if (CPropertyPage* active = GetActivePage()) OnActivatePage(active);
}

void CTKPropertySheet::LayOutTabWnd() {
  HWND tab = reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL));
  // Where the system shows its pages: the sheet grows when the tab window's area for
  // them is smaller (a page is never cut), the height with 5 pixels to spare.
  RECT pages{};
  ::GetWindowRect(tab, &pages);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&pages), 2);
  ::SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&pages));
  for (CPropertyPage* page : m_pages) {
    if (!page->m_hWnd) continue;
    RECT r{};
    ::GetWindowRect(page->m_hWnd, &r);
    pages.right = std::max(pages.right, pages.left + (r.right - r.left));
    pages.bottom = std::max(pages.bottom, pages.top + (r.bottom - r.top));
  }
  const CRect area = m_pTabWnd->GetWndArea();
  const int wider = std::max(0, static_cast<int>(pages.right - pages.left) - area.Width());
  const int higher =
      pages.bottom - pages.top > area.Height() ? (pages.bottom - pages.top) - area.Height() + 5 : 0;
  if (wider || higher) {
    RECT place{}, window{};
    ::GetWindowRect(m_pTabWnd->m_hWnd, &place);
    ::SetWindowPos(m_pTabWnd->m_hWnd, nullptr, 0, 0, place.right - place.left + wider,
                   place.bottom - place.top + higher, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(&window);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left + wider,
                   window.bottom - window.top + higher, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::ShowWindow(tab, SW_HIDE);
  // The tab of the page the sheet opened on (the first unless the caller chose another).
  const int active = GetActiveIndex();
  m_pTabWnd->CTKTabWnd::SetActiveTab(active < 0 ? 0 : active);
  m_pTabWnd->m_bTakesPicks = TRUE;
  PlacePageInTabWnd(GetActivePage());
}

void CTKPropertySheet::MoveButtonsToTheCorner() {
  std::vector<HWND> buttons;
  const DWORD flags = m_psh.dwFlags;
  for (int id : {IDOK, IDCANCEL, 0x3021 /* Apply */, IDHELP}) {
    if (id == 0x3021 && (flags & PSH_NOAPPLYNOW)) continue;
    if (id == IDHELP && !(flags & PSH_HASHELP)) continue;
    if (HWND button = ::GetDlgItem(m_hWnd, id)) buttons.push_back(button);
  }
  RECT client{};
  GetClientRect(&client);
  for (HWND button : buttons) {
    RECT r{};
    ::GetWindowRect(button, &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    MoveBy(button, m_hWnd, 0, (client.bottom - 5) - r.bottom);
  }
  if (!buttons.empty()) {
    RECT last{};
    ::GetWindowRect(buttons.back(), &last);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&last), 2);
    const int dx = (client.right - 5) - last.right;
    for (HWND button : buttons) MoveBy(button, m_hWnd, dx, 0);
  }
}

BOOL CTKPropertySheet::CreateNavigationControl() {
  // The standard tab control (look 0) stays where the system put it, and so do the
  // buttons.
  if (m_look == PropSheetLook_OneNoteTabs) {
    // In the tab control's place, 2 pixels wider on each side, below the pages (which
    // lie over its area) and never painting over them.
    HWND tab = reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL));
    CRect place;
    ::GetWindowRect(tab, &place);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    place.InflateRect(2, 0);
    m_pTabWnd = new CTKPropSheetTabWnd(this);
    // The sheet shows and hides the pages itself and destroys them with itself.
    m_pTabWnd->SetAutoSizeWindows(FALSE);
    m_pTabWnd->SetDestroyHostedWindows(FALSE);
    m_pTabWnd->HideInactiveWindow(FALSE);
    if (!m_pTabWnd->Create(CTKTabWnd::STYLE_3D_SCROLLED, place, this, kTabWndId, CTKTabWnd::LOCATION_TOP))
      return FALSE;
    ::SetWindowLongA(m_pTabWnd->m_hWnd, GWL_STYLE,
                     ::GetWindowLongA(m_pTabWnd->m_hWnd, GWL_STYLE) | WS_CLIPSIBLINGS);
    ::SetWindowPos(m_pTabWnd->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (m_Icons) m_pTabWnd->SetImageList(m_Icons);
    for (CPropertyPage* page : m_pages) AddPageToTabWnd(page);
    return TRUE;
  }
  if (m_look == PropSheetLook_OutlookBar) {
    m_pOutlookBar = new CTKOutlookBar;
    // The sheet handles the page commands without command-state handlers.
    m_pOutlookBar->m_bDisableControlsIfNoHandler = FALSE;
    // The sheet's navigation, not a bar the user customizes.
    m_pOutlookBar->m_bLocked = TRUE;
    m_pOutlookBar->SetDefaultSize(m_nBarWidth);
    if (!m_pOutlookBar->Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT, kOutlookBarId)) return FALSE;
    m_pOutlookBar->SetBarStyle(CBRS_ALIGN_LEFT | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_pOutlookBar->SetBorder(FALSE);
    for (CPropertyPage* page : m_pages) AddPageToOutlookBar(page);
    return TRUE;
  }
  if (m_look != PropSheetLook_Tree) return m_look == PropSheetLook_Tabs;
  m_hwndTree = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_SHOWSELALWAYS, 0, 0, m_nBarWidth, 100,
      m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeId)), ::GetModuleHandleA(nullptr), nullptr);
  if (!m_hwndTree) return FALSE;
  if (m_Icons) {
    ::SendMessageA(m_hwndTree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(m_Icons));
    ::SendMessageA(m_hwndTree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(m_Icons));
  }
  // Categories depth first, each with its pages; pages of no category at the root.
  std::vector<std::pair<CTKPropSheetCategory*, HTREEITEM>> pending;
  for (auto it = m_lstTreeCategories.rbegin(); it != m_lstTreeCategories.rend(); ++it)
    pending.emplace_back(*it, TVI_ROOT);
  std::vector<CPropertyPage*> placed;
  while (!pending.empty()) {
    auto [category, parent] = pending.back();
    pending.pop_back();
    HTREEITEM node =
        InsertTreeItem(parent, category->m_strName, category->m_nIcon, category->m_nSelectedIcon, 0);
    for (auto it = category->m_lstSubCategories.rbegin(); it != category->m_lstSubCategories.rend(); ++it)
      pending.emplace_back(*it, node);
    for (CTKPropertyPage* page : category->m_lstPages) {
      AddPageToTree(page, node);
      placed.push_back(page);
    }
  }
  for (CPropertyPage* page : m_pages)
    if (std::find(placed.begin(), placed.end(), page) == placed.end()) AddPageToTree(page, TVI_ROOT);
  return TRUE;
}

HTREEITEM CTKPropertySheet::InsertTreeItem(HTREEITEM parent, const char* text, int icon, int selectedIcon,
                                           LPARAM data) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<char*>(text);
  insert.item.iImage = icon;
  insert.item.iSelectedImage = selectedIcon;
  insert.item.lParam = data;
  return reinterpret_cast<HTREEITEM>(
      ::SendMessageA(m_hwndTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

CString CTKPropertySheet::TabTitleOf(CPropertyPage* page) const {
  char text[256] = {};
  HWND tab = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0));
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 255;
  if (tab) ::SendMessageA(tab, TCM_GETITEMA, GetPageIndex(page), reinterpret_cast<LPARAM>(&item));
  return CString(text);
}

void CTKPropertySheet::AddPageToTree(CPropertyPage* page, HTREEITEM parent) {
  auto* tkPage = dynamic_cast<CTKPropertyPage*>(page);
  HTREEITEM node = InsertTreeItem(parent, TabTitleOf(page), tkPage ? tkPage->m_nIcon : -1,
                                  tkPage ? tkPage->m_nSelIconNum : -1, reinterpret_cast<LPARAM>(page));
  if (tkPage) tkPage->m_hTreeNode = node;
}

void CTKPropertySheet::AddPageToOutlookBar(CPropertyPage* page) {
  const int index = GetPageIndex(page);
  const CString text = TabTitleOf(page);
  auto* tkPage = dynamic_cast<CTKPropertyPage*>(page);
  HICON icon = m_Icons && tkPage && tkPage->m_nIcon >= 0
                   ? ::ImageList_GetIcon(m_Icons, tkPage->m_nIcon, ILD_NORMAL)
                   : nullptr;
  if (icon) {
    m_pOutlookBar->AddButton(icon, text, kFirstPageCommand + index);
    ::DestroyIcon(icon);
  } else {
    m_pOutlookBar->AddButton(-1, text, kFirstPageCommand + index);
  }
}

void CTKPropertySheet::AddPageToTabWnd(CPropertyPage* page) {
  auto* tkPage = dynamic_cast<CTKPropertyPage*>(page);
  const int icon = m_Icons && tkPage ? tkPage->m_nIcon : -1;
  m_pTabWnd->AppendTab(page, TabTitleOf(page), static_cast<UINT>(icon));
}

void CTKPropertySheet::PlacePageInTabWnd(CPropertyPage* page) {
  if (!page || !page->m_hWnd || !m_pTabWnd || !m_pTabWnd->m_hWnd) return;
  CRect area = m_pTabWnd->GetWndArea();
  ::MapWindowPoints(m_pTabWnd->m_hWnd, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
  ::SetWindowPos(page->m_hWnd, nullptr, area.left, area.top, area.Width(), area.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTKPropertySheet::OnActivatePage(CPropertyPage* page) {
  const int previous = m_nActivePage;
  m_nActivePage = GetPageIndex(page);
  if (m_look == PropSheetLook_OutlookBar && m_pOutlookBar && m_pOutlookBar->m_hWnd) {
    // The page's button is shown checked, and scrolled into view.
    for (int index : {previous, m_nActivePage}) {
      const int button = m_pOutlookBar->CommandToIndex(kFirstPageCommand + index);
      if (button < 0) continue;
      const UINT style = m_pOutlookBar->GetButtonStyle(button) & ~static_cast<UINT>(TBBS_CHECKED);
      m_pOutlookBar->SetButtonStyle(button, index == m_nActivePage ? style | TBBS_CHECKED : style);
      if (index == m_nActivePage) m_pOutlookBar->EnsureButtonVisible(button);
    }
    m_pOutlookBar->Invalidate();
  }
  auto* tkPage = dynamic_cast<CTKPropertyPage*>(page);
  if (m_look == PropSheetLook_Tree && m_hwndTree && tkPage && tkPage->m_hTreeNode && !m_bIsInSelectTree) {
    m_bIsInSelectTree = TRUE;
    ::SendMessageA(m_hwndTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(tkPage->m_hTreeNode));
    ::SendMessageA(m_hwndTree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(tkPage->m_hTreeNode));
    m_bIsInSelectTree = FALSE;
  }
  if (m_look == PropSheetLook_OneNoteTabs && m_pTabWnd && m_pTabWnd->m_hWnd) {
    m_pTabWnd->CTKTabWnd::SetActiveTab(m_nActivePage);
    m_pTabWnd->EnsureVisible(m_nActivePage);
    PlacePageInTabWnd(page);
  }
}

BOOL CTKPropertySheet::PreTranslateMessage(MSG* msg) {
  if (m_Impl.PreTranslateMessage(msg)) return TRUE;
  if (m_hWnd && ::IsWindow(m_hWnd) &&
      ::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)))
    return TRUE;
  return CPropertySheet::PreTranslateMessage(msg);
}

BOOL CTKPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  if (m_pOutlookBar && lParam == 0 && id >= kFirstPageCommand &&
      id < kFirstPageCommand + static_cast<UINT>(m_pages.size())) {
    CPropertyPage* page = m_pages[id - kFirstPageCommand];
    SetActivePage(page);
    return TRUE;
  }
  if (m_Impl.OnCommand(wParam, lParam)) return TRUE;
  return CPropertySheet::OnCommand(wParam, lParam);
}

BEGIN_MESSAGE_MAP(CTKPropertySheet, CPropertySheet)
  ON_NOTIFY(TVN_SELCHANGEDA, kTreeId, OnTreeSelChanged)
  ON_NOTIFY(TVN_SELCHANGEDW, kTreeId, OnTreeSelChanged)
  ON_REGISTERED_MESSAGE(TKM_ONCHANGE_ACTIVE_TAB, OnChangeActiveTab)
  ON_WM_ACTIVATE()
  ON_WM_NCACTIVATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void CTKPropertySheet::OnTreeSelChanged(NMHDR* header, LRESULT* result) {
  // Both forms carry the item's data at the same place.
  auto* page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<const NMTREEVIEWA*>(header)->itemNew.lParam);
  if (page && !m_bIsInSelectTree) {
    m_bIsInSelectTree = TRUE;
    SetActivePage(page);
    m_bIsInSelectTree = FALSE;
  }
  *result = 0;
}

LRESULT CTKPropertySheet::OnChangeActiveTab(WPARAM tab, LPARAM) {
  // The tab window has made the picked page active already; it fills the page area.
  if (m_pTabWnd && m_pTabWnd->m_hWnd) PlacePageInTabWnd(GetPage(static_cast<int>(tab)));
  return 0;
}

void CTKPropertySheet::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  m_Impl.OnActivate(state, AfxGetSafeHwnd(other));
  CPropertySheet::OnActivate(state, other, minimized);
}

BOOL CTKPropertySheet::OnNcActivate(BOOL active) {
  m_Impl.OnNcActivate(active);
  return CPropertySheet::OnNcActivate(active);
}

void CTKPropertySheet::OnDestroy() {
  m_Impl.ReleaseHook();
  CPropertySheet::OnDestroy();
}
