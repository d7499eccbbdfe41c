#include "toolkit/bars/TKPopupMenu.h"

#include "toolkit/bars/CustomizeButton.h"
#include "toolkit/bars/TKCustomizeMenuButton.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/frames/BackBuffer.h"
#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuButtonStore.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/MenuSound.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TKVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

CTKPopupMenu* CTKPopupMenu::s_pActivePopupMenu = nullptr;

namespace {

constexpr UINT kAnimationTimer = 1;
constexpr UINT kAnimationTick = 30;
constexpr UINT kScrollTimer = 2;
// The band at the top of a menu that can be torn off.
constexpr int kTearOffBandHeight = 10;
// The band's tool in its tooltip, and the tooltip's text.
constexpr UINT kTearOffToolId = 1;
constexpr UINT kTearOffTipString = 16028;
constexpr UINT kScrollInterval = 80;
// Popup windows kept hidden for reuse; a chain of sub-menus opens a few at once.
constexpr size_t kMaxSpareWindows = 4;
// A kept window and the owner it kept: the next popup of the same owner need not set
// it again (each change is a request to the window server).
// The kept window's items bar is kept with it, for the next popup's bar.
struct SpareWindow {
  HWND hwnd;
  HWND owner;
  HWND bar;
};
std::vector<SpareWindow> g_spareWindows;

// Registered once: loading the cursor asks the display server, and every popup asks
// for the class.
const char* PopupWindowClass() {
  static std::string name;
  if (name.empty())
    if (const char* registered = AfxRegisterWndClass(CS_SAVEBITS, ::LoadCursorA(nullptr, IDC_ARROW)))
      name = registered;
  return name.empty() ? nullptr : name.c_str();
}

// A kept window is ours while it still exists, has no object and is of our class.
// (A kept window keeps its owner, so it goes when its owner goes.)
SpareWindow TakeSpareWindow() {
  while (!g_spareWindows.empty()) {
    SpareWindow spare = g_spareWindows.back();
    g_spareWindows.pop_back();
    char name[64] = "";
    if (::IsWindow(spare.hwnd) && !CWnd::FromHandlePermanent(spare.hwnd) &&
        ::GetClassNameA(spare.hwnd, name, sizeof name) && lstrcmpA(name, PopupWindowClass()) == 0)
      return spare;
  }
  return SpareWindow{nullptr, nullptr, nullptr};
}

// Popups whose windows are gone, deleted outside their own message handlers.
std::vector<CTKPopupMenu*> g_closedMenus;
UINT_PTR g_deleteTimer = 0;

void CALLBACK DeleteClosedMenusLater(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  if (id == g_deleteTimer) g_deleteTimer = 0;
  CTKPopupMenu::DeleteClosedMenus();
}

void ScheduleDelete(CTKPopupMenu* popup) {
  for (CTKPopupMenu* closed : g_closedMenus)
    if (closed == popup) return;
  g_closedMenus.push_back(popup);
  if (!g_deleteTimer) g_deleteTimer = ::SetTimer(nullptr, 0, 0, DeleteClosedMenusLater);
}

// The picture the popups paint into, kept for the program's life.
BackBuffer& PopupBackBuffer() {
  static auto* kept = new BackBuffer;
  return *kept;
}

// The picture of the screen under the last closed popup, kept for the next one: a new
// picture maps fresh memory, and a picture selected into a DC for each use cost a DC
// and two selections (each asks the display driver about the DC's font) every time.
// 32-bit: unlike a bitmap compatible with the screen, making and selecting it does not
// ask the display server.
BackBuffer* g_spareScreenPicture = nullptr;

// A picture of at least cx by cy (its contents left from its last use).
BackBuffer* TakeScreenPicture(int cx, int cy) {
  BackBuffer* picture = g_spareScreenPicture ? g_spareScreenPicture : new BackBuffer;
  g_spareScreenPicture = nullptr;
  if (picture->Reserve(cx, cy)) return picture;
  delete picture;
  return nullptr;
}

// Keeps the larger of the given picture and the kept one.
void GiveBackScreenPicture(BackBuffer* picture) {
  if (!picture) return;
  BackBuffer*& kept = g_spareScreenPicture;
  if (kept && kept->Width() * kept->Height() >= picture->Width() * picture->Height()) {
    delete picture;
    return;
  }
  delete kept;
  kept = picture;
}

// The monitors and their work areas, looked up once instead of for every popup (each
// lookup asks the window server several times), and looked up again after a display
// or work-area change.
struct MonitorArea {
  RECT monitor;
  RECT work;
};
std::vector<MonitorArea> g_monitorAreas;

// A hidden window that hears of display and work-area changes for the popups: an open
// popup may not exist when they come, and a kept popup window has no object to hear them.
class DisplayChangeWatcher : public CWnd {
protected:
  void OnSettingChange(UINT flags, LPCSTR) {
    if (flags == SPI_SETWORKAREA || flags == 0) g_monitorAreas.clear();
  }
  LRESULT OnDisplayChange(WPARAM, LPARAM) {
    g_monitorAreas.clear();
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DisplayChangeWatcher, CWnd)
  ON_WM_SETTINGCHANGE()
  ON_MESSAGE(WM_DISPLAYCHANGE, OnDisplayChange)
END_MESSAGE_MAP()

BOOL CALLBACK AddMonitorArea(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoA(monitor, &info)) g_monitorAreas.push_back(MonitorArea{info.rcMonitor, info.rcWork});
  return TRUE;
}

// Distance from a point to a rectangle, squared (0 inside).
LONGLONG DistanceSquared(POINT point, const RECT& rect) {
  const LONGLONG dx = point.x < rect.left     ? rect.left - point.x
                      : point.x >= rect.right ? point.x - rect.right + 1
                                              : 0;
  const LONGLONG dy = point.y < rect.top       ? rect.top - point.y
                      : point.y >= rect.bottom ? point.y - rect.bottom + 1
                                               : 0;
  return dx * dx + dy * dy;
}

// The work area of the monitor nearest to the point.
RECT WorkAreaNear(POINT point) {
  static DisplayChangeWatcher* watcher = new DisplayChangeWatcher;
  if (!watcher->m_hWnd || !::IsWindow(watcher->m_hWnd)) {
    // Without a window to hear of changes, nothing is kept.
    g_monitorAreas.clear();
    if (watcher->m_hWnd) watcher->Detach();
    watcher->CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
  }
  if (g_monitorAreas.empty()) ::EnumDisplayMonitors(nullptr, nullptr, AddMonitorArea, 0);
  const MonitorArea* nearest = nullptr;
  LONGLONG best = 0;
  for (const MonitorArea& area : g_monitorAreas) {
    const LONGLONG distance = DistanceSquared(point, area.monitor);
    if (!nearest || distance < best) {
      nearest = &area;
      best = distance;
    }
  }
  RECT work{};
  if (nearest)
    work = nearest->work;
  else
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  if (!watcher->m_hWnd) g_monitorAreas.clear();
  return work;
}

}  // namespace

void CTKPopupMenu::DeleteClosedMenus() {
  std::vector<CTKPopupMenu*> closed;
  closed.swap(g_closedMenus);
  for (CTKPopupMenu* popup : closed) delete popup;
}

CTKPopupMenu::CTKPopupMenu() = default;

CTKPopupMenu::~CTKPopupMenu() {
  DestroyTempMenu();
  GiveBackScreenPicture(m_pScreenUnder);
  if (m_hMenu && m_bOwnsMenu && ::IsMenu(m_hMenu)) ::DestroyMenu(m_hMenu);
  if (s_pActivePopupMenu == this) s_pActivePopupMenu = nullptr;
}

const UINT CTKPopupMenu::s_accHitTestMessage = ::RegisterWindowMessageA("TKM_ACCHITTEST");
const UINT CTKPopupMenu::s_accGetStateMessage = ::RegisterWindowMessageA("TKM_ACCGETSTATE");
const UINT CTKPopupMenu::s_getObjectMessage = ::RegisterWindowMessageA("TKM_GETOBGECT");

