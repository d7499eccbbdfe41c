#include "toolkit/bars/TKCustomizeMenuButton.h"

#include "toolkit/bars/BarsText.h"
#include "toolkit/bars/CustomizeButton.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/frames/TKFrameSite.h"

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

void CTKCustomizeMenuButton::ShowOrHide(CTKToolBar* toolbar, CTKToolbarButton* button) {
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
}

CTKToolbarButton* CTKCustomizeMenuButton::MakeOriginal(CTKToolBar* toolbar, int position) {
  POSITION at = position >= 0 ? toolbar->m_OrigButtons.FindIndex(position) : nullptr;
  auto* original = at ? static_cast<CTKToolbarButton*>(toolbar->m_OrigButtons.GetAt(at)) : nullptr;
  if (!original || original->IsSeparator()) return nullptr;
  // The image the resource gave it: a bar of its own images counts them in order.
  int image = CTKToolBar::GetDefaultImage(original->m_nID);
  if (toolbar->IsLocked()) {
    image = 0;
    for (POSITION pos = toolbar->m_OrigButtons.GetHeadPosition(); pos && pos != at;)
      if (!static_cast<CTKToolbarButton*>(toolbar->m_OrigButtons.GetNext(pos))->IsSeparator()) ++image;
  }
  return new CTKToolbarButton(original->m_nID, image, nullptr, FALSE, toolbar->IsLocked());
}

void CTKCustomizeMenuButton::PutBack(CTKToolBar* toolbar) {
  CTKToolbarButton* button = MakeOriginal(toolbar, m_iIndex);
  if (!button) return;
  // The entries of the buttons from a place on stand one place further after an insertion.
  auto shiftFrom = [this](int from) {
    auto* popupBar = dynamic_cast<CTKToolBar*>(m_pWndParent);
    for (int i = 0; popupBar && i < popupBar->GetCount(); ++i) {
      auto* entry = dynamic_cast<CTKCustomizeMenuButton*>(popupBar->GetButton(i));
      if (entry && entry != this && entry->m_bBound && entry->m_iIndex != kResetIndex &&
          entry->m_iIndex >= from)
        ++entry->m_iIndex;
    }
  };
  // At its original place; past the end (or refused there) at the end, before the chevron.
  int end = toolbar->GetCount();
  if (end > 0 && dynamic_cast<CCustomizeButton*>(toolbar->GetButton(end - 1))) --end;
  int at = m_iIndex <= end ? toolbar->InsertButton(button, m_iIndex) : -1;
  if (at < 0 && (at = toolbar->InsertButton(button, end)) < 0) {
    delete button;
    return;
  }
  shiftFrom(at);
  m_iIndex = at;
  // A separator follows it when one followed it in the resource.
  if (m_bAddSeparator)
    if (CTKToolbarButton* next = toolbar->GetButton(at + 1); !next || !next->IsSeparator())
      if (toolbar->InsertSeparator(at + 1) >= 0) shiftFrom(at + 1);
  m_bBound = TRUE;
  m_bChecked = TRUE;
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
  if (!m_bBound) {
    PutBack(toolbar);
  } else {
    CTKToolbarButton* button = toolbar->GetButton(m_iIndex);
    if (!button) return TRUE;
    ShowOrHide(toolbar, button);
  }
  // The menu stays open while the bar lays itself out again.
  CTKPopupMenu* outermost = nullptr;
  if (auto* popupBar = dynamic_cast<CTKPopupMenuBar*>(m_pWndParent)) outermost = popupBar->GetPopup();
  while (outermost && outermost->GetParentPopupMenu()) outermost = outermost->GetParentPopupMenu();
  if (outermost && outermost->m_hWnd) outermost->ShowWindow(SW_HIDE);
  toolbar->AdjustSize();
  // A chevron drawn beyond its rectangle is repainted with all it covers.
  if (CCustomizeButton* chevron = toolbar->GetCustomizeButton();
      chevron && chevron->m_bExtraSize && (chevron->m_sizeExtra.cx || chevron->m_sizeExtra.cy)) {
    CRect area = chevron->m_rect;
    area.InflateRect(10, 10);
    ::InvalidateRect(toolbar->m_hWnd, &area, TRUE);
    area.InflateRect(chevron->m_sizeExtra.cx, chevron->m_sizeExtra.cy);
    ::RedrawWindow(toolbar->m_hWnd, &area, nullptr, RDW_INVALIDATE | RDW_FRAME);
  }
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
  // An entry carries the disabled bit so that its clicks come to it (the menu stays open).
  auto addEntry = [popupBar](CTKCustomizeMenuButton* entry, int image) {
    entry->m_nStyle |= TBBS_DISABLED;
    if (popupBar->InsertButton(entry) < 0)
      delete entry;
    else
      entry->m_bImage = image >= 0;
  };
  for (int i = 0; i < toolbar->GetCount(); ++i) {
    CTKToolbarButton* button = toolbar->GetButton(i);
    if (button->IsSeparator() || dynamic_cast<CCustomizeButton*>(button)) continue;
    CString text = button->m_strText.IsEmpty() ? CommandShortName(button->m_nID) : button->m_strText;
    const int image = toolbar->IsLocked() ? -1 : button->GetImage();
    auto* entry = new CTKCustomizeMenuButton(button->m_nID, nullptr, image, text, button->m_bUserImage);
    entry->SetItem(i, TRUE, FALSE);
    addEntry(entry, image);
  }
  // The buttons the resource gave the toolbar that are no longer on it, to put back.
  int position = 0;
  for (POSITION pos = toolbar->m_OrigButtons.GetHeadPosition(); pos; ++position) {
    auto* original = static_cast<CTKToolbarButton*>(toolbar->m_OrigButtons.GetNext(pos));
    if (original->IsSeparator() || original->m_nID == 0 || toolbar->CommandToIndex(original->m_nID) >= 0)
      continue;
    CTKToolbarButton* made = MakeOriginal(toolbar, position);
    if (!made) continue;
    const int image = made->GetImage();
    delete made;
    auto* entry =
        new CTKCustomizeMenuButton(original->m_nID, nullptr, image, CommandShortName(original->m_nID));
    const BOOL separatorFollows =
        pos && static_cast<CTKToolbarButton*>(toolbar->m_OrigButtons.GetAt(pos))->IsSeparator();
    entry->SetItem(position, FALSE, separatorFollows);
    addEntry(entry, image);
  }
  // The frame may add entries of its own.
  if (auto* frame = CTKFrameSite::Of(CTKPopupMenu::FrameOf(popupBar)))
    frame->OnFillCustomizeList(CWnd::FromHandlePermanent(::GetParent(popupBar->m_hWnd)), toolbar);
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
