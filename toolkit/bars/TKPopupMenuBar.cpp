#include "toolkit/bars/TKPopupMenuBar.h"

#include "toolkit/bars/TKCustomizeMenuButton.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKShowAllButton.h"
#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MeasuringDC.h"
#include "toolkit/frames/MenuSound.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TearOffManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

int CTKPopupMenuBar::s_menuShowDelay = -1;
int CTKPopupMenuBar::s_lastChosen = -1;

namespace {

constexpr UINT kOpenTimer = 1;
constexpr UINT kCloseTimer = 2;
constexpr UINT kColumnBreak = 0x20000000;
constexpr int kSeparatorHeight = 8;
constexpr UINT kSetMessageString = 0x362;
constexpr UINT kIdlePrompt = 0xE001;

CString MenuItemText(HMENU menu, int position) {
  const int length = ::GetMenuStringA(menu, position, nullptr, 0, MF_BYPOSITION);
  if (length <= 0) return CString();
  std::string buffer(static_cast<size_t>(length) * 2 + 2, '\0');
  ::GetMenuStringA(menu, position, buffer.data(), length * 2 + 1, MF_BYPOSITION);
  return CString(buffer.c_str());
}

// The upper-case access key of a text ('&' followed by a character), 0 for none.
UINT AccessKeyOf(const CString& text) {
  for (int i = 0; i + 1 < text.GetLength(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    char key[2] = {text[i + 1], 0};
    ::CharUpperA(key);
    return static_cast<unsigned char>(key[0]);
  }
  return 0;
}

CTKToolbarMenuButton* AsMenuButton(CTKToolbarButton* button) {
  return dynamic_cast<CTKToolbarMenuButton*>(button);
}

BOOL HasSubMenu(const CTKToolbarMenuButton* button) {
  return button && (button->m_nID == (UINT)-1 || (button->m_bMenuMode && !button->GetCommands().IsEmpty()));
}

}  // namespace

int CTKPopupMenuBar::ReadMenuShowDelay() {
  int delay = 500;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    char value[32] = "";
    DWORD size = sizeof value - 1, type = 0;
    if (::RegQueryValueExA(key, "MenuShowDelay", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ)
      delay = static_cast<int>(atol(value));
    ::RegCloseKey(key);
  }
  if (static_cast<unsigned>(delay) > 5000u) delay = 5000;
  return delay;
}

UINT CTKPopupMenuBar::CloseDelay() {
  // A delay of 0 still closes the previous sub-menu a moment later, never "at -1 ms".
  return s_menuShowDelay > 1 ? static_cast<UINT>(s_menuShowDelay - 1) : 1u;
}

CTKPopupMenuBar::CTKPopupMenuBar() {
  m_bMenuMode = TRUE;
  m_HiddenItemsAccel.InitHashTable(17);
}

CTKPopupMenuBar::~CTKPopupMenuBar() = default;

BEGIN_MESSAGE_MAP(CTKPopupMenuBar, CTKToolBar)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_TIMER()
  ON_WM_NCPAINT()
  ON_WM_NCCALCSIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDBLCLK()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_COMMAND(ID_TKTOOLBAR_TEXT, OnToolbarText)
  ON_COMMAND(ID_TKTOOLBAR_IMAGE_AND_TEXT, OnToolbarImageAndText)
END_MESSAGE_MAP()

LRESULT CTKPopupMenuBar::OnIdleUpdateCmdUI(WPARAM disableIfNoHandler, LPARAM) {
  // A menu whose choice the context menus collect has no command handlers to ask.
  if (m_bTrackMode || !m_hWnd || !IsWindowVisible()) return 0;
  HWND parent = ::GetParent(m_hWnd);
  if (parent && !::IsWindowVisible(parent)) return 0;
  OnUpdateCmdUI(nullptr, static_cast<BOOL>(disableIfNoHandler));
  return 0;
}

int CTKPopupMenuBar::OnCreate(LPCREATESTRUCT cs) {
  if (CTKToolBar::OnCreate(cs) == -1) return -1;
  if (s_menuShowDelay == -1) s_menuShowDelay = ReadMenuShowDelay();
  return 0;
}

void CTKPopupMenuBar::OnDestroy() {
  StopMenuTimer(kOpenTimer);
  StopMenuTimer(kCloseTimer);
  m_pDelayedPopupMenuButton = m_pDelayedClosePopupMenuButton = nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    CTKToolbarMenuButton* button = AsMenuButton(GetButton(i));
    CTKPopupMenu* popup = button ? button->GetPopupMenu() : nullptr;
    if (popup && popup->m_hWnd) {
      popup->m_bAutoDestroyParent = FALSE;
      popup->DestroyWindow();
    }
  }
  CTKToolBar::OnDestroy();
}

