#include "toolkit/frames/FrameHelper.h"

#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKBaseControlBar.h"
#include "toolkit/frames/TKFrameSite.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKFramesText.h"
#include "toolkit/frames/TKPopupMenuBase.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

namespace {
CTKBaseControlBar* NewToolkitToolBar() { return new CTKToolBar; }
// The window of the library's active frame (a handle: the frame may go first).
HWND g_activeFrame = nullptr;
}  // namespace

CTKBaseControlBar* (*FrameHelper::s_pfnNewToolBar)() = NewToolkitToolBar;
UINT FrameHelper::s_createToolbarMessage = 0;
UINT FrameHelper::s_deleteToolbarMessage = 0;

FrameHelper::FrameHelper(CFrameWnd* frame) : m_pFrame(frame) {
  if (!s_deleteToolbarMessage) s_deleteToolbarMessage = ::RegisterWindowMessageA("TKTOOLBAR_DELETE");
  if (!s_createToolbarMessage) s_createToolbarMessage = ::RegisterWindowMessageA("TKTOOLBAR_CREATE");
}

FrameHelper::~FrameHelper() {
  while (!m_userBars.IsEmpty()) DestroyBar(m_userBars.RemoveHead());
  while (!m_tearOffBars.IsEmpty()) DestroyBar(m_tearOffBars.RemoveHead());
}

void FrameHelper::DestroyBar(CWnd* bar) {
  if (!bar) return;
  if (bar->m_hWnd) bar->DestroyWindow();
  delete bar;
}

void FrameHelper::AttachMenuBar(CWnd* menuBar) {
  m_pMenuBar = menuBar;
  if (!m_pFrame || !m_pFrame->m_hWnd) return;
  m_hDefaultMenu = ::GetMenu(m_pFrame->m_hWnd);
  // The frame keeps the menu alive for the menu bar but no longer shows it.
  ::SetMenu(m_pFrame->m_hWnd, nullptr);
}

BOOL FrameHelper::IsUserBarId(CWnd* bar) const {
  if (!bar || !bar->m_hWnd || m_firstUserBarId < 0) return FALSE;
  int id = bar->GetDlgCtrlID();
  return id >= m_firstUserBarId && id <= m_lastUserBarId;
}

int FrameHelper::FirstFreeUserBarId() const {
  if (m_firstUserBarId < 0) return -1;
  for (int id = m_firstUserBarId; id <= m_lastUserBarId; ++id) {
    bool used = false;
    for (POSITION pos = m_userBars.GetHeadPosition(); pos && !used;) {
      CWnd* bar = m_userBars.GetNext(pos);
      used = bar && bar->m_hWnd && bar->GetDlgCtrlID() == id;
    }
    if (!used) return id;
  }
  return -1;
}

void FrameHelper::ForgetTearOffBar(CWnd* bar) {
  for (POSITION pos = m_tearOffBars.GetHeadPosition(); pos;) {
    POSITION at = pos;
    if (m_tearOffBars.GetNext(pos) == bar) {
      m_tearOffBars.RemoveAt(at);
      return;
    }
  }
}

namespace {
RECT WorkAreaNear(POINT point) {
  RECT work{};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  HMONITOR monitor = ::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
  if (monitor && ::GetMonitorInfoA(monitor, &info)) return info.rcWork;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}
}  // namespace

