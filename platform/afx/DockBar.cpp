#include "platform/afx/DockBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

#include "platform/afx/FrameWnd.h"
#include "platform/afx/MiniDockFrameWnd.h"

namespace {
// A layout that keeps moving bars between rows gives up after this many fresh starts.
constexpr int kMaxLayoutRestarts = 16;
}  // namespace

CDockBar::CDockBar(BOOL floating) : m_bFloating(floating) {
  m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
  m_arrBars.Add(nullptr);
}

BOOL CDockBar::Create(CWnd* parent, DWORD style, UINT id) {
  SetBarStyle(style & CBRS_ALL);
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  DWORD windowStyle = (style & ~static_cast<DWORD>(CBRS_ALL & 0xFFFF)) | WS_CHILD;
  return CWnd::Create(cls, nullptr, windowStyle, CRect(0, 0, 0, 0), parent, id);
}

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CDockBar::OnEraseBkgnd(CDC* dc) { return CControlBar::OnEraseBkgnd(dc); }

void CDockBar::PostNcDestroy() {
  // The frame's sides are made with new and go with their windows; a floating frame's
  // dock bar is part of that frame.
  for (int i = 0; i < m_arrBars.GetSize(); ++i)
    if (m_arrBars[i] && m_arrBars[i]->m_pDockBar == this) m_arrBars[i]->m_pDockBar = nullptr;
  m_arrBars.SetSize(1);
  m_arrBars[0] = nullptr;
  if (!m_bFloating) delete this;
}

int CDockBar::FindBar(const CControlBar* bar) const {
  for (int i = 0; i < m_arrBars.GetSize(); ++i)
    if (m_arrBars[i] == bar) return i;
  return -1;
}

int CDockBar::GetDockedCount() const {
  int count = 0;
  for (int i = 0; i < m_arrBars.GetSize(); ++i) count += m_arrBars[i] != nullptr;
  return count;
}

int CDockBar::GetDockedVisibleCount() const {
  int count = 0;
  for (int i = 0; i < m_arrBars.GetSize(); ++i) count += m_arrBars[i] && m_arrBars[i]->IsVisible();
  return count;
}

void CDockBar::GetRowBounds(int index, int& first, int& last) const {
  first = last = index;
  while (first > 0 && m_arrBars[first - 1]) --first;
  while (last + 1 < m_arrBars.GetSize() && m_arrBars[last + 1]) ++last;
}

void CDockBar::RemoveAll() {
  for (int i = 0; i < m_arrBars.GetSize(); ++i)
    if (m_arrBars[i] && m_arrBars[i]->m_pDockBar == this) m_arrBars[i]->m_pDockBar = nullptr;
  m_arrBars.SetSize(1);
  m_arrBars[0] = nullptr;
  m_arrWrapped.RemoveAll();
  ++m_nChanges;
}

void CDockBar::AppendBar(CControlBar* bar, BOOL newRow) {
  TakeBar(bar);
  // The array ends with the null that closes the last row.
  if (newRow || m_arrBars.GetSize() == 1) {
    m_arrBars.Add(bar);
    m_arrBars.Add(nullptr);
  } else {
    m_arrBars.InsertAt(m_arrBars.GetSize() - 1, bar);
  }
  ++m_nChanges;
}

void CDockBar::ForgetWrapped(const CControlBar* bar) {
  for (int i = m_arrWrapped.GetSize() - 1; i >= 0; --i)
    if (m_arrWrapped[i] == bar) m_arrWrapped.RemoveAt(i);
}

void CDockBar::JoinWrappedRows() {
  for (int w = 0; w < m_arrWrapped.GetSize(); ++w) {
    const int index = FindBar(m_arrWrapped[w]);
    if (index >= 2 && !m_arrBars[index - 1] && m_arrBars[index - 2]) {
      m_arrBars.RemoveAt(index - 1);
      ++m_nChanges;
    }
  }
  m_arrWrapped.RemoveAll();
}

