#include "toolkit/frames/TKMDIClientArea.h"

#include "toolkit/frames/TKMDIChildWnd.h"
#include "toolkit/frames/TKMDIFrameWnd.h"

// Any change among the children may change what the menu bar shows for the active one.
BEGIN_MESSAGE_MAP(CTKMDIClientArea, CWnd)
  ON_MESSAGE(WM_MDIDESTROY, OnMDIDestroy)
  ON_MESSAGE(WM_MDICREATE, OnChildrenChanged)
  ON_MESSAGE(WM_MDIACTIVATE, OnChildrenChanged)
  ON_MESSAGE(WM_MDIMAXIMIZE, OnChildrenChanged)
  ON_MESSAGE(WM_MDIRESTORE, OnChildrenChanged)
  ON_MESSAGE(WM_MDINEXT, OnChildrenChanged)
  ON_MESSAGE(WM_MDICASCADE, OnChildrenChanged)
  ON_MESSAGE(WM_MDITILE, OnChildrenChanged)
  ON_MESSAGE(WM_MDISETMENU, OnChildrenChanged)
  ON_MESSAGE(WM_CHILDACTIVATE, OnChildrenChanged)
  ON_MESSAGE(WM_PARENTNOTIFY, OnChildrenChanged)
  ON_MESSAGE(WM_SIZE, OnChildrenChanged)
END_MESSAGE_MAP()

CTKMDIClientArea::~CTKMDIClientArea() {
  if (m_hImages) ::ImageList_Destroy(m_hImages);
}

BOOL CTKMDIClientArea::AttachClient(CTKMDIFrameWnd* frame, HWND client) {
  m_pFrame = frame;
  if (!SubclassWindow(client)) return FALSE;
  RECT none{0, 0, 0, 0};
  if (!m_wndTab.Create(CTKTabWnd::STYLE_3D_SCROLLED, none, frame, 0, m_tabLocation)) return FALSE;
  // The tabs stand for the children: the client places them, and they stay when a
  // tab goes.
  m_wndTab.SetAutoSizeWindows(FALSE);
  m_wndTab.SetDestroyHostedWindows(FALSE);
  m_wndTab.HideInactiveWindow(FALSE);
  m_wndTab.EnableAutoColor(TRUE);
  m_hImages = ::ImageList_Create(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                 ILC_COLOR8 | ILC_MASK, 10, 10);
  m_wndTab.ShowWindow(SW_HIDE);
  return TRUE;
}

void CTKMDIClientArea::EnableTabs(BOOL enable, int location) {
  m_bTabsEnabled = enable;
  if (location != m_tabLocation && m_wndTab.m_hWnd) m_wndTab.SetLocation(location);
  m_tabLocation = location;
  UpdateTabs();
  if (m_pFrame) m_pFrame->RecalcLayout();
}

BOOL CTKMDIClientArea::IsTabStripVisible() const {
  if (!m_bTabsEnabled || m_bPreview || !m_wndTab.m_hWnd) return FALSE;
  const int count = m_wndTab.GetTabsNum();
  if (count == 0 && m_bHideTabsWhenNone) return FALSE;
  if (count < 2 && m_bHideTabsWhenOne) return FALSE;
  return TRUE;
}

void CTKMDIClientArea::SetPreviewMode(BOOL preview) {
  m_bPreview = preview;
  if (m_wndTab.m_hWnd) m_wndTab.ShowWindow(IsTabStripVisible() ? SW_SHOWNA : SW_HIDE);
}

