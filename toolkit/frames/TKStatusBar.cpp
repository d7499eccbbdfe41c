#include "toolkit/frames/TKStatusBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstring>
#include <new>
#include "platform/afx/linux_headers_end.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"

namespace {
constexpr int kGap = 2;  // between two panes

char* CopyText(const char* text) {
  size_t length = std::strlen(text);
  char* copy = new (std::nothrow) char[length + 1];
  if (copy) std::memcpy(copy, text, length + 1);
  return copy;
}

// The command-UI of a pane: enabling toggles the disabled style, checking the pop-out
// style, and the text goes to the pane.
class StatusCmdUI : public CCmdUI {
public:
  CTKStatusBar* m_pOther = nullptr;
  UINT m_nIndex = 0;
  void Enable(BOOL on) override {
    m_bEnableChanged = TRUE;
    CTKStatusBar* bar = m_pOther;
    UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_DISABLED;
    bar->SetPaneStyle(static_cast<int>(m_nIndex), on ? style : style | SBPS_DISABLED);
  }
  void SetCheck(int check) override {
    CTKStatusBar* bar = m_pOther;
    UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_POPOUT;
    bar->SetPaneStyle(static_cast<int>(m_nIndex), check ? style | SBPS_POPOUT : style);
  }
  void SetText(const char* text) override { m_pOther->SetPaneText(static_cast<int>(m_nIndex), text, TRUE); }
};
}  // namespace

CTKStatusBar::CTKStatusBar() {
  m_cxLeftBorder = 4;
  m_cxRightBorder = 0;
  m_cyTopBorder = 2;
  m_cyBottomBorder = 0;
}

CTKStatusBar::~CTKStatusBar() {
  for (int i = 0; i < m_count; ++i) FreePane(m_panes[i]);
  delete[] m_panes;
}

void CTKStatusBar::FreePane(TKStatusPane& pane, bool keepImages) {
  delete[] pane.text;
  pane.text = nullptr;
  delete[] pane.tipText;
  pane.tipText = nullptr;
  if (!keepImages && pane.images) {
    ImageList_Destroy(pane.images);
    pane.images = nullptr;
  }
}

BOOL CTKStatusBar::PreCreateWindow(CREATESTRUCTA& cs) {
  // A plain bottom bar with a top border draws no border lines of its own.
  if (((cs.style >> 8) & 0xFF) == ((CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP) >> 8))
    cs.style &= ~static_cast<DWORD>(0xF80);
  return CControlBar::PreCreateWindow(cs);
}

BOOL CTKStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
  SetBarStyle(style & CBRS_ALL);
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  // The bar style bits are not window style bits.
  DWORD windowStyle = style & ~static_cast<DWORD>(CBRS_ALL & 0xFFFF);
  if (!CWnd::Create(cls, nullptr, windowStyle | WS_CHILD, CRect(0, 0, 0, 0), parent, id)) return FALSE;
  RecalcLayout();
  return TRUE;
}

BOOL CTKStatusBar::SetIndicators(const UINT* ids, int count) {
  for (int i = 0; i < m_count; ++i) FreePane(m_panes[i]);
  delete[] m_panes;
  m_panes = count > 0 ? new TKStatusPane[count] : nullptr;
  m_count = count > 0 ? count : 0;
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ oldFont = ::SelectObject(screen, Font());
  BOOL ok = TRUE;
  for (int i = 0; i < m_count; ++i) {
    TKStatusPane& pane = m_panes[i];
    pane.id = ids ? ids[i] : 0;
    if (pane.id) {
      char text[256] = {};
      if (::LoadStringA(AfxGetInstanceHandle(), pane.id, text, sizeof text) <= 0) {
        ok = FALSE;
        break;
      }
      SIZE extent{};
      ::GetTextExtentPoint32A(screen, text, static_cast<int>(std::strlen(text)), &extent);
      pane.textWidth = extent.cx;
      if (!SetPaneText(i, text, FALSE)) {
        ok = FALSE;
        break;
      }
    } else {
      pane.textWidth = ::GetSystemMetrics(SM_CXSCREEN) / 4;
      if (i == 0) pane.style |= SBPS_STRETCH | SBPS_NOBORDERS;
    }
  }
  ::SelectObject(screen, oldFont);
  ::ReleaseDC(nullptr, screen);
  if (!ok) return FALSE;
  RecalcLayout();
  return TRUE;
}

int CTKStatusBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < m_count; ++i)
    if (m_panes[i].id == id) return i;
  return -1;
}

void CTKStatusBar::GetItemRect(int index, RECT* rect) const {
  if (!rect) return;
  *rect = Valid(index) ? m_panes[index].rect : CRect(0, 0, 0, 0);
}

void CTKStatusBar::InvalidatePane(int index, bool) {
  if (!m_hWnd || !Valid(index)) return;
  CRect rect = m_panes[index].rect;
  if (!rect.IsRectEmpty()) ::InvalidateRect(m_hWnd, &rect, FALSE);
}

void CTKStatusBar::SetPaneStyle(int index, UINT style) {
  if (!Valid(index) || m_panes[index].style == style) return;
  m_panes[index].style = style;
  InvalidatePane(index, false);
  if (m_hWnd) UpdateWindow();
}

void CTKStatusBar::SetPaneInfo(int index, UINT id, UINT style, int width) {
  if (!Valid(index)) return;
  m_panes[index].id = id;
  m_panes[index].style = style;
  m_panes[index].textWidth = width;
  RecalcLayout();
  if (m_hWnd) Invalidate(FALSE);
}

CString CTKStatusBar::GetPaneText(int index) const {
  return Valid(index) && m_panes[index].text ? CString(m_panes[index].text) : CString();
}

BOOL CTKStatusBar::SetPaneText(int index, const char* text, BOOL update) {
  if (!Valid(index)) return FALSE;
  TKStatusPane& pane = m_panes[index];
  if ((!text || !*text) && !pane.text) return TRUE;
  if (text && pane.text && std::strcmp(text, pane.text) == 0) return TRUE;
  char* copy = nullptr;
  if (text && *text) {
    copy = CopyText(text);
    if (!copy) return FALSE;
  }
  delete[] pane.text;
  pane.text = copy;
  if (update) InvalidatePane(index, true);
  return TRUE;
}

void CTKStatusBar::StopAnimation(int index) {
  TKStatusPane& pane = m_panes[index];
  if (pane.frameCount <= 0) return;
  if (m_hWnd) KillTimer(pane.id);
  if (pane.images) ImageList_Destroy(pane.images);
  pane.images = nullptr;
  pane.frameCount = 0;
  pane.currentFrame = 0;
}

void CTKStatusBar::SetPaneIcon(int index, HICON icon, BOOL update) {
  if (!Valid(index)) return;
  StopAnimation(index);
  TKStatusPane& pane = m_panes[index];
  if (!icon) {
    if (pane.images) ImageList_Destroy(pane.images);
    pane.images = nullptr;
    pane.iconWidth = pane.iconHeight = 0;
    RecalcLayout();
    if (update) InvalidatePane(index, true);
    return;
  }
  ICONINFO info{};
  BITMAP bitmap{};
  if (::GetIconInfo(icon, &info)) {
    HBITMAP source = info.hbmColor ? info.hbmColor : info.hbmMask;
    ::GetObjectA(source, sizeof bitmap, &bitmap);
    pane.iconWidth = bitmap.bmWidth;
    pane.iconHeight = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
  }
  if (!pane.images) {
    pane.images = ImageList_Create(pane.iconWidth, pane.iconHeight, ILC_COLORDDB | ILC_MASK, 1, 0);
    ImageList_AddIcon(pane.images, icon);
    RecalcLayout();
  } else {
    ImageList_ReplaceIcon(pane.images, 0, icon);
  }
  if (update) InvalidatePane(index, true);
}

