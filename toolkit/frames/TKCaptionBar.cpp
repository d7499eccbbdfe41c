#include "toolkit/frames/TKCaptionBar.h"

#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarImageList.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

namespace {
const GlobalData& GD() { return GlobalData::Get(); }

SIZE TextExtent(HFONT font, const CString& text) {
  SIZE size{0, 0};
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(screen, font);
  const char* s = text.IsEmpty() ? "Ag" : static_cast<const char*>(text);
  ::GetTextExtentPoint32A(screen, s, static_cast<int>(strlen(s)), &size);
  if (text.IsEmpty()) size.cx = 0;
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
  return size;
}
}  // namespace

CTKCaptionBar::CTKCaptionBar() = default;
CTKCaptionBar::~CTKCaptionBar() = default;

BEGIN_MESSAGE_MAP(CTKCaptionBar, CTKBaseControlBar)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_NCCALCSIZE()
  ON_WM_NCPAINT()
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSELEAVE()
  ON_WM_RBUTTONUP()
  ON_MESSAGE(WM_SETFONT, OnSetFont)
  ON_MESSAGE(WM_GETFONT, OnGetFont)
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

BOOL CTKCaptionBar::Create(DWORD style, CWnd* parent, UINT id, int height) {
  m_nHeight = height;
  SetBarStyle(CBRS_ALIGN_TOP | (style & (CBRS_ALL & ~CBRS_ALIGN_ANY)));
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW), nullptr);
  const DWORD windowStyle = (style & ~static_cast<DWORD>(CBRS_ALL & 0xFFFF)) | WS_CHILD;
  return CWnd::Create(cls, nullptr, windowStyle, CRect(0, 0, 0, 0), parent, id);
}

int CTKCaptionBar::OnCreate(LPCREATESTRUCT cs) {
  if (CTKBaseControlBar::OnCreate(cs) == -1) return -1;
  RecalcLayout();
  return 0;
}

HFONT CTKCaptionBar::Font() const {
  return m_hFont ? m_hFont : static_cast<HFONT>(GD().regularFont.m_hObject);
}

SIZE CTKCaptionBar::ImageSize() const {
  if (m_hIcon) {
    ICONINFO info{};
    SIZE size{16, 16};
    if (::GetIconInfo(m_hIcon, &info)) {
      BITMAP bm{};
      if (info.hbmColor && ::GetObjectA(info.hbmColor, sizeof bm, &bm)) size = SIZE{bm.bmWidth, bm.bmHeight};
      if (info.hbmColor) ::DeleteObject(info.hbmColor);
      if (info.hbmMask) ::DeleteObject(info.hbmMask);
    }
    return size;
  }
  if (m_pImages && m_nImage >= 0) return m_pImages->GetImageSize();
  return SIZE{0, 0};
}

SIZE CTKCaptionBar::ButtonSize() const {
  if (m_strButton.IsEmpty()) return SIZE{0, 0};
  SIZE text = TextExtent(Font(), m_strButton);
  return SIZE{text.cx + 4 * m_nMargin, text.cy + m_nMargin + 2};
}

CSize CTKCaptionBar::CalcFixedLayout(BOOL, BOOL) {
  if (m_nHeight > 0) return CSize(32767, m_nHeight);
  const int content = std::max({static_cast<int>(TextExtent(Font(), m_strText).cy),
                                static_cast<int>(ImageSize().cy), static_cast<int>(ButtonSize().cy)});
  return CSize(32767, content + 2 * m_nMargin + 2 * m_nBorderSize);
}

void CTKCaptionBar::SetText(const CString& text, Alignment alignment) {
  m_strText = text;
  m_textAlignment = alignment;
  RecalcLayout();
}

void CTKCaptionBar::SetIcon(HICON icon, Alignment alignment) {
  m_hIcon = icon;
  m_pImages = nullptr;
  m_nImage = -1;
  m_imageAlignment = alignment;
  RecalcLayout();
}

void CTKCaptionBar::SetImage(CTKToolbarImageList* images, int index, Alignment alignment) {
  m_hIcon = nullptr;
  m_pImages = images;
  m_nImage = index;
  m_imageAlignment = alignment;
  RecalcLayout();
}

void CTKCaptionBar::RemoveImage() {
  m_hIcon = nullptr;
  m_pImages = nullptr;
  m_nImage = -1;
  RecalcLayout();
}

void CTKCaptionBar::SetButton(const CString& label, UINT command, Alignment alignment) {
  m_strButton = label;
  m_nButtonCommand = command;
  m_buttonAlignment = alignment;
  RecalcLayout();
}

void CTKCaptionBar::RemoveButton() { SetButton(CString(), 0, m_buttonAlignment); }

