#include "app/skin/MMButton.h"

#include <commctrl.h>

#include "app/view/ShellServices.h"

BEGIN_MESSAGE_MAP(CMMButton, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSELEAVE()
  ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

CMMButton::CMMButton() = default;

CMMButton::~CMMButton() {
  for (HBITMAP& face : m_hFaces)
    if (face) ::DeleteObject(face);
  if (m_hToolTip) ::DestroyWindow(m_hToolTip);
}

BOOL CMMButton::CreateFromControl(UINT id, CWnd* parent, BOOL toggle) {
  if (!parent) return FALSE;
  HWND placeholder = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  if (!placeholder) return FALSE;
  RECT rect;
  ::GetWindowRect(placeholder, &rect);
  ::MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  ::DestroyWindow(placeholder);
  return Create(WS_CHILD | WS_VISIBLE, rect, parent, id, toggle);
}

BOOL CMMButton::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, BOOL toggle) {
  WNDCLASSA existing;
  if (!::GetClassInfoA(AfxGetInstanceHandle(), kClassName, &existing)) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    if (!::RegisterClassA(&wc)) return FALSE;
  }
  m_bToggle = toggle;
  return CWnd::Create(kClassName, "", style, rect, parent, id);
}

BOOL CMMButton::SetImages(UINT normalId, UINT disabledId, UINT hoverId, UINT maskId) {
  skin::ComposeButtonImage(&m_hFaces[kNormal], 0, normalId, maskId);
  skin::ComposeButtonImage(&m_hFaces[kDown], 1, normalId, maskId);
  skin::ComposeButtonImage(&m_hFaces[kDisabled], 0, disabledId, maskId);
  skin::ComposeButtonImage(&m_hFaces[kHover], 0, hoverId, maskId);
  BITMAP info{};
  if (m_hFaces[kNormal] && ::GetObjectA(m_hFaces[kNormal], sizeof(info), &info)) {
    m_nWidth = info.bmWidth;
    m_nHeight = std::abs(info.bmHeight);
  }
  if (m_hWnd) Repaint();
  return TRUE;
}

