#pragma once
// The toolkit's owner-drawn push button, check box and radio button: it paints its
// own face, image and text (asking the current look first), tracks its hot and
// pushed states itself, and offers a flat look, a cursor of its own, auto-repeat
// clicks, a tooltip and images for the normal, hot, disabled and checked states.
#include "platform/afx/afxwin.h"

#include <commctrl.h>

// (Windows are not runtime-class objects in our framework layer; code that needs to
// know a window is a CTKButton asks with dynamic_cast.)
class CTKButton : public CButton {
public:
  enum FlatStyle {
    BUTTONSTYLE_3D = 0,
    BUTTONSTYLE_FLAT = 1,
    BUTTONSTYLE_SEMIFLAT = 2,
    BUTTONSTYLE_NOBORDERS = 3
  };
  enum AlignStyle { ALIGN_LEFT = 0, ALIGN_RIGHT = 1, ALIGN_CENTER = 2 };

  CTKButton() = default;
  ~CTKButton() override;

  // Whether buttons ask the current look to draw their face; set once by the first
  // button made when nobody has set it.
  static void SetGlobalLookFlag(BOOL flag);
  static BOOL GetGlobalLookFlag();

  // Overridable operations.
  virtual void ClearImages();
  virtual void FitToContent(SIZE& size, BOOL keepSize = FALSE);
  virtual void FillBackground(CDC* dc, const CRect& rect);
  virtual void DrawBorder(CDC* dc, CRect& rect, UINT itemState);
  virtual void DrawFocusRectangle(CDC* dc, const CRect& rect);
  virtual void PaintContent(CDC* dc, const CRect& rect, UINT itemState);
  virtual void DrawButtonText(CDC* dc, CRect& rect, const CString& text, UINT format);
  virtual HGDIOBJ SelectButtonFont(CDC* dc);
  virtual int ImageMargin() const { return 10; }
  virtual int VerticalMargin() const { return 5; }

  // Images: each call first empties the normal (or checked) set.
  void AssignImages(HICON icon, BOOL autoDestroy = TRUE, HICON hotIcon = nullptr,
                    HICON disabledIcon = nullptr, BOOL alpha = FALSE);
  void AssignCheckedImages(HICON icon, BOOL autoDestroy = TRUE, HICON hotIcon = nullptr,
                           HICON disabledIcon = nullptr, BOOL alpha = FALSE);
  void AssignImages(HBITMAP bitmap, BOOL autoDestroy = TRUE, HBITMAP hotBitmap = nullptr,
                    BOOL mappedColors = FALSE, HBITMAP disabledBitmap = nullptr);
  void AssignImagesFromResource(UINT bitmapId, UINT hotId = 0, UINT disabledId = 0);
  // A glyph of the toolkit's menu image strip instead of the image lists.
  void SetStdImage(int imageId, int disabledImageId = 0);

  void SetTipText(const char* text);
  void SetTooltipFromClippedText(BOOL on) { m_bTooltipFromClipped = on; }
  void SetMouseCursor(HCURSOR cursor) { m_hCursor = cursor; }
  void SetMouseCursorHand();
  void SetAutoRepeatMode(int delayMs = 300) { m_nAutoRepeatTimeDelay = delayMs; }
  void SetFaceColor(COLORREF color, BOOL redraw = TRUE);
  void SetTextColor(COLORREF color) { m_clrText = color; }
  void SetTextHotColor(COLORREF color) { m_clrHover = color; }
  BOOL IsPushed() const { return m_bPushed; }
  BOOL IsHot() const { return m_bHighlighted; }
  BOOL IsChecked() const { return m_bChecked; }
  BOOL IsCheckBox() const { return m_bCheckButton; }
  BOOL IsRadioButton() const { return m_bRadioButton; }
  BOOL IsAutomatic() const { return m_bAutoCheck; }
  // Null until the pointer first came over the button with a tip set.
  HWND GetToolTipWindow() const { return m_hToolTip; }

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL PreTranslateMessage(MSG* msg) override;

