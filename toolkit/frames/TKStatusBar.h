#pragma once
// The toolkit's status bar: panes with text, colours, an icon or an animation, a
// tooltip and a progress indicator, laid out along the bar and painted through the
// current look into a memory bitmap; a size box at the right end while the frame can
// be sized from there. The window text is the text of the message pane (id 0).
#include "platform/afx/afxwin.h"
#include "toolkit/frames/BarStyles.h"
#include "toolkit/frames/TKBaseControlBar.h"

struct TKStatusPane {
  CRect rect;
  UINT id = 0;
  UINT style = 0;
  int textWidth = 0;
  COLORREF textColor = (COLORREF)-1;
  COLORREF backColor = (COLORREF)-1;
  int iconWidth = 0;
  int iconHeight = 0;
  char* text = nullptr;
  char* tipText = nullptr;
  HIMAGELIST images = nullptr;
  int frameCount = 0;
  int currentFrame = 0;
  BOOL progressText = FALSE;
  int progressTotal = -1;
  int progressPos = 0;
  COLORREF progressColor = (COLORREF)-1;
  COLORREF progressEndColor = (COLORREF)-1;
  COLORREF progressTextColor = (COLORREF)-1;
};

class CTKStatusBar : public CTKBaseControlBar {
public:
  CTKStatusBar();
  ~CTKStatusBar() override;

  Kind LookKind() const override { return kStatusBar; }

  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL SetIndicators(const UINT* ids, int count);

  int GetCount() const { return m_count; }
  const TKStatusPane* GetPane(int index) const { return Valid(index) ? &m_panes[index] : nullptr; }
  int CommandToIndex(UINT id) const;
  UINT GetItemID(int index) const { return Valid(index) ? m_panes[index].id : 0; }
  void GetItemRect(int index, RECT* rect) const;
  UINT GetPaneStyle(int index) const { return Valid(index) ? m_panes[index].style : 0; }
  void SetPaneStyle(int index, UINT style);
  // The pane's id, style and text width together.
  void SetPaneInfo(int index, UINT id, UINT style, int width);
  CString GetPaneText(int index) const;
  BOOL SetPaneText(int index, const char* text, BOOL update = TRUE);
  void SetPaneIcon(int index, HICON icon, BOOL update = TRUE);
  void SetPaneAnimation(int index, HIMAGELIST list, UINT interval = 500, BOOL update = TRUE);
  void SetTipText(int index, const char* text);
  // The pane under the point that has a tooltip is the tool (its command id).
  INT_PTR OnToolHitTest(CPoint point, TTTOOLINFOA* tool) const override;
  CString GetTipText(int index) const;
  void SetPaneTextColor(int index, COLORREF color = (COLORREF)-1, BOOL update = TRUE);
  void SetPaneBackgroundColor(int index, COLORREF color = (COLORREF)-1, BOOL update = TRUE);
  void EnablePaneProgressBar(int index, int total = 100, BOOL showText = FALSE, COLORREF color = (COLORREF)-1,
                             COLORREF endColor = (COLORREF)-1, COLORREF textColor = (COLORREF)-1);
  void SetPaneProgress(int index, int position, BOOL update = TRUE);
  void EnablePaneDoubleClick(BOOL enable = TRUE) { m_doubleClickCommand = enable; }
  BOOL HasSizeBox() const { return !m_hideSizeBox; }
  CRect SizeBoxRect() const { return m_sizeBoxRect; }

  CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

  // Paints one pane (background, border, icon, text or progress).
  virtual void DrawPane(CDC* dc, TKStatusPane* pane);

  HFONT m_hFont = nullptr;
  int m_sizeBoxWidth = 0;
  BOOL m_hideSizeBox = FALSE;
  BOOL m_doubleClickCommand = FALSE;
  CRect m_sizeBoxRect;

protected:
  LRESULT OnSizeParent(AFX_SIZEPARENTPARAMS* layout) override;

  void OnDestroy();
  void OnSize(UINT type, int cx, int cy);
  LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
  void OnSettingChange(UINT flags, LPCSTR section);
  LRESULT OnNcHitTest(CPoint point);
  void OnSysCommand(UINT id, LPARAM lParam);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnTimer(UINT_PTR id);
  void OnPaint();

  DECLARE_MESSAGE_MAP()

private:
  bool Valid(int index) const { return index >= 0 && index < m_count; }
  void FreePane(TKStatusPane& pane, bool keepImages = false);
  void StopAnimation(int index);
  void RecalcLayout();
  HFONT Font() const;
  void InvalidatePane(int index, bool contentOnly);
  TKStatusPane* m_panes = nullptr;
  int m_count = 0;
};
