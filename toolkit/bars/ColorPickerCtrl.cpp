#include "toolkit/bars/ColorPickerCtrl.h"

#include "toolkit/frames/DrawManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr int kBarMargin = 5;
constexpr double kKeyStep = 0.05;

COLORREF Snapped(COLORREF colour, int tolerance) {
  return RGB(CColorPickerCtrl::SnapComponent(GetRValue(colour), tolerance),
             CColorPickerCtrl::SnapComponent(GetGValue(colour), tolerance),
             CColorPickerCtrl::SnapComponent(GetBValue(colour), tolerance));
}

int ScreenBits() {
  HDC screen = ::GetDC(nullptr);
  const int bits = ::GetDeviceCaps(screen, BITSPIXEL);
  ::ReleaseDC(nullptr, screen);
  return bits;
}

double Clamp01(double value) { return std::min(1.0, std::max(0.0, value)); }

}  // namespace

CColorPickerCtrl::CColorPickerCtrl() = default;

CColorPickerCtrl::~CColorPickerCtrl() { DropCache(); }

int CColorPickerCtrl::SnapComponent(int value, int tolerance) {
  if (tolerance == 0) return value;
  if (value < tolerance) return 0;
  if (value > 255 - tolerance) return 255;
  if (std::abs(value - 128) < tolerance) return 128;
  if (std::abs(value - 192) < tolerance) return 192;
  return value;
}

void CColorPickerCtrl::DropCache() {
  if (m_cachedField) ::DeleteObject(m_cachedField);
  m_cachedField = nullptr;
  m_cachedSize = SIZE{0, 0};
  m_cellsLaidOutFor = SIZE{0, 0};
}

void CColorPickerCtrl::SetType(Kind kind) {
  m_kind = kind;
  DropCache();
  if (m_hWnd) Invalidate();
}

void CColorPickerCtrl::SetPalette(HPALETTE palette) {
  m_palette = palette;
  DropCache();
  if (m_hWnd) Invalidate();
}