void CTKStatusBar::SetPaneAnimation(int index, HIMAGELIST list, UINT interval, BOOL update) {
  if (!Valid(index)) return;
  TKStatusPane& pane = m_panes[index];
  if (m_hWnd) KillTimer(pane.id);
  if (pane.images) ImageList_Destroy(pane.images);
  pane.images = nullptr;
  pane.frameCount = 0;
  pane.currentFrame = 0;
  int frames = list ? ImageList_GetImageCount(list) : 0;
  if (frames < 1) return;
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  pane.images = ImageList_Create(cx, cy, ILC_COLORDDB | ILC_MASK, frames, 0);
  for (int i = 0; i < frames; ++i) {
    HICON icon = ImageList_GetIcon(list, i, ILD_NORMAL);
    ImageList_AddIcon(pane.images, icon);
    ::DestroyIcon(icon);
  }
  pane.iconWidth = cx;
  pane.iconHeight = cy;
  pane.frameCount = frames;
  RecalcLayout();
  if (update) InvalidatePane(index, true);
  if (m_hWnd) SetTimer(pane.id, interval);
}

void CTKStatusBar::SetTipText(int index, const char* text) {
  if (!Valid(index)) return;
  TKStatusPane& pane = m_panes[index];
  delete[] pane.tipText;
  pane.tipText = text && *text ? CopyText(text) : nullptr;
  SetBarStyle(m_dwStyle | CBRS_TOOLTIPS);
}

