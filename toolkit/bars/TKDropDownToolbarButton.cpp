#include "toolkit/bars/TKDropDownToolbarButton.h"

#include "toolkit/bars/TKDropDownFrame.h"
#include "toolkit/bars/TKDropDownToolBar.h"

IMPLEMENT_SERIAL(CTKDropDownToolbarButton, CTKToolbarButton, 0x80000001)

UINT CTKDropDownToolbarButton::s_dropDownDelay = 400;
UINT_PTR CTKDropDownToolbarButton::s_delayTimer = 0;
CTKDropDownToolbarButton* CTKDropDownToolbarButton::s_pPendingButton = nullptr;

namespace {

BOOL IsRealCommand(UINT id) { return id != 0 && id != (UINT)-1; }

CTKToolBar* BarOf(const CTKToolbarButton& button) { return dynamic_cast<CTKToolBar*>(button.m_bar); }

}  // namespace

CTKDropDownToolbarButton::CTKDropDownToolbarButton() = default;

CTKDropDownToolbarButton::CTKDropDownToolbarButton(const char* text, CTKDropDownToolBar* source)
    : m_pToolBar(source), m_strName(text ? text : "") {
  m_strText = m_strName;
  m_iSelectedImage = 0;
  SetDefaultCommand(0);
}

CTKDropDownToolbarButton::~CTKDropDownToolbarButton() {
  if (s_pPendingButton == this) StopDelay();
  CloseFrame();
}

void CTKDropDownToolbarButton::SetDefaultCommand(UINT id) {
  if (!m_pToolBar) return;
  int index = 0, chosen = -1, first = -1;
  for (POSITION pos = m_pToolBar->GetAllButtons().GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_pToolBar->GetAllButtons().GetNext(pos));
    if (button->IsSeparator()) continue;
    if (first < 0) first = index;
    if (chosen < 0 && button->m_nID == id && !(button->m_nStyle & TBBS_DISABLED)) chosen = index;
    ++index;
  }
  m_iSelectedImage = chosen >= 0 ? chosen : 0;
  // The chosen button's command and image become this button's own.
  index = 0;
  for (POSITION pos = m_pToolBar->GetAllButtons().GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_pToolBar->GetAllButtons().GetNext(pos));
    if (button->IsSeparator()) continue;
    if (index++ != m_iSelectedImage) continue;
    m_nID = button->m_nID;
    m_bUserImage = button->m_bUserImage;
    m_iImage = button->m_iImage;
    m_iUserImage = button->m_iUserImage;
    m_iCurrentImage = button->GetImage();
    m_bCurrentUserImage = button->m_bUserImage;
    m_strTooltip = button->m_strText;
    break;
  }
  if (CTKToolBar* bar = BarOf(*this); bar && bar->m_hWnd) {
    bar->InvalidateButton(bar->ButtonToIndex(this));
  }
}

void CTKDropDownToolbarButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CTKDropDownToolbarButton*>(&source);
  if (!other) return;
  m_pToolBar = other->m_pToolBar;
  m_strName = other->m_strName;
  m_iSelectedImage = other->m_iSelectedImage;
  m_iCurrentImage = other->m_iCurrentImage;
  m_bCurrentUserImage = other->m_bCurrentUserImage;
}

void CTKDropDownToolbarButton::Serialize(CArchive& ar) {
  CTKToolbarButton::Serialize(ar);
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_pToolBar && m_pToolBar->m_hWnd ? m_pToolBar->GetDlgCtrlID() : 0);
    ar << m_strName;
    ar << m_iSelectedImage;
    return;
  }
  int barId = 0, index = 0;
  ar >> barId;
  ar >> m_strName;
  ar >> index;
  m_pToolBar = nullptr;
  for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos;) {
    auto* source = dynamic_cast<CTKDropDownToolBar*>(CTKToolBar::GetAllToolbars().GetNext(pos));
    if (source && !source->m_pDropDownFrame && source->m_hWnd && source->GetDlgCtrlID() == barId) {
      m_pToolBar = source;
      break;
    }
  }
  // The stored index picks the command again; a source that lost buttons falls back
  // to its first one.
  UINT id = 0;
  int at = 0;
  if (m_pToolBar) {
    for (POSITION pos = m_pToolBar->GetAllButtons().GetHeadPosition(); pos;) {
      auto* button = static_cast<CTKToolbarButton*>(m_pToolBar->GetAllButtons().GetNext(pos));
      if (button->IsSeparator()) continue;
      if (at++ == index) id = button->m_nID;
    }
  }
  SetDefaultCommand(id);
}

void CTKDropDownToolbarButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images,
                                      BOOL horizontal, BOOL customizeMode, BOOL highlighted, BOOL drawBorder,
                                      BOOL grayDisabledButtons) {
  CTKToolbarButton::OnDraw(dc, rect, images, horizontal, customizeMode, highlighted, drawBorder,
                           grayDisabledButtons);
  // A small arrow in the lower right corner says that the button holds more.
  const int right = rect.right - 3, bottom = rect.bottom - 3;
  HBRUSH brush = ::GetSysColorBrush((m_nStyle & TBBS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
  HGDIOBJ oldBrush = ::SelectObject(dc->m_hDC, brush);
  HGDIOBJ oldPen = ::SelectObject(dc->m_hDC, ::GetStockObject(NULL_PEN));
  POINT glyph[3] = {{right - 5, bottom - 3}, {right + 1, bottom - 3}, {right - 2, bottom}};
  ::Polygon(dc->m_hDC, glyph, 3);
  ::SelectObject(dc->m_hDC, oldPen);
  ::SelectObject(dc->m_hDC, oldBrush);
}

BOOL CTKDropDownToolbarButton::OnClick(CWnd* window, BOOL) {
  if (!m_pToolBar || CTKToolBar::IsCustomizeMode()) return FALSE;
  if (s_pPendingButton == this) StopDelay();
  if (m_pFrame) {
    CloseFrame();
    return TRUE;
  }
  // A press on the arrow corner opens at once; elsewhere the button has to be held.
  POINT cursor;
  ::GetCursorPos(&cursor);
  if (window && window->m_hWnd) ::ScreenToClient(window->m_hWnd, &cursor);
  CRect arrow = m_rect;
  arrow.left = arrow.right - kArrowWidth - 3;
  arrow.top = arrow.bottom - kArrowWidth - 3;
  if (arrow.PtInRect(cursor)) {
    OpenFrame();
    return TRUE;
  }
  if (s_pPendingButton) s_pPendingButton->StopDelay();
  s_pPendingButton = this;
  m_bLocalUserButton = TRUE;
  s_delayTimer = ::SetTimer(nullptr, 0, s_dropDownDelay, &CTKDropDownToolbarButton::OnDelayTimer);
  return FALSE;
}

BOOL CTKDropDownToolbarButton::OnClickUp() {
  // Released before the delay ran out: the current command runs.
  if (s_pPendingButton == this) StopDelay();
  return FALSE;
}

void CTKDropDownToolbarButton::OnCancelMode() {
  if (s_pPendingButton == this) StopDelay();
  CloseFrame();
  if (CTKToolBar* bar = BarOf(*this); bar && bar->m_hWnd) bar->InvalidateButton(bar->ButtonToIndex(this));
}

void CTKDropDownToolbarButton::StopDelay() {
  if (s_delayTimer) ::KillTimer(nullptr, s_delayTimer);
  s_delayTimer = 0;
  if (s_pPendingButton) s_pPendingButton->m_bLocalUserButton = FALSE;
  s_pPendingButton = nullptr;
}

void CALLBACK CTKDropDownToolbarButton::OnDelayTimer(HWND, UINT, UINT_PTR, DWORD) {
  CTKDropDownToolbarButton* button = s_pPendingButton;
  StopDelay();
  if (!button) return;
  // The bar lets go of the press: the release that follows must not run the command.
  if (CTKToolBar* bar = BarOf(*button); bar && bar->m_hWnd) {
    if (::GetCapture() == bar->m_hWnd) ::ReleaseCapture();
    bar->m_iButtonCapture = -1;
  }
  button->OpenFrame();
}

void CTKDropDownToolbarButton::OpenFrame() {
  CTKToolBar* bar = BarOf(*this);
  if (m_pFrame || !m_pToolBar || !bar || !bar->m_hWnd) return;
  CRect rect = m_rect;
  ::MapWindowPoints(bar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  const CPoint at = bar->IsHorizontal() ? CPoint(rect.left, rect.bottom) : CPoint(rect.right, rect.top);
  auto* frame = new CTKDropDownFrame;
  m_pFrame = frame;
  m_nStyle |= TBBS_PRESSED;
  if (!frame->Create(this, m_pToolBar, at)) {
    m_pFrame = nullptr;
    m_nStyle &= ~TBBS_PRESSED;
  }
  bar->InvalidateButton(bar->ButtonToIndex(this));
}

void CTKDropDownToolbarButton::CloseFrame() {
  if (m_pFrame && m_pFrame->m_hWnd) m_pFrame->DestroyWindow();
  m_pFrame = nullptr;
}

HMENU CTKDropDownToolbarButton::ExportToMenu() const {
  if (!m_pToolBar) return nullptr;
  HMENU menu = ::CreatePopupMenu();
  for (POSITION pos = m_pToolBar->GetAllButtons().GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_pToolBar->GetAllButtons().GetNext(pos));
    if (button->IsSeparator()) {
      ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    if (!IsRealCommand(button->m_nID)) continue;
    ::AppendMenuA(menu, MF_STRING, button->m_nID, button->m_strText);
    if (button->m_nStyle & TBBS_DISABLED) ::EnableMenuItem(menu, button->m_nID, MF_BYCOMMAND | MF_GRAYED);
  }
  return menu;
}
