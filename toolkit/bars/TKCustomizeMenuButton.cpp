#include "toolkit/bars/TKCustomizeMenuButton.h"

#include "toolkit/bars/BarsText.h"
#include "toolkit/bars/CustomizeButton.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolBar.h"

IMPLEMENT_SERIAL(CTKCustomizeMenuButton, CTKToolbarMenuButton, 0x80000001)

CTKToolBar* CTKCustomizeMenuButton::s_pCurrentToolbar = nullptr;

namespace {

CString CommandShortName(UINT command) {
  char buffer[256] = "";
  if (command == 0 || command == (UINT)-1 ||
      !::LoadStringA(::GetModuleHandleA(nullptr), command, buffer, 256))
    return CString();
  const char* newline = strchr(buffer, '\n');
  return CString(newline ? newline + 1 : "");
}

}  // namespace

CTKCustomizeMenuButton::CTKCustomizeMenuButton() = default;

CTKCustomizeMenuButton::CTKCustomizeMenuButton(UINT command, HMENU menu, int image, const char* text,
                                               BOOL userImage)
    : CTKToolbarMenuButton(command, menu, image, text, userImage) {}

void CTKCustomizeMenuButton::SetItem(int index, BOOL bound, BOOL addSeparator) {
  m_iIndex = index;
  m_bBound = bound;
  m_bAddSeparator = addSeparator;
  CTKToolbarButton* button = s_pCurrentToolbar ? s_pCurrentToolbar->GetButton(index) : nullptr;
  m_bChecked = index != kResetIndex && !m_bFrozen && bound && button && button->IsVisible();
}

void CTKCustomizeMenuButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarMenuButton::CopyFrom(source);
  const auto* entry = dynamic_cast<const CTKCustomizeMenuButton*>(&source);
  if (!entry) return;
  m_iIndex = entry->m_iIndex;
  m_bChecked = entry->m_bChecked;
  m_bFrozen = entry->m_bFrozen;
  m_bBound = entry->m_bBound;
  m_bAddSeparator = entry->m_bAddSeparator;
  m_bEnabled = entry->m_bEnabled;
  m_bReserved = entry->m_bReserved;
}

void CTKCustomizeMenuButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal,
                                    BOOL customizeMode, BOOL highlighted, BOOL drawBorder,
                                    BOOL grayDisabledButtons) {
  // The entry carries the disabled bit only so that its clicks come here; it is drawn
  // enabled, with a check while its button shows.
  const UINT saved = m_nStyle;
  m_nStyle &= ~(TBBS_DISABLED | TBBS_CHECKED);
  if (m_bChecked && !m_bFrozen) m_nStyle |= TBBS_CHECKED;
  CTKToolbarMenuButton::OnDraw(dc, rect, images, horizontal, customizeMode, highlighted, drawBorder,
                               grayDisabledButtons);
  m_nStyle = saved;
}