BEGIN_MESSAGE_MAP(CTKPopupMenu, CTKPopupMenuBase)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_NCPAINT()
  ON_WM_MOUSEACTIVATE()
  ON_WM_KEYDOWN()
  ON_WM_TIMER()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_SIZE()
  ON_MESSAGE(WM_ACTIVATEAPP, OnActivateApp)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_REGISTERED_MESSAGE(CTKPopupMenu::s_accHitTestMessage, OnAccHitTest)
  ON_REGISTERED_MESSAGE(CTKPopupMenu::s_accGetStateMessage, OnAccGetState)
  ON_NOTIFY(TTN_GETDISPINFOA, kTearOffToolId, OnTearOffTipText)
  ON_NOTIFY(TTN_GETDISPINFOW, kTearOffToolId, OnTearOffTipText)
  ON_NOTIFY(TTN_SHOW, kTearOffToolId, OnTearOffTipShow)
  ON_NOTIFY(TTN_POP, kTearOffToolId, OnTearOffTipPop)
END_MESSAGE_MAP()

CFrameWnd* CTKPopupMenu::FrameOf(CWnd* window) {
  if (CFrameWnd* active = FrameHelper::GetActiveFrame()) return active;
  HWND hwnd = window ? window->m_hWnd : nullptr;
  for (HWND at = hwnd; at; at = ::GetWindow(at, GW_OWNER)) {
    HWND root = ::GetAncestor(at, GA_ROOT);
    if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(root))) return frame;
    if (!root) break;
    at = root;
  }
  return dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
}

BOOL CTKPopupMenu::ActivatePopupMenu(CFrameWnd* frame, CTKPopupMenu* popup) {
  s_pActivePopupMenu = popup;
  if (auto* toolkitFrame = CTKFrameSite::Of(frame)) return toolkitFrame->NotifyPopupMenuOpen(popup);
  return TRUE;
}

CTKPopupMenu* CTKPopupMenu::GetParentPopupMenu() const {
  if (!m_pParentBtn) return nullptr;
  auto* bar = dynamic_cast<CTKPopupMenuBar*>(m_pParentBtn->m_pWndParent);
  return bar ? bar->GetPopup() : nullptr;
}

CTKToolBar* CTKPopupMenu::GetParentToolBar() const {
  return m_pParentBtn ? dynamic_cast<CTKToolBar*>(m_pParentBtn->m_pWndParent) : nullptr;
}

CTKToolbarMenuButton* CTKPopupMenu::GetSelItem() {
  return dynamic_cast<CTKToolbarMenuButton*>(m_wndMenuBar.GetButton(m_wndMenuBar.GetHighlightedButton()));
}

CTKToolbarMenuButton* CTKPopupMenu::GetMenuItem(int index) const {
  return dynamic_cast<CTKToolbarMenuButton*>(m_wndMenuBar.GetButton(index));
}

BOOL CTKPopupMenu::InsertItem(const CTKToolbarMenuButton& button, int index) {
  return m_wndMenuBar.InsertButtonCopy(button, index) >= 0;
}

BOOL CTKPopupMenu::InsertSeparator(int index) {
  auto* separator = new CTKToolbarMenuButton;
  separator->m_nStyle = TBBS_SEPARATOR;
  if (m_wndMenuBar.InsertButton(separator, index) >= 0) return TRUE;
  delete separator;
  return FALSE;
}

BOOL CTKPopupMenu::RemoveItem(int index) { return m_wndMenuBar.RemoveButton(index); }

void CTKPopupMenu::RemoveAllItems() { m_wndMenuBar.RemoveAllButtons(); }

