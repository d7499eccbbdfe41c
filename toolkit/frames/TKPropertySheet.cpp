#include "toolkit/frames/TKPropertySheet.h"

CTKPropertySheet::~CTKPropertySheet() { DeleteCategories(); }

void CTKPropertySheet::DeleteCategories() {
  // Categories own their subcategories; walk down from the roots.
  std::vector<CTKPropSheetCategory*> pending(m_lstTreeCategories.begin(), m_lstTreeCategories.end());
  while (!pending.empty()) {
    CTKPropSheetCategory* category = pending.back();
    pending.pop_back();
    pending.insert(pending.end(), category->m_lstSubCategories.begin(),
                   category->m_lstSubCategories.end());
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

void CTKPropertySheet::AddPage(CPropertyPage* page) { CPropertySheet::AddPage(page); }

BOOL CTKPropertySheet::OnInitDialog() {
  BOOL result = CPropertySheet::OnInitDialog();
  CreateNavigationControl();
  return result;
}

BOOL CTKPropertySheet::CreateNavigationControl() {
  // The standard tab control stays where the system put it, and so do the buttons.
  // The other looks need the outlook bar, tree and tab-window controls; until they
  // are there, a sheet asking for one shows the standard tabs.
  return m_look == PropSheetLook_Tabs;
}

void CTKPropertySheet::OnActivatePage(CPropertyPage* page) { m_nActivePage = GetPageIndex(page); }

BOOL CTKPropertySheet::PreTranslateMessage(MSG* msg) {
  if (m_Impl.PreTranslateMessage(msg)) return TRUE;
  if (m_hWnd && ::IsWindow(m_hWnd) && ::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0,
                                                     reinterpret_cast<LPARAM>(msg)))
    return TRUE;
  return CPropertySheet::PreTranslateMessage(msg);
}

BOOL CTKPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (m_Impl.OnCommand(wParam, lParam)) return TRUE;
  return CPropertySheet::OnCommand(wParam, lParam);
}

LRESULT CTKPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      m_Impl.OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
      break;
    case WM_NCACTIVATE: {
      BOOL active = static_cast<BOOL>(wParam);
      m_Impl.OnNcActivate(active);
      return DefWindowProc(WM_NCACTIVATE, active, lParam);
    }
    case WM_DESTROY:
      m_Impl.ReleaseHook();
      break;
    default:
      break;
  }
  return CPropertySheet::WindowProc(message, wParam, lParam);
}
