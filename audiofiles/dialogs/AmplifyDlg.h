#pragma once
// The Amplify dialog: a slider from -24.0 dB to +24.0 dB in steps of 0.1 dB, the ratio
// it gives and the selection's peak after amplifying, both read-only.
#include "platform/afx/afxwin.h"
#include "resources/resource.h"

class CAmplifyDlg : public CDialog {
public:
  enum { IDD = IDD_AMPLIFY };
  // ratio: the ratio to start from; peak: the selection's largest absolute sample.
  CAmplifyDlg(double ratio, double peak, CWnd* parent = nullptr);

  // The chosen ratio (after OK).
  double GetRatio() const { return m_ratio; }

  // Slider positions in tenths of a decibel, 240 being 0 dB.
  static constexpr int kSliderMax = 480;
  static constexpr int kSliderZero = 240;
  static int SliderPosition(double ratio);

protected:
  BOOL OnInitDialog() override;
  void OnHScroll(UINT code, UINT position, CWnd* scrollBar);

  DECLARE_MESSAGE_MAP()

private:
  void ShowValues(double ratio, double peak);

  double m_ratio;
  double m_peak;
};
