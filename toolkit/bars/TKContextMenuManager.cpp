#include "toolkit/bars/TKContextMenuManager.h"

#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKPopupMenuBar.h"
#include "toolkit/frames/TKDialog.h"
#include "toolkit/frames/TKPropertyPage.h"
#include "toolkit/frames/TKRegistry.h"

CTKContextMenuManager* CTKContextMenuManager::s_pInstance = nullptr;

namespace {

// An invisible window for the temporary menu bar that loads or saves a menu's items:
// a bar keeps its state only while it has a window.
class HiddenBarHost : public CWnd {
public:
  BOOL Make() { return CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr); }
};

// Walks the registered menus, each on a temporary bar of its own: step gets the menu's
// id, its popup and the bar. A bar that cannot be made, or a step that fails, ends the
// walk with FALSE.
template <class Step>
BOOL WithEachMenuOnABar(const CMap<UINT, UINT, HMENU, HMENU>& menus, Step step) {
  HiddenBarHost host;
  if (!host.Make()) return FALSE;
  BOOL ok = TRUE;
  for (POSITION pos = menus.GetStartPosition(); pos && ok;) {
    UINT id;
    HMENU menu;
    menus.GetNextAssoc(pos, id, menu);
    CTKPopupMenuBar bar;
    ok = bar.CreateEx(&host, 0, WS_CHILD, CRect(0, 0, 0, 0), 1) && step(id, ::GetSubMenu(menu, 0), bar);
    if (bar.m_hWnd) bar.DestroyWindow();
  }
  host.DestroyWindow();
  return ok;
}

CWnd* DialogLikeOwner(CWnd* owner) {
  if (!owner) return nullptr;
  if (dynamic_cast<CTKDialog*>(owner) || dynamic_cast<CTKPropertyPage*>(owner)) return owner;
  return nullptr;
}

void SetOpenMenuOf(CWnd* owner, CTKPopupMenu* popup) {
  if (auto* dialog = dynamic_cast<CTKDialog*>(owner))
    dialog->SetOpenMenu(popup);
  else if (auto* page = dynamic_cast<CTKPropertyPage*>(owner))
    page->SetOpenMenu(popup);
}

// The program's own pre-translation; without an application object, each window
// from the target up is offered the message as the application would.
BOOL PreTranslated(CWinApp* app, MSG* msg) {
  if (app) return app->PreTranslateMessage(msg);
  for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd))
    if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd))
      if (wnd->PreTranslateMessage(msg)) return TRUE;
  return FALSE;
}

}  // namespace

CTKContextMenuManager::CTKContextMenuManager() {
  m_Menus.InitHashTable(17);
  m_MenuNames.InitHashTable(17);
  s_pInstance = this;
}

CTKContextMenuManager::~CTKContextMenuManager() {
  for (POSITION pos = m_Menus.GetStartPosition(); pos;) {
    UINT id;
    HMENU menu;
    m_Menus.GetNextAssoc(pos, id, menu);
    if (menu && ::IsMenu(menu)) ::DestroyMenu(menu);
  }
  if (s_pInstance == this) s_pInstance = nullptr;
}

BOOL CTKContextMenuManager::AddMenu(const char* name, UINT resourceId) {
  HMENU menu = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId));
  if (!menu) return FALSE;
  HMENU previous = nullptr;
  if (m_Menus.Lookup(resourceId, previous)) {
    for (POSITION pos = m_MenuNames.GetStartPosition(); pos;) {
      CString key;
      HMENU value;
      m_MenuNames.GetNextAssoc(pos, key, value);
      if (value == previous) {
        m_MenuNames.RemoveKey(key);
        break;
      }
    }
    if (::IsMenu(previous)) ::DestroyMenu(previous);
  }
  m_Menus.SetAt(resourceId, menu);
  m_MenuNames.SetAt(name ? name : "", menu);
  return TRUE;
}

HMENU CTKContextMenuManager::GetMenuById(UINT id) const {
  HMENU menu = nullptr;
  return m_Menus.Lookup(id, menu) ? menu : nullptr;
}

HMENU CTKContextMenuManager::GetMenuByName(const char* name, UINT* id) const {
  HMENU menu = nullptr;
  if (!name || !m_MenuNames.Lookup(name, menu)) return nullptr;
  if (id) {
    for (POSITION pos = m_Menus.GetStartPosition(); pos;) {
      UINT key;
      HMENU value;
      m_Menus.GetNextAssoc(pos, key, value);
      if (value == menu) *id = key;
    }
  }
  return menu;
}

void CTKContextMenuManager::GetMenuNames(CStringList& names) const {
  names.RemoveAll();
  for (POSITION pos = m_MenuNames.GetStartPosition(); pos;) {
    CString key;
    HMENU value;
    m_MenuNames.GetNextAssoc(pos, key, value);
    names.AddTail(key);
  }
}

