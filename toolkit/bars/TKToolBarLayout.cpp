// The toolbar's sizes, wrapping and layout, its painting, tooltips and command state.
#include "toolkit/bars/TKToolBar.h"

#include "toolkit/frames/BackBuffer.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MeasuringDC.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TKVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <optional>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr int kRowGap = 5;

// The picture every bar paints into, kept for the program's life.
BackBuffer& BarsBackBuffer() {
  static auto* kept = new BackBuffer;
  return *kept;
}

CTKToolbarButton* ButtonAt(const CObList& list, POSITION pos) {
  return static_cast<CTKToolbarButton*>(list.GetAt(pos));
}

// The font of the bar's orientation, selected for measuring.
class OrientationFont {
public:
  OrientationFont(CDC& dc, BOOL horizontal) : m_dc(dc) {
    m_old = ::SelectObject(dc.GetSafeHdc(), horizontal ? GlobalData::Get().regularFont.m_hObject
                                                       : GlobalData::Get().verticalFont.m_hObject);
  }
  ~OrientationFont() { ::SelectObject(m_dc.GetSafeHdc(), m_old); }

private:
  CDC& m_dc;
  HGDIOBJ m_old;
};

}  // namespace

int CTKToolBar::GetRowHeight() const {
  int height;
  if (m_bMenuMode) {
    height = s_sizeMenuButton.cy < 1 ? s_sizeButton.cy : s_sizeMenuButton.cy;
  } else {
    height = GetButtonSize().cy;
    if (AllowLookBorder()) height += CTKVisualManager::GetInstance()->GetButtonExtraSize().cy;
  }
  const int text = IsHorizontal() ? GlobalData::Get().textHeight : GlobalData::Get().verticalTextHeight;
  height = std::max(height, text);
  if (m_bTallRows) height = m_nTallRowHeight;
  return height;
}

int CTKToolBar::GetColumnWidth() const {
  if (m_bMenuMode) return s_sizeMenuButton.cx < 1 ? s_sizeButton.cx : s_sizeMenuButton.cx;
  int width = GetButtonSize().cx;
  if (AllowLookBorder()) width += CTKVisualManager::GetInstance()->GetButtonExtraSize().cx;
  return width;
}

int CTKToolBar::CalcMaxButtonHeight() {
  m_bTallRows = FALSE;
  const int rowHeight = GetRowHeight();
  int tallest = 0;
  MeasuringDC dc;
  HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), GlobalData::Get().regularFont.m_hObject);
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (!button->m_bTextBelow) continue;
    if (button->m_strText.IsEmpty()) FillButtonText(button);
    SIZE size = button->OnCalculateSize(&dc, SIZE{GetColumnWidth(), rowHeight}, TRUE);
    tallest = std::max<int>(tallest, size.cy);
  }
  ::SelectObject(dc.GetSafeHdc(), old);
  if (tallest > rowHeight) {
    m_bTallRows = TRUE;
    m_nTallRowHeight = tallest;
  }
  return tallest;
}

void CTKToolBar::WrapToolBar(int width, int height) {
  MeasuringDC dc;
  const BOOL horizontal = IsHorizontal();
  OrientationFont font(dc, horizontal);
  if (IsFloating()) height = 32767;
  int x = 0, y = 0;
  const SIZE defaultSize{GetColumnWidth(), GetRowHeight()};
  CTKToolbarButton* previous = nullptr;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    CTKToolbarButton* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    button->m_bWrap = FALSE;
    button->m_nStyle &= ~TBBS_WRAPPED;
    if (!button->IsVisible()) continue;
    SIZE size = button->OnCalculateSize(&dc, defaultSize, horizontal);
    if (button->IsSeparator() && x == 0) continue;  // a separator starting a row takes no room
    if (x + size.cx > width && y + size.cy < height && !button->IsSeparator() && previous) {
      previous->m_bWrap = TRUE;
      previous->m_nStyle |= TBBS_WRAPPED;
      y += size.cy + kRowGap;
      x = 0;
    }
    x += size.cx;
    previous = button;
  }
}

int CTKToolBar::WrappedRows() {
  int rows = 1;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    CTKToolbarButton* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button->m_bWrap && pos) ++rows;
  }
  return rows;
}

