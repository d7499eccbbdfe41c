#include "toolkit/frames/TKOutlookBar.h"

#include "toolkit/bars/TKToolbarImageList.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/InPlaceEdit.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/PanesText.h"
#include "toolkit/frames/TKOutlookButton.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <utility>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {
const GlobalData& GD() { return GlobalData::Get(); }
constexpr int kScrollButtonSize = 16;
constexpr int kSplitterWidth = 3;
}  // namespace

// ---- page button and page ----------------------------------------------------------

void CTKOutlookBarPageButton::FillBackground(CDC* dc, const CRect& rect) {
  CTKVisualManager::GetInstance()->PaintOutlookPageButton(dc, rect);
}

void CTKOutlookBarPageButton::DrawBorder(CDC* dc, CRect& rect, UINT itemState) {
  // Pressed, or checked as the active page of the navigation pane.
  if ((m_bPushed && m_bHighlighted) || m_bShownActive)
    dc->Draw3dRect(&rect, GD().barShadow, GD().barHighlight);
  rect.DeflateRect(2, 2);
  (void)itemState;
}

void CTKOutlookBarPageButton::SetShownActive(BOOL active) {
  if (active == m_bShownActive) return;
  m_bShownActive = active;
  if (m_hWnd) Invalidate();
}

BEGIN_MESSAGE_MAP(CTKOutlookBarPageButton, CTKButton)
  ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

void CTKOutlookBarPageButton::OnLButtonDblClk(UINT, CPoint) {
  if (auto* bar = dynamic_cast<CTKOutlookBar*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd))))
    bar->StartRenamePage(::GetDlgCtrlID(m_hWnd));
}

IMPLEMENT_SERIAL(CTKOutlookBarPage, CObject, 1)

CTKOutlookBarPage::CTKOutlookBarPage(UINT id, const CString& label, HWND window)
    : m_nId(id), m_strLabel(label), m_hwnd(window) {}

CTKOutlookBarPage::~CTKOutlookBarPage() {
  if (m_hwnd && ::IsWindow(m_hwnd)) ::ShowWindow(m_hwnd, SW_HIDE);
  if (m_pButton) {
    if (m_pButton->m_hWnd) m_pButton->DestroyWindow();
    delete m_pButton;
  }
}

void CTKOutlookBarPage::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_nId);
    ar << m_strLabel;
  } else {
    int id = 0;
    ar >> id >> m_strLabel;
    m_nId = static_cast<UINT>(id);
    m_hwnd = nullptr;
  }
}

void CTKOutlookBarPage::CopyFrom(const CTKOutlookBarPage& other) {
  m_nId = other.m_nId;
  m_strLabel = other.m_strLabel;
  m_hwnd = other.m_hwnd;
}

BOOL CTKOutlookBarPage::CreateButton(CWnd* bar, HFONT font) {
  if (m_pButton) return TRUE;
  m_pButton = new CTKOutlookBarPageButton;
  m_pButton->m_bDrawFocus = FALSE;
  if (!m_pButton->Create(m_strLabel, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 0, 0), bar, m_nId)) {
    delete m_pButton;
    m_pButton = nullptr;
    return FALSE;
  }
  m_pButton->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  m_rect.SetRectEmpty();
  return TRUE;
}

// ---- the bar -----------------------------------------------------------------------

CTKOutlookBar::CTKOutlookBar() = default;

CTKOutlookBar::~CTKOutlookBar() {
  if (m_hBackImage) ::DeleteObject(m_hBackImage);
  for (CTKButton* button : m_stripButtons) delete button;
  while (!m_Pages.IsEmpty()) delete static_cast<CTKOutlookBarPage*>(m_Pages.RemoveHead());
  while (!m_DefaultPages.IsEmpty()) delete static_cast<CTKOutlookBarPage*>(m_DefaultPages.RemoveHead());
}

BEGIN_MESSAGE_MAP(CTKOutlookBar, CTKToolBar)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CANCELMODE()
  ON_WM_SETCURSOR()
  ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL CTKOutlookBar::Create(CWnd* parent, DWORD style, UINT id) {
  if (style & WS_CAPTION) m_bHasCaption = TRUE;
  style = (style & ~static_cast<DWORD>(WS_CAPTION)) | WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  if (!CTKToolBar::CreateEx(parent, 0, style, CRect(1, 1, 1, 1), id)) return FALSE;
  m_dwStyle &= ~static_cast<DWORD>(CBRS_GRIPPER);
  return TRUE;
}

int CTKOutlookBar::OnCreate(LPCREATESTRUCT cs) {
  if (CTKToolBar::OnCreate(cs) == -1) return -1;
  const BOOL vertical = !IsHorizontal();
  for (CTKButton* button : {&m_btnUp, &m_btnDown}) {
    const BOOL up = button == &m_btnUp;
    if (!button->Create("", WS_CHILD | BS_PUSHBUTTON, CRect(0, 0, kScrollButtonSize, kScrollButtonSize), this,
                        up ? kScrollUpId : kScrollDownId))
      return -1;
    button->m_bDrawFocus = FALSE;
    button->SetStdImage(up ? (vertical ? MenuImages::kArrowUp : MenuImages::kArrowLeft)
                           : (vertical ? MenuImages::kArrowDown : MenuImages::kArrowRight));
    // Held down, a scroll button repeats its step every 200 ms.
    button->SetAutoRepeatMode(200);
  }
  if (!m_btnClose.Create("", WS_CHILD | BS_PUSHBUTTON, CRect(0, 0, kScrollButtonSize, kScrollButtonSize),
                         this, kCloseId))
    return -1;
  m_btnClose.m_bDrawFocus = FALSE;
  m_btnClose.SetStdImage(MenuImages::kClose);
  m_btnClose.SetTipText(panes_text::kClose);
  SetWindowText(panes_text::kShortcuts);
  OnSysColorChange();
  return 0;
}

void CTKOutlookBar::OnSysColorChange() {
  m_clrBackColor = GD().buttonShadow;
  LoadBackImage();
  if (m_hWnd) Invalidate();
}

void CTKOutlookBar::SetBackImage(UINT resourceId) {
  if (resourceId == m_nBackImageId) return;
  m_nBackImageId = resourceId;
  LoadBackImage();
  if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CTKOutlookBar::LoadBackImage() {
  if (m_hBackImage) ::DeleteObject(m_hBackImage);
  m_hBackImage = nullptr;
  m_sizeBackImage = SIZE{0, 0};
  m_bUseBackImage = FALSE;
  if (m_nBackImageId == 0) return;
  m_hBackImage =
      static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nBackImageId),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADMAP3DCOLORS));
  BITMAP info{};
  if (!m_hBackImage || !::GetObjectA(m_hBackImage, sizeof info, &info)) return;
  m_sizeBackImage = SIZE{info.bmWidth, info.bmHeight};
  // A bitmap on a palette screen would only be dithered into the buttons' colours.
  m_bUseBackImage = GD().bitsPerPixel > 8 && info.bmWidth > 0 && info.bmHeight > 0;
}

void CTKOutlookBar::OnSize(UINT type, int cx, int cy) {
  CTKToolBar::OnSize(type, cx, cy);
  AdjustLayout();
  // A taller bar scrolls back while the last button ends above the new bottom.
  while (m_iFirstVisibleButton > 0 && !m_bScrollDown) {
    const int before = m_iFirstVisibleButton;
    ScrollStep(-1);
    if (m_bScrollDown) {
      ScrollStep(+1);
      break;
    }
    if (m_iFirstVisibleButton == before) break;
  }
  Invalidate();
}