void CMMButton::SizeToImage() {
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_nWidth, m_nHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void CMMButton::Repaint() {
  if (!m_hWnd) return;
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  ::UpdateWindow(m_hWnd);
}

void CMMButton::Enable() {
  m_bEnabled = TRUE;
  m_nImage = m_bDown ? kDown : kNormal;
  Repaint();
}

void CMMButton::Disable() {
  m_bEnabled = FALSE;
  m_nImage = kDisabled;
  if (m_hWnd && ::GetCapture() == m_hWnd) ::ReleaseCapture();
  m_bPressed = FALSE;
  Repaint();
}

void CMMButton::SetDown() {
  m_bDown = TRUE;
  m_nImage = kDown;
  Repaint();
}

void CMMButton::SetUp() {
  m_bDown = FALSE;
  m_nImage = kNormal;
  if (m_hWnd && ::GetCapture() == m_hWnd) ::ReleaseCapture();
  m_bPressed = FALSE;
  Repaint();
}

void CMMButton::SetTooltip(const char* text) {
  m_tipText = text ? text : "";
  if (m_tipText.empty()) {
    if (m_hToolTip) ::SendMessageA(m_hToolTip, TTM_ACTIVATE, FALSE, 0);
    return;
  }
  // The tip's window is made when the pointer first comes over the button.
  if (m_hToolTip) ShowTooltip();
}

void CMMButton::ShowTooltip() {
  TOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = m_hWnd;
  tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
  tool.lpszText = const_cast<char*>(m_tipText.c_str());
  if (!m_hToolTip) {
    m_hToolTip =
        ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
    if (!m_hToolTip) return;
    ::SendMessageA(m_hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    ::SendMessageA(m_hToolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  ::SendMessageA(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
}

BOOL CMMButton::PreTranslateMessage(MSG* msg) {
  if (!m_hToolTip && !m_tipText.empty() && msg->message == WM_MOUSEMOVE && msg->hwnd == m_hWnd) ShowTooltip();
  if (m_hToolTip &&
      (msg->message == WM_MOUSEMOVE || msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONUP))
    ::SendMessageA(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
    ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0),
                   reinterpret_cast<LPARAM>(m_hWnd));
    return TRUE;
  }
  return CWnd::PreTranslateMessage(msg);
}

void CMMButton::Paint(HDC dc) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  HBITMAP face = m_hFaces[m_nImage];
  if (face) {
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, face);
    ::BitBlt(dc, 0, 0, m_nWidth, m_nHeight, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    if (m_nImage == kHover) {
      const ColorSchemeOptions& scheme = GetColorScheme();
      RECT frame = client;
      ::InflateRect(&frame, -13, -13);
      HBRUSH light = ::CreateSolidBrush(SchemeColor(scheme.LightShade));
      HBRUSH dark = ::CreateSolidBrush(SchemeColor(scheme.DarkShade));
      RECT edge{frame.left, frame.top, frame.right - 1, frame.top + 1};
      ::FillRect(dc, &edge, light);
      edge = RECT{frame.left, frame.top, frame.left + 1, frame.bottom - 1};
      ::FillRect(dc, &edge, light);
      edge = RECT{frame.right - 1, frame.top, frame.right, frame.bottom};
      ::FillRect(dc, &edge, dark);
      edge = RECT{frame.left, frame.bottom - 1, frame.right, frame.bottom};
      ::FillRect(dc, &edge, dark);
      ::DeleteObject(light);
      ::DeleteObject(dark);
    }
  } else {
    HBRUSH bar = ::CreateSolidBrush(SchemeColor(GetColorScheme().ControlBar));
    ::FillRect(dc, &client, bar);
    ::DeleteObject(bar);
  }
}

void CMMButton::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  Paint(dc);
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CMMButton::OnPrintClient(WPARAM dc, LPARAM) {
  Paint(reinterpret_cast<HDC>(dc));
  return 0;
}

void CMMButton::UpdateState(POINT point) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const bool inside = ::PtInRect(&client, point);
  if (!m_bToggle) {
    if (m_bPressed)
      m_nImage = inside ? kDown : kNormal;
    else if (m_bEntered) {
      m_nImage = kHover;
      m_bEntered = FALSE;
    } else if (m_bLeft) {
      m_nImage = kNormal;
      m_bLeft = FALSE;
    }
  } else {
    if (m_bPressed)
      m_nImage = inside ? kDown : (m_bDown ? kDown : kNormal);
    else if (m_bEntered) {
      m_nImage = m_bDown ? kDown : kHover;
      m_bEntered = FALSE;
    } else if (m_bLeft) {
      m_nImage = m_bDown ? kDown : kNormal;
      m_bLeft = FALSE;
    }
  }
  Repaint();
}

void CMMButton::OnMouseMove(UINT, CPoint point) {
  if (IgnoresMouse()) return Repaint();
  if (!m_bTracking) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = m_hWnd;
    track.dwHoverTime = 1;
    m_bTracking = ::TrackMouseEvent(&track);
    m_bEntered = m_bLeft = FALSE;
  }
  UpdateState(point);
}

LRESULT CMMButton::OnMouseHover(WPARAM, LPARAM lParam) {
  if (IgnoresMouse()) {
    Repaint();
    return 0;
  }
  m_bEntered = TRUE;
  UpdateState(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
  return 0;
}

void CMMButton::OnMouseLeave() {
  m_bTracking = FALSE;
  if (IgnoresMouse()) return Repaint();
  m_bLeft = TRUE;
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::ScreenToClient(m_hWnd, &cursor);
  UpdateState(cursor);
}

void CMMButton::OnLButtonDown(UINT, CPoint point) {
  if (IgnoresMouse()) return Repaint();
  m_bPressed = TRUE;
  ::SetCapture(m_hWnd);
  UpdateState(point);
}

void CMMButton::OnLButtonUp(UINT flags, CPoint point) {
  if (IgnoresMouse()) return Repaint();
  m_bPressed = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (::PtInRect(&client, point)) {
    if (m_bToggle && m_bDown) {
      m_nImage = kHover;
      m_bDown = FALSE;
    } else {
      m_nImage = kDown;
      m_bDown = TRUE;
    }
    m_bShift = (flags & MK_SHIFT) != 0;
    ::PostMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0),
                   reinterpret_cast<LPARAM>(m_hWnd));
  } else {
    m_nImage = m_bDown ? kDown : kNormal;
  }
  Repaint();
}
