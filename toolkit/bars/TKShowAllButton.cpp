#include "toolkit/bars/TKShowAllButton.h"

#include "toolkit/bars/BarsText.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKPopupMenuBar.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKVisualManager.h"

IMPLEMENT_DYNCREATE(CTKShowAllButton, CTKToolbarMenuButton)

CTKShowAllButton::CTKShowAllButton() {
  ACCEL expand{};
  expand.fVirt = FVIRTKEY | FCONTROL;
  expand.key = VK_DOWN;
  m_strTooltip.Format(bars_text::kExpandMenu,
                      static_cast<const char*>(CTKKeyboardManager::ShortcutText(expand)));
}

SIZE CTKShowAllButton::OnCalculateSize(CDC*, const SIZE&, BOOL) {
  return SIZE{50, CTKVisualManager::GetInstance()->GetShowAllButtonHeight(m_bar)};
}

void CTKShowAllButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList*, BOOL, BOOL, BOOL highlighted,
                              BOOL, BOOL) {
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  DrawButtonFrame(dc, rect, highlighted);
  CRect glyph = rect;
  glyph.DeflateRect(1, 1);
  look->PaintShowAllButton(dc, glyph);
  const BOOL pushed = (m_nStyle & TBBS_PRESSED) != 0;
  if (pushed)
    look->PaintButtonEdge(dc, this, rect, 1);
  else if (highlighted)
    look->PaintButtonEdge(dc, this, rect, 2);
}

BOOL CTKShowAllButton::OnClick(CWnd*, BOOL delay) {
  auto* popupBar = dynamic_cast<CTKPopupMenuBar*>(m_bar);
  if (!popupBar) return FALSE;
  if (delay) {
    // Resting on the entry expands the menu only when the user asked for that, and
    // after twice the menu delay.
    if (CTKToolBar::s_bShowAllMenusAfterDelay) popupBar->StartPopupTimer(this, 2);
    return TRUE;
  }
  CTKPopupMenu* popup = popupBar->GetPopup();
  if (!popup) return FALSE;
  // The release of this press lands on whatever item comes to lie under the
  // pointer: it must not choose that item.
  if (::GetKeyState(VK_LBUTTON) < 0) popupBar->m_bTrackPress = FALSE;
  // The expansion rebuilds the menu's items, this one included.
  popup->ShowAllCommands();
  return TRUE;
}
