#pragma once
// The implementation object embedded in every toolkit frame: the menu bar that takes
// the window menu's place, the user-defined and torn-off toolbars, and the main
// window's placement, applied before the frame is created and stored when it closes.
#include "platform/afx/afxwin.h"

class CTKBaseControlBar;

// The message-map entries every toolkit frame shares; the frame names its handlers
// OnDeleteToolbar, OnCreateToolbar, OnClose, OnDestroy, OnActivate and OnMenuChar.
#define ON_TK_FRAME_MESSAGES()                                                \
  ON_REGISTERED_MESSAGE(FrameHelper::s_deleteToolbarMessage, OnDeleteToolbar) \
  ON_REGISTERED_MESSAGE(FrameHelper::s_createToolbarMessage, OnCreateToolbar) \
  ON_WM_CLOSE()                                                               \
  ON_WM_DESTROY()                                                             \
  ON_WM_ACTIVATE()                                                            \
  ON_MESSAGE(WM_MENUCHAR, OnMenuChar)
// Declares those handlers in the frame's class.
#define DECLARE_TK_FRAME_HANDLERS()                      \
  LRESULT OnDeleteToolbar(WPARAM wParam, LPARAM lParam); \
  LRESULT OnCreateToolbar(WPARAM wParam, LPARAM lParam); \
  LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);      \
  void OnClose();                                        \
  void OnDestroy();                                      \
  void OnActivate(UINT state, CWnd* other, BOOL minimized);

class FrameHelper {
public:
  explicit FrameHelper(CFrameWnd* frame = nullptr);
  virtual ~FrameHelper();
  FrameHelper(const FrameHelper&) = delete;
  FrameHelper& operator=(const FrameHelper&) = delete;

  CFrameWnd* GetOwnerFrame() const { return m_pFrame; }

  // The menu bar replaces the window menu: it keeps the frame's menu as its default
  // and the frame shows none. The menu bar is any window (the toolkit's menu bar
  // class belongs to the toolbars); it is not owned.
  void AttachMenuBar(CWnd* menuBar);
  CWnd* GetMenuBar() const { return m_pMenuBar; }
  HMENU GetDefaultMenu() const { return m_hDefaultMenu; }

  // The control ids reserved for user-defined toolbars, ends included.
  void ReserveUserBarIds(int first, int last) {
    m_firstUserBarId = first;
    m_lastUserBarId = last;
  }
  BOOL IsUserBarId(CWnd* bar) const;
  // The first free id of the reserved range, -1 when all are used or none reserved.
  int FirstFreeUserBarId() const;
  void AddUserBar(CWnd* bar) { m_userBars.AddTail(bar); }
  // Makes the toolkit's toolbar objects; set by the toolbar classes (without it no
  // user-defined or torn-off toolbar can be made).
  static CTKBaseControlBar* (*s_pfnNewToolBar)();
  // A new user-defined toolbar named name, floating in the middle of the screen: the
  // first free reserved id; with none free the user is told and nothing is made.
  CTKBaseControlBar* CreateUserBar(const char* name);
  // Each reserved id whose toolbar state is stored under the profile name gets its
  // toolbar back, docked; and the user toolbars' state is stored.
  void LoadUserBars();
  void SaveUserBars(BOOL ownFrameOnly);
  // The torn-off toolbars in the registry: "ControlBars-TearOff-<n>" below the
  // workspace's section, with their id, name and buttons.
  BOOL LoadTearOffBars();
  BOOL SaveTearOffBars(BOOL ownFrameOnly);

  // Torn-off bars are owned: they are destroyed and deleted with the helper.
  void RememberTearOffBar(CWnd* bar) { m_tearOffBars.AddTail(bar); }
  void ForgetTearOffBar(CWnd* bar);
  int TearOffBarCount() const { return static_cast<int>(m_tearOffBars.GetCount()); }