BOOL CTKPopupMenu::Create(CWnd* parent, int x, int y, HMENU menu, BOOL locked, BOOL ownMessage) {
  PlayMenuSound(kMenuSoundPopup);
  m_hMenu = menu;
  if (x == -1 && y == -1) {
    POINT origin{0, 0};
    if (parent && parent->m_hWnd) {
      ::ClientToScreen(parent->m_hWnd, &origin);
      origin.x += 5;
      origin.y += 5;
    }
    x = origin.x;
    y = origin.y;
  }
  m_ptLocation = m_ptLocationInitial = CPoint(x, y);
  CTKPopupMenu* parentPopup = GetParentPopupMenu();
  if (parentPopup) m_wndMenuBar.m_bTrackMode = parentPopup->m_wndMenuBar.m_bTrackMode;
  m_pMessageWnd = ownMessage ? parent : (parentPopup ? parentPopup->m_pMessageWnd : nullptr);
  m_iAnimationType = CTKToolBar::IsCustomizeMode() ? kAnimationNone : CTKToolBar::s_nMenuAnimation;
  // Fading mixes colours, which a palette display cannot show.
  if (m_iAnimationType == kAnimationFade && GlobalData::Get().bitsPerPixel <= 8)
    m_iAnimationType = kAnimationNone;
  if (m_iAnimationType < kAnimationNone || m_iAnimationType > kAnimationFade)
    m_iAnimationType = kAnimationNone;
  m_bAnimationFinished = m_iAnimationType == kAnimationNone;
  DWORD exStyle = 0;
  if (parent && parent->m_hWnd && (::GetWindowLongA(parent->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL))
    exStyle |= WS_EX_LAYOUTRTL;
  HWND owner = nullptr;
  if (parent && parent->m_hWnd) {
    owner = ::GetParent(parent->m_hWnd);
    if (!owner) owner = parent->m_hWnd;
  }
  if (!CreatePopupWindow(exStyle, owner, x, y)) {
    ScheduleDelete(this);
    return FALSE;
  }
  m_wndMenuBar.m_bLocked = locked;
  if (m_bRightAlign) {
    m_ptLocation.x -= m_FinalSize.cx - CTKVisualManager::GetInstance()->GetPopupMenuBorderSize() + 1;
    RecalcLayout();
  }
  if (!m_bAnimationFinished) StartAnimation();
  ShowInPlace();
  m_bShown = TRUE;
  if (CTKToolBar::IsCustomizeMode())
    ::RedrawWindow(m_wndMenuBar.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  return TRUE;
}

BOOL CTKPopupMenu::CreatePopupWindow(DWORD exStyle, HWND owner, int x, int y) {
  const SpareWindow kept = exStyle == 0 ? TakeSpareWindow() : SpareWindow{nullptr, nullptr, nullptr};
  HWND spare = kept.hwnd;
  m_hWndOwner = owner;
  // The items are painted by the bar alone: the frame's painting leaves them out.
  if (!spare)
    return CreateEx(exStyle, PopupWindowClass(), nullptr, WS_POPUP | WS_CLIPCHILDREN, x, y, 0, 0, owner,
                    nullptr);
  Attach(spare);
  m_hKeptBar = kept.bar;
  if (kept.owner != owner) ::SetWindowLongPtrA(spare, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  // The popup is built as for a new window: by its WM_CREATE.
  CREATESTRUCTA cs{};
  cs.hInstance = ::GetModuleHandleA(nullptr);
  cs.hwndParent = owner;
  cs.x = x;
  cs.y = y;
  cs.style = WS_POPUP | WS_CLIPCHILDREN;
  cs.lpszClass = PopupWindowClass();
  cs.dwExStyle = exStyle;
  const LRESULT created = SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
  m_hKeptBar = nullptr;
  if (created != -1) return TRUE;
  if (m_wndMenuBar.m_hWnd) m_wndMenuBar.DestroyWindow();
  Detach();
  ::DestroyWindow(spare);
  return FALSE;
}

void CTKPopupMenu::DestroySpareWindows() {
  std::vector<SpareWindow> spare;
  spare.swap(g_spareWindows);
  for (const SpareWindow& window : spare)
    if (::IsWindow(window.hwnd) && !CWnd::FromHandlePermanent(window.hwnd)) ::DestroyWindow(window.hwnd);
}

void CTKPopupMenu::OnClose() { DestroyWindow(); }

BOOL CTKPopupMenu::HoldsOnlyItsMenuBar() const {
  // Other children (a colour bar, say) learn that the popup closed only from their
  // own destruction, which keeping the window would skip.
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    if (child != m_wndMenuBar.m_hWnd) return FALSE;
  return TRUE;
}

BOOL CTKPopupMenu::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  if (m_bReleasingWindow) return TRUE;
  HWND hwnd = m_hWnd;
  const BOOL keep = m_bKeepWindow && g_spareWindows.size() < kMaxSpareWindows &&
                    !(::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) && HoldsOnlyItsMenuBar();
  if (!keep) return CTKPopupMenuBase::DestroyWindow();
  m_bReleasingWindow = TRUE;
  // The steps of destroying a window: hidden, told, its children gone, then the
  // object let go; the window itself stays, hidden and without an owner.
  // Hiding a top-level window would erase what lies under it in its own place: the
  // hidden window itself, which has nothing to erase.
  ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
  OnClosing();
  // The items bar's window stays with the popup's for the next bar, unless it holds the
  // mouse or the keys (a destroyed window lets them go) or runs the accessibility timer.
  HWND bar = nullptr;
  if (m_wndMenuBar.m_hWnd) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    const BOOL known = ::GetGUIThreadInfo(::GetCurrentThreadId(), &thread);
    if (known && thread.hwndCapture != m_wndMenuBar.m_hWnd && thread.hwndFocus != m_wndMenuBar.m_hWnd &&
        !GlobalData::Get().accessibilityHook)
      bar = m_wndMenuBar.ReleaseWindowForReuse();
    else
      m_wndMenuBar.DestroyWindow();
  }
  // Messages posted to this popup or its bar must not reach the next one (looked for
  // only when the queue holds posted messages at all: one request instead of several).
  MSG msg;
  if (HIWORD(::GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE)
    for (HWND posted : {hwnd, bar})
      for (int guard = 0;
           posted && guard < 64 && ::PeekMessageA(&msg, posted, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE);
           ++guard) {
      }
  Detach();
  g_spareWindows.push_back(SpareWindow{hwnd, m_hWndOwner, bar});
  PostNcDestroy();
  return TRUE;
}

int CTKPopupMenu::OnCreate(LPCREATESTRUCT cs) {
  if (CTKPopupMenuBase::OnCreate(cs) == -1) return -1;
  CTKPopupMenu* parentPopup = GetParentPopupMenu();
  if (parentPopup) m_wndMenuBar.m_iMinWidth = parentPopup->m_wndMenuBar.m_iMinWidth;
  // An animated popup shows its items when it has grown (or faded in) fully.
  const DWORD style =
      WS_CHILD | (m_bAnimationFinished ? WS_VISIBLE : 0) | CBRS_ALIGN_TOP | CBRS_TOOLTIPS | CBRS_FLYBY;
  HWND keptBar = m_hKeptBar;
  m_hKeptBar = nullptr;
  if (!(keptBar ? m_wndMenuBar.CreateOnKeptWindow(keptBar, this, 0, style, CRect(0, 0, 0, 0), 1)
                : m_wndMenuBar.CreateEx(this, 0, style, CRect(0, 0, 0, 0), 1)))
    return -1;
  m_wndMenuBar.m_dwStyle &= ~(CBRS_GRIPPER | CBRS_BORDER_ANY);
  if (m_hMenu) {
    BOOL imported;
    if (m_pParentBtn)
      imported = m_wndMenuBar.ImportFromMenu(m_hMenu, FALSE);
    else
      imported =
          ToolbarButtonsArchive(m_wndMenuBar).LoadFrom(m_hMenu) || m_wndMenuBar.ImportFromMenu(m_hMenu, TRUE);
    if (!imported) return -1;
  }
  if (!CTKToolBar::IsCustomizeMode()) {
    InsertRecentFiles();
    InsertUserTools();
  }
  CFrameWnd* frame = FrameOf(this);
  // Items are enabled, disabled and checked by the frame's update handlers; items
  // nobody handles stay as the menu had them.
  if (frame) m_wndMenuBar.OnUpdateCmdUI(frame, FALSE);
  // Under a chevron's "Add or Remove Buttons" a toolbar's marker becomes its buttons.
  CTKPopupMenu* outermost = this;
  while (outermost->GetParentPopupMenu()) outermost = outermost->GetParentPopupMenu();
  if (outermost != this && dynamic_cast<CCustomizeButton*>(outermost->GetParentButton()))
    CTKCustomizeMenuButton::ExpandMarker(&m_wndMenuBar);
  if (!ActivatePopupMenu(frame, this)) return -1;
  RecalcLayout();
  return 0;
}

namespace {

bool IsSeparatorAt(const CTKPopupMenuBar& bar, int index) {
  CTKToolbarButton* button = bar.GetButton(index);
  return button && button->IsSeparator();
}

// A recent file as its menu entry shows it: numbered from 1, relative to the current
// folder when it lies inside it, with its own ampersands doubled so that they show.
CString RecentFileEntry(int number, const CString& path) {
  char folder[MAX_PATH] = "";
  CString shown = path;
  const DWORD length = ::GetCurrentDirectoryA(sizeof folder, folder);
  if (length > 0 && length < sizeof folder) {
    CString prefix = folder;
    if (prefix.Right(1) != "\\") prefix += "\\";
    if (shown.GetLength() > prefix.GetLength() && shown.Left(prefix.GetLength()).CompareNoCase(prefix) == 0)
      shown = shown.Mid(prefix.GetLength());
  }
  CString doubled;
  for (int i = 0; i < shown.GetLength(); ++i) {
    doubled += shown[i];
    if (shown[i] == '&') doubled += '&';
  }
  CString entry;
  entry.Format("&%d %s", number, static_cast<const char*>(doubled));
  return entry;
}

}  // namespace

// The entries go in before the placeholder, which then goes: removing an item takes
// a separator that would follow another with it.
void CTKPopupMenu::InsertRecentFiles() {
  CWinApp* app = AfxGetApp();
  CRecentFileList* files = app ? app->m_pRecentFileList : nullptr;
  if (!files) return;
  int at = -1;
  for (int i = 0; i < m_wndMenuBar.GetCount() && at < 0; ++i) {
    CTKToolbarButton* item = m_wndMenuBar.GetButton(i);
    CString text;
    for (int c = 0; c < item->m_strText.GetLength(); ++c)
      if (item->m_strText[c] != '&') text += item->m_strText[c];
    if (item->m_nID == ID_FILE_MRU_FILE1 && text == "Recent File") at = i;
  }
  if (at < 0) return;
  const int count = std::min(files->GetCount(), files->GetSize());
  for (int n = 0, shown = 0; n < count; ++n) {
    if ((*files)[n].IsEmpty()) continue;
    CTKToolbarMenuButton entry(files->GetFirstCommandId() + n, nullptr, -1,
                               RecentFileEntry(shown + 1, (*files)[n]));
    if (m_wndMenuBar.InsertButtonCopy(entry, at) >= 0) ++at, ++shown;
  }
  m_wndMenuBar.RemoveButton(at);
}

void CTKPopupMenu::InsertUserTools() {
  if (!g_pUserToolsManager) return;
  int at = -1;
  for (int i = 0; i < m_wndMenuBar.GetCount() && at < 0; ++i)
    if (m_wndMenuBar.GetButton(i)->m_nID == g_pUserToolsManager->GetToolsEntryCmd()) at = i;
  if (at < 0) return;
  const CObList& tools = g_pUserToolsManager->GetUserTools();
  if (!tools.IsEmpty()) {
    if (at > 0 && !IsSeparatorAt(m_wndMenuBar, at - 1) && InsertSeparator(at)) ++at;
    for (POSITION pos = tools.GetHeadPosition(); pos;) {
      auto* tool = static_cast<CTKUserTool*>(tools.GetNext(pos));
      CTKToolbarMenuButton entry(tool->m_uiCmdId, nullptr, -1, tool->m_strLabel);
      if (m_wndMenuBar.InsertButtonCopy(entry, at) >= 0) ++at;
    }
    if (at + 1 < m_wndMenuBar.GetCount() && !IsSeparatorAt(m_wndMenuBar, at + 1) && InsertSeparator(at)) ++at;
  }
  m_wndMenuBar.RemoveButton(at);
  // No separator directly after another.
  for (int i = m_wndMenuBar.GetCount() - 1; i > 0; --i)
    if (IsSeparatorAt(m_wndMenuBar, i) && IsSeparatorAt(m_wndMenuBar, i - 1)) m_wndMenuBar.RemoveButton(i);
}

void CTKPopupMenu::RecalcLayout() {
  if (!m_hWnd || !m_wndMenuBar.m_hWnd) return;
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  const RECT work = WorkAreaNear(m_ptLocation);
  const int border = look->GetPopupMenuBorderSize();
  const CSize barSize = m_wndMenuBar.CalcSize(TRUE);
  m_iShadowSize =
      CTKToolBar::s_bMenuShadows && !CTKToolBar::IsCustomizeMode() && GlobalData::Get().bitsPerPixel > 8
          ? look->m_menuShadowDepth
          : 0;
  const int shadow = m_iShadowSize;
  const int band = m_pParentBtn && m_pParentBtn->IsTearOffMenu() && !CTKToolBar::IsCustomizeMode()
                       ? kTearOffBandHeight
                       : 0;
  // The logo band lies inside the menu frame, beside (or above or below) the items.
  const BOOL logoAcross = m_nLogoLocation == kLogoTop || m_nLogoLocation == kLogoBottom;
  const int logoWide = m_iLogoSize > 0 && !logoAcross ? m_iLogoSize : 0;
  const int logoHigh = m_iLogoSize > 0 && logoAcross ? m_iLogoSize : 0;
  int width = barSize.cx + 2 * border + logoWide;
  int height = barSize.cy + 2 * border + band + logoHigh;
  int x = m_ptLocation.x, y = m_ptLocation.y;
  CTKPopupMenu* parentPopup = GetParentPopupMenu();
  CTKToolBar* parentBar = GetParentToolBar();
  const BOOL underBarButton = m_pParentBtn && parentBar && !parentPopup && m_DropDirection == kDropBelow;
  CRect buttonScreen;
  if (m_pParentBtn && parentBar && parentBar->m_hWnd) {
    buttonScreen = m_pParentBtn->m_rect;
    ::MapWindowPoints(parentBar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&buttonScreen), 2);
  }
  if (x + width + shadow > work.right) {
    if (parentPopup && parentPopup->m_hWnd) {
      CRect parentRect;
      parentPopup->GetWindowRect(&parentRect);
      x = parentRect.left - width + 1;
      m_DropDirection = kDropLeft;
    } else if (underBarButton) {
      x = buttonScreen.right - width;
    } else {
      x = work.right - width - shadow;
    }
    if (x < work.left) {
      x = work.left;
      m_DropDirection = kDropNone;
    }
  }
  m_bScrollable = FALSE;
  const int workHeight = work.bottom - work.top;
  if (y + height + shadow > work.bottom) {
    if (underBarButton) {
      const int below = work.bottom - buttonScreen.bottom, above = buttonScreen.top - work.top;
      if (height + shadow <= above) {
        y = buttonScreen.top - height;
        m_DropDirection = kDropAbove;
      } else if (above > below) {
        y = work.top;
        height = above;
        m_DropDirection = kDropAbove;
        m_bScrollable = TRUE;
      } else {
        height = below - shadow;
        m_bScrollable = TRUE;
      }
    } else {
      y = work.bottom - height - shadow;
    }
    if (y < work.top) y = work.top;
    if (height + shadow > workHeight) {
      height = workHeight - shadow;
      m_bScrollable = TRUE;
    }
  }
  if (x < work.left) x = work.left;
  const SIZE glyph = MenuImages::Size();
  m_iScrollBtnHeight = m_bScrollable ? glyph.cy + 2 * border : 0;
  m_ptLocation = CPoint(x, y);
  m_FinalSize = CSize(width, height);
  // A hidden popup takes its place when it shows: moving a top-level window costs as
  // much as showing it.
  if (::IsWindowVisible(m_hWnd))
    ::SetWindowPos(m_hWnd, nullptr, x, y, width + shadow, height + shadow, SWP_NOZORDER | SWP_NOACTIVATE);
  // What the logo leaves of the inside: the tear-off band, the scroll areas and the items.
  CRect inside(border, border, width - border, height - border);
  m_rectLogo.SetRectEmpty();
  if (m_iLogoSize > 0) {
    m_rectLogo = inside;
    switch (m_nLogoLocation) {
      case kLogoRight:
        m_rectLogo.left = inside.right -= logoWide;
        break;
      case kLogoTop:
        m_rectLogo.bottom = inside.top += logoHigh;
        break;
      case kLogoBottom:
        m_rectLogo.top = inside.bottom -= logoHigh;
        break;
      default:
        m_rectLogo.right = inside.left += logoWide;
        break;
    }
  }
  m_rectTearOffBand = CRect(inside.left, inside.top, inside.right, inside.top + band);
  UpdateTearOffTip();
  m_rectScrollUp =
      CRect(inside.left, inside.top + band, inside.right, inside.top + band + m_iScrollBtnHeight);
  m_rectScrollDn = CRect(inside.left, inside.bottom - m_iScrollBtnHeight, inside.right, inside.bottom);
  const CSize barPlace(barSize.cx, inside.Height() - band - 2 * m_iScrollBtnHeight);
  const CRect barRect(CPoint(inside.left, inside.top + band + m_iScrollBtnHeight), barPlace);
  CRect barNow;
  ::GetWindowRect(m_wndMenuBar.m_hWnd, &barNow);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&barNow), 2);
  // A kept bar of the same menu is in place already: placing it again would still ask
  // the window server.
  if (barNow != barRect)
    ::SetWindowPos(m_wndMenuBar.m_hWnd, nullptr, barRect.left, barRect.top, barRect.Width(), barRect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  // A new size lays the bar out as it is told of it; the same size needs it here.
  if (barNow.Size() == barPlace) m_wndMenuBar.AdjustLayout();
}