HICON CTKMDIClientArea::IconOf(HWND child) {
  if (!child) return nullptr;
  HICON icon = reinterpret_cast<HICON>(::SendMessageA(child, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(child, GCLP_HICONSM));
  if (!icon) icon = reinterpret_cast<HICON>(::SendMessageA(child, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(child, GCLP_HICON));
  return icon;
}

void CTKMDIClientArea::RemoveTabOf(HWND child) {
  if (!m_wndTab.m_hWnd) return;
  const BOOL wasVisible = IsTabStripVisible();
  const int tab = m_wndTab.GetTabFromHwnd(child);
  if (tab < 0) return;
  m_wndTab.RemoveTab(tab);
  if (wasVisible != IsTabStripVisible() && m_pFrame) m_pFrame->RecalcLayout();
}

void CTKMDIClientArea::UpdateTabs() {
  if (!m_hWnd || !m_wndTab.m_hWnd || m_bUpdating) return;
  m_bUpdating = TRUE;
  const BOOL wasVisible = IsTabStripVisible();
  BOOL changed = FALSE;
  // Only the toolkit's document windows get tabs: a tab keeps its window's object, and
  // those tell the client when they go. The walk starts at the bottom of the Z order,
  // so windows opened earlier get their tabs first.
  HWND first = ::GetWindow(m_hWnd, GW_CHILD);
  for (HWND hwnd = first ? ::GetWindow(first, GW_HWNDLAST) : nullptr; hwnd;
       hwnd = ::GetWindow(hwnd, GW_HWNDPREV)) {
    auto* child = dynamic_cast<CTKMDIChildWnd*>(CWnd::FromHandlePermanent(hwnd));
    if (!child) continue;
    int tab = m_wndTab.GetTabFromHwnd(hwnd);
    if (!::IsWindowVisible(hwnd) || child->m_bToBeDestroyed) {
      if (tab >= 0) {
        m_wndTab.RemoveTab(tab);
        changed = TRUE;
      }
      continue;
    }
    HICON icon = child->GetFrameIcon();
    int image = -1;
    if (icon) {
      auto found = m_iconIndex.find(icon);
      if (found == m_iconIndex.end()) {
        image = ::ImageList_AddIcon(m_hImages, icon);
        if (image >= 0) m_iconIndex[icon] = image;
        if (m_iconIndex.size() == 1) m_wndTab.SetImageList(m_hImages);
      } else {
        image = found->second;
      }
    }
    const CString title = child->GetFrameText();
    if (tab < 0) {
      m_wndTab.AppendTab(child, title, static_cast<UINT>(image));
      m_wndTab.SetActiveTab(m_wndTab.GetTabsNum() - 1);
      changed = TRUE;
      continue;
    }
    CString label;
    m_wndTab.GetTabLabel(tab, label);
    if (label != title) {
      m_wndTab.SetTabLabel(tab, title);
      changed = TRUE;
    }
    if (m_wndTab.GetTabIconIndex(tab) != static_cast<UINT>(image)) {
      m_wndTab.SetTabIcon(tab, static_cast<UINT>(image));
      changed = TRUE;
    }
  }
  HWND active = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, WM_MDIGETACTIVE, 0, 0));
  const int activeTab = active ? m_wndTab.GetTabFromHwnd(active) : -1;
  if (activeTab >= 0 && activeTab != m_wndTab.GetActiveTab()) m_wndTab.SetActiveTab(activeTab);
  m_bUpdating = FALSE;
  if ((changed || wasVisible != IsTabStripVisible()) && m_pFrame) m_pFrame->RecalcLayout();
}

void CTKMDIClientArea::LayoutTabs() {
  if (!m_hWnd || !m_wndTab.m_hWnd || !m_pFrame) return;
  if (!IsTabStripVisible()) {
    if (::IsWindowVisible(m_wndTab.m_hWnd)) m_wndTab.ShowWindow(SW_HIDE);
    return;
  }
  // The strip takes its height from the client's side, the client keeps the rest.
  CRect client;
  ::GetWindowRect(m_hWnd, &client);
  ::MapWindowPoints(nullptr, m_pFrame->m_hWnd, reinterpret_cast<POINT*>(&client), 2);
  const int height = m_wndTab.GetTabsHeight() + 1;
  CRect strip = client;
  if (m_tabLocation == CTKTabWnd::LOCATION_TOP) {
    strip.bottom = strip.top + height;
    client.top = strip.bottom;
  } else {
    strip.top = strip.bottom - height;
    client.bottom = strip.top;
  }
  CRect old;
  ::GetWindowRect(m_wndTab.m_hWnd, &old);
  ::MapWindowPoints(nullptr, m_pFrame->m_hWnd, reinterpret_cast<POINT*>(&old), 2);
  ::SetWindowPos(m_hWnd, nullptr, client.left, client.top, client.Width(), client.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(m_wndTab.m_hWnd, HWND_TOP, strip.left, strip.top, strip.Width(), strip.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (old != strip)
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

LRESULT CTKMDIClientArea::OnMDIDestroy(WPARAM wParam, LPARAM) {
  const auto child = reinterpret_cast<HWND>(wParam);
  if (auto* frame = dynamic_cast<CTKMDIChildWnd*>(CWnd::FromHandlePermanent(child)))
    frame->m_bToBeDestroyed = TRUE;
  RemoveTabOf(child);
  return OnChildrenChanged(wParam, 0);
}

LRESULT CTKMDIClientArea::OnChildrenChanged(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (m_pFrame) m_pFrame->DelayUpdateMenuBarButtons();
  return result;
}