BOOL CDockBar::RemoveControlBar(CControlBar* bar) {
  int index = FindBar(bar);
  if (index < 0) return FALSE;
  ForgetWrapped(bar);
  m_arrBars.RemoveAt(index);
  // Two nulls in a row mean the row went empty.
  if (index < m_arrBars.GetSize() && !m_arrBars[index] && !m_arrBars[index - 1]) m_arrBars.RemoveAt(index);
  if (bar->m_pDockBar == this) bar->m_pDockBar = nullptr;
  ++m_nChanges;
  if (m_bFloating && GetDockedCount() == 0)
    if (auto* frame = dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd))))
      frame->OnLastBarRemoved();
  return TRUE;
}

void CDockBar::MoveToNewRowAfter(CControlBar* bar, int index) {
  int first, last;
  GetRowBounds(index, first, last);
  ForgetWrapped(bar);
  int at = FindBar(bar);
  // The bar and an empty slot go after the row's last slot (and its closing null),
  // then the old slot goes.
  m_arrBars.InsertAt(last + 2, bar);
  m_arrBars.InsertAt(last + 3, nullptr);
  m_arrBars.RemoveAt(at);
  if (at < m_arrBars.GetSize() && !m_arrBars[at] && !m_arrBars[at - 1]) m_arrBars.RemoveAt(at);
  ++m_nChanges;
}

int CDockBar::InsertIndex(const CControlBar* bar, const RECT& screenRect) {
  const BOOL horz = IsHorizontalSide();
  const int centreAlong =
      horz ? (screenRect.left + screenRect.right) / 2 : (screenRect.top + screenRect.bottom) / 2;
  const int centreCross =
      horz ? (screenRect.top + screenRect.bottom) / 2 : (screenRect.left + screenRect.right) / 2;
  // Walk the rows; each row's band across the side is the union of its bars.
  int first = 1;
  bool beforeAll = true;
  while (first < m_arrBars.GetSize()) {
    int last = first;
    while (last < m_arrBars.GetSize() && m_arrBars[last]) ++last;  // m_arrBars[last] is the row's null
    int low = INT32_MAX, high = INT32_MIN;
    for (int i = first; i < last; ++i) {
      if (m_arrBars[i] == bar || !m_arrBars[i]->IsVisible()) continue;
      CRect r;
      m_arrBars[i]->GetWindowRect(&r);
      low = std::min(low, static_cast<int>(horz ? r.top : r.left));
      high = std::max(high, static_cast<int>(horz ? r.bottom : r.right));
    }
    if (low <= high) {
      if (beforeAll && centreCross < low) {
        // Over the side before the first row: a new first row.
        m_arrBars.InsertAt(1, nullptr);
        return 1;
      }
      beforeAll = false;
      if (centreCross >= low && centreCross < high) {
        for (int i = first; i < last; ++i) {
          if (m_arrBars[i] == bar || !m_arrBars[i]->IsVisible()) continue;
          CRect r;
          m_arrBars[i]->GetWindowRect(&r);
          if (centreAlong < (horz ? (r.left + r.right) / 2 : (r.top + r.bottom) / 2)) return i;
        }
        return last;
      }
    }
    first = last + 1;
  }
  // A new last row.
  m_arrBars.Add(nullptr);
  return m_arrBars.GetSize() - 1;
}

