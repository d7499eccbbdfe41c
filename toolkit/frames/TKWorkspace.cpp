#include "toolkit/frames/TKWorkspace.h"

#include "toolkit/bars/TKContextMenuManager.h"
#include "toolkit/bars/TKMouseManager.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/bars/TKToolbarImageList.h"

#include "toolkit/frames/FrameHelper.h"
#include "toolkit/frames/RebarState.h"
#include "toolkit/frames/ShellManager.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKPopupMenuBase.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKSizingControlBar.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TearOffManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {
CTKWorkspace* g_workspace = nullptr;
// The version this toolkit writes its state as: 6.50.
constexpr int kMajor = 6;
constexpr int kMinor = 50;
}  // namespace

CTKWorkspace* CurrentWorkspace() { return g_workspace; }

// A bar takes part in the owner frame's state when the workspace saves every frame's
// bars, or when the bar docks in that frame.
static bool PassesFrameTest(const CControlBar* bar, const CFrameWnd* owner, BOOL ownFrameOnly) {
  return !ownFrameOnly || (owner && bar->GetDockingFrame() == owner);
}

// The toolbars whose state the workspace keeps: shown, of the frame when it keeps only
// its own, with the shared images, and not made by the user (the frame keeps those).
static bool KeepsToolbarState(CTKToolBar* bar, const CFrameWnd* owner, BOOL ownFrameOnly,
                              FrameHelper* helper) {
  return bar->m_hWnd && PassesFrameTest(bar, owner, ownFrameOnly) && !bar->IsLocked() &&
         !helper->IsUserBarId(bar);
}

CTKWorkspace::CTKWorkspace(BOOL resourceUpdate) : m_resourceUpdate(resourceUpdate) { g_workspace = this; }

CTKWorkspace::~CTKWorkspace() {
  if (g_workspace == this) g_workspace = nullptr;
  if (m_createdKeyboard) {
    delete g_pKeyboardManager;
    g_pKeyboardManager = nullptr;
  }
  // Each of these clears its process-wide pointer itself.
  if (m_createdContextMenu) delete GetContextMenuManager();
  if (m_createdMouse) delete g_pMouseManager;
  if (m_createdUserTools) {
    delete g_pUserToolsManager;
    g_pUserToolsManager = nullptr;
  }
  if (m_createdTearOff) {
    delete g_pTearOffManager;
    g_pTearOffManager = nullptr;
  }
  if (m_createdShell) delete g_pShellManager;
}

const CString& CTKWorkspace::SetStateKeyName(const char* name) {
  m_registryBase = name;
  return m_registryBase;
}

CString CTKWorkspace::GetSectionPath(const char* addition) const {
  CString path = GetRegistryPath(m_registryBase);
  if (addition && *addition) {
    path += addition;
    path += "\\";
  }
  return path;
}

int CTKWorkspace::StoredVersion() const {
  if (m_savedMajor == -1 || m_savedMinor == -1) return -1;
  int minor = m_savedMinor < 10 ? m_savedMinor * 256 : (m_savedMinor / 10) * 256 + (m_savedMinor % 10) * 16;
  return (m_savedMajor << 16) + minor;
}

BOOL CTKWorkspace::InitKeyboardManager() {
  if (g_pKeyboardManager) return FALSE;
  g_pKeyboardManager = new CTKKeyboardManager;
  m_createdKeyboard = TRUE;
  return TRUE;
}

BOOL CTKWorkspace::CreateContextMenuManager() {
  if (GetContextMenuManager()) return FALSE;
  new CTKContextMenuManager;
  m_createdContextMenu = TRUE;
  return TRUE;
}

BOOL CTKWorkspace::CreateShellManager() {
  if (g_pShellManager) return FALSE;
  new ShellManager;
  m_createdShell = TRUE;
  return TRUE;
}

CString CTKWorkspace::HelpFilePath() { return AfxGetHelpFilePath(); }

BOOL CTKWorkspace::ShowContextHelp(CWnd* window, const void* helpData) {
  return AfxCallWinHelp(window ? window->m_hWnd : nullptr, HelpFilePath(), HELP_CONTEXTMENU,
                        reinterpret_cast<ULONG_PTR>(helpData));
}

