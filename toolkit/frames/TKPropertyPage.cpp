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

LRESULT CTKPropertyPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (m_Impl.OnOwnerMessage(message, wParam, lParam, &result)) return result;
  return CPropertyPage::WindowProc(message, wParam, lParam);
}