void CTKPopupMenuBar::SetButtonStyle(int index, UINT style) {
  // The add-or-remove entries keep the bit that brings their clicks to them, whatever
  // their command's update handler says.
  if (dynamic_cast<CTKCustomizeMenuButton*>(GetButton(index))) style |= TBBS_DISABLED;
  CTKToolBar::SetButtonStyle(index, style);
}

CTKPopupMenu* CTKPopupMenuBar::GetPopup() const {
  if (!m_hWnd) return nullptr;
  return dynamic_cast<CTKPopupMenu*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

CWnd* CTKPopupMenuBar::GetCommandTarget() const {
  CTKPopupMenu* popup = GetPopup();
  if (popup && popup->GetMessageWnd()) return popup->GetMessageWnd();
  return CTKPopupMenu::FrameOf(const_cast<CTKPopupMenuBar*>(this));
}

BOOL CTKPopupMenuBar::ImportFromMenu(HMENU menu, BOOL showAllCommands) {
  RemoveAllButtons();
  m_bAreAllCommandsShown = TRUE;
  m_HiddenItemsAccel.RemoveAll();
  if (!menu || !::IsMenu(menu)) return FALSE;
  // The window that gets the menu notifications may update the items first.
  CWnd* notified = nullptr;
  if (CTKPopupMenu* popup = GetPopup()) notified = popup->GetMessageWnd();
  if (!notified) notified = CTKPopupMenu::FrameOf(this);
  if (notified && notified->m_hWnd)
    notified->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(m_iOffset, 0));
  const int count = ::GetMenuItemCount(menu);
  BOOL previousSeparator = TRUE;
  for (int i = 0; i < count; ++i) {
    CString text = MenuItemText(menu, i);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    if (!::GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
    const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
    if (info.fType & MFT_SEPARATOR) {
      // Leading, doubled and trailing separators are dropped.
      if (!previousSeparator && i != count - 1) {
        auto* separator = new CTKToolbarMenuButton;
        separator->m_nStyle = TBBS_SEPARATOR;
        if (InsertButton(separator) < 0) delete separator;
        previousSeparator = TRUE;
      }
      continue;
    }
    const UINT id = info.hSubMenu ? (UINT)-1 : info.wID;
    UINT tearOff = 0;
    if (info.hSubMenu && g_pTearOffManager) tearOff = TearOffManager::ReadIdFromText(text);
    if (!m_bTrackMode && !showAllCommands && !CTKMenuBar::IsShowAllCommands() && s_bRecentlyUsedMenus &&
        g_pCommandUsageCounter && g_pCommandUsageCounter->HasEnoughData() && IsCommandRarelyUsed(id)) {
      if (s_forbiddenCommands.Find(id)) continue;
      m_bAreAllCommandsShown = FALSE;
      if (const UINT key = AccessKeyOf(text)) m_HiddenItemsAccel.SetAt(key, id);
      continue;
    }
    auto* button = new CTKToolbarMenuButton(id, info.hSubMenu, -1, text, FALSE);
    button->m_bText = TRUE;
    button->m_bImage = FALSE;
    if (CTKToolBar::GetDefaultImage(id) < 0) {
      button->m_bUserImage = TRUE;
      button->SetImage(GetCommandManager()->FindImageOf(id, TRUE));
    } else {
      button->SetImage(CTKToolBar::GetDefaultImage(id));
    }
    if (InsertButton(button) < 0) {
      delete button;
      continue;
    }
    button->m_bImage = button->GetImage() >= 0;
    const BOOL toolCommand = g_pUserToolsManager && g_pUserToolsManager->LookupTool(id) != nullptr;
    if ((state & (MF_GRAYED | MF_DISABLED)) && !toolCommand) button->m_nStyle |= TBBS_DISABLED;
    if (tearOff) button->SetTearOff(tearOff);
    if (state & MF_CHECKED) button->m_nStyle |= TBBS_CHECKED;
    if (info.fType & MFT_MENUBREAK) button->m_nStyle |= kColumnBreak;
    previousSeparator = FALSE;
  }
  // Items hidden at the end may leave a separator last.
  while (GetCount() > 0 && GetButton(GetCount() - 1)->IsSeparator()) RemoveButton(GetCount() - 1);
  // A short menu ends in the entry that brings up the rest.
  if (!m_bAreAllCommandsShown) {
    auto* showAll = new CTKShowAllButton;
    if (InsertButton(showAll) < 0) delete showAll;
  }
  m_uiDefaultMenuCmdId = ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED);
  if (m_uiDefaultMenuCmdId != (UINT)-1) {
    for (int i = 0; i < GetCount(); ++i)
      if (auto* item = AsMenuButton(GetButton(i))) item->m_bDefault = item->m_nID == m_uiDefaultMenuCmdId;
  }
  return TRUE;
}