void CTKCaptionBar::EnableButton(BOOL enable) {
  m_bBtnEnabled = enable;
  if (!enable) m_bBtnPressed = m_bBtnHighlighted = FALSE;
  if (m_hWnd) ::InvalidateRect(m_hWnd, &m_rectButton, TRUE);
}

void CTKCaptionBar::RecalcLayout() {
  if (!m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  client.DeflateRect(m_nMargin, 0);
  int left = client.left, right = client.right;
  const int middle = client.CenterPoint().y;
  // Left-aligned parts from the left edge, right-aligned parts from the right edge:
  // the image first, then the button.
  auto place = [&](SIZE size, Alignment alignment) {
    CRect rect;
    if (size.cx <= 0) return rect;
    const int top = middle - size.cy / 2;
    if (alignment == ALIGN_RIGHT) {
      rect.SetRect(right - size.cx, top, right, top + size.cy);
      right = rect.left - m_nHorzElementOffset;
    } else {
      rect.SetRect(left, top, left + size.cx, top + size.cy);
      left = rect.right + m_nHorzElementOffset;
    }
    return rect;
  };
  m_rectImage = place(ImageSize(), m_imageAlignment);
  m_rectButton = place(ButtonSize(), m_buttonAlignment);
  // The text lies between them and never overlaps either.
  m_rectText.SetRectEmpty();
  if (!m_strText.IsEmpty() && right > left) {
    const SIZE text = TextExtent(Font(), m_strText);
    const int width = std::min<int>(text.cx, right - left);
    int x = left;
    if (m_textAlignment == ALIGN_RIGHT)
      x = right - width;
    else if (m_textAlignment == ALIGN_CENTER)
      x = left + (right - left - width) / 2;
    m_rectText.SetRect(x, client.top, x + width, client.bottom);
  }
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CTKCaptionBar::OnSize(UINT type, int cx, int cy) {
  CTKBaseControlBar::OnSize(type, cx, cy);
  RecalcLayout();
}

void CTKCaptionBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params) {
  params->rgrc[0].top += m_nBorderSize;
  params->rgrc[0].bottom -= m_nBorderSize;
}

void CTKCaptionBar::OnNcPaint() {
  HDC hdc = ::GetWindowDC(m_hWnd);
  if (!hdc) return;
  CDC dc(hdc);
  CRect window;
  GetWindowRect(&window);
  window.OffsetRect(-window.left, -window.top);
  OnDrawBorder(&dc, CRect(window.left, window.top, window.right, window.top + m_nBorderSize));
  OnDrawBorder(&dc, CRect(window.left, window.bottom - m_nBorderSize, window.right, window.bottom));
  dc.Detach();
  ::ReleaseDC(m_hWnd, hdc);
}

void CTKCaptionBar::OnDrawBorder(CDC* dc, CRect rect) {
  if (m_clrBarBorder != (COLORREF)-1)
    dc->FillSolidRect(&rect, m_clrBarBorder);
  else
    dc->FillRect(&rect, const_cast<CBrush*>(&GD().barFaceBrush));
}

BOOL CTKCaptionBar::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  OnDrawBackground(dc, client);
  return TRUE;
}

void CTKCaptionBar::OnDrawBackground(CDC* dc, CRect rect) {
  CTKVisualManager::GetInstance()->PaintBarBackground(dc, this, rect, rect);
  if (!m_bFlatBorder) dc->Draw3dRect(&rect, GD().buttonHighlight, GD().buttonShadow);
}