  // Before the frame's window exists: the workspace may replace the creation
  // rectangle and the show command by the stored ones.
  void ApplyStoredPlacement(CREATESTRUCTA& cs);
  // A stored dock layout fits this frame when every bar it docks (floating ones
  // apart) exists in the frame.
  BOOL IsDockStateValid(const CDockState& state) const;
  // On WM_CLOSE: hidden torn-off bars go, the workspace saves the frame's state and
  // the placement of a top-level frame.
  void OnClosingFrame();

  // What every toolkit frame does alike, whatever its framework base. ---------------
  // The messages of user-defined toolbars: "TKTOOLBAR_CREATE" (the name in lParam;
  // the result is the bar, 0 when none was made) and "TKTOOLBAR_DELETE" (the bar in
  // lParam; the result is TRUE when it was a user-defined toolbar). Registered by the
  // first helper made, before any toolbar can send them.
  static UINT s_createToolbarMessage;
  static UINT s_deleteToolbarMessage;
  LRESULT OnCreateToolbarMessage(LPARAM lParam);
  BOOL DeleteUserBar(CWnd* bar);
  // LoadFrame succeeded: the workspace loads the frame's state.
  void OnFrameLoaded();
  // OnCommand before the frame's base: TRUE when the frame answers *result without
  // it (no command runs while toolbars are customised; an accelerator closes an open
  // library popup menu, and a minimised frame swallows it).
  BOOL PreCommand(WPARAM wParam, BOOL* result);
  // WM_MENUCHAR: TRUE when the menu bar or a toolbar took the character; the frame
  // then answers kMenuCharTaken (the system neither beeps nor looks further).
  BOOL TakeMenuChar(UINT character);
  static constexpr LRESULT kMenuCharTaken = MAKELRESULT(2, 0xFFFF);
  // WM_ACTIVATE after the base: a click activation repaints at once; losing the
  // activation (outside customization) closes an open library popup menu.
  void OnFrameActivate(UINT state);
  // WM_DESTROY before the base: the frame's accelerator table goes.
  void DestroyAccelerators();
  // The library popup menu open at the moment closes, when there is one.
  static void CloseOpenPopup();
  // At idle time the open library popup menu (and the popups it opened from) bring
  // their items up to date too: they are no children of the frame.
  static void UpdateOpenPopup(WPARAM disableIfNoHandler);

  // The library-wide active frame: the frame that popup menus and torn-off toolbars
  // take as theirs. An in-place frame takes the role while it is active (keeping the
  // one before in previous) and hands it back when it is deactivated or destroyed.
  // When none is set, a window's frame is its top-level one (CTKPopupMenu::FrameOf).
  static CFrameWnd* GetActiveFrame();
  void TakeActiveFrame(HWND* previous);
  void HandBackActiveFrame(HWND* previous);
  // An in-place frame's WM_ACTIVATE after its base: activated, it takes the active
  // frame's role; deactivated, the open popup menu and the menu bar's popup close and
  // the role goes back. Its WM_DESTROY before its base: the same closing and handing
  // back, and the accelerator table goes.
  void OnInPlaceActivate(UINT state, HWND* previous);
  void OnInPlaceDestroy(HWND* previous);
  // The menu bar drops a popup of its own (cancel mode).
  void CancelMenuBarPopup();

  int m_firstUserBarId = -1;
  int m_lastUserBarId = -1;
  CList<CWnd*, CWnd*> m_userBars;
  CList<CWnd*, CWnd*> m_tearOffBars;
  CString m_profileName;
  CWnd* m_pMenuBar = nullptr;
  HMENU m_hDefaultMenu = nullptr;
  CFrameWnd* m_pFrame;
  UINT m_menuBarResId = 0;

private:
  static void DestroyBar(CWnd* bar);
  // A toolbar made the way user and torn-off toolbars are made; null on failure.
  CTKBaseControlBar* MakeToolBar(UINT id, const char* name);
  CString TearOffPath() const;
};
