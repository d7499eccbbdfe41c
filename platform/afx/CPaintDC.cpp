#include "platform/afx/CPaintDC.h"

#include "platform/afx/CWnd.h"

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(AfxGetSafeHwnd(wnd)) { Attach(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
  Detach();
  ::EndPaint(m_hWnd, &m_ps);
}
