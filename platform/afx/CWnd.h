#pragma once
// A C++ object attached to a window handle. Messages to windows created through
// CWnd reach the object's message map, then the window class's default procedure.
#include "platform/afx/CCmdTarget.h"
#include "platform/afx/CString.h"

class CWnd : public CCmdTarget {
public:
  CWnd() = default;
  ~CWnd() override;

  HWND m_hWnd = nullptr;
  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return this ? m_hWnd : nullptr; }

  // The object attached to the handle, or null when the window was not made by us.
  static CWnd* FromHandlePermanent(HWND hwnd);
  // The attached object, or a temporary one owned by the framework until the next
  // idle time for windows made elsewhere. Null only for a null handle.
  static CWnd* FromHandle(HWND hwnd);
  // Deletes the temporary objects made by FromHandle (called at idle time).
  static void DeleteTempMap();

  BOOL Attach(HWND hwnd);
  HWND Detach();

  // Takes over a window made elsewhere (a control of a dialog template): its messages
  // reach this object's map first, then the window's own procedure.
  BOOL SubclassWindow(HWND hwnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  // Gives the window its own procedure back and forgets it.
  HWND UnsubclassWindow();

  virtual BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                        int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                        void* param = nullptr);
  virtual BOOL Create(const char* className, const char* windowName, DWORD style,
                      const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
  virtual BOOL PreTranslateMessage(MSG* msg);

  // The message path: WindowProc -> OnWndMsg (message map) -> DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
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
  void CheckRadioButton(int firstId, int lastId, int checkId) {
    ::CheckRadioButton(m_hWnd, firstId, lastId, checkId);
  }

  static const AfxMessageMap* GetThisMessageMap();
  const AfxMessageMap* GetMessageMap() const override;

protected:
  // Handlers the message-map macros name; each does what the window would do
  // without us.
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnPaint();
  void OnClose();
  void OnSize(UINT type, int cx, int cy);
  void OnTimer(UINT_PTR id);
  void OnHScroll(UINT code, UINT position, CWnd* scrollBar);
  // The message being handled, for the default handlers above.
  const MSG* GetCurrentMessage() const { return &current_; }

  // The window procedure the handle had before we took it over.
  WNDPROC m_pfnSuper = nullptr;

private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Default();
  MSG current_{};
};

// The window procedure of every window class we register.
LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers (once) and names a window class that routes to AfxWndProc.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                                HBRUSH background = nullptr, HICON icon = nullptr);