CSize CTKOutlookBar::CalcFixedLayout(BOOL stretch, BOOL horizontal) {
  const SIZE image = m_sizeImage.cx ? m_sizeImage : SIZE{32, 32};
  const int size =
      m_nDefaultSize ? m_nDefaultSize : (horizontal ? 2 * (2 * image.cy + 6) : 2 * (2 * image.cx + 6));
  if (horizontal) return CSize(stretch ? 32767 : size, size);
  return CSize(size, stretch ? 32767 : size);
}

CSize CTKOutlookBar::CalcDynamicLayout(int, DWORD mode) {
  return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

int CTKOutlookBar::PageButtonHeight() const { return GD().textHeight + 4 + 2; }

CRect CTKOutlookBar::InnerArea() const {
  CRect area;
  GetClientRect(&area);
  area.DeflateRect(2, 2);  // the frame drawn round the bar
  if (m_bEnableSplitter) {
    const int side = m_dwStyle & CBRS_ALIGN_ANY;
    if (side == CBRS_ALIGN_LEFT) area.right -= kSplitterWidth;
    if (side == CBRS_ALIGN_RIGHT) area.left += kSplitterWidth;
    if (side == CBRS_ALIGN_TOP) area.bottom -= kSplitterWidth;
    if (side == CBRS_ALIGN_BOTTOM) area.top += kSplitterWidth;
  }
  return area;
}

void CTKOutlookBar::SetBorder(BOOL border) {
  m_bEnableSplitter = border;
  AdjustLayout();
  if (m_hWnd) Invalidate();
}

void CTKOutlookBar::UpdateSplitterRect() {
  m_rectSplitter.SetRectEmpty();
  if (!m_bEnableSplitter || !m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  client.DeflateRect(2, 2);
  // On the free side: away from the edge the bar is docked at.
  switch (m_dwStyle & CBRS_ALIGN_ANY) {
    case CBRS_ALIGN_LEFT:
      m_rectSplitter.SetRect(client.right - kSplitterWidth, client.top, client.right, client.bottom);
      break;
    case CBRS_ALIGN_RIGHT:
      m_rectSplitter.SetRect(client.left, client.top, client.left + kSplitterWidth, client.bottom);
      break;
    case CBRS_ALIGN_TOP:
      m_rectSplitter.SetRect(client.left, client.bottom - kSplitterWidth, client.right, client.bottom);
      break;
    case CBRS_ALIGN_BOTTOM:
      m_rectSplitter.SetRect(client.left, client.top, client.right, client.top + kSplitterWidth);
      break;
  }
}

BOOL CTKOutlookBar::IsVerticalSplitter() const {
  const DWORD side = m_dwStyle & CBRS_ALIGN_ANY;
  return side == CBRS_ALIGN_LEFT || side == CBRS_ALIGN_RIGHT;
}

void CTKOutlookBar::OnLButtonDown(UINT flags, CPoint point) {
  if (!m_rectPageSplitter.IsRectEmpty() && m_rectPageSplitter.PtInRect(point)) {
    m_bPageSplitterDrag = TRUE;
    m_nPageSplitterStartY = point.y;
    m_nPageSplitterStartCount = GetVisiblePageButtons();
    ::SetCapture(m_hWnd);
    return;
  }
  if (!m_rectSplitter.IsRectEmpty() && m_rectSplitter.PtInRect(point)) {
    m_bIsTracking = TRUE;
    m_ptStart = point;
    ::ClientToScreen(m_hWnd, &m_ptStart);
    m_ptLast = m_ptStart;
    m_bLineShown = FALSE;
    ::SetCapture(m_hWnd);
    DrawTrackLine(m_ptStart);
    return;
  }
  CTKToolBar::OnLButtonDown(flags, point);
}

namespace {
// Inverts a strip of the screen through a halftone brush: drawn twice, it is gone.
void InvertOnScreen(const CRect& strip) {
  HDC dc = ::GetDCEx(nullptr, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  WORD pattern[8];
  for (int i = 0; i < 8; ++i) pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
  HBITMAP bits = ::CreateBitmap(8, 8, 1, 1, pattern);
  HBRUSH halftone = ::CreatePatternBrush(bits);
  HGDIOBJ old = ::SelectObject(dc, halftone);
  ::PatBlt(dc, strip.left, strip.top, strip.Width(), strip.Height(), PATINVERT);
  ::SelectObject(dc, old);
  ::DeleteObject(halftone);
  ::DeleteObject(bits);
  ::ReleaseDC(nullptr, dc);
}
}  // namespace

CRect CTKOutlookBar::TrackLineAt(POINT screen) const {
  CRect bar;
  GetWindowRect(&bar);
  return IsVerticalSplitter() ? CRect(screen.x - 1, bar.top, screen.x + 2, bar.bottom)
                              : CRect(bar.left, screen.y - 1, bar.right, screen.y + 2);
}

void CTKOutlookBar::DrawTrackLine(POINT screen) {
  // Kept inside the parent's client area.
  HWND parent = ::GetParent(m_hWnd);
  CRect limit;
  ::GetClientRect(parent, &limit);
  ::MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&limit), 2);
  screen.x = std::max<int>(limit.left, std::min<int>(screen.x, limit.right - kSplitterWidth));
  screen.y = std::max<int>(limit.top, std::min<int>(screen.y, limit.bottom - kSplitterWidth));
  if (m_bLineShown) InvertOnScreen(TrackLineAt(m_ptLast));
  InvertOnScreen(TrackLineAt(screen));
  m_ptLast = screen;
  m_bLineShown = TRUE;
}

void CTKOutlookBar::OnMouseMove(UINT flags, CPoint point) {
  if (m_bPageSplitterDrag) {
    // Up shows more page buttons, down fewer: one for each page-button height.
    SetVisiblePageButtons(m_nPageSplitterStartCount + (m_nPageSplitterStartY - point.y) / PageButtonHeight());
    return;
  }
  if (m_bIsTracking) {
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    DrawTrackLine(screen);
    return;
  }
  CTKToolBar::OnMouseMove(flags, point);
}

void CTKOutlookBar::StopTracking(BOOL apply) {
  if (!m_bIsTracking) return;
  m_bIsTracking = FALSE;
  if (m_bLineShown) InvertOnScreen(TrackLineAt(m_ptLast));  // erased
  m_bLineShown = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (!apply) return;
  // The bar's size as its frame lays it out, moved by how far the line went.
  const CSize now = CalcFixedLayout(FALSE, !IsVerticalSplitter());
  const DWORD side = m_dwStyle & CBRS_ALIGN_ANY;
  const int dx = m_ptLast.x - m_ptStart.x, dy = m_ptLast.y - m_ptStart.y;
  const int size = side == CBRS_ALIGN_LEFT    ? now.cx + dx
                   : side == CBRS_ALIGN_RIGHT ? now.cx - dx
                   : side == CBRS_ALIGN_TOP   ? now.cy + dy
                                              : now.cy - dy;
  OnSplitterResize(std::max(size, 4 * kSplitterWidth));
}

void CTKOutlookBar::OnSplitterResize(int size) {
  if (size == m_nDefaultSize) return;
  m_nDefaultSize = size;
  for (HWND up = ::GetParent(m_hWnd); up; up = ::GetParent(up)) {
    if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(up))) {
      frame->RecalcLayout();
      return;
    }
  }
  // Not in a frame: the bar sizes itself.
  CRect bar;
  GetWindowRect(&bar);
  if (IsVerticalSplitter())
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size, bar.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  else
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, bar.Width(), size, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTKOutlookBar::OnLButtonUp(UINT flags, CPoint point) {
  if (m_bPageSplitterDrag) {
    m_bPageSplitterDrag = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    return;
  }
  if (m_bIsTracking) {
    StopTracking(TRUE);
    return;
  }
  CTKToolBar::OnLButtonUp(flags, point);
}