void CTKPopupMenu::OnNcPaint() {
  if (::GetWindowLongA(m_hWnd, GWL_STYLE) & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) Default();
}

void CTKPopupMenu::OnSize(UINT type, int cx, int cy) { CTKPopupMenuBase::OnSize(type, cx, cy); }

BOOL CTKPopupMenu::CanPaintItsItems() const {
  if (!m_wndMenuBar.m_hWnd || (::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL)) return FALSE;
  // The bar's frame, if it had one, is the bar's own to paint.
  CRect window, client;
  ::GetWindowRect(m_wndMenuBar.m_hWnd, &window);
  ::GetClientRect(m_wndMenuBar.m_hWnd, &client);
  return window.Size() == client.Size() && HoldsOnlyItsMenuBar();
}

void CTKPopupMenu::ShowInPlace() {
  SaveScreenUnder();
  m_bPaintsItems = CanPaintItsItems();
  // Painting the items, the popup must not leave its bar's place out of its painting;
  // with other children it must leave all of them out.
  const DWORD style = GetStyle();
  const DWORD clipped = m_bPaintsItems ? style & ~WS_CLIPCHILDREN : style | WS_CLIPCHILDREN;
  if (clipped != style) ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(clipped));
  ::SetWindowPos(m_hWnd, HWND_TOP, m_ptLocation.x, m_ptLocation.y, m_FinalSize.cx + m_iShadowSize,
                 m_FinalSize.cy + m_iShadowSize,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | (m_bPaintsItems ? SWP_NOREDRAW : 0));
  // Shown without a redraw, only the popup is marked for painting (the bar's items are
  // painted with it), and its erasing waits for that paint instead of asking for
  // device contexts of the popup and the bar while it shows.
  if (m_bPaintsItems)
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_NOCHILDREN);
}

