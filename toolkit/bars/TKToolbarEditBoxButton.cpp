#include "toolkit/bars/TKToolbarEditBoxButton.h"

#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/ToolbarFieldDrawing.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"

IMPLEMENT_SERIAL(CTKToolbarEditBoxButton, CTKToolbarButton, 1)

BOOL CTKToolbarEditBoxButton::s_bFlat = TRUE;

CTKToolbarEditBoxButton::CTKToolbarEditBoxButton() = default;

CTKToolbarEditBoxButton::CTKToolbarEditBoxButton(UINT command, int image, DWORD style, int width)
    : CTKToolbarButton(command, image) {
  m_dwStyle = style | WS_CHILD | WS_VISIBLE;
  if (width > 0) m_iWidth = width;
}

CTKToolbarEditBoxButton::~CTKToolbarEditBoxButton() { DestroyEdit(); }

void CTKToolbarEditBoxButton::DestroyEdit() {
  if (!m_pWndEdit) return;
  if (::IsWindow(m_pWndEdit->m_hWnd)) m_pWndEdit->DestroyWindow();
  delete m_pWndEdit;
  m_pWndEdit = nullptr;
}

void CTKToolbarEditBoxButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CTKToolbarEditBoxButton*>(&source);
  if (!other) return;
  m_dwStyle = other->m_dwStyle;
  m_iWidth = other->m_iWidth;
  m_strContents = other->GetContents();
}

void CTKToolbarEditBoxButton::Serialize(CArchive& ar) {
  CTKToolbarButton::Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_iWidth;
    ar << static_cast<int>(m_dwStyle);
    CString contents;
    if (m_pWndEdit && m_pWndEdit->m_hWnd) m_pWndEdit->GetWindowText(contents);
    ar << contents;
    return;
  }
  int style = 0;
  ar >> m_iWidth >> style >> m_strContents;
  m_dwStyle = static_cast<DWORD>(style);
  m_rect.right = m_rect.left + m_iWidth;
}

BOOL CTKToolbarEditBoxButton::ShowsLabels() const {
  auto* bar = dynamic_cast<CTKToolBar*>(m_bar);
  return bar && bar->AreTextLabels() && !m_strText.IsEmpty();
}

int CTKToolbarEditBoxButton::LabelHeight(CDC* dc) const {
  if (!ShowsLabels()) return 0;
  CRect text(0, 0, m_iWidth, 0);
  dc->DrawText(m_strText, m_strText.GetLength(), &text, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  return text.Height();
}

SIZE CTKToolbarEditBoxButton::OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) {
  m_bHorz = horizontal;
  if (!IsVisible()) {
    if (m_pWndEdit && m_pWndEdit->m_hWnd) m_pWndEdit->ShowWindow(SW_HIDE);
    return SIZE{0, 0};
  }
  if (!horizontal) {
    if (m_pWndEdit && m_pWndEdit->m_hWnd) m_pWndEdit->ShowWindow(SW_HIDE);
    return CTKToolbarButton::OnCalculateSize(dc, defaultSize, horizontal);
  }
  if (m_pWndEdit && m_pWndEdit->m_hWnd && !CTKToolBar::IsCustomizeMode())
    m_pWndEdit->ShowWindow(SW_SHOWNOACTIVATE);
  return SIZE{m_iWidth, defaultSize.cy + LabelHeight(dc)};
}

void CTKToolbarEditBoxButton::OnMove() {
  if (!IsEditVisible()) return;
  int label = 0;
  if (ShowsLabels() && m_bar) {
    CClientDC dc(m_bar);
    HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), GlobalData::Get().regularFont.m_hObject);
    label = LabelHeight(&dc);
    ::SelectObject(dc.GetSafeHdc(), old);
  }
  const int height = GlobalData::Get().textHeight;
  const int y = std::max<int>(0, m_rect.top + (m_rect.Height() - label - height) / 2);
  ::SetWindowPos(m_pWndEdit->m_hWnd, nullptr, m_rect.left + 3, y, m_rect.Width() - 6, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  m_pWndEdit->SetSel(-1, 0);
}

void CTKToolbarEditBoxButton::OnChangeParentWnd(CWnd* parent) {
  CTKToolbarButton::OnChangeParentWnd(parent);
  if (m_pWndEdit && m_pWndEdit->m_hWnd) {
    if (::GetParent(m_pWndEdit->m_hWnd) == AfxGetSafeHwnd(parent)) return;
    m_pWndEdit->GetWindowText(m_strContents);
  }
  DestroyEdit();
  if (!parent || !parent->m_hWnd) return;
  CRect rect = m_rect;
  rect.InflateRect(-3, -1);
  rect.bottom = rect.top + GlobalData::Get().textHeight;
  if (rect.Width() <= 0) rect.right = rect.left + m_iWidth - 6;
  m_pWndEdit = CreateEdit(parent, rect);
  if (!m_pWndEdit) return;
  OnGlobalFontsChanged();
  CString current;
  m_pWndEdit->GetWindowText(current);
  if (current.IsEmpty()) {
    m_bChangingText = TRUE;
    m_pWndEdit->SetWindowText(m_strContents);
    m_bChangingText = FALSE;
  } else {
    m_strContents = current;
  }
}

CTKEditBoxEdit* CTKToolbarEditBoxButton::CreateEdit(CWnd* parent, const CRect& rect) {
  auto* edit = new CTKEditBoxEdit(*this);
  if (!edit->Create(m_dwStyle, rect, parent, m_nID)) {
    delete edit;
    return nullptr;
  }
  return edit;
}

