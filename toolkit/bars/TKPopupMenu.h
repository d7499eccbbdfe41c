#pragma once
// The window of one open menu: a borderless popup that holds a popup menu bar, draws
// the menu frame and its shadow, places itself on the screen next to the button that
// opened it, scrolls when it is taller than the screen, closes itself and its parents
// by the menu's closing rules, and deletes itself once its window is gone.
#include "toolkit/bars/TKPopupMenuBar.h"
#include "toolkit/frames/TKPopupMenuBase.h"

class BackBuffer;

class CTKPopupMenu : public CTKPopupMenuBase {
public:
  // Where the popup lies against the button that opened it.
  enum DropDirection { kDropNone = 0, kDropBelow = 1, kDropAbove = 2, kDropRight = 3, kDropLeft = 4 };
  // What a screen point hits.
  enum HitCode {
    kHitItems = kInside,
    kHitRightShadow = kRightShadow,
    kHitBottomShadow = kBottomShadow,
    kHitLogo = kLogo,
    kHitOutside = kOutside,
    kHitTearOff = kSpecialArea
  };

  CTKPopupMenu();
  ~CTKPopupMenu() override;

  // x = y = -1: 5 pixels right of and below the parent's client origin (0,0 without
  // one). The menu handle is owned by the popup from then on.
  virtual BOOL Create(CWnd* parent, int x, int y, HMENU menu, BOOL locked = FALSE, BOOL ownMessage = FALSE);
  virtual void RecalcLayout();
  BOOL PreTranslateMessage(MSG* msg) override;
  // Closes the popup as destroying its window would, but keeps the window hidden for
  // the next popup when the popup allows it (SetKeepWindowOnClose): making and showing
  // a new top-level window costs far more than showing a kept one.
  BOOL DestroyWindow() override;
  // Windows kept for reuse are destroyed (at the end of the program, or by tests).
  static void DestroySpareWindows();
  // A plain menu copy of the items (sub-menus included), owned by the popup.
  HMENU CreateTempMenu() override;
  void DestroyTempMenu() override;
  HMENU GetTempMenu() const { return m_hTempMenu; }
  // The messages through which accessibility clients ask a popup about its items:
  // "TKM_ACCHITTEST" (lParam a screen point) answers the index of the item under it or
  // -1, "TKM_ACCGETSTATE" (wParam an item index) its style or -1; "TKM_GETOBGECT" goes
  // to the frame when a client asks for the popup's object.
  static const UINT s_accHitTestMessage;
  static const UINT s_accGetStateMessage;
  static const UINT s_getObjectMessage;

  CTKPopupMenuBar* GetMenuBar() { return &m_wndMenuBar; }
  BOOL IsInCommand() const { return m_wndMenuBar.IsInCommand(); }
  // The popup has grown or faded in fully and does not scroll.
  BOOL IsIdle() const { return m_bAnimationFinished && m_iScrollMode == 0; }
  void CloseMenu(BOOL setFocusToBar);
  void ShowAllCommands();
  CTKPopupMenu* GetParentPopupMenu() const;
  // The popup at the top of the chain (itself when it is no sub-menu).
  CTKPopupMenu* GetOutermost() const;
  CTKToolBar* GetParentToolBar() const;
  CTKToolbarMenuButton* GetParentButton() const { return m_pParentBtn; }
  void SetParentButton(CTKToolbarMenuButton* button) { m_pParentBtn = button; }
  CTKToolbarMenuButton* GetSelItem();
  // The chain counts as one: a point on any of its popups is inside.
  int HitTest(POINT screen) const override;
  CRect OpenerButtonRect() const override;
  BOOL IsOpenedFromMenuBar() const override;
  CWnd* MenuBarAt(POINT screen) const override;
  // Closes the whole chain.
  void CloseMenu() override;
  int GetMenuItemCount() const { return m_wndMenuBar.GetCount(); }
  CTKToolbarMenuButton* GetMenuItem(int index) const;
  BOOL InsertItem(const CTKToolbarMenuButton& button, int index = -1);
  BOOL InsertSeparator(int index = -1);
  BOOL RemoveItem(int index);
  void RemoveAllItems();
  int GetDropDirection() const { return m_DropDirection; }
  void SetDropDirection(int direction) { m_DropDirection = direction; }
  CWnd* GetMessageWnd() const { return m_pMessageWnd; }
  void SetMessageWnd(CWnd* window) { m_pMessageWnd = window; }
  void SetRightAlign(BOOL on = TRUE) { m_bRightAlign = on; }
  int GetShadowDepth() const { return m_iShadowSize; }
  // A band of the given size along one side of the popup, drawn by the frame's logo
  // hook (a frame declares it when the popup opens). Size 0: none.
  enum LogoLocation { kLogoLeft = 0, kLogoRight = 1, kLogoTop = 2, kLogoBottom = 3 };
  void EnableMenuLogo(int size, int location = kLogoLeft);
  // The band in the popup's client coordinates, empty for none.
  CRect GetLogoRect() const { return m_rectLogo; }
  BOOL IsScrollable() const { return m_bScrollable; }
  // Marks the popup as one holding the chevron's add-or-remove menu.
  BOOL m_bHasAddRemoveMenu = FALSE;
  // The popup's items come from the owning toolbar's own images.
  CTKToolBar* m_pImagesSource = nullptr;

