// A toolbar as the target of dragged buttons in customize mode: the insertion marker
// and the drop.
#include "toolkit/bars/TKToolBar.h"

#include "toolkit/bars/ToolbarDropSource.h"

namespace {
// The marker area redrawn around the line.
CRect MarkerArea(const CRect& marker) {
  CRect area = marker;
  area.InflateRect(4, 4);
  return area;
}
}  // namespace

DROPEFFECT CTKToolBar::OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point) {
  m_iDragIndex = -1;
  m_rectDrag.SetRectEmpty();
  CToolbarDropSource::Get().m_bDeleteOnDrop = FALSE;
  return OnDragOver(data, keyState, point);
}

DROPEFFECT CTKToolBar::OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) {
  if (m_bLocked) return DROPEFFECT_NONE;
  CTKToolbarButton* button = CTKToolbarButton::CreateFromOleData(data);
  if (!button) return DROPEFFECT_NONE;
  const BOOL allowed = button->CanBeDropped(this);
  delete button;
  if (!allowed) return DROPEFFECT_NONE;
  m_bIsDragCopy = (keyState & MK_CONTROL) != 0;
  if (!m_pDragButton && m_iSelected >= 0) {
    const int old = m_iSelected;
    m_iSelected = -1;
    InvalidateButton(old);
  }
  CRect marker;
  const int index = FindDropIndex(point, marker);
  if (marker != m_rectDrag || index != m_iDragIndex) {
    ::InvalidateRect(m_hWnd, MarkerArea(m_rectDrag), TRUE);
    m_rectDrag = marker;
    m_iDragIndex = index;
    ::InvalidateRect(m_hWnd, MarkerArea(m_rectDrag), TRUE);
    UpdateWindow();
  }
  // The highlight follows the point; a menu opens as the point arrives on its button
  // (a resting point leaves it as it is).
  if (const int hit = HitTest(point); hit != m_iHighlighted) {
    m_iHighlighted = hit;
    SetHotMenuIndex(hit);
  }
  if (m_iDragIndex < 0) return DROPEFFECT_NONE;
  return m_bIsDragCopy ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void CTKToolBar::OnDragLeave() {
  ::InvalidateRect(m_hWnd, MarkerArea(m_rectDrag), TRUE);
  m_rectDrag.SetRectEmpty();
  m_iDragIndex = -1;
  UpdateWindow();
  CToolbarDropSource::Get().m_bDeleteOnDrop = TRUE;
}

int CTKToolBar::FindDropIndex(CPoint point, CRect& marker) const {
  CRect client;
  GetClientRect(&client);
  marker.SetRectEmpty();
  if (m_Buttons.IsEmpty()) {
    marker = client;
    return 0;
  }
  int index = 0;
  if (!IsHorizontal()) {
    for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index) {
      auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
      if (button->m_bHidden || !button->IsVisible()) continue;
      const CRect& r = button->m_rect;
      if (point.y < r.top) {
        marker.SetRect(r.left, r.top, r.right, r.top);
        return index;
      }
      if (point.y < r.bottom) {
        if (point.y > r.CenterPoint().y) {
          marker.SetRect(r.left, r.bottom, r.right, r.bottom);
          return index + 1;
        }
        marker.SetRect(r.left, r.top, r.right, r.top);
        return index;
      }
    }
    return -1;
  }
  // The row pitch: the row height and the gap between the first two rows.
  int pitch = GetRowHeight() + 5;
  int firstTop = -1;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button->m_bHidden || !button->IsVisible()) continue;
    if (firstTop < 0) {
      firstTop = button->m_rect.top;
    } else if (button->m_rect.top > firstTop) {
      pitch = button->m_rect.top - firstTop;
      break;
    }
  }
  if (firstTop < 0) firstTop = client.top;
  const int row = pitch > 0 ? std::max(0, (point.y - firstTop) / pitch) : 0;
  const int rowTop = firstTop + row * pitch;
  int lastInRow = -1;
  CRect lastRect;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button->m_bHidden || !button->IsVisible() || button->m_rect.top != rowTop) continue;
    const CRect& r = button->m_rect;
    if (point.x < r.left) {
      marker.SetRect(r.left, r.top, r.left, r.bottom);
      return index;
    }
    if (point.x < r.right) {
      if (point.x > r.CenterPoint().x) {
        marker.SetRect(r.right, r.top, r.right, r.bottom);
        return index + 1;
      }
      marker.SetRect(r.left, r.top, r.left, r.bottom);
      return index;
    }
    lastInRow = index;
    lastRect = r;
  }
  if (lastInRow >= 0) {
    marker.SetRect(lastRect.right, lastRect.top, lastRect.right, lastRect.bottom);
    return lastInRow + 1;
  }
  return -1;
}

