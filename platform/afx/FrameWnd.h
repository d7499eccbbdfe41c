#pragma once
// A top-level frame: title, menu and icon from resources, and command routing to the
// application when the frame itself has no handler.
#include "platform/afx/CreateContext.h"
#include "platform/afx/List.h"
#include "platform/afx/Wnd.h"

class CControlBar;
class CDockBar;
class CDockState;
class CDocument;
class CMiniDockFrameWnd;
class CPrintPreviewState;
class CView;

// A frame style bit of the framework (never given to the window): the title shows
// the active document's title too.
#define FWS_ADDTOTITLE 0x00008000L
// The string resource of the status bar's idle text.
#ifndef AFX_IDS_IDLEMESSAGE
#define AFX_IDS_IDLEMESSAGE 0xE001
#endif
// The frame's message string (lParam: the text; wParam 0) or prompt (wParam: string id).
#ifndef WM_SETMESSAGESTRING
#define WM_SETMESSAGESTRING 0x0362
#endif
#ifndef WM_HELPHITTEST
// Asked of a window in context help (lParam a client point): the help context there, 0
// for none.
#define WM_HELPHITTEST 0x0366
#endif
#ifndef ID_CONTEXT_HELP
#define ID_CONTEXT_HELP 0xE145
#endif
#ifndef HID_BASE_COMMAND
// Help contexts of commands are the command ids plus this.
#define HID_BASE_COMMAND 0x00010000
#endif

class CFrameWnd : public CWnd {
  DECLARE_DYNAMIC(CFrameWnd)

public:
  CFrameWnd() = default;

