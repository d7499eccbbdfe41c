#include "app/view/ViewScrollBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include "platform/afx/linux_headers_end.h"

BEGIN_MESSAGE_MAP(CViewScrollBar, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CViewScrollBar::Create(CWnd* parent, DWORD style) {
  return CreateEx(0, "SCROLLBAR", "", WS_CHILD | style, 0, 0, 0, 0, parent->m_hWnd, nullptr);
}

bool CViewScrollBar::LooksChanged() {
  SCROLLBARINFO now{};
  now.cbSize = sizeof now;
  if (!::GetScrollBarInfo(m_hWnd, OBJID_CLIENT, &now)) return true;
  const bool changed = now.dxyLineButton != m_shown.dxyLineButton || now.xyThumbTop != m_shown.xyThumbTop ||
                       now.xyThumbBottom != m_shown.xyThumbBottom ||
                       std::memcmp(now.rgstate, m_shown.rgstate, sizeof now.rgstate) != 0 ||
                       !::EqualRect(&now.rcScrollBar, &m_shown.rcScrollBar);
  m_shown = now;
  return changed;
}

void CViewScrollBar::SetInfo(const SCROLLINFO& info) {
  SCROLLINFO copy = info;
  ::SetScrollInfo(m_hWnd, SB_CTL, &copy, FALSE);
  if (LooksChanged()) Invalidate(FALSE);
}

void CViewScrollBar::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  RECT client;
  GetClientRect(&client);
  HDC mem = client.right > 0 && client.bottom > 0 ? ::CreateCompatibleDC(dc) : nullptr;
  HBITMAP picture = mem ? CreateOffscreenBitmap(client.right, client.bottom) : nullptr;
  if (picture) {
    HGDIOBJ old = ::SelectObject(mem, picture);
    // The control draws itself into the DC it is given.
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteObject(picture);
  } else {
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  if (mem) ::DeleteDC(mem);
  ::EndPaint(m_hWnd, &paint);
  LooksChanged();
}
