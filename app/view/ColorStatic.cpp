#include "app/view/ColorStatic.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

BEGIN_MESSAGE_MAP(CColorStatic, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CColorStatic::CColorStatic() {
  m_hBackBrush = ::CreateSolidBrush(m_background);
  m_hForeBrush = ::CreateSolidBrush(m_foreground);
}

CColorStatic::~CColorStatic() {
  ::DeleteObject(m_hBackBrush);
  ::DeleteObject(m_hForeBrush);
}

void CColorStatic::Redraw() {
  if (m_hWnd) Invalidate(FALSE);
}

void CColorStatic::SetBkColor(COLORREF color) {
  m_background = color == static_cast<COLORREF>(-1) ? ::GetSysColor(COLOR_BTNFACE) : color;
  ::DeleteObject(m_hBackBrush);
  m_hBackBrush = ::CreateSolidBrush(m_background);
  Redraw();
}

void CColorStatic::SetFgColor(COLORREF color) {
  m_foreground = color == static_cast<COLORREF>(-1) ? ::GetSysColor(COLOR_BTNTEXT) : color;
  ::DeleteObject(m_hForeBrush);
  m_hForeBrush = ::CreateSolidBrush(m_foreground);
  Redraw();
}

void CColorStatic::SetDimColor(COLORREF color) {
  m_dim = color;
  m_bDimSet = TRUE;
  Redraw();
}

void CColorStatic::SetText(const char* text) {
  if (m_strText == text) return;  // the display already shows it
  m_strText = text;
  Redraw();
}

int CColorStatic::SegmentCode(char c) {
  switch (c) {
    case '0':
      return 252;
    case '1':
      return 96;
    case '2':
      return 218;
    case '3':
      return 242;
    case '4':
      return 102;
    case '5':
      return 182;
    case '6':
      return 190;
    case '7':
      return 224;
    case '8':
      return 254;
    case '9':
      return 246;
    case '-':
      return 2;
    case '.':
      return 256;
    case ':':
      return 257;
    default:
      return 0;
  }
}

void CColorStatic::DrawCode(HDC dc, int code, int x) {
  const int t = m_nThickness, L = m_nLength;
  auto line = [dc](int x0, int y0, int x1, int y1) {
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
  };
  if (code == 256) {
    line(x + 2 * t, 2 * L + 4 * t, x + L / 2, 2 * L + 4 * t);
  } else if (code == 257) {
    line(x + 4 * t, L, x + L / 2 + 2 * t, L);
    line(x + 4 * t, 2 * L + t, x + L / 2 + 2 * t, 2 * L + t);
  } else {
    int bits = code == kDimCode ? 254 : code;
    if (bits & 128) line(x + 2 * t, t, x + L, t);
    if (bits & 64) line(x + L + t, 2 * t, x + L + t, L + 2 * t);
    if (bits & 32) line(x + L + t, L + 4 * t, x + L + t, 2 * L + 3 * t);
    if (bits & 16) line(x + 2 * t, 2 * L + 4 * t, x + L, 2 * L + 4 * t);
    if (bits & 8) line(x + t, L + 4 * t, x + t, 2 * L + 3 * t);
    if (bits & 4) line(x + t, 2 * t, x + t, L + 2 * t);
    if (bits & 2) line(x + 2 * t, L + 3 * t, x + L, L + 3 * t);
  }
}

void CColorStatic::OnPaint() {
  CPaintDC paint(this);
  RECT client;
  GetClientRect(&client);
  if (client.right <= 0 || client.bottom <= 0) ::GetClipBox(paint.m_hDC, &client);
  const int width = client.right - client.left, height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  HDC mem = ::CreateCompatibleDC(paint.m_hDC);
  HBITMAP bitmap = CreateOffscreenBitmap(width, height);
  HGDIOBJ oldBitmap = ::SelectObject(mem, bitmap);
  RECT all{0, 0, width, height};
  ::FillRect(mem, &all, m_hBackBrush);
  if (!m_bMetrics) {
    m_nThickness = std::max(1, static_cast<int>(height * 0.06));
    m_nLength = std::max(1, static_cast<int>(height * 0.35));
    m_nPenWidth = m_nThickness;
    m_bMetrics = TRUE;
  }
  // One pen for the lit segments and one for the unlit ones, for the whole text.
  const COLORREF dim =
      m_bDimSet ? m_dim
                : RGB(GetRValue(m_foreground) / 3, GetGValue(m_foreground) / 3, GetBValue(m_foreground) / 3);
  HPEN litPen = ::CreatePen(PS_SOLID, m_nPenWidth, m_foreground);
  HPEN dimPen = m_bShowDim ? ::CreatePen(PS_SOLID, m_nPenWidth, dim) : nullptr;
  HGDIOBJ oldPen = ::SelectObject(mem, litPen);
  int x = 0;
  char previous = 0;
  bool first = true;
  for (int i = 0; i < m_strText.GetLength(); ++i) {
    char c = m_strText[i];
    int code = SegmentCode(c);
    if (!code) continue;  // takes no place
    if (!first) {
      if (c == ':')
        x += m_nThickness + m_nLength;
      else if (previous == ':')
        x += m_nLength + 1;
      else
        x += m_nLength + 4 * m_nThickness;
    }
    if (dimPen && c != ':') {
      ::SelectObject(mem, dimPen);
      DrawCode(mem, kDimCode, x);
      ::SelectObject(mem, litPen);
    }
    DrawCode(mem, code, x);
    previous = c;
    first = false;
  }
  ::SelectObject(mem, oldPen);
  ::DeleteObject(litPen);
  if (dimPen) ::DeleteObject(dimPen);
  ::BitBlt(paint.m_hDC, client.left, client.top, width, height, mem, 0, 0, SRCCOPY);
  ::SelectObject(mem, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(mem);
}