void CTKToolBar::SizeToolBar(int length, BOOL vertical) {
  if (!vertical) {
    int low = 0, high = length;
    WrapToolBar(high);
    const int rows = WrappedRows();
    WrapToolBar(low);
    // The narrowest width that still gives as many rows as the length does.
    while (high - low > 1) {
      const int middle = (low + high) / 2;
      WrapToolBar(middle);
      if (WrappedRows() > rows)
        low = middle;
      else
        high = middle;
    }
    WrapToolBar(high);
    return;
  }
  int width = 32767;
  WrapToolBar(width);
  CSize size = CalcSize(FALSE);
  width = size.cx;
  const int step = GetColumnWidth();
  int narrow = 0;
  WrapToolBar(narrow);
  // Widen from one column until the height fits.
  for (width = step; CalcSize(FALSE).cy > length && width < 32767; width += step) WrapToolBar(width);
  WrapToolBar(width);
}

CSize CTKToolBar::CalcSize(BOOL vertical) {
  if (m_Buttons.IsEmpty()) {
    SIZE extra = CTKVisualManager::GetInstance()->GetButtonExtraSize();
    return CSize(GetColumnWidth() + extra.cx, GetRowHeight() + extra.cy);
  }
  MeasuringDC dc;
  OrientationFont font(dc, !vertical);
  const SIZE defaultSize{GetColumnWidth(), m_bTallRows ? m_nTallRowHeight : GetRowHeight()};
  CSize size(0, 0);
  int x = 0, y = 0;
  BOOL rowStart = TRUE;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    CTKToolbarButton* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (!button->IsVisible()) continue;
    SIZE bs = button->OnCalculateSize(&dc, defaultSize, !vertical);
    if (!vertical && button->m_bTextBelow) bs.cy = defaultSize.cy;  // its row's height
    if (!vertical) {
      if (!(button->IsSeparator() && rowStart)) {
        x += bs.cx;
        size.cx = std::max<LONG>(size.cx, x);
        size.cy = std::max<LONG>(size.cy, y + bs.cy);
        rowStart = FALSE;
      }
      if (button->m_bWrap) {
        y += defaultSize.cy + kRowGap;
        x = 0;
        rowStart = TRUE;
      }
    } else {
      y += bs.cy;
      size.cy = std::max<LONG>(size.cy, y);
      size.cx = std::max<LONG>(size.cx, bs.cx);
    }
  }
  return size;
}