  // The frame that menus report to: the library's active frame (an in-place frame
  // while it is active) when one is set, else the top-level frame of the window.
  static CFrameWnd* FrameOf(CWnd* window);
  // Tells the frame that the popup opens (null: none is open); the frame's answer.
  static BOOL ActivatePopupMenu(CFrameWnd* frame, CTKPopupMenu* popup);
  // The popup of the keyboard: the innermost open popup of the chain.
  static CTKPopupMenu* GetActiveMenu() { return s_pActivePopupMenu; }
  // Tears the menu off at a screen point: the frame's bar of the menu's tear-off id
  // floats there (made from the menu's items when the frame has none) and the menu
  // closes.
  BOOL TearOff(CPoint screen);
  // A floating toolbar of the menu's items, with the tear-off id and the menu's name.
  CTKToolBar* CreateTearOffBar(CFrameWnd* frame, UINT id, const char* name);
  // The name of the bar a torn-off menu becomes: its button's text without access key
  // marks.
  CString TearOffTitle() const;
  CRect GetTearOffBand() const { return m_rectTearOffBand; }
  // Popups whose windows are gone are deleted here, outside any of their handlers.
  static void DeleteClosedMenus();
  // How popups appear (the toolbars' class-wide "MenuAnimation" setting).
  enum Animation { kAnimationNone = 0, kAnimationUnfold = 1, kAnimationSlide = 2, kAnimationFade = 3 };
  int GetAnimationType() const { return m_iAnimationType; }
  // A popup opened by the keys appears at once: while one of these lives, popups that
  // open do not animate.
  class OpenAtOnce {
  public:
    OpenAtOnce() : m_saved(CTKToolBar::s_nMenuAnimation) { CTKToolBar::s_nMenuAnimation = kAnimationNone; }
    ~OpenAtOnce() { CTKToolBar::s_nMenuAnimation = m_saved; }
    OpenAtOnce(const OpenAtOnce&) = delete;
    OpenAtOnce& operator=(const OpenAtOnce&) = delete;

  private:
    int m_saved;
  };

  BOOL m_bAutoDestroyParent = TRUE;
  BOOL m_bShown = FALSE;
  // FALSE: the menu handle stays with the caller when the popup closes.
  void SetAutoDestroyMenu(BOOL on) { m_bOwnsMenu = on; }
  // TRUE: closing hides the window and keeps it for the next popup instead of
  // destroying it. Only for popups whose closing nobody watches through the window's
  // destruction (a loop on IsWindow, a handler of WM_DESTROY): a kept window never
  // goes. The toolkit's menu buttons set it for the popups they open themselves.
  void SetKeepWindowOnClose(BOOL on) { m_bKeepWindow = on; }

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnClose();
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  // A popup without a frame has nothing outside its client to paint; asking the
  // default painting anyway costs requests to the window server.
  void OnNcPaint();
  int OnMouseActivate(CWnd*, UINT, UINT) { return MA_NOACTIVATE; }
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnTimer(UINT_PTR id);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void PaintTearOffBand(CDC* dc);
  // The band's tooltip: made with the band, its text asked for when it shows, and the
  // band lit while it shows.
  void UpdateTearOffTip();
  void OnTearOffTipText(NMHDR* header, LRESULT* result);
  void OnTearOffTipShow(NMHDR* header, LRESULT* result);
  void OnTearOffTipPop(NMHDR* header, LRESULT* result);
  void OnSize(UINT type, int cx, int cy);
  void PostNcDestroy() override;
  LRESULT OnActivateApp(WPARAM active, LPARAM);
  // The frame's idle update: this popup's items, then those of the popups it opened from.
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM);
  LRESULT OnGetObject(WPARAM flags, LPARAM objectId);
  LRESULT OnAccHitTest(WPARAM, LPARAM screenPoint);
  LRESULT OnAccGetState(WPARAM index, LPARAM);
  DECLARE_MESSAGE_MAP()

