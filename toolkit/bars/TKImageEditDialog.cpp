#include "toolkit/bars/TKImageEditDialog.h"

#include "platform/afx/AfxMessageBox.h"
#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/DialogTemplateWriter.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <iterator>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {
using namespace customize_text;

const DialogTemplateWriter& EditorTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kEditButtonImage, 250, 150,
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK);
    w.Control(0x82, -1, kPictureLabel, SS_LEFT | WS_VISIBLE, 7, 5, 100, 8);
    w.Control(0x82, IDC_TKIMAGE_DRAW, "Draw", SS_NOTIFY | WS_VISIBLE, 7, 15, 120, 112);
    w.Control(0x82, IDC_TKIMAGE_TOOLS, "", SS_LEFT, 134, 15, 104, 44);
    w.Control(0x82, -1, kColorsLabel, SS_LEFT | WS_VISIBLE, 134, 62, 60, 8);
    w.Control(0x82, IDC_TKIMAGE_PALETTE, "", SS_LEFT, 134, 72, 104, 26);
    w.Control(0x82, -1, kPreviewLabel, SS_LEFT | WS_VISIBLE, 134, 102, 60, 8);
    w.Control(0x82, IDC_TKIMAGE_PREVIEW, "", SS_OWNERDRAW | WS_VISIBLE, 134, 112, 30, 16);
    w.Control(0x80, IDOK, kOk, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 139, 131, 50, 14);
    w.Control(0x80, IDCANCEL, kCancel, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 193, 131, 50, 14);
    return w;
  }();
  return writer;
}

HBITMAP CopyOf(HBITMAP source) {
  BITMAP info{};
  if (!source || !::GetObjectA(source, sizeof info, &info)) return nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC from = ::CreateCompatibleDC(screen);
  HDC to = ::CreateCompatibleDC(screen);
  HBITMAP copy = ::CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight);
  HGDIOBJ oldFrom = ::SelectObject(from, source);
  HGDIOBJ oldTo = ::SelectObject(to, copy);
  ::BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
  ::SelectObject(from, oldFrom);
  ::SelectObject(to, oldTo);
  ::DeleteDC(from);
  ::DeleteDC(to);
  ::ReleaseDC(nullptr, screen);
  return copy;
}
}  // namespace

// --- The drawing area -----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKImagePaintArea, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

void CTKImagePaintArea::SetBitmap(HBITMAP bitmap) {
  ReleaseBitmap();
  BITMAP info{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) return;
  m_sizeImage = SIZE{info.bmWidth, info.bmHeight};
  HDC screen = ::GetDC(nullptr);
  m_memDC = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  m_oldBitmap = ::SelectObject(m_memDC, bitmap);
}

void CTKImagePaintArea::ReleaseBitmap() {
  if (!m_memDC) return;
  ::SelectObject(m_memDC, m_oldBitmap);
  ::DeleteDC(m_memDC);
  m_memDC = nullptr;
}

CRect CTKImagePaintArea::CellRect(CPoint cell) const {
  CRect client;
  ::GetClientRect(m_hWnd, &client);
  const int cx = m_sizeImage.cx ? client.Width() / m_sizeImage.cx : 1;
  const int cy = m_sizeImage.cy ? client.Height() / m_sizeImage.cy : 1;
  return CRect(cell.x * cx, cell.y * cy, (cell.x + 1) * cx, (cell.y + 1) * cy);
}

CPoint CTKImagePaintArea::CellOf(CPoint point) const {
  CRect client;
  ::GetClientRect(m_hWnd, &client);
  const int cx = std::max<int>(1, m_sizeImage.cx ? client.Width() / m_sizeImage.cx : 1);
  const int cy = std::max<int>(1, m_sizeImage.cy ? client.Height() / m_sizeImage.cy : 1);
  return CPoint(std::clamp<int>(point.x / cx, 0, std::max<int>(0, m_sizeImage.cx - 1)),
                std::clamp<int>(point.y / cy, 0, std::max<int>(0, m_sizeImage.cy - 1)));
}

BOOL CTKImagePaintArea::OnEraseBkgnd(CDC*) { return TRUE; }