BOOL CTKToolbarEditBoxButton::NotifyCommand(int code) {
  if (!m_pWndEdit || !m_pWndEdit->m_hWnd) return FALSE;
  // Enter in the field asks for the command as it stands.
  if (code == 0) return TRUE;
  if (code != EN_UPDATE) return FALSE;
  m_pWndEdit->GetWindowText(m_strContents);
  CObList buttons;
  CTKToolBar::GetCommandButtons(m_nID, buttons);
  for (POSITION pos = buttons.GetHeadPosition(); pos;) {
    auto* other = dynamic_cast<CTKToolbarEditBoxButton*>(buttons.GetNext(pos));
    if (other && other != this) other->SetContents(m_strContents);
  }
  return !m_bChangingText;
}

void CTKToolbarEditBoxButton::OnAddToCustomizePage() {
  CObList buttons;
  CTKToolBar::GetCommandButtons(m_nID, buttons);
  for (POSITION pos = buttons.GetHeadPosition(); pos;) {
    auto* other = dynamic_cast<CTKToolbarEditBoxButton*>(buttons.GetNext(pos));
    if (other && other != this) {
      CopyFrom(*other);
      return;
    }
  }
}

HBRUSH CTKToolbarEditBoxButton::OnCtlColor(CDC*, UINT) { return ::GetSysColorBrush(COLOR_WINDOW); }

void CTKToolbarEditBoxButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal,
                                     BOOL customizeMode, BOOL highlighted, BOOL drawBorder,
                                     BOOL grayDisabledButtons) {
  if (!IsEditVisible() || !horizontal) {
    CTKToolbarButton::OnDraw(dc, rect, images, horizontal, customizeMode, highlighted, drawBorder,
                             grayDisabledButtons);
    return;
  }
  CRect border;
  if (GetEditBorder(border)) {
    const BOOL hot = m_bHighlighted || !s_bFlat;
    if (hot)
      dc->DrawEdge(&border, EDGE_SUNKEN, BF_RECT);
    else
      ::FrameRect(dc->GetSafeHdc(), &border, ::GetSysColorBrush(COLOR_BTNSHADOW));
  }
  if (ShowsLabels())
    DrawFieldButtonLabel(dc, rect, border.bottom + 2, m_strText, (m_nStyle & TBBS_DISABLED) != 0);
}

int CTKToolbarEditBoxButton::OnDrawOnCustomizeList(CDC* dc, const CRect& rect, BOOL selected) {
  const int width = CTKToolbarButton::OnDrawOnCustomizeList(dc, rect, selected);
  DrawCustomizeListField(dc, rect, width, m_iWidth);
  return rect.Width();
}

void CTKToolbarEditBoxButton::OnShow(BOOL show) {
  if (!m_pWndEdit || !m_pWndEdit->m_hWnd) return;
  m_pWndEdit->ShowWindow(show && m_bHorz ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CTKToolbarEditBoxButton::SetStyle(UINT style) {
  CTKToolbarButton::SetStyle(style);
  if (!m_pWndEdit || !m_pWndEdit->m_hWnd) return;
  const BOOL forbidden = CTKToolBar::IsCustomizeMode() && CTKToolBar::s_forbiddenCommands.Find(m_nID);
  m_pWndEdit->EnableWindow(!(style & TBBS_DISABLED) && !forbidden);
}

void CTKToolbarEditBoxButton::OnGlobalFontsChanged() {
  if (m_pWndEdit && m_pWndEdit->m_hWnd)
    m_pWndEdit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GlobalData::Get().regularFont.m_hObject),
                            TRUE);
}

CRect CTKToolbarEditBoxButton::GetInvalidateRect() const {
  if (!ShowsLabels() || !m_bHorz) return m_rect;
  CRect rect = m_rect;
  const int grow = std::max<int>(0, (m_sizeText.cx - rect.Width()) / 2);
  rect.InflateRect(grow, 0);
  return rect;
}

void CTKToolbarEditBoxButton::SetHighlight(BOOL highlight) {
  if (m_bHighlighted == highlight) return;
  m_bHighlighted = highlight;
  if (m_bar && m_bar->m_hWnd) {
    CRect rect = GetInvalidateRect();
    ::InvalidateRect(m_bar->m_hWnd, &rect, TRUE);
    ::UpdateWindow(m_bar->m_hWnd);
  }
}

BOOL CTKToolbarEditBoxButton::GetEditBorder(CRect& border) const {
  if (!m_pWndEdit || !m_pWndEdit->m_hWnd || !m_bar) return FALSE;
  m_pWndEdit->GetWindowRect(&border);
  ::MapWindowPoints(nullptr, m_bar->m_hWnd, reinterpret_cast<POINT*>(&border), 2);
  border.InflateRect(1, 1);
  return TRUE;
}

BOOL CTKToolbarEditBoxButton::IsEditVisible() const {
  return m_pWndEdit && m_pWndEdit->m_hWnd && (m_pWndEdit->GetStyle() & WS_VISIBLE);
}

CString CTKToolbarEditBoxButton::GetContents() const {
  if (!m_pWndEdit || !m_pWndEdit->m_hWnd) return m_strContents;
  CString text;
  m_pWndEdit->GetWindowText(text);
  return text;
}

void CTKToolbarEditBoxButton::SetContents(const CString& text) {
  m_strContents = text;
  if (!m_pWndEdit || !m_pWndEdit->m_hWnd) return;
  CString current;
  m_pWndEdit->GetWindowText(current);
  if (current == text) return;
  m_bChangingText = TRUE;
  m_pWndEdit->SetWindowText(text);
  m_bChangingText = FALSE;
}