CSize CTKToolBar::CalcLayout(DWORD mode, int length) {
  const BOOL horizontal = (mode & LM_HORZ) != 0;
  CalcMaxButtonHeight();
  CRect inside(0, 0, 0, 0);
  CalcInsideRect(inside, horizontal);
  if (!(m_dwStyle & CBRS_SIZE_FIXED)) {
    int wrap;
    if (!(m_dwStyle & CBRS_SIZE_DYNAMIC))
      wrap = horizontal ? 32767 : 0;
    else if (mode & LM_MRUWIDTH)
      wrap = m_nMruWidth;
    else if (mode & LM_HORZDOCK)
      wrap = 32767;
    else if (mode & LM_VERTDOCK)
      wrap = 0;
    else if (length == -1)
      wrap = IsFloating() ? m_nMruWidth : (horizontal ? 32767 : 0);
    else
      wrap = (mode & LM_LENGTHY) ? length + inside.Height() : length + inside.Width();
    // Wrapping a vertical bar at width 0 puts every button in a row of its own.
    const DWORD saved = m_dwStyle;
    if (!horizontal && !(mode & LM_LENGTHY)) m_dwStyle = (m_dwStyle & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_LEFT;
    if (horizontal)
      m_dwStyle =
          (m_dwStyle & ~CBRS_ALIGN_ANY) | ((saved & CBRS_ALIGN_BOTTOM) ? CBRS_ALIGN_BOTTOM : CBRS_ALIGN_TOP);
    SizeToolBar(wrap, (mode & LM_LENGTHY) != 0);
    m_dwStyle = saved;
  }
  CSize size = CalcSize(!horizontal);
  if ((mode & LM_COMMIT) && IsFloating() && (m_dwStyle & CBRS_SIZE_DYNAMIC) && horizontal)
    m_nMruWidth = size.cx;
  size.cx -= inside.Width();
  size.cy -= inside.Height();
  CSize fixed = CControlBar::CalcFixedLayout((mode & LM_STRETCH) != 0, horizontal);
  size.cx = std::max<LONG>(size.cx, fixed.cx);
  size.cy = std::max<LONG>(size.cy, fixed.cy);
  RebuildAccelerationKeys();
  return size;
}

CSize CTKToolBar::CalcFixedLayout(BOOL stretch, BOOL horizontal) {
  DWORD mode = stretch ? LM_STRETCH : 0;
  if (horizontal) mode |= LM_HORZ;
  return CalcLayout(mode);
}

CSize CTKToolBar::CalcDynamicLayout(int length, DWORD mode) {
  if (length == -1 && !(mode & LM_MRUWIDTH) && !(mode & LM_COMMIT) && (mode & (LM_HORZDOCK | LM_VERTDOCK)))
    return CalcFixedLayout(mode & LM_STRETCH, mode & LM_HORZDOCK);
  return CalcLayout(mode, length);
}

void CTKToolBar::AdjustLayout() {
  if (m_Buttons.IsEmpty() || !m_hWnd) return;
  const BOOL horizontal = IsHorizontal();
  MeasuringDC dc;
  OrientationFont font(dc, horizontal);
  CRect client;
  GetClientRect(&client);
  int x = client.left + 1, y = client.top + 1;
  int rowTop = client.top;
  const int rowHeight = GetRowHeight();
  const SIZE defaultSize{GetColumnWidth(), rowHeight};
  BOOL lastWasSeparator = TRUE;  // nothing before the first button
  POSITION rowStart = m_Buttons.GetHeadPosition();
  int rowWidth = 0;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    POSITION at = pos;
    CTKToolbarButton* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    const BOOL wasHidden = button->m_bHidden;
    SIZE size = button->OnCalculateSize(&dc, defaultSize, horizontal);
    if (horizontal && button->m_bTextBelow) size.cy = rowHeight;
    CRect rect;
    button->m_bHidden = !button->IsVisible();
    if (button->IsSeparator() && lastWasSeparator) {
      button->m_bHidden = TRUE;
      rect.SetRectEmpty();
    } else if (horizontal) {
      rect.SetRect(x, rowTop, x + size.cx, rowTop + size.cy);
      x += size.cx;
      rowWidth += size.cx;
    } else {
      rect.SetRect(client.left, y, client.left + size.cx, y + size.cy);
      y += size.cy;
    }
    if (button->m_bHidden != wasHidden) button->OnShow(!button->m_bHidden);
    if (rect != button->m_rect) {
      button->m_rect = rect;
      button->OnMove();
    }
    if (!button->m_bHidden) lastWasSeparator = button->IsSeparator();
    if (horizontal && (button->m_bWrap || !pos)) {
      // A floating bar with text labels centres each row.
      if (IsFloating() && m_bTextLabels) {
        const int free = (client.Width() - rowWidth) / 2;
        if (free >= 1)
          for (POSITION r = rowStart; r != pos; m_Buttons.GetNext(r))
            ButtonAt(m_Buttons, r)->m_rect.OffsetRect(free, 0);
      }
      x = client.left + 1;
      rowTop += rowHeight + kRowGap;
      rowWidth = 0;
      rowStart = pos;
      if (button->m_bWrap) lastWasSeparator = TRUE;
    }
    (void)at;
  }
  PlaceCustomizeButton();
  RebuildAccelerationKeys();
}

void CTKToolBar::AdjustSize() {
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    button->m_bTextBelow = !button->IsSeparator() && m_bTextLabels && IsHorizontal();
  }
  if (!m_hWnd) return;
  // The frame that holds the bar lays its sides out again, so the bar's dock bar
  // (or floating frame) takes the bar's new size. A docked bar's parent is its dock
  // bar, not the frame: the nearest frame among its parents is the one to ask.
  for (HWND parent = ::GetParent(m_hWnd); parent; parent = ::GetParent(parent)) {
    if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(parent))) {
      frame->RecalcLayout();
      break;
    }
  }
  AdjustLayout();
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

