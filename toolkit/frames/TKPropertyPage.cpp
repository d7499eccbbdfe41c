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
  return CPropertyPage::WindowProc(message, wParam, lParam);
}