HMENU CTKPopupMenuBar::ExportToMenu() const {
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    CTKToolbarButton* button = GetButton(i);
    if (button->IsSeparator()) {
      ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    auto* item = dynamic_cast<CTKToolbarMenuButton*>(button);
    if (!item || item->LookKind() == CTKToolbarButton::kShowAll) continue;
    if (!item->GetCommands().IsEmpty()) {
      HMENU sub = item->CreateMenu();
      CString text = item->m_strText;
      if (item->m_uiTearOffBarID && g_pTearOffManager)
        TearOffManager::PrefixItemText(item->m_uiTearOffBarID, text);
      const UINT flags = MF_POPUP | ((item->m_nStyle & kColumnBreak) ? MF_MENUBREAK : 0);
      if (sub && !::AppendMenuA(menu, flags, reinterpret_cast<UINT_PTR>(sub), text)) ::DestroyMenu(sub);
    } else {
      ::AppendMenuA(menu, MF_STRING, item->m_nID, item->m_strText);
    }
  }
  if (m_uiDefaultMenuCmdId && m_uiDefaultMenuCmdId != (UINT)-1)
    ::SetMenuDefaultItem(menu, m_uiDefaultMenuCmdId, FALSE);
  return menu;
}

CSize CTKPopupMenuBar::CalcSize(BOOL) {
  m_arColumns.RemoveAll();
  if (m_Buttons.IsEmpty()) {
    m_arColumns.Add(52);
    return CSize(50 + 2, 20 + 2);
  }
  MeasuringDC dc;
  HGDIOBJ old = dc.SelectObject(&GlobalData::Get().regularFont);
  const int margin = CTKVisualManager::GetInstance()->GetMenuImageMargin();
  const SIZE defaultSize{m_menuImageSize.cx + 2 * margin + 2,
                         std::max<int>(m_menuImageSize.cy + 6, GlobalData::Get().textHeight + 4)};
  const BOOL customizing = IsCustomizeMode();
  int columnX = 0, columnWidth = 0, columnHeight = 0, tallest = 0;
  BOOL columnEmpty = TRUE;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (!button->IsVisible()) continue;
    SIZE size;
    if (button->IsSeparator()) {
      size = SIZE{0, kSeparatorHeight};
    } else {
      auto* item = AsMenuButton(button);
      HGDIOBJ plain = nullptr;
      if (item && item->m_bDefault) plain = dc.SelectObject(&GlobalData::Get().boldFont);
      size = button->OnCalculateSize(&dc, defaultSize, TRUE);
      if (plain) dc.SelectObject(plain);
      if (item) item->m_bFitsColumn = m_iMinWidth < 0 || size.cx <= m_iMinWidth - 2;
    }
    if ((button->m_nStyle & kColumnBreak) && !customizing && !columnEmpty) {
      columnX += columnWidth + 1;
      m_arColumns.Add(static_cast<UINT>(columnX));
      columnWidth = columnHeight = 0;
    }
    columnEmpty = FALSE;
    columnWidth = std::max<int>(columnWidth, size.cx);
    columnHeight += size.cy;
    tallest = std::max(tallest, columnHeight);
  }
  dc.SelectObject(old);
  CSize size(columnX + columnWidth + 2, tallest + 2);
  if (m_iMinWidth > 0) size.cx = std::max<LONG>(size.cx, m_iMinWidth);
  // The columns' starts, then the total width last.
  CArray<UINT, UINT> columns;
  columns.Add(static_cast<UINT>(m_arColumns.IsEmpty() ? size.cx : m_arColumns[0]));
  for (int i = 1; i < m_arColumns.GetSize(); ++i) columns.Add(m_arColumns[i]);
  m_arColumns.RemoveAll();
  for (int i = 0; i < columns.GetSize(); ++i) m_arColumns.Add(columns[i]);
  m_arColumns.Add(static_cast<UINT>(size.cx));
  return size;
}

void CTKPopupMenuBar::AdjustLayout() {
  if (!m_hWnd) return;
  const int margin = CTKVisualManager::GetInstance()->GetMenuImageMargin();
  if (!m_xSeparatorOffsetLeft) {
    m_xSeparatorOffsetLeft = m_menuImageSize.cx + 2 * margin + 4;
    m_xSeparatorOffsetRight = 2;
  }
  CRect client;
  GetClientRect(&client);
  const SIZE defaultSize{m_menuImageSize.cx + 2 * margin + 2,
                         std::max<int>(m_menuImageSize.cy + 6, GlobalData::Get().textHeight + 4)};
  const BOOL customizing = IsCustomizeMode();
  const int top = client.top - m_iOffset * defaultSize.cy + 1;
  int x = client.left + 1, y = top;
  int column = 0;
  auto columnRight = [&](int index) -> int {
    if (customizing || m_arColumns.GetSize() < 2) return client.right - 1;
    if (index + 1 < m_arColumns.GetSize() - 1) return static_cast<int>(m_arColumns[index + 1]);
    return client.right - 1;
  };
  int right = columnRight(0);
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    const BOOL wasHidden = button->m_bHidden;
    button->m_bHidden = !button->IsVisible();
    CRect rect;
    if (button->m_bHidden) {
      rect.SetRectEmpty();
    } else {
      if ((button->m_nStyle & kColumnBreak) && !customizing && y != top) {
        ++column;
        x = right + 1;
        right = columnRight(column);
        y = top;
      }
      const int height = button->IsSeparator() ? kSeparatorHeight : defaultSize.cy;
      rect.SetRect(x, y, right, y + height);
      y += height;
    }
    if (button->m_bHidden != wasHidden) button->OnShow(!button->m_bHidden);
    if (rect != button->m_rect) {
      button->m_rect = rect;
      button->OnMove();
    }
  }
  RebuildAccelerationKeys();
  // A bar without room (as made, before its popup sizes it) is under no pointer; the
  // pointer's place is asked of the display server.
  if (client.IsRectEmpty()) return;
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::ScreenToClient(m_hWnd, &cursor);
  if (HitTest(CPoint(cursor)) >= 0) m_bTrackPress = FALSE;
}