BOOL CTKContextMenuManager::ShowPopupMenu(UINT id, int x, int y, CWnd* owner, BOOL ownMessage,
                                          BOOL rightAlign) {
  HMENU menu = GetMenuById(id);
  if (!menu) return FALSE;
  if (x == -1 && y == -1 && owner && owner->m_hWnd) {
    POINT origin{0, 0};
    ::ClientToScreen(owner->m_hWnd, &origin);
    x = origin.x + 5;
    y = origin.y + 5;
  }
  HMENU popup = ::GetSubMenu(menu, 0);
  if (!popup) return FALSE;
  return ShowPopupMenu(popup, x, y, owner, ownMessage, FALSE, rightAlign) != nullptr;
}

CTKPopupMenu* CTKContextMenuManager::ShowPopupMenu(HMENU menu, int x, int y, CWnd* owner, BOOL ownMessage,
                                                   BOOL autoDestroy, BOOL rightAlign) {
  if (!menu) return nullptr;
  // A dialog or a property page has no frame to route commands through: it must take
  // them itself.
  if (DialogLikeOwner(owner) && !ownMessage) return nullptr;
  if (m_bTrackMode) {
    ownMessage = TRUE;
  } else if (!ownMessage && owner && owner->m_hWnd) {
    HWND top = owner->m_hWnd;
    while ((::GetWindowLongA(top, GWL_STYLE) & WS_CHILD) && ::GetParent(top)) top = ::GetParent(top);
    owner = CWnd::FromHandle(top);
  }
  if (CTKPopupMenu* open = CTKPopupMenu::GetActiveMenu()) {
    CTKPopupMenu* outermost = open->GetOutermost();
    if (outermost && outermost->m_hWnd) outermost->SendMessage(WM_CLOSE);
    CTKPopupMenu::DeleteClosedMenus();
  }
  auto* popup = new CTKPopupMenu;
  // Without autoDestroy (the manager's own menus) the menu stays when the popup closes.
  popup->SetAutoDestroyMenu(autoDestroy);
  popup->SetRightAlign(rightAlign);
  popup->GetMenuBar()->m_bTrackMode = m_bTrackMode;
  // A failed creation deletes the popup itself.
  if (!popup->Create(owner, x, y, menu, FALSE, ownMessage)) return nullptr;
  return popup;
}

UINT CTKContextMenuManager::TrackPopupMenu(HMENU menu, int x, int y, CWnd* owner, BOOL rightAlign) {
  m_nLastCommandId = 0;
  CWinApp* app = AfxGetApp();
  if (!owner) owner = AfxGetMainWnd();
  if (!owner || !owner->m_hWnd) return 0;
  const HWND ownerWindow = owner->m_hWnd;
  // The idle handler may drop temporary window objects: keep what is needed after it.
  CWnd* dialogOwner = DialogLikeOwner(owner);
  m_bTrackMode = TRUE;
  // The owner's handlers enable the items; the command chosen is posted to the owner,
  // where it is taken back below instead of being carried out.
  CTKPopupMenu* popup = ShowPopupMenu(menu, x, y, owner, TRUE, FALSE, rightAlign);
  if (popup) SetOpenMenuOf(dialogOwner, popup);
  m_bTrackMode = FALSE;
  if (!popup) return 0;
  const HWND popupWindow = popup->m_hWnd;
  BOOL quit = FALSE;
  while (::IsWindow(popupWindow)) {
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (app) app->OnIdle(0);
      if (::IsWindow(popupWindow)) ::WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      // The quit belongs to the program's own loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      quit = TRUE;
      ::SendMessageA(popupWindow, WM_CLOSE, 0, 0);
      break;
    }
    if (!PreTranslated(app, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  SetOpenMenuOf(dialogOwner, nullptr);
  // The chosen command was posted to the owner just before the popup went.
  MSG msg;
  if (!quit && ::PeekMessageA(&msg, ownerWindow, WM_COMMAND, WM_COMMAND, PM_NOREMOVE) && msg.lParam == 0) {
    ::PeekMessageA(&msg, ownerWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE);
    m_nLastCommandId = LOWORD(msg.wParam);
  }
  CTKPopupMenu::DeleteClosedMenus();
  return m_nLastCommandId;
}

CString CTKContextMenuManager::RegistryPath(const char* profile) const {
  return GetRegistryPath("TKContextMenuManager", profile);
}

BOOL CTKContextMenuManager::LoadState(const char* profile) {
  const CString path = RegistryPath(profile);
  return WithEachMenuOnABar(m_Menus, [&](UINT id, HMENU popup, CTKPopupMenuBar& bar) {
    if (!bar.ImportFromMenu(popup, TRUE)) return FALSE;
    if (bar.LoadState(path, static_cast<int>(id))) ToolbarButtonsArchive(bar).SaveTo(popup);
    return TRUE;
  });
}

BOOL CTKContextMenuManager::SaveState(const char* profile) {
  const CString path = RegistryPath(profile);
  return WithEachMenuOnABar(m_Menus, [&](UINT id, HMENU popup, CTKPopupMenuBar& bar) {
    // The customised items when the menu was changed, else the menu's own.
    if (!ToolbarButtonsArchive(bar).LoadFrom(popup)) bar.ImportFromMenu(popup, TRUE);
    return bar.SaveState(path, static_cast<int>(id));
  });
}
