#include "options/sheet/OptionInputSourcePage.h"

#include "options/sheet/DialogControls.h"
#include "options/sheet/OptionsHost.h"
#include "options/sheet/OptionsText.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/InputSourceSetting.h"
#include "platform/afx/linux_headers_end.h"

using namespace dialogcontrols;

namespace {
constexpr int kSliderMax = 100;
}

COptionInputSourcePage::COptionInputSourcePage()
    : CTKPropertyPage(IDD), m_pSetting(GetOptionsHost().inputSource) {}

COptionInputSourcePage::COptionInputSourcePage(InputSourceSetting* record)
    : CTKPropertyPage(IDD), m_pSetting(record) {}

BOOL COptionInputSourcePage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  const std::vector<std::string>& names = GetOptionsHost().inputSourceNames;
  HWND list = ::GetDlgItem(m_hWnd, IDC_IS_SOURCES);
  for (const std::string& name : names)
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  SendDlgItemMessage(IDC_IS_VOLUME_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, kSliderMax));
  if (!names.empty() && m_pSetting) {
    ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(m_pSetting->InputSource), 0);
    SendDlgItemMessage(IDC_IS_VOLUME_SLIDER, TBM_SETPOS, TRUE,
                       static_cast<LPARAM>(m_pSetting->InputVolume * 100.0f));
    SetItemDouble(m_hWnd, IDC_IS_VOLUME, options_text::kVolumeFormat, m_pSetting->InputVolume);
  } else {
    SendDlgItemMessage(IDC_IS_VOLUME_SLIDER, TBM_SETPOS, TRUE, 0);
    EnableItem(m_hWnd, IDC_IS_VOLUME_SLIDER, false);
  }
  return TRUE;
}

void COptionInputSourcePage::OnHScroll(UINT code, UINT, CWnd* scrollBar) {
  if (!scrollBar || scrollBar->GetDlgCtrlID() != IDC_IS_VOLUME_SLIDER) return;
  const int position = static_cast<int>(SendDlgItemMessage(IDC_IS_VOLUME_SLIDER, TBM_GETPOS));
  const int maximum = static_cast<int>(SendDlgItemMessage(IDC_IS_VOLUME_SLIDER, TBM_GETRANGEMAX));
  const double volume =
      code == TB_ENDTRACK ? position * 0.01 : (maximum > 0 ? static_cast<double>(position) / maximum : 0.0);
  SetItemDouble(m_hWnd, IDC_IS_VOLUME, options_text::kVolumeFormat, volume);
}

void COptionInputSourcePage::OnOK() {
  CTKPropertyPage::OnOK();
  if (!m_pSetting) return;
  const int position = static_cast<int>(SendDlgItemMessage(IDC_IS_VOLUME_SLIDER, TBM_GETPOS));
  m_pSetting->InputVolume = static_cast<float>(position * 0.01);
  const int source = static_cast<int>(SendDlgItemMessage(IDC_IS_SOURCES, LB_GETCURSEL));
  if (source >= 0) m_pSetting->InputSource = source;
}

BEGIN_MESSAGE_MAP(COptionInputSourcePage, CTKPropertyPage)
  ON_WM_HSCROLL()
END_MESSAGE_MAP()