void CColorPickerCtrl::SetColor(COLORREF colour) {
  m_colour = colour;
  double hue = 0, saturation = 0, lightness = 0;
  DrawManager::RgbToHls(colour, &hue, &saturation, &lightness);
  m_hue = hue;
  m_saturation = saturation;
  m_lightness = lightness;
  if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CColorPickerCtrl::SetOriginalColor(COLORREF colour) {
  m_originalColour = colour;
  if (m_hWnd) Invalidate();
}

void CColorPickerCtrl::SetHLS(double hue, double lightness, double saturation, BOOL invalidate) {
  if (hue != -1.0) m_hue = hue;
  if (lightness != -1.0) m_lightness = lightness;
  if (saturation != -1.0) m_saturation = saturation;
  m_colour = DrawManager::HlsToRgb(m_hue, m_lightness, m_saturation);
  if (invalidate && m_hWnd)
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CColorPickerCtrl::GetHLS(double* hue, double* lightness, double* saturation) const {
  if (hue) *hue = m_hue;
  if (lightness) *lightness = m_lightness;
  if (saturation) *saturation = m_saturation;
}

void CColorPickerCtrl::SetLuminanceBarWidth(int width) {
  if (m_hWnd) {
    CRect client;
    GetClientRect(&client);
    width = std::min<int>(width, client.Width() * 3 / 4);
  }
  m_luminanceBarWidth = width;
  if (m_hWnd) Invalidate();
}

const std::vector<CColorPickerCtrl::Cell>& CColorPickerCtrl::GetCells() {
  if (m_hWnd) {
    CRect client;
    GetClientRect(&client);
    LayoutCells(client);
  }
  return m_cells;
}

void CColorPickerCtrl::AddCell(int x, int y, int size, COLORREF colour, int tolerance) {
  Cell cell{};
  const int half = size / 2;
  const int h = static_cast<int>(size * 0.57735026) / 2;
  const POINT corners[6] = {{x - half, y - h}, {x, y - half}, {x + half, y - h},
                            {x + half, y + h}, {x, y + half}, {x - half, y + h}};
  std::copy(corners, corners + 6, cell.corners);
  cell.colour = Snapped(colour, tolerance);
  cell.paletteColour = m_palette && ScreenBits() == 8
                           ? PALETTEINDEX(::GetNearestPaletteIndex(m_palette, cell.colour))
                           : cell.colour;
  cell.centre = POINT{x, y};
  cell.size = size;
  m_cells.push_back(cell);
}

void CColorPickerCtrl::LayoutCells(const CRect& client) {
  if (m_kind != kHexagon && m_kind != kHexagonGreyScale) {
    m_cells.clear();
    return;
  }
  if (m_cellsLaidOutFor.cx == client.Width() && m_cellsLaidOutFor.cy == client.Height() && !m_cells.empty())
    return;
  m_cells.clear();
  if (m_kind == kHexagon)
    LayoutHoneycomb(client);
  else
    LayoutGreys(client);
  m_cellsLaidOutFor = SIZE{client.Width(), client.Height()};
}

void CColorPickerCtrl::LayoutHoneycomb(const CRect& client) {
  const int side = std::min(client.Width(), client.Height());
  if (side <= 0) return;
  const int size = side / 13 + 1;
  const int h = static_cast<int>(size * 0.57735026) / 2;
  const int rowStep = size / 2 + h;
  const int cx = client.left + client.Width() / 2, cy = client.top + client.Height() / 2;
  AddCell(cx, cy, size, RGB(255, 255, 255), 16);
  // Rings of cells around the white centre, by their hexagonal distance from it; the
  // hue is the direction of the cell from the centre, the lightness grows outwards.
  for (int ring = 1; ring <= 6; ++ring) {
    for (int r = -ring; r <= ring; ++r) {
      for (int q = -ring; q <= ring; ++q) {
        if (std::max({std::abs(q), std::abs(r), std::abs(q + r)}) != ring) continue;
        const int x = cx + q * size + r * size / 2;
        const int y = cy + r * rowStep;
        double angle =
            std::atan2(static_cast<double>(cy - y), static_cast<double>(x - cx)) * 57.29577951308239;
        if (angle < 0) angle += 360.0;
        const double lightness = ring / 7.0 + 0.1;
        AddCell(x, y, size, DrawManager::HlsDegreesToRgb(angle, lightness, 1.0), 16);
      }
    }
  }
}

void CColorPickerCtrl::LayoutGreys(const CRect& client) {
  int size = std::min<int>((client.Height() / 2 - 2) & ~1, client.Width() / 13);
  if (size <= 2) return;
  const int h = static_cast<int>(size * 0.57735026) / 2;
  const int cy = client.top + client.Height() / 2;
  const int big = size * 2;
  int x = client.left + client.Width() / 2 - 6 * size;
  AddCell(x + big / 2, cy, big, RGB(255, 255, 255), 7);
  x += big + size / 2;
  const int offset = (size / 2 + h) / 2;
  for (int i = 0; i < 15; ++i) {
    const int grey = 240 - 15 * i;
    AddCell(x + i * size / 2, (i % 2) ? cy + offset : cy - offset, size, RGB(grey, grey, grey), 7);
  }
  x += 14 * size / 2 + size / 2;
  AddCell(x + big / 2, cy, big, RGB(0, 0, 0), 7);
}

int CColorPickerCtrl::CellAt(POINT point) const {
  for (size_t i = 0; i < m_cells.size(); ++i) {
    HRGN region = ::CreatePolygonRgn(m_cells[i].corners, 6, WINDING);
    const BOOL inside = ::PtInRegion(region, point.x, point.y);
    ::DeleteObject(region);
    if (inside) return static_cast<int>(i);
  }
  return -1;
}

CRect CColorPickerCtrl::BarRect(const CRect& client) const {
  return CRect(client.left, client.top + kBarMargin, client.left + m_luminanceBarWidth,
               client.bottom - kBarMargin);
}

BOOL CColorPickerCtrl::PickAt(POINT point) {
  CRect client;
  GetClientRect(&client);
  const COLORREF before = m_colour;
  const double hue = m_hue, saturation = m_saturation, lightness = m_lightness;
  switch (m_kind) {
    case kPicker:
      if (client.Width() <= 0 || client.Height() <= 0) return FALSE;
      SetHLS(Clamp01(static_cast<double>(point.x - client.left) / client.Width()), -1.0,
             Clamp01(1.0 - static_cast<double>(point.y - client.top) / client.Height()), FALSE);
      break;
    case kLuminanceBar: {
      const CRect bar = BarRect(client);
      if (bar.Height() <= 0) return FALSE;
      SetHLS(-1.0, Clamp01(static_cast<double>(bar.bottom - point.y) / bar.Height()), -1.0, FALSE);
      break;
    }
    case kHexagon:
    case kHexagonGreyScale: {
      LayoutCells(client);
      const int cell = CellAt(point);
      if (cell < 0) return FALSE;
      m_colour = m_cells[static_cast<size_t>(cell)].colour;
      double h = 0, s = 0, l = 0;
      DrawManager::RgbToHls(m_colour, &h, &s, &l);
      m_hue = h;
      m_saturation = s;
      m_lightness = l;
      break;
    }
    default:
      return FALSE;
  }
  return m_colour != before || m_hue != hue || m_saturation != saturation || m_lightness != lightness;
}

void CColorPickerCtrl::KeyPick(UINT key) {
  double hue = m_hue, saturation = m_saturation, lightness = m_lightness;
  if (m_kind == kPicker) {
    if (key == VK_LEFT) hue -= kKeyStep;
    if (key == VK_RIGHT) hue += kKeyStep;
    if (key == VK_DOWN) saturation -= kKeyStep;
    if (key == VK_UP) saturation += kKeyStep;
  } else if (m_kind == kLuminanceBar) {
    if (key == VK_UP) lightness += kKeyStep;
    if (key == VK_DOWN) lightness -= kKeyStep;
  } else {
    return;
  }
  SetHLS(Clamp01(hue), Clamp01(lightness), Clamp01(saturation), FALSE);
  Changed(TRUE);
}

void CColorPickerCtrl::Changed(BOOL notify) {
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  if (notify) NotifyParent(0);
}

void CColorPickerCtrl::NotifyParent(int code) {
  HWND parent = ::GetParent(m_hWnd);
  if (parent)
    ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code), reinterpret_cast<LPARAM>(m_hWnd));
}