BOOL CTKWorkspace::InitMouseManager() {
  if (g_pMouseManager) return FALSE;
  new CTKMouseManager;
  m_createdMouse = TRUE;
  return TRUE;
}

BOOL CTKWorkspace::InitUserToolsManager(UINT listCommand, UINT firstId, UINT lastId) {
  if (g_pUserToolsManager) return FALSE;
  g_pUserToolsManager = new CTKUserToolsManager(listCommand, firstId, lastId);
  m_createdUserTools = TRUE;
  return TRUE;
}

BOOL CTKWorkspace::InitTearOffManager(UINT firstId, UINT lastId) {
  if (g_pTearOffManager) return FALSE;
  g_pTearOffManager = new TearOffManager;
  g_pTearOffManager->SetRange(firstId, lastId);
  m_createdTearOff = TRUE;
  return TRUE;
}

BOOL CTKWorkspace::OnViewDoubleClick(CWnd* window, int viewId) {
  if (!g_pMouseManager) return FALSE;
  const UINT command = g_pMouseManager->GetViewDblClickCommand(viewId);
  if (command == 0 || command == static_cast<UINT>(-1)) {
    ::MessageBeep(static_cast<UINT>(-1));
    return FALSE;
  }
  if (g_pUserToolsManager && g_pUserToolsManager->RunToolCommand(command)) return TRUE;
  // The frame the view's menus report to (the main window's without a view).
  CFrameWnd* frame = CTKPopupMenu::FrameOf(window);
  if (frame && frame->m_hWnd) frame->SendMessage(WM_COMMAND, command);
  return TRUE;
}

BOOL CTKWorkspace::ShowPopupMenu(UINT menuId, const POINT& point, CWnd* owner) {
  CTKContextMenuManager* menus = GetContextMenuManager();
  return menus && menus->ShowPopupMenu(menuId, point.x, point.y, owner);
}

BOOL CTKWorkspace::LoadState(const char* section, FrameHelper* helper) {
  if (section) m_registryBase = section;
  CString base = GetSectionPath("");
  BeforeLoadState();
  {
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
    if (reg.Open(GetSectionPath("TKVersion"))) {
      DWORD value;
      if (reg.ReadDword("Major", value)) m_savedMajor = static_cast<int>(value);
      if (reg.ReadDword("Minor", value)) m_savedMinor = static_cast<int>(value);
    }
  }
  CTKToolBar::LoadParameters(base);
  GetCommandManager()->LoadState(base);
  // After an update of the resources, the images stored buttons bring are not taken as
  // their commands' images: the commands keep the ones the new resources give them.
  if (m_resourceUpdate) CTKToolbarButton::s_registerImages = FALSE;
  CFrameWnd* owner = helper ? helper->GetOwnerFrame() : nullptr;
  BOOL someBarReset = FALSE;
  if (helper) {
    LoadRebarState(base, owner);
    for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos;) {
      CTKToolBar* bar = CTKToolBar::GetAllToolbars().GetNext(pos);
      if (!KeepsToolbarState(bar, owner, m_ownFrameOnly, helper)) continue;
      bar->LoadState(base);
      if (bar->IsResourceChanged()) someBarReset = TRUE;
    }
    // The sizing bars' sizes first, then where the bars dock.
    CString sizingBars = m_registryBase + "\\SizingBars";
    auto& bars = CTKSizingControlBar::AllBars();
    for (int i = 0; i < bars.GetSize(); ++i)
      if (bars[i]->m_hWnd && PassesFrameTest(bars[i], owner, m_ownFrameOnly))
        bars[i]->ReadStoredState(sizingBars);
    helper->LoadUserBars();
    helper->LoadTearOffBars();
    CDockState state;
    if (owner && state.LoadState(m_registryBase + "\\ControlBars") &&
        (m_forceDockLayout || helper->IsDockStateValid(state)))
      owner->SetDockState(state);
  }
  if (g_pMouseManager) g_pMouseManager->LoadState(base);
  if (CTKContextMenuManager* menus = GetContextMenuManager()) menus->LoadState(base);
  if (g_pKeyboardManager) g_pKeyboardManager->LoadState(base, owner);
  if (g_pUserToolsManager) g_pUserToolsManager->LoadState(base);
  if (m_resourceUpdate) CTKToolbarButton::s_registerImages = TRUE;
  if (m_forceRelayout || (m_resourceUpdate && someBarReset)) {
    for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos;)
      if (CTKToolBar* bar = CTKToolBar::GetAllToolbars().GetNext(pos); bar->m_hWnd) bar->AdjustLayout();
    if (owner && owner->m_hWnd) owner->RecalcLayout();
  }
  AfterLoadState();
  m_savedMajor = kMajor;
  m_savedMinor = kMinor;
  return TRUE;
}

