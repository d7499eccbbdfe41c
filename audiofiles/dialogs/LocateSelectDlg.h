#pragma once
// The Locate and Select dialog: the user types a cursor position (Locate) or a
// selection (Select) in seconds, within the project's length.
#include "app/controls/NumSpinCtrl.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include "platform/afx/linux_headers_end.h"

class CLocateSelectDlg : public CDialog {
public:
  enum { IDD = IDD_LOCATE_SELECT };
  enum { kLocate = 0, kSelect = 1 };

  // times: the caller's selection {start, end} in seconds, read when the dialog opens
  // and written on OK. projectEndTime: the end time of the current project's tracks,
  // asked when the dialog opens and again on OK.
  CLocateSelectDlg(double* times, std::function<double()> projectEndTime, CWnd* parent = nullptr);

  int GetMode() const { return m_mode; }

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

private:
  double ProjectEndTime() const;
  // Puts the end time in a field that went past it and tells the user.
  void AdjustToEnd(double& value, int editId, const char* field, double end);

  double* m_pTimes;
  std::function<double()> m_projectEndTime;
  double m_from = 0.0;
  double m_to = 0.0;
  int m_mode = -1;
  CNumSpinCtrl m_fromSpin;
  CNumSpinCtrl m_toSpin;
};