BOOL CTKImagePaintArea::OnSetCursor(CWnd*, UINT, UINT) {
  // Each tool's own cursor; a cross when the program lacks it.
  HCURSOR cursor = ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kFirstToolCursor + m_mode));
  ::SetCursor(cursor ? cursor : ::LoadCursorA(nullptr, IDC_CROSS));
  return TRUE;
}

void CTKImagePaintArea::DrawFigure(HDC dc, CPoint from, CPoint to, int scale, CPoint origin) {
  const auto at = [&](CPoint p) { return POINT{origin.x + p.x * scale, origin.y + p.y * scale}; };
  const POINT a = at(from), b = at(to);
  switch (m_mode) {
    case kLine:
      ::MoveToEx(dc, a.x, a.y, nullptr);
      ::LineTo(dc, b.x, b.y);
      break;
    case kRectangle:
      ::Rectangle(dc, a.x, a.y, b.x, b.y);
      break;
    case kEllipse:
      ::Ellipse(dc, a.x, a.y, b.x, b.y);
      break;
    default:
      break;
  }
}

void CTKImagePaintArea::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  CRect client;
  ::GetClientRect(m_hWnd, &client);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  HBRUSH faceBrush = ::CreateSolidBrush(face);
  ::FillRect(dc, &client, faceBrush);
  ::DeleteObject(faceBrush);
  if (m_memDC) {
    HPEN grid = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = ::SelectObject(dc, grid);
    for (int y = 0; y < m_sizeImage.cy; ++y)
      for (int x = 0; x < m_sizeImage.cx; ++x) {
        const CRect cell = CellRect(CPoint(x, y));
        ::MoveToEx(dc, cell.left, cell.bottom - 1, nullptr);
        ::LineTo(dc, cell.left, cell.top);
        ::LineTo(dc, cell.right, cell.top);
        const COLORREF colour = ::GetPixel(m_memDC, x, y);
        // The button face stands for the transparent background.
        if (colour == face) continue;
        HBRUSH brush = ::CreateSolidBrush(colour);
        CRect inside(cell.left + 1, cell.top + 1, cell.right, cell.bottom);
        ::FillRect(dc, &inside, brush);
        ::DeleteObject(brush);
      }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(grid);
    if (m_bTracking && (m_mode == kLine || m_mode == kRectangle || m_mode == kEllipse)) {
      const CRect cell = CellRect(CPoint(0, 0));
      const int scale = std::max<int>(1, cell.Width());
      const int old = ::SetROP2(dc, R2_NOT);
      HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
      DrawFigure(dc, m_ptStart, m_ptEnd, scale, CPoint(scale / 2, scale / 2));
      ::SelectObject(dc, oldBrush);
      ::SetROP2(dc, old);
    }
  }
  ::EndPaint(m_hWnd, &ps);
}

void CTKImagePaintArea::OnLButtonDown(UINT, CPoint point) {
  if (!m_memDC) return;
  ::SetCapture(m_hWnd);
  m_bTracking = TRUE;
  m_ptStart = m_ptEnd = CellOf(point);
  if (m_mode == kPencil) {
    ::SetPixel(m_memDC, m_ptStart.x, m_ptStart.y, m_rgbColor);
    Changed();
  }
}