protected:
  // What closing does while the window still exists: the parent button, the chain,
  // the frame and the active popup are told.
  void OnClosing();
  // The recent-file placeholder becomes one entry per recent file, the user-tools
  // placeholder one entry per tool.
  void InsertRecentFiles();
  void InsertUserTools();
  // The popup's only child window is its items' bar.
  BOOL HoldsOnlyItsMenuBar() const;
  // A kept window made ready for this popup, or a new one.
  BOOL CreatePopupWindow(DWORD exStyle, HWND owner, int x, int y);
  // The appearing: a tick every 30 ms grows the part shown (or the alpha) until the
  // whole popup shows; then the items' bar shows.
  void StartAnimation();
  CSize AnimationStep() const;
  void AnimationTick();
  void FinishAnimation();
  void PaintAnimationStep(HDC paint, HDC picture, CSize size);
  // Shows the popup where its layout placed it, at the top.
  void ShowInPlace();
  // The popup can paint its bar's items with its own painting: the bar is its only
  // child and has no frame, and the popup is not mirrored.
  BOOL CanPaintItsItems() const;
  // The screen under the popup, kept for the shadow.
  void SaveScreenUnder();
  void ScrollBy(int direction);
  void EnsureSelectedVisible();

  CTKPopupMenuBar m_wndMenuBar;
  CTKToolbarMenuButton* m_pParentBtn = nullptr;
  CWnd* m_pMessageWnd = nullptr;
  int m_DropDirection = kDropNone;
  HMENU m_hMenu = nullptr;
  BOOL m_bOwnsMenu = TRUE;
  CPoint m_ptLocation{0, 0};
  CPoint m_ptLocationInitial{0, 0};
  CSize m_FinalSize{0, 0};
  BOOL m_bTrackMode = FALSE;
  BOOL m_bRightAlign = FALSE;
  BOOL m_bClosing = FALSE;
  int m_iMaxWidth = -1;
  int m_iShadowSize = 0;
  BOOL m_bScrollable = FALSE;
  CRect m_rectScrollUp;
  CRect m_rectScrollDn;
  int m_iScrollMode = 0;
  int m_iScrollBtnHeight = 0;
  // The screen under the popup, in a picture kept selected into its DC.
  BackBuffer* m_pScreenUnder = nullptr;
  CRect m_rectScreenUnder;
  BOOL m_bReleasingWindow = FALSE;
  BOOL m_bKeepWindow = FALSE;
  // Decided as the popup shows: it paints its bar's items itself (one paint instead of
  // the popup's and the bar's) and does not leave out the bar's place.
  BOOL m_bPaintsItems = FALSE;
  // The owner the window was given as the popup opened.
  HWND m_hWndOwner = nullptr;
  // The items bar's window kept with a kept popup window, for this popup's bar.
  HWND m_hKeptBar = nullptr;
  CRect m_rectTearOffBand{0, 0, 0, 0};
  BOOL m_bTearOffTracking = FALSE;
  BOOL m_bTearOffHighlighted = FALSE;
  HWND m_hwndTearOffTip = nullptr;
  BOOL m_bTearOffTipShown = FALSE;
  int m_iAnimationType = kAnimationNone;
  BOOL m_bAnimationFinished = TRUE;
  CSize m_AnimSize{0, 0};
  int m_iFadeAlpha = 101;
  DWORD m_dwAnimationStart = 0;
  HMENU m_hTempMenu = nullptr;
  int m_iLogoSize = 0;
  int m_nLogoLocation = kLogoLeft;
  CRect m_rectLogo{0, 0, 0, 0};

  static CTKPopupMenu* s_pActivePopupMenu;
};
