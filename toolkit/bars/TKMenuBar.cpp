#include "toolkit/bars/TKMenuBar.h"

#include "toolkit/bars/BarsText.h"
#include "platform/afx/DocManager.h"
#include "platform/afx/DocTemplate.h"
#include "platform/afx/WinApp.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolbarMenuButtonsButton.h"
#include "toolkit/bars/TKToolbarSystemMenuButton.h"
#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuButtonStore.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKMDIFrameWnd.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKWorkspace.h"
#include "toolkit/frames/TearOffManager.h"

BOOL CTKMenuBar::s_bShowAllCommands = FALSE;

namespace {

constexpr UINT kShowAllTimer = 1;
constexpr UINT kShowAllDelay = 5000;
constexpr UINT kSetMessageString = 0x362;
constexpr UINT kIdlePrompt = 0xE001;

CString MenuItemText(HMENU menu, int position) {
  const int length = ::GetMenuStringA(menu, position, nullptr, 0, MF_BYPOSITION);
  if (length <= 0) return CString();
  std::string buffer(static_cast<size_t>(length) * 2 + 2, '\0');
  ::GetMenuStringA(menu, position, buffer.data(), length * 2 + 1, MF_BYPOSITION);
  return CString(buffer.c_str());
}

// Depth first: the text of the item with the command, empty when none has it.
BOOL FindCommandText(HMENU menu, UINT command, CString& text) {
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = ::GetSubMenu(menu, i)) {
      if (FindCommandText(sub, command, text)) return TRUE;
    } else if (::GetMenuItemID(menu, i) == command) {
      text = MenuItemText(menu, i);
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace

BOOL ToolbarButtonsArchive::SaveTo(HMENU menu) { return MenuButtonStore::Instance().SaveButtons(menu, this); }
BOOL ToolbarButtonsArchive::LoadFrom(HMENU menu) {
  return MenuButtonStore::Instance().LoadButtons(menu, this);
}

CTKMenuBar::CTKMenuBar() = default;

CTKMenuBar::~CTKMenuBar() {
  if (m_hDefaultMenu && ::IsMenu(m_hDefaultMenu)) ::DestroyMenu(m_hDefaultMenu);
}

BEGIN_MESSAGE_MAP(CTKMenuBar, CTKToolBar)
  ON_WM_CREATE()
  ON_WM_SETFOCUS()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSELEAVE()
  ON_WM_TIMER()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_SETTINGCHANGE()
END_MESSAGE_MAP()

BOOL CTKMenuBar::Create(CWnd* parent, DWORD style, UINT id) {
  m_pParentFrame = dynamic_cast<CFrameWnd*>(parent);
  return CTKToolBar::Create(parent, style, id);
}

BOOL CTKMenuBar::CreateEx(CWnd* parent, DWORD controlStyle, DWORD style, CRect borders, UINT id) {
  m_pParentFrame = dynamic_cast<CFrameWnd*>(parent);
  return CTKToolBar::CreateEx(parent, controlStyle, style, borders, id);
}

int CTKMenuBar::OnCreate(LPCREATESTRUCT cs) {
  if (CTKToolBar::OnCreate(cs) == -1) return -1;
  CString title;
  if (!title.LoadString(16006)) title = bars_text::kMenuBar;
  SetWindowText(title);
  m_dwStyle |= CBRS_HIDE_INPLACE;
  if (auto* frame = CTKFrameSite::Of(m_pParentFrame)) {
    FrameHelper& impl = frame->GetFrameHelper();
    impl.AttachMenuBar(this);
    OnDefaultMenuLoaded(impl.GetDefaultMenu());
    CreateFromMenu(impl.GetDefaultMenu(), TRUE, FALSE);
    // The bar owns the default menu from now on.
    impl.m_hDefaultMenu = nullptr;
    if (!m_uiDefMenuResId) m_uiDefMenuResId = frame->GetLoadedResourceId();
  }
  return 0;
}

BOOL CTKMenuBar::CreateFromMenu(HMENU menu, BOOL defaultMenu, BOOL force) {
  if (::GetFocus() == m_hWnd && m_pParentFrame && m_pParentFrame->m_hWnd) ::SetFocus(m_pParentFrame->m_hWnd);
  if (menu == m_hMenu && !IsCustomizeMode() && !force) return TRUE;
  if (m_hMenu) {
    if (g_pTearOffManager) g_pTearOffManager->ReleaseIds(m_hMenu);
    SaveListOf(m_hMenu);
  }
  m_hMenu = menu;
  if (defaultMenu) m_hDefaultMenu = menu;
  if (force || !LoadListOf(menu)) {
    if (g_pTearOffManager && menu) g_pTearOffManager->AssignIds(menu);
    RemoveAllButtons();
    const int count = menu && ::IsMenu(menu) ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
      CString text = MenuItemText(menu, i);
      const UINT id = ::GetMenuItemID(menu, i);
      CTKToolbarButton* button;
      if (id == 0) {
        button = new CTKToolbarButton;
        button->m_nStyle = TBBS_SEPARATOR;
      } else if (id == (UINT)-1) {
        const UINT tearOff = g_pTearOffManager ? TearOffManager::ReadIdFromText(text) : 0;
        auto* title = new CTKToolbarMenuButton(0, ::GetSubMenu(menu, i), -1, text);
        title->SetTearOff(tearOff);
        button = title;
      } else {
        button = new CTKToolbarButton(id, -1, text);
      }
      button->m_bText = TRUE;
      button->m_bImage = FALSE;
      if (InsertButton(button) < 0) delete button;
    }
  }
  if (m_hWnd) AdjustSize();
  RebuildAccelerationKeys();
  return TRUE;
}

void CTKMenuBar::OnMouseLeave() {
  // While the keys walk the titles, the one they reached stays highlighted wherever
  // the pointer goes (a pointer leaving the bar late must not take the keys' place).
  if (::GetFocus() == m_hWnd && m_iHighlighted >= 0) {
    m_bTracked = FALSE;
    m_ptLastMouse = CPoint(-1, -1);
    return;
  }
  CTKToolBar::OnMouseLeave();
}

int CTKMenuBar::GetDroppedDownIndex() const {
  for (int i = 0; i < GetCount(); ++i)
    if (CTKToolbarButton* button = GetButton(i); button && button->IsDroppedDown()) return i;
  return -1;
}

BOOL CTKMenuBar::HasImages() const {
  for (int i = 0; i < GetCount(); ++i) {
    CTKToolbarButton* button = GetButton(i);
    if (!button || dynamic_cast<CTKToolbarSystemMenuButton*>(button) ||
        dynamic_cast<CTKToolbarMenuButtonsButton*>(button))
      continue;
    if (button->m_bImage && button->GetImage() >= 0) return TRUE;
  }
  return FALSE;
}

int CTKMenuBar::GetRowHeight() const {
  // Titles with images are as high as a button; text alone is lower.
  const int height = HasImages() ? static_cast<int>(GetButtonSize().cy)
                                 : std::max<int>(GetMenuButtonSize().cy - 2, GlobalData::Get().textHeight);
  return std::max<int>(height,
                       IsHorizontal() ? GlobalData::Get().textHeight : GlobalData::Get().verticalTextHeight);
}

CSize CTKMenuBar::CalcLayout(DWORD mode, int length) {
  if (IsFloating() || !m_pParentFrame || !m_hWnd) return CTKToolBar::CalcLayout(mode, length);
  // Docked, the bar takes the whole length of its side.
  // The whole length of the frame's client area (the dock bar's own size follows
  // its bars).
  CRect room;
  ::GetClientRect(m_pParentFrame->m_hWnd, &room);
  CRect inside(0, 0, 0, 0);
  const BOOL horizontal = (mode & LM_HORZ) && !(mode & LM_VERTDOCK);
  CalcInsideRect(inside, horizontal);
  if (horizontal) {
    const int width = std::min<int>(32767, room.Width() + inside.Width());
    WrapToolBar(width);
    CSize size = CalcSize(FALSE);
    RebuildAccelerationKeys();
    return CSize(room.Width(), size.cy - inside.Height());
  }
  WrapToolBar(0);
  CSize size = CalcSize(TRUE);
  RebuildAccelerationKeys();
  return CSize(size.cx - inside.Width(), room.Height());
}

BOOL CTKMenuBar::DropDown(int index, BOOL firstItem) {
  auto* title = dynamic_cast<CTKToolbarMenuButton*>(GetButton(index));
  if (!title) return FALSE;
  m_iHighlighted = m_iHot = index;
  if (!title->IsDroppedDown()) {
    CTKPopupMenu::OpenAtOnce keys;
    if (!title->OnClick(this, FALSE)) return FALSE;
  }
  CTKPopupMenu* popup = title->GetPopupMenu();
  if (firstItem && popup && popup->m_hWnd) popup->SendMessage(WM_KEYDOWN, VK_HOME);
  return TRUE;
}

BOOL CTKMenuBar::SetHotMenuIndex(int index) {
  KillTimer(kShowAllTimer);
  const int dropped = GetDroppedDownIndex();
  if (IsCustomizeMode()) {
    // The toolbar's rules: a click on a title opens or closes its menu.
    CTKToolBar::SetHotMenuIndex(index);
  } else if (index >= 0 && dropped >= 0 && index != dropped) {
    CTKToolbarButton* next = GetButton(index);
    if (next && next->LookKind() == CTKToolbarButton::kMenuButton) {
      // The open menu follows the mouse or the arrow keys to the next title.
      const BOOL keyboard = m_bKeyboardSwitch;
      GetButton(dropped)->OnCancelMode();
      InvalidateButton(dropped);
      DropDown(index, keyboard);
      UpdateWindow();
    }
  }
  if (!IsCustomizeMode()) m_iHot = index >= 0 ? index : GetDroppedDownIndex();
  if (GetDroppedDownIndex() >= 0)
    SetTimer(kShowAllTimer, kShowAllDelay);
  else
    s_bShowAllCommands = FALSE;
  return TRUE;
}

BOOL CTKMenuBar::ProcessMnemonic(UINT key) {
  // A title's access key drops its menu with the first item highlighted.
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  WORD typed = 0;
  UINT character = key;
  if (::ToAsciiEx(key, ::MapVirtualKeyA(key, 0), keys, &typed, 0, ::GetKeyboardLayout(0)) == 1)
    character = static_cast<UINT>(toupper(static_cast<unsigned char>(typed)));
  CTKToolbarButton* button = nullptr;
  if (m_AcellKeys.Lookup(character, button) && button &&
      button->LookKind() == CTKToolbarButton::kMenuButton) {
    if (!IsCustomizeMode()) {
      const int dropped = GetDroppedDownIndex();
      if (dropped >= 0 && GetButton(dropped) != button) GetButton(dropped)->OnCancelMode();
      return DropDown(ButtonToIndex(button), TRUE);
    }
  }
  return CTKToolBar::ProcessMnemonic(key);
}

BOOL CTKMenuBar::PrevMenu() {
  m_bKeyboardSwitch = TRUE;
  const BOOL moved = CTKToolBar::PrevMenu();
  m_bKeyboardSwitch = FALSE;
  return moved;
}

BOOL CTKMenuBar::NextMenu() {
  m_bKeyboardSwitch = TRUE;
  const BOOL moved = CTKToolBar::NextMenu();
  m_bKeyboardSwitch = FALSE;
  return moved;
}

void CTKMenuBar::OnTimer(UINT_PTR id) {
  if (id != kShowAllTimer) return;
  KillTimer(kShowAllTimer);
  const int dropped = GetDroppedDownIndex();
  auto* title = dynamic_cast<CTKToolbarMenuButton*>(GetButton(dropped));
  if (!title) return;
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::ScreenToClient(m_hWnd, &cursor);
  CTKPopupMenu* popup = title->GetPopupMenu();
  if (title->m_rect.PtInRect(cursor) && popup && !popup->GetMenuBar()->AreAllCommandsShown())
    popup->ShowAllCommands();
}

int CTKMenuBar::OnToolHitTest(CPoint point, TOOLINFOA* info) {
  if (dynamic_cast<CTKToolbarMenuButton*>(GetButton(HitTest(point)))) return -1;
  return CTKToolBar::OnToolHitTest(point, info);
}

BOOL CTKMenuBar::PreTranslateMessage(MSG* msg) {
  if (msg->message != WM_KEYDOWN || msg->hwnd != m_hWnd) return CTKToolBar::PreTranslateMessage(msg);
  // While a menu is open the keys belong to it (the frame hands them over).
  if (GetDroppedDownIndex() >= 0) return CTKBaseControlBar::PreTranslateMessage(msg);
  const int count = GetCount();
  if (m_iHighlighted < 0 || m_iHighlighted >= count) {
    if (msg->wParam == VK_ESCAPE) {
      Deactivate();
      RestoreFocus();
      return TRUE;
    }
    return ProcessMnemonic(static_cast<UINT>(msg->wParam)) || CTKToolBar::PreTranslateMessage(msg);
  }
  UINT key = static_cast<UINT>(msg->wParam);
  if (::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) {
    if (key == VK_LEFT)
      key = VK_RIGHT;
    else if (key == VK_RIGHT)
      key = VK_LEFT;
  }
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT: {
      const int old = m_iHighlighted;
      int index = old;
      for (int step = 0; step < count; ++step) {
        index = key == VK_LEFT ? (index - 1 + count) % count : (index + 1) % count;
        CTKToolbarButton* button = GetButton(index);
        if (button && !button->IsSeparator() && button->IsVisible() && !button->m_bHidden) break;
      }
      m_iHighlighted = m_iHot = index;
      InvalidateButton(old);
      InvalidateButton(index);
      UpdateWindow();
      ShowCommandMessageString(GetItemID(index));
      return TRUE;
    }
    case VK_DOWN:
      DropDown(m_iHighlighted, TRUE);
      return TRUE;
    case VK_RETURN: {
      CTKToolbarButton* button = GetButton(m_iHighlighted);
      if (!button) return TRUE;
      if (button->LookKind() == CTKToolbarButton::kMenuButton) {
        DropDown(m_iHighlighted, TRUE);
        return TRUE;
      }
      const UINT command = button->m_nID;
      Deactivate();
      if (command && command != (UINT)-1 && !(button->m_nStyle & TBBS_DISABLED)) {
        if (g_pCommandUsageCounter) g_pCommandUsageCounter->CountUse(command);
        if (CWnd* owner = GetCommandTarget()) owner->PostMessage(WM_COMMAND, command);
      }
      return TRUE;
    }
    case VK_ESCAPE:
      Deactivate();
      RestoreFocus();
      s_bShowAllCommands = FALSE;
      return TRUE;
    default:
      if (ProcessMnemonic(key)) return TRUE;
      return CTKToolBar::PreTranslateMessage(msg);
  }
}

