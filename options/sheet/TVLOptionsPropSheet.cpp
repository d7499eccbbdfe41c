#include "options/sheet/TVLOptionsPropSheet.h"

#include "options/sheet/OptionsText.h"

namespace {
constexpr int kApplyButton = 0x3021;
}

CTVLOptionsPropSheet::CTVLOptionsPropSheet(CWnd* parent, UINT selectPage)
    : CTKPropertySheet(options_text::kOptionsCaption, parent, selectPage) {}

BOOL CTVLOptionsPropSheet::OnInitDialog() {
  const BOOL result = CTKPropertySheet::OnInitDialog();
  if (HWND apply = ::GetDlgItem(m_hWnd, kApplyButton)) ::ShowWindow(apply, SW_HIDE);
  return result;
}
