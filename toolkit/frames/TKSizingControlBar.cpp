#include "toolkit/frames/TKSizingControlBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKFramesText.h"
#include "toolkit/frames/TKMiniDockFrameWnd.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKSizingDockContext.h"
#include "toolkit/frames/TKTabWnd.h"
#include "toolkit/frames/TKVisualManager.h"

namespace {
enum {
  kHitLeft = HTLEFT,
  kHitRight = HTRIGHT,
  kHitTop = HTTOP,
  kHitBottom = HTBOTTOM,
  kHitCaption = HTCAPTION,
  kHitClient = HTCLIENT,
  kHitExpand = CTKCaptionButton::kHitExpand,
  kHitHide = CTKCaptionButton::kHitHide
};
constexpr int kEdgeOrder[4] = {kHitLeft, kHitTop, kHitRight, kHitBottom};
constexpr UINT kDrawsEdges = 16;
// Posted after a non-client size change: the caption buttons' tooltips move there.
constexpr UINT kPlaceTips = WM_USER + 0x7F2;

SIZE ButtonSize() {
  SIZE glyph = MenuImages::Size();
  return SIZE{glyph.cx + 5, glyph.cy + 5};
}
}  // namespace

BOOL CTKSizingControlBar::s_titleCaption = FALSE;
BOOL CTKSizingControlBar::s_gradientCaption = FALSE;
BOOL CTKSizingControlBar::s_hideExpandWhenSingle = TRUE;

CArray<CTKSizingControlBar*, CTKSizingControlBar*>& CTKSizingControlBar::AllBars() {
  static CArray<CTKSizingControlBar*, CTKSizingControlBar*> bars;
  return bars;
}

CRect TKSizingCaptionButton::Square() const {
  SIZE size = ButtonSize();
  return CRect(position.x, position.y, position.x + size.cx, position.y + size.cy);
}

CTKSizingControlBar::CTKSizingControlBar() {
  m_captionButtons[0].hitTest = kHitHide;
  m_captionButtons[0].tooltipId = 16011;
  m_captionButtons[1].hitTest = kHitExpand;
  m_captionButtons[1].tooltipId = 16012;
  for (auto& button : m_captionButtons) button.owner = this;
}

CTKSizingControlBar::~CTKSizingControlBar() {
  auto& bars = AllBars();
  for (int i = bars.GetSize() - 1; i >= 0; --i)
    if (bars[i] == this) bars.RemoveAt(i);
}

int CTKSizingControlBar::DockSide() const {
  switch (m_dockBarId) {
    case AFX_IDW_DOCKBAR_LEFT:
      return kDockedLeft;
    case AFX_IDW_DOCKBAR_TOP:
      return kDockedTop;
    case AFX_IDW_DOCKBAR_RIGHT:
      return kDockedRight;
    case AFX_IDW_DOCKBAR_BOTTOM:
      return kDockedBottom;
    default:
      return kFloating;
  }
}

void CTKSizingControlBar::SetCaptionLook(BOOL titleCaption, BOOL gradient, BOOL hideExpandWhenSingle) {
  s_titleCaption = titleCaption;
  s_hideExpandWhenSingle = hideExpandWhenSingle;
  BOOL systemGradient = FALSE;
  ::SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &systemGradient, 0);
  s_gradientCaption = systemGradient || (gradient && GlobalData::Get().bitsPerPixel > 8);
  auto& bars = AllBars();
  for (int i = 0; i < bars.GetSize(); ++i)
    if (bars[i]->m_hWnd) bars[i]->SendMessage(WM_NCPAINT);
}

BOOL CTKSizingControlBar::Create(const char* name, CWnd* parent, CSize defaultSize, BOOL hasCaption, UINT id,
                                 DWORD style) {
  SetBarStyle(style & CBRS_ALL);
  m_dockedHorzSize = m_dockedVertSize = m_floatSize = defaultSize;
  m_captionHeight = hasCaption ? std::max(12, GlobalData::Get().textHeight) : 0;
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  // The framework layer's sizing bits lie outside the bar-style word, where they would
  // read as window styles (maximized, clipping): they never reach the window.
  DWORD windowStyle =
      (style & ~static_cast<DWORD>((CBRS_ALL & 0xFFFF) | CBRS_SIZE_DYNAMIC | CBRS_SIZE_FIXED)) |
      WS_CLIPCHILDREN | WS_CHILD;
  if (!CWnd::Create(cls, name, windowStyle, CRect(0, 0, 0, 0), parent, id)) return FALSE;
  SetBarStyle(m_dwStyle | CBRS_SIZE_DYNAMIC);
  return TRUE;
}

void CTKSizingControlBar::SetMinSize(int cx, int cy) {
  m_minSize = CSize(cx, cy);
  m_floatSize.cx = std::max(m_floatSize.cx, static_cast<LONG>(cx));
  m_floatSize.cy = std::max(m_floatSize.cy, static_cast<LONG>(cy));
}

void CTKSizingControlBar::SetMaxSize(int cx, int cy) {
  m_maxSize = CSize(cx, cy);
  if (cx > 0) m_floatSize.cx = std::min(m_floatSize.cx, static_cast<LONG>(cx));
  if (cy > 0) m_floatSize.cy = std::min(m_floatSize.cy, static_cast<LONG>(cy));
}

BOOL CTKSizingControlBar::DestroyWindow() {
  auto& bars = AllBars();
  for (int i = bars.GetSize() - 1; i >= 0; --i)
    if (bars[i] == this) bars.RemoveAt(i);
  return CTKBaseControlBar::DestroyWindow();
}

void CTKSizingControlBar::UpdateDockBarId() {
  // The dock bar that holds the bar names the side; a bar not docked yet (its parent
  // the frame itself) counts as floating.
  HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  m_dockBarId = parent && (::GetWindowLongA(parent, GWL_STYLE) & WS_CHILD)
                    ? static_cast<UINT>(::GetDlgCtrlID(parent))
                    : 0;
}

