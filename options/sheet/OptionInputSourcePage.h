#pragma once
// The Input Source page: the mixer's input source and its volume. It edits the record
// it points to (the application's, or the Record Wizard's copy).
#include "toolkit/frames/TKPropertyPage.h"
#include "resources/resource.h"

class InputSourceSetting;

class COptionInputSourcePage : public CTKPropertyPage {
public:
  enum { IDD = IDD_OPTIONS_INPUT_SOURCE };
  COptionInputSourcePage();
  explicit COptionInputSourcePage(InputSourceSetting* record);

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnHScroll(UINT code, UINT position, CWnd* scrollBar);

  DECLARE_MESSAGE_MAP()

private:
  InputSourceSetting* m_pSetting;
};