void CTKOutlookBar::OnCancelMode() {
  if (m_bPageSplitterDrag && ::GetCapture() == m_hWnd) ::ReleaseCapture();
  m_bPageSplitterDrag = FALSE;
  StopTracking(FALSE);
  EndRename(FALSE);
  CTKToolBar::OnCancelMode();
}

BOOL CTKOutlookBar::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  POINT point;
  ::GetCursorPos(&point);
  ::ScreenToClient(m_hWnd, &point);
  if (hitTest == HTCLIENT && (m_bPageSplitterDrag || m_rectPageSplitter.PtInRect(point))) {
    ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_SIZENS));
    return TRUE;
  }
  if (hitTest == HTCLIENT && (m_bIsTracking || m_rectSplitter.PtInRect(point))) {
    GlobalData& data = const_cast<GlobalData&>(GD());
    ::SetCursor(IsVerticalSplitter() ? data.GetStretchCursor() : data.GetStretchVertCursor());
    return TRUE;
  }
  return CTKToolBar::OnSetCursor(wnd, hitTest, message);
}

// ---- renaming a page in place -------------------------------------------------------

BOOL CTKOutlookBar::StartRenamePage(UINT id) {
  CTKOutlookBarPage* page = FindPage(id);
  if (!page || !page->m_pButton || m_hwndRename || !m_hWnd) return FALSE;
  const CRect r = page->m_rect;
  m_hwndRename = ::CreateWindowExA(
      0, "EDIT", page->m_strLabel, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top,
      r.Width(), r.Height(), m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!m_hwndRename) return FALSE;
  m_nRenamedPage = id;
  ::SetWindowPos(m_hwndRename, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SendMessageA(m_hwndRename, WM_SETFONT, reinterpret_cast<WPARAM>(GD().regularFont.m_hObject), FALSE);
  ::SendMessageA(m_hwndRename, EM_SETSEL, 0, -1);
  ::SetFocus(m_hwndRename);
  ::SetCapture(m_hwndRename);
  return TRUE;
}

void CTKOutlookBar::EndRename(BOOL apply) {
  if (!m_hwndRename) return;
  if (apply) {
    CString text;
    const int length = ::GetWindowTextLengthA(m_hwndRename);
    ::GetWindowTextA(m_hwndRename, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
    if (text.IsEmpty()) {
      ::MessageBeep((UINT)-1);
      return;
    }
    SetPageName(m_nRenamedPage, text);
  }
  HWND edit = m_hwndRename;
  m_hwndRename = nullptr;
  m_nRenamedPage = (UINT)-1;
  if (::GetCapture() == edit) ::ReleaseCapture();
  ::DestroyWindow(edit);
}

BOOL CTKOutlookBar::PreTranslateMessage(MSG* msg) {
  if (m_bIsTracking && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
    StopTracking(FALSE);
    return TRUE;
  }
  if (!m_hwndRename) return CTKToolBar::PreTranslateMessage(msg);
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
    EndRename(msg->wParam == VK_RETURN);
    return TRUE;
  }
  // The edit holds the capture: inside it the mouse edits, a press outside ends it.
  switch (RouteMouseToInPlaceEdit(m_hwndRename, msg)) {
    case InPlaceEditMouse::kHandled:
      return TRUE;
    case InPlaceEditMouse::kPressOutside:
      EndRename(TRUE);
      if (m_hwndRename) EndRename(FALSE);  // an empty name is dropped, not kept
      return TRUE;
    default:
      return FALSE;
  }
}

CTKOutlookBarPage* CTKOutlookBar::FindPage(UINT id) const {
  for (POSITION pos = m_Pages.GetHeadPosition(); pos;) {
    auto* page = static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos));
    if (page->m_nId == id) return page;
  }
  return nullptr;
}

CRect CTKOutlookBar::GetPageButtonRect(UINT id) const {
  CTKOutlookBarPage* page = FindPage(id);
  return page ? page->m_rect : CRect();
}

BOOL CTKOutlookBar::AddPage(UINT id, const char* label, HWND window) {
  if (FindPage(id)) return FALSE;
  auto* page = new CTKOutlookBarPage(id, label ? label : "", window);
  if (m_hWnd && !page->CreateButton(this, static_cast<HFONT>(GD().regularFont.m_hObject))) {
    delete page;
    return FALSE;
  }
  if (window) {
    ::SetParent(window, m_hWnd);
    ::ShowWindow(window, SW_HIDE);
  }
  m_Pages.AddTail(page);
  m_nStripShown = -1;
  auto* original = new CTKOutlookBarPage;
  original->CopyFrom(*page);
  m_DefaultPages.AddTail(original);
  if (m_nActivePage == (UINT)-1)
    SetActivePage(id, FALSE);
  else
    AdjustLayout();
  return TRUE;
}

BOOL CTKOutlookBar::SetPageName(UINT id, const char* text) {
  CTKOutlookBarPage* page = FindPage(id);
  if (!page) return FALSE;
  page->m_strLabel = text ? text : "";
  if (page->m_pButton) page->m_pButton->SetWindowText(page->m_strLabel);
  if (m_hWnd) Invalidate();
  return TRUE;
}

const char* CTKOutlookBar::GetPageName(UINT id) const {
  CTKOutlookBarPage* page = FindPage(id);
  return page ? static_cast<const char*>(page->m_strLabel) : nullptr;
}

