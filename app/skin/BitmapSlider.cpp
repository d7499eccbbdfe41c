#include "app/skin/BitmapSlider.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

BEGIN_MESSAGE_MAP(CBitmapSlider, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_KEYDOWN()
  ON_WM_GETDLGCODE()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_SETCURSOR()
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

CBitmapSlider::CBitmapSlider()
    : m_clrGroove(::GetSysColor(COLOR_BTNFACE)),
      m_clrLight(::GetSysColor(COLOR_3DLIGHT)),
      m_clrDark(::GetSysColor(COLOR_3DDKSHADOW)) {}

CBitmapSlider::~CBitmapSlider() { OnDestroy(); }

BOOL CBitmapSlider::SubclassFromControl(UINT id, CWnd* parent) {
  if (!parent || !SubclassDlgItem(id, parent)) return FALSE;
  // Static controls want SS_NOTIFY to see the mouse.
  ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | SS_NOTIFY | WS_TABSTOP);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  m_nWidth = client.right;
  m_nHeight = client.bottom;
  return TRUE;
}

void CBitmapSlider::SetRange(int minimum, int maximum, BOOL redraw) {
  m_nMin = minimum;
  m_nMax = maximum;
  if (redraw && m_hWnd) Invalidate(TRUE);
}
void CBitmapSlider::SetMinimum(int minimum, BOOL redraw) { SetRange(minimum, m_nMax, redraw); }
void CBitmapSlider::SetMaximum(int maximum, BOOL redraw) { SetRange(m_nMin, maximum, redraw); }

void CBitmapSlider::SetPos(int position) {
  position = std::min(position, m_nMax);
  position = std::max(position, m_nMin);
  m_nPos = position;
  if (m_hWnd) Invalidate(TRUE);
}

int CBitmapSlider::SetPageSize(int size) {
  const int old = m_nPage;
  m_nPage = size;
  return old;
}

void CBitmapSlider::SetMargin(int left, int top, int right, int bottom) {
  m_nMarginLeft = left;
  m_nMarginTop = top;
  m_nMarginRight = right;
  m_nMarginBottom = bottom;
}

void CBitmapSlider::SetDrawFocusRect(BOOL flag, BOOL redraw) {
  m_bDrawFocus = flag;
  if (redraw && m_hWnd) Invalidate(TRUE);
}

BOOL CBitmapSlider::SetBitmapThumb(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof(info), &info)) return FALSE;
  const int w = info.bmWidth, h = std::abs(info.bmHeight);
  HDC screen = ::GetDC(nullptr);
  HDC from = ::CreateCompatibleDC(screen);
  HDC to = ::CreateCompatibleDC(screen);
  HBITMAP copy = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ oldFrom = ::SelectObject(from, bitmap);
  HGDIOBJ oldTo = ::SelectObject(to, copy);
  ::BitBlt(to, 0, 0, w, h, from, 0, 0, SRCCOPY);
  ::SelectObject(from, oldFrom);
  ::SelectObject(to, oldTo);
  ::DeleteDC(from);
  ::DeleteDC(to);
  ::ReleaseDC(nullptr, screen);
  if (m_hThumb) ::DeleteObject(m_hThumb);
  m_hThumb = copy;
  m_nThumbWidth = w;
  m_nThumbHeight = h;
  m_bThumbSet = TRUE;
  if (m_hWnd) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    m_nWidth = client.right;
    m_nHeight = client.bottom;
  }
  return TRUE;
}

void CBitmapSlider::SetGrooveColors(COLORREF background, COLORREF light, COLORREF dark) {
  m_clrGroove = background;
  m_clrLight = light;
  m_clrDark = dark;
  if (m_hWnd) Invalidate(TRUE);
}

double CBitmapSlider::GetRatio() const {
  if (m_nMax == m_nMin) return 1.0;
  return static_cast<double>(m_nPos) / (m_nMax - m_nMin);
}