void CTKCaptionBar::OnPaint() {
  PAINTSTRUCT ps;
  HDC hdc = ::BeginPaint(m_hWnd, &ps);
  CDC dc(hdc);
  PaintClient(&dc);
  dc.Detach();
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CTKCaptionBar::OnPrintClient(WPARAM wParam, LPARAM) {
  CDC dc(reinterpret_cast<HDC>(wParam));
  CRect client;
  GetClientRect(&client);
  OnDrawBackground(&dc, client);
  PaintClient(&dc);
  dc.Detach();
  return 0;
}

void CTKCaptionBar::PaintClient(CDC* dc) {
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const COLORREF color = m_clrBarText != (COLORREF)-1
                             ? m_clrBarText
                             : CTKVisualManager::GetInstance()->GetCaptionBarTextColor(this);
  const COLORREF oldColor = dc->SetTextColor(color);
  HGDIOBJ oldFont = ::SelectObject(dc->GetSafeHdc(), Font());
  if (!m_rectButton.IsRectEmpty()) OnDrawButton(dc, m_rectButton, m_strButton, m_bBtnEnabled);
  dc->SetTextColor(color);
  if (!m_rectText.IsRectEmpty()) OnDrawText(dc, m_rectText, m_strText);
  if (!m_rectImage.IsRectEmpty()) OnDrawImage(dc, m_rectImage);
  ::SelectObject(dc->GetSafeHdc(), oldFont);
  dc->SetTextColor(oldColor);
  dc->SetBkMode(oldMode);
}

void CTKCaptionBar::OnDrawButton(CDC* dc, CRect rect, const CString& label, BOOL enabled) {
  dc->FillRect(&rect, const_cast<CBrush*>(&GD().barFaceBrush));
  if (m_bBtnPressed && m_bBtnHighlighted)
    dc->Draw3dRect(&rect, GD().barShadow, GD().barHighlight);
  else if (m_bBtnHighlighted || !m_bFlatBorder)
    dc->Draw3dRect(&rect, GD().barHighlight, GD().barShadow);
  CRect text = rect;
  if (m_bBtnPressed && m_bBtnHighlighted) text.OffsetRect(1, 1);
  dc->SetTextColor(enabled ? GD().barText : GD().grayText);
  dc->DrawText(label, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
}

void CTKCaptionBar::OnDrawText(CDC* dc, CRect rect, const CString& text) {
  dc->DrawText(text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void CTKCaptionBar::OnDrawImage(CDC* dc, CRect rect) {
  if (m_hIcon) {
    ::DrawIconEx(dc->GetSafeHdc(), rect.left, rect.top, m_hIcon, rect.Width(), rect.Height(), 0, nullptr,
                 DI_NORMAL);
  } else if (m_pImages && m_nImage >= 0 && m_pImages->PrepareDraw(dc)) {
    m_pImages->Draw(dc, rect.left, rect.top, m_nImage);
    m_pImages->EndDraw();
  }
}

void CTKCaptionBar::OnMouseMove(UINT flags, CPoint point) {
  CTKBaseControlBar::OnMouseMove(flags, point);
  const BOOL over = m_bBtnEnabled && m_rectButton.PtInRect(point);
  if (over != m_bBtnHighlighted) {
    m_bBtnHighlighted = over;
    ::InvalidateRect(m_hWnd, &m_rectButton, TRUE);
  }
  if (!m_bTracking) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
    m_bTracking = ::TrackMouseEvent(&track);
  }
}

void CTKCaptionBar::OnMouseLeave() {
  m_bTracking = FALSE;
  if (m_bBtnHighlighted || m_bBtnPressed) {
    m_bBtnHighlighted = FALSE;
    m_bBtnPressed = FALSE;
    ::InvalidateRect(m_hWnd, &m_rectButton, TRUE);
  }
}

void CTKCaptionBar::OnLButtonDown(UINT flags, CPoint point) {
  CTKBaseControlBar::OnLButtonDown(flags, point);
  if (!m_bBtnEnabled || !m_rectButton.PtInRect(point)) return;
  m_bBtnPressed = TRUE;
  m_bBtnHighlighted = TRUE;
  ::InvalidateRect(m_hWnd, &m_rectButton, TRUE);
}

void CTKCaptionBar::OnLButtonUp(UINT flags, CPoint point) {
  CTKBaseControlBar::OnLButtonUp(flags, point);
  if (!m_bBtnPressed) return;
  m_bBtnPressed = FALSE;
  ::InvalidateRect(m_hWnd, &m_rectButton, TRUE);
  // A press released off the button is a press the user took back.
  if (!m_bBtnEnabled || !m_rectButton.PtInRect(point) || !m_nButtonCommand) return;
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  if (!owner) owner = ::GetParent(m_hWnd);
  if (owner) ::SendMessageA(owner, WM_COMMAND, m_nButtonCommand, 0);
}

void CTKCaptionBar::OnRButtonUp(UINT flags, CPoint point) {
  if (CTKToolBar::IsCustomizeMode()) return;
  POINT screen = point;
  ::ClientToScreen(m_hWnd, &screen);
  HWND frame = ::GetParent(m_hWnd);
  if (frame)
    ::SendMessageA(frame, CTKToolBar::s_popupMenuMessage, reinterpret_cast<WPARAM>(m_hWnd),
                   (static_cast<LPARAM>(screen.y) << 16) | (screen.x & 0xFFFF));
  (void)flags;
}

LRESULT CTKCaptionBar::OnSetFont(WPARAM wParam, LPARAM lParam) {
  m_hFont = reinterpret_cast<HFONT>(wParam);
  RecalcLayout();
  if (lParam) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  return 0;
}

LRESULT CTKCaptionBar::OnGetFont(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(Font()); }
