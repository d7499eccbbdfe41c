#pragma once
// The Echo dialog: delay in seconds (0 to 60) and decay ratio (above 0, at most 1).
#include "app/controls/NumSpinCtrl.h"
#include "resources/resource.h"

class CEchoDlg : public CDialog {
public:
  enum { IDD = IDD_ECHO };
  CEchoDlg(double delay, double decay, CWnd* parent = nullptr);

  // The chosen values (after OK).
  double GetDelay() const { return m_delay; }
  double GetDecay() const { return m_decay; }

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

private:
  double m_delay;
  double m_decay;
  CNumSpinCtrl m_delaySpin;
  CNumSpinCtrl m_decaySpin;
};
