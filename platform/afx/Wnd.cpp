#include "platform/afx/Wnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

#include "platform/afx/linux_headers_begin.h"
#include <mutex>
#include <unordered_map>
#include <vector>
#include "platform/afx/linux_headers_end.h"

#include "platform/afx/CmdUI.h"
#include "platform/afx/DC.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace {
// Handles to objects. Windows belong to the user-interface thread, but the map is
// also read by code that only asks about a handle, so it takes a lock.
std::mutex g_mapLock;
std::unordered_map<HWND, CWnd*> g_permanent;
std::unordered_map<HWND, CWnd*> g_temporary;

// The object whose window is being created on this thread: the first message of the
// new window attaches it.
thread_local CWnd* t_creating = nullptr;

void MapHandle(HWND hwnd, CWnd* wnd) {
  std::lock_guard lock(g_mapLock);
  g_permanent[hwnd] = wnd;
}

void UnmapHandle(HWND hwnd) {
  std::lock_guard lock(g_mapLock);
  g_permanent.erase(hwnd);
}
}  // namespace

CWnd::~CWnd() {
  if (m_hWnd) {
    // The object goes first: forget it, and destroy a window that is still ours.
    HWND hwnd = m_hWnd;
    if (FromHandlePermanent(hwnd) == this) {
      UnmapHandle(hwnd);
      if (m_pfnSuper) ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
      m_hWnd = nullptr;
      ::DestroyWindow(hwnd);
    }
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  std::lock_guard lock(g_mapLock);
  auto it = g_permanent.find(hwnd);
  return it == g_permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
  std::lock_guard lock(g_mapLock);
  CWnd*& temp = g_temporary[hwnd];
  if (!temp) {
    temp = new CWnd;
    temp->m_hWnd = hwnd;
  }
  return temp;
}

void CWnd::DeleteTempMap() {
  std::unordered_map<HWND, CWnd*> temps;
  {
    std::lock_guard lock(g_mapLock);
    temps.swap(g_temporary);
  }
  for (auto& [hwnd, wnd] : temps) {
    wnd->m_hWnd = nullptr;  // a temporary object never owns its window
    delete wnd;
  }
}

BOOL CWnd::Attach(HWND hwnd) {
  if (!hwnd || m_hWnd) return FALSE;
  m_hWnd = hwnd;
  MapHandle(hwnd, this);
  return TRUE;
}

CWnd* CWnd::SetCreatingWindow(CWnd* wnd) {
  CWnd* previous = t_creating;
  t_creating = wnd;
  return previous;
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  if (hwnd) UnmapHandle(hwnd);
  m_hWnd = nullptr;
  return hwnd;
}

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  static std::mutex lock;
  static std::vector<std::pair<std::vector<UINT_PTR>, std::string>> registered;
  std::vector<UINT_PTR> key = {classStyle, reinterpret_cast<UINT_PTR>(cursor),
                               reinterpret_cast<UINT_PTR>(background), reinterpret_cast<UINT_PTR>(icon)};
  std::lock_guard guard(lock);
  for (auto& [k, name] : registered)
    if (k == key) return name.c_str();
  char name[64];
  wsprintfA(name, "TarvelWnd:%x:%x", classStyle, static_cast<unsigned>(registered.size()));
  WNDCLASSA wc{};
  wc.style = classStyle;
  wc.lpfnWndProc = AfxWndProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = name;
  if (!::RegisterClassA(&wc)) return nullptr;
  registered.emplace_back(key, name);
  return registered.back().second.c_str();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass)
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, void* param) {
  CREATESTRUCTA cs{};
  cs.dwExStyle = exStyle;
  cs.lpszClass = className;
  cs.lpszName = windowName;
  cs.style = style;
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.hwndParent = parent;
  cs.hMenu = menuOrId;
  cs.hInstance = ::GetModuleHandleA(nullptr);
  cs.lpCreateParams = param;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  CWnd* previous = t_creating;
  t_creating = this;
  HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  t_creating = previous;
  if (hwnd && !m_hWnd) {
    // A window class of someone else's (a control): take over its procedure.
    SubclassWindow(hwnd);
  }
  return hwnd != nullptr;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
  if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
  Attach(hwnd);
  PreSubclassWindow();
  WNDPROC previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
  // A window already routed to us (our own class) keeps calling the default procedure.
  m_pfnSuper = previous != AfxWndProc ? previous : nullptr;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!parent) return FALSE;
  return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
  if (!m_hWnd) return nullptr;
  if (m_pfnSuper) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  int length = item ? ::GetWindowTextLengthA(item) : 0;
  char* buffer = text.GetBuffer(length + 1);
  buffer[0] = '\0';
  if (item) ::GetWindowTextA(item, buffer, length + 1);
  text.ReleaseBuffer();
  return text.GetLength();
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, void* param) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::GetWindowText(CString& text) const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  char* buffer = text.GetBuffer(length + 1);
  ::GetWindowTextA(m_hWnd, buffer, length + 1);
  text.ReleaseBuffer();
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  return DefWindowProc(m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

namespace {
AfxWinHelpFunction g_winHelp = ::WinHelpA;
}  // namespace

AfxWinHelpFunction AfxSetWinHelpFunction(AfxWinHelpFunction function) {
  AfxWinHelpFunction old = g_winHelp;
  g_winHelp = function ? function : ::WinHelpA;
  return old;
}

BOOL AfxCallWinHelp(HWND window, const char* helpFile, UINT command, ULONG_PTR data) {
  return g_winHelp(window, helpFile, command, data);
}

CString AfxGetHelpFilePath() {
  char path[MAX_PATH] = "";
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return CString();
  char* dot = strrchr(path, '.');
  char* slash = strrchr(path, '\\');
  if (dot && (!slash || dot > slash)) *dot = '\0';
  CString file = path;
  file += ".HLP";
  return file;
}

void CWnd::WinHelp(DWORD_PTR data, UINT command) {
  HWND top = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
  AfxCallWinHelp(top ? top : m_hWnd, AfxGetHelpFilePath(), command, data);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT id = LOWORD(wParam);
  int code = HIWORD(wParam);
  // Accelerators arrive with code 1 and mean the same as the menu item; a control's
  // notification keeps its own code.
  if (code == 1 && lParam == 0) code = CN_COMMAND;
  return OnCmdMsg(id, code, nullptr);
}

namespace {
[[noreturn]] void FailUnknownSignature(UINT message, UINT_PTR signature) {
  char text[160];
  ::wsprintfA(text,
              "message map: the entry for message 0x%04X has signature %u, which the dispatcher "
              "does not know",
              message, static_cast<unsigned>(signature));
  AfxFail(text);
}

CPoint PointOf(LPARAM lParam) {
  return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

template <typename Handler>
Handler As(const AfxMessageMapEntry* entry) {
  return reinterpret_cast<Handler>(entry->handler);
}
}  // namespace

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message != WM_NOTIFY) return FALSE;
  const auto* header = reinterpret_cast<NMHDR*>(lParam);
  const AfxMessageMapEntry* entry = FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, header->code, 0);
  if (!entry) return FALSE;
  if (entry->signature != AfxSig_vNMHDRpl)
    FailUnknownSignature(WM_REFLECT_BASE + WM_NOTIFY, entry->signature);
  LRESULT value = 0;
  (this->*As<void (CWnd::*)(NMHDR*, LRESULT*)>(entry))(reinterpret_cast<NMHDR*>(lParam), &value);
  *result = value;
  return TRUE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *result = 0;
      return TRUE;
    }
    return FALSE;
  }
  const AfxMessageMapEntry* entry = nullptr;
  if (message == WM_NOTIFY && lParam) {
    // The control that sent it may handle it itself; then the parent's map, by the
    // notification's code and the control's id.
    const auto* header = reinterpret_cast<NMHDR*>(lParam);
    HWND from = header->hwndFrom;
    CWnd* child = from && from != m_hWnd ? FromHandlePermanent(from) : nullptr;
    if (child && child->OnChildNotify(message, wParam, lParam, result)) return TRUE;
    entry = FindMessageEntry(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom));
  }
  if (!entry && message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
    entry = FindMessageEntry(WM_CTLCOLOR, 0, 0);
  if (!entry) entry = FindMessageEntry(message, 0, 0);
  if (!entry) return FALSE;
  // The handler's Default() works on this message; the one it interrupted comes back
  // afterwards, however the handler ends. A handler may destroy its own window, and
  // a window made with new deletes itself then (a frame closing its document): such
  // an object is no longer in the handle map and is not touched again.
  struct CurrentMessage {
    CWnd* owner;
    HWND hwnd;
    bool mapped;
    MSG saved;
    ~CurrentMessage() {
      if (!mapped || FromHandlePermanent(hwnd) == owner) owner->m_currentMsg = saved;
    }
  } current{this, m_hWnd, m_hWnd && FromHandlePermanent(m_hWnd) == this, m_currentMsg};
  m_currentMsg = {m_hWnd, message, wParam, lParam, 0, {0, 0}};
  *result = Dispatch(entry, message, wParam, lParam);
  return TRUE;
}

