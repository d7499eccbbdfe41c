#include "toolkit/frames/MeasuringDC.h"

MeasuringDC::MeasuringDC() {
  static const HDC kept = ::CreateCompatibleDC(nullptr);
  Attach(kept);
  m_saved = ::SaveDC(kept);
}

MeasuringDC::~MeasuringDC() { ::RestoreDC(Detach(), m_saved); }