void CDockBar::TakeBar(CControlBar* bar) {
  // Leave the old place (a floating frame left empty goes) before taking the bar.
  if (bar->m_pDockBar) bar->m_pDockBar->RemoveControlBar(bar);
  bar->m_pDockBar = this;
  DWORD side = m_dwStyle & CBRS_ALIGN_ANY;
  // A floating bar lies along the top of its frame.
  if (m_bFloating) side = CBRS_ALIGN_TOP;
  bar->SetBarStyle((bar->m_dwStyle & ~static_cast<DWORD>(CBRS_ALIGN_ANY | CBRS_FLOATING)) | side |
                   (m_bFloating ? CBRS_FLOATING : 0));
  if (bar->m_hWnd && ::GetParent(bar->m_hWnd) != m_hWnd) ::SetParent(bar->m_hWnd, m_hWnd);
  if (bar->m_hWnd)
    ::SetWindowPos(bar->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CDockBar::DockControlBar(CControlBar* bar, const RECT* rect) {
  if (!bar) return;
  if (!rect) {
    AppendBar(bar, TRUE);
    return;
  }
  if (bar->m_pDockBar) bar->m_pDockBar->RemoveControlBar(bar);
  m_arrBars.InsertAt(InsertIndex(bar, *rect), bar);
  ++m_nChanges;
  TakeBar(bar);
}

void CDockBar::DockControlBarAfter(CControlBar* bar, const CControlBar* other) {
  if (!bar || bar == other) return;
  if (FindBar(other) < 0) {
    AppendBar(bar, TRUE);
    return;
  }
  if (bar->m_pDockBar) bar->m_pDockBar->RemoveControlBar(bar);
  // Found again: taking the bar out may have moved other's slot.
  m_arrBars.InsertAt(FindBar(other) + 1, bar);
  ++m_nChanges;
  TakeBar(bar);
}

CSize CDockBar::BarSize(CControlBar* bar, BOOL horizontal) {
  if (m_bFloating) {
    if (bar->m_dwStyle & CBRS_SIZE_DYNAMIC) return bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    return bar->CalcFixedLayout(FALSE, TRUE);
  }
  if (bar->m_dwStyle & CBRS_SIZE_DYNAMIC)
    return bar->CalcDynamicLayout(-1, horizontal ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
  return bar->CalcFixedLayout(FALSE, horizontal);
}

CSize CDockBar::CalcFixedLayout(BOOL stretch, BOOL horizontal) { return LayoutRows(stretch, horizontal); }

CSize CDockBar::LayoutRows(BOOL stretch, BOOL horizontal) {
  const BOOL horz = m_bFloating ? TRUE : IsHorizontalSide();
  (void)horizontal;
  CSize result(0, 0);
  if (WrapsLongRows()) JoinWrappedRows();
  for (int restart = 0; restart < kMaxLayoutRestarts; ++restart) {
    CRect room = m_rectLayout;
    if (room.IsRectEmpty() && m_hWnd) ::GetClientRect(::GetParent(m_hWnd), &room);
    const int length = m_bFloating ? 32767 : (horz ? room.Width() : room.Height());
    const int changes = m_nChanges;
    int cross = 0, rowThick = 0, along = 0, longest = 0;
    bool rowHasBars = false, restarted = false;
    for (int i = 0; i < m_arrBars.GetSize() && !restarted; ++i) {
      CControlBar* bar = m_arrBars[i];
      if (!bar) {
        if (rowHasBars) cross += rowThick;
        rowThick = along = 0;
        rowHasBars = false;
        continue;
      }
      if (!bar->IsVisible()) continue;
      CSize size = BarSize(bar, horz);
      if (m_nChanges != changes) {
        restarted = true;
        break;
      }
      int barAlong = horz ? size.cx : size.cy;
      const int barCross = horz ? size.cy : size.cx;
      if (TakesWholeRow(bar)) barAlong = length;
      if (WrapsLongRows() && rowHasBars && along + barAlong > length && m_arrBars[i - 1]) {
        m_arrBars.InsertAt(i, nullptr);
        m_arrWrapped.Add(bar);
        ++m_nChanges;
        restarted = true;
        break;
      }
      if (rowHasBars) along -= Overlap(bar);
      if (barAlong > length - along) barAlong = std::max(0, length - along);
      CRect place = horz ? CRect(along, cross, along + barAlong, cross + barCross)
                         : CRect(cross, along, cross + barCross, along + barAlong);
      if (!m_bLayoutQuery && bar->m_hWnd) {
        CRect now;
        bar->GetWindowRect(&now);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
        if (now != place)
          ::SetWindowPos(bar->m_hWnd, nullptr, place.left, place.top, place.Width(), place.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
      }
      along += barAlong;
      longest = std::max(longest, along);
      rowThick = std::max(rowThick, barCross);
      rowHasBars = true;
    }
    if (restarted) continue;
    if (rowHasBars) cross += rowThick;
    if (horz)
      result = CSize(stretch ? 32767 : longest, cross);
    else
      result = CSize(cross, stretch ? 32767 : longest);
    break;
  }
  return result;
}

LRESULT CDockBar::OnSizeParent(AFX_SIZEPARENTPARAMS* layout) {
  m_rectLayout = layout->rect;
  m_bLayoutQuery = layout->hDWP == nullptr;
  LRESULT result = CControlBar::OnSizeParent(layout);
  m_bLayoutQuery = FALSE;
  return result;
}
