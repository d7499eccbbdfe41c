#include "options/sheet/TVLOptionsPropSheet.h"

#include "options/sheet/DialogControls.h"
#include "options/sheet/OptionsText.h"

namespace {
constexpr int kApplyButton = 0x3021;
}

CTVLOptionsPropSheet::CTVLOptionsPropSheet(CWnd* parent, UINT selectPage)
    : CTKPropertySheet(options_text::kOptionsCaption, parent, selectPage) {}

BOOL CTVLOptionsPropSheet::OnInitDialog() {
  const BOOL result = CTKPropertySheet::OnInitDialog();
  if (HWND apply = ::GetDlgItem(m_hWnd, kApplyButton)) ::ShowWindow(apply, SW_HIDE);
  // Over the window that opened it (the main window), not where the system puts it.
  dialogcontrols::CenterOver(m_hWnd, m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
  return result;
}