void CTKToolBar::RebuildAccelerationKeys() {
  m_AcellKeys.RemoveAll();
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button->IsSeparator() || !(button->m_bText || button->m_bTextBelow)) continue;
    const CString& text = button->m_strText;
    for (int i = 0; i + 1 < text.GetLength(); ++i) {
      if (text[i] != '&') continue;
      if (text[i + 1] == '&') {
        ++i;
        continue;
      }
      m_AcellKeys.SetAt(static_cast<UINT>(toupper(static_cast<unsigned char>(text[i + 1]))), button);
      break;
    }
  }
}

LRESULT CTKToolBar::OnHelpHitTest(WPARAM, LPARAM point) {
  const int index = HitTest(CPoint(static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))));
  CTKToolbarButton* button = index >= 0 ? GetButton(index) : nullptr;
  if (!button || button->m_nID == 0 || button->m_nID == (UINT)-1) return 0;
  return HID_BASE_COMMAND + button->m_nID;
}

int CTKToolBar::HitTest(CPoint point) {
  int index = 0;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button->IsVisible() && !button->m_bHidden && button->Rect().PtInRect(point))
      return button->IsSeparator() ? -1 : index;
  }
  return -1;
}

// Painting -----------------------------------------------------------------------------

void CTKToolBar::OnPaint() {
  PAINTSTRUCT ps;
  HDC hdc = ::BeginPaint(m_hWnd, &ps);
  CDC dc(hdc);
  DoPaint(&dc);
  dc.Detach();
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CTKToolBar::OnPrintClient(WPARAM wParam, LPARAM) {
  CDC dc(reinterpret_cast<HDC>(wParam));
  DoPaint(&dc);
  dc.Detach();
  return 0;
}

BOOL CTKToolBar::OnEraseBkgnd(CDC*) { return TRUE; }

void CTKToolBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params) { m_Impl.ShrinkClientRect(&params->rgrc[0]); }

void CTKToolBar::OnNcPaint() { m_Impl.PaintNonClient(reinterpret_cast<HRGN>(GetCurrentMessage()->wParam)); }

LRESULT CTKToolBar::OnNcHitTest(CPoint) { return HTCLIENT; }

void CTKToolBar::DrawSeparator(CDC* dc, const CRect& rect, BOOL horizontal) {
  CTKVisualManager::GetInstance()->PaintSeparator(dc, this, rect, horizontal);
}