void CTKMenuBar::OnSetFocus(CWnd* oldWnd) {
  CTKToolBar::OnSetFocus(oldWnd);
  if (GetDroppedDownIndex() >= 0) return;
  if (m_pParentFrame && m_pParentFrame->m_hWnd) m_pParentFrame->SendMessage(kSetMessageString, kIdlePrompt);
  if (m_iHighlighted < 0 && GetCount() > 0) {
    m_iHighlighted = m_iHot = 0;
    InvalidateButton(0);
    UpdateWindow();
  }
}

void CTKMenuBar::OnLButtonDown(UINT flags, CPoint point) {
  // While a menu is open, a press beside every title does nothing.
  if (GetDroppedDownIndex() >= 0 && HitTest(point) < 0) return;
  CTKToolBar::OnLButtonDown(flags, point);
}

void CTKMenuBar::OnLButtonDblClk(UINT flags, CPoint point) {
  CTKToolBar::OnLButtonDblClk(flags, point);
  // A double click on a title of a personalised menu opens it with every command.
  const int index = HitTest(point);
  auto* title = dynamic_cast<CTKToolbarMenuButton*>(GetButton(index));
  if (!title || dynamic_cast<CTKToolbarSystemMenuButton*>(title) || s_bShowAllCommands ||
      !s_bRecentlyUsedMenus || !g_pCommandUsageCounter || !g_pCommandUsageCounter->HasEnoughData() ||
      IsCustomizeMode())
    return;
  if (CTKPopupMenu* popup = title->GetPopupMenu(); popup && popup->m_hWnd) {
    // Opened by this click: it shows every command at once.
    if (!popup->GetMenuBar()->AreAllCommandsShown()) popup->ShowAllCommands();
  } else {
    // Closed by this very click: it opens again, now with every command.
    title->m_dwClosedAt = 0;
    s_bShowAllCommands = TRUE;
    DropDown(index, FALSE);
  }
  InvalidateButton(index);
  UpdateWindow();
}