CSize CTKSizingControlBar::CalcFixedLayout(BOOL stretch, BOOL horizontal) {
  if (stretch) return horizontal ? CSize(32767, m_dockedHorzSize.cy) : CSize(m_dockedVertSize.cx, 32767);
  CArray<CTKSizingControlBar*, CTKSizingControlBar*> row;
  GetRowSizingBars(row);
  BOOL otherExpanded = FALSE;
  for (int i = 0; i < row.GetSize(); ++i)
    if (row[i] != this && row[i]->m_isExpanded) otherExpanded = TRUE;
  m_isSingleInRow = row.GetSize() < 2;
  const int available = AvailableRowLength(horizontal);
  // A shown bar shares its row also while its frame is still hidden: a frame laid out
  // before it first shows must show its bars in their places.
  if (IsVisible() && !IsFloating() && m_rowLayoutPending && IsFirstInRow()) {
    if (ShareRowLength(available, horizontal)) PlaceRowBars();
  }
  m_rowLayoutPending = FALSE;
  CSize size = horizontal ? m_dockedHorzSize : m_dockedVertSize;
  if (IsDockedLeftRight() && m_maxSize.cx > 0) size.cx = std::min(size.cx, m_maxSize.cx);
  if (IsDockedTopBottom() && m_maxSize.cy > 0) size.cy = std::min(size.cy, m_maxSize.cy);
  size.cx = std::max(size.cx, m_minSize.cx);
  size.cy = std::max(size.cy, m_minSize.cy);
  if (otherExpanded) {
    if (horizontal)
      size.cx = m_minSize.cx;
    else
      size.cy = m_minSize.cy;
  } else if (m_isExpanded) {
    const int count = static_cast<int>(row.GetSize());
    if (horizontal)
      size.cx = available - (count - 1) * m_minSize.cx;
    else
      size.cy = available - (count - 1) * m_minSize.cy;
  }
  return size;
}

int CTKSizingControlBar::AvailableRowLength(BOOL horizontal) const {
  CRect room;
  if (m_pDockBar) room = m_pDockBar->m_rectLayout;
  if (room.IsRectEmpty()) {
    CFrameWnd* frame = GetDockingFrame();
    if (frame && frame->m_hWnd) frame->GetClientRect(&room);
  }
  return horizontal ? room.Width() : room.Height() - 2;
}

void CTKSizingControlBar::GetRowSizingBars(CArray<CTKSizingControlBar*, CTKSizingControlBar*>& bars) const {
  bars.SetSize(0);
  if (!m_pDockBar || m_pDockBar->m_bFloating) return;
  int index = m_pDockBar->FindBar(this);
  if (index < 0) return;
  int first, last;
  m_pDockBar->GetRowBounds(index, first, last);
  for (int i = first; i <= last; ++i) {
    auto* bar = dynamic_cast<CTKSizingControlBar*>(m_pDockBar->m_arrBars[i]);
    if (bar && (bar == this || bar->IsVisible())) bars.Add(bar);
  }
}

BOOL CTKSizingControlBar::IsFirstInRow() const {
  if (!m_pDockBar) return TRUE;
  int index = m_pDockBar->FindBar(this);
  if (index < 0) return TRUE;
  int first, last;
  m_pDockBar->GetRowBounds(index, first, last);
  for (int i = first; i < index; ++i)
    if (m_pDockBar->m_arrBars[i]->IsVisible()) return FALSE;
  return TRUE;
}

BOOL CTKSizingControlBar::IsLastInRow() const {
  if (!m_pDockBar) return TRUE;
  int index = m_pDockBar->FindBar(this);
  if (index < 0) return TRUE;
  int first, last;
  m_pDockBar->GetRowBounds(index, first, last);
  for (int i = index + 1; i <= last; ++i)
    if (m_pDockBar->m_arrBars[i]->IsVisible()) return FALSE;
  return TRUE;
}

CTKSizingControlBar* CTKSizingControlBar::Neighbour(BOOL before) const {
  CArray<CTKSizingControlBar*, CTKSizingControlBar*> row;
  GetRowSizingBars(row);
  for (int i = 0; i < row.GetSize(); ++i) {
    if (row[i] != this) continue;
    int j = before ? i - 1 : i + 1;
    return j >= 0 && j < row.GetSize() ? row[j] : nullptr;
  }
  return nullptr;
}

BOOL CTKSizingControlBar::IsDraggingInsideRow() const {
  if (IsDockedTopBottom()) return m_dragEdge == kHitLeft || m_dragEdge == kHitRight;
  if (IsDockedLeftRight()) return m_dragEdge == kHitTop || m_dragEdge == kHitBottom;
  return FALSE;
}

// Spreads the row's free length over its sizing bars one pixel at a time, in passes
// over the bars in row order: a bar just shown keeps its size for one pass, and a bar
// at its minimum never shrinks. Every bar takes the row's largest thickness. When the
// row cannot hold all the minima, this bar moves to a row of its own.
BOOL CTKSizingControlBar::ShareRowLength(int length, BOOL horizontal) {
  if (!m_pDockBar) return FALSE;
  int index = m_pDockBar->FindBar(this);
  if (index < 0) return FALSE;
  int first, last;
  m_pDockBar->GetRowBounds(index, first, last);
  CArray<CTKSizingControlBar*, CTKSizingControlBar*> bars;
  for (int i = first; i <= last; ++i) {
    CControlBar* bar = m_pDockBar->m_arrBars[i];
    if (!bar->IsVisible()) continue;
    auto* sizing = dynamic_cast<CTKSizingControlBar*>(bar);
    if (sizing) {
      bars.Add(sizing);
    } else {
      CRect rect;
      bar->GetWindowRect(&rect);
      length -= horizontal ? rect.Width() : rect.Height();
    }
  }
  auto along = [horizontal](CTKSizingControlBar* bar) -> LONG& {
    return horizontal ? bar->m_dockedHorzSize.cx : bar->m_dockedVertSize.cy;
  };
  auto minimum = [horizontal](CTKSizingControlBar* bar) {
    return static_cast<int>(horizontal ? bar->m_minSize.cx : bar->m_minSize.cy);
  };
  int total = 0, needed = 2, cross = 0;
  for (int i = 0; i < bars.GetSize(); ++i) {
    total += along(bars[i]);
    needed += minimum(bars[i]);
    cross = std::max(
        cross, static_cast<int>(horizontal ? bars[i]->m_dockedHorzSize.cy : bars[i]->m_dockedVertSize.cx));
  }
  for (int i = 0; i < bars.GetSize(); ++i) {
    if (horizontal)
      bars[i]->m_dockedHorzSize.cy = cross;
    else
      bars[i]->m_dockedVertSize.cx = cross;
  }
  if (needed <= length) {
    int difference = length - total;
    int idlePasses = 0;
    while (difference != 0 && idlePasses < 2) {
      bool changed = false;
      for (int i = 0; i < bars.GetSize() && difference != 0; ++i) {
        CTKSizingControlBar* bar = bars[i];
        if (bar->m_keepSizeOnce) continue;
        if (difference < 0 && along(bar) <= minimum(bar)) continue;
        const int step = difference > 0 ? 1 : -1;
        along(bar) += step;
        difference -= step;
        changed = true;
      }
      if (!changed || difference == 0)
        for (int i = 0; i < bars.GetSize(); ++i) bars[i]->m_keepSizeOnce = FALSE;
      idlePasses = changed ? 0 : idlePasses + 1;
    }
    return TRUE;
  }
  if (bars.GetSize() < 2 && last == first) return FALSE;
  m_pDockBar->MoveToNewRowAfter(this, index);
  return FALSE;
}