void CTKToolBar::DoPaint(CDC* paintDC) {
  CRect client;
  GetClientRect(&client);
  CRect clip;
  ::GetClipBox(paintDC->GetSafeHdc(), &clip);
  // Drawn into the bars' kept picture when there is one, then copied in one block; a
  // picture asking for the bar's pixels (WM_PRINTCLIENT) is drawn into directly.
  const BOOL intoPicture = ::GetObjectType(paintDC->GetSafeHdc()) == OBJ_MEMDC;
  std::optional<BackBuffer::Lease> buffer;
  if (!intoPicture) buffer.emplace(BarsBackBuffer(), client.Width(), client.Height());
  HDC memory = buffer ? buffer->Dc() : nullptr;
  const int saved = intoPicture ? ::SaveDC(paintDC->GetSafeHdc()) : 0;
  CDC target;
  target.Attach(memory ? memory : paintDC->GetSafeHdc());
  CDC* dc = &target;
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  if (GetStyle() & TBSTYLE_TRANSPARENT)
    m_Impl.PaintParentBack(dc);
  else
    look->PaintBarBackground(dc, this, client, client);
  OnFillBackground(dc);
  dc->SetTextColor(GlobalData::Get().buttonText);
  dc->SetBkMode(TRANSPARENT);
  const BOOL horizontal = IsHorizontal();
  HGDIOBJ oldFont = ::SelectObject(dc->GetSafeHdc(), horizontal ? GlobalData::Get().regularFont.m_hObject
                                                                : GlobalData::Get().verticalFont.m_hObject);
  const BOOL large = s_bLargeIcons && !m_bMenuMode;
  CTKToolbarImageList* images =
      m_bLocked ? (large && m_LargeImagesLocked.GetCount() ? &m_LargeImagesLocked : &m_ImagesLocked)
                : (large && s_LargeImages.GetCount() ? &s_LargeImages : &s_Images);
  CTKToolbarImageList* cold =
      m_bLocked
          ? (large && m_LargeColdImagesLocked.GetCount() ? &m_LargeColdImagesLocked : &m_ColdImagesLocked)
          : (large && s_LargeColdImages.GetCount() ? &s_LargeColdImages : &s_ColdImages);
  CTKToolbarImageList* disabled =
      m_bLocked ? (large && m_LargeDisabledImagesLocked.GetCount() ? &m_LargeDisabledImagesLocked
                                                                   : &m_DisabledImagesLocked)
                : (large && s_LargeDisabledImages.GetCount() ? &s_LargeDisabledImages : &s_DisabledImages);
  CTKToolbarImageList* menu = m_bLocked ? &m_MenuImagesLocked : &s_MenuImages;
  CTKToolbarImageList* menuDisabled = m_bLocked ? &m_MenuImagesLockedDisabled : &s_MenuImagesDisabled;
  if (images->GetCount() && images->GetTransparentColor() != GlobalData::Get().buttonFace) {
    images->SetTransparentColor(GlobalData::Get().buttonFace);
    images->CreateFadedImages();
  }
  for (CTKToolbarImageList* list : {cold, disabled, menu, menuDisabled})
    if (list->GetTransparentColor() != GlobalData::Get().buttonFace)
      list->SetTransparentColor(GlobalData::Get().buttonFace);
  if (s_pUserImages) s_pUserImages->SetTransparentColor(GlobalData::Get().buttonFace);
  const BOOL customizing = IsCustomizeMode() && !m_bLocked;
  CTKToolbarImageList* prepared = nullptr;
  const CSize imageSize = GetImageSize();
  int index = 0;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button->IsSeparator()) {
      if (button->m_bHidden) continue;
      if (button->m_bWrap && horizontal) {
        CRect line(client.left, button->m_rect.bottom, client.right, button->m_rect.bottom + kRowGap);
        DrawSeparator(dc, line, FALSE);
      } else {
        DrawSeparator(dc, button->m_rect, horizontal);
      }
      continue;
    }
    CRect meet;
    if (!meet.IntersectRect(&button->m_rect, &clip)) continue;
    BOOL highlighted;
    if (customizing)
      highlighted = FALSE;
    else if (m_bMenuMode)
      highlighted = index == m_iHighlighted;
    else
      highlighted = (index == m_iHighlighted || index == m_iButtonCapture) &&
                    (m_iButtonCapture == -1 || m_iButtonCapture == index);
    const BOOL isDisabled = (button->m_nStyle & TBBS_DISABLED) && !customizing;
    CTKToolbarImageList* list;
    BOOL disabledUsed = FALSE;
    if (button->m_bUserImage && s_pUserImages && button->m_iUserImage >= 0) {
      list = s_pUserImages;
    } else if (m_bMenuMode && menu->GetCount()) {
      list = isDisabled && menuDisabled->GetCount() ? menuDisabled : menu;
      disabledUsed = list == menuDisabled;
    } else if (isDisabled && disabled->GetCount()) {
      list = disabled;
      disabledUsed = TRUE;
    } else {
      list = images;
      if (!highlighted && !(button->m_nStyle & TBBS_PRESSED) && !isDisabled && cold->GetCount() &&
          !button->IsDroppedDown())
        list = cold;
    }
    if (list != prepared) {
      if (prepared) prepared->EndDraw();
      prepared = list->PrepareDraw(dc, imageSize) ? list : nullptr;
    }
    DrawButton(dc, button, prepared, highlighted, disabledUsed);
  }
  if (prepared) prepared->EndDraw();
  if (m_iSelected >= GetCount()) m_iSelected = -1;
  if (customizing && s_pSelectedToolbar == this && m_iSelected >= 0) {
    CTKToolbarButton* selected = GetButton(m_iSelected);
    if (selected && selected->CanBeStored()) {
      CRect frame = selected->m_rect;
      HBRUSH brush = ::CreateSolidBrush(GlobalData::Get().buttonText);
      ::FrameRect(dc->GetSafeHdc(), &frame, brush);
      frame.DeflateRect(1, 1);
      ::FrameRect(dc->GetSafeHdc(), &frame, brush);
      ::DeleteObject(brush);
    }
  }
  if (m_iDragIndex >= 0) DrawDragMarker(dc);
  ::SelectObject(dc->GetSafeHdc(), oldFont);
  target.Detach();
  if (memory) ::BitBlt(paintDC->GetSafeHdc(), 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
  if (saved) ::RestoreDC(paintDC->GetSafeHdc(), saved);
}