void CTKMenuBar::OnSettingChange(UINT flags, LPCSTR section) {
  // The system's menu metrics may have changed: the titles and a maximised window's
  // caption buttons are measured again.
  CTKToolBar::OnSettingChange(flags, section);
  if (m_hWnd) {
    AdjustSize();
    Invalidate();
  }
}

BOOL CTKMenuBar::FillButtonText(CTKToolbarButton* button) {
  if (button && button->m_nID != 0 && button->m_nID != (UINT)-1 && m_hMenu) {
    CString text;
    if (FindCommandText(m_hMenu, button->m_nID, text)) {
      button->m_strText = text;
      return TRUE;
    }
  }
  return CTKToolBar::FillButtonText(button);
}

CString CTKMenuBar::MenuStateKey(const char* profile) const {
  return profile && *profile ? CString(profile) : GetRegistryPath("TKMenuBar");
}

std::vector<CTKMenuBar::TemplateMenu> CTKMenuBar::TemplateMenus() {
  std::vector<TemplateMenu> menus;
  CWinApp* app = AfxGetApp();
  CDocManager* manager = app ? app->m_pDocManager : nullptr;
  if (!manager) return menus;
  for (int i = 0; i < manager->GetTemplateCount(); ++i) {
    auto* docTemplate = dynamic_cast<CMultiDocTemplate*>(manager->GetTemplate(i));
    if (docTemplate && docTemplate->m_hMenuShared)
      menus.push_back({docTemplate->m_hMenuShared, docTemplate->GetResourceId()});
  }
  return menus;
}