BOOL CTKOutlookBar::AddButton(HICON icon, const char* label, UINT command, UINT pageId, int position,
                              BOOL keepAsIcon) {
  if (!icon) return FALSE;
  ICONINFO info{};
  SIZE size{32, 32};
  if (::GetIconInfo(icon, &info)) {
    BITMAP bm{};
    if (info.hbmColor && ::GetObjectA(info.hbmColor, sizeof bm, &bm)) size = SIZE{bm.bmWidth, bm.bmHeight};
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
  }
  if (m_ImagesLocked.IsEmpty()) m_ImagesLocked.SetImageSize(size);
  m_sizeImage = m_ImagesLocked.GetImageSize();
  int image;
  if (keepAsIcon) {
    image = m_ImagesLocked.AddIcon(icon, TRUE);
  } else {
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    if (m_clrTransparentColor != (COLORREF)-1) {
      RECT all{0, 0, size.cx, size.cy};
      HBRUSH fill = ::CreateSolidBrush(m_clrTransparentColor);
      ::FillRect(memory, &all, fill);
      ::DeleteObject(fill);
    }
    ::DrawIconEx(memory, 0, 0, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    image = m_ImagesLocked.AddImage(bitmap);
    ::DeleteObject(bitmap);
  }
  if (image < 0) return FALSE;
  m_ImagesLocked.SetTransparentColor(m_clrTransparentColor);
  return AddButton(image, label, command, pageId, position);
}

BOOL CTKOutlookBar::AddButton(int image, const char* label, UINT command, UINT pageId, int position) {
  if (!m_Pages.IsEmpty()) {
    CTKOutlookBarPage* page =
        pageId == (UINT)-1 ? static_cast<CTKOutlookBarPage*>(m_Pages.GetHead()) : FindPage(pageId);
    if (!page || page->m_hwnd) return FALSE;
    pageId = page->m_nId;
  }
  auto* button = new CTKOutlookButton;
  button->m_nID = command;
  button->m_strText = label ? label : "";
  button->SetImage(image);
  button->m_bText = m_bTextLabels;
  button->m_dwPageID = pageId == (UINT)-1 ? 0 : pageId;
  if (InsertButton(button, position) < 0) {
    delete button;
    return FALSE;
  }
  AdjustLayout();
  if (m_hWnd) Invalidate();
  return TRUE;
}

void CTKOutlookBar::RemoveAllButtons() {
  CTKToolBar::RemoveAllButtons();
  m_iFirstVisibleButton = 0;
  m_nScrollOffset = 0;
  AdjustLayout();
}

void CTKOutlookBar::LayoutPageButtons(CRect& area) {
  const int height = PageButtonHeight();
  // Pages up to the active one stack from the top, the others from the bottom up.
  int activeIndex = -1, index = 0;
  for (POSITION pos = m_Pages.GetHeadPosition(); pos; ++index)
    if (static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos))->m_nId == m_nActivePage) activeIndex = index;
  std::vector<CTKOutlookBarPage*> pages;
  for (POSITION pos = m_Pages.GetHeadPosition(); pos;)
    pages.push_back(static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos)));
  std::vector<CRect> rects(pages.size());
  for (int i = 0; i <= activeIndex; ++i) {
    rects[i].SetRect(area.left, area.top, area.right, area.top + height);
    area.top += height;
  }
  for (int i = static_cast<int>(pages.size()) - 1; i > activeIndex; --i) {
    rects[i].SetRect(area.left, area.bottom - height, area.right, area.bottom);
    area.bottom -= height;
  }
  for (size_t i = 0; i < pages.size(); ++i) {
    CTKOutlookBarPage* page = pages[i];
    if (!page->m_pButton) page->CreateButton(this, static_cast<HFONT>(GD().regularFont.m_hObject));
    if (page->m_rect == rects[i] || !page->m_pButton) continue;
    page->m_rect = rects[i];
    if (!m_bInAnimation)
      ::SetWindowPos(page->m_pButton->m_hWnd, nullptr, rects[i].left, rects[i].top, rects[i].Width(),
                     rects[i].Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CTKOutlookBar::AdjustLayout() {
  if (!m_hWnd) return;
  UpdateSplitterRect();
  CRect area = InnerArea();
  m_rectCaption.SetRectEmpty();
  if (m_bHasCaption) {
    m_rectCaption = area;
    m_rectCaption.bottom = area.top + PageButtonHeight() + 2;
    area.top = m_rectCaption.bottom;
  }
  if (m_btnClose.m_hWnd) {
    const int size = m_rectCaption.Height() - 4;
    if (size > 0)
      ::SetWindowPos(m_btnClose.m_hWnd, HWND_TOP, m_rectCaption.right - 2 - size, m_rectCaption.top + 2, size,
                     size, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else
      m_btnClose.ShowWindow(SW_HIDE);
  }
  if (m_bNavigationPane)
    LayoutNavigationPane(area);
  else
    LayoutPageButtons(area);
  m_rectWorkArea = area;
  const BOOL horizontal = IsHorizontal();
  CClientDC dc(this);
  HGDIOBJ oldFont = ::SelectObject(dc.GetSafeHdc(), GD().regularFont.m_hObject);
  const SIZE image = m_sizeImage.cx ? m_sizeImage : SIZE{32, 32};
  // In a vertical bar a button spans the area, so that its label has the room to wrap.
  const SIZE defaultSize{horizontal ? image.cx + 6 : std::max<int>(image.cx + 6, area.Width() - 8),
                         image.cy + 6};
  int x = area.left + 4 - (horizontal ? m_nScrollOffset : 0);
  int y = area.top + 4 - (horizontal ? 0 : m_nScrollOffset);
  int end = horizontal ? area.left : area.top;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    auto* outlook = dynamic_cast<CTKOutlookButton*>(button);
    CRect rect(-1, -1, -1, -1);
    const BOOL onPage = m_Pages.IsEmpty() || !outlook || outlook->m_dwPageID == m_nActivePage;
    if (onPage && button->IsVisible()) {
      SIZE size = button->OnCalculateSize(&dc, defaultSize, horizontal);
      if (horizontal) {
        const int top = area.top + (area.Height() - size.cy) / 2;
        rect.SetRect(x, top, x + size.cx, top + size.cy);
        x += size.cx;
        end = x;
      } else {
        const int left = area.left + (area.Width() - size.cx) / 2;
        rect.SetRect(left, y, left + size.cx, y + size.cy);
        y += size.cy;
        end = y;
      }
    }
    if (rect != button->m_rect) {
      button->m_rect = rect;
      button->OnMove();
    }
  }
  ::SelectObject(dc.GetSafeHdc(), oldFont);
  m_bScrollDown = end > (horizontal ? area.right : area.bottom);
  // The scroll buttons sit in the corners of the button area, inset from its end.
  const int inset = m_bEnableSplitter ? 10 : 5;
  auto placeScroll = [&](CTKButton& button, BOOL show, BOOL atStart) {
    if (!button.m_hWnd) return;
    CRect rect;
    if (!horizontal) {
      const int top = atStart ? area.top + 5 : area.bottom - 5 - kScrollButtonSize;
      rect.SetRect(area.right - inset - kScrollButtonSize + 5, top, area.right - inset + 5,
                   top + kScrollButtonSize);
    } else {
      const int left = atStart ? area.left + 5 : area.right - 5 - kScrollButtonSize;
      rect.SetRect(left, area.top + 5, left + kScrollButtonSize, area.top + 5 + kScrollButtonSize);
    }
    const BOOL fits =
        horizontal ? area.Width() >= kScrollButtonSize + 5 : area.Height() >= kScrollButtonSize + 5;
    if (show && fits) {
      ::SetWindowPos(button.m_hWnd, HWND_TOP, rect.left, rect.top, rect.Width(), rect.Height(),
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
      ::ShowWindow(button.m_hWnd, SW_HIDE);
    }
  };
  placeScroll(m_btnUp, m_iFirstVisibleButton > 0, TRUE);
  placeScroll(m_btnDown, m_bScrollDown, FALSE);
}

BOOL CTKOutlookBar::IsScrollUpShown() const { return m_btnUp.m_hWnd && ::IsWindowVisible(m_btnUp.m_hWnd); }
BOOL CTKOutlookBar::IsScrollDownShown() const {
  return m_btnDown.m_hWnd && ::IsWindowVisible(m_btnDown.m_hWnd);
}

void CTKOutlookBar::ScrollStep(int direction) {
  std::vector<CTKToolbarButton*> shown;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button->m_rect.left != -1 || button->m_rect.right != -1) shown.push_back(button);
  }
  const BOOL horizontal = IsHorizontal();
  auto length = [&](CTKToolbarButton* b) { return horizontal ? b->m_rect.Width() : b->m_rect.Height(); };
  if (direction > 0 && m_bScrollDown && m_iFirstVisibleButton < static_cast<int>(shown.size())) {
    m_nScrollOffset += length(shown[m_iFirstVisibleButton]);
    ++m_iFirstVisibleButton;
  } else if (direction < 0 && m_iFirstVisibleButton > 0) {
    --m_iFirstVisibleButton;
    m_nScrollOffset = std::max(0, m_nScrollOffset - length(shown[m_iFirstVisibleButton]));
  } else {
    return;
  }
  AdjustLayout();
  ::InvalidateRect(m_hWnd, &m_rectWorkArea, FALSE);
  ::UpdateWindow(m_hWnd);
}

void CTKOutlookBar::EnsureButtonVisible(int index) {
  CTKToolbarButton* button = GetButton(index);
  if (!button || (button->m_rect.left == -1 && button->m_rect.right == -1)) return;
  const BOOL horizontal = IsHorizontal();
  for (int guard = GetCount(); guard > 0; --guard) {
    const int start = horizontal ? button->m_rect.left : button->m_rect.top;
    const int end = horizontal ? button->m_rect.right : button->m_rect.bottom;
    const int areaStart = horizontal ? m_rectWorkArea.left : m_rectWorkArea.top;
    const int areaEnd = horizontal ? m_rectWorkArea.right : m_rectWorkArea.bottom;
    const int before = m_iFirstVisibleButton;
    if (start < areaStart)
      ScrollStep(-1);
    else if (end > areaEnd)
      ScrollStep(+1);
    if (m_iFirstVisibleButton == before) break;
  }
}

BOOL CTKOutlookBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND from = reinterpret_cast<HWND>(lParam);
  if (from && HIWORD(wParam) == BN_CLICKED) {
    if (from == m_btnClose.m_hWnd) {
      for (HWND up = ::GetParent(m_hWnd); up; up = ::GetParent(up)) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(up))) {
          frame->ShowControlBar(this, FALSE, FALSE);
          break;
        }
      }
      return TRUE;
    }
    if (from == m_btnUp.m_hWnd || from == m_btnDown.m_hWnd) {
      ScrollStep(from == m_btnUp.m_hWnd ? -1 : +1);
      return TRUE;
    }
    if (from == m_btnChevron.m_hWnd) {
      ShowChevronMenu();
      return TRUE;
    }
    for (size_t i = 0; i < m_stripButtons.size(); ++i) {
      if (m_stripButtons[i]->m_hWnd != from) continue;
      SetActivePage(m_stripPages[i], TRUE);
      return TRUE;
    }
    for (POSITION pos = m_Pages.GetHeadPosition(); pos;) {
      auto* page = static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos));
      if (page->m_pButton && page->m_pButton->m_hWnd == from) {
        SetActivePage(page->m_nId, TRUE);
        return TRUE;
      }
    }
  }
  if (!from && (LOWORD(wParam) == kShowMoreButtons || LOWORD(wParam) == kShowFewerButtons)) {
    if (LOWORD(wParam) == kShowMoreButtons && CanShowMorePageButtons()) OnShowMorePageButtons();
    if (LOWORD(wParam) == kShowFewerButtons && CanShowFewerPageButtons()) OnShowFewerPageButtons();
    return TRUE;
  }
  return CTKToolBar::OnCommand(wParam, lParam);
}

