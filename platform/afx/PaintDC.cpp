#include "platform/afx/PaintDC.h"

#include "platform/afx/Wnd.h"

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(AfxGetSafeHwnd(wnd)) { Attach(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
  Detach();
  ::EndPaint(m_hWnd, &m_ps);
}
