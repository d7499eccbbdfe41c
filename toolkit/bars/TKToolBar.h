#pragma once
// The toolkit's button bar: a docking control bar holding an ordered list of button
// objects, laid out in rows or columns, painted through the current look and the
// toolbar image lists, with tooltips, command-state updates, hot tracking, access
// keys, registry state, and a customize mode in which buttons are moved, copied and
// removed by OLE drag and drop. Menu bars and popup menu bars derive from it.
#include "platform/afx/afxole.h"
#include "platform/afx/afxwin.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/bars/TKToolbarImageList.h"
#include "toolkit/bars/ToolbarDropTarget.h"
#include "toolkit/frames/BarNcHelper.h"
#include "toolkit/frames/TKBaseControlBar.h"

class CTKRegistry;
class CCustomizeButton;

// The eight resource ids of a bar's images; 0 means none.
struct ToolbarImageSet {
  UINT cold = 0;
  UINT hot = 0;
  UINT disabled = 0;
  UINT largeCold = 0;
  UINT largeHot = 0;
  UINT largeDisabled = 0;
  UINT menu = 0;
  UINT menuDisabled = 0;
};

// Ids of the button context menu's commands in customize mode.
enum : UINT {
  ID_TKTOOLBAR_RESET = 16910,
  ID_TKTOOLBAR_COPY_IMAGE = 16911,
  ID_TKTOOLBAR_DELETE = 16912,
  ID_TKTOOLBAR_APPEARANCE = 16913,
  ID_TKTOOLBAR_IMAGE = 16914,
  ID_TKTOOLBAR_TEXT = 16915,
  ID_TKTOOLBAR_IMAGE_AND_TEXT = 16916,
  ID_TKTOOLBAR_START_GROUP = 16917,
  ID_TKTOOLBAR_NEW_MENU = 16918,
};

class CTKToolBar : public CTKBaseControlBar {
public:
  CTKToolBar();
  ~CTKToolBar() override;

  Kind LookKind() const override { return kToolBar; }
  BOOL IsHorizontal() const override { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }

  virtual void Serialize(CArchive& ar);
  // Tooltip text and rectangle of the button under the client point; the command id,
  // -1 when none. The text in info is allocated with malloc and the caller frees it.
  virtual int OnToolHitTest(CPoint point, TOOLINFOA* info);
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;
  CSize CalcDynamicLayout(int length, DWORD mode) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
  virtual void DoPaint(CDC* dc);
  virtual BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                      UINT id = AFX_IDW_TOOLBAR);
  virtual BOOL CreateEx(CWnd* parent, DWORD controlStyle = 0x800,
                        DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                        CRect borders = CRect(1, 1, 1, 1), UINT id = AFX_IDW_TOOLBAR);
  // As CreateEx, but on a window kept from an earlier bar of this class (a popup menu's
  // bar, kept hidden with its popup): the window is taken over and told it is created,
  // as a new one would be. Without a kept window (or with one that does not fit), a new
  // window is made.
  BOOL CreateOnKeptWindow(HWND kept, CWnd* parent, DWORD controlStyle, DWORD style, CRect borders, UINT id);
  // Ends the bar as destroying its window would, but lets the window go for a later
  // bar instead: making and destroying a window costs some twenty requests to the
  // window server. The window is returned, hidden or not as it was.
  HWND ReleaseWindowForReuse();
  virtual void RefreshImages();
  virtual BOOL LoadBitmap(UINT hot, UINT cold = 0, UINT menu = 0, BOOL locked = FALSE, UINT disabled = 0,
                          UINT menuDisabled = 0);
  virtual BOOL LoadToolBar(UINT resourceId, UINT cold = 0, UINT menu = 0, BOOL locked = FALSE,
                           UINT disabled = 0, UINT menuDisabled = 0, UINT hot = 0);
  virtual BOOL LoadBitmapEx(const ToolbarImageSet& images, BOOL locked = FALSE);
  virtual BOOL LoadToolBarEx(UINT resourceId, const ToolbarImageSet& images, BOOL locked = FALSE);
  virtual void RemoveAllButtons();
  virtual int GetRowHeight() const;
  virtual int GetColumnWidth() const;
  virtual BOOL AllowLookBorder() const { return TRUE; }
  virtual void Deactivate();
  virtual void RestoreFocus();
  virtual BOOL IsResourceChanged() const { return m_bResourceWasChanged; }
  virtual void GetItemRect(int index, LPRECT rect) const;
  virtual void GetInvalidateItemRect(int index, LPRECT rect) const;
  virtual void SetButtonStyle(int index, UINT style);
  virtual BOOL AllowTextLabels() const { return TRUE; }
  virtual BOOL LoadState(const char* profile = nullptr, int index = -1, UINT id = (UINT)-1);
  virtual BOOL SaveState(const char* profile = nullptr, int index = -1, UINT id = (UINT)-1);
  virtual BOOL RemoveStateFromRegistry(const char* profile = nullptr, int index = -1, UINT id = (UINT)-1);
  virtual BOOL CanBeRestored() const { return m_uiOriginalResID != 0; }
  virtual BOOL CanBeClosed() const { return !m_bPermament; }
  virtual BOOL RestoreOriginalState();
  virtual void OnReset() {}
  virtual void AdjustSize();
  virtual int HitTest(CPoint point);
  virtual BOOL ProcessMnemonic(UINT key);
  virtual BOOL PrevMenu();
  virtual BOOL NextMenu();
  virtual BOOL FillButtonText(CTKToolbarButton* button);
  virtual void OnFillBackground(CDC*) {}
  virtual void NotifyButtons();
  virtual CSize CalcSize(BOOL vertical);
  virtual BOOL SetHotMenuIndex(int index);
  virtual CSize CalcLayout(DWORD mode, int length = -1);
  virtual BOOL DrawButton(CDC* dc, CTKToolbarButton* button, CTKToolbarImageList* images, BOOL highlighted,
                          BOOL disabledImagesUsed);
  virtual void DrawDragMarker(CDC* dc);
  virtual CWnd* GetCommandTarget() const;
  virtual BOOL OnDrop(COleDataObject* data, DROPEFFECT effect, CPoint point);
  virtual DROPEFFECT OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point);
  virtual void OnDragLeave();
  virtual DROPEFFECT OnDragOver(COleDataObject* data, DWORD keyState, CPoint point);
  virtual int FindDropIndex(CPoint point, CRect& marker) const;
  virtual void AdjustLayout();
  virtual BOOL OnSendCommand(const CTKToolbarButton*) { return FALSE; }
  virtual BOOL AllowSelectDisabled() const { return FALSE; }
  virtual BOOL AllowShowOnList() const { return TRUE; }
  virtual void DrawSeparator(CDC* dc, const CRect& rect, BOOL horizontal);
  virtual CTKToolbarButton* CreateDroppedButton(COleDataObject* data);
  virtual BOOL OnKey(UINT) { return FALSE; }
  virtual void OnCustomizeMode(BOOL on);
  virtual BOOL EnableContextMenuItems(CTKToolbarButton* button, HMENU popup);
  virtual BOOL IsMenuMode() const { return m_bMenuMode; }
  virtual BOOL ToggleGroupByDrag(CTKToolbarButton* button, CPoint start, CPoint end);
  virtual void ShowCommandMessageString(UINT id);
  virtual int CalcMaxButtonHeight();
  virtual BOOL OnUserToolTip(CTKToolbarButton* button, CString& text) const;
  virtual BOOL CanFocus() const { return TRUE; }
  virtual BOOL SaveOriginalItems(CTKRegistry& registry) const;
  virtual BOOL LoadOriginalItems(CTKRegistry& registry);
  virtual BOOL UpdateFromOriginalItems(const CObList& stored);

  // Buttons.
  BOOL SetButtons(const UINT* ids, int count, BOOL firstLoad = TRUE);
  int CommandToIndex(UINT id, int start = 0) const;
  int ButtonToIndex(const CTKToolbarButton* button) const;
  CTKToolbarButton* GetButton(int index) const;
  int GetCount() const { return m_Buttons.GetCount(); }
  UINT GetItemID(int index) const;
  UINT GetButtonStyle(int index) const;
  BOOL SetButtonText(int index, const char* text);
  CString GetButtonText(int index) const;
  int InsertButton(CTKToolbarButton* button, int index = -1);
  int InsertButtonCopy(const CTKToolbarButton& button, int index = -1);
  int InsertSeparator(int index = -1);
  BOOL RemoveButton(int index);
  CTKToolbarButton* InvalidateButton(int index);
  BOOL SetButtonDisplay(int index, const char* text, BOOL showText, BOOL showImage);
  void EnableTextLabels(BOOL enable = TRUE);
  BOOL AreTextLabels() const { return m_bTextLabels; }
  void UpdateButton(int index);
  const CObList& GetAllButtons() const { return m_Buttons; }
  BOOL IsLocked() const { return m_bLocked; }
  // A control on one of the buttons (an edit box, a combo box) has the keyboard focus.
  BOOL HasEditedButton() const;
  UINT GetResourceID() const { return m_uiOriginalResID; }
  int GetImagesOffset() const { return m_iImagesOffset; }
  BOOL IsUserDefined() const;
  int GetHighlightedButton() const { return m_iHighlighted; }
  int GetSelectedButton() const { return m_iSelected; }
  int GetInsertionIndex() const { return m_iDragIndex; }
  CSize GetButtonSize() const;
  CSize GetImageSize() const;

  // The chevron at the end of the bar: it takes the buttons that do not fit and, with
  // a customize command above 0, offers that command (or the add-or-remove menu).
  BOOL EnableCustomizeButton(BOOL enable, int customizeCommand, const char* customizeText,
                             BOOL addRemoveMenu = TRUE);
  CCustomizeButton* GetCustomizeButton() const { return m_pCustomizeBtn; }

  // Class-wide sizes and options.
  static void SetSizes(SIZE button, SIZE image);
  static void SetMenuSizes(SIZE button, SIZE image);
  static SIZE GetMenuImageSize();
  static SIZE GetMenuButtonSize();
  static void SetLargeIcons(BOOL large = TRUE);
  static BOOL IsLargeIcons() { return s_bLargeIcons; }
  static BOOL SetCustomizeMode(BOOL on = TRUE);
  static BOOL IsCustomizeMode();
  static void SetHotTrackHook(BOOL on = TRUE);
  static BOOL HasHotTrackHook() { return s_hookMouse != nullptr; }
  static const CList<CTKToolBar*, CTKToolBar*>& GetAllToolbars();
  // While held, bars made take drops (buttons dragged in customize mode) only once
  // RegisterHeldDropTargets is called: a program's start shows its window first, as the
  // first drop target of a process sets up the system's drag and drop, which takes a
  // while and cannot be wanted before the window shows.
  static void HoldDropTargets();
  static void RegisterHeldDropTargets();
  static int GetCommandButtons(UINT id, CObList& buttons);
  static void CleanUpImages();
  static BOOL AddToolBarImages(UINT resourceId);
  static int GetDefaultImage(UINT id);
  static void AddBasicCommand(UINT id);
  static BOOL IsCommandRarelyUsed(UINT id);
  static BOOL SaveParameters(const char* profile = nullptr);
  static BOOL LoadParameters(const char* profile = nullptr);
  static CTKToolbarImageList* GetImages() { return &s_Images; }
  static CTKToolbarImageList* GetColdImages() { return &s_ColdImages; }
  static CTKToolbarImageList* GetDisabledImages() { return &s_DisabledImages; }
  static CTKToolbarImageList* GetMenuImages() { return &s_MenuImages; }
  static CTKToolbarImageList* GetUserImages() { return s_pUserImages; }
  static void SetUserImages(CTKToolbarImageList* images);

  // Own image lists (a locked bar's).
  CTKToolbarImageList m_ImagesLocked, m_ColdImagesLocked, m_DisabledImagesLocked, m_LargeImagesLocked,
      m_LargeColdImagesLocked, m_LargeDisabledImagesLocked, m_MenuImagesLocked, m_MenuImagesLockedDisabled;
  BOOL m_bLocked = FALSE;
  BOOL m_bLargeIconsAreEnbaled = TRUE;
  BarNcHelper m_Impl;
  BOOL m_bMasked = FALSE;
  BOOL m_bPermament = FALSE;
  BOOL m_bTextLabels = FALSE;
  BOOL m_bTallRows = FALSE;
  int m_nTallRowHeight = 0;
  SIZE m_sizeButtonLocked{23, 22};
  SIZE m_sizeImageLocked{16, 15};
  SIZE m_sizeCurButtonLocked{23, 22};
  SIZE m_sizeCurImageLocked{16, 15};
  int m_iButtonCapture = -1;
  int m_iHighlighted = -1;
  int m_iSelected = -1;
  int m_iHot = -1;
  CObList m_Buttons;
  CObList m_OrigButtons;
  CObList m_OrigResetButtons;
  BOOL m_bResourceWasChanged = FALSE;
  CToolbarDropTarget m_DropTarget;
  BOOL m_bDropTargetHeld = FALSE;
  int m_iDragIndex = -1;
  CRect m_rectDrag;
  HPEN m_hSeparatorPen = nullptr;
  BOOL m_bStretchButton = FALSE;
  CRect m_rectTrack;
  int m_iImagesOffset = 0;
  UINT m_uiOriginalResID = 0;
  BOOL m_bTracked = FALSE;
  CPoint m_ptLastMouse{-1, -1};
  BOOL m_bMenuMode = FALSE;
  // The bar lays its cells out by rules of its own (the colour bar): a new look leaves
  // its size alone.
  BOOL m_bFixedLayout = FALSE;
  HWND m_hwndLastCapture = nullptr;
  HWND m_hwndLastFocus = nullptr;
  BOOL m_bDisableControlsIfNoHandler = TRUE;
  BOOL m_bRouteCommandsViaFrame = TRUE;
  CMap<UINT, UINT, CTKToolbarButton*, CTKToolbarButton*> m_AcellKeys;
  BOOL m_bDrawTextLabels = TRUE;
  BOOL m_bGrayDisabledButtons = TRUE;
  BOOL m_bIgnoreSetText = FALSE;
  int m_iAccHot = -1;
  int m_nMruWidth = 32767;
  // The bar's dragged button while a drag from it runs, where the press was, and
  // whether Ctrl asked for a copy.
  CTKToolbarButton* m_pDragButton = nullptr;
  CPoint m_ptStartDrag;
  BOOL m_bIsDragCopy = FALSE;
  CTKToolbarButton* m_pStretchButton = nullptr;
  int m_nStretchOriginalWidth = 0;
  // The chevron and what it is made with (the bar makes it again after a reload).
  CCustomizeButton* m_pCustomizeBtn = nullptr;
  BOOL m_bHasCustomizeButton = FALSE;
  int m_nCustomizeCmd = 0;
  CString m_strCustomizeText;
  BOOL m_bAddRemoveMenu = FALSE;
  // The bar's own tooltip window.
  HWND m_hToolTip = nullptr;
  UINT m_nToolTipCommand = 0;

  static UINT s_popupMenuMessage, s_customizeMessage, s_createMessage, s_deleteMessage,
      s_customizeHelpMessage, s_resetToolbarMessage, s_resetMenuMessage, s_showRegularMenuMessage,
      s_resetContextMenuMessage, s_resetKeyboardMessage, s_resetPromptMessage;
  static SIZE s_sizeButton, s_sizeImage, s_sizeCurButton, s_sizeCurImage, s_sizeMenuButton, s_sizeMenuImage;
  static BOOL s_bLargeIcons, s_bShowTooltips, s_bShowShortcutKeys, s_bRecentlyUsedMenus, s_bMenuShadows,
      s_bShowAllMenusAfterDelay, s_bAutoGrayInactiveImages;
  static int s_nMenuAnimation;
  static int s_nGrayImagePercentage;
  static CList<UINT, UINT> s_forbiddenCommands;
  static CList<UINT, UINT> s_basicCommands;
  static CTKToolBar* s_pSelectedToolbar;
  static HCURSOR s_hcurDelete, s_hcurMove;