INT_PTR CTKStatusBar::OnToolHitTest(CPoint point, TTTOOLINFOA* tool) const {
  INT_PTR hit = CTKBaseControlBar::OnToolHitTest(point, tool);
  if (hit != -1) return hit;
  for (int i = 0; i < m_count; ++i) {
    const TKStatusPane& pane = m_panes[i];
    if (!pane.tipText || !CRect(pane.rect).PtInRect(point)) continue;
    if (tool) {
      const size_t length = ::lstrlenA(pane.tipText) + 1;
      tool->lpszText = static_cast<char*>(::malloc(length));
      if (tool->lpszText) ::memcpy(tool->lpszText, pane.tipText, length);
      tool->rect = pane.rect;
      tool->hwnd = m_hWnd;
      tool->uId = pane.id;
    }
    // The tip shows in the toolkit's regular font.
    if (HWND tip = CWnd::GetThreadToolTip()) {
      HFONT font = static_cast<HFONT>(GlobalData::Get().regularFont.m_hObject);
      if (font) ::SendMessageA(tip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return static_cast<INT_PTR>(pane.id);
  }
  return -1;
}

CString CTKStatusBar::GetTipText(int index) const {
  return Valid(index) && m_panes[index].tipText ? CString(m_panes[index].tipText) : CString();
}

void CTKStatusBar::SetPaneTextColor(int index, COLORREF color, BOOL update) {
  if (!Valid(index)) return;
  m_panes[index].textColor = color;
  if (update) InvalidatePane(index, true);
}

void CTKStatusBar::SetPaneBackgroundColor(int index, COLORREF color, BOOL update) {
  if (!Valid(index)) return;
  m_panes[index].backColor = color;
  if (update) InvalidatePane(index, true);
}

void CTKStatusBar::EnablePaneProgressBar(int index, int total, BOOL showText, COLORREF color,
                                         COLORREF endColor, COLORREF textColor) {
  if (!Valid(index)) return;
  TKStatusPane& pane = m_panes[index];
  pane.progressTotal = total;
  pane.progressPos = 0;
  pane.progressText = showText;
  pane.progressColor = color;
  pane.progressEndColor = endColor;
  pane.progressTextColor = textColor;
  InvalidatePane(index, true);
}

void CTKStatusBar::SetPaneProgress(int index, int position, BOOL update) {
  if (!Valid(index)) return;
  m_panes[index].progressPos = position;
  if (update) InvalidatePane(index, true);
}

HFONT CTKStatusBar::Font() const {
  return m_hFont ? m_hFont : static_cast<HFONT>(GlobalData::Get().statusStyleFont);
}

CSize CTKStatusBar::CalcFixedLayout(BOOL, BOOL) {
  int height = 0;
  for (int i = 0; i < m_count; ++i) height = std::max(height, m_panes[i].iconHeight);
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(screen, Font());
  TEXTMETRICA tm{};
  ::GetTextMetricsA(screen, &tm);
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
  height = std::max(height, static_cast<int>(tm.tmHeight - tm.tmInternalLeading));
  CRect inside(0, 0, 0, 0);
  CalcInsideRect(inside, TRUE);
  height += -inside.Height() + 4;
  return CSize(32767, height);
}

void CTKStatusBar::RecalcLayout() {
  if (!m_hWnd) return;
  CRect inside;
  GetClientRect(&inside);
  CalcInsideRect(inside, TRUE);
  m_sizeBoxWidth = std::min(::GetSystemMetrics(SM_CXVSCROLL) + 1, inside.Height());
  int limit = m_hideSizeBox ? inside.right + m_cxRightBorder + 1 : inside.right - m_sizeBoxWidth;
  // The spare width ends where the panes must stop: before the size box when it shows
  // (else the stretching pane pushes the last pane under the box, cutting it).
  int spare = inside.Width() + kGap - (m_hideSizeBox ? 0 : m_sizeBoxWidth);
  for (int i = 0; i < m_count; ++i) {
    const TKStatusPane& pane = m_panes[i];
    spare -= pane.textWidth + pane.iconWidth + kGap + 4;
    if (pane.textWidth > 0 && pane.iconWidth > 0) spare -= 4;
  }
  bool stretched = false;
  int x = inside.left;
  for (int i = 0; i < m_count; ++i) {
    TKStatusPane& pane = m_panes[i];
    int width = pane.textWidth + pane.iconWidth;
    if (pane.textWidth > 0 && pane.iconWidth > 0) width += 4;
    if ((pane.style & SBPS_STRETCH) && !stretched) {
      stretched = true;
      if (spare > 0) width += spare;
    }
    if (x >= limit) {
      pane.rect = CRect(0, 0, 0, 0);
    } else {
      pane.rect = CRect(x, inside.top, std::min(x + width + 4, limit), inside.bottom);
    }
    x += width + 4 + kGap;
  }
  m_sizeBoxRect = CRect(inside.right - m_sizeBoxWidth, inside.top, inside.right, inside.bottom);
}

void CTKStatusBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  StatusCmdUI state;
  state.m_pOther = this;
  for (int i = 0; i < m_count; ++i) {
    state.m_nIndex = static_cast<UINT>(i);
    state.m_nID = m_panes[i].id;
    if (!state.DoUpdate(target) && disableIfNoHandler && state.m_nID) state.Enable(FALSE);
  }
}

LRESULT CTKStatusBar::OnSizeParent(AFX_SIZEPARENTPARAMS* layout) {
  CRect before = layout->rect;
  LRESULT result = CTKBaseControlBar::OnSizeParent(layout);
  // The size box shows only while the frame can be sized from the bar's corner.
  BOOL hide = TRUE;
  HWND frame = ::GetParent(m_hWnd);
  if (frame && (GetStyle() & WS_VISIBLE)) {
    CRect client;
    ::GetClientRect(frame, &client);
    LONG frameStyle = ::GetWindowLongA(frame, GWL_STYLE);
    hide = ::IsZoomed(frame) || !(frameStyle & WS_THICKFRAME) || before.right != client.right ||
           before.bottom != client.bottom;
  }
  if (hide != m_hideSizeBox) {
    m_hideSizeBox = hide;
    RecalcLayout();
    Invalidate(FALSE);
  }
  return result;
}

void CTKStatusBar::DrawPane(CDC* dc, TKStatusPane* pane) {
  CRect rect = pane->rect;
  if (rect.IsRectEmpty() || !::RectVisible(dc->m_hDC, &rect)) return;
  GlobalData& gd = GlobalData::Get();
  if (pane->backColor != (COLORREF)-1) dc->FillSolidRect(&rect, pane->backColor);
  CTKVisualManager::GetInstance()->PaintStatusPaneBorder(dc, this, rect, pane->id, pane->style);
  if (!(pane->style & SBPS_NOBORDERS)) rect.DeflateRect(2, 1);
  if (pane->images) {
    int frame = pane->frameCount > 0 ? pane->currentFrame : 0;
    ImageList_Draw(pane->images, frame, dc->m_hDC, rect.left,
                   rect.top + (rect.Height() - pane->iconHeight) / 2, ILD_TRANSPARENT);
    rect.left += pane->iconWidth + 4;
  }
  if (pane->progressTotal == -1) {
    if (!pane->text) return;
    COLORREF color = (pane->style & SBPS_DISABLED)     ? gd.grayText
                     : pane->textColor != (COLORREF)-1 ? pane->textColor
                                                       : gd.buttonText;
    COLORREF old = dc->SetTextColor(color);
    dc->DrawText(pane->text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    dc->SetTextColor(old);
  } else {
    rect.DeflateRect(1, 1);
    COLORREF bar = pane->progressColor == (COLORREF)-1 ? ::GetSysColor(COLOR_HIGHLIGHT) : pane->progressColor;
    CTKVisualManager::GetInstance()->PaintStatusBarProgress(dc, this, rect, pane->progressTotal,
                                                            pane->progressPos, bar, pane->progressEndColor,
                                                            pane->progressTextColor, pane->progressText);
  }
}

BEGIN_MESSAGE_MAP(CTKStatusBar, CTKBaseControlBar)
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_MESSAGE(WM_SETFONT, OnSetFont)
  ON_MESSAGE(WM_GETFONT, OnGetFont)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
  ON_MESSAGE(WM_GETTEXT, OnGetText)
  ON_WM_SETTINGCHANGE()
  ON_WM_NCHITTEST()
  ON_WM_SYSCOMMAND()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_TIMER()
  ON_WM_PAINT()
END_MESSAGE_MAP()

void CTKStatusBar::OnDestroy() {
  for (int i = 0; i < m_count; ++i) {
    KillTimer(m_panes[i].id);
    FreePane(m_panes[i]);
    m_panes[i].frameCount = 0;
  }
  CTKBaseControlBar::OnDestroy();
}

void CTKStatusBar::OnSize(UINT type, int cx, int cy) {
  CTKBaseControlBar::OnSize(type, cx, cy);
  RecalcLayout();
  Invalidate(FALSE);
}

LRESULT CTKStatusBar::OnSetFont(WPARAM wParam, LPARAM lParam) {
  m_hFont = reinterpret_cast<HFONT>(wParam);
  RecalcLayout();
  if (lParam) Invalidate(FALSE);
  return 0;
}

LRESULT CTKStatusBar::OnGetFont(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hFont); }

// The window text is the message pane's (id 0).
LRESULT CTKStatusBar::OnSetText(WPARAM, LPARAM lParam) {
  int index = CommandToIndex(0);
  if (index < 0) return -1;
  return SetPaneText(index, reinterpret_cast<const char*>(lParam), TRUE) ? 0 : -1;
}

LRESULT CTKStatusBar::OnGetTextLength(WPARAM, LPARAM) {
  int index = CommandToIndex(0);
  return index >= 0 && m_panes[index].text ? static_cast<LRESULT>(std::strlen(m_panes[index].text)) : 0;
}

LRESULT CTKStatusBar::OnGetText(WPARAM wParam, LPARAM lParam) {
  size_t capacity = wParam;
  char* buffer = reinterpret_cast<char*>(lParam);
  if (capacity == 0 || !buffer) return 0;
  int index = CommandToIndex(0);
  const char* text = index >= 0 && m_panes[index].text ? m_panes[index].text : "";
  size_t copied = std::min(std::strlen(text), capacity - 1);
  std::memcpy(buffer, text, copied);
  buffer[copied] = '\0';
  return static_cast<LRESULT>(copied + 1);
}

void CTKStatusBar::OnSettingChange(UINT flags, LPCSTR section) {
  RecalcLayout();
  CTKBaseControlBar::OnSettingChange(flags, section);
}

LRESULT CTKStatusBar::OnNcHitTest(CPoint point) {
  LRESULT hit = CTKBaseControlBar::OnNcHitTest(point);
  if (!m_hideSizeBox) {
    ::ScreenToClient(m_hWnd, &point);
    // Over the size box the bar is the frame's sizing corner.
    if (m_sizeBoxRect.PtInRect(point))
      return (::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
  }
  return hit;
}

void CTKStatusBar::OnSysCommand(UINT id, LPARAM lParam) {
  // Sizing from the size box sizes the frame.
  if (!m_hideSizeBox && (id & 0xFFF0) == SC_SIZE) {
    if (HWND frame = ::GetParent(m_hWnd)) {
      ::SendMessageA(frame, WM_SYSCOMMAND, id, lParam);
      return;
    }
  }
  CTKBaseControlBar::OnSysCommand(id, lParam);
}

void CTKStatusBar::OnLButtonDblClk(UINT flags, CPoint point) {
  if (m_doubleClickCommand) {
    for (int i = 0; i < m_count; ++i)
      if (m_panes[i].rect.PtInRect(point)) {
        HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
        if (!owner) owner = ::GetParent(m_hWnd);
        ::PostMessageA(owner, WM_COMMAND, m_panes[i].id, 0);
        break;
      }
  }
  CTKBaseControlBar::OnLButtonDblClk(flags, point);
}

void CTKStatusBar::OnTimer(UINT_PTR id) {
  // A pane's animation timer has the pane's id.
  for (int i = 0; i < m_count; ++i) {
    TKStatusPane& pane = m_panes[i];
    if (pane.id != id || pane.frameCount <= 0) continue;
    pane.currentFrame = (pane.currentFrame + 1) % pane.frameCount;
    CRect icon = pane.rect;
    if (!(pane.style & SBPS_NOBORDERS)) icon.DeflateRect(2, 1);
    icon.right = icon.left + pane.iconWidth;
    ::InvalidateRect(m_hWnd, &icon, FALSE);
    UpdateWindow();
    return;
  }
  CTKBaseControlBar::OnTimer(id);
}

void CTKStatusBar::OnPaint() {
  CPaintDC target(this);
  CRect client;
  GetClientRect(&client);
  CDC memory;
  memory.CreateCompatibleDC(&target);
  HBITMAP bitmap = CreateOffscreenBitmap(std::max(1, client.Width()), std::max(1, client.Height()));
  HGDIOBJ oldBitmap = memory.SelectObject(bitmap);
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  look->PaintBarBackground(&memory, this, client, client);
  HGDIOBJ oldFont = memory.SelectObject(Font());
  memory.SetTextColor(GlobalData::Get().buttonText);
  memory.SetBkColor(GlobalData::Get().buttonFace);
  memory.SetBkMode(TRANSPARENT);
  for (int i = 0; i < m_count; ++i) DrawPane(&memory, &m_panes[i]);
  memory.SelectObject(oldFont);
  if (!m_hideSizeBox) look->PaintSizeGrip(&memory, this, m_sizeBoxRect);
  target.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(oldBitmap);
  ::DeleteObject(bitmap);
}