BEGIN_MESSAGE_MAP(CColorPickerCtrl, CButton)
  ON_WM_PAINT()
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_GETDLGCODE()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CAPTURECHANGED()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_KEYDOWN()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_MESSAGE(BM_SETSTATE, OnButtonLooks)
  ON_MESSAGE(BM_SETCHECK, OnButtonLooks)
  ON_MESSAGE(BM_SETSTYLE, OnButtonLooks)
END_MESSAGE_MAP()

void CColorPickerCtrl::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  Paint(dc);
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CColorPickerCtrl::OnPrintClient(WPARAM wParam, LPARAM) {
  Paint(reinterpret_cast<HDC>(wParam));
  return 0;
}

BOOL CColorPickerCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CColorPickerCtrl::OnSize(UINT type, int cx, int cy) {
  DropCache();
  if (m_kind == kLuminanceBar) SetLuminanceBarWidth(m_luminanceBarWidth);
  CButton::OnSize(type, cx, cy);
}

void CColorPickerCtrl::OnSysColorChange() {
  DropCache();
  CButton::OnSysColorChange();
}

UINT CColorPickerCtrl::OnGetDlgCode() { return DLGC_WANTARROWS; }

void CColorPickerCtrl::OnLButtonDown(UINT, CPoint point) {
  ::SetFocus(m_hWnd);
  if (m_kind == kSwatch) return;
  ::SetCapture(m_hWnd);
  m_bTracking = TRUE;
  if (PickAt(point)) Changed(TRUE);
}

void CColorPickerCtrl::OnMouseMove(UINT flags, CPoint point) {
  if (m_bTracking && (flags & MK_LBUTTON) && PickAt(point)) Changed(TRUE);
}

void CColorPickerCtrl::OnLButtonUp(UINT, CPoint) {
  if (m_bTracking) {
    m_bTracking = FALSE;
    ::ReleaseCapture();
  }
}

void CColorPickerCtrl::OnCaptureChanged(CWnd*) { m_bTracking = FALSE; }

void CColorPickerCtrl::OnLButtonDblClk(UINT, CPoint) {
  if (m_kind >= kPicker) NotifyParent(BN_DOUBLECLICKED);
}

void CColorPickerCtrl::OnKeyDown(UINT key, UINT repeatCount, UINT flags) {
  if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
    KeyPick(key);
    return;
  }
  CButton::OnKeyDown(key, repeatCount, flags);
}

void CColorPickerCtrl::OnSetFocus(CWnd*) { Invalidate(FALSE); }

void CColorPickerCtrl::OnKillFocus(CWnd*) { Invalidate(FALSE); }

LRESULT CColorPickerCtrl::OnButtonLooks(WPARAM, LPARAM) { return 0; }

void CColorPickerCtrl::Paint(HDC dc) {
  CRect client;
  GetClientRect(&client);
  HPALETTE oldPalette = nullptr;
  if (m_palette) {
    oldPalette = ::SelectPalette(dc, m_palette, FALSE);
    ::RealizePalette(dc);
  }
  switch (m_kind) {
    case kSwatch:
      PaintSwatch(dc, client);
      break;
    case kLuminanceBar:
      PaintLuminanceBar(dc, client);
      break;
    case kPicker:
      PaintField(dc, client);
      break;
    default:
      ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
      PaintCells(dc);
      break;
  }
  if (::GetFocus() == m_hWnd && m_kind != kSwatch) ::DrawFocusRect(dc, &client);
  if (oldPalette) ::SelectPalette(dc, oldPalette, FALSE);
}

