#include "toolkit/frames/TKPropertyPage.h"

#include "toolkit/frames/TKPropertySheet.h"

BOOL CTKPropertyPage::OnSetActive() {
  if (auto* sheet = dynamic_cast<CTKPropertySheet*>(GetSheet())) sheet->OnActivatePage(this);
  return CPropertyPage::OnSetActive();
}

BOOL CTKPropertyPage::PreTranslateMessage(MSG* msg) {
  if (m_Impl.PreTranslateMessage(msg)) return TRUE;
  return CPropertyPage::PreTranslateMessage(msg);
}

BOOL CTKPropertyPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (m_Impl.OnCommand(wParam, lParam)) return TRUE;
  return CPropertyPage::OnCommand(wParam, lParam);
}

BEGIN_MESSAGE_MAP(CTKPropertyPage, CPropertyPage)
  ON_WM_ACTIVATE()
  ON_WM_NCACTIVATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void CTKPropertyPage::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  m_Impl.OnActivate(state, AfxGetSafeHwnd(other));
  CPropertyPage::OnActivate(state, other, minimized);
}

BOOL CTKPropertyPage::OnNcActivate(BOOL active) {
  m_Impl.OnNcActivate(active);
  return CPropertyPage::OnNcActivate(active);
}

void CTKPropertyPage::OnDestroy() {
  m_Impl.ReleaseHook();
  CPropertyPage::OnDestroy();
}