int CBitmapSlider::PixelOfPos(int position) const {
  if (m_nMax == m_nMin) return ThumbLength() / 2 + MarginStart();
  return ThumbLength() / 2 + MarginStart() +
         static_cast<int>(static_cast<double>(position - m_nMin) / (m_nMax - m_nMin) *
                          (Length() - MarginEnd() - ThumbLength() - MarginStart()));
}

int CBitmapSlider::PosOfPixel(int pixel) const {
  const int span = Length() - MarginEnd() - MarginStart() - ThumbLength();
  if (span <= 0) return m_nMin;
  return static_cast<int>(
      static_cast<double>(pixel - ThumbLength() / 2 - MarginStart()) / span * (m_nMax - m_nMin) + m_nMin);
}

void CBitmapSlider::Notify(UINT message) {
  ::PostMessageA(::GetParent(m_hWnd), message, static_cast<WPARAM>(GetDlgCtrlID()), m_nPos);
}

void CBitmapSlider::OnLButtonDown(UINT, CPoint point) {
  if (!m_bEnabled) return;
  ::SetCapture(m_hWnd);
  ::SetFocus(m_hWnd);
  m_bCaptured = TRUE;
  m_bDragging = FALSE;
  const int centre = PixelOfPos(m_nPos);
  const int press = Along(point);
  if (std::abs(press - centre) <= ThumbLength() / 2) {
    m_bDragging = TRUE;
    m_nDragOffset = press - centre;
  } else {
    m_nDragOffset = 0;
  }
  m_ptPress = point;
  m_bMoved = FALSE;
  Invalidate(TRUE);
}

void CBitmapSlider::OnMouseMove(UINT, CPoint point) {
  if (!m_bEnabled || !m_bCaptured) return;
  m_bMoved = TRUE;
  const int low = ThumbLength() / 2 + MarginStart();
  const int high = Length() - MarginEnd() - ThumbLength() / 2;
  const int pixel = std::max(low, std::min(high, Along(point) - m_nDragOffset));
  if (m_bDragging && pixel != PixelOfPos(m_nPos)) {
    SetPos(PosOfPixel(pixel));
    Notify(kSliderMoving);
  }
}

void CBitmapSlider::OnLButtonUp(UINT, CPoint point) {
  if (!m_bEnabled) return;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  m_bCaptured = FALSE;
  Invalidate(TRUE);
  if (m_bDragging && (point.x != m_ptPress.x || point.y != m_ptPress.y || m_bMoved)) Notify(kSliderMoved);
  m_bDragging = FALSE;
}

void CBitmapSlider::OnKeyDown(UINT key, UINT repeatCount, UINT flags) {
  if (!m_bEnabled) return;
  int position;
  switch (key) {
    case VK_LEFT:
    case VK_UP:
      position = m_nPos - 1;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      position = m_nPos + 1;
      break;
    case VK_PRIOR:
      position = m_nPos - m_nPage;
      break;
    case VK_NEXT:
      position = m_nPos + m_nPage;
      break;
    case VK_HOME:
      position = m_nMin;
      break;
    case VK_END:
      position = m_nMax;
      break;
    default:
      Default();
      return;
  }
  SetPos(position);
  Notify(kSliderMoved);
}

UINT CBitmapSlider::OnGetDlgCode() { return (::GetKeyState(VK_TAB) & 0x8000) ? 0 : DLGC_WANTALLKEYS; }

void CBitmapSlider::OnSetFocus(CWnd*) {
  m_bFocus = TRUE;
  Invalidate(TRUE);
}
void CBitmapSlider::OnKillFocus(CWnd*) {
  m_bFocus = FALSE;
  Invalidate(TRUE);
}

BOOL CBitmapSlider::OnSetCursor(CWnd*, UINT, UINT) {
  ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  return TRUE;
}

