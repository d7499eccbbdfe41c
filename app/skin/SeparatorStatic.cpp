#include "app/skin/SeparatorStatic.h"

#include "app/view/ShellServices.h"

BEGIN_MESSAGE_MAP(CSeparatorStatic, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

void CSeparatorStatic::Paint(HDC dc) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const ColorSchemeOptions& scheme = GetColorScheme();
  HBRUSH bar = ::CreateSolidBrush(SchemeColor(scheme.ControlBar));
  ::FillRect(dc, &client, bar);
  ::DeleteObject(bar);
  HBRUSH light = ::CreateSolidBrush(SchemeColor(scheme.LightShade));
  HBRUSH dark = ::CreateSolidBrush(SchemeColor(scheme.DarkShade));
  const int top = client.top + 2, bottom = client.bottom - 2;
  for (int line = 0; line < 2; ++line) {
    const int x = (client.left + client.right) / 2 - 1 + line * 3;
    RECT left{x, top, x + 1, bottom};  // light shade top-left, dark bottom-right
    ::FillRect(dc, &left, light);
    RECT right{x + 1, top, x + 2, bottom};
    ::FillRect(dc, &right, dark);
    RECT corner{x, bottom - 1, x + 1, bottom};
    ::FillRect(dc, &corner, light);
  }
  ::DeleteObject(light);
  ::DeleteObject(dark);
}

void CSeparatorStatic::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  Paint(dc);
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CSeparatorStatic::OnPrintClient(WPARAM dc, LPARAM) {
  Paint(reinterpret_cast<HDC>(dc));
  return 0;
}