void CTKPopupMenu::SaveScreenUnder() {
  GiveBackScreenPicture(m_pScreenUnder);
  m_pScreenUnder = nullptr;
  if (!m_iShadowSize && m_bAnimationFinished) return;
  const int depth = m_iShadowSize;
  m_rectScreenUnder = CRect(m_ptLocation, CSize(m_FinalSize.cx + depth, m_FinalSize.cy + depth));
  m_pScreenUnder = TakeScreenPicture(m_rectScreenUnder.Width(), m_rectScreenUnder.Height());
  if (!m_pScreenUnder) return;
  HDC memory = m_pScreenUnder->Dc();
  HDC screen = ::GetDC(nullptr);
  const CPoint at = m_rectScreenUnder.TopLeft();
  if (!m_bAnimationFinished) {
    // The popup grows or fades in over what lies under all of it.
    ::BitBlt(memory, 0, 0, m_rectScreenUnder.Width(), m_rectScreenUnder.Height(), screen, at.x, at.y,
             SRCCOPY);
  } else {
    // Only the shadow shows what lies under the popup: its strip on the right and the
    // one below.
    ::BitBlt(memory, m_FinalSize.cx, 0, depth, m_rectScreenUnder.Height(), screen, at.x + m_FinalSize.cx,
             at.y, SRCCOPY);
    ::BitBlt(memory, 0, m_FinalSize.cy, m_FinalSize.cx, depth, screen, at.x, at.y + m_FinalSize.cy, SRCCOPY);
  }
  ::ReleaseDC(nullptr, screen);
}

void CTKPopupMenu::OnPaint() {
  PAINTSTRUCT ps;
  HDC paint = ::BeginPaint(m_hWnd, &ps);
  CRect client;
  GetClientRect(&client);
  BackBuffer::Lease buffer(PopupBackBuffer(), client.Width(), client.Height());
  HDC memory = buffer.Dc();
  if (!memory) {
    ::EndPaint(m_hWnd, &ps);
    return;
  }
  CDC dc;
  dc.Attach(memory);
  if (m_pScreenUnder) {
    // What lies under the shadow strips; the look paints all of the menu's rectangle.
    HDC under = m_pScreenUnder->Dc();
    const int menuWidth = std::min<int>(m_FinalSize.cx, client.Width());
    const int menuHeight = std::min<int>(m_FinalSize.cy, client.Height());
    ::BitBlt(memory, menuWidth, 0, client.Width() - menuWidth, client.Height(), under, menuWidth, 0, SRCCOPY);
    ::BitBlt(memory, 0, menuHeight, menuWidth, client.Height() - menuHeight, under, 0, menuHeight, SRCCOPY);
  } else {
    dc.FillSolidRect(&client, GlobalData::Get().barFace);
  }
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  CRect menu(0, 0, m_FinalSize.cx, m_FinalSize.cy);
  look->PaintPopupBackground(&dc, this, menu);
  look->PaintMenuFrame(&dc, this, menu);
  if (m_bScrollable) {
    const SIZE glyph = MenuImages::Size();
    const int upGlyph = m_wndMenuBar.m_iOffset > 0 ? MenuImages::kArrowUp : MenuImages::kArrowUpDisabled;
    MenuImages::Draw(
        &dc, upGlyph,
        POINT{m_rectScrollUp.CenterPoint().x - glyph.cx / 2, m_rectScrollUp.CenterPoint().y - glyph.cy / 2});
    MenuImages::Draw(
        &dc, MenuImages::kArrowDown,
        POINT{m_rectScrollDn.CenterPoint().x - glyph.cx / 2, m_rectScrollDn.CenterPoint().y - glyph.cy / 2});
    if (m_iScrollMode < 0) look->PaintButtonEdge(&dc, nullptr, m_rectScrollUp, 2);
    if (m_iScrollMode > 0) look->PaintButtonEdge(&dc, nullptr, m_rectScrollDn, 2);
  }
  if (!m_rectTearOffBand.IsRectEmpty()) PaintTearOffBand(&dc);
  if (!m_rectLogo.IsRectEmpty())
    if (auto* site = CTKFrameSite::Of(FrameOf(this))) site->OnDrawMenuLogo(&dc, this, &m_rectLogo);
  if (m_iShadowSize > 0) {
    DrawManager shadow(dc);
    shadow.PaintShadow(menu, m_iShadowSize, 100, 65, nullptr, nullptr,
                       !(::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL));
  }
  if (m_bPaintsItems && m_bAnimationFinished && (m_wndMenuBar.GetStyle() & WS_VISIBLE)) {
    POINT at{0, 0};
    ::MapWindowPoints(m_wndMenuBar.m_hWnd, m_hWnd, &at, 1);
    POINT old;
    ::SetViewportOrgEx(memory, at.x, at.y, &old);
    m_wndMenuBar.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    ::SetViewportOrgEx(memory, old.x, old.y, nullptr);
  }
  dc.Detach();
  if (m_bAnimationFinished)
    ::BitBlt(paint, 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
  else
    PaintAnimationStep(paint, memory, client.Size());
  ::EndPaint(m_hWnd, &ps);
}

void CTKPopupMenu::StartAnimation() {
  const int shadow = m_iShadowSize;
  m_AnimSize = CSize(m_FinalSize.cx + shadow, m_FinalSize.cy + shadow);
  const CSize step = AnimationStep();
  if (m_iAnimationType == kAnimationUnfold) m_AnimSize = step;
  if (m_iAnimationType == kAnimationSlide) m_AnimSize.cy = step.cy;
  m_iFadeAlpha = 0;
  m_dwAnimationStart = ::GetTickCount();
  SetTimer(kAnimationTimer, kAnimationTick);
}

CSize CTKPopupMenu::AnimationStep() const {
  // A column and a row of items.
  int row = 0;
  for (int i = 0; i < m_wndMenuBar.GetCount() && !row; ++i)
    if (CTKToolbarButton* item = m_wndMenuBar.GetButton(i);
        !item->IsSeparator() && !item->m_rect.IsRectEmpty())
      row = item->m_rect.Height();
  if (row <= 0) row = GlobalData::Get().textHeight + 4;
  int column = m_FinalSize.cx + m_iShadowSize;
  if (m_wndMenuBar.m_arColumns.GetSize() > 1) column = static_cast<int>(m_wndMenuBar.m_arColumns[0]);
  return CSize(std::max(column, 1), std::max(row, 1));
}

void CTKPopupMenu::AnimationTick() {
  const DWORD now = ::GetTickCount();
  // Late ticks catch up: as many steps as ticks went by, at least one.
  const int steps =
      std::max(1, static_cast<int>((now - m_dwAnimationStart) / static_cast<double>(kAnimationTick) + 0.5));
  const CSize full(m_FinalSize.cx + m_iShadowSize, m_FinalSize.cy + m_iShadowSize);
  const CSize step = AnimationStep();
  BOOL finished = FALSE;
  switch (m_iAnimationType) {
    case kAnimationUnfold:
      m_AnimSize.cx += steps * step.cx;
      m_AnimSize.cy += steps * step.cy;
      finished = m_AnimSize.cx >= full.cx && m_AnimSize.cy >= full.cy;
      break;
    case kAnimationSlide:
      m_AnimSize.cy += steps * step.cy;
      finished = m_AnimSize.cy >= full.cy;
      break;
    case kAnimationFade:
      m_iFadeAlpha += 10 * steps;
      finished = m_iFadeAlpha > 100;
      break;
    default:
      finished = TRUE;
  }
  if (finished) {
    FinishAnimation();
    return;
  }
  m_dwAnimationStart = now;
  Invalidate(FALSE);
}

void CTKPopupMenu::FinishAnimation() {
  if (m_bAnimationFinished) return;
  KillTimer(kAnimationTimer);
  m_bAnimationFinished = TRUE;
  m_AnimSize = CSize(m_FinalSize.cx + m_iShadowSize, m_FinalSize.cy + m_iShadowSize);
  m_iFadeAlpha = 101;
  if (m_wndMenuBar.m_hWnd) m_wndMenuBar.ShowWindow(SW_SHOWNOACTIVATE);
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CTKPopupMenu::PaintAnimationStep(HDC paint, HDC picture, CSize size) {
  // The finished picture: the frame already drawn, the items drawn by their bar.
  if (m_wndMenuBar.m_hWnd) {
    CRect bar;
    m_wndMenuBar.GetWindowRect(&bar);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&bar), 2);
    POINT old;
    ::SetViewportOrgEx(picture, bar.left, bar.top, &old);
    m_wndMenuBar.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture), PRF_CLIENT);
    ::SetViewportOrgEx(picture, old.x, old.y, nullptr);
  }
  HDC under = m_pScreenUnder ? m_pScreenUnder->Dc() : nullptr;
  if (m_iAnimationType == kAnimationFade) {
    // Pixel by pixel, the picture over what lies under it by the alpha reached.
    void* topBits = nullptr;
    void* belowBits = nullptr;
    HBITMAP top = CreateOffscreenBitmap(size.cx, size.cy, &topBits);
    HBITMAP below = CreateOffscreenBitmap(size.cx, size.cy, &belowBits);
    if (top && below) {
      HDC work = ::CreateCompatibleDC(paint);
      HGDIOBJ old = ::SelectObject(work, below);
      if (under) ::BitBlt(work, 0, 0, size.cx, size.cy, under, 0, 0, SRCCOPY);
      ::SelectObject(work, top);
      ::BitBlt(work, 0, 0, size.cx, size.cy, picture, 0, 0, SRCCOPY);
      ::GdiFlush();
      const int alpha = std::min(m_iFadeAlpha, 100);
      auto* a = static_cast<DWORD*>(topBits);
      const auto* b = static_cast<const DWORD*>(belowBits);
      for (size_t i = 0, n = static_cast<size_t>(size.cx) * size.cy; i < n; ++i) {
        DWORD mixed = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const int ca = (a[i] >> shift) & 0xFF, cb = (b[i] >> shift) & 0xFF;
          mixed |= static_cast<DWORD>((ca * alpha + cb * (100 - alpha)) / 100) << shift;
        }
        a[i] = mixed;
      }
      ::BitBlt(paint, 0, 0, size.cx, size.cy, work, 0, 0, SRCCOPY);
      ::SelectObject(work, old);
      ::DeleteDC(work);
    }
    if (top) ::DeleteObject(top);
    if (below) ::DeleteObject(below);
  } else {
    // What lies under the popup, then the part of the picture grown so far at the
    // edges it grows from: the right one when it was moved to the left of its
    // button, the bottom one when it opened above it.
    if (under) ::BitBlt(paint, 0, 0, size.cx, size.cy, under, 0, 0, SRCCOPY);
    const int width = std::min<int>(m_AnimSize.cx, size.cx), height = std::min<int>(m_AnimSize.cy, size.cy);
    const int x = m_DropDirection == kDropLeft ? size.cx - width : 0;
    const int y = m_DropDirection == kDropAbove ? size.cy - height : 0;
    ::BitBlt(paint, x, y, width, height, picture, x, y, SRCCOPY);
  }
}