void CTKImagePaintArea::OnMouseMove(UINT, CPoint point) {
  if (!m_bTracking || ::GetCapture() != m_hWnd) return;
  m_ptEnd = CellOf(point);
  if (m_mode == kPencil) {
    ::SetPixel(m_memDC, m_ptEnd.x, m_ptEnd.y, m_rgbColor);
    Changed();
    return;
  }
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CTKImagePaintArea::OnLButtonUp(UINT, CPoint point) {
  if (!m_bTracking) return;
  m_bTracking = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  m_ptEnd = CellOf(point);
  CPoint from = m_ptStart, to = m_ptEnd;
  HPEN pen = ::CreatePen(PS_SOLID, 1, m_rgbColor);
  HGDIOBJ oldPen = ::SelectObject(m_memDC, pen);
  HGDIOBJ oldBrush = ::SelectObject(m_memDC, ::GetStockObject(NULL_BRUSH));
  switch (m_mode) {
    case kPencil:
      ::SetPixel(m_memDC, to.x, to.y, m_rgbColor);
      break;
    case kFill: {
      HBRUSH brush = ::CreateSolidBrush(m_rgbColor);
      HGDIOBJ previous = ::SelectObject(m_memDC, brush);
      ::ExtFloodFill(m_memDC, to.x, to.y, ::GetPixel(m_memDC, to.x, to.y), FLOODFILLSURFACE);
      ::SelectObject(m_memDC, previous);
      ::DeleteObject(brush);
      break;
    }
    case kLine:
      // The line's own end pixel too (a single click sets one pixel).
      DrawFigure(m_memDC, from, to, 1, CPoint(0, 0));
      ::SetPixel(m_memDC, to.x, to.y, m_rgbColor);
      break;
    case kRectangle:
    case kEllipse: {
      // The figure takes in the last cell too.
      CRect box(std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + 1,
                std::max(from.y, to.y) + 1);
      DrawFigure(m_memDC, box.TopLeft(), box.BottomRight(), 1, CPoint(0, 0));
      break;
    }
    case kPickColor:
      m_rgbColor = ::GetPixel(m_memDC, to.x, to.y);
      break;
  }
  ::SelectObject(m_memDC, oldBrush);
  ::SelectObject(m_memDC, oldPen);
  ::DeleteObject(pen);
  Changed();
}

void CTKImagePaintArea::Changed() {
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_hWnd));
}

// --- The dialog ----------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKImageEditDialog, CDialog)
  ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
END_MESSAGE_MAP()

const COLORREF CTKImageEditDialog::s_palette[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(128, 128, 128),
    RGB(192, 192, 192), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};

CTKImageEditDialog::CTKImageEditDialog(HBITMAP bitmap, CWnd* parent, int bitsPerPixel)
    : m_wndPalette(std::vector<COLORREF>(std::begin(s_palette), std::end(s_palette)), RGB(0, 0, 0), nullptr,
                   nullptr, nullptr, {}, 8, -1, -1, (COLORREF)-1, IDC_TKIMAGE_PALETTE, nullptr),
      m_hBitmap(bitmap),
      m_nBitsPerPixel(bitsPerPixel) {
  InitModalIndirect(EditorTemplate().Get(), parent);
}

CTKImageEditDialog::~CTKImageEditDialog() {
  m_wndLargeDrawArea.ReleaseBitmap();
  if (m_hWorking) ::DeleteObject(m_hWorking);
}

BOOL CTKImageEditDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hWorking = CopyOf(m_hBitmap);
  m_wndLargeDrawArea.SubclassDlgItem(IDC_TKIMAGE_DRAW, this);
  m_wndLargeDrawArea.SetBitmap(m_hWorking);
  // The area holds whole cells only.
  const SIZE size = m_wndLargeDrawArea.GetImageSize();
  if (size.cx > 0 && size.cy > 0) {
    CRect area;
    ::GetWindowRect(m_wndLargeDrawArea.m_hWnd, &area);
    const int cell = std::max<int>(2, std::min<int>(area.Width() / size.cx, area.Height() / size.cy));
    ::SetWindowPos(m_wndLargeDrawArea.m_hWnd, nullptr, 0, 0, cell * size.cx + 1, cell * size.cy + 1,
                   SWP_NOMOVE | SWP_NOZORDER);
  }
  CreateTools();
  CreatePalette();
  UpdateTools();
  return TRUE;
}

namespace {
// The rectangle of a placeholder control of the template, which goes.
CRect TakePlace(HWND dialog, int id) {
  HWND place = ::GetDlgItem(dialog, id);
  CRect rect(0, 0, 0, 0);
  if (!place) return rect;
  ::GetWindowRect(place, &rect);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  ::DestroyWindow(place);
  return rect;
}
}  // namespace

BOOL CTKImageEditDialog::CreatePalette() {
  const CRect rect = TakePlace(m_hWnd, IDC_TKIMAGE_PALETTE);
  if (!m_wndPalette.CreateControl(this, rect, IDC_TKIMAGE_PALETTE, 8)) return FALSE;
  m_wndPalette.SetColor(m_wndLargeDrawArea.GetColor());
  return TRUE;
}

