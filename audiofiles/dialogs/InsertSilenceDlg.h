#pragma once
// The Insert Silence dialog: the duration of the silence in seconds (0 to 300).
#include "app/controls/NumSpinCtrl.h"
#include "resources/resource.h"

class CInsertSilenceDlg : public CDialog {
public:
  enum { IDD = IDD_INSERT_SILENCE };
  explicit CInsertSilenceDlg(double duration, CWnd* parent = nullptr);

  // The chosen duration (after OK).
  double GetDuration() const { return m_duration; }

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

private:
  double m_duration;
  CNumSpinCtrl m_durationSpin;
};
