#include "toolkit/frames/TKMDIClientArea.h"

#include "toolkit/frames/TKMDIFrameWnd.h"

BOOL CTKMDIClientArea::AttachClient(CTKMDIFrameWnd* frame, HWND client) {
  m_pFrame = frame;
  return SubclassWindow(client);
}

HICON CTKMDIClientArea::IconOf(HWND child) {
  if (!child) return nullptr;
  HICON icon = reinterpret_cast<HICON>(::SendMessageA(child, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(child, GCLP_HICONSM));
  if (!icon) icon = reinterpret_cast<HICON>(::SendMessageA(child, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrA(child, GCLP_HICON));
  return icon;
}

LRESULT CTKMDIClientArea::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
  switch (message) {
    case WM_MDICREATE:
    case WM_MDIDESTROY:
    case WM_MDIACTIVATE:
    case WM_MDIMAXIMIZE:
    case WM_MDIRESTORE:
    case WM_MDINEXT:
    case WM_MDICASCADE:
    case WM_MDITILE:
    case WM_MDISETMENU:
    case WM_CHILDACTIVATE:
    case WM_PARENTNOTIFY:
    case WM_SIZE:
      if (m_pFrame) m_pFrame->DelayUpdateMenuBarButtons();
      break;
    default:
      break;
  }
  return result;
}