BOOL CTKMenuBar::TakeOffCaptionButtons() {
  BOOL taken = FALSE;
  for (int i = GetCount() - 1; i >= 0; --i) {
    CTKToolbarButton* button = GetButton(i);
    if (dynamic_cast<CTKToolbarSystemMenuButton*>(button) ||
        dynamic_cast<CTKToolbarMenuButtonsButton*>(button)) {
      RemoveButton(i);
      taken = TRUE;
    }
  }
  return taken;
}

void CTKMenuBar::PutBackCaptionButtons() {
  if (auto* frame = dynamic_cast<CTKMDIFrameWnd*>(m_pParentFrame); frame && frame->m_hWnd)
    frame->UpdateMenuBarButtons();
}

std::vector<CTKMenuBar::TemplateMenu> CTKMenuBar::StoredMenus() const {
  std::vector<TemplateMenu> menus = TemplateMenus();
  if (m_hDefaultMenu) menus.push_back({m_hDefaultMenu, 0});
  return menus;
}

BOOL CTKMenuBar::SetOriginalItemsFrom(UINT resourceId) {
  while (!m_OrigButtons.IsEmpty()) delete m_OrigButtons.RemoveHead();
  CTKWorkspace* workspace = CurrentWorkspace();
  if (!workspace || !workspace->m_resourceUpdate || !resourceId) return FALSE;
  HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId));
  if (!menu) return FALSE;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    CTKToolbarButton* item;
    if (HMENU sub = ::GetSubMenu(menu, i)) {
      item = new CTKToolbarMenuButton(0, sub, -1, "");
    } else if (const UINT id = ::GetMenuItemID(menu, i); id == 0) {
      item = new CTKToolbarButton;
      item->m_nStyle = TBBS_SEPARATOR;
    } else {
      item = new CTKToolbarButton(id, -1);
    }
    m_OrigButtons.AddTail(item);
  }
  ::DestroyMenu(menu);
  return TRUE;
}