void CTKPopupMenuBar::DrawRarelyUsedBackground(CDC* dc) {
  if (IsCustomizeMode() || !s_bRecentlyUsedMenus || m_bTrackMode || !m_bAreAllCommandsShown ||
      !g_pCommandUsageCounter || !g_pCommandUsageCounter->HasEnoughData())
    return;
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  CRect run(0, 0, 0, 0);
  // Separators after a rarely used item, joined only when the run goes on after them.
  CRect separators(0, 0, 0, 0);
  auto join = [](CRect& into, const CRect& rect) {
    if (into.IsRectEmpty()) {
      into = rect;
      return;
    }
    into.left = std::min(into.left, rect.left);
    into.top = std::min(into.top, rect.top);
    into.right = std::max(into.right, rect.right);
    into.bottom = std::max(into.bottom, rect.bottom);
  };
  auto flush = [&] {
    if (!run.IsRectEmpty()) look->PaintPopupBarHighlight(dc, run);
    run = separators = CRect(0, 0, 0, 0);
  };
  for (int i = 0; i < GetCount(); ++i) {
    CTKToolbarButton* button = GetButton(i);
    if (!button || button->m_bHidden) continue;
    if (button->IsSeparator()) {
      if (!run.IsRectEmpty()) join(separators, button->m_rect);
      continue;
    }
    // A new column ends a run.
    if (!run.IsRectEmpty() && button->m_rect.left != run.left) flush();
    if (!IsCommandRarelyUsed(button->m_nID)) {
      flush();
      continue;
    }
    if (!separators.IsRectEmpty()) join(run, separators);
    separators = CRect(0, 0, 0, 0);
    join(run, button->m_rect);
  }
  flush();
}

void CTKPopupMenuBar::DrawSeparator(CDC* dc, const CRect& rect, BOOL) {
  CRect line(rect.left + m_xSeparatorOffsetLeft, rect.top, rect.right - m_xSeparatorOffsetRight, rect.bottom);
  CTKVisualManager::GetInstance()->PaintSeparator(dc, this, line, FALSE);
}

BOOL CTKPopupMenuBar::SetHotMenuIndex(int index) {
  CTKToolbarMenuButton* dropped = nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    CTKToolbarMenuButton* item = AsMenuButton(GetButton(i));
    if (item && item->m_popupMenu && !item->m_bToBeClosed) dropped = item;
  }
  CTKToolbarMenuButton* hot = AsMenuButton(GetButton(index));
  if (index == -1) {
    m_iHot = -1;
    return TRUE;
  }
  if (dropped && dropped != hot) {
    if (!m_bKeyboardMove && !IsCustomizeMode()) {
      m_pDelayedClosePopupMenuButton = dropped;
      dropped->m_bToBeClosed = TRUE;
      StartMenuTimer(kCloseTimer, CloseDelay());
      ::InvalidateRect(m_hWnd, &dropped->m_rect, TRUE);
    } else {
      StopMenuTimer(kCloseTimer);
      m_pDelayedClosePopupMenuButton = nullptr;
      dropped->OnCancelMode();
    }
  }
  if (hot && HasSubMenu(hot) && !hot->m_popupMenu && !(hot->m_nStyle & TBBS_DISABLED) && !m_bKeyboardMove)
    hot->OnClick(this, TRUE);
  else if (hot && hot->LookKind() == CTKToolbarButton::kShowAll && !m_bKeyboardMove && !IsCustomizeMode())
    hot->OnClick(this, TRUE);
  // Back on the item that opened this popup, or on the pending one: it stays open.
  if (CTKPopupMenu* popup = GetPopup()) {
    if (CTKPopupMenu* parent = popup->GetParentPopupMenu()) {
      CTKPopupMenuBar* parentBar = parent->GetMenuBar();
      if (parentBar->m_pDelayedClosePopupMenuButton == popup->GetParentButton())
        parentBar->RestoreDelayedSubMenu();
    }
  }
  if (hot && hot == m_pDelayedClosePopupMenuButton) RestoreDelayedSubMenu();
  m_iHot = index;
  return TRUE;
}