void CColorPickerCtrl::PaintSwatch(HDC dc, const CRect& client) {
  CRect top = client, bottom = client;
  top.bottom = bottom.top = client.top + client.Height() / 2;
  HBRUSH fresh = ::CreateSolidBrush(m_colour);
  HBRUSH current = ::CreateSolidBrush(m_originalColour);
  ::FillRect(dc, &top, fresh);
  ::FillRect(dc, &bottom, current);
  ::DeleteObject(fresh);
  ::DeleteObject(current);
  CRect frame = client;
  ::FrameRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

void CColorPickerCtrl::PaintField(HDC dc, const CRect& client) {
  const int width = client.Width(), height = client.Height();
  if (width <= 0 || height <= 0) return;
  HDC memory = ::CreateCompatibleDC(dc);
  if (!m_cachedField || m_cachedSize.cx != width || m_cachedSize.cy != height) {
    if (m_cachedField) ::DeleteObject(m_cachedField);
    m_cachedField = ::CreateCompatibleBitmap(dc, width, height);
    m_cachedSize = SIZE{width, height};
    HGDIOBJ old = ::SelectObject(memory, m_cachedField);
    for (int x = 0; x < width; ++x)
      for (int y = 0; y < height; ++y) {
        const double hue = static_cast<double>(x) / width;
        const double saturation = 1.0 - static_cast<double>(y) / height;
        ::SetPixelV(memory, x, y, DrawManager::HlsToRgb(hue, 0.5, saturation));
      }
    ::SelectObject(memory, old);
  }
  HGDIOBJ old = ::SelectObject(memory, m_cachedField);
  ::BitBlt(dc, client.left, client.top, width, height, memory, 0, 0, SRCCOPY);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  // The marker: a cross of 19 by 19 pixels with an open centre.
  const int mx = client.left + static_cast<int>(m_hue * width);
  const int my = client.top + static_cast<int>((1.0 - m_saturation) * height);
  HPEN pen = ::CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  ::MoveToEx(dc, mx - 9, my, nullptr);
  ::LineTo(dc, mx - 3, my);
  ::MoveToEx(dc, mx + 3, my, nullptr);
  ::LineTo(dc, mx + 10, my);
  ::MoveToEx(dc, mx, my - 9, nullptr);
  ::LineTo(dc, mx, my - 3);
  ::MoveToEx(dc, mx, my + 3, nullptr);
  ::LineTo(dc, mx, my + 10);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(pen);
}

void CColorPickerCtrl::PaintLuminanceBar(HDC dc, const CRect& client) {
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  const CRect bar = BarRect(client);
  if (bar.Height() <= 0) return;
  for (int y = bar.top; y < bar.bottom; ++y) {
    const double lightness = static_cast<double>(bar.bottom - y) / bar.Height();
    HBRUSH brush = ::CreateSolidBrush(DrawManager::HlsToRgb(m_hue, lightness, m_saturation));
    RECT line{bar.left, y, bar.right, y + 1};
    ::FillRect(dc, &line, brush);
    ::DeleteObject(brush);
  }
  // The marker: a small arrow beside the bar pointing at the lightness.
  const int y = bar.top + static_cast<int>((1.0 - m_lightness) * bar.Height());
  const int x = bar.right + 6;
  const POINT arrow[3] = {{x, y}, {x + 4, y - 4}, {x + 4, y + 4}};
  HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(BLACK_BRUSH));
  ::Polygon(dc, arrow, 3);
  ::SelectObject(dc, oldBrush);
}

void CColorPickerCtrl::PaintCells(HDC dc) {
  CRect client;
  GetClientRect(&client);
  LayoutCells(client);
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
  int selected = -1;
  for (size_t i = 0; i < m_cells.size(); ++i) {
    const Cell& cell = m_cells[i];
    HBRUSH brush = ::CreateSolidBrush(cell.paletteColour);
    HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    ::Polygon(dc, cell.corners, 6);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(brush);
    if (cell.colour == m_colour && selected < 0) selected = static_cast<int>(i);
  }
  ::SelectObject(dc, oldPen);
  if (selected >= 0) {
    // The picked cell gets a double frame: white inside black.
    const Cell& cell = m_cells[static_cast<size_t>(selected)];
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    HPEN black = ::CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, black);
    ::Polygon(dc, cell.corners, 6);
    HPEN white = ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    ::SelectObject(dc, white);
    POINT inner[6];
    for (int i = 0; i < 6; ++i)
      inner[i] = POINT{cell.centre.x + (cell.corners[i].x - cell.centre.x) * 3 / 4,
                       cell.centre.y + (cell.corners[i].y - cell.centre.y) * 3 / 4};
    ::Polygon(dc, inner, 6);
    ::SelectObject(dc, old);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(black);
    ::DeleteObject(white);
  }
}