  // Draws the whole button into the DC (what WM_PAINT and WM_PRINTCLIENT do).
  void DrawButton(CDC* dc, UINT itemState);
  UINT CurrentItemState() const;

  // Fields, in order.
  int m_nFlatStyle = BUTTONSTYLE_3D;
  int m_nAlignStyle = ALIGN_CENTER;
  BOOL m_bRightImage = FALSE;
  BOOL m_bTopImage = FALSE;
  BOOL m_bTransparent = FALSE;
  BOOL m_bDrawFocus = TRUE;
  BOOL m_bHighlightChecked = TRUE;
  BOOL m_bGrayDisabled = TRUE;
  BOOL m_bResponseOnButtonDown = FALSE;
  BOOL m_bDontUseWinXPTheme = FALSE;
  BOOL m_bPushed = FALSE;
  BOOL m_bClickiedInside = FALSE;
  BOOL m_bHighlighted = FALSE;
  BOOL m_bCaptured = FALSE;
  BOOL m_bHover = FALSE;
  BOOL m_bChecked = FALSE;
  BOOL m_bCheckButton = FALSE;
  BOOL m_bRadioButton = FALSE;
  BOOL m_bAutoCheck = FALSE;
  SIZE m_sizeImage{0, 0};
  // Normal, hot, disabled; then the checked set's normal, hot, disabled.
  HIMAGELIST m_Images[6] = {};
  HWND m_hToolTip = nullptr;
  BOOL m_bTipActive = FALSE;  // a tip is set (its window may not be made yet)
  BOOL m_bTooltipFromClipped = FALSE;
  BOOL m_bClippedTextPending = FALSE;
  int m_nStdImageId = -1;
  int m_nStdImageDisabledId = -1;
  HCURSOR m_hCursor = nullptr;
  SIZE m_sizePushOffset{2, 2};
  COLORREF m_clrText = (COLORREF)-1;
  COLORREF m_clrHover = (COLORREF)-1;
  COLORREF m_clrFace = (COLORREF)-1;
  HFONT m_hFont = nullptr;
  int m_nAutoRepeatTimeDelay = 0;

protected:
  void PreSubclassWindow() override;
  // Button types from the window style, then the window made owner-drawn.
  void InitStyle(DWORD style);
  // The hot and pushed states following the mouse.
  void TrackHover(UINT flags, POINT point);
  // The left button pressed on the button, and let go.
  void BeginPress();
  void EndPress();
  // A press that ends without a click (focus gone, mode cancelled).
  void CancelPress(BOOL stopTimer);
  void StopTracking(BOOL stopTimer);
  void UncheckRadioGroup();
  void MoveInRadioGroup(BOOL forward);
  void NotifyParent(HWND from = nullptr, UINT id = 0);
  HIMAGELIST ChooseList(int set, UINT itemState) const;
  void AddToList(int index, HICON icon, BOOL alpha);
  void AddToList(int index, HBITMAP bitmap, COLORREF transparent);
  void EmptySet(int first);

  void OnPaint();
  LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  BOOL OnEraseBkgnd(CDC* dc);
  LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
  // BM_SETIMAGE takes a bitmap (IMAGE_BITMAP) or an icon (IMAGE_ICON) as the normal
  // image; the caller keeps the handle. BM_GETIMAGE gives the normal list's bitmap, or
  // an icon made from its first image, which the caller destroys.
  LRESULT OnSetImage(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetImage(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnTimer(UINT_PTR id);
  void OnCancelMode();
  void OnKillFocus(CWnd* newWnd);
  void OnSetFocus(CWnd* oldWnd);
  void OnEnable(BOOL enable);
  void OnSize(UINT type, int cx, int cy);

  DECLARE_MESSAGE_MAP()

private:
  // Makes the tip's window (once) and gives it the tip text.
  void ShowTipText();
  CString m_tipText;
  BOOL m_bStyleDecoded = FALSE;
  BOOL m_bTextClipped = FALSE;
  static BOOL s_lookFlag;
  static BOOL s_lookFlagSet;
};
