#include "toolkit/bars/TKDropDownToolBar.h"

#include "toolkit/bars/TKDropDownFrame.h"
#include "toolkit/bars/TKDropDownToolbarButton.h"

BEGIN_MESSAGE_MAP(CTKDropDownToolBar, CTKToolBar)
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CWnd* CTKDropDownToolBar::GetCommandTarget() const {
  CTKDropDownToolbarButton* parent = m_pDropDownFrame ? m_pDropDownFrame->GetParentButton() : nullptr;
  if (auto* bar = parent ? dynamic_cast<CTKToolBar*>(parent->m_bar) : nullptr) return bar->GetCommandTarget();
  return CTKToolBar::GetCommandTarget();
}

void CTKDropDownToolBar::OnLButtonUp(UINT flags, CPoint point) {
  CTKToolbarButton* button = GetButton(HitTest(point));
  CTKDropDownToolbarButton* parent = m_pDropDownFrame ? m_pDropDownFrame->GetParentButton() : nullptr;
  const BOOL chosen = parent && !IsCustomizeMode() && button && m_iButtonCapture >= 0 &&
                      GetButton(m_iButtonCapture) == button && !button->IsSeparator() &&
                      !(button->m_nStyle & TBBS_DISABLED) && button->m_nID != 0 && button->m_nID != (UINT)-1;
  if (!chosen) {
    CTKToolBar::OnLButtonUp(flags, point);
    return;
  }
  const UINT command = button->m_nID;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  m_iButtonCapture = m_iHighlighted = -1;
  parent->SetDefaultCommand(command);
  auto* bar = dynamic_cast<CTKToolBar*>(parent->m_bar);
  CWnd* target = bar ? bar->GetCommandTarget() : nullptr;
  HWND targetHwnd = target ? target->m_hWnd : ::GetParent(m_hWnd);
  // The frame goes once this handler has returned (it holds this bar); it vanishes
  // from the screen at once.
  m_pDropDownFrame->ShowWindow(SW_HIDE);
  m_pDropDownFrame->PostMessage(WM_CLOSE);
  if (targetHwnd) ::PostMessageA(targetHwnd, WM_COMMAND, command, 0);
}