LRESULT CWnd::Dispatch(const AfxMessageMapEntry* entry, UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT low = LOWORD(wParam);
  const UINT high = HIWORD(wParam);
  switch (entry->signature) {
    case AfxSig_vv:
      (this->*As<void (CWnd::*)()>(entry))();
      return 0;
    case AfxSig_bv:
      return (this->*As<BOOL (CWnd::*)()>(entry))();
    case AfxSig_wv:
      return (this->*As<UINT (CWnd::*)()>(entry))();
    case AfxSig_is:
      return (this->*As<int (CWnd::*)(LPCREATESTRUCT)>(entry))(reinterpret_cast<LPCREATESTRUCT>(lParam));
    case AfxSig_vwii:
      (this->*As<void (CWnd::*)(UINT, int, int)>(entry))(
          static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case AfxSig_vt:
      (this->*As<void (CWnd::*)(UINT_PTR)>(entry))(wParam);
      return 0;
    case AfxSig_vwwW:
      (this->*As<void (CWnd::*)(UINT, UINT, CWnd*)>(entry))(low, high,
                                                            FromHandle(reinterpret_cast<HWND>(lParam)));
      return 0;
    case AfxSig_lwl:
      return (this->*As<LRESULT (CWnd::*)(WPARAM, LPARAM)>(entry))(wParam, lParam);
    case AfxSig_vNMHDRpl: {
      LRESULT value = 0;
      (this->*As<void (CWnd::*)(NMHDR*, LRESULT*)>(entry))(reinterpret_cast<NMHDR*>(lParam), &value);
      return value;
    }
    case AfxSig_vwp:
      (this->*As<void (CWnd::*)(UINT, CPoint)>(entry))(static_cast<UINT>(wParam), PointOf(lParam));
      return 0;
    case AfxSig_bwsp:
      return (this->*As<BOOL (CWnd::*)(UINT, short, CPoint)>(entry))(low, static_cast<short>(high),
                                                                     PointOf(lParam));
    case AfxSig_iWww:
      return (this->*As<int (CWnd::*)(CWnd*, UINT, UINT)>(entry))(FromHandle(reinterpret_cast<HWND>(wParam)),
                                                                  LOWORD(lParam), HIWORD(lParam));
    case AfxSig_vwww:
      (this->*As<void (CWnd::*)(UINT, UINT, UINT)>(entry))(static_cast<UINT>(wParam), LOWORD(lParam),
                                                           HIWORD(lParam));
      return 0;
    case AfxSig_bD: {
      CDC dc(reinterpret_cast<HDC>(wParam));
      return (this->*As<BOOL (CWnd::*)(CDC*)>(entry))(&dc);
    }
    case AfxSig_bWww:
      return (this->*As<BOOL (CWnd::*)(CWnd*, UINT, UINT)>(entry))(FromHandle(reinterpret_cast<HWND>(wParam)),
                                                                   LOWORD(lParam), HIWORD(lParam));
    case AfxSig_vW: {
      // Focus messages name the other window in wParam, a capture change in lParam.
      HWND other = reinterpret_cast<HWND>(message == WM_CAPTURECHANGED ? lParam : wParam);
      (this->*As<void (CWnd::*)(CWnd*)>(entry))(FromHandle(other));
      return 0;
    }
    case AfxSig_vws:
      (this->*As<void (CWnd::*)(UINT, LPCSTR)>(entry))(static_cast<UINT>(wParam),
                                                       reinterpret_cast<LPCSTR>(lParam));
      return 0;
    case AfxSig_lp:
      return (this->*As<LRESULT (CWnd::*)(CPoint)>(entry))(PointOf(lParam));
    case AfxSig_vbNc:
      (this->*As<void (CWnd::*)(BOOL, NCCALCSIZE_PARAMS*)>(entry))(
          static_cast<BOOL>(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
      return 0;
    case AfxSig_vMinMax:
      (this->*As<void (CWnd::*)(MINMAXINFO*)>(entry))(reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case AfxSig_vPos:
      (this->*As<void (CWnd::*)(WINDOWPOS*)>(entry))(reinterpret_cast<WINDOWPOS*>(lParam));
      return 0;
    case AfxSig_vbw:
      (this->*As<void (CWnd::*)(BOOL, UINT)>(entry))(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
      return 0;
    case AfxSig_vb:
      (this->*As<void (CWnd::*)(BOOL)>(entry))(static_cast<BOOL>(wParam));
      return 0;
    case AfxSig_bb:
      return (this->*As<BOOL (CWnd::*)(BOOL)>(entry))(static_cast<BOOL>(wParam));
    case AfxSig_vwWb:
      (this->*As<void (CWnd::*)(UINT, CWnd*, BOOL)>(entry))(low, FromHandle(reinterpret_cast<HWND>(lParam)),
                                                            high != 0);
      return 0;
    case AfxSig_hDWw: {
      CDC dc(reinterpret_cast<HDC>(wParam));
      HBRUSH brush = (this->*As<HBRUSH (CWnd::*)(CDC*, CWnd*, UINT)>(entry))(
          &dc, FromHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX);
      return reinterpret_cast<LRESULT>(brush);
    }
    case AfxSig_vwl:
      (this->*As<void (CWnd::*)(UINT, LPARAM)>(entry))(static_cast<UINT>(wParam), lParam);
      return 0;
    case AfxSig_vWp:
      (this->*As<void (CWnd::*)(CWnd*, CPoint)>(entry))(FromHandle(reinterpret_cast<HWND>(wParam)),
                                                        PointOf(lParam));
      return 0;
    default:
      FailUnknownSignature(message, entry->signature);
  }
}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnSettingChange(UINT, LPCSTR) { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnNcActivate(BOOL active) {
  return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, active, m_currentMsg.lParam));
}
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDblClk(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CWnd*) { Default(); }

const AfxMessageMap* CWnd::GetThisMessageMap() {
  static const AfxMessageMapEntry entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
  static const AfxMessageMap map = {&CCmdTarget::GetThisMessageMap, entries};
  return &map;
}

const AfxMessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
  if (!wnd && t_creating && !t_creating->m_hWnd) {
    wnd = t_creating;
    wnd->Attach(hwnd);
  }
  if (!wnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  LRESULT result = wnd->WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    wnd->Detach();
    wnd->PostNcDestroy();
  }
  return result;
}

namespace {
// The command-UI state of one child control of a window.
class ControlCmdUI : public CCmdUI {
public:
  HWND m_hControl = nullptr;
  void Enable(BOOL on) override {
    CCmdUI::Enable(on);
    // A control losing the enabled state while it has the focus hands it on.
    if (!on && ::GetFocus() == m_hControl) ::SendMessageA(::GetParent(m_hControl), WM_NEXTDLGCTL, 0, FALSE);
    ::EnableWindow(m_hControl, on);
  }
  void SetCheck(int check) override {
    if (::SendMessageA(m_hControl, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
      ::SendMessageA(m_hControl, BM_SETCHECK, static_cast<WPARAM>(check), 0);
  }
  void SetText(const char* text) override { ::SetWindowTextA(m_hControl, text ? text : ""); }
};
}  // namespace

void CWnd::UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler) {
  if (!m_hWnd || !target) return;
  ControlCmdUI state;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const int id = ::GetDlgCtrlID(child);
    if (id <= 0 || id == 0xFFFF) continue;
    state.m_hControl = child;
    state.m_nID = static_cast<UINT>(id);
    if (state.DoUpdate(target)) continue;
    // Without a handler only command buttons are disabled: edits, lists and labels
    // keep their state. A control disabled already is left alone (asking it what it is
    // costs a message each time).
    if (disableIfNoHandler && ::IsWindowEnabled(child) &&
        (::SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) {
      LONG style = ::GetWindowLongA(child, GWL_STYLE) & 0xF;
      if (style != BS_GROUPBOX && style != BS_OWNERDRAW) state.Enable(FALSE);
    }
  }
}

namespace {
// The tooltip control all bars of the thread share, and the tool it shows now.
HWND g_threadToolTip = nullptr;
HWND g_toolWindow = nullptr;
INT_PTR g_toolId = -1;
}  // namespace

HWND CWnd::GetThreadToolTip() { return ::IsWindow(g_threadToolTip) ? g_threadToolTip : nullptr; }

void CWnd::FilterToolTipMessage(MSG* msg) {
  const UINT message = msg->message;
  if (!(message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || !m_hWnd) return;
  if (!::IsWindow(g_threadToolTip)) {
    g_threadToolTip =
        ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0,
                          0, 0, 0, ::GetAncestor(m_hWnd, GA_ROOT), nullptr, nullptr, nullptr);
    g_toolWindow = nullptr;
    g_toolId = -1;
    if (!g_threadToolTip) return;
    ::SendMessageA(g_threadToolTip, TTM_ACTIVATE, TRUE, 0);
  }
  CPoint point(static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam)));
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  const INT_PTR hit = OnToolHitTest(point, &tool);
  HWND toolWindow = hit == -1 ? nullptr : (tool.hwnd ? tool.hwnd : m_hWnd);
  if (hit != g_toolId || toolWindow != g_toolWindow) {
    // Another tool (or none) under the mouse: the old one goes, the new one comes.
    if (g_toolWindow) {
      TTTOOLINFOA old{};
      old.cbSize = sizeof old;
      old.hwnd = g_toolWindow;
      old.uId = static_cast<UINT_PTR>(g_toolId);
      ::SendMessageA(g_threadToolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&old));
    }
    g_toolWindow = toolWindow;
    g_toolId = hit;
    if (toolWindow) {
      tool.hwnd = toolWindow;
      tool.uId = static_cast<UINT_PTR>(hit);
      tool.uFlags &= ~static_cast<UINT>(TTF_IDISHWND);
      ::SendMessageA(g_threadToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  if (tool.lpszText && tool.lpszText != LPSTR_TEXTCALLBACKA) ::free(tool.lpszText);
  ::SendMessageA(g_threadToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}