CTKPopupMenu* CTKPopupMenu::GetOutermost() const {
  auto* top = const_cast<CTKPopupMenu*>(this);
  while (CTKPopupMenu* parent = top->GetParentPopupMenu()) top = parent;
  return top;
}

int CTKPopupMenu::HitTest(POINT screen) const {
  if (!m_hWnd) return kHitOutside;
  // A point on a parent popup of the chain is inside too.
  for (CTKPopupMenu* parent = GetParentPopupMenu(); parent; parent = parent->GetParentPopupMenu()) {
    CRect rect;
    if (parent->m_hWnd && ::GetWindowRect(parent->m_hWnd, &rect) && rect.PtInRect(screen)) {
      const POINT at{screen.x - rect.left, screen.y - rect.top};
      if (at.x < parent->m_FinalSize.cx && at.y < parent->m_FinalSize.cy) return kHitItems;
    }
  }
  CRect window;
  ::GetWindowRect(m_hWnd, &window);
  if (!window.PtInRect(screen)) return kHitOutside;
  const POINT at{screen.x - window.left, screen.y - window.top};
  if (at.x >= m_FinalSize.cx) return kHitRightShadow;
  if (at.y >= m_FinalSize.cy) return kHitBottomShadow;
  if (m_rectTearOffBand.PtInRect(at)) return kHitTearOff;
  if (m_rectLogo.PtInRect(at)) return kHitLogo;
  return kHitItems;
}

void CTKPopupMenu::EnableMenuLogo(int size, int location) {
  m_iLogoSize = size > 0 ? size : 0;
  m_nLogoLocation = location >= kLogoLeft && location <= kLogoBottom ? location : kLogoLeft;
  RecalcLayout();
}

CRect CTKPopupMenu::OpenerButtonRect() const {
  // A press on the chain's own button counts as a press elsewhere: it closes the
  // chain, and the button does not open it again (it sees the press was the one that
  // closed its popup).
  return CRect(0, 0, 0, 0);
}

BOOL CTKPopupMenu::IsOpenedFromMenuBar() const {
  CTKToolBar* bar = GetOutermost()->GetParentToolBar();
  return bar && bar->LookKind() == CTKBaseControlBar::kMenuBar;
}

LRESULT CTKPopupMenu::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (m_wndMenuBar.m_hWnd) m_wndMenuBar.SendMessage(WM_IDLEUPDATECMDUI, wParam);
  if (CTKPopupMenu* parent = GetParentPopupMenu(); parent && parent->m_hWnd)
    parent->SendMessage(WM_IDLEUPDATECMDUI, wParam);
  return 0;
}

CWnd* CTKPopupMenu::MenuBarAt(POINT screen) const { return m_wndMenuBar.FindMenuBarAtPoint(screen); }

void CTKPopupMenu::CloseMenu() {
  // The whole chain, from the top (its bar closes the sub-menus).
  CTKPopupMenu* top = GetOutermost();
  if (top->m_hWnd) top->CloseMenu(FALSE);
}

void CTKPopupMenu::CloseMenu(BOOL setFocusToBar) {
  if (!m_hWnd || m_bClosing) return;
  m_bClosing = TRUE;
  CFrameWnd* frame = FrameOf(this);
  if (CTKPopupMenu* parent = GetParentPopupMenu()) {
    m_bAutoDestroyParent = FALSE;
    ActivatePopupMenu(frame, parent);
  } else {
    ActivatePopupMenu(frame, nullptr);
    CTKToolBar* bar = GetParentToolBar();
    if (setFocusToBar && bar && bar->m_hWnd) bar->SetFocus();
  }
  SendMessage(WM_CLOSE);
}

void CTKPopupMenu::OnDestroy() {
  OnClosing();
  CTKPopupMenuBase::OnDestroy();
}

void CTKPopupMenu::OnClosing() {
  m_bClosing = TRUE;
  // The next popup may open before this one is deleted: it takes the picture.
  GiveBackScreenPicture(m_pScreenUnder);
  m_pScreenUnder = nullptr;
  if (m_hwndTearOffTip) ::DestroyWindow(m_hwndTearOffTip);
  m_hwndTearOffTip = nullptr;
  m_bTearOffTipShown = FALSE;
  // Only running timers are killed (each kill asks the window server): the scroll
  // timer runs while a scroll direction is set, the animation's until it finishes.
  if (m_iScrollMode) KillTimer(kScrollTimer);
  m_iScrollMode = 0;
  if (!m_bAnimationFinished) KillTimer(kAnimationTimer);
  CFrameWnd* frame = FrameOf(this);
  CTKPopupMenu* parent = GetParentPopupMenu();
  CTKToolBar* parentBar = GetParentToolBar();
  if (m_pParentBtn) {
    m_pParentBtn->m_popupMenu = nullptr;
    m_pParentBtn->m_dwClosedAt = ::GetMessageTime();
    m_pParentBtn->m_bToBeClosed = FALSE;
    if (parentBar && parentBar->m_hWnd) {
      CRect area = m_pParentBtn->m_rect;
      const int depth = CTKVisualManager::GetInstance()->m_menuShadowDepth;
      area.InflateRect(depth, depth);
      ::RedrawWindow(parentBar->m_hWnd, &area, nullptr, RDW_INVALIDATE | RDW_FRAME);
    }
  } else {
    CTKMenuBar::SetShowAllCommands(FALSE);
  }
  if (auto* toolkitFrame = CTKFrameSite::Of(frame)) toolkitFrame->OnClosePopupMenu(this);
  if (s_pActivePopupMenu == this) s_pActivePopupMenu = nullptr;
  // The last menu gone, the status line goes back to its idle text.
  if (!parent) {
    CWnd* owner = m_wndMenuBar.m_hWnd ? m_wndMenuBar.GetCommandTarget() : nullptr;
    if (owner && owner->m_hWnd) owner->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
  }
  if (parent && parent->m_hWnd && !parent->m_bClosing) {
    if (m_bAutoDestroyParent && !CTKToolBar::IsCustomizeMode())
      parent->SendMessage(WM_CLOSE);
    else
      ActivatePopupMenu(frame, parent);
  } else if (!parent && parentBar && parentBar->m_hWnd && CTKFrameWnd::OpenPopupMenu() == nullptr &&
             ::GetFocus() != parentBar->m_hWnd) {
    parentBar->Deactivate();
  }
}

