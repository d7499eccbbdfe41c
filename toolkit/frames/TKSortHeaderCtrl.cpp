#include "toolkit/frames/TKSortHeaderCtrl.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"
#include "toolkit/frames/TKVisualManager.h"

CTKSortHeaderCtrl::CTKSortHeaderCtrl() { m_mapColumnsStatus.reserve(17); }

void CTKSortHeaderCtrl::PreSubclassWindow() {
  m_bIsDlgControl = FALSE;
  for (HWND parent = ::GetParent(m_hWnd); parent; parent = ::GetParent(parent))
    if (dynamic_cast<CDialog*>(FromHandlePermanent(parent))) {
      m_bIsDlgControl = TRUE;
      break;
    }
}

void CTKSortHeaderCtrl::SetSortColumn(int column, BOOL ascending, BOOL add) {
  if (column < 0) {
    m_mapColumnsStatus.clear();
  } else {
    if (!add || !m_bMultipleSort) m_mapColumnsStatus.clear();
    m_mapColumnsStatus[column] = ascending ? 1 : -1;
  }
  if (m_hWnd) Invalidate();
}

void CTKSortHeaderCtrl::RemoveSortColumn(int column) {
  m_mapColumnsStatus.erase(column);
  if (m_hWnd) Invalidate();
}

int CTKSortHeaderCtrl::GetColumnState(int column) const {
  auto it = m_mapColumnsStatus.find(column);
  return it == m_mapColumnsStatus.end() ? 0 : it->second;
}

void CTKSortHeaderCtrl::EnableMultipleSort(BOOL enable) {
  if (m_bMultipleSort == enable) return;
  m_bMultipleSort = enable;
  if (!enable && m_mapColumnsStatus.size() > 1) {
    // Only one column keeps its arrow.
    auto keep = *m_mapColumnsStatus.begin();
    m_mapColumnsStatus.clear();
    m_mapColumnsStatus.insert(keep);
  }
  if (m_hWnd) Invalidate();
}

void CTKSortHeaderCtrl::DrawSortArrow(CDC* dc, CRect rect, BOOL ascending) {
  CTKVisualManager::GetInstance()->PaintHeaderSortArrow(this, dc, rect, ascending);
}

void CTKSortHeaderCtrl::DrawItem(CDC* dc, int item, CRect rect, BOOL pressed, BOOL hot) {
  CTKVisualManager::GetInstance()->PaintHeaderItemBorder(this, dc, rect, pressed, hot);
  if (item < 0) return;
  const int state = GetColumnState(item);
  int arrowLeft = rect.right;
  if (state != 0) {
    CRect arrow = rect;
    arrow.DeflateRect(5, 5);
    if (arrow.Width() > arrow.Height()) arrow.left = arrow.right - arrow.Height();
    if (pressed) arrow.OffsetRect(1, 1);
    const int shrink = static_cast<int>(arrow.Width() * 0.134);
    arrow.DeflateRect(0, shrink);
    DrawSortArrow(dc, arrow, state > 0);
    arrowLeft = arrow.left;
  }

  char text[256] = {};
  HDITEMA hd{};
  hd.mask = HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE;
  hd.pszText = text;
  hd.cchTextMax = 255;
  if (!GetItem(item, &hd)) return;
  CRect content = rect;
  if ((hd.fmt & HDF_IMAGE) && hd.iImage >= 0) {
    if (HIMAGELIST images = GetImageList()) {
      int cx = 0, cy = 0;
      ImageList_GetIconSize(images, &cx, &cy);
      ImageList_Draw(images, hd.iImage, *dc, content.left + 1, content.top + (content.Height() - cy) / 2,
                     ILD_NORMAL);
      content.left += cx;
    }
  }
  if ((hd.fmt & HDF_BITMAP) && hd.hbm) {
    BITMAP bm{};
    ::GetObjectA(hd.hbm, sizeof bm, &bm);
    const int top = content.top + (content.Height() - bm.bmHeight) / 2;
    if (hd.fmt & HDF_BITMAP_ON_RIGHT) {
      ::DrawStateA(*dc, nullptr, nullptr, reinterpret_cast<LPARAM>(hd.hbm), 0, content.right - bm.bmWidth,
                   top, bm.bmWidth, bm.bmHeight, DST_BITMAP);
      content.right -= bm.bmWidth;
    } else {
      ::DrawStateA(*dc, nullptr, nullptr, reinterpret_cast<LPARAM>(hd.hbm), 0, content.left, top, bm.bmWidth,
                   bm.bmHeight, DST_BITMAP);
      content.left += bm.bmWidth;
    }
  }
  if ((hd.fmt & HDF_STRING) || text[0]) {
    content.DeflateRect(5, 0);
    // Text stops short of the sort arrow, so a right-aligned heading stays readable.
    if (content.right > arrowLeft - 2) content.right = arrowLeft - 2;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    switch (hd.fmt & HDF_JUSTIFYMASK) {
      case HDF_CENTER:
        format |= DT_CENTER;
        break;
      case HDF_RIGHT:
        format |= DT_RIGHT;
        break;
      default:
        format |= DT_LEFT;
        break;
    }
    dc->DrawText(text, -1, &content, format);
  }
}