void CTKOutlookBar::SetActivePage(UINT id, BOOL animate) {
  if (id == m_nActivePage) return;
  CTKOutlookBarPage* page = id == (UINT)-1 ? nullptr : FindPage(id);
  if (id != (UINT)-1 && !page) return;
  CTKOutlookBarPage* old = FindPage(m_nActivePage);
  if (old && old->m_hwnd) ::ShowWindow(old->m_hwnd, SW_HIDE);
  if (page && page->m_hwnd) ::ShowWindow(page->m_hwnd, SW_SHOW);
  m_nActivePage = id;
  OnActivatePage();
  m_iFirstVisibleButton = 0;
  m_nScrollOffset = 0;
  const BOOL slide = animate && m_bEnableAnimation && !m_bNavigationPane && m_hWnd &&
                     ::IsWindowVisible(m_hWnd) && old && page;
  if (!slide) {
    AdjustLayout();
    if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return;
  }
  // The page buttons that change place slide there a page-button height per step.
  m_bInAnimation = TRUE;
  AdjustLayout();
  m_bInAnimation = FALSE;
  const int step = PageButtonHeight();
  for (;;) {
    BOOL moving = FALSE;
    for (POSITION pos = m_Pages.GetHeadPosition(); pos;) {
      auto* each = static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos));
      if (!each->m_pButton) continue;
      CRect now;
      each->m_pButton->GetWindowRect(&now);
      ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
      if (now.top == each->m_rect.top) continue;
      moving = TRUE;
      const int top = now.top < each->m_rect.top ? std::min<int>(now.top + step, each->m_rect.top)
                                                 : std::max<int>(now.top - step, each->m_rect.top);
      CRect strip(each->m_rect.left, std::min<int>(now.top, top), each->m_rect.right,
                  std::max<int>(now.bottom, top + each->m_rect.Height()));
      ::InvalidateRect(m_hWnd, &strip, FALSE);
      ::SetWindowPos(each->m_pButton->m_hWnd, nullptr, each->m_rect.left, top, each->m_rect.Width(),
                     each->m_rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!moving) break;
    CClientDC dc(this);
    OnFillButtonArea(&dc, m_rectWorkArea);
    ::UpdateWindow(m_hWnd);
    ::Sleep(10);
  }
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---- customization: dragged and dropped buttons ------------------------------------------

namespace {
// Whether the drag carries an outlook button (the bar's own kind of button).
BOOL CarriesOutlookButton(COleDataObject* data) {
  CTKToolbarButton* button = CTKToolbarButton::CreateFromOleData(data);
  const BOOL outlook = dynamic_cast<CTKOutlookButton*>(button) != nullptr;
  delete button;
  return outlook;
}
}  // namespace

UINT CTKOutlookBar::DragHoverPageAt(CPoint point) const {
  for (POSITION pos = m_Pages.GetHeadPosition(); pos;) {
    auto* page = static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos));
    if (page->m_nId == m_nActivePage || page->m_hwnd || !page->m_pButton) continue;
    if (!page->m_rect.IsRectEmpty() && page->m_rect.PtInRect(point)) return page->m_nId;
  }
  return (UINT)-1;
}

void CTKOutlookBar::StopDragHover() {
  if (m_nDragHoverPage != (UINT)-1 && m_hWnd) ::KillTimer(m_hWnd, kDragHoverTimer);
  m_nDragHoverPage = (UINT)-1;
}

