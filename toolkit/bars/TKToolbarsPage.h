#pragma once
// The customization sheet's "Toolbars" page: the frame's toolbars with a check box
// each (shown or hidden), and the toolbar operations: new, rename, delete (for the
// user's own toolbars), reset one and reset all.
#include "platform/afx/Dialog.h"
#include "toolkit/frames/TKPropertyPage.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CTKToolBar;

// The notification a check list sends its parent (WM_COMMAND) when a check changed.
constexpr UINT CLBN_CHKCHANGE = 40;

// A list box with a check box before each item; each item also says whether its
// check box may change (an item whose box may not change only beeps when clicked).
class CTKToolbarCheckList : public CWnd {
public:
  int AddItem(const char* text, CTKToolBar* bar, BOOL checked, BOOL changeable);
  int InsertItem(int index, const char* text, CTKToolBar* bar, BOOL checked, BOOL changeable);
  void DeleteItem(int index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  void SetCurSel(int index);
  CTKToolBar* GetBar(int index) const;
  BOOL GetCheck(int index) const;
  void SetCheck(int index, BOOL checked);
  BOOL IsChangeable(int index) const {
    return index >= 0 && index < (int)m_items.size() && m_items[index].changeable;
  }
  CRect CheckRect(int index) const;
  void DrawItem(LPDRAWITEMSTRUCT item);

protected:
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  // A user's toggle of the item's box: with a changeable box it flips and the parent
  // hears of it; otherwise only a beep.
  void Toggle(int index);
  DECLARE_MESSAGE_MAP()

private:
  struct Item {
    BOOL checked;
    BOOL changeable;
  };
  std::vector<Item> m_items;
};

// "Toolbar Name": asks for a toolbar's name; OK only while the name is not empty.
class CTKToolbarNameDialog : public CDialog {
public:
  explicit CTKToolbarNameDialog(CWnd* parent, const char* name = "");
  CString m_strToolbarName;

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;
};

class CTKToolbarsPage : public CTKPropertyPage {
  DECLARE_DYNAMIC(CTKToolbarsPage)

public:
  explicit CTKToolbarsPage(CFrameWnd* frame = nullptr);

  void EnableUserDefinedToolbars(BOOL enable = TRUE) { m_bUserDefinedToolbars = enable; }
  void ShowToolBar(CTKToolBar* bar, BOOL show);
  // The bar was shown or hidden: its tick follows.
  void OnToolBarShown(CTKToolBar* bar, BOOL shown);
  // The toolbar chosen: the buttons that fit it are enabled.
  void OnSelchangeToolbarList();

  CTKToolbarCheckList m_wndToolbarList;
  BOOL m_bTextLabels = FALSE;
  CTKToolBar* m_pSelectedToolbar = nullptr;
  BOOL m_bUserDefinedToolbars = FALSE;

  static const DLGTEMPLATE* Template();

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnDrawItem(WPARAM id, LPARAM item);
  void OnSelchangeList() { OnSelchangeToolbarList(); }
  void OnCheckChange();
  void OnTextLabels();
  void OnResetToolbar();
  void OnResetAllToolbars();
  void OnDeleteToolbar();
  void OnNewToolbar();
  void OnRenameToolbar();
  void SelectItem(int index);
  CString BarName(CTKToolBar* bar) const;
  void Enable(int id, BOOL enable);

  DECLARE_MESSAGE_MAP()

  CFrameWnd* m_pParentFrame;
};