void CTKToolBar::DrawDragMarker(CDC* dc) {
  HDC hdc = dc->GetSafeHdc();
  HGDIOBJ old = ::SelectObject(
      hdc, m_hSeparatorPen ? static_cast<HGDIOBJ>(m_hSeparatorPen) : ::GetStockObject(BLACK_PEN));
  const CRect& m = m_rectDrag;
  if (IsHorizontal() || m_Buttons.IsEmpty()) {
    // A vertical I-beam: two strokes side by side with short caps.
    for (int dx = -1; dx <= 0; ++dx) {
      ::MoveToEx(hdc, m.left + dx, m.top + 1, nullptr);
      ::LineTo(hdc, m.left + dx, m.bottom - 1);
    }
    ::MoveToEx(hdc, m.left - 3, m.top, nullptr);
    ::LineTo(hdc, m.left + 3, m.top);
    ::MoveToEx(hdc, m.left - 3, m.bottom - 1, nullptr);
    ::LineTo(hdc, m.left + 3, m.bottom - 1);
  } else {
    for (int dy = -1; dy <= 0; ++dy) {
      ::MoveToEx(hdc, m.left + 1, m.top + dy, nullptr);
      ::LineTo(hdc, m.right - 1, m.top + dy);
    }
    ::MoveToEx(hdc, m.left, m.top - 3, nullptr);
    ::LineTo(hdc, m.left, m.top + 3);
    ::MoveToEx(hdc, m.right - 1, m.top - 3, nullptr);
    ::LineTo(hdc, m.right - 1, m.top + 3);
  }
  ::SelectObject(hdc, old);
}

CTKToolbarButton* CTKToolBar::CreateDroppedButton(COleDataObject* data) {
  CTKToolbarButton* button = CTKToolbarButton::CreateFromOleData(data);
  if (!button) return nullptr;
  const int tab = button->m_strText.Find('\t');
  if (tab >= 0) button->m_strText = button->m_strText.Left(tab);
  if (!button->m_bFromToolbar) {
    // From the customization sheet: the image, not the text.
    button->m_bImage = TRUE;
    button->m_bText = FALSE;
    if (button->GetImage() < 0 && button->m_strText.IsEmpty()) {
      delete button;
      return nullptr;
    }
    if (button->GetImage() < 0) {
      button->m_bImage = FALSE;
      button->m_bText = TRUE;
    }
  }
  return button;
}

BOOL CTKToolBar::OnDrop(COleDataObject* data, DROPEFFECT effect, CPoint point) {
  int index = m_iDragIndex;
  if (index < 0) return FALSE;
  CTKToolbarButton* dragged = m_pDragButton;
  m_pDragButton = nullptr;
  OnDragLeave();
  CTKToolbarButton* button = CreateDroppedButton(data);
  if (!button) return FALSE;
  button->m_bFromToolbar = FALSE;
  if (dragged && effect != DROPEFFECT_COPY) {
    const int original = ButtonToIndex(dragged);
    if (original >= 0 && (index == original || index == original + 1)) {
      // Dropped where it stands: a drag along the bar starts or ends a group instead.
      ToggleGroupByDrag(dragged, m_ptStartDrag, point);
      delete button;
      return TRUE;
    }
    if (original >= 0) {
      RemoveButton(original);
      if (original < index) --index;
      index = std::min(index, GetCount());
    }
  }
  if (InsertButton(button, index) < 0) {
    delete button;
    return FALSE;
  }
  AdjustSize();
  m_iSelected = -1;
  Invalidate();
  return TRUE;
}