CSize CTKSizingControlBar::CalcDynamicLayout(int length, DWORD mode) {
  if (m_isRolled) {
    HWND focus = ::GetFocus();
    if (!focus || (focus != m_hWnd && !::IsChild(m_hWnd, focus)))
      return CSize(m_floatSize.cx, ::GetSystemMetrics(SM_CYFRAME) - 1);
  }
  if (mode & (LM_HORZDOCK | LM_VERTDOCK)) {
    if (length == -1) m_rowLayoutPending = TRUE;
    return CTKBaseControlBar::CalcDynamicLayout(length, mode);
  }
  if (mode & (LM_MRUWIDTH | LM_COMMIT)) return m_floatSize;
  if (mode & LM_LENGTHY)
    m_floatSize.cy = length;
  else
    m_floatSize.cx = length;
  if (m_maxSize.cx > 0) m_floatSize.cx = std::min(m_floatSize.cx, m_maxSize.cx);
  if (m_maxSize.cy > 0) m_floatSize.cy = std::min(m_floatSize.cy, m_maxSize.cy);
  m_floatSize.cx = std::max(m_floatSize.cx, m_minSize.cx);
  m_floatSize.cy = std::max(m_floatSize.cy, m_minSize.cy);
  return m_floatSize;
}

BOOL CTKSizingControlBar::CanSizeEdge(int hitCode) const {
  switch (hitCode) {
    case kHitLeft:
      return m_dockBarId == AFX_IDW_DOCKBAR_RIGHT && (m_edgeFlags & 1);
    case kHitRight:
      if (m_dockBarId != AFX_IDW_DOCKBAR_LEFT && IsLastInRow()) return FALSE;
      return (m_edgeFlags & 2) != 0;
    case kHitTop:
      return m_dockBarId == AFX_IDW_DOCKBAR_BOTTOM && (m_edgeFlags & 4);
    case kHitBottom:
      if (m_dockBarId == AFX_IDW_DOCKBAR_TOP) return TRUE;
      if (IsLastInRow()) return FALSE;
      return (m_edgeFlags & 8) != 0;
    default:
      return FALSE;
  }
}

CRect CTKSizingControlBar::EdgeRectOf(CRect rect, int hitCode) const {
  if (!CanSizeEdge(hitCode)) return CRect(0, 0, 0, 0);
  if (m_edgeFlags & kDrawsEdges) rect.DeflateRect(1, 1);
  switch (hitCode) {
    case kHitLeft:
      rect.right = rect.left + m_edgeWidth;
      break;
    case kHitRight:
      rect.left = rect.right - m_edgeWidth;
      break;
    case kHitTop:
      rect.bottom = rect.top + m_edgeWidth;
      break;
    case kHitBottom:
      rect.top = rect.bottom - m_edgeWidth;
      break;
  }
  return rect;
}

void CTKSizingControlBar::PlaceCaptionButtons(CRect client) {
  SIZE size = ButtonSize();
  m_captionButtons[1].hidden = s_hideExpandWhenSingle && m_isSingleInRow;
  m_captionButtons[0].hidden = FALSE;
  CRect window;
  GetWindowRect(&window);
  if (IsDockedTopBottom()) {
    int x = client.left - m_captionHeight + (m_captionHeight - size.cx) / 2 - 3;
    int y = client.top - 3;
    for (auto& button : m_captionButtons) {
      button.position = POINT{x, y};
      if (!button.hidden) y += size.cy + 2;
    }
  } else {
    int x = client.right - size.cx;
    int y = client.top - m_captionHeight + (m_captionHeight - size.cy) / 2 - 3;
    for (auto& button : m_captionButtons) {
      button.position = POINT{x, y};
      if (!button.hidden) x -= size.cx + 2;
    }
  }
  for (auto& button : m_captionButtons) {
    button.pushed = button.focused = FALSE;
    button.rect = button.Square();
  }
}

int CTKSizingControlBar::HitTest(POINT screen) {
  CRect window;
  GetWindowRect(&window);
  for (int code : kEdgeOrder)
    if (EdgeRectOf(window, code).PtInRect(screen)) return code;
  if (IsFloating()) return HTNOWHERE;
  POINT inWindow{screen.x - window.left, screen.y - window.top};
  if (m_captionHeight > 0)
    for (auto& button : m_captionButtons)
      if (!button.hidden && button.Square().PtInRect(inWindow)) return button.hitTest;
  CRect client;
  GetClientRect(&client);
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client.PtInRect(screen) ? kHitClient : kHitCaption;
}

void CTKSizingControlBar::BeginEdgeDrag(int hitCode, POINT clientPoint) {
  ::SetCapture(m_hWnd);
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
  BOOL horizontal = IsDockedTopBottom();
  m_savedSize = CurrentSize();
  m_dragStart = clientPoint;
  m_isDragging = TRUE;
  m_dragEdge = hitCode;
  m_dragMin = m_minSize;
  CSize largest = m_maxSize;
  // The limits are those of the whole row: the largest minimum and maximum of its
  // sizing bars across the row.
  CArray<CTKSizingControlBar*, CTKSizingControlBar*> row;
  GetRowSizingBars(row);
  for (int i = 0; i < row.GetSize(); ++i) {
    if (horizontal) {
      m_dragMin.cy = std::max(m_dragMin.cy, row[i]->m_minSize.cy);
      largest.cy =
          (largest.cy < 0 || row[i]->m_maxSize.cy < 0) ? -1 : std::max(largest.cy, row[i]->m_maxSize.cy);
    } else {
      m_dragMin.cx = std::max(m_dragMin.cx, row[i]->m_minSize.cx);
      largest.cx =
          (largest.cx < 0 || row[i]->m_maxSize.cx < 0) ? -1 : std::max(largest.cx, row[i]->m_maxSize.cx);
    }
  }
  if (IsDraggingInsideRow()) {
    // The edge between two bars: the neighbour gives up what this bar takes.
    CTKSizingControlBar* neighbour = Neighbour(hitCode == kHitLeft || hitCode == kHitTop);
    m_dragMax = m_savedSize;
    if (neighbour) {
      if (horizontal)
        m_dragMax.cx += neighbour->m_dockedHorzSize.cx - neighbour->m_minSize.cx;
      else
        m_dragMax.cy += neighbour->m_dockedVertSize.cy - neighbour->m_minSize.cy;
    }
  } else {
    CFrameWnd* frame = GetDockingFrame();
    RECT free{};
    if (frame) AfxRepositionBars(frame->m_hWnd, 0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &free);
    m_dragMax =
        CSize(m_savedSize.cx + (free.right - free.left) - 4, m_savedSize.cy + (free.bottom - free.top) - 4);
    if (largest.cx > 0) m_dragMax.cx = std::min(m_dragMax.cx, largest.cx);
    if (largest.cy > 0) m_dragMax.cy = std::min(m_dragMax.cy, largest.cy);
  }
  m_dragLine = CRect(0, 0, 0, 0);
  PaintDragLine();
}