BOOL CTKMenuBar::SaveState(const char* profile, int index, UINT) {
  const CString path = MenuStateKey(profile);
  HMENU current = m_hMenu;
  // A maximised window's caption buttons belong to no menu's list.
  const BOOL captions = TakeOffCaptionButtons();
  if (current) SaveListOf(current);
  // Each template menu's list is kept under the template's resource id, the default
  // menu's under id 0; a menu never shown has no list of its own yet. The bar shows
  // each list only while it is written.
  for (const TemplateMenu& menu : StoredMenus()) {
    if (!LoadListOf(menu.menu)) continue;
    SetOriginalItemsFrom(ResourceIdOf(menu));
    CTKToolBar::SaveState(path, index, menu.resourceId);
  }
  if (current) LoadListOf(current);
  if (m_hWnd) AdjustSize();
  if (captions) PutBackCaptionButtons();
  return TRUE;
}

BOOL CTKMenuBar::LoadState(const char* profile, int index, UINT) {
  const CString path = MenuStateKey(profile);
  HMENU current = m_hMenu;
  const BOOL captions = TakeOffCaptionButtons();
  for (const TemplateMenu& menu : StoredMenus()) {
    const UINT resourceId = ResourceIdOf(menu);
    SetOriginalItemsFrom(resourceId);
    if (CTKToolBar::LoadState(path, index, menu.resourceId)) {
      SaveListOf(menu.menu);
    } else if (m_pParentFrame && m_pParentFrame->m_hWnd) {
      // Nothing kept (or unreadable): the menu's own items, and the frame may make its
      // changes to them again.
      m_hMenu = nullptr;
      CreateFromMenu(menu.menu, menu.menu == m_hDefaultMenu, FALSE);
      m_pParentFrame->SendMessage(s_resetMenuMessage, resourceId);
      SaveListOf(menu.menu);
    }
  }
  m_hMenu = current ? current : m_hDefaultMenu;
  if (m_hMenu) LoadListOf(m_hMenu);
  if (m_hWnd) AdjustSize();
  RebuildAccelerationKeys();
  if (captions) PutBackCaptionButtons();
  return TRUE;
}