void CTKImageEditDialog::OnPaletteColor() {
  COLORREF colour = m_wndPalette.GetColor();
  if (colour == (COLORREF)-1) return;
  // Light grey is the button face of this system.
  if (colour == RGB(192, 192, 192)) colour = ::GetSysColor(COLOR_BTNFACE);
  m_wndLargeDrawArea.SetColor(colour);
}

BOOL CTKImageEditDialog::CreateTools() {
  // The toolbar takes the place of the template's placeholder, wrapped to its width.
  const CRect rect = TakePlace(m_hWnd, IDC_TKIMAGE_TOOLS);
  if (!m_wndTools.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_TOOLTIPS | CBRS_FLYBY,
                         IDC_TKIMAGE_TOOLS) ||
      !m_wndTools.LoadToolBar(IDR_TKIMAGE_TOOLS, 0, 0, TRUE))
    return FALSE;
  // The dialog answers the tools itself and sets their states.
  m_wndTools.m_bDisableControlsIfNoHandler = FALSE;
  m_wndTools.SetBarStyle((m_wndTools.GetBarStyle() & ~(CBRS_GRIPPER | CBRS_BORDER_ANY)) | CBRS_SIZE_DYNAMIC);
  const CSize size = m_wndTools.CalcLayout(LM_HORZ | LM_COMMIT, std::max<int>(rect.Width(), 1));
  ::SetWindowPos(m_wndTools.m_hWnd, HWND_TOP, rect.left, rect.top, size.cx, size.cy, SWP_NOACTIVATE);
  return TRUE;
}

void CTKImageEditDialog::UpdateTools() {
  const struct {
    UINT id;
    CTKImagePaintArea::Tool tool;
  } tools[] = {{ID_TKIMAGE_PENCIL, CTKImagePaintArea::kPencil},
               {ID_TKIMAGE_FILL, CTKImagePaintArea::kFill},
               {ID_TKIMAGE_LINE, CTKImagePaintArea::kLine},
               {ID_TKIMAGE_RECTANGLE, CTKImagePaintArea::kRectangle},
               {ID_TKIMAGE_ELLIPSE, CTKImagePaintArea::kEllipse},
               {ID_TKIMAGE_PICK, CTKImagePaintArea::kPickColor}};
  if (!m_wndTools.m_hWnd) return;
  auto setState = [&](UINT id, BOOL checked, BOOL enabled) {
    const int index = m_wndTools.CommandToIndex(id);
    if (index < 0) return;
    const UINT old = m_wndTools.GetButtonStyle(index);
    const UINT now = (old & ~(TBBS_CHECKED | TBBS_DISABLED)) | (checked ? TBBS_CHECKED : 0) |
                     (enabled ? 0 : TBBS_DISABLED);
    if (now != old) m_wndTools.SetButtonStyle(index, now);
  };
  for (const auto& t : tools) setState(t.id, m_wndLargeDrawArea.GetTool() == t.tool, TRUE);
  setState(ID_TKIMAGE_COPY, FALSE, TRUE);
  setState(ID_TKIMAGE_PASTE, FALSE, ::IsClipboardFormatAvailable(CF_BITMAP));
  setState(ID_TKIMAGE_CLEAR, FALSE, TRUE);
}

BOOL CTKImageEditDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  switch (id) {
    case ID_TKIMAGE_PENCIL:
      m_wndLargeDrawArea.SetTool(CTKImagePaintArea::kPencil);
      break;
    case ID_TKIMAGE_FILL:
      m_wndLargeDrawArea.SetTool(CTKImagePaintArea::kFill);
      break;
    case ID_TKIMAGE_LINE:
      m_wndLargeDrawArea.SetTool(CTKImagePaintArea::kLine);
      break;
    case ID_TKIMAGE_RECTANGLE:
      m_wndLargeDrawArea.SetTool(CTKImagePaintArea::kRectangle);
      break;
    case ID_TKIMAGE_ELLIPSE:
      m_wndLargeDrawArea.SetTool(CTKImagePaintArea::kEllipse);
      break;
    case ID_TKIMAGE_PICK:
      m_wndLargeDrawArea.SetTool(CTKImagePaintArea::kPickColor);
      break;
    case ID_TKIMAGE_COPY:
      OnCopy();
      break;
    case ID_TKIMAGE_PASTE:
      OnPaste();
      break;
    case ID_TKIMAGE_CLEAR:
      OnClear();
      break;
    case IDC_TKIMAGE_PALETTE:
      OnPaletteColor();
      return TRUE;
    case IDC_TKIMAGE_DRAW:
      ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_TKIMAGE_PREVIEW), nullptr, FALSE);
      // A colour picked from the image is selected in the palette too.
      if (m_wndLargeDrawArea.GetTool() == CTKImagePaintArea::kPickColor && m_wndPalette.m_hWnd) {
        const COLORREF picked = m_wndLargeDrawArea.GetColor();
        m_wndPalette.SetColor(picked == ::GetSysColor(COLOR_BTNFACE) ? RGB(192, 192, 192) : picked);
      }
      return TRUE;
    default:
      return CDialog::OnCommand(wParam, lParam);
  }
  UpdateTools();
  return TRUE;
}

