#pragma once
// A DC to measure texts and buttons on: a memory DC of the screen's kind, kept for the
// program's life, its state (the fonts a measurement selects) restored when the
// object goes. A window's own DC measures the same, but under wine getting one is a
// request to the window server each time.
#include "platform/afx/afxwin.h"

class MeasuringDC : public CDC {
public:
  MeasuringDC();
  ~MeasuringDC() override;
  MeasuringDC(const MeasuringDC&) = delete;
  MeasuringDC& operator=(const MeasuringDC&) = delete;

private:
  int m_saved = 0;
};