BOOL CTKCustomizeMenuButton::OnClickMenuItem() {
  if (m_bFrozen || !m_bEnabled) return TRUE;
  CTKToolBar* toolbar = s_pCurrentToolbar;
  if (!toolbar || !::IsWindow(toolbar->m_hWnd)) return TRUE;
  if (auto* popupBar = dynamic_cast<CTKToolBar*>(m_pWndParent); popupBar && popupBar->m_hWnd) {
    popupBar->m_iHighlighted = popupBar->ButtonToIndex(this);
    ::InvalidateRect(popupBar->m_hWnd, &m_rect, TRUE);
  }
  if (m_iIndex == kResetIndex) {
    toolbar->PostMessage(CTKToolBar::s_resetPromptMessage, 0, 0);
    return TRUE;
  }
  if (!m_bBound) return TRUE;
  CTKToolbarButton* button = toolbar->GetButton(m_iIndex);
  if (!button) return TRUE;
  const BOOL visible = !button->IsVisible();
  button->SetVisible(visible);
  m_bChecked = visible;
  // A separator right after the button follows it.
  if (CTKToolbarButton* next = toolbar->GetButton(m_iIndex + 1); next && next->IsSeparator())
    next->SetVisible(visible);
  if (m_iIndex - 1 >= 1) {
    CTKToolbarButton* before = toolbar->GetButton(m_iIndex - 1);
    if (before && before->IsSeparator()) {
      if (!visible) {
        // The last visible button before the chevron takes its separator along.
        BOOL more = FALSE;
        for (int i = m_iIndex + 1; i < toolbar->GetCount() && !more; ++i) {
          CTKToolbarButton* later = toolbar->GetButton(i);
          more = later->IsVisible() && !later->IsSeparator() && !dynamic_cast<CCustomizeButton*>(later);
        }
        if (!more) before->SetVisible(FALSE);
      } else if (CTKToolbarButton* previous = toolbar->GetButton(m_iIndex - 2);
                 previous && previous->IsVisible()) {
        before->SetVisible(TRUE);
      }
    }
  }
  // The menu stays open while the bar lays itself out again.
  CTKPopupMenu* outermost = nullptr;
  if (auto* popupBar = dynamic_cast<CTKPopupMenuBar*>(m_pWndParent)) outermost = popupBar->GetPopup();
  while (outermost && outermost->GetParentPopupMenu()) outermost = outermost->GetParentPopupMenu();
  if (outermost && outermost->m_hWnd) outermost->ShowWindow(SW_HIDE);
  toolbar->AdjustSize();
  toolbar->Invalidate();
  if (outermost && outermost->m_hWnd)
    ::SetWindowPos(outermost->m_hWnd, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return TRUE;
}

BOOL CTKCustomizeMenuButton::ExpandMarker(CTKToolBar* popupBar) {
  if (!popupBar || popupBar->GetCount() != 1) return FALSE;
  CTKToolbarButton* marker = popupBar->GetButton(0);
  if (!marker || marker->m_nID != 1 || marker->m_strText.IsEmpty()) return FALSE;
  const int id = atoi(marker->m_strText);
  CTKToolBar* toolbar = nullptr;
  for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos;) {
    CTKToolBar* bar = CTKToolBar::GetAllToolbars().GetNext(pos);
    if (bar->m_hWnd && bar->GetDlgCtrlID() == id && bar->LookKind() == CTKBaseControlBar::kToolBar &&
        (!toolbar || bar->m_pCustomizeBtn))
      toolbar = bar;
  }
  if (!toolbar) return FALSE;
  s_pCurrentToolbar = toolbar;
  popupBar->RemoveAllButtons();
  for (int i = 0; i < toolbar->GetCount(); ++i) {
    CTKToolbarButton* button = toolbar->GetButton(i);
    if (button->IsSeparator() || dynamic_cast<CCustomizeButton*>(button)) continue;
    CString text = button->m_strText.IsEmpty() ? CommandShortName(button->m_nID) : button->m_strText;
    const int image = toolbar->IsLocked() ? -1 : button->GetImage();
    auto* entry = new CTKCustomizeMenuButton(button->m_nID, nullptr, image, text, button->m_bUserImage);
    entry->SetItem(i, TRUE, FALSE);
    entry->m_nStyle |= TBBS_DISABLED;
    if (popupBar->InsertButton(entry) < 0) {
      delete entry;
      continue;
    }
    entry->m_bImage = image >= 0;
  }
  auto* separator = new CTKCustomizeMenuButton;
  separator->m_nStyle = TBBS_SEPARATOR;
  if (popupBar->InsertButton(separator) < 0) delete separator;
  CString resetText;
  if (!resetText.LoadString(16245)) resetText = bars_text::kResetToolbar;
  auto* reset = new CTKCustomizeMenuButton(kResetCommand, nullptr, -1, resetText);
  reset->SetItem(kResetIndex, TRUE, FALSE);
  reset->m_nStyle |= TBBS_DISABLED;
  if (popupBar->InsertButton(reset) < 0) delete reset;
  return TRUE;
}