protected:
  // Builds the bar's key name under the path.
  CString StateKeyName(const char* profile, int index, UINT id) const;
  void RebuildAccelerationKeys();
  // After a layout: the buttons past the bar's end go to the chevron, which takes
  // the end of the row.
  void PlaceCustomizeButton();
  void WrapToolBar(int width, int height = 32767);
  void SizeToolBar(int length, BOOL vertical = FALSE);
  int WrappedRows();
  void TrackMouseLeave();
  void UpdateTooltip(int index);
  void RelayToTooltip(UINT message, CPoint point);
  void BeginCustomizeDrag(int index, CPoint point, BOOL copy);
  void OnContextCommand(UINT id);
  void ShowResetPrompt();
  static void SetCurrentSizes();

  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  void OnNcPaint();
  LRESULT OnNcHitTest(CPoint point);
  void OnSize(UINT type, int cx, int cy);
  void OnSysColorChange();
  void OnSettingChange(UINT flags, LPCSTR section);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnMouseLeave();
  void OnCancelMode();
  void OnContextMenu(CWnd* wnd, CPoint point);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnWindowPosChanged(WINDOWPOS* pos);
  void OnSetFocus(CWnd* oldWnd);
  void OnKillFocus(CWnd* newWnd);
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
  LRESULT OnResetPrompt(WPARAM, LPARAM);
  LRESULT OnButtonCount(WPARAM, LPARAM);
  LRESULT OnGetItemRect(WPARAM, LPARAM);
  LRESULT OnGetButton(WPARAM, LPARAM);
  LRESULT OnGetButtonText(WPARAM, LPARAM);
  LRESULT OnPrintClient(WPARAM, LPARAM);
  // In context help: the help context of the command of the button under the point.
  LRESULT OnHelpHitTest(WPARAM, LPARAM point);

  DECLARE_MESSAGE_MAP()

  static CTKToolbarImageList s_Images, s_ColdImages, s_DisabledImages, s_LargeImages, s_LargeColdImages,
      s_LargeDisabledImages, s_MenuImages, s_MenuImagesDisabled;
  static CTKToolbarImageList* s_pUserImages;
  static CMap<UINT, UINT, int, int> s_DefaultImages;
  static CList<CTKToolBar*, CTKToolBar*> s_allToolbars;
  static BOOL s_bHoldDropTargets;
  static HHOOK s_hookMouse;
  static CTKToolBar* s_pHotToolBar;

  friend class CToolbarDropTarget;
  friend LRESULT CALLBACK ToolbarMouseHookProc(int code, WPARAM wParam, LPARAM lParam);
};