HMENU CTKMenuBar::ReloadMenu(HMENU old, UINT resourceId, BOOL defaultMenu) {
  HMENU fresh = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId));
  if (!fresh) return nullptr;
  if (defaultMenu) OnDefaultMenuLoaded(fresh);
  m_hMenu = nullptr;
  CreateFromMenu(fresh, defaultMenu, FALSE);
  SaveListOf(fresh);
  if (old) {
    MenuButtonStore::Instance().Forget(old);
    if (::IsMenu(old)) ::DestroyMenu(old);
  }
  return fresh;
}

BOOL CTKMenuBar::RestoreDefaultMenu() {
  if (!m_uiDefMenuResId) return FALSE;
  HMENU fresh = ReloadMenu(m_hDefaultMenu, m_uiDefMenuResId, TRUE);
  if (!fresh) return FALSE;
  m_hDefaultMenu = fresh;
  return TRUE;
}

BOOL CTKMenuBar::RestoreOriginalState() {
  HMENU current = m_hMenu;
  if (current) {
    SaveListOf(current);
    if (g_pTearOffManager) g_pTearOffManager->ReleaseIds(current);
  }
  const BOOL captions = TakeOffCaptionButtons();
  // The kind of the active document window: its menu is the one to show.
  auto* mdi = dynamic_cast<CMDIFrameWnd*>(m_pParentFrame);
  CMDIChildWnd* activeChild = mdi && mdi->m_hWnd ? mdi->MDIGetActive() : nullptr;
  CDocument* activeDoc = activeChild ? activeChild->GetActiveDocument() : nullptr;
  CDocTemplate* activeTemplate = activeDoc ? activeDoc->GetDocTemplate() : nullptr;
  HMENU show = nullptr;
  BOOL reloaded = FALSE;
  // Every kind's menu from its resource, its windows given the new one.
  CWinApp* app = AfxGetApp();
  CDocManager* manager = app ? app->m_pDocManager : nullptr;
  for (int i = 0; manager && i < manager->GetTemplateCount(); ++i) {
    auto* docTemplate = dynamic_cast<CMultiDocTemplate*>(manager->GetTemplate(i));
    if (!docTemplate || !docTemplate->m_hMenuShared) continue;
    HMENU old = docTemplate->m_hMenuShared;
    HMENU fresh = ReloadMenu(nullptr, docTemplate->GetResourceId(), FALSE);
    if (!fresh) continue;
    reloaded = TRUE;
    docTemplate->m_hMenuShared = fresh;
    for (int d = 0; d < docTemplate->GetDocumentCount(); ++d) {
      CDocument* doc = docTemplate->GetDocument(d);
      for (int v = 0; doc && v < doc->GetViewCount(); ++v)
        if (auto* child = dynamic_cast<CMDIChildWnd*>(doc->GetView(v)->GetParentFrame());
            child && child->m_hMenuShared == old) {
          child->m_hMenuShared = fresh;
          child->m_hAccelTable = docTemplate->m_hAccelTable;
        }
    }
    MenuButtonStore::Instance().Forget(old);
    ::DestroyMenu(old);
    if (docTemplate == activeTemplate) show = fresh;
  }
  // The frame's own menu, shown when no kind's menu is.
  if (RestoreDefaultMenu()) reloaded = TRUE;
  if (!show) show = current && !reloaded ? current : m_hDefaultMenu;
  m_hMenu = show;
  if (show) LoadListOf(show);
  RebuildAccelerationKeys();
  if (m_hWnd) AdjustSize();
  if (m_pParentFrame && m_pParentFrame->m_hWnd) m_pParentFrame->RecalcLayout();
  if (m_hWnd) Invalidate();
  if (mdi && mdi->m_hWnd && show != m_hDefaultMenu) mdi->OnUpdateFrameMenu(show);
  if (captions) PutBackCaptionButtons();
  return reloaded;
}