BOOL CTKToolBar::DrawButton(CDC* dc, CTKToolbarButton* button, CTKToolbarImageList* images, BOOL highlighted,
                            BOOL disabledImagesUsed) {
  if (!button->IsVisible() || button->m_bHidden || button->m_rect.IsRectEmpty()) return FALSE;
  button->OnDraw(dc, button->m_rect, images, IsHorizontal(), IsCustomizeMode() && !m_bLocked, highlighted,
                 m_bDrawTextLabels, m_bGrayDisabledButtons && !disabledImagesUsed);
  return TRUE;
}

// Tooltips -----------------------------------------------------------------------------

BOOL CTKToolBar::OnUserToolTip(CTKToolbarButton* button, CString& text) const {
  HWND top = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
  auto* frame = CTKFrameSite::Of(CWnd::FromHandlePermanent(top));
  return frame && frame->OnMenuButtonToolTip(button, text);
}

int CTKToolBar::OnToolHitTest(CPoint point, TOOLINFOA* info) {
  if (!s_bShowTooltips) return -1;
  const int index = HitTest(point);
  CTKToolbarButton* button = GetButton(index);
  if (!button) return -1;
  if (info && button->OnToolHitTest(this, info)) return -1;
  CString text;
  if (!OnUserToolTip(button, text)) {
    if (!button->m_strTooltip.IsEmpty()) {
      text = button->m_strTooltip;
    } else if ((button->m_nID == 0 || button->m_nID == (UINT)-1 || button->m_bUserImage) &&
               !button->m_strText.IsEmpty()) {
      text = CTKToolbarButton::TextWithoutAmpersands(button->m_strText);
    } else if (g_pUserToolsManager && g_pUserToolsManager->LookupTool(button->m_nID)) {
      text = button->m_strText;
    } else {
      char buffer[256] = "";
      if (::LoadStringA(::GetModuleHandleA(nullptr), button->m_nID, buffer, 256)) {
        const char* newline = strchr(buffer, '\n');
        text = newline ? newline + 1 : buffer;
      }
    }
  }
  if (text.IsEmpty()) return -1;
  if (s_bShowShortcutKeys && button->m_nID != 0 && button->m_nID != (UINT)-1 && g_pKeyboardManager) {
    HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
    auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(top));
    CString key;
    if (frame && g_pKeyboardManager->FindAcceleratorText(button->m_nID, key, frame, TRUE))
      text += " (" + key + ")";
  }
  if (info) {
    info->hwnd = m_hWnd;
    info->uId = button->m_nID == (UINT)-1 ? 0 : button->m_nID;
    info->rect = button->Rect();
    char* copy = static_cast<char*>(malloc(text.GetLength() + 1));
    memcpy(copy, text.str().c_str(), text.GetLength() + 1);
    info->lpszText = copy;
  }
  return static_cast<int>(button->m_nID);
}

