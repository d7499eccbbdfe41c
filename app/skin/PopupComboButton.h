#pragma once
// The control panel's input-source selector: a button showing the current choice and
// a small arrow; a press opens a topmost list directly above it. Choosing a line sets
// the button's text and posts kChosen (control id, line) to the parent; opening and
// closing are sent to the parent as kShown (1 shown, 0 hidden). The list closes when
// it loses the focus (a click elsewhere, another program coming to the front) and when
// the pointer, held by the button, leaves both the button and the list.
#include "app/skin/PopupListBox.h"
#include "platform/afx/afxwin.h"

class CPopupComboButton;

// The topmost popup that holds the list; hidden, not destroyed, when the list closes.
class CPopupListHost : public CWnd {
public:
  BOOL Create(CPopupComboButton* owner);
  CPopupListBox& List() { return m_list; }
  const CPopupListBox& List() const { return m_list; }

  static constexpr UINT kListId = 1125;

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnSize(UINT type, int cx, int cy);
  void OnShowWindow(BOOL show, UINT status);
  LRESULT OnDrawItem(WPARAM, LPARAM item);
  LRESULT OnMeasureItem(WPARAM, LPARAM item);
  LRESULT OnCtlColorListBox(WPARAM, LPARAM);

private:
  CPopupComboButton* m_pOwner = nullptr;
  CPopupListBox m_list;

  DECLARE_MESSAGE_MAP()
};

class CPopupComboButton : public CWnd {
public:
  static constexpr UINT kChosen = 0x466;
  static constexpr UINT kShown = 0x467;

  CPopupComboButton();
  ~CPopupComboButton() override;

  BOOL CreateFromControl(CWnd* parent, UINT id, COLORREF background = CLR_INVALID,
                         COLORREF hotBackground = CLR_INVALID, COLORREF text = 0, HFONT font = nullptr,
                         COLORREF listFrame = RGB(255, 255, 255), COLORREF frame = RGB(128, 128, 128));
  BOOL Create(const char* text, const RECT& rect, CWnd* parent, UINT id, COLORREF background,
              COLORREF hotBackground, COLORREF textColor, HFONT font, COLORREF listFrame, COLORREF frame);
  void SetColors(COLORREF background, COLORREF hotBackground, COLORREF text, COLORREF frame);

  // Lines are kept sorted without regard to case; headers come at the end.
  int AddLine(const char* text);
  int AddHeader(const char* text, COLORREF color);
  void RemoveAll();
  int GetCount() const;
  // Selects the line with that text (and shows it); -1 when there is none.
  int SelectLine(const char* text);
  CString GetLineText(int index) const;
  BOOL IsDropped() const;
  void ShowDropDown();
  void HideDropDown();
  RECT GetDropRect() const { return m_dropRect; }
  HWND GetListWindow() const { return m_host.List().m_hWnd; }
  CPopupListBox& GetList() { return m_host.List(); }
  int m_nMaxListHeight = 100;
  BOOL m_bShowChoice = TRUE;

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnMouseMove(UINT flags, CPoint point);
  void OnMouseLeave();
  void OnCaptureChanged(CWnd* gaining);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnSetFocus(CWnd* losing);
  void OnEnable(BOOL enable);
  LRESULT OnChosen(WPARAM index, LPARAM);
  LRESULT OnShown(WPARAM shown, LPARAM lParam);
  LRESULT OnPrintClient(WPARAM dc, LPARAM);
  LRESULT OnSetText(WPARAM, LPARAM text);

private:
  void Paint(HDC dc);
  void MakeBrushes(COLORREF background, COLORREF hotBackground, COLORREF text, COLORREF frame);
  void FreeBrushes();
  void SetHot(BOOL hot);
  // Back to the normal look, no longer waiting to hear the pointer leave.
  void EndHot();

  BOOL m_bOwnFont = FALSE;
  BOOL m_bHot = FALSE;
  UINT m_nId = 0;
  HWND m_hParent = nullptr;
  RECT m_dropRect{0, 0, 0, 0};
  HPEN m_hFramePen = nullptr;
  HBRUSH m_hBackBrush = nullptr;
  HBRUSH m_hHotBrush = nullptr;
  HBRUSH m_hArrowBrush = nullptr;
  HPEN m_hArrowPen = nullptr;
  HFONT m_hFont = nullptr;
  COLORREF m_clrText = 0;
  CPopupListHost m_host;
  BOOL m_bJustClosed = FALSE;

  friend class CPopupListHost;
  DECLARE_MESSAGE_MAP()
};