void CTKPopupMenuBar::StartMenuTimer(UINT id, UINT interval) {
  if (SetTimer(id, interval)) m_runningTimers |= 1u << id;
}

void CTKPopupMenuBar::StopMenuTimer(UINT id) {
  if (!(m_runningTimers & (1u << id))) return;
  m_runningTimers &= ~(1u << id);
  KillTimer(id);
}

void CTKPopupMenuBar::StartPopupTimer(CTKToolbarMenuButton* button, int factor) {
  StopMenuTimer(kOpenTimer);
  m_pDelayedPopupMenuButton = button;
  if (button && button == m_pDelayedClosePopupMenuButton) {
    RestoreDelayedSubMenu();
    m_pDelayedPopupMenuButton = nullptr;
    return;
  }
  StartMenuTimer(kOpenTimer, static_cast<UINT>(std::max(0, s_menuShowDelay) * factor));
}

void CTKPopupMenuBar::CloseDelayedSubMenu() {
  StopMenuTimer(kCloseTimer);
  CTKToolbarMenuButton* button = m_pDelayedClosePopupMenuButton;
  m_pDelayedClosePopupMenuButton = nullptr;
  if (button) {
    button->m_bToBeClosed = FALSE;
    button->OnCancelMode();
  }
}

void CTKPopupMenuBar::RestoreDelayedSubMenu() {
  StopMenuTimer(kCloseTimer);
  CTKToolbarMenuButton* button = m_pDelayedClosePopupMenuButton;
  m_pDelayedClosePopupMenuButton = nullptr;
  if (!button) return;
  button->m_bToBeClosed = FALSE;
  m_iHighlighted = ButtonToIndex(button);
  ::InvalidateRect(m_hWnd, &button->m_rect, TRUE);
}

void CTKPopupMenuBar::OnTimer(UINT_PTR id) {
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::ScreenToClient(m_hWnd, &cursor);
  if (id == kOpenTimer) {
    StopMenuTimer(kOpenTimer);
    if (m_pDelayedClosePopupMenuButton && m_pDelayedClosePopupMenuButton->m_rect.PtInRect(cursor)) return;
    CloseDelayedSubMenu();
    CTKToolbarMenuButton* pending = m_pDelayedPopupMenuButton;
    m_pDelayedPopupMenuButton = nullptr;
    if (pending && ButtonToIndex(pending) == m_iHighlighted && !pending->m_popupMenu)
      pending->OnClick(this, FALSE);
  } else if (id == kCloseTimer) {
    StopMenuTimer(kCloseTimer);
    if (m_pDelayedClosePopupMenuButton && !m_pDelayedClosePopupMenuButton->m_rect.PtInRect(cursor))
      CloseDelayedSubMenu();
  }
}

void CTKPopupMenuBar::SetInCommand(BOOL on) {
  m_bInCommand = on;
  if (CTKPopupMenu* popup = GetPopup())
    if (CTKPopupMenu* parent = popup->GetParentPopupMenu()) parent->GetMenuBar()->SetInCommand(on);
}

void CTKPopupMenuBar::InvokeCommand(UINT command, CTKToolbarButton* button) {
  CTKPopupMenu* popup = GetPopup();
  CWnd* owner = GetCommandTarget();
  if (owner && owner->m_hWnd) owner->SendMessage(kSetMessageString, kIdlePrompt);
  // The outermost popup's bar (a toolbar or the menu bar) loses its hot state.
  CTKPopupMenu* outermost = popup;
  while (outermost && outermost->GetParentPopupMenu()) outermost = outermost->GetParentPopupMenu();
  CTKToolBar* ownerBar = outermost ? outermost->GetParentToolBar() : nullptr;
  if (ownerBar && ::IsWindow(ownerBar->m_hWnd)) ownerBar->Deactivate();
  if (command != 0 && command != (UINT)-1) {
    SetInCommand(TRUE);
    PlayMenuSound(kMenuSoundCommand);
    CTKToolbarMenuButton* chainButton = outermost ? outermost->GetParentButton() : nullptr;
    if (chainButton && chainButton->HandlesChosenItem() && chainButton->OnItemChosen(this, button)) {
      // The button that opened the chain carried the choice out.
    } else {
      if (g_pCommandUsageCounter) g_pCommandUsageCounter->CountUse(command);
      CWnd* message = popup ? popup->GetMessageWnd() : nullptr;
      if (message && message->m_hWnd)
        message->PostMessage(WM_COMMAND, command);
      else if (!(g_pUserToolsManager && g_pUserToolsManager->RunToolCommand(command)) && owner &&
               owner->m_hWnd)
        owner->PostMessage(WM_COMMAND, command);
    }
  }
  s_lastChosen = button ? ButtonToIndex(button) : -1;
  SetInCommand(FALSE);
  if (popup && popup->m_hWnd) popup->DestroyWindow();
}