void CTKToolBar::UpdateTooltip(int index) {
  if (!m_hWnd) return;
  if (!m_hToolTip) {
    m_hToolTip = ::CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!m_hToolTip) return;
    ::SendMessageA(m_hToolTip, WM_SETFONT, reinterpret_cast<WPARAM>(GlobalData::Get().regularFont.m_hObject),
                   FALSE);
    if (GlobalData::Get().maxTooltipWidth != -1)
      ::SendMessageA(m_hToolTip, TTM_SETMAXTIPWIDTH, 0, GlobalData::Get().maxTooltipWidth);
  }
  TOOLINFOA old{};
  old.cbSize = sizeof old;
  old.hwnd = m_hWnd;
  old.uId = 1;
  ::SendMessageA(m_hToolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&old));
  m_nToolTipCommand = 0;
  CTKToolbarButton* button = GetButton(index);
  if (!button || IsCustomizeMode()) return;
  TOOLINFOA info{};
  info.cbSize = sizeof info;
  if (OnToolHitTest(button->Rect().CenterPoint(), &info) == -1) return;
  char* text = info.lpszText;
  m_nToolTipCommand = static_cast<UINT>(info.uId);
  info.uFlags = 0;
  info.hwnd = m_hWnd;
  info.uId = 1;
  ::SendMessageA(m_hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  ::SendMessageA(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
  free(text);
}

void CTKToolBar::RelayToTooltip(UINT message, CPoint point) {
  if (!m_hToolTip) return;
  MSG msg{};
  msg.hwnd = m_hWnd;
  msg.message = message;
  msg.lParam = MAKELPARAM(point.x, point.y);
  msg.time = ::GetMessageTime();
  ::GetCursorPos(&msg.pt);
  ::SendMessageA(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

// Command state ------------------------------------------------------------------------

namespace {

// The state of one toolbar button, set by the command's update handler.
class ToolbarCmdUI : public CCmdUI {
public:
  CTKToolBar* m_bar = nullptr;
  int m_index = 0;
  void Enable(BOOL on) override {
    CCmdUI::Enable(on);
    UINT style = m_bar->GetButtonStyle(m_index) & ~TBBS_DISABLED;
    if (!on) style |= TBBS_DISABLED;
    m_bar->SetButtonStyle(m_index, style);
  }
  void SetCheck(int check) override {
    UINT style = m_bar->GetButtonStyle(m_index) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (check == 1 || check >= 3)
      style |= TBBS_CHECKED;
    else if (check == 2)
      style |= TBBS_INDETERMINATE;
    m_bar->SetButtonStyle(m_index, style | TBBS_CHECKBOX);
  }
  void SetText(const char* text) override {
    if (m_bar->m_bIgnoreSetText || !text) return;
    CString value(text);
    const int tab = value.Find('\t');
    if (tab >= 0) value = value.Left(tab);
    if (value != m_bar->GetButtonText(m_index)) {
      m_bar->SetButtonText(m_index, value);
      m_bar->AdjustSize();
    }
  }
};

// Asks the target for the button's state; without an update handler a command
// handler enables the button, and no handler at all disables it when asked to.
void UpdateOne(ToolbarCmdUI& state, CCmdTarget* route, BOOL disableIfNoHandler) {
  if (state.DoUpdate(route)) return;
  int probe = 0;
  if (route && route->OnCmdMsg(state.m_nID, CN_COMMAND, &probe))
    state.Enable(TRUE);
  else if (disableIfNoHandler)
    state.Enable(FALSE);
}

}  // namespace

void CTKToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  ToolbarCmdUI state;
  state.m_bar = this;
  CCmdTarget* route = target;
  if (!route) route = GetCommandTarget();
  const int count = GetCount();
  for (int i = 0; i < count; ++i) {
    CTKToolbarButton* button = GetButton(i);
    if (!button || button->IsSeparator() || button->m_nID == 0 ||
        (button->m_nID >= 0xF000 && button->m_nID <= 0xF1EF) || button->m_nID >= 0xFF00)
      continue;
    state.m_index = i;
    state.m_nID = button->m_nID;
    state.m_bEnableChanged = FALSE;
    state.m_bContinueRouting = FALSE;
    const BOOL tool = g_pUserToolsManager && g_pUserToolsManager->LookupTool(button->m_nID);
    UpdateOne(state, route, !tool && disableIfNoHandler && m_bDisableControlsIfNoHandler);
  }
}

void CTKToolBar::UpdateButton(int index) {
  CTKToolbarButton* button = GetButton(index);
  // Window commands (the caption buttons' own) have no update handlers, as for the
  // whole bar's update.
  if (!button || button->IsSeparator() || button->m_nID == 0 ||
      (button->m_nID >= 0xF000 && button->m_nID <= 0xF1EF) || button->m_nID >= 0xFF00)
    return;
  ToolbarCmdUI state;
  state.m_bar = this;
  state.m_index = index;
  state.m_nID = button->m_nID;
  CWnd* target = GetCommandTarget();
  // A user tool runs without a handler: it is never disabled for want of one.
  const BOOL tool = g_pUserToolsManager && g_pUserToolsManager->LookupTool(button->m_nID);
  UpdateOne(state, target, !tool && m_bDisableControlsIfNoHandler);
}
