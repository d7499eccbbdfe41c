#include "app/MainFrame.h"

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

void CMainFrame::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  RECT client;
  GetClientRect(&client);
  HBRUSH brush = ::CreateSolidBrush(kBackground);
  ::FillRect(dc, &client, brush);
  ::DeleteObject(brush);
  CString title;
  GetWindowText(title);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0xE0, 0xE8, 0xF0));
  ::DrawTextA(dc, title, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::EndPaint(m_hWnd, &ps);
}
