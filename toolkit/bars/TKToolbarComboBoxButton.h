#pragma once
// A toolbar item holding a combo box bound to its command. The item keeps the list's
// texts and data itself, so that the combo box can be made again when the item moves
// to another bar, and every combo box of one command shares the selection.
#include "platform/afx/ComboBox.h"
#include "toolkit/bars/TKComboEdit.h"
#include "toolkit/bars/TKToolbarButton.h"

class CTKToolbarComboBoxButton : public CTKToolbarButton {
  DECLARE_SERIAL(CTKToolbarComboBoxButton)

public:
  CTKToolbarComboBoxButton();
  CTKToolbarComboBoxButton(UINT command, int image, DWORD style = 0x50200403, int width = 0);
  ~CTKToolbarComboBoxButton() override;

  void CopyFrom(const CTKToolbarButton& source) override;
  void Serialize(CArchive& ar) override;
  SIZE OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) override;
  void OnMove() override;
  void OnChangeParentWnd(CWnd* parent) override;
  BOOL NotifyCommand(int code) override;
  void OnAddToCustomizePage() override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  int OnDrawOnCustomizeList(CDC* dc, const CRect& rect, BOOL selected) override;
  HWND GetHwnd() override;
  void OnShow(BOOL show) override;
  void SetStyle(UINT style) override;
  void OnGlobalFontsChanged() override;
  BOOL OnClick(CWnd* window, BOOL delay = TRUE) override;
  BOOL HaveHotBorder() const override { return FALSE; }
  BOOL IsDroppedDown() const override;
  BOOL HasFocus() const override;
  void EnableWindow(BOOL enable = TRUE) override;

  virtual CComboBox* CreateCombo(CWnd* parent, const CRect& rect);

  int AddItem(const char* text, DWORD data = 0);
  int GetCount() const { return m_lstItems.GetCount(); }
  CString GetItem(int index) const;
  DWORD GetItemData(int index) const;
  void RemoveAllItems();
  BOOL SelectItem(int index, BOOL notify = TRUE);
  int GetCurSel() const { return m_iSelIndex; }
  CString GetText() const { return m_strEdit; }
  CComboBox* GetComboBox() const { return m_pWndCombo; }
  int GetWidth() const { return m_iWidth; }
  void SetHighlight(BOOL highlight);

  // Class-wide: combo boxes are drawn flat and drop their list on a click.
  static BOOL s_bFlat;

  DWORD m_dwStyle = 0x50200403;
  CComboBox* m_pWndCombo = nullptr;
  CTKComboEdit* m_pWndEdit = nullptr;
  CStringList m_lstItems;
  CDWordArray m_lstItemData;
  int m_iWidth = 150;
  int m_iSelIndex = -1;
  BOOL m_bFlat = TRUE;
  CString m_strEdit;
  CRect m_rectCombo;
  int m_nDropDownHeight = 150;
  BOOL m_bHighlighted = FALSE;

private:
  void DestroyCombo();
  void RefreshListsFromCombo();
  int LabelHeight(CDC* dc) const;
  BOOL ShowsLabels() const;
  BOOL IsComboVisible() const;
};