void FrameHelper::ApplyStoredPlacement(CREATESTRUCTA& cs) {
  CTKWorkspace* workspace = CurrentWorkspace();
  if (!workspace) return;
  RECT rect{cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
  int flags = 0;
  int showCmd = SW_SHOWNORMAL;
  if (!workspace->LoadWindowPlacement(rect, flags, showCmd)) return;
  if (showCmd != SW_SHOWMAXIMIZED) showCmd = SW_SHOWNORMAL;
  CWinApp* app = AfxGetApp();
  if (app) {
    int current = app->m_nCmdShow;
    // A start minimised or maximised by the caller wins over the stored show command.
    if (current != SW_SHOWMINIMIZED && current != SW_SHOWMAXIMIZED && current != SW_MINIMIZE &&
        current != SW_SHOWMINNOACTIVE)
      app->m_nCmdShow = showCmd;
  }
  RECT work = WorkAreaNear(POINT{rect.left, rect.top});
  RECT common{};
  if (::IntersectRect(&common, &rect, &work)) {
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
  }
}

void FrameHelper::OnClosingFrame() {
  for (POSITION pos = m_tearOffBars.GetHeadPosition(); pos;) {
    POSITION at = pos;
    CWnd* bar = m_tearOffBars.GetNext(pos);
    if (bar && bar->m_hWnd && !bar->IsWindowVisible()) {
      m_tearOffBars.RemoveAt(at);
      DestroyBar(bar);
    }
  }
  CTKWorkspace* workspace = CurrentWorkspace();
  if (!workspace || !m_pFrame || !m_pFrame->m_hWnd) return;
  workspace->SaveStateOfFrame(this);
  // The stored placement is the main window's: a frame shown inside another window
  // (an object's in-place frame) would put its own child rectangle there.
  if (::GetWindowLongA(m_pFrame->m_hWnd, GWL_STYLE) & WS_CHILD) return;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!::GetWindowPlacement(m_pFrame->m_hWnd, &placement)) return;
  int showCmd = placement.showCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  // The normal position is in work-area coordinates; the stored one is the screen's.
  RECT work = WorkAreaNear(POINT{placement.rcNormalPosition.left, placement.rcNormalPosition.top});
  RECT rect = placement.rcNormalPosition;
  ::OffsetRect(&rect, work.left, work.top);
  workspace->StoreWindowPlacement(rect, static_cast<int>(placement.flags), showCmd);
}

BOOL FrameHelper::IsDockStateValid(const CDockState& state) const {
  if (!m_pFrame) return FALSE;
  for (int i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
    const CControlBarInfo info = state.m_arrBarInfo[i];
    if (info.m_nDockBarID == AFX_IDW_DOCKBAR_FLOAT) continue;
    if (!m_pFrame->GetControlBar(info.m_nBarID)) return FALSE;
  }
  return TRUE;
}

namespace {
constexpr DWORD kToolBarStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_HIDE_INPLACE;

// A bar as the registry's archived objects see it.
class ArchivedBar : public CObject {
public:
  explicit ArchivedBar(CTKBaseControlBar* bar) : m_bar(bar) {}
  void Serialize(CArchive& ar) override {
    if (auto* toolBar = dynamic_cast<CTKToolBar*>(m_bar))
      toolBar->Serialize(ar);
    else
      m_bar->SerializeBar(ar);
  }

private:
  CTKBaseControlBar* m_bar;
};
}  // namespace

// The toolkit's toolbars make their window with their own creation; other bars
// through the hook.
static BOOL CreateToolBarWindow(CTKBaseControlBar* bar, CFrameWnd* frame, UINT id) {
  if (auto* toolBar = dynamic_cast<CTKToolBar*>(bar)) return toolBar->Create(frame, kToolBarStyle, id);
  return bar->CreateBar(frame, kToolBarStyle, id);
}