DROPEFFECT CTKOutlookBar::OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) {
  if (CarriesOutlookButton(data)) {
    // Resting on another page's button opens that page when the timer ticks; the
    // timer starts once per page, not at every step of the drag.
    const UINT hover = DragHoverPageAt(point);
    if (hover != m_nDragHoverPage) {
      StopDragHover();
      if (hover != (UINT)-1) {
        m_nDragHoverPage = hover;
        ::SetTimer(m_hWnd, kDragHoverTimer, kDragHoverDelay, nullptr);
      }
    }
    // Held before or after the button area, a step scrolls by one button.
    const BOOL horizontal = IsHorizontal();
    const int at = horizontal ? point.x : point.y;
    if (at < (horizontal ? m_rectWorkArea.left : m_rectWorkArea.top))
      ScrollStep(-1);
    else if (at >= (horizontal ? m_rectWorkArea.right : m_rectWorkArea.bottom))
      ScrollStep(+1);
  }
  return CTKToolBar::OnDragOver(data, keyState, point);
}

int CTKOutlookBar::FindDropIndex(CPoint point, CRect& marker) const {
  marker.SetRectEmpty();
  if (!m_rectWorkArea.PtInRect(point)) return -1;
  const BOOL horizontal = IsHorizontal();
  const int at = horizontal ? point.x : point.y;
  // The marker is a line along the edge of a button.
  auto edge = [&](const CRect& r, BOOL start) {
    if (horizontal)
      marker.SetRect(start ? r.left : r.right, r.top, start ? r.left : r.right, r.bottom);
    else
      marker.SetRect(r.left, start ? r.top : r.bottom, r.right, start ? r.top : r.bottom);
  };
  int index = 0, last = -1;
  CRect lastRect;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index) {
    const CRect& r = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos))->m_rect;
    if (r.left == -1 && r.right == -1) continue;  // on another page
    const int start = horizontal ? r.left : r.top, end = horizontal ? r.right : r.bottom;
    if (at < end) {
      const BOOL before = at < start || at <= (start + end) / 2;
      edge(r, before);
      return before ? index : index + 1;
    }
    last = index;
    lastRect = r;
  }
  if (last >= 0) {
    edge(lastRect, FALSE);
    return last + 1;
  }
  // A page without buttons: its first button goes at the top of the area.
  const CRect& area = m_rectWorkArea;
  if (horizontal)
    marker.SetRect(area.left + 4, area.top + 4, area.left + 4, area.bottom - 4);
  else
    marker.SetRect(area.left + 4, area.top + 4, area.right - 4, area.top + 4);
  return GetCount();
}

void CTKOutlookBar::OnDragLeave() {
  StopDragHover();
  CTKToolBar::OnDragLeave();
}

BOOL CTKOutlookBar::OnDrop(COleDataObject* data, DROPEFFECT effect, CPoint point) {
  StopDragHover();
  if (!CTKToolBar::OnDrop(data, effect, point)) return FALSE;
  AdjustLayout();
  Invalidate();
  return TRUE;
}

void CTKOutlookBar::OnTimer(UINT_PTR id) {
  if (id != kDragHoverTimer) return;
  const UINT page = m_nDragHoverPage;
  StopDragHover();
  if (page != (UINT)-1) SetActivePage(page, TRUE);
}

CTKToolbarButton* CTKOutlookBar::CreateDroppedButton(COleDataObject* data) {
  CTKToolbarButton* dropped = CTKToolBar::CreateDroppedButton(data);
  if (!dropped) return nullptr;
  auto* button = dynamic_cast<CTKOutlookButton*>(dropped);
  if (!button) {
    // A command from elsewhere: its image lies in another image list, so it shows
    // its name on this bar.
    button = new CTKOutlookButton;
    button->CopyFrom(*dropped);
    delete dropped;
    button->SetImage(-1);
    button->m_bImage = FALSE;
    button->m_bText = TRUE;
    if (button->m_strText.IsEmpty()) FillButtonText(button);
  }
  button->m_dwPageID = m_nActivePage == (UINT)-1 ? 0 : m_nActivePage;
  return button;
}

BOOL CTKOutlookBar::EnableContextMenuItems(CTKToolbarButton* button, HMENU popup) {
  CTKToolBar::EnableContextMenuItems(button, popup);
  if (!IsCustomizeMode()) return TRUE;
  for (UINT id : {ID_TKTOOLBAR_RESET, ID_TKTOOLBAR_COPY_IMAGE, ID_TKTOOLBAR_APPEARANCE, ID_TKTOOLBAR_IMAGE,
                  ID_TKTOOLBAR_TEXT, ID_TKTOOLBAR_IMAGE_AND_TEXT, ID_TKTOOLBAR_START_GROUP})
    ::EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED);
  return TRUE;
}

// ---- navigation-pane mode -------------------------------------------------------------

void CTKOutlookChevronButton::PaintContent(CDC* dc, const CRect& rect, UINT) {
  const SIZE glyph = MenuImages::Size();
  const int x = rect.CenterPoint().x - glyph.cx / 2;
  const int y = rect.CenterPoint().y - glyph.cy;
  MenuImages::Draw(dc, MenuImages::kChevronsRight, POINT{x, y});
  MenuImages::Draw(dc, MenuImages::kArrowDown, POINT{x, y + glyph.cy});
}

void CTKOutlookBar::ShowChevronMenu() {
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuA(menu, MF_STRING | (CanShowMorePageButtons() ? 0 : MF_GRAYED), kShowMoreButtons,
                panes_text::kShowMoreButtons);
  ::AppendMenuA(menu, MF_STRING | (CanShowFewerPageButtons() ? 0 : MF_GRAYED), kShowFewerButtons,
                panes_text::kShowFewerButtons);
  CRect button;
  m_btnChevron.GetWindowRect(&button);
  const UINT chosen = static_cast<UINT>(::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
                                                         button.left, button.bottom, 0, m_hWnd, nullptr));
  ::DestroyMenu(menu);
  if (chosen == kShowMoreButtons || chosen == kShowFewerButtons) SendMessage(WM_COMMAND, chosen);
}

namespace {
// The height of the strip of small page buttons for images of that height.
int StripHeight(int imageHeight) { return imageHeight + 12; }
constexpr int kPageSplitterHeight = 6;
}  // namespace