void CBitmapSlider::OnSize(UINT, int cx, int cy) {
  m_nWidth = cx;
  m_nHeight = cy;
  if (m_hBackground) ::DeleteObject(m_hBackground);
  m_hBackground = nullptr;
}

void CBitmapSlider::OnDestroy() {
  if (m_hThumb) ::DeleteObject(m_hThumb);
  if (m_hBackground) ::DeleteObject(m_hBackground);
  m_hThumb = m_hBackground = nullptr;
  m_bThumbSet = FALSE;
}

void CBitmapSlider::Paint(HDC dc) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  HDC buffer = ::CreateCompatibleDC(dc);
  HBITMAP bits = ::CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ oldBits = ::SelectObject(buffer, bits);
  // The parent's face under the control: its erase colour (the panel asks its parent
  // to paint the background through WM_ERASEBKGND).
  HWND parent = ::GetParent(m_hWnd);
  POINT origin{0, 0};
  ::MapWindowPoints(m_hWnd, parent, &origin, 1);
  ::SetWindowOrgEx(buffer, origin.x, origin.y, nullptr);
  ::SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer), 0);
  ::SetWindowOrgEx(buffer, 0, 0, nullptr);

  // The groove across the slider between the margins.
  RECT groove;
  if (!m_bVertical) {
    const int mid = client.bottom / 2;
    groove = RECT{m_nMarginLeft, mid - m_nGrooveThickness / 2, client.right - m_nMarginRight,
                  mid - m_nGrooveThickness / 2 + m_nGrooveThickness};
  } else {
    const int mid = client.right / 2;
    groove = RECT{mid - m_nGrooveThickness / 2, m_nMarginTop,
                  mid - m_nGrooveThickness / 2 + m_nGrooveThickness, client.bottom - m_nMarginBottom};
  }
  HBRUSH fill = ::CreateSolidBrush(m_clrGroove);
  ::FillRect(buffer, &groove, fill);
  ::DeleteObject(fill);
  HPEN light = ::CreatePen(PS_SOLID, 1, m_clrLight), dark = ::CreatePen(PS_SOLID, 1, m_clrDark);
  HGDIOBJ oldPen = ::SelectObject(buffer, light);
  ::MoveToEx(buffer, groove.left, groove.bottom - 1, nullptr);
  ::LineTo(buffer, groove.left, groove.top);
  ::LineTo(buffer, groove.right - 1, groove.top);
  ::SelectObject(buffer, dark);
  ::LineTo(buffer, groove.right - 1, groove.bottom - 1);
  ::LineTo(buffer, groove.left, groove.bottom - 1);
  ::SelectObject(buffer, oldPen);
  ::DeleteObject(light);
  ::DeleteObject(dark);

  if (m_bThumbSet && m_bEnabled) {
    const int centre = PixelOfPos(m_nPos);
    const int x = m_bVertical ? (client.right - m_nThumbWidth) / 2 : centre - m_nThumbWidth / 2;
    const int y = m_bVertical ? centre - m_nThumbHeight / 2 : (client.bottom - m_nThumbHeight) / 2;
    HDC thumb = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(thumb, m_hThumb);
    ::BitBlt(buffer, x, y, m_nThumbWidth, m_nThumbHeight, thumb, 0, 0, SRCCOPY);
    ::SelectObject(thumb, old);
    ::DeleteDC(thumb);
  }
  if (m_bFocus && m_bDrawFocus) {
    RECT focus = client;
    ::InflateRect(&focus, -1, -1);
    ::DrawFocusRect(buffer, &focus);
  }
  ::BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
  ::SelectObject(buffer, oldBits);
  ::DeleteObject(bits);
  ::DeleteDC(buffer);
}

void CBitmapSlider::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  Paint(dc);
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CBitmapSlider::OnPrintClient(WPARAM dc, LPARAM) {
  Paint(reinterpret_cast<HDC>(dc));
  return 0;
}
