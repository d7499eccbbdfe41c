#include "toolkit/bars/CustomizeButton.h"

#include "toolkit/bars/BarsText.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TKVisualManager.h"

IMPLEMENT_SERIAL(CCustomizeButton, CTKToolbarMenuButton, 0x80000001)

namespace {

// The short name of a command: its string resource after the newline.
CString CommandShortName(UINT command) {
  char buffer[256] = "";
  if (command == 0 || command == (UINT)-1 ||
      !::LoadStringA(::GetModuleHandleA(nullptr), command, buffer, 256))
    return CString();
  const char* newline = strchr(buffer, '\n');
  return CString(newline ? newline + 1 : "");
}

}  // namespace

CCustomizeButton::CCustomizeButton() = default;

CCustomizeButton::CCustomizeButton(int customizeCommand, const char* customizeText) {
  m_iCustomizeCmdId = customizeCommand;
  m_strCustomizeText = customizeText ? customizeText : "";
}

CCustomizeButton::~CCustomizeButton() = default;

void CCustomizeButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarMenuButton::CopyFrom(source);
  const auto* chevron = dynamic_cast<const CCustomizeButton*>(&source);
  if (!chevron) return;
  m_iCustomizeCmdId = chevron->m_iCustomizeCmdId;
  m_strCustomizeText = chevron->m_strCustomizeText;
  m_bIsEmpty = chevron->m_bIsEmpty;
  m_bExtraSize = chevron->m_bExtraSize;
  m_bDefaultAlignment = chevron->m_bDefaultAlignment;
}

void CCustomizeButton::OnChangeParentWnd(CWnd* parent) {
  CTKToolbarButton::OnChangeParentWnd(parent);
  m_pWndParentToolbar = dynamic_cast<CTKToolBar*>(parent);
  m_pWndParent = parent;
  m_bText = FALSE;
  m_bIsEmpty = FALSE;
}

SIZE CCustomizeButton::OnCalculateSize(CDC*, const SIZE& defaultSize, BOOL horizontal) {
  m_bHorz = horizontal;
  if (m_strText.IsEmpty() && !m_strText.LoadString(16026)) m_strText = bars_text::kMoreButtons;
  if (m_bIsEmpty || (m_pWndParentToolbar && m_pWndParentToolbar->IsFloating())) return SIZE{0, 0};
  const SIZE glyph = MenuImages::Size();
  const int margin = CTKVisualManager::GetInstance()->GetCustomizeButtonMargin();
  if (horizontal) return SIZE{glyph.cx + 2 * margin, defaultSize.cy};
  return SIZE{defaultSize.cx, glyph.cy + 2 * margin};
}

void CCustomizeButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList*, BOOL horizontal,
                              BOOL customizeMode, BOOL highlighted, BOOL, BOOL) {
  if (m_bMenuPaletteMode || rect.IsRectEmpty()) return;
  m_bMenuGlyph = TRUE;
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  const BOOL open = IsDroppedDown();
  DrawButtonFrame(dc, rect, highlighted || open);
  const SIZE glyph = MenuImages::Size();
  const int margin = look->GetCustomizeButtonMargin();
  const int depth = (horizontal ? glyph.cy : glyph.cx) + 2 * margin;
  const BOOL pushed = (open || (m_nStyle & TBBS_PRESSED)) && look->IsPressedButtonShifted();
  const int shift = pushed ? 1 : 0;
  auto centred = [&](int id, const CRect& cell) {
    MenuImages::Draw(dc, id,
                     POINT{cell.left + (cell.Width() - glyph.cx) / 2 + shift,
                           cell.top + (cell.Height() - glyph.cy) / 2 + shift});
  };
  if (m_iCustomizeCmdId > 0) {
    CRect cell = rect;
    if (horizontal)
      cell.top = cell.bottom - depth;
    else
      cell.right = cell.left + depth;
    centred(horizontal ? MenuImages::kArrowDown : MenuImages::kArrowRight, cell);
  }
  if (!m_lstInvisibleButtons.IsEmpty()) {
    CRect cell = rect;
    if (horizontal)
      cell.bottom = cell.top + depth;
    else
      cell.left = cell.right - depth;
    centred(horizontal ? MenuImages::kChevronsRight : MenuImages::kChevronsDown, cell);
  }
  if (!customizeMode) {
    if (open || (m_nStyle & TBBS_PRESSED))
      look->PaintButtonEdge(dc, this, rect, 1);
    else if (highlighted)
      look->PaintButtonEdge(dc, this, rect, 2);
  }
}