void CTKOutlookBar::SetNavigationPaneMode(BOOL on) {
  if (on && !m_bNavigationPane) m_bCaptionFromStyle = m_bHasCaption;
  if (!on && m_bNavigationPane) m_bHasCaption = m_bCaptionFromStyle;
  m_bNavigationPane = on;
  if (on) m_bHasCaption = TRUE;
  m_nStripShown = -1;
  if (!on) {
    if (m_btnChevron.m_hWnd) m_btnChevron.ShowWindow(SW_HIDE);
    RebuildPageStrip(GetPageCount());
    m_rectPageSplitter.SetRectEmpty();
    m_rectPageStrip.SetRectEmpty();
  }
  AdjustLayout();
  if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CTKOutlookBar::SetPageImages(HIMAGELIST images) {
  m_hPageImages = images;
  m_nStripShown = -1;
  AdjustLayout();
}

int CTKOutlookBar::GetVisiblePageButtons() const {
  const int wanted = m_nVisiblePageButtons < 0 ? GetPageCount() : m_nVisiblePageButtons;
  return std::max(0, std::min({wanted, m_nMaxVisiblePageButtons, GetPageCount()}));
}

HWND CTKOutlookBar::GetPageStripButton(UINT id) const {
  for (size_t i = 0; i < m_stripPages.size(); ++i)
    if (m_stripPages[i] == id) return m_stripButtons[i]->m_hWnd;
  return nullptr;
}

void CTKOutlookBar::LayoutNavigationPane(CRect& area) {
  const int height = PageButtonHeight();
  int imageWidth = 16, imageHeight = 16;
  if (m_hPageImages) ::ImageList_GetIconSize(m_hPageImages, &imageWidth, &imageHeight);
  // The strip of small buttons along the bottom, the page buttons above it.
  m_rectPageStrip = area;
  m_rectPageStrip.top = std::max<int>(area.top, area.bottom - StripHeight(imageHeight));
  area.bottom = m_rectPageStrip.top;
  m_nMaxVisiblePageButtons = std::max(0, (area.Height() - height) / (2 * height));
  const int shown = GetVisiblePageButtons();
  int index = 0, top = area.bottom - shown * height;
  for (POSITION pos = m_Pages.GetHeadPosition(); pos; ++index) {
    auto* page = static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos));
    if (!page->m_pButton) page->CreateButton(this, static_cast<HFONT>(GD().regularFont.m_hObject));
    if (!page->m_pButton) continue;
    page->m_pButton->SetShownActive(page->m_nId == m_nActivePage);
    if (index >= shown) {
      page->m_rect.SetRectEmpty();
      page->m_pButton->ShowWindow(SW_HIDE);
      continue;
    }
    page->m_rect.SetRect(area.left, top + index * height, area.right, top + (index + 1) * height);
    ::SetWindowPos(page->m_pButton->m_hWnd, nullptr, page->m_rect.left, page->m_rect.top,
                   page->m_rect.Width(), page->m_rect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  area.bottom = top;
  // The splitter the user drags to show more or fewer page buttons.
  m_rectPageSplitter.SetRect(area.left, std::max<int>(area.top, area.bottom - kPageSplitterHeight),
                             area.right, area.bottom);
  area.bottom = m_rectPageSplitter.top;
  if (shown != m_nStripShown) RebuildPageStrip(shown);
  // The chevron at the right end of the strip, the small buttons before it in page order.
  const int width = imageWidth + 6;
  if (!m_btnChevron.m_hWnd && m_btnChevron.Create("", WS_CHILD | BS_PUSHBUTTON, CRect(0, 0, 0, 0), this, 0))
    m_btnChevron.m_bDrawFocus = FALSE;
  int right = m_rectPageStrip.right;
  if (m_btnChevron.m_hWnd) {
    right -= width;
    ::SetWindowPos(m_btnChevron.m_hWnd, nullptr, right, m_rectPageStrip.top + 1, width,
                   m_rectPageStrip.Height() - 2, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  int x = right - static_cast<int>(m_stripButtons.size()) * width;
  for (CTKButton* button : m_stripButtons) {
    ::SetWindowPos(button->m_hWnd, nullptr, x, m_rectPageStrip.top + 1, width, m_rectPageStrip.Height() - 2,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    x += width;
  }
}

void CTKOutlookBar::RebuildPageStrip(int shown) {
  for (CTKButton* button : m_stripButtons) {
    if (button->m_hWnd) button->DestroyWindow();
    delete button;
  }
  m_stripButtons.clear();
  m_stripPages.clear();
  m_nStripShown = shown;
  if (!m_bNavigationPane || !m_hWnd) return;
  int index = 0, n = 0;
  for (POSITION pos = m_Pages.GetHeadPosition(); pos; ++index) {
    auto* page = static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos));
    if (index < shown) continue;
    auto* button = new CTKButton;
    button->m_bDrawFocus = FALSE;
    if (!button->Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 0, 0), this,
                        kFirstPageStripButton + n)) {
      delete button;
      continue;
    }
    if (m_hPageImages && index < ::ImageList_GetImageCount(m_hPageImages))
      button->AssignImages(::ImageList_GetIcon(m_hPageImages, index, ILD_NORMAL));
    button->SetTipText(page->m_strLabel);
    m_stripButtons.push_back(button);
    m_stripPages.push_back(page->m_nId);
    ++n;
  }
}

void CTKOutlookBar::SetVisiblePageButtons(int count) {
  count = std::max(0, std::min(count, GetPageCount()));
  if (count == GetVisiblePageButtons() && m_nVisiblePageButtons >= 0) return;
  m_nVisiblePageButtons = count;
  AdjustLayout();
  if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CTKOutlookBar::OnShowMorePageButtons() { SetVisiblePageButtons(GetVisiblePageButtons() + 1); }
void CTKOutlookBar::OnShowFewerPageButtons() { SetVisiblePageButtons(GetVisiblePageButtons() - 1); }
BOOL CTKOutlookBar::CanShowMorePageButtons() const {
  return m_bNavigationPane && GetVisiblePageButtons() < std::min(m_nMaxVisiblePageButtons, GetPageCount());
}
BOOL CTKOutlookBar::CanShowFewerPageButtons() const {
  return m_bNavigationPane && GetVisiblePageButtons() > 0;
}

// ---- stored state ---------------------------------------------------------------------

void CTKOutlookBar::ReplacePages(const CObList& pages) {
  const UINT active = m_nActivePage;
  EndRename(FALSE);
  CObList old;
  while (!m_Pages.IsEmpty()) old.AddTail(m_Pages.RemoveHead());
  for (POSITION pos = pages.GetHeadPosition(); pos;) {
    auto* page = new CTKOutlookBarPage;
    page->CopyFrom(*static_cast<CTKOutlookBarPage*>(pages.GetNext(pos)));
    for (POSITION at = old.GetHeadPosition(); at && !page->m_hwnd;) {
      auto* was = static_cast<CTKOutlookBarPage*>(old.GetNext(at));
      if (was->m_nId == page->m_nId) std::swap(page->m_hwnd, was->m_hwnd);
    }
    if (m_hWnd) page->CreateButton(this, static_cast<HFONT>(GD().regularFont.m_hObject));
    m_Pages.AddTail(page);
  }
  while (!old.IsEmpty()) delete static_cast<CTKOutlookBarPage*>(old.RemoveHead());
  m_nStripShown = -1;
  m_nActivePage = (UINT)-1;
  UINT next = (UINT)-1;
  if (FindPage(active))
    next = active;
  else if (!m_Pages.IsEmpty())
    next = static_cast<CTKOutlookBarPage*>(m_Pages.GetHead())->m_nId;
  for (POSITION pos = m_Pages.GetHeadPosition(); pos;) {
    auto* page = static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos));
    if (page->m_hwnd && page->m_nId != next) ::ShowWindow(page->m_hwnd, SW_HIDE);
  }
  SetActivePage(next, FALSE);
  AdjustLayout();
  if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CTKOutlookBar::Serialize(CArchive& ar) {
  CTKToolBar::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD>(m_Pages.GetCount()));
    for (POSITION pos = m_Pages.GetHeadPosition(); pos;)
      static_cast<CTKOutlookBarPage*>(m_Pages.GetNext(pos))->Serialize(ar);
    return;
  }
  CObList loaded;
  try {
    for (DWORD left = ar.ReadCount(); left > 0; --left) {
      auto* page = new CTKOutlookBarPage;
      loaded.AddTail(page);
      page->Serialize(ar);
    }
  } catch (...) {
    while (!loaded.IsEmpty()) delete static_cast<CTKOutlookBarPage*>(loaded.RemoveHead());
    throw;
  }
  ReplacePages(loaded);
  while (!loaded.IsEmpty()) delete static_cast<CTKOutlookBarPage*>(loaded.RemoveHead());
}