BOOL CTKPopupMenuBar::OnSendCommand(const CTKToolbarButton* constButton) {
  auto* button = const_cast<CTKToolbarButton*>(constButton);
  CTKToolbarMenuButton* item = AsMenuButton(button);
  if (item && (item->m_nStyle & TBBS_DISABLED) && item->OnClickMenuItem()) return TRUE;
  if (!button || (button->m_nStyle & TBBS_DISABLED) || button->m_nID == (UINT)-1) return FALSE;
  if (item && item->m_popupMenu) return FALSE;
  if (item && HasSubMenu(item)) return FALSE;
  InvokeCommand(button->m_nID, button);
  return TRUE;
}

BOOL CTKPopupMenuBar::OnKey(UINT key) {
  const BOOL shift = ::GetKeyState(VK_SHIFT) < 0;
  if (key == VK_TAB) key = shift ? VK_UP : VK_DOWN;
  const int count = GetCount();
  switch (key) {
    case VK_RETURN: {
      CTKToolbarButton* button = GetButton(m_iHighlighted);
      if (!button) return TRUE;
      CTKToolbarMenuButton* item = AsMenuButton(button);
      if (HasSubMenu(item)) {
        if (!item->m_popupMenu) item->OnClick(this, FALSE);
        if (CTKPopupMenu* sub = item->GetPopupMenu(); sub && sub->m_hWnd)
          sub->SendMessage(WM_KEYDOWN, VK_HOME);
        return TRUE;
      }
      if (CWnd* owner = GetCommandTarget(); owner && owner->m_hWnd)
        owner->SendMessage(kSetMessageString, kIdlePrompt);
      OnSendCommand(button);
      return TRUE;
    }
    case VK_DOWN:
    case VK_HOME:
    case VK_UP:
    case VK_END: {
      if (count == 0) return TRUE;
      const BOOL forward = key == VK_DOWN || key == VK_HOME;
      int index = key == VK_HOME ? -1 : key == VK_END ? count : m_iHighlighted;
      if (index < -1 || index > count) index = -1;
      int next = -1;
      for (int step = 0; step < count; ++step) {
        index = forward ? index + 1 : index - 1;
        if (index >= count) index = 0;
        if (index < 0) index = count - 1;
        CTKToolbarButton* candidate = GetButton(index);
        if (candidate && !candidate->IsSeparator() && !candidate->m_rect.IsRectEmpty() &&
            candidate->IsVisible()) {
          next = index;
          break;
        }
      }
      if (next < 0) return TRUE;
      const int old = m_iHighlighted;
      if (GlobalData::Get().IsAccessibilitySupported() && GetPopup())
        ::NotifyWinEvent(EVENT_OBJECT_FOCUS, GetPopup()->m_hWnd, OBJID_CLIENT, next + 1);
      m_iHighlighted = next;
      if (IsCustomizeMode()) m_iSelected = next;
      m_bKeyboardMove = TRUE;
      SetHotMenuIndex(next);
      m_bKeyboardMove = FALSE;
      InvalidateButton(old);
      InvalidateButton(next);
      UpdateWindow();
      ShowCommandMessageString(GetItemID(next));
      return TRUE;
    }
    default:
      break;
  }
  if (IsCustomizeMode() || ::GetKeyState(VK_CONTROL) < 0) return FALSE;
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  WORD typed = 0;
  if (::ToAsciiEx(key, ::MapVirtualKeyA(key, 0), keys, &typed, 0, ::GetKeyboardLayout(0)) != 1) return FALSE;
  char character[2] = {static_cast<char>(typed & 0xFF), 0};
  ::CharUpperA(character);
  const UINT upper = static_cast<unsigned char>(character[0]);
  CTKToolbarButton* button = nullptr;
  if (m_AcellKeys.Lookup(upper, button) && button) {
    CTKToolbarMenuButton* item = AsMenuButton(button);
    if (HasSubMenu(item) && !(item->m_nStyle & TBBS_DISABLED)) {
      m_iHighlighted = ButtonToIndex(item);
      Invalidate();
      if (!item->m_popupMenu) item->OnClick(this, FALSE);
      if (CTKPopupMenu* sub = item->GetPopupMenu(); sub && sub->m_hWnd) sub->SendMessage(WM_KEYDOWN, VK_HOME);
      return TRUE;
    }
    if (button->m_nStyle & TBBS_DISABLED) {
      // A disabled item's key closes the menu without a command.
      if (CTKPopupMenu* popup = GetPopup()) popup->DestroyWindow();
      return TRUE;
    }
    if (OnSendCommand(button)) return TRUE;
    m_iHighlighted = ButtonToIndex(button);
    Invalidate();
    return TRUE;
  }
  UINT hidden = 0;
  if (s_bRecentlyUsedMenus && !m_bAreAllCommandsShown && m_HiddenItemsAccel.Lookup(upper, hidden)) {
    InvokeCommand(hidden, nullptr);
    return TRUE;
  }
  return FALSE;
}