void CTKSizingControlBar::DragToSize(POINT point) {
  int dx = point.x - m_dragStart.x;
  int dy = point.y - m_dragStart.y;
  CSize size = CurrentSize();
  auto clamp = [](LONG value, LONG low, LONG high) { return std::max(low, std::min(value, high)); };
  switch (m_dragEdge) {
    case kHitLeft:
      size.cx = clamp(m_savedSize.cx - dx, m_dragMin.cx, m_dragMax.cx);
      break;
    case kHitRight:
      size.cx = clamp(m_savedSize.cx + dx, m_dragMin.cx, m_dragMax.cx);
      break;
    case kHitTop:
      size.cy = clamp(m_savedSize.cy - dy, m_dragMin.cy, m_dragMax.cy);
      break;
    case kHitBottom:
      size.cy = clamp(m_savedSize.cy + dy, m_dragMin.cy, m_dragMax.cy);
      break;
    default:
      return;
  }
  PaintDragLine();  // erases the line at the old size
  CSize before = CurrentSize();
  CurrentSize() = size;
  CArray<CTKSizingControlBar*, CTKSizingControlBar*> row;
  GetRowSizingBars(row);
  if (IsDraggingInsideRow()) {
    // The neighbour gives or takes what this bar took or gave.
    if (CTKSizingControlBar* neighbour = Neighbour(m_dragEdge == kHitLeft || m_dragEdge == kHitTop)) {
      if (IsDockedTopBottom())
        neighbour->m_dockedHorzSize.cx -= size.cx - before.cx;
      else
        neighbour->m_dockedVertSize.cy -= size.cy - before.cy;
    }
  } else {
    // Across the row every sizing bar takes the new thickness.
    for (int i = 0; i < row.GetSize(); ++i) {
      if (IsDockedTopBottom())
        row[i]->m_dockedHorzSize.cy = size.cy;
      else
        row[i]->m_dockedVertSize.cx = size.cx;
    }
  }
  PaintDragLine();
}

void CTKSizingControlBar::PaintDragLine() {
  CFrameWnd* frameWnd = GetDockingFrame();
  HWND frame = frameWnd ? frameWnd->m_hWnd : nullptr;
  if (!frame) return;
  HDC dc = ::GetDCEx(frame, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE | DCX_CLIPSIBLINGS);
  static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
  HBITMAP bits = ::CreateBitmap(8, 8, 1, 1, pattern);
  HBRUSH halftone = ::CreatePatternBrush(bits);
  HGDIOBJ old = ::SelectObject(dc, halftone);
  if (!m_dragLine.IsRectEmpty()) {
    // Erase the line drawn last.
    ::PatBlt(dc, m_dragLine.left, m_dragLine.top, m_dragLine.Width(), m_dragLine.Height(), PATINVERT);
    m_dragLine = CRect(0, 0, 0, 0);
  } else {
    CRect window;
    GetWindowRect(&window);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&window), 2);
    CSize size = CurrentSize();
    CRect line = window;
    switch (m_dragEdge) {
      case kHitLeft:
        line.left = window.right - size.cx;
        line.right = line.left + m_edgeWidth;
        break;
      case kHitRight:
        line.right = window.left + size.cx;
        line.left = line.right - m_edgeWidth;
        break;
      case kHitTop:
        line.top = window.bottom - size.cy;
        line.bottom = line.top + m_edgeWidth;
        break;
      case kHitBottom:
        line.bottom = window.top + size.cy;
        line.top = line.bottom - m_edgeWidth;
        break;
    }
    ::PatBlt(dc, line.left, line.top, line.Width(), line.Height(), PATINVERT);
    m_dragLine = line;
  }
  ::SelectObject(dc, old);
  ::DeleteObject(halftone);
  ::DeleteObject(bits);
  ::ReleaseDC(frame, dc);
}

void CTKSizingControlBar::EndEdgeDrag() {
  if (!m_dragLine.IsRectEmpty()) PaintDragLine();
  m_isDragging = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (CFrameWnd* frame = GetDockingFrame()) frame->RecalcLayout();
}