BOOL CTKOutlookBar::RestoreOriginalState() {
  if (CanBeRestored()) CTKToolBar::RestoreOriginalState();
  ReplacePages(m_DefaultPages);
  return TRUE;
}

BOOL CTKOutlookBar::SaveOriginalItems(CTKRegistry& registry) const {
  if (!CTKToolBar::SaveOriginalItems(registry)) return FALSE;
  if (m_DefaultPages.IsEmpty()) return TRUE;
  return registry.Write("OriginalPages", const_cast<CObList&>(m_DefaultPages));
}

BOOL CTKOutlookBar::LoadOriginalItems(CTKRegistry& registry) {
  BOOL changed = CTKToolBar::LoadOriginalItems(registry);
  CObList stored;
  if (!registry.ReadObList("OriginalPages", stored) || stored.IsEmpty()) return changed;
  // The stored pages are what the program had when the state was saved: pages added,
  // dropped or renamed since then make the user's pages out of date.
  BOOL same = stored.GetCount() == m_DefaultPages.GetCount();
  for (POSITION a = stored.GetHeadPosition(), b = m_DefaultPages.GetHeadPosition(); same && a && b;) {
    auto* x = static_cast<CTKOutlookBarPage*>(stored.GetNext(a));
    auto* y = static_cast<CTKOutlookBarPage*>(m_DefaultPages.GetNext(b));
    same = x->m_nId == y->m_nId && *x == *y;
  }
  while (!stored.IsEmpty()) delete stored.RemoveHead();
  if (same) return changed;
  ReplacePages(m_DefaultPages);
  return TRUE;
}

// ---- painting ----------------------------------------------------------------------

void CTKOutlookBar::OnDrawCaption(CDC* dc, CRect rect, const CString& text) {
  COLORREF textColor = GD().buttonText;
  CTKVisualManager::GetInstance()->PaintOutlookCaption(dc, rect, textColor);
  dc->SetTextColor(textColor);
  dc->SetBkMode(TRANSPARENT);
  rect.DeflateRect(4, 0);
  SIZE extent{0, 0};
  ::GetTextExtentPoint32A(dc->GetSafeHdc(), text, text.GetLength(), &extent);
  ::ExtTextOutA(dc->GetSafeHdc(), rect.left, rect.top + (rect.Height() - extent.cy) / 2, ETO_CLIPPED, &rect,
                text, text.GetLength(), nullptr);
}

void CTKOutlookBar::OnFillButtonArea(CDC* dc, CRect rect) {
  CTKVisualManager::GetInstance()->PaintBarBackground(dc, this, rect, rect);
}

void CTKOutlookBar::OnEraseWorkArea(CDC* dc, CRect rect) {
  if (!HasBackImage()) {
    dc->FillSolidRect(&rect, m_clrBackColor == (COLORREF)-1 ? GD().buttonShadow : m_clrBackColor);
    return;
  }
  // Tiled from the area's top left corner.
  HDC memory = ::CreateCompatibleDC(dc->GetSafeHdc());
  HGDIOBJ old = ::SelectObject(memory, m_hBackImage);
  for (int y = rect.top; y < rect.bottom; y += m_sizeBackImage.cy)
    for (int x = rect.left; x < rect.right; x += m_sizeBackImage.cx)
      ::BitBlt(dc->GetSafeHdc(), x, y, std::min<int>(m_sizeBackImage.cx, rect.right - x),
               std::min<int>(m_sizeBackImage.cy, rect.bottom - y), memory, 0, 0, SRCCOPY);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
}

void CTKOutlookBar::DoPaint(CDC* paintDC) {
  CRect client;
  GetClientRect(&client);
  HDC memory = ::CreateCompatibleDC(paintDC->GetSafeHdc());
  HBITMAP bitmap = ::CreateCompatibleBitmap(paintDC->GetSafeHdc(), client.Width(), client.Height());
  HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
  CDC dc(memory);
  CRect clip;
  ::GetClipBox(paintDC->GetSafeHdc(), &clip);
  PaintBar(&dc, clip);
  dc.Detach();
  ::BitBlt(paintDC->GetSafeHdc(), 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
  ::SelectObject(memory, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
}

void CTKOutlookBar::PaintBar(CDC* dc, const CRect&) {
  CRect client;
  GetClientRect(&client);
  dc->FillRect(&client, const_cast<CBrush*>(&GD().barFaceBrush));
  CRect frame = client;
  dc->Draw3dRect(&frame, GD().buttonFace, GD().buttonFace);
  frame.DeflateRect(1, 1);
  dc->Draw3dRect(&frame, GD().buttonShadow, GD().buttonHighlight);
  if (!m_rectSplitter.IsRectEmpty()) dc->FillRect(&m_rectSplitter, const_cast<CBrush*>(&GD().barFaceBrush));
  if (!m_rectPageSplitter.IsRectEmpty())
    CTKVisualManager::GetInstance()->PaintOutlookPageButton(dc, m_rectPageSplitter);
  HGDIOBJ oldFont = ::SelectObject(dc->GetSafeHdc(), GD().regularFont.m_hObject);
  if (!m_rectCaption.IsRectEmpty()) {
    CTKOutlookBarPage* page = m_bNavigationPane ? nullptr : FindPage(m_nActivePage);
    CString text;
    if (page)
      text = page->m_strLabel;
    else
      GetWindowText(text);
    CRect caption = m_rectCaption;
    if (m_btnClose.m_hWnd && ::IsWindowVisible(m_btnClose.m_hWnd)) caption.right -= caption.Height();
    OnDrawCaption(dc, caption, text);
  }
  const int saved = ::SaveDC(dc->GetSafeHdc());
  ::IntersectClipRect(dc->GetSafeHdc(), m_rectWorkArea.left, m_rectWorkArea.top, m_rectWorkArea.right,
                      m_rectWorkArea.bottom);
  if (m_nActivePage != (UINT)-1 || m_Pages.IsEmpty()) OnFillButtonArea(dc, m_rectWorkArea);
  dc->SetBkMode(TRANSPARENT);
  if (m_ImagesLocked.GetCount()) m_ImagesLocked.SetTransparentColor(m_clrTransparentColor);
  CTKToolbarImageList* images =
      m_ImagesLocked.GetCount() && m_ImagesLocked.PrepareDraw(dc, m_ImagesLocked.GetImageSize())
          ? &m_ImagesLocked
          : nullptr;
  int index = 0;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button->m_rect.left == -1 && button->m_rect.right == -1) continue;
    CRect meet;
    if (!meet.IntersectRect(&button->m_rect, &m_rectWorkArea)) continue;
    const BOOL highlighted = (index == m_iHighlighted || index == m_iButtonCapture) &&
                             (m_iButtonCapture == -1 || m_iButtonCapture == index);
    button->OnDraw(dc, button->m_rect, images, IsHorizontal(), IsCustomizeMode() && !m_bLocked, highlighted);
  }
  if (images) images->EndDraw();
  // Where a dragged button would go.
  if (m_iDragIndex >= 0) DrawDragMarker(dc);
  ::RestoreDC(dc->GetSafeHdc(), saved);
  ::SelectObject(dc->GetSafeHdc(), oldFont);
}