CTKBaseControlBar* FrameHelper::MakeToolBar(UINT id, const char* name) {
  if (!s_pfnNewToolBar || !m_pFrame || !m_pFrame->m_hWnd) return nullptr;
  CTKBaseControlBar* bar = s_pfnNewToolBar();
  if (!bar) return nullptr;
  if (!CreateToolBarWindow(bar, m_pFrame, id)) {
    DestroyBar(bar);
    return nullptr;
  }
  bar->SetWindowText(name);
  bar->SetBarStyle(bar->m_dwStyle | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
  bar->EnableDocking(CBRS_ALIGN_ANY);
  return bar;
}

CTKBaseControlBar* FrameHelper::CreateUserBar(const char* name) {
  if (m_firstUserBarId < 0 || !m_pFrame) return nullptr;
  const int id = FirstFreeUserBarId();
  if (id < 0) {
    char format[128];
    CString text;
    text.Format(tk_frames_text::TextOf(16243, format, sizeof format), m_lastUserBarId - m_firstUserBarId + 1);
    AfxMessageBox(text, MB_ICONINFORMATION);
    return nullptr;
  }
  CTKBaseControlBar* bar = MakeToolBar(static_cast<UINT>(id), name ? name : "");
  if (!bar) return nullptr;
  m_pFrame->FloatControlBar(
      bar, CPoint(::GetSystemMetrics(SM_CXFULLSCREEN) / 2, ::GetSystemMetrics(SM_CYFULLSCREEN) / 2),
      CBRS_ALIGN_TOP);
  m_pFrame->RecalcLayout();
  m_userBars.AddTail(bar);
  return bar;
}

void FrameHelper::LoadUserBars() {
  if (m_firstUserBarId < 0 || !m_pFrame) return;
  for (int id = m_firstUserBarId; id <= m_lastUserBarId; ++id) {
    CTKBaseControlBar* bar = MakeToolBar(static_cast<UINT>(id), "");
    if (!bar) return;
    if (!bar->LoadState(m_profileName)) {
      DestroyBar(bar);
      continue;
    }
    m_pFrame->DockControlBar(bar);
    m_userBars.AddTail(bar);
  }
}

void FrameHelper::SaveUserBars(BOOL ownFrameOnly) {
  for (POSITION pos = m_userBars.GetHeadPosition(); pos;) {
    auto* bar = dynamic_cast<CTKBaseControlBar*>(m_userBars.GetNext(pos));
    if (!bar || !bar->m_hWnd) continue;
    if (ownFrameOnly && bar->GetDockingFrame() != m_pFrame) continue;
    bar->SaveState(m_profileName);
  }
}

CString FrameHelper::TearOffPath() const {
  CTKWorkspace* workspace = CurrentWorkspace();
  CString path = workspace ? workspace->GetSectionPath("") : CString();
  path += "ControlBars-TearOff";
  return path;
}

BOOL FrameHelper::LoadTearOffBars() {
  while (!m_tearOffBars.IsEmpty()) DestroyBar(m_tearOffBars.RemoveHead());
  if (!m_pFrame || !s_pfnNewToolBar) return FALSE;
  const CString path = TearOffPath();
  for (int n = 0;; ++n) {
    CString key;
    key.Format("%s-%d", static_cast<const char*>(path), n);
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
    int id = 0;
    CString name;
    if (!reg.Open(key) || !reg.ReadInt("ID", id) || !reg.ReadString("Name", name)) break;
    CTKBaseControlBar* bar = s_pfnNewToolBar();
    if (!bar) break;
    ArchivedBar archived(bar);
    if (!reg.ReadObject("State", archived) || !CreateToolBarWindow(bar, m_pFrame, static_cast<UINT>(id))) {
      DestroyBar(bar);
      break;
    }
    bar->SetWindowText(name);
    bar->SetBarStyle(bar->m_dwStyle | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    bar->EnableDocking(CBRS_ALIGN_ANY);
    m_pFrame->DockControlBar(bar);
    m_tearOffBars.AddTail(bar);
  }
  return TRUE;
}

BOOL FrameHelper::SaveTearOffBars(BOOL ownFrameOnly) {
  const CString path = TearOffPath();
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  // The keys of the last save go first, so a closed bar leaves no key behind.
  for (int n = 0;; ++n) {
    CString key;
    key.Format("%s-%d", static_cast<const char*>(path), n);
    if (!reg.KeyExists(key)) break;
    reg.DeleteKey(key);
  }
  int n = 0;
  BOOL ok = TRUE;
  for (POSITION pos = m_tearOffBars.GetHeadPosition(); pos;) {
    auto* bar = dynamic_cast<CTKBaseControlBar*>(m_tearOffBars.GetNext(pos));
    if (!bar || !bar->m_hWnd) continue;
    if (ownFrameOnly && bar->GetDockingFrame() != m_pFrame) continue;
    CString key;
    key.Format("%s-%d", static_cast<const char*>(path), n++);
    CString name;
    bar->GetWindowText(name);
    ArchivedBar archived(bar);
    // A registry object opens one key at a time: each bar's key gets its own.
    RegistryHolder barHolder;
    CTKRegistry& barReg = barHolder.Obtain(FALSE, FALSE);
    ok = barReg.CreateKey(key) && barReg.WriteInt("ID", bar->GetDlgCtrlID()) &&
         barReg.WriteString("Name", name) && barReg.WriteObject("State", archived) && ok;
  }
  return ok;
}

// What every toolkit frame does alike --------------------------------------------------

BOOL CTKFrameSite::NotifyPopupMenuOpen(CWnd* popup) {
  CTKFrameWnd::SetOpenPopupMenu(popup);
  if (g_toolbarsCustomizing) return TRUE;
  const BOOL shown = OnMenuPopupShown(popup);
  if (auto* menu = dynamic_cast<CTKPopupMenuBase*>(popup);
      menu && GlobalData::Get().IsAccessibilitySupported())
    menu->CreateTempMenu();
  return shown;
}

BOOL CTKFrameSite::OnMenuPopupShown(CWnd* popup) {
  if (popup && popup->m_hWnd && GlobalData::Get().IsAccessibilitySupported())
    ::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, popup->m_hWnd, OBJID_WINDOW, CHILDID_SELF);
  return TRUE;
}

void CTKFrameSite::OnMenuPopupClosed(CWnd* popup) {
  if (popup && popup->m_hWnd && GlobalData::Get().IsAccessibilitySupported()) {
    ::NotifyWinEvent(EVENT_SYSTEM_MENUEND, popup->m_hWnd, OBJID_WINDOW, CHILDID_SELF);
    if (auto* menu = dynamic_cast<CTKPopupMenuBase*>(popup)) menu->DestroyTempMenu();
  }
  if (popup == CTKFrameWnd::OpenPopupMenu()) CTKFrameWnd::SetOpenPopupMenu(nullptr);
}

CControlBar* CTKFrameSite::OnTearOffMenu(CTKPopupMenu* popup) {
  auto* frame = dynamic_cast<CFrameWnd*>(this);
  CTKToolbarMenuButton* button = popup ? popup->GetParentButton() : nullptr;
  if (!frame || !button || !button->IsTearOffMenu()) return nullptr;
  CTKToolBar* bar = popup->CreateTearOffBar(frame, button->m_uiTearOffBarID, popup->TearOffTitle());
  if (bar) GetFrameHelper().RememberTearOffBar(bar);
  return bar;
}

LRESULT FrameHelper::OnCreateToolbarMessage(LPARAM lParam) {
  return reinterpret_cast<LRESULT>(CreateUserBar(reinterpret_cast<const char*>(lParam)));
}

BOOL FrameHelper::DeleteUserBar(CWnd* bar) {
  // Only a user-defined toolbar can be deleted: it leaves the list and goes.
  for (POSITION pos = m_userBars.GetHeadPosition(); pos;) {
    POSITION at = pos;
    if (m_userBars.GetNext(pos) != bar) continue;
    m_userBars.RemoveAt(at);
    if (auto* toolBar = dynamic_cast<CTKBaseControlBar*>(bar))
      toolBar->RemoveStateFromRegistry(m_profileName);
    if (bar->m_hWnd) bar->DestroyWindow();
    delete bar;
    if (m_pFrame) m_pFrame->RecalcLayout();
    return TRUE;
  }
  return FALSE;
}

void FrameHelper::OnFrameLoaded() {
  if (CTKWorkspace* workspace = CurrentWorkspace()) workspace->LoadState(nullptr, this);
}

BOOL FrameHelper::PreCommand(WPARAM wParam, BOOL* result) {
  *result = FALSE;
  if (g_toolbarsCustomizing) return TRUE;
  if (HIWORD(wParam) != 1) return FALSE;
  if (g_pCommandUsageCounter) g_pCommandUsageCounter->CountUse(LOWORD(wParam));
  CWnd* popup = CTKFrameWnd::OpenPopupMenu();
  if (popup && popup->m_hWnd) {
    ::SendMessageA(popup->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    *result = TRUE;
    return TRUE;
  }
  *result = m_pFrame && m_pFrame->m_hWnd && ::IsIconic(m_pFrame->m_hWnd);
  return *result;
}

BOOL FrameHelper::TakeMenuChar(UINT character) {
  return m_pFrame && CTKFrameWnd::ProcessMenuCharFor(m_pFrame, *this, character);
}

void FrameHelper::OnFrameActivate(UINT state) {
  if (state == WA_CLICKACTIVE && m_pFrame)
    m_pFrame->UpdateWindow();
  else if (state == WA_INACTIVE && !g_toolbarsCustomizing)
    CloseOpenPopup();
}

void FrameHelper::CloseOpenPopup() {
  CWnd* popup = CTKFrameWnd::OpenPopupMenu();
  if (popup && popup->m_hWnd) ::SendMessageA(popup->m_hWnd, WM_CLOSE, 0, 0);
}

void FrameHelper::UpdateOpenPopup(WPARAM disableIfNoHandler) {
  CWnd* popup = CTKFrameWnd::OpenPopupMenu();
  if (popup && popup->m_hWnd && ::IsWindowVisible(popup->m_hWnd))
    ::SendMessageA(popup->m_hWnd, WM_IDLEUPDATECMDUI, disableIfNoHandler, 0);
}

void FrameHelper::DestroyAccelerators() {
  if (!m_pFrame || !m_pFrame->m_hAccelTable) return;
  ::DestroyAcceleratorTable(m_pFrame->m_hAccelTable);
  m_pFrame->m_hAccelTable = nullptr;
}

CFrameWnd* FrameHelper::GetActiveFrame() {
  if (!g_activeFrame || !::IsWindow(g_activeFrame)) return nullptr;
  return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(g_activeFrame));
}

void FrameHelper::TakeActiveFrame(HWND* previous) {
  if (!m_pFrame || !m_pFrame->m_hWnd || g_activeFrame == m_pFrame->m_hWnd) return;
  *previous = g_activeFrame;
  g_activeFrame = m_pFrame->m_hWnd;
}

void FrameHelper::HandBackActiveFrame(HWND* previous) {
  if (!m_pFrame || !m_pFrame->m_hWnd || g_activeFrame != m_pFrame->m_hWnd) return;
  // The frame before takes the role back only while it is still a frame.
  const bool frameBefore =
      *previous && ::IsWindow(*previous) && dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(*previous));
  g_activeFrame = frameBefore ? *previous : nullptr;
  *previous = nullptr;
}

void FrameHelper::CancelMenuBarPopup() {
  if (m_pMenuBar && m_pMenuBar->m_hWnd) ::SendMessageA(m_pMenuBar->m_hWnd, WM_CANCELMODE, 0, 0);
}

void FrameHelper::OnInPlaceActivate(UINT state, HWND* previous) {
  if (state != WA_INACTIVE) {
    if (state == WA_CLICKACTIVE && m_pFrame) m_pFrame->UpdateWindow();
    TakeActiveFrame(previous);
    return;
  }
  CloseOpenPopup();
  if (!g_toolbarsCustomizing) CancelMenuBarPopup();
  HandBackActiveFrame(previous);
}

void FrameHelper::OnInPlaceDestroy(HWND* previous) {
  CloseOpenPopup();
  HandBackActiveFrame(previous);
  CancelMenuBarPopup();
  DestroyAccelerators();
}