void CTKSizingControlBar::PlaceRowBars() {
  if (!m_pDockBar) return;
  int index = m_pDockBar->FindBar(this);
  if (index < 0) return;
  int first, last;
  m_pDockBar->GetRowBounds(index, first, last);
  const BOOL horizontal = IsDockedTopBottom();
  int along = 0;
  bool moved = false;
  HWND previous = nullptr;
  for (int i = first; i <= last; ++i) {
    CControlBar* bar = m_pDockBar->m_arrBars[i];
    if (!bar->IsVisible()) continue;
    CRect now;
    bar->GetWindowRect(&now);
    ::MapWindowPoints(nullptr, m_pDockBar->m_hWnd, reinterpret_cast<POINT*>(&now), 2);
    CSize size = now.Size();
    if (auto* sizing = dynamic_cast<CTKSizingControlBar*>(bar)) {
      size = horizontal ? sizing->m_dockedHorzSize : sizing->m_dockedVertSize;
      // No smaller than the layout makes it, or the two would undo each other forever.
      size.cx = std::max(size.cx, sizing->m_minSize.cx);
      size.cy = std::max(size.cy, sizing->m_minSize.cy);
    }
    CPoint place = horizontal ? CPoint(along, now.top) : CPoint(now.left, along);
    if (place != now.TopLeft() || size != now.Size()) {
      ::SetWindowPos(bar->m_hWnd, nullptr, place.x, place.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
      moved = true;
    }
    // Restacked only when out of order: asking costs one request to the window
    // server, restacking several.
    if (moved && previous && ::GetWindow(bar->m_hWnd, GW_HWNDPREV) != previous)
      ::SetWindowPos(bar->m_hWnd, previous, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    previous = bar->m_hWnd;
    along += horizontal ? size.cx : size.cy;
  }
  // The frame lays the bars out again once the current layout is over.
  if (moved)
    if (CFrameWnd* frame = GetDockingFrame()) frame->DelayRecalcLayout();
}

void CTKSizingControlBar::DrawCaption(CDC* dc, CRect rect) {
  int face = m_isActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION;
  dc->FillRect(&rect, ::GetSysColorBrush(face));
  CString text;
  GetWindowText(text);
  COLORREF oldText =
      dc->SetTextColor(::GetSysColor(m_isActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  int oldMode = dc->SetBkMode(TRANSPARENT);
  GlobalData& gd = GlobalData::Get();
  HGDIOBJ oldFont;
  if (IsDockedTopBottom()) {
    oldFont = dc->SelectObject(&gd.verticalFont);
    dc->ExtTextOut(rect.left, rect.bottom - 3, ETO_CLIPPED, &rect, text, text.GetLength());
  } else {
    oldFont = dc->SelectObject(&gd.regularFont);
    dc->ExtTextOut(rect.left + 3, rect.top, ETO_CLIPPED, &rect, text, text.GetLength());
  }
  dc->SelectObject(oldFont);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldText);
}

void CTKSizingControlBar::DisableChildWindows(BOOL disable) {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    ::EnableWindow(child, !disable);
}

void CTKSizingControlBar::PaintNonClient(HRGN updateRegion) {
  if (m_isDragging) return;
  CWindowDC dc(this);
  CRect window;
  GetWindowRect(&window);
  CRect client;
  GetClientRect(&client);
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  client.OffsetRect(-window.left, -window.top);
  ::ExcludeClipRect(dc.m_hDC, client.left, client.top, client.right, client.bottom);
  if (!m_redrawRect.IsRectEmpty())
    ::IntersectClipRect(dc.m_hDC, m_redrawRect.left, m_redrawRect.top, m_redrawRect.right,
                        m_redrawRect.bottom);
  if (UseNcUpdateRegion() && updateRegion && reinterpret_cast<ULONG_PTR>(updateRegion) > 1) {
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    if (::CombineRgn(region, updateRegion, nullptr, RGN_COPY) != ERROR) {
      ::OffsetRgn(region, -window.left, -window.top);
      ::ExtSelectClipRgn(dc.m_hDC, region, RGN_AND);
    }
    ::DeleteObject(region);
  }
  window.OffsetRect(-window.left, -window.top);
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  look->PaintBarBackground(&dc, this, window, window, TRUE);
  GlobalData& gd = GlobalData::Get();
  if (m_edgeFlags & kDrawsEdges) {
    for (int code : {kHitBottom, kHitRight, kHitTop, kHitLeft}) {
      if (!CanSizeEdge(code)) continue;
      CRect strip = EdgeRectOf(window, code);
      if (code == kHitLeft || code == kHitRight)
        strip.InflateRect(0, 1);
      else
        strip.InflateRect(1, 0);
      if (look->m_lookFlag) {
        CRect outer = strip;
        if (code == kHitLeft || code == kHitRight)
          outer.InflateRect(1, 0);
        else
          outer.InflateRect(0, 1);
        dc.Draw3dRect(&outer, gd.barShadow, gd.barHighlight);
        dc.Draw3dRect(&strip, gd.barHighlight, gd.barShadow);
      } else {
        dc.Draw3dRect(&strip, gd.barHighlight, gd.barDarkShadow);
      }
    }
  }
  if (!IsFloating() && m_captionHeight > 0) {
    CRect inner = window;
    inner.DeflateRect(1, 1);
    SIZE buttonSize = ButtonSize();
    const TKSizingCaptionButton& expand = m_captionButtons[1];
    CRect strip;
    if (IsDockedTopBottom()) {
      int below =
          expand.hidden ? m_captionButtons[0].position.y + buttonSize.cy : expand.position.y + buttonSize.cy;
      strip = CRect(client.left - m_captionHeight, below + 3, client.left, client.bottom);
    } else {
      int before = expand.hidden ? m_captionButtons[0].position.x : expand.position.x;
      strip = CRect(client.left, client.top - m_captionHeight, before - 3, client.top);
    }
    strip.IntersectRect(&strip, &inner);
    if (s_titleCaption)
      DrawCaption(&dc, strip);
    else
      look->PaintGripper(&dc, strip, IsDockedTopBottom(), this);
    for (int i = 0; i < 2; ++i) {
      TKSizingCaptionButton& button = m_captionButtons[i];
      if (button.hidden) continue;
      button.rect = button.Square();
      look->PaintCaptionButton(&dc, &button, IsDockedTopBottom(), m_isExpanded, i == 1 && m_isSingleInRow);
    }
  }
}

void CTKSizingControlBar::RedrawButton(int index) {
  m_redrawRect = m_captionButtons[index].Square();
  SendMessage(WM_NCPAINT);
  m_redrawRect = CRect(0, 0, 0, 0);
  UpdateWindow();
}

BEGIN_MESSAGE_MAP(CTKSizingControlBar, CTKBaseControlBar)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_NCCALCSIZE()
  ON_WM_NCLBUTTONDBLCLK()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_NCHITTEST()
  ON_WM_NCPAINT()
  ON_WM_PAINT()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_NCMOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_RBUTTONDOWN()
  ON_WM_NCRBUTTONUP()
  ON_WM_CAPTURECHANGED()
  ON_WM_SETCURSOR()
  ON_WM_WINDOWPOSCHANGING()
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(kPlaceTips, OnPlaceTips)
END_MESSAGE_MAP()

LRESULT CTKSizingControlBar::OnPlaceTips(WPARAM, LPARAM) {
  m_placeTipsPosted = FALSE;
  UpdateButtonTip(0);
  UpdateButtonTip(1);
  return 0;
}

int CTKSizingControlBar::OnCreate(LPCREATESTRUCT cs) {
  int result = CTKBaseControlBar::OnCreate(cs);
  if (result == -1) return -1;
  AllBars().Add(this);
  m_edgeFlags |= kDrawsEdges;
  // The caption buttons' tooltips: one tool per button, placed when the buttons are.
  m_dwStyle |= CBRS_TOOLTIPS;
  m_toolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                m_hWnd, nullptr, nullptr, nullptr);
  if (m_toolTip) {
    ::SendMessageA(m_toolTip, TTM_ACTIVATE, TRUE, 0);
    const int width = GlobalData::Get().maxTooltipWidth;
    if (width != -1) ::SendMessageA(m_toolTip, TTM_SETMAXTIPWIDTH, 0, width);
    for (int i = 0; i < 2; ++i) {
      char buffer[128];
      TTTOOLINFOA tool{};
      tool.cbSize = sizeof tool;
      tool.hwnd = m_hWnd;
      tool.uId = static_cast<UINT_PTR>(i + 1);
      tool.lpszText =
          const_cast<char*>(tk_frames_text::TextOf(m_captionButtons[i].tooltipId, buffer, sizeof buffer));
      ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  return result;
}

void CTKSizingControlBar::OnDestroy() {
  if (m_toolTip) {
    ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
  }
  CTKBaseControlBar::OnDestroy();
}

void CTKSizingControlBar::UpdateButtonTip(int index) {
  if (!m_toolTip || !m_hWnd) return;
  const TKSizingCaptionButton& button = m_captionButtons[index];
  char buffer[128];
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = m_hWnd;
  tool.uId = static_cast<UINT_PTR>(index + 1);
  // The tool's rectangle is in client coordinates; the buttons sit in the
  // non-client caption, so the square is moved there (it lies above or left of the
  // client area). A hidden button or a floating bar has no tool area.
  CRect square(0, 0, 0, 0);
  if (!button.hidden && !IsFloating()) {
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    square = button.Square();
    square.OffsetRect(window.left - client.left, window.top - client.top);
  }
  tool.rect = square;
  ::SendMessageA(m_toolTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
  tool.lpszText = const_cast<char*>(tk_frames_text::TextOf(button.tooltipId, buffer, sizeof buffer));
  ::SendMessageA(m_toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

BOOL CTKSizingControlBar::PreTranslateMessage(MSG* msg) {
  if (m_toolTip && msg->hwnd == m_hWnd &&
      ((msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST) ||
       (msg->message >= WM_NCMOUSEMOVE && msg->message <= WM_NCMBUTTONDBLCLK))) {
    // The tooltip control reads client coordinates: a non-client message's screen
    // point is turned into them.
    MSG relay = *msg;
    if (msg->message >= WM_NCMOUSEMOVE && msg->message <= WM_NCMBUTTONDBLCLK) {
      POINT point{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
      ::ScreenToClient(m_hWnd, &point);
      relay.message = msg->message - WM_NCMOUSEMOVE + WM_MOUSEMOVE;
      relay.lParam = MAKELPARAM(point.x, point.y);
    }
    ::SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
  }
  return CTKBaseControlBar::PreTranslateMessage(msg);
}

void CTKSizingControlBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  UpdateDialogControls(target, disableIfNoHandler);
  if (IsFloating()) return;
  HWND focus = ::GetFocus();
  BOOL active = focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
  if (active != m_isActive) {
    m_isActive = active;
    SendMessage(WM_NCPAINT);
  }
}

void CTKSizingControlBar::EnableDocking(DWORD style) {
  CTKBaseControlBar::EnableDocking(style);
  if (m_pDockContext && !dynamic_cast<CTKSizingDockContext*>(m_pDockContext)) {
    delete m_pDockContext;
    m_pDockContext = new CTKSizingDockContext(this);
  }
}

void CTKSizingControlBar::OnLButtonDown(UINT flags, CPoint point) {
  if (!IsFloating()) {
    for (int i = 0; i < 2; ++i)
      if (m_captionButtons[i].pushed) {
        m_captionButtons[i].pushed = FALSE;
        RedrawButton(i);
      }
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    // Held by the bar, the mouse reports caption and edges in client coordinates.
    const int hit = HitTest(screen);
    if (hit != kHitClient) {
      if (::GetCapture() == m_hWnd) ::ReleaseCapture();
      OnNcLButtonDown(static_cast<UINT>(hit), CPoint(screen.x, screen.y));
      return;
    }
    if (m_pDockContext) {
      m_pDockContext->StartDrag(CPoint(screen.x, screen.y));
      return;
    }
  }
  CTKBaseControlBar::OnLButtonDown(flags, point);
}

void CTKSizingControlBar::OnLButtonDblClk(UINT flags, CPoint point) {
  if (!IsFloating()) {
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    // Held by the bar, the mouse reports the non-client parts in client coordinates.
    const int hit = HitTest(screen);
    if (hit != kHitClient) {
      if (::GetCapture() == m_hWnd) ::ReleaseCapture();
      OnNcLButtonDblClk(static_cast<UINT>(hit), CPoint(screen.x, screen.y));
      return;
    }
    if (m_pDockContext) {
      m_pDockContext->ToggleDocking();
      return;
    }
  }
  CTKBaseControlBar::OnLButtonDblClk(flags, point);
}

void CTKSizingControlBar::OnNcLButtonDblClk(UINT hitTest, CPoint point) {
  const int hit = static_cast<int>(hitTest);
  // The second press of a double click on a sizing edge or a caption button is a
  // press like the first: it drags the edge or presses the button again.
  if (!IsFloating() && ((hit >= kHitLeft && hit <= 17) || hit == kHitExpand || hit == kHitHide)) {
    OnNcLButtonDown(hitTest, point);
    return;
  }
  if (m_pDockContext) {
    m_pDockContext->ToggleDocking();
    return;
  }
  CTKBaseControlBar::OnNcLButtonDblClk(hitTest, point);
}

void CTKSizingControlBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params) {
  // The first rectangle is the window's; what is left of it becomes the client area.
  RECT* rect = &params->rgrc[0];
  UpdateDockBarId();
  CRect r(*rect);
  r.DeflateRect(m_borderSize, m_borderSize);
  m_edgeFlags &= ~static_cast<UINT>(0xF);
  switch (m_dockBarId) {
    case AFX_IDW_DOCKBAR_TOP:
      m_edgeFlags |= 8;
      break;
    case AFX_IDW_DOCKBAR_LEFT:
      m_edgeFlags |= 2;
      break;
    case AFX_IDW_DOCKBAR_RIGHT:
      m_edgeFlags |= 1;
      break;
    case AFX_IDW_DOCKBAR_BOTTOM:
      m_edgeFlags |= 4;
      break;
  }
  if (!IsFloating()) {
    // The bar's place in its row: edges between two bars of the row can size.
    const bool across = IsDockedTopBottom();
    if (!IsFirstInRow()) m_edgeFlags |= across ? 1 : 4;
    if (!IsLastInRow()) m_edgeFlags |= across ? 2 : 8;
  }
  if (!IsFloating() && m_captionHeight > 0) {
    if (IsDockedTopBottom())
      r.left += m_captionHeight;
    else
      r.top += m_captionHeight;
  }
  if (m_edgeFlags & kDrawsEdges) {
    if (CanSizeEdge(kHitBottom)) r.bottom -= m_edgeWidth;
    if (CanSizeEdge(kHitRight)) r.right -= m_edgeWidth;
    if (CanSizeEdge(kHitTop)) r.top += m_edgeWidth;
    if (CanSizeEdge(kHitLeft)) r.left += m_edgeWidth;
  }
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  CRect inWindow = r;
  inWindow.OffsetRect(-rect->left, -rect->top);
  PlaceCaptionButtons(inWindow);
  *rect = r;
  // Outside an edge drag the bar holds the mouse only for a pushed or lit caption
  // button; asking whom the mouse is held by is a request to the window server.
  BOOL buttonHeld = FALSE;
  for (int i = 0; i < 2; ++i) {
    buttonHeld = buttonHeld || m_captionButtons[i].pushed || m_captionButtons[i].focused;
    m_captionButtons[i].pushed = m_captionButtons[i].focused = FALSE;
  }
  if (buttonHeld && !m_isDragging && ::GetCapture() == m_hWnd) ::ReleaseCapture();
  // The tooltips follow the buttons once the new frame is in place; one message
  // places them after any number of frame changes.
  if (!m_placeTipsPosted) m_placeTipsPosted = PostMessage(kPlaceTips);
}

LRESULT CTKSizingControlBar::OnNcHitTest(CPoint point) {
  const int hit = HitTest(point);
  // Floating, what is not a sizing edge is the window's own answer.
  if (hit == HTNOWHERE && IsFloating()) return CTKBaseControlBar::OnNcHitTest(point);
  return hit;
}

void CTKSizingControlBar::OnNcPaint() {
  // The region to repaint comes with the message (1 for the whole frame).
  PaintNonClient(reinterpret_cast<HRGN>(GetCurrentMessage()->wParam));
}

void CTKSizingControlBar::OnPaint() {
  // Nothing of its own to draw: the children paint themselves; painting only
  // validates (and erases the background through the class brush).
  CPaintDC dc(this);
}

void CTKSizingControlBar::OnNcLButtonDown(UINT hitTest, CPoint point) {
  if (m_isDragging || IsFloating()) {
    CTKBaseControlBar::OnNcLButtonDown(hitTest, point);
    return;
  }
  const int hit = static_cast<int>(hitTest);
  for (int i = 0; i < 2; ++i) {
    TKSizingCaptionButton& button = m_captionButtons[i];
    if (button.hidden || button.hitTest != hit) continue;
    if (i == 1 && m_isSingleInRow) return;
    button.pushed = button.focused = TRUE;
    RedrawButton(i);
    ::SetCapture(m_hWnd);
    return;
  }
  if (hit >= kHitLeft && hit <= 17) {
    ::ScreenToClient(m_hWnd, &point);
    BeginEdgeDrag(hit, point);
    return;
  }
  if (hit == kHitCaption && m_pDockContext) {
    m_pDockContext->StartDrag(point);
    return;
  }
  CTKBaseControlBar::OnNcLButtonDown(hitTest, point);
}

void CTKSizingControlBar::OnMouseMove(UINT flags, CPoint point) {
  if (m_isDragging) {
    DragToSize(point);
    return;
  }
  POINT screen = point;
  ::ClientToScreen(m_hWnd, &screen);
  TrackCaptionButtons(screen);
  CTKBaseControlBar::OnMouseMove(flags, point);
}

void CTKSizingControlBar::OnNcMouseMove(UINT hitTest, CPoint point) {
  if (!m_isDragging) TrackCaptionButtons(point);
  CTKBaseControlBar::OnNcMouseMove(hitTest, point);
}

void CTKSizingControlBar::TrackCaptionButtons(POINT screen) {
  if (IsFloating()) return;
  const int hit = HitTest(screen);
  int pushed = -1;
  for (int i = 0; i < 2; ++i)
    if (m_captionButtons[i].pushed) pushed = i;
  bool anyFocused = false;
  for (int i = 0; i < 2; ++i) {
    TKSizingCaptionButton& button = m_captionButtons[i];
    // While a button is held down only that one lights up under the cursor.
    const BOOL focused = !button.hidden && button.hitTest == hit && (pushed < 0 || pushed == i);
    anyFocused = anyFocused || focused;
    if (focused != button.focused) {
      button.focused = focused;
      RedrawButton(i);
    }
  }
  // The bar holds the mouse while the cursor is on a button, to see it leave.
  if (pushed < 0) {
    if (anyFocused && ::GetCapture() != m_hWnd)
      ::SetCapture(m_hWnd);
    else if (!anyFocused && ::GetCapture() == m_hWnd)
      ::ReleaseCapture();
  }
}

void CTKSizingControlBar::OnLButtonUp(UINT flags, CPoint point) {
  if (m_isDragging) {
    const BOOL insideRow = IsDraggingInsideRow();
    const BOOL horizontal = IsDockedTopBottom();
    const LONG longest = horizontal ? m_dragMax.cx : m_dragMax.cy;
    EndEdgeDrag();
    // Of a row of two, the bar dragged over its whole length (the other at its
    // minimum) counts as expanded; every other bar of the row as not.
    CArray<CTKSizingControlBar*, CTKSizingControlBar*> row;
    GetRowSizingBars(row);
    for (int i = 0; i < row.GetSize(); ++i) {
      CTKSizingControlBar* bar = row[i];
      const CSize& size = horizontal ? bar->m_dockedHorzSize : bar->m_dockedVertSize;
      const LONG length = horizontal ? size.cx : size.cy;
      const BOOL expanded = insideRow && row.GetSize() == 2 && length == longest;
      if (expanded) {
        LONG& kept = horizontal ? bar->m_savedSize.cx : bar->m_savedSize.cy;
        if (kept == length) kept = length / 2;
      }
      if (expanded != bar->m_isExpanded) {
        bar->m_isExpanded = expanded;
        bar->m_captionButtons[1].tooltipId = expanded ? 16013 : 16012;
        bar->UpdateButtonTip(1);
        bar->RedrawButton(1);
      }
    }
    return;
  }
  for (int i = 0; i < 2; ++i) {
    TKSizingCaptionButton& button = m_captionButtons[i];
    if (!button.pushed) continue;
    button.pushed = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    RedrawButton(i);
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    if (HitTest(screen) != button.hitTest) return;
    if (i == 1) {
      ToggleExpansion(TRUE);
    } else if (CanHideByCaption()) {
      if (CFrameWnd* frame = GetDockingFrame()) frame->ShowControlBar(this, FALSE, FALSE);
    }
    return;
  }
  CTKBaseControlBar::OnLButtonUp(flags, point);
}

void CTKSizingControlBar::OnRButtonDown(UINT flags, CPoint point) {
  if (m_isDragging) {
    EndEdgeDrag();
    return;
  }
  POINT screen = point;
  ::ClientToScreen(m_hWnd, &screen);
  SendContextMenuRequest(screen);
  CTKBaseControlBar::OnRButtonDown(flags, point);
}

void CTKSizingControlBar::OnNcRButtonUp(UINT hitTest, CPoint point) {
  SendContextMenuRequest(point);
  CTKBaseControlBar::OnNcRButtonUp(hitTest, point);
}

void CTKSizingControlBar::OnCaptureChanged(CWnd* wnd) {
  if (m_isDragging && AfxGetSafeHwnd(wnd) != m_hWnd) {
    EndEdgeDrag();
    return;
  }
  CTKBaseControlBar::OnCaptureChanged(wnd);
}

BOOL CTKSizingControlBar::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (!IsFloating()) {
    if (hitTest == kHitLeft || hitTest == kHitRight) {
      ::SetCursor(GlobalData::Get().GetStretchCursor());
      return TRUE;
    }
    if (hitTest == kHitTop || hitTest == kHitBottom) {
      ::SetCursor(GlobalData::Get().GetStretchVertCursor());
      return TRUE;
    }
  }
  return CTKBaseControlBar::OnSetCursor(wnd, hitTest, message);
}

void CTKSizingControlBar::OnWindowPosChanging(WINDOWPOS* pos) {
  pos->flags |= SWP_FRAMECHANGED;
  UpdateDockBarId();
  if (!IsFloating() && (pos->flags & SWP_SHOWWINDOW)) m_keepSizeOnce = TRUE;
  CTKBaseControlBar::OnWindowPosChanging(pos);
}

LRESULT CTKSizingControlBar::OnSetText(WPARAM, LPARAM) {
  // The caption shows the text: the frame is drawn again once the text is in.
  LRESULT result = Default();
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_DRAWFRAME);
  return result;
}

void CTKSizingControlBar::ToggleExpansion(BOOL toggle) {
  CArray<CTKSizingControlBar*, CTKSizingControlBar*> row;
  GetRowSizingBars(row);
  if (IsFloating() || row.GetSize() < 2) return;
  if (toggle) m_isExpanded = !m_isExpanded;
  const BOOL horizontal = IsDockedTopBottom();
  const int available = AvailableRowLength(horizontal);
  for (int i = 0; i < row.GetSize(); ++i) {
    CTKSizingControlBar* bar = row[i];
    CSize& size = horizontal ? bar->m_dockedHorzSize : bar->m_dockedVertSize;
    if (m_isExpanded) {
      if (bar != this && bar->m_isExpanded) {
        bar->m_isExpanded = FALSE;
        bar->m_captionButtons[1].tooltipId = 16012;
        bar->UpdateButtonTip(1);
        bar->RedrawButton(1);
      }
      bar->m_savedSize = size;
      if (bar == this) {
        if (horizontal)
          size.cx = available + 2;
        else
          size.cy = available - 2;
      } else if (horizontal) {
        size.cx = bar->m_minSize.cx;
      } else {
        size.cy = bar->m_minSize.cy;
      }
    } else if (toggle) {
      size = bar->m_savedSize;
    }
  }
  m_captionButtons[1].tooltipId = m_isExpanded ? 16013 : 16012;
  UpdateButtonTip(1);
  if (CFrameWnd* frame = GetDockingFrame()) frame->DelayRecalcLayout();
}

CString CTKSizingControlBar::StoredStateSection(const char* profile) const {
  CString section;
  section.Format("%s-SCBar-%d", static_cast<const char*>(GetRegistryPath("TKSizingControlBar", profile)),
                 m_hWnd ? GetDlgCtrlID() : 0);
  return section;
}

CTKTabWnd* CTKSizingControlBar::StoredTabWnd() const {
  if (!m_saveActiveTab || !m_hWnd) return nullptr;
  CTKTabWnd* found = nullptr;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    auto* tabs = dynamic_cast<CTKTabWnd*>(CWnd::FromHandlePermanent(child));
    if (!tabs) continue;
    if (found) return nullptr;  // which one's tab would it be?
    found = tabs;
  }
  return found;
}

BOOL CTKSizingControlBar::ReadStoredState(const char* profile) {
  CWinApp* app = AfxGetApp();
  if (!app) return FALSE;
  CString section = StoredStateSection(profile);
  auto read = [&](const char* name, LONG current, LONG minimum) {
    LONG value = static_cast<LONG>(static_cast<int>(app->GetProfileInt(section, name, current)));
    return std::max(value, minimum);
  };
  m_dockedHorzSize = CSize(read("sizeHorzCX", m_dockedHorzSize.cx, m_minSize.cx),
                           read("sizeHorzCY", m_dockedHorzSize.cy, m_minSize.cy));
  m_dockedVertSize = CSize(read("sizeVertCX", m_dockedVertSize.cx, m_minSize.cx),
                           read("sizeVertCY", m_dockedVertSize.cy, m_minSize.cy));
  m_floatSize = CSize(read("sizeFloatCX", m_floatSize.cx, m_minSize.cx),
                      read("sizeFloatCY", m_floatSize.cy, m_minSize.cy));
  if (app->GetProfileInt(section, "Expanded", 0)) ToggleExpansion(TRUE);
  m_isRolled = app->GetProfileInt(section, "RolledFloat", m_isRolled) != 0;
  m_rollingType = static_cast<int>(app->GetProfileInt(section, "RolledFloatDynamicState", m_rollingType));
  if (m_rollingType == 2 || m_rollingType == 4) m_isRolled = TRUE;
  // A floating bar's frame rolls as the bar says.
  if (m_rollingType != 0)
    if (auto* frame = dynamic_cast<CTKMiniDockFrameWnd*>(CMiniDockFrameWnd::FrameOf(this)))
      frame->SetRolling(m_rollingType, m_isRolled);
  if (CTKTabWnd* tabs = StoredTabWnd())
    tabs->SetActiveTab(static_cast<int>(app->GetProfileInt(section, "ActiveTab", 0)));
  return TRUE;
}

BOOL CTKSizingControlBar::WriteStoredState(const char* profile) {
  CWinApp* app = AfxGetApp();
  if (!app) return FALSE;
  CString section = StoredStateSection(profile);
  // An expanded bar keeps its size from before the expansion.
  CSize horz = m_isExpanded && IsDockedTopBottom() ? m_savedSize : m_dockedHorzSize;
  CSize vert = m_isExpanded && IsDockedLeftRight() ? m_savedSize : m_dockedVertSize;
  BOOL ok = app->WriteProfileInt(section, "sizeHorzCX", horz.cx) &&
            app->WriteProfileInt(section, "sizeHorzCY", horz.cy) &&
            app->WriteProfileInt(section, "sizeVertCX", vert.cx) &&
            app->WriteProfileInt(section, "sizeVertCY", vert.cy) &&
            app->WriteProfileInt(section, "sizeFloatCX", m_floatSize.cx) &&
            app->WriteProfileInt(section, "sizeFloatCY", m_floatSize.cy) &&
            app->WriteProfileInt(section, "Expanded", m_isExpanded);
  if (ok && m_rollingType != 0)
    ok = app->WriteProfileInt(section, "RolledFloat", m_isRolled) &&
         app->WriteProfileInt(section, "RolledFloatDynamicState", m_rollingType);
  if (ok)
    if (CTKTabWnd* tabs = StoredTabWnd())
      ok = app->WriteProfileInt(section, "ActiveTab", tabs->GetActiveTab());
  return ok;
}

void CTKSizingControlBar::SendContextMenuRequest(POINT screen) {
  if (g_toolbarsCustomizing) return;
  static const UINT message = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
  CFrameWnd* frameWnd = GetDockingFrame();
  HWND frame = frameWnd ? frameWnd->m_hWnd : nullptr;
  if (!frame) return;
  ::SendMessageA(frame, message, reinterpret_cast<WPARAM>(m_hWnd),
                 static_cast<LPARAM>((static_cast<DWORD>(screen.y) << 16) | (screen.x & 0xFFFF)));
}