CTKToolBar* CTKPopupMenuBar::FindMenuBarAtPoint(POINT screen) const {
  CTKPopupMenu* popup = GetPopup();
  CTKPopupMenu* outermost = popup;
  for (CTKPopupMenu* parent = popup ? popup->GetParentPopupMenu() : nullptr; parent;
       parent = parent->GetParentPopupMenu()) {
    outermost = parent;
    CRect rect;
    parent->GetMenuBar()->GetWindowRect(&rect);
    if (rect.PtInRect(screen)) return parent->GetMenuBar();
  }
  CTKToolBar* owner = outermost ? outermost->GetParentToolBar() : nullptr;
  if (owner && owner->m_hWnd) {
    CRect rect;
    owner->GetWindowRect(&rect);
    if (rect.PtInRect(screen)) return owner;
  }
  return nullptr;
}

BOOL CTKPopupMenuBar::ForwardToBarAt(UINT message, UINT flags, CPoint point) {
  POINT screen = point;
  ::ClientToScreen(m_hWnd, &screen);
  CTKToolBar* bar = FindMenuBarAtPoint(screen);
  if (!bar || bar == this) return FALSE;
  ::ScreenToClient(bar->m_hWnd, &screen);
  bar->SendMessage(message, flags, MAKELPARAM(screen.x, screen.y));
  return TRUE;
}

void CTKPopupMenuBar::OnLButtonDown(UINT flags, CPoint point) {
  m_bFirstClick = FALSE;
  m_bTrackPress = TRUE;
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point) && !IsCustomizeMode()) {
    ForwardToBarAt(WM_LBUTTONDOWN, flags, point);
    return;
  }
  CTKToolBar::OnLButtonDown(flags, point);
  // A menu's press never hands the mouse back to a window that held it before.
  m_hwndLastCapture = nullptr;
}

void CTKPopupMenuBar::OnMouseMove(UINT flags, CPoint point) {
  if (m_bFirstMove) {
    m_bFirstMove = FALSE;
    return;
  }
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point) && !IsCustomizeMode()) {
    ForwardToBarAt(WM_MOUSEMOVE, flags, point);
    return;
  }
  CTKToolBar::OnMouseMove(flags, point);
}

void CTKPopupMenuBar::OnLButtonUp(UINT flags, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point) && !IsCustomizeMode() && !m_bFirstClick) {
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    m_iButtonCapture = -1;
    ForwardToBarAt(WM_LBUTTONUP, flags, point);
    if (CTKPopupMenu* popup = GetPopup(); popup && popup->m_hWnd) popup->CloseMenu(FALSE);
    return;
  }
  m_bFirstClick = FALSE;
  // A release on an item that the press did not capture (a press on the menu's title
  // dragged down here, or on an entry that acts by itself) chooses that item.
  if (!IsCustomizeMode() && m_bTrackPress && m_iButtonCapture < 0 && client.PtInRect(point)) {
    const int hit = HitTest(point);
    if (hit >= 0) m_iButtonCapture = m_iHighlighted = hit;
  }
  if (m_bTrackPress || IsCustomizeMode()) CTKToolBar::OnLButtonUp(flags, point);
  m_bTrackPress = TRUE;
}

void CTKPopupMenuBar::OnLButtonDblClk(UINT flags, CPoint point) {
  if (HasSubMenu(AsMenuButton(GetButton(HitTest(point))))) return;
  CTKToolBar::OnLButtonDblClk(flags, point);
}

CTKToolbarButton* CTKPopupMenuBar::CreateDroppedButton(COleDataObject* data) {
  CTKToolbarButton* dropped = CTKToolBar::CreateDroppedButton(data);
  if (!dropped) return nullptr;
  if (dropped->m_strText.IsEmpty()) {
    delete dropped;
    return nullptr;
  }
  auto* item = dynamic_cast<CTKToolbarMenuButton*>(dropped);
  if (!item) {
    item = new CTKToolbarMenuButton;
    item->CopyFrom(*dropped);
    delete dropped;
  }
  item->m_bText = TRUE;
  return item;
}

BOOL CTKPopupMenuBar::OnDrop(COleDataObject* data, DROPEFFECT effect, CPoint point) {
  if (!CTKToolBar::OnDrop(data, effect, point)) return FALSE;
  if (CTKPopupMenu* popup = GetPopup()) popup->RecalcLayout();
  return TRUE;
}