  // Creates the frame from resource id: its title (the text up to the first '\n' of
  // string id, else the application's name), its menu and its icon when present.
  // A context (from a document template) makes the frame's client through
  // OnCreateClient while the frame is being created.
  virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr,
                         CCreateContext* context = nullptr);
  BOOL Create(const char* className, const char* title, DWORD style = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* parent = nullptr, const char* menuName = nullptr,
              DWORD exStyle = 0);

  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

  static const RECT rectDefault;

  // The frame's keyboard shortcuts (null when it has none).
  HACCEL m_hAccelTable = nullptr;
  virtual HACCEL GetDefaultAccelerator() { return m_hAccelTable; }
  // The resource id the frame was loaded from (0 when made without resources).
  UINT GetResourceId() const { return m_nIDResource; }

  // Lays the control bars out along the sides of the client area (WM_SIZEPARENT to
  // every bar child) and gives the rest to the view (AFX_IDW_PANE_FIRST).
  virtual void RecalcLayout(BOOL notify = TRUE);
  // Lays the bars out once the messages now waiting are handled (several requests
  // give one layout).
  void DelayRecalcLayout();
  // Shows or hides a bar and lays the bars out again (at once unless delay). A floating
  // bar's frame shows and hides with it.
  void ShowControlBar(CWnd* bar, BOOL show, BOOL delay);

  // Docking. EnableDocking makes a dock bar on each side style names (top, bottom,
  // left, right, in that order: top and bottom run the whole width).
  virtual void EnableDocking(DWORD style);
  CDockBar* GetDockBar(UINT dockBarId) const;
  // Docks the bar on a side (0: the first side, in the order above, that the bar
  // allows), into the row under rect (screen coordinates) or a new last row. False
  // when the frame has no dock bar there.
  BOOL DockControlBar(CControlBar* bar, UINT dockBarId = 0, const RECT* rect = nullptr);
  BOOL DockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect = nullptr);
  // Floats the bar in a floating frame whose top-left corner is at point (screen).
  void FloatControlBar(CControlBar* bar, CPoint point, DWORD style = 0x2000 /* CBRS_ALIGN_TOP */);
  // The bar with that control id docked in this frame or floating from it.
  CControlBar* GetControlBar(UINT id) const;
  // Every bar docked in this frame or floating from it.
  void GetDockingBars(CList<CControlBar*, CControlBar*>& bars) const;
  // Where every bar is (side, row, place in the row, or floating position) and
  // whether it shows; and the same applied back.
  void GetDockState(CDockState& state) const;
  void SetDockState(const CDockState& state);
  void SaveBarState(const char* profile) const;
  void LoadBarState(const char* profile);

  // Makes the floating frames (the toolkit's frames make their own kind).
  CMiniDockFrameWnd* (*m_pfnCreateFloatingFrame)() = nullptr;
  CList<CMiniDockFrameWnd*, CMiniDockFrameWnd*> m_listFloating;

  // Documents and views (FrameWndDoc.cpp). Commands go to the active view (which
  // passes them to its document) before the frame and the application.
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* view, BOOL notify = TRUE);
  virtual CDocument* GetActiveDocument();
  // Makes the context's view as a child with the given id.
  CWnd* CreateView(CCreateContext* context, UINT id = 0xE900 /* AFX_IDW_PANE_FIRST */);
  // The first view is made active, every view gets its initial update, and the
  // frame is shown when makeVisible (ShowInitialFrame).
  virtual void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);
  // Shows the frame as its initial update does (the application's show command for
  // the main window), paints it and activates its view.
  void ShowInitialFrame();
  // Print preview shows (preview) or ends: the bars (the status bar apart) and the menu
  // hide and come back, and the main pane steps aside for the preview (FrameWndPreview.cpp).
  virtual void OnSetPreviewMode(BOOL preview, CPrintPreviewState* state);
  // The title: the application's name, with " - " and the document's title first
  // when the frame was loaded with FWS_ADDTOTITLE.
  virtual void OnUpdateFrameTitle(BOOL addToTitle);

  // The status bar's message pane (the pane with id 0 of the bar AFX_IDW_STATUS_BAR):
  // a text, or the prompt of a command (AFX_IDS_IDLEMESSAGE or a command without a
  // prompt: the idle text).
  void SetMessageText(const char* text);
  void SetMessageText(UINT id);
  // The prompt of a command: its string resource up to the first '\n'.
  virtual CString GetMessageString(UINT id) const;

  // Context help (the command ID_CONTEXT_HELP, which programs bind to Shift+F1): the
  // pointer becomes the help arrow until the user clicks (the help of what lies under
  // the pointer, the answer of the first window from there up to the frame that knows
  // one to WM_HELPHITTEST, goes to WinHelp; 0 when none knows) or leaves it with
  // Escape or the right button.
  virtual void OnContextHelp();
  BOOL m_bHelpMode = FALSE;

protected:
  // While the frame is created with a context: makes the client (the view).
  virtual BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context);
  int OnCreate(LPCREATESTRUCT cs);
  // A frame with a document asks it whether it may close (save question).
  void OnClose();
  CView* m_pViewActive = nullptr;
  BOOL m_bAddToTitle = FALSE;
  CString m_strTitle;

  void PostNcDestroy() override;
  void OnDestroy();
  void OnSize(UINT type, int cx, int cy);
  LRESULT OnDelayedLayout(WPARAM wParam, LPARAM lParam);
  // At idle time: every bar of the frame (docked, floating or plain) updates the state
  // of its buttons and controls from the frame's command handlers.
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  // WM_SETMESSAGESTRING from the bars and menus; answers the id shown before.
  LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  // A plain menu's item under the pointer shows its prompt; the closed menu the idle text.
  LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
  // The prompt shown last (0: a text or nothing yet).
  UINT m_nIDLastMessage = 0;
  BOOL m_bIdleTextShown = FALSE;
  BOOL m_layoutPosted = FALSE;
  UINT m_nIDResource = 0;
  BOOL m_inRecalcLayout = FALSE;
  // Records where a bar now is, for the next double click on it.
  void RememberDockPlace(CControlBar* bar);

  DECLARE_MESSAGE_MAP()
};