LRESULT CTKImageEditDialog::OnDrawItem(WPARAM id, LPARAM lParam) {
  auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
  if (id == IDC_TKIMAGE_PREVIEW) DrawPreview(item);
  return TRUE;
}

void CTKImageEditDialog::DrawPreview(LPDRAWITEMSTRUCT item) {
  ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
  const SIZE size = m_wndLargeDrawArea.GetImageSize();
  if (HDC image = m_wndLargeDrawArea.GetImageDC())
    ::BitBlt(item->hDC, item->rcItem.left + 2, item->rcItem.top + 2, size.cx, size.cy, image, 0, 0, SRCCOPY);
}

void CTKImageEditDialog::OnCopy() {
  HBITMAP copy = CopyOf(m_hWorking);
  BOOL copied = FALSE;
  if (copy && ::OpenClipboard(m_hWnd)) {
    ::EmptyClipboard();
    copied = ::SetClipboardData(CF_BITMAP, copy) != nullptr;
    ::CloseClipboard();
  }
  if (!copied) {
    if (copy) ::DeleteObject(copy);
    AfxMessageBox(kCantCopyImage, MB_ICONSTOP);
  }
}

void CTKImageEditDialog::OnPaste() {
  BOOL pasted = FALSE;
  if (::OpenClipboard(m_hWnd)) {
    if (auto clip = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))) {
      HDC source = ::CreateCompatibleDC(m_wndLargeDrawArea.GetImageDC());
      HGDIOBJ old = ::SelectObject(source, clip);
      const SIZE size = m_wndLargeDrawArea.GetImageSize();
      pasted = ::BitBlt(m_wndLargeDrawArea.GetImageDC(), 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
      ::SelectObject(source, old);
      ::DeleteDC(source);
    }
    ::CloseClipboard();
  }
  if (!pasted) {
    AfxMessageBox(kCantPasteImage, MB_ICONSTOP);
    return;
  }
  ::InvalidateRect(m_wndLargeDrawArea.m_hWnd, nullptr, FALSE);
  ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_TKIMAGE_PREVIEW), nullptr, FALSE);
}

void CTKImageEditDialog::OnClear() {
  const SIZE size = m_wndLargeDrawArea.GetImageSize();
  RECT all{0, 0, size.cx, size.cy};
  ::FillRect(m_wndLargeDrawArea.GetImageDC(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
  ::InvalidateRect(m_wndLargeDrawArea.m_hWnd, nullptr, FALSE);
  ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_TKIMAGE_PREVIEW), nullptr, FALSE);
}

void CTKImageEditDialog::OnOK() {
  // The drawing goes back into the caller's bitmap.
  m_wndLargeDrawArea.ReleaseBitmap();
  HDC screen = ::GetDC(nullptr);
  HDC from = ::CreateCompatibleDC(screen);
  HDC to = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  BITMAP info{};
  ::GetObjectA(m_hBitmap, sizeof info, &info);
  HGDIOBJ oldFrom = ::SelectObject(from, m_hWorking);
  HGDIOBJ oldTo = ::SelectObject(to, m_hBitmap);
  ::BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
  ::SelectObject(from, oldFrom);
  ::SelectObject(to, oldTo);
  ::DeleteDC(from);
  ::DeleteDC(to);
  CDialog::OnOK();
}