BOOL CTKWorkspace::SaveState(const char* section, FrameHelper* helper) {
  if (!m_savingEnabled) return FALSE;
  if (section) m_registryBase = section;
  CString base = GetSectionPath("");
  BeforeSaveState();
  {
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
    if (reg.CreateKey(GetSectionPath("TKVersion"))) {
      reg.WriteInt("Major", kMajor);
      reg.WriteInt("Minor", kMinor);
    }
  }
  CTKToolBar::SaveParameters(base);
  GetCommandManager()->SaveState(base);
  CFrameWnd* owner = helper ? helper->GetOwnerFrame() : nullptr;
  if (helper) {
    if (owner) {
      CDockState state;
      owner->GetDockState(state);
      state.SaveState(m_registryBase + "\\ControlBars");
    }
    for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos;) {
      CTKToolBar* bar = CTKToolBar::GetAllToolbars().GetNext(pos);
      if (KeepsToolbarState(bar, owner, m_ownFrameOnly, helper)) bar->SaveState(base);
    }
    CString sizingBars = m_registryBase + "\\SizingBars";
    auto& bars = CTKSizingControlBar::AllBars();
    for (int i = 0; i < bars.GetSize(); ++i)
      if (bars[i]->m_hWnd && PassesFrameTest(bars[i], owner, m_ownFrameOnly))
        bars[i]->WriteStoredState(sizingBars);
    helper->SaveUserBars(m_ownFrameOnly);
    helper->SaveTearOffBars(m_ownFrameOnly);
    SaveRebarState(base, owner);
  }
  // The images the user drew go back to their file.
  if (CTKToolbarImageList* userImages = CTKToolBar::GetUserImages()) userImages->Save();
  if (g_pMouseManager) g_pMouseManager->SaveState(base);
  if (CTKContextMenuManager* menus = GetContextMenuManager()) menus->SaveState(base);
  if (g_pKeyboardManager) g_pKeyboardManager->SaveState(base, owner);
  if (g_pUserToolsManager) g_pUserToolsManager->SaveState(base);
  AfterSaveState();
  return TRUE;
}

BOOL CTKWorkspace::CleanState(const char* section) {
  if (section) m_registryBase = section;
  RegistryHolder holder;
  return holder.Obtain(FALSE, FALSE).DeleteKey(GetSectionPath(""), FALSE);
}

BOOL CTKWorkspace::LoadWindowPlacement(RECT& rect, int& flags, int& showCmd) {
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
  if (!reg.Open(GetSectionPath("WindowPlacement"))) return FALSE;
  DWORD storedFlags = 0, storedShow = 0;
  if (!reg.ReadRect("MainWindowRect", rect)) return FALSE;
  if (!reg.ReadDword("Flags", storedFlags)) return FALSE;
  flags = static_cast<int>(storedFlags);
  if (!reg.ReadDword("ShowCmd", storedShow)) return FALSE;
  showCmd = static_cast<int>(storedShow);
  return TRUE;
}

BOOL CTKWorkspace::StoreWindowPlacement(const RECT& rect, int flags, int showCmd) {
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  if (!reg.CreateKey(GetSectionPath("WindowPlacement"))) return FALSE;
  return reg.WriteRect("MainWindowRect", rect) && reg.WriteInt("Flags", flags) &&
         reg.WriteInt("ShowCmd", showCmd);
}