void CTKPopupMenu::PostNcDestroy() {
  if (m_pParentBtn && m_pParentBtn->m_popupMenu == this) m_pParentBtn->m_popupMenu = nullptr;
  ScheduleDelete(this);
}

LRESULT CTKPopupMenu::OnActivateApp(WPARAM active, LPARAM) {
  if (!active && !CTKToolBar::IsCustomizeMode() && !IsInCommand()) PostMessage(WM_CLOSE);
  return 0;
}

namespace {

void AppendItemsTo(HMENU menu, CTKPopupMenuBar& bar);

// A menu button's item in a plain menu: its sub-menu as a copy of its own.
void AppendItem(HMENU menu, const CTKToolbarMenuButton& item) {
  if (item.IsSeparator()) {
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  UINT flags = MF_STRING;
  if (item.m_nStyle & TBBS_DISABLED) flags |= MF_GRAYED;
  if (item.m_nStyle & TBBS_CHECKED) flags |= MF_CHECKED;
  if (HMENU sub = item.GetCommands().IsEmpty() ? nullptr : item.CreateMenu()) {
    ::AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), item.m_strText);
    return;
  }
  ::AppendMenuA(menu, flags, item.m_nID, item.m_strText);
}

void AppendItemsTo(HMENU menu, CTKPopupMenuBar& bar) {
  for (int i = 0; i < bar.GetCount(); ++i)
    if (auto* item = dynamic_cast<CTKToolbarMenuButton*>(bar.GetButton(i))) AppendItem(menu, *item);
}

}  // namespace

HMENU CTKPopupMenu::CreateTempMenu() {
  DestroyTempMenu();
  m_hTempMenu = ::CreatePopupMenu();
  if (m_hTempMenu) AppendItemsTo(m_hTempMenu, m_wndMenuBar);
  return m_hTempMenu;
}

void CTKPopupMenu::DestroyTempMenu() {
  if (m_hTempMenu) ::DestroyMenu(m_hTempMenu);
  m_hTempMenu = nullptr;
}

LRESULT CTKPopupMenu::OnGetObject(WPARAM flags, LPARAM objectId) {
  const LONG id = static_cast<LONG>(objectId);
  if (id != OBJID_CLIENT || !GlobalData::Get().IsAccessibilitySupported()) return Default();
  TKAccessibleObjectRequest request{this, flags, id, 1, m_wndMenuBar.GetHighlightedButton() + 1};
  if (CFrameWnd* frame = FrameOf(this); frame && frame->m_hWnd)
    frame->SendMessage(s_getObjectMessage, 0, reinterpret_cast<LPARAM>(&request));
  return GlobalData::Get().CallAccessibilityHook(&request, request.currentChild);
}