DROPEFFECT CTKPopupMenuBar::OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) {
  if (!(keyState & MK_CONTROL)) {
    for (CTKPopupMenu* popup = GetPopup(); popup; popup = popup->GetParentPopupMenu()) {
      CTKToolbarMenuButton* parent = popup->GetParentButton();
      CTKToolBar* bar = popup->GetParentToolBar();
      if (!parent || !bar || bar->m_pDragButton != parent) continue;
      if (m_iDragIndex >= 0) {
        CRect area = m_rectDrag;
        area.InflateRect(4, 4);
        ::InvalidateRect(m_hWnd, area, TRUE);
        m_rectDrag.SetRectEmpty();
        m_iDragIndex = -1;
      }
      return DROPEFFECT_NONE;
    }
  }
  return CTKToolBar::OnDragOver(data, keyState, point);
}

int CTKPopupMenuBar::FindDropIndex(CPoint point, CRect& marker) const {
  constexpr int kHalfMarker = 3;
  marker.SetRectEmpty();
  int best = -1;
  int bestDistance = 0;
  // The items of the column under the point first; beside every column, all items.
  for (int pass = 0; pass < 2 && best < 0; ++pass) {
    int index = 0;
    for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index) {
      auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
      const CRect& r = button->m_rect;
      if (button->m_bHidden || !button->IsVisible() || r.IsRectEmpty()) continue;
      if (pass == 0 && (point.x < r.left || point.x >= r.right)) continue;
      const int edges[2] = {r.top, r.bottom};
      for (int side = 0; side < 2; ++side) {
        const int distance = abs(point.y - edges[side]);
        if (best >= 0 && distance >= bestDistance) continue;
        best = index + side;
        bestDistance = distance;
        marker.SetRect(r.left, edges[side] - kHalfMarker, r.right, edges[side] + kHalfMarker);
      }
    }
  }
  if (best >= 0) return best;
  // An empty menu takes the drop as its first item.
  CRect client;
  GetClientRect(&client);
  const int middle = client.CenterPoint().y;
  marker.SetRect(client.left, middle - kHalfMarker, client.right, middle + kHalfMarker);
  return 0;
}

void CTKPopupMenuBar::DrawDragMarker(CDC* dc) {
  // A line two pixels thick along the edge, with short ticks at its ends.
  HDC hdc = dc->GetSafeHdc();
  HGDIOBJ old = ::SelectObject(
      hdc, m_hSeparatorPen ? static_cast<HGDIOBJ>(m_hSeparatorPen) : ::GetStockObject(BLACK_PEN));
  const CRect& m = m_rectDrag;
  const int edge = m.top + m.Height() / 2;
  for (int dy = -1; dy <= 0; ++dy) {
    ::MoveToEx(hdc, m.left + 1, edge + dy, nullptr);
    ::LineTo(hdc, m.right - 1, edge + dy);
  }
  ::MoveToEx(hdc, m.left, m.top, nullptr);
  ::LineTo(hdc, m.left, m.bottom);
  ::MoveToEx(hdc, m.right - 1, m.top, nullptr);
  ::LineTo(hdc, m.right - 1, m.bottom);
  ::SelectObject(hdc, old);
}

BOOL CTKPopupMenuBar::EnableContextMenuItems(CTKToolbarButton* button, HMENU popup) {
  CTKToolBar::EnableContextMenuItems(button, popup);
  ::EnableMenuItem(popup, ID_TKTOOLBAR_IMAGE, MF_BYCOMMAND | MF_GRAYED);
  if (button->GetImage() >= 0) {
    ::EnableMenuItem(popup, ID_TKTOOLBAR_TEXT, MF_BYCOMMAND | MF_ENABLED);
    ::EnableMenuItem(popup, ID_TKTOOLBAR_IMAGE_AND_TEXT, MF_BYCOMMAND | MF_ENABLED);
    const UINT checked = GetCommandManager()->IsMenuItemWithoutImage(button->m_nID)
                             ? ID_TKTOOLBAR_TEXT
                             : ID_TKTOOLBAR_IMAGE_AND_TEXT;
    ::CheckMenuRadioItem(popup, ID_TKTOOLBAR_IMAGE, ID_TKTOOLBAR_IMAGE_AND_TEXT, checked, MF_BYCOMMAND);
  }
  return TRUE;
}

BOOL CTKPopupMenuBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  // The bar's own handlers of the button context menu come before the toolbar's.
  if (IsCustomizeMode() && !m_bLocked && CWnd::OnCommand(wParam, lParam)) return TRUE;
  return CTKToolBar::OnCommand(wParam, lParam);
}

void CTKPopupMenuBar::OnToolbarText() { ShowSelectedItemImage(FALSE); }

void CTKPopupMenuBar::OnToolbarImageAndText() { ShowSelectedItemImage(TRUE); }

void CTKPopupMenuBar::ShowSelectedItemImage(BOOL show) {
  CTKToolbarButton* button = GetButton(m_iSelected);
  if (!button) return;
  GetCommandManager()->EnableMenuItemImage(button->m_nID, show);
  AdjustLayout();
  Invalidate();
}
