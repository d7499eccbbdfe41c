#pragma once
// A strip docked at the top of a frame that shows a message: an image, a text and an
// optional button that sends a command to the bar's owner. The bar keeps the
// geometry and the mouse state; colours and edges come from the current look.
#include "platform/afx/afxwin.h"
#include "toolkit/frames/TKBaseControlBar.h"

class CTKToolbarImageList;

class CTKCaptionBar : public CTKBaseControlBar {
public:
  enum Alignment { ALIGN_INVALID, ALIGN_LEFT, ALIGN_RIGHT, ALIGN_CENTER };

  CTKCaptionBar();
  ~CTKCaptionBar() override;

  // Made as a top bar of the parent; height -1 fits the text, image and button.
  virtual BOOL Create(DWORD style, CWnd* parent, UINT id, int height = -1);
  Kind LookKind() const override { return kCaptionBar; }
  CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;

  void SetText(const CString& text, Alignment alignment = ALIGN_LEFT);
  void RemoveText() { SetText(CString()); }
  // The image as an icon (the bar does not own it) or one image of an image list.
  void SetIcon(HICON icon, Alignment alignment = ALIGN_LEFT);
  void SetImage(CTKToolbarImageList* images, int index, Alignment alignment = ALIGN_LEFT);
  void RemoveImage();
  void SetButton(const CString& label, UINT command, Alignment alignment = ALIGN_RIGHT);
  void RemoveButton();
  void EnableButton(BOOL enable = TRUE);
  void SetFlatBorder(BOOL flat = TRUE) { m_bFlatBorder = flat; }
  void SetBorderSize(int size) { m_nBorderSize = size; }
  void SetMargin(int margin) { m_nMargin = margin; }

  const CString& GetText() const { return m_strText; }
  CRect GetImageRect() const { return m_rectImage; }
  CRect GetTextRect() const { return m_rectText; }
  CRect GetButtonRect() const { return m_rectButton; }
  BOOL IsButtonPressed() const { return m_bBtnPressed; }
  BOOL IsButtonHighlighted() const { return m_bBtnHighlighted; }

  COLORREF m_clrBarText = (COLORREF)-1;
  COLORREF m_clrBarBorder = (COLORREF)-1;

protected:
  // Placing image, text and button in the client area; then the drawing of each part.
  virtual void RecalcLayout();
  virtual void OnDrawBackground(CDC* dc, CRect rect);
  virtual void OnDrawBorder(CDC* dc, CRect rect);
  virtual void OnDrawButton(CDC* dc, CRect rect, const CString& label, BOOL enabled);
  virtual void OnDrawText(CDC* dc, CRect rect, const CString& text);
  virtual void OnDrawImage(CDC* dc, CRect rect);

  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  void OnNcPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  void OnPaint();
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnMouseLeave();
  void OnRButtonUp(UINT flags, CPoint point);
  LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

protected:
  void PaintClient(CDC* dc);
  SIZE ImageSize() const;
  SIZE ButtonSize() const;
  HFONT Font() const;

  HFONT m_hFont = nullptr;
  CTKToolbarImageList* m_pImages = nullptr;
  int m_nImage = -1;
  HICON m_hIcon = nullptr;
  Alignment m_imageAlignment = ALIGN_LEFT;
  CRect m_rectImage;
  CString m_strText;
  Alignment m_textAlignment = ALIGN_LEFT;
  CRect m_rectText;
  CString m_strButton;
  UINT m_nButtonCommand = 0;
  Alignment m_buttonAlignment = ALIGN_RIGHT;
  CRect m_rectButton;
  BOOL m_bBtnEnabled = TRUE;
  BOOL m_bBtnPressed = FALSE;
  BOOL m_bBtnHighlighted = FALSE;
  BOOL m_bTracking = FALSE;
  BOOL m_bFlatBorder = FALSE;
  int m_nBorderSize = 4;
  int m_nMargin = 4;
  int m_nHorzElementOffset = 4;
  int m_nHeight = -1;
  BOOL m_bStretch = TRUE;
};
