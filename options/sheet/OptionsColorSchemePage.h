#pragma once
// The Color Scheme page: six colour buttons, the 17 preset schemes and the "System 3D
// Color" choice for the control bars. On OK it writes, stores and applies the
// application's colour scheme itself.
#include "toolkit/frames/TKColorButton.h"
#include "toolkit/frames/TKPropertyPage.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/ColorSchemeOptions.h"
#include "platform/afx/linux_headers_end.h"

class COptionsColorSchemePage : public CTKPropertyPage {
public:
  enum { IDD = IDD_OPTIONS_COLOR_SCHEME };
  COptionsColorSchemePage();

  const ColorSchemeOptions& GetOptions() const { return m_options; }

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  void OnPreset();
  void OnSystem3D();

  DECLARE_MESSAGE_MAP()

private:
  ColorSchemeOptions m_options;
  CTKColorButton m_wfForeground;
  CTKColorButton m_wfBackground;
  CTKColorButton m_stForeground;
  CTKColorButton m_stBackground;
  CTKColorButton m_timeIndicator;
  CTKColorButton m_controlBar;
  BOOL m_bSystem3D = FALSE;
  int m_nPreset = -1;
};