void CCustomizeButton::OnCancelMode() {
  CTKToolbarMenuButton::OnCancelMode();
  if (m_pWndParentToolbar && m_pWndParentToolbar->m_hWnd && (m_sizeExtra.cx || m_sizeExtra.cy))
    ::RedrawWindow(m_pWndParentToolbar->m_hWnd, &m_rect, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

CTKPopupMenu* CCustomizeButton::CreatePopupMenu() {
  if (CTKToolBar::IsCustomizeMode()) return nullptr;
  CTKToolBar* toolbar = m_pWndParentToolbar;
  auto* popup = new CTKPopupMenu;
  if (toolbar && toolbar->IsLocked()) popup->m_pImagesSource = toolbar;
  const BOOL rightToLeft =
      toolbar && toolbar->m_hWnd && (::GetWindowLongA(toolbar->m_hWnd, GWL_EXSTYLE) & 0x400000);
  popup->SetRightAlign(m_bDefaultAlignment && !rightToLeft && FALSE);
  m_popupSources.RemoveAll();
  // Separators at the start, doubled and at the end are dropped; every entry keeps
  // the button it stands for.
  BOOL pendingSeparator = FALSE;
  for (POSITION pos = m_lstInvisibleButtons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_lstInvisibleButtons.GetNext(pos));
    if (button->IsSeparator()) {
      pendingSeparator = popup->GetMenuItemCount() > 0;
      continue;
    }
    if (button->m_nID == 0) continue;
    if (pendingSeparator) {
      popup->InsertSeparator();
      m_popupSources.Add(nullptr);
      pendingSeparator = FALSE;
    }
    CTKToolbarMenuButton entry;
    if (auto* menuButton = dynamic_cast<CTKToolbarMenuButton*>(button)) {
      entry.CopyFrom(*menuButton);
    } else {
      const int image = !toolbar || toolbar->IsLocked() ? -1 : button->GetImage();
      entry.m_nID = button->m_nID;
      entry.m_bUserImage = button->m_bUserImage;
      entry.SetImage(image);
      entry.m_strText = button->m_strText;
    }
    if (entry.m_strText.IsEmpty()) entry.m_strText = CommandShortName(button->m_nID);
    entry.m_bText = TRUE;
    if (popup->InsertItem(entry)) {
      CTKToolbarMenuButton* inserted = popup->GetMenuItem(popup->GetMenuItemCount() - 1);
      if (inserted) inserted->m_bImage = inserted->GetImage() >= 0;
      m_popupSources.Add(button);
    }
  }
  if (m_iCustomizeCmdId > 0) {
    if (popup->GetMenuItemCount() > 0) {
      popup->InsertSeparator();
      m_popupSources.Add(nullptr);
    }
    CTKToolbarMenuButton customize(static_cast<UINT>(m_iCustomizeCmdId), nullptr, -1, m_strCustomizeText);
    if (!toolbar || !toolbar->m_bAddRemoveMenu) {
      popup->InsertItem(customize);
      m_popupSources.Add(nullptr);
    } else {
      // One entry per toolbar (this one, or each of its side that offers the menu),
      // each holding the marker its buttons are listed from when it opens.
      CTKToolbarMenuButton addRemove((UINT)-1, nullptr, -1, nullptr);
      CString addRemoveText;
      if (!addRemoveText.LoadString(17021)) addRemoveText = bars_text::kAddOrRemoveButtons;
      addRemove.m_strText = addRemoveText;
      CList<CTKToolBar*, CTKToolBar*> bars;
      // Docked, the bars of the same dock bar that offer the menu.
      if (toolbar->m_pDockBar && toolbar->m_hWnd && !toolbar->IsFloating()) {
        for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos;) {
          CTKToolBar* other = CTKToolBar::GetAllToolbars().GetNext(pos);
          if (other->m_hWnd && other->m_bAddRemoveMenu && other->LookKind() == CTKBaseControlBar::kToolBar &&
              other->m_pDockBar == toolbar->m_pDockBar && ::IsWindowVisible(other->m_hWnd))
            bars.AddTail(other);
        }
      } else {
        bars.AddTail(toolbar);
      }
      for (POSITION pos = bars.GetHeadPosition(); pos;) {
        CTKToolBar* bar = bars.GetNext(pos);
        CString name;
        if (bar->m_hWnd) bar->GetWindowText(name);
        if (name.IsEmpty() && !name.LoadString(16104)) name = bars_text::kUntitled;
        auto* barEntry = new CTKToolbarMenuButton((UINT)-1, nullptr, -1, name);
        CString marker;
        marker.Format("%d", bar->m_hWnd ? bar->GetDlgCtrlID() : 0);
        barEntry->GetCommands().AddTail(new CTKToolbarMenuButton(1, nullptr, -1, marker));
        addRemove.GetCommands().AddTail(barEntry);
      }
      addRemove.GetCommands().AddTail(
          new CTKToolbarMenuButton(static_cast<UINT>(m_iCustomizeCmdId), nullptr, -1, m_strCustomizeText));
      popup->InsertItem(addRemove);
      m_popupSources.Add(nullptr);
      popup->m_bHasAddRemoveMenu = TRUE;
    }
  }
  CWnd* owner = toolbar ? toolbar->GetCommandTarget() : nullptr;
  m_pWndMessage = owner;
  return popup;
}

BOOL CCustomizeButton::OnItemChosen(CTKToolBar* popupBar, CTKToolbarButton* item) {
  CTKPopupMenu* own = GetPopupMenu();
  if (!popupBar || !own || popupBar != own->GetMenuBar()) return FALSE;
  const int index = popupBar->ButtonToIndex(item);
  if (index < 0) return TRUE;
  CTKToolbarButton* source = index < m_popupSources.GetSize() ? m_popupSources[index] : nullptr;
  if (!source) return FALSE;
  CTKToolBar* toolbar = m_pWndParentToolbar;
  if (!toolbar || toolbar->ButtonToIndex(source) < 0) return TRUE;
  const UINT command = source->m_nID;
  if (command == 0 || command == (UINT)-1) return TRUE;
  if (g_pCommandUsageCounter) g_pCommandUsageCounter->CountUse(command);
  if (source->OnClickUp() || (g_pUserToolsManager && g_pUserToolsManager->RunToolCommand(command)))
    return TRUE;
  CWnd* owner = toolbar->GetCommandTarget();
  if (!owner && toolbar->m_hWnd) owner = CWnd::FromHandle(::GetParent(toolbar->m_hWnd));
  if (owner && owner->m_hWnd) owner->PostMessage(WM_COMMAND, command);
  return TRUE;
}