void CTKSortHeaderCtrl::PaintAll(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  CTKVisualManager::GetInstance()->PaintHeaderBackground(this, dc, client);
  HGDIOBJ oldFont = dc->SelectObject(&GlobalData::Get().regularFont);
  dc->SetTextColor(GlobalData::Get().buttonText);
  const int oldMode = dc->SetBkMode(TRANSPARENT);

  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(m_hWnd, &cursor);
  const int underCursor = HitTest(cursor);
  int right = 0;
  const int count = GetItemCount();
  for (int i = 0; i < count; ++i) {
    CRect item;
    GetItemRect(i, &item);
    right = std::max<int>(right, item.right);
    CRgn clip;
    clip.CreateRectRgnIndirect(&item);
    dc->SelectClipRgn(&clip);
    DrawItem(dc, i, item, m_bPressed && underCursor == i, i == m_nHighlightedItem);
    dc->SelectClipRgn(nullptr);
  }
  CRect rest = client;
  rest.left = right;
  if (rest.Width() > 0) DrawItem(dc, -1, rest, FALSE, FALSE);
  dc->SetBkMode(oldMode);
  dc->SelectObject(oldFont);
}

BEGIN_MESSAGE_MAP(CTKSortHeaderCtrl, CTKHeaderCtrlBase)
  ON_WM_PAINT()
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_CANCELMODE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

void CTKSortHeaderCtrl::OnPaint() {
  // Through a memory bitmap, so the items never flicker.
  CPaintDC target(this);
  CRect client;
  GetClientRect(&client);
  CDC memory;
  memory.CreateCompatibleDC(&target);
  HBITMAP bitmap =
      ::CreateCompatibleBitmap(target, std::max<int>(1, client.Width()), std::max<int>(1, client.Height()));
  HGDIOBJ old = memory.SelectObject(bitmap);
  PaintAll(&memory);
  target.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
  ::DeleteObject(bitmap);
}

LRESULT CTKSortHeaderCtrl::OnPrintClient(WPARAM wParam, LPARAM) {
  CDC dc(reinterpret_cast<HDC>(wParam));
  PaintAll(&dc);
  return 0;
}

BOOL CTKSortHeaderCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CTKSortHeaderCtrl::OnMouseMove(UINT flags, CPoint point) {
  // The column under the mouse is hot while no button is down.
  if (!(flags & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
    UINT hitFlags = 0;
    int item = HitTest(point, &hitFlags);
    const int hot = (hitFlags & HHT_ONHEADER) ? item : -1;
    if (!m_bTracked) {
      m_bTracked = TRUE;
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
      ::TrackMouseEvent(&track);
    }
    if (hot != m_nHighlightedItem) {
      m_nHighlightedItem = hot;
      Invalidate();
    }
  }
  CTKHeaderCtrlBase::OnMouseMove(flags, point);
}

void CTKSortHeaderCtrl::OnMouseLeave() {
  m_bTracked = FALSE;
  if (m_nHighlightedItem >= 0) {
    m_nHighlightedItem = -1;
    Invalidate();
  }
  CTKHeaderCtrlBase::OnMouseLeave();
}

void CTKSortHeaderCtrl::OnCancelMode() {
  if (m_nHighlightedItem >= 0) {
    m_nHighlightedItem = -1;
    Invalidate();
  }
  CTKHeaderCtrlBase::OnCancelMode();
}

void CTKSortHeaderCtrl::OnLButtonDown(UINT flags, CPoint point) {
  m_bPressed = TRUE;
  CTKHeaderCtrlBase::OnLButtonDown(flags, point);
}

void CTKSortHeaderCtrl::OnLButtonUp(UINT flags, CPoint point) {
  m_bPressed = FALSE;
  CTKHeaderCtrlBase::OnLButtonUp(flags, point);
}