LRESULT CTKPopupMenu::OnAccHitTest(WPARAM, LPARAM screenPoint) {
  if (!m_wndMenuBar.m_hWnd) return -1;
  POINT at{static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
  CRect bar;
  m_wndMenuBar.GetWindowRect(&bar);
  if (!bar.PtInRect(at)) return -1;
  ::ScreenToClient(m_wndMenuBar.m_hWnd, &at);
  return m_wndMenuBar.HitTest(CPoint(at));
}

LRESULT CTKPopupMenu::OnAccGetState(WPARAM index, LPARAM) {
  const int item = static_cast<int>(index);
  if (item < 0 || item >= m_wndMenuBar.GetCount()) return -1;
  return m_wndMenuBar.GetButton(item)->m_nStyle;
}

BOOL CTKPopupMenu::PreTranslateMessage(MSG* msg) { return CTKPopupMenuBase::PreTranslateMessage(msg); }

void CTKPopupMenu::UpdateTearOffTip() {
  if (m_rectTearOffBand.IsRectEmpty()) {
    if (m_hwndTearOffTip) ::DestroyWindow(m_hwndTearOffTip);
    m_hwndTearOffTip = nullptr;
    m_bTearOffTipShown = FALSE;
    return;
  }
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = m_hWnd;
  tool.uId = kTearOffToolId;
  tool.rect = m_rectTearOffBand;
  if (m_hwndTearOffTip) {
    ::SendMessageA(m_hwndTearOffTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  m_hwndTearOffTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0,
                                       0, 0, 0, m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!m_hwndTearOffTip) return;
  // The tooltip watches the popup's mouse messages itself, the capture of a tear-off
  // drag included.
  tool.uFlags = TTF_SUBCLASS;
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  ::SendMessageA(m_hwndTearOffTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CTKPopupMenu::OnTearOffTipText(NMHDR* header, LRESULT* result) {
  // The tooltip asks in the character set the popup answers to WM_NOTIFYFORMAT.
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    ::LoadStringW(::GetModuleHandleA(nullptr), kTearOffTipString, info->szText, ARRAYSIZE(info->szText));
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    ::LoadStringA(::GetModuleHandleA(nullptr), kTearOffTipString, info->szText, sizeof info->szText);
  }
  *result = 0;
}

void CTKPopupMenu::OnTearOffTipShow(NMHDR*, LRESULT* result) {
  m_bTearOffTipShown = TRUE;
  ::InvalidateRect(m_hWnd, &m_rectTearOffBand, FALSE);
  *result = 0;
}

void CTKPopupMenu::OnTearOffTipPop(NMHDR*, LRESULT* result) {
  m_bTearOffTipShown = FALSE;
  ::InvalidateRect(m_hWnd, &m_rectTearOffBand, FALSE);
  *result = 0;
}

void CTKPopupMenu::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) {
    if (key == VK_LEFT)
      key = VK_RIGHT;
    else if (key == VK_RIGHT)
      key = VK_LEFT;
  }
  CTKPopupMenu* parent = GetParentPopupMenu();
  // The bar at the top of the chain: a toolbar or the menu bar.
  CTKPopupMenu* outermost = this;
  while (outermost->GetParentPopupMenu()) outermost = outermost->GetParentPopupMenu();
  CTKToolBar* owningBar = outermost->GetParentToolBar();
  switch (key) {
    case VK_ESCAPE:
      if (parent) m_bAutoDestroyParent = FALSE;
      CloseMenu(TRUE);
      return;
    case VK_LEFT:
      if (parent) {
        m_bAutoDestroyParent = FALSE;
        CloseMenu(FALSE);
      } else if (owningBar) {
        OpenAtOnce keys;
        owningBar->PrevMenu();
      }
      return;
    case VK_RIGHT: {
      CTKToolbarMenuButton* item = GetSelItem();
      if (item && (item->m_nID == (UINT)-1 || !item->GetCommands().IsEmpty()) &&
          !(item->m_nStyle & TBBS_DISABLED)) {
        if (!item->m_popupMenu) {
          OpenAtOnce keys;
          item->OnClick(&m_wndMenuBar, FALSE);
        }
        if (CTKPopupMenu* sub = item->GetPopupMenu(); sub && sub->m_hWnd)
          sub->SendMessage(WM_KEYDOWN, VK_HOME);
        return;
      }
      if (owningBar) {
        OpenAtOnce keys;
        owningBar->NextMenu();
      }
      return;
    }
    case VK_DOWN:
      if (::GetKeyState(VK_CONTROL) < 0 && !m_wndMenuBar.AreAllCommandsShown()) {
        ShowAllCommands();
        return;
      }
      [[fallthrough]];
    case VK_RETURN:
    case VK_HOME:
    case VK_END:
    case VK_UP:
    case VK_TAB:
      if (!CTKToolBar::IsCustomizeMode()) {
        HWND self = m_hWnd;
        m_wndMenuBar.OnKey(key);
        if (::IsWindow(self)) EnsureSelectedVisible();
      }
      return;
    default:
      if (!m_wndMenuBar.OnKey(key)) Default();
      (void)repeat;
      (void)flags;
      return;
  }
}

void CTKPopupMenu::EnsureSelectedVisible() {
  if (!m_bScrollable) return;
  CTKToolbarButton* item = m_wndMenuBar.GetButton(m_wndMenuBar.GetHighlightedButton());
  if (!item) return;
  CRect client;
  m_wndMenuBar.GetClientRect(&client);
  while (item->m_rect.top < client.top && m_wndMenuBar.m_iOffset > 0) ScrollBy(-1);
  for (int guard = 0; item->m_rect.bottom > client.bottom && guard < m_wndMenuBar.GetCount(); ++guard)
    ScrollBy(1);
}

void CTKPopupMenu::ScrollBy(int direction) {
  if (direction < 0 && m_wndMenuBar.m_iOffset <= 0) return;
  if (direction > 0) {
    CRect client;
    m_wndMenuBar.GetClientRect(&client);
    CTKToolbarButton* last = m_wndMenuBar.GetButton(m_wndMenuBar.GetCount() - 1);
    if (!last || last->m_rect.bottom <= client.bottom) return;
  }
  if (CTKToolbarMenuButton* item = GetSelItem(); item && item->m_popupMenu) item->OnCancelMode();
  m_wndMenuBar.m_iOffset += direction;
  m_wndMenuBar.AdjustLayout();
  m_wndMenuBar.Invalidate();
  Invalidate(FALSE);
}

void CTKPopupMenu::PaintTearOffBand(CDC* dc) {
  // A grip of dots across the band; lit while the user holds it or its tooltip shows.
  const GlobalData& colors = GlobalData::Get();
  CRect band = m_rectTearOffBand;
  const BOOL lit = m_bTearOffHighlighted || m_bTearOffTipShown;
  dc->FillSolidRect(&band, lit ? colors.highlight : colors.barFace);
  const COLORREF dot = lit ? colors.highlightText : colors.barShadow;
  const int y = band.CenterPoint().y;
  for (int x = band.left + 4; x < band.right - 4; x += 3) {
    dc->SetPixel(x, y - 1, dot);
    dc->SetPixel(x + 1, y + 1, dot);
  }
}

void CTKPopupMenu::OnLButtonDown(UINT flags, CPoint point) {
  if (!m_rectTearOffBand.IsRectEmpty() && m_rectTearOffBand.PtInRect(point) &&
      !CTKToolBar::IsCustomizeMode()) {
    m_bTearOffTracking = m_bTearOffHighlighted = TRUE;
    ::SetCapture(m_hWnd);
    ::InvalidateRect(m_hWnd, &m_rectTearOffBand, FALSE);
    return;
  }
  CTKPopupMenuBase::OnLButtonDown(flags, point);
}

void CTKPopupMenu::OnLButtonUp(UINT flags, CPoint point) {
  if (m_bTearOffTracking) {
    m_bTearOffTracking = m_bTearOffHighlighted = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    ::InvalidateRect(m_hWnd, &m_rectTearOffBand, FALSE);
    return;
  }
  CTKPopupMenuBase::OnLButtonUp(flags, point);
}

void CTKPopupMenu::OnMouseMove(UINT flags, CPoint point) {
  if (m_bTearOffTracking) {
    if (!m_rectTearOffBand.PtInRect(point)) {
      m_bTearOffTracking = m_bTearOffHighlighted = FALSE;
      if (::GetCapture() == m_hWnd) ::ReleaseCapture();
      ::ClientToScreen(m_hWnd, &point);
      TearOff(point);
    }
    return;
  }
  if (m_bScrollable) {
    int mode = 0;
    if (m_rectScrollUp.PtInRect(point) && m_wndMenuBar.m_iOffset > 0) mode = -1;
    if (m_rectScrollDn.PtInRect(point)) mode = 1;
    if (mode != m_iScrollMode) {
      m_iScrollMode = mode;
      if (mode)
        SetTimer(kScrollTimer, kScrollInterval);
      else
        KillTimer(kScrollTimer);
      Invalidate(FALSE);
    }
  }
  CTKPopupMenuBase::OnMouseMove(flags, point);
}

void CTKPopupMenu::OnTimer(UINT_PTR id) {
  if (id == kAnimationTimer) {
    AnimationTick();
    return;
  }
  if (id != kScrollTimer) return;
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::ScreenToClient(m_hWnd, &cursor);
  if (!(m_iScrollMode < 0 ? m_rectScrollUp : m_rectScrollDn).PtInRect(cursor)) {
    m_iScrollMode = 0;
    KillTimer(kScrollTimer);
    Invalidate(FALSE);
    return;
  }
  ScrollBy(m_iScrollMode);
}

void CTKPopupMenu::ShowAllCommands() {
  if (!m_pParentBtn || !m_hMenu) return;
  m_wndMenuBar.m_iHot = m_wndMenuBar.m_iHighlighted = -1;
  CTKMenuBar::SetShowAllCommands(TRUE);
  PlayMenuSound(kMenuSoundPopup);
  ShowWindow(SW_HIDE);
  m_ptLocation = m_ptLocationInitial;
  m_wndMenuBar.ImportFromMenu(m_hMenu, TRUE);
  if (CFrameWnd* frame = FrameOf(this)) m_wndMenuBar.OnUpdateCmdUI(frame, FALSE);
  RecalcLayout();
  ShowInPlace();
  if (CTKToolBar* bar = GetParentToolBar(); bar && bar->m_hWnd)
    ::InvalidateRect(bar->m_hWnd, &m_pParentBtn->m_rect, TRUE);
}

CTKToolBar* CTKPopupMenu::CreateTearOffBar(CFrameWnd* frame, UINT id, const char* name) {
  auto* bar = new CTKToolBar;
  if (!bar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_HIDE_INPLACE, id)) {
    delete bar;
    return nullptr;
  }
  // The menu's items as the user saw them: commands with their images and texts, the
  // sub-menus as drop-down buttons, and the separators.
  for (int i = 0; i < m_wndMenuBar.GetCount(); ++i) {
    CTKToolbarMenuButton* item = GetMenuItem(i);
    if (!item) continue;
    if (item->IsSeparator()) {
      bar->InsertSeparator();
    } else if (item->m_nID == (UINT)-1 || !item->GetCommands().IsEmpty()) {
      bar->InsertButtonCopy(*item);
    } else {
      CTKToolbarButton button(item->m_nID, item->GetImage(), item->m_strText, item->m_bUserImage);
      button.m_bText = TRUE;
      button.m_bImage = item->GetImage() >= 0;
      bar->InsertButtonCopy(button);
    }
  }
  bar->SetWindowText(name);
  bar->SetBarStyle(bar->m_dwStyle | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
  bar->EnableDocking(CBRS_ALIGN_ANY);
  return bar;
}

CString CTKPopupMenu::TearOffTitle() const {
  CString name;
  if (!m_pParentBtn) return name;
  for (int i = 0; i < m_pParentBtn->m_strText.GetLength(); ++i)
    if (m_pParentBtn->m_strText[i] != '&') name += m_pParentBtn->m_strText[i];
  return name;
}

BOOL CTKPopupMenu::TearOff(CPoint screen) {
  if (!m_pParentBtn || !m_pParentBtn->IsTearOffMenu()) return FALSE;
  CFrameWnd* frame = FrameOf(this);
  CTKFrameSite* site = CTKFrameSite::Of(frame);
  if (!site) return FALSE;
  CControlBar* bar = frame->GetControlBar(m_pParentBtn->m_uiTearOffBarID);
  if (!bar) bar = site->OnTearOffMenu(this);
  if (!bar) return FALSE;
  // The menu closes; its bar floats where the pointer left the band.
  CloseMenu();
  frame->FloatControlBar(bar, screen, CBRS_ALIGN_TOP);
  frame->ShowControlBar(bar, TRUE, FALSE);
  frame->RecalcLayout();
  return TRUE;
}
