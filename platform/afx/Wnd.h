#pragma once
// A C++ object attached to a window handle. Messages to windows created through
// CWnd reach the object's message map, then the window class's default procedure.
#include <windows.h>
#include <commctrl.h>

#include "platform/afx/CmdTarget.h"
#include "platform/afx/Rect.h"
#include "platform/afx/String.h"

class CDC;

class CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)

public:
  CWnd() = default;
  ~CWnd() override;

  HWND m_hWnd = nullptr;
  operator HWND() const { return m_hWnd; }
  // The handle of an object that exists; for a pointer that may be null, use
  // AfxGetSafeHwnd (calling a member through a null pointer is never safe).
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object attached to the handle, or null when the window was not made by us.
  static CWnd* FromHandlePermanent(HWND hwnd);
  // The attached object, or a temporary one owned by the framework until the next
  // idle time for windows made elsewhere. Null only for a null handle.
  static CWnd* FromHandle(HWND hwnd);
  // Deletes the temporary objects made by FromHandle (called at idle time).
  static void DeleteTempMap();

  BOOL Attach(HWND hwnd);
  HWND Detach();
  // For windows made by some other route than CreateEx (an MDI client making a
  // document window): the first message of the next window made on this thread
  // attaches it to wnd. Returns the object this replaces, to be put back afterwards.
  static CWnd* SetCreatingWindow(CWnd* wnd);

  // Takes over a window made elsewhere (a control of a dialog template): its messages
  // reach this object's map first, then the window's own procedure.
  BOOL SubclassWindow(HWND hwnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  // Gives the window its own procedure back and forgets it.
  HWND UnsubclassWindow();

  virtual BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                        int y, int width, int height, HWND parent, HMENU menuOrId, void* param = nullptr);
  virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                      CWnd* parent, UINT id, void* param = nullptr);
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
  virtual BOOL PreTranslateMessage(MSG* msg);

  // The message path: WindowProc -> OnWndMsg (message map) -> DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // The program's help for this window: the help file's topic data (command says
  // how WinHelp reads data), shown for the window's top-level window.
  virtual void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);
  // A notification this window sent its parent, offered back to it first; TRUE when
  // this window handled it (the parent then does nothing more).
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Called after the last message; frames delete themselves here.
  virtual void PostNcDestroy() {}
  // Called when a window made elsewhere becomes this object's, before its next message.
  virtual void PreSubclassWindow() {}

  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
  void GetWindowText(CString& text) const;
  void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
  }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
  int GetDlgItemText(int id, CString& text) const;
  LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
  }
  // The tool under a client point for the thread's tooltip: fills tool (hwnd, id,
  // rectangle in client coordinates, text as a heap copy made with malloc that the
  // caller frees) and returns its id, or -1 for none.
  virtual INT_PTR OnToolHitTest(CPoint point, TTTOOLINFOA* tool) const { return -1; }
  // Shows the tooltip of the tool under the mouse for a mouse message of this window
  // (through the thread's tooltip control, made on first use).
  void FilterToolTipMessage(MSG* msg);
  // The thread's tooltip control (null until a bar first asked for it).
  static HWND GetThreadToolTip();

  // Asks target for the state of each child control (by its id) and enables or
  // disables it; buttons nobody answers for are disabled when disableIfNoHandler.
  void UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler);
  void CheckRadioButton(int firstId, int lastId, int checkId) {
    ::CheckRadioButton(m_hWnd, firstId, lastId, checkId);
  }

  static const AfxMessageMap* GetThisMessageMap();
  const AfxMessageMap* GetMessageMap() const override;

protected:
  // Handlers the message-map macros name, with the arguments the dispatcher decoded;
  // each does what the window would do without us (its default procedure with the
  // message being handled), so a derived handler calls its base's to get that.
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnClose();
  void OnSize(UINT type, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  void OnWindowPosChanging(WINDOWPOS* pos);
  void OnWindowPosChanged(WINDOWPOS* pos);
  void OnShowWindow(BOOL show, UINT status);
  void OnEnable(BOOL enable);
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnTimer(UINT_PTR id);
  void OnSysCommand(UINT id, LPARAM lParam);
  void OnSysColorChange();
  void OnSettingChange(UINT flags, LPCSTR section);
  void OnCancelMode();
  void OnCaptureChanged(CWnd* wnd);

  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);

  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcPaint();
  // Passes the given state on (a derived handler may change it).
  BOOL OnNcActivate(BOOL active);
  void OnNcLButtonDown(UINT hitTest, CPoint point);
  void OnNcLButtonUp(UINT hitTest, CPoint point);
  void OnNcLButtonDblClk(UINT hitTest, CPoint point);
  void OnNcRButtonDown(UINT hitTest, CPoint point);
  void OnNcRButtonUp(UINT hitTest, CPoint point);
  void OnNcMouseMove(UINT hitTest, CPoint point);

  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnRButtonUp(UINT flags, CPoint point);
  void OnRButtonDblClk(UINT flags, CPoint point);
  void OnMButtonDown(UINT flags, CPoint point);
  void OnMButtonUp(UINT flags, CPoint point);
  void OnMButtonDblClk(UINT flags, CPoint point);
  // point in screen coordinates.
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  int OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message);
  void OnMouseLeave();
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  // point in screen coordinates; (-1, -1) when the keyboard asked for the menu.
  void OnContextMenu(CWnd* wnd, CPoint point);

  void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
  void OnKeyUp(UINT key, UINT repeatCount, UINT flags);
  void OnSysKeyDown(UINT key, UINT repeatCount, UINT flags);
  void OnSysKeyUp(UINT key, UINT repeatCount, UINT flags);
  void OnChar(UINT character, UINT repeatCount, UINT flags);
  UINT OnGetDlgCode();
  void OnSetFocus(CWnd* oldWnd);
  void OnKillFocus(CWnd* newWnd);

  void OnHScroll(UINT code, UINT position, CWnd* scrollBar);
  void OnVScroll(UINT code, UINT position, CWnd* scrollBar);

  // The message being handled, for the default handlers above.
  const MSG* GetCurrentMessage() const { return &m_currentMsg; }
  // The window's own handling of the message being handled.
  LRESULT Default();

  // The window procedure the handle had before we took it over.
  WNDPROC m_pfnSuper = nullptr;

private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  // Calls the entry's handler with the arguments decoded from the message.
  LRESULT Dispatch(const AfxMessageMapEntry* entry, UINT message, WPARAM wParam, LPARAM lParam);
  MSG m_currentMsg{};
};

// The window handle of wnd, or null for no object.
inline HWND AfxGetSafeHwnd(const CWnd* wnd) { return wnd ? wnd->m_hWnd : nullptr; }

// The window procedure of every window class we register.
LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers (once) and names a window class that routes to AfxWndProc.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                HICON icon = nullptr);

// The program's help file: the program's own path with the extension ".HLP".
CString AfxGetHelpFilePath();
// Every help request of the framework and the toolkit goes through one WinHelp
// function: WinHelpA unless replaced (tests replace it so that no help program starts).
// Returns the function replaced.
using AfxWinHelpFunction = BOOL(WINAPI*)(HWND, LPCSTR, UINT, ULONG_PTR);
AfxWinHelpFunction AfxSetWinHelpFunction(AfxWinHelpFunction function);
BOOL AfxCallWinHelp(HWND window, const char* helpFile, UINT command, ULONG_PTR data);
