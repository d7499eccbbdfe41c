// The toolbar's chevron: made on request, kept last in the list, and given the
// buttons that the bar's window is too short for.
#include "toolkit/bars/CustomizeButton.h"
#include "toolkit/bars/TKToolBar.h"

BOOL CTKToolBar::EnableCustomizeButton(BOOL enable, int customizeCommand, const char* customizeText,
                                       BOOL addRemoveMenu) {
  if (!enable) {
    m_bHasCustomizeButton = FALSE;
    const int index = ButtonToIndex(m_pCustomizeBtn);
    if (index >= 0) RemoveButton(index);
    m_pCustomizeBtn = nullptr;
    AdjustLayout();
    return TRUE;
  }
  m_bHasCustomizeButton = TRUE;
  m_nCustomizeCmd = customizeCommand;
  m_strCustomizeText = customizeText ? customizeText : "";
  m_bAddRemoveMenu = addRemoveMenu;
  if (ButtonToIndex(m_pCustomizeBtn) < 0) {
    m_pCustomizeBtn = new CCustomizeButton(customizeCommand, customizeText);
    if (InsertButton(m_pCustomizeBtn) < 0) {
      delete m_pCustomizeBtn;
      m_pCustomizeBtn = nullptr;
      m_bHasCustomizeButton = FALSE;
      return FALSE;
    }
  } else {
    m_pCustomizeBtn->m_iCustomizeCmdId = customizeCommand;
    m_pCustomizeBtn->m_strCustomizeText = m_strCustomizeText;
  }
  AdjustLayout();
  return TRUE;
}

void CTKToolBar::PlaceCustomizeButton() {
  if (!m_bHasCustomizeButton || !m_hWnd) return;
  POSITION at = m_pCustomizeBtn ? m_Buttons.Find(m_pCustomizeBtn) : nullptr;
  if (!at) {
    // A reload of the bar's buttons took the chevron with the rest.
    m_pCustomizeBtn = new CCustomizeButton(m_nCustomizeCmd, m_strCustomizeText);
    m_Buttons.AddTail(m_pCustomizeBtn);
    m_pCustomizeBtn->OnChangeParentWnd(this);
  } else if (at != m_Buttons.GetTailPosition()) {
    m_Buttons.RemoveAt(at);
    m_Buttons.AddTail(m_pCustomizeBtn);
  }
  CCustomizeButton* chevron = m_pCustomizeBtn;
  chevron->GetInvisibleButtons().RemoveAll();
  if (IsFloating()) {
    chevron->m_bHidden = TRUE;
    chevron->m_rect.SetRectEmpty();
    return;
  }
  const BOOL horizontal = IsHorizontal();
  CRect client;
  GetClientRect(&client);
  CClientDC dc(this);
  const SIZE size = chevron->OnCalculateSize(&dc, SIZE{GetColumnWidth(), GetRowHeight()}, horizontal);
  const int end = horizontal ? client.right : client.bottom;
  const int limit = end - (horizontal ? size.cx : size.cy);
  BOOL overflow = FALSE;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button == chevron || button->m_bHidden || !button->IsVisible()) continue;
    if ((horizontal ? button->m_rect.right : button->m_rect.bottom) > end) overflow = TRUE;
  }
  int last = horizontal ? client.left + 1 : client.top + 1;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button == chevron || !button->IsVisible()) continue;
    const int reach = horizontal ? button->m_rect.right : button->m_rect.bottom;
    if (overflow && (reach > limit || (button->m_bHidden && !chevron->GetInvisibleButtons().IsEmpty()))) {
      chevron->GetInvisibleButtons().AddTail(button);
      if (!button->m_bHidden) {
        button->m_bHidden = TRUE;
        button->OnShow(FALSE);
      }
      button->m_rect.SetRectEmpty();
      continue;
    }
    if (!button->m_bHidden) last = std::max(last, reach);
  }
  const int start = overflow ? limit : last;
  chevron->m_bHidden = FALSE;
  const int rowHeight = horizontal ? size.cy : size.cx;
  chevron->m_rect = horizontal ? CRect(start, client.top, start + size.cx, client.top + rowHeight)
                               : CRect(client.left, start, client.left + rowHeight, start + size.cy);
}
