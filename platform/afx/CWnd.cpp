#include "platform/afx/CWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <mutex>
#include <unordered_map>
#include <vector>
#include "platform/afx/linux_headers_end.h"

#include "platform/afx/CCmdUI.h"

namespace {
// Handles to objects. Windows belong to the user-interface thread, but the map is
// also read by code that only asks about a handle, so it takes a lock.
std::mutex g_map_lock;
std::unordered_map<HWND, CWnd*> g_permanent;
std::unordered_map<HWND, CWnd*> g_temporary;

// The object whose window is being created on this thread: the first message of the
// new window attaches it.
thread_local CWnd* t_creating = nullptr;

void MapHandle(HWND hwnd, CWnd* wnd) {
  std::lock_guard lock(g_map_lock);
  g_permanent[hwnd] = wnd;
}

void UnmapHandle(HWND hwnd) {
  std::lock_guard lock(g_map_lock);
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
  std::lock_guard lock(g_map_lock);
  auto it = g_permanent.find(hwnd);
  return it == g_permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
  std::lock_guard lock(g_map_lock);
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
    std::lock_guard lock(g_map_lock);
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
                               reinterpret_cast<UINT_PTR>(background),
                               reinterpret_cast<UINT_PTR>(icon)};
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

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                    void* param) {
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
  HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                cs.lpCreateParams);
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
  if (m_pfnSuper)
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
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

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, void* param) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
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
  return DefWindowProc(current_.message, current_.wParam, current_.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result))
    result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT id = LOWORD(wParam);
  int code = HIWORD(wParam);
  // Accelerators arrive with code 1 and mean the same as the menu item; a control's
  // notification keeps its own code.
  if (code == 1 && lParam == 0) code = CN_COMMAND;
  return OnCmdMsg(id, code, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message != WM_NOTIFY) return FALSE;
  const auto* header = reinterpret_cast<NMHDR*>(lParam);
  const AfxMessageMapEntry* entry = FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, header->code, 0);
  if (!entry) return FALSE;
  LRESULT value = 0;
  (this->*reinterpret_cast<void (CWnd::*)(NMHDR*, LRESULT*)>(entry->handler))(
      reinterpret_cast<NMHDR*>(lParam), &value);
  *result = value;
  return TRUE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_NOTIFY && lParam) {
    // The control that sent it may handle it itself.
    HWND from = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    CWnd* child = from && from != m_hWnd ? FromHandlePermanent(from) : nullptr;
    if (child && child->OnChildNotify(message, wParam, lParam, result)) return TRUE;
  }
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *result = 0;
      return TRUE;
    }
    return FALSE;
  }
  const AfxMessageMapEntry* entry = FindMessageEntry(message, 0, 0);
  if (!entry) return FALSE;
  MSG saved = current_;
  current_ = {m_hWnd, message, wParam, lParam, 0, {0, 0}};
  LRESULT value = 0;
  switch (entry->signature) {
    case AfxSig_vv:
      (this->*reinterpret_cast<void (CWnd::*)()>(entry->handler))();
      break;
    case AfxSig_bv:
      value = (this->*reinterpret_cast<BOOL (CWnd::*)()>(entry->handler))();
      break;
    case AfxSig_is:
      value = (this->*reinterpret_cast<int (CWnd::*)(LPCREATESTRUCT)>(entry->handler))(
          reinterpret_cast<LPCREATESTRUCT>(lParam));
      break;
    case AfxSig_vwii:
      (this->*reinterpret_cast<void (CWnd::*)(UINT, int, int)>(entry->handler))(
          static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
          static_cast<short>(HIWORD(lParam)));
      break;
    case AfxSig_vt:
      (this->*reinterpret_cast<void (CWnd::*)(UINT_PTR)>(entry->handler))(wParam);
      break;
    case AfxSig_vwwW:
      (this->*reinterpret_cast<void (CWnd::*)(UINT, UINT, CWnd*)>(entry->handler))(
          LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
      break;
    case AfxSig_lwl:
      value = (this->*reinterpret_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(entry->handler))(
          wParam, lParam);
      break;
    default:
      current_ = saved;
      return FALSE;
  }
  current_ = saved;
  *result = value;
  return TRUE;
}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }

const AfxMessageMap* CWnd::GetThisMessageMap() {
  static const AfxMessageMapEntry entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
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
