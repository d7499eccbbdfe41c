#pragma once
// The editable list: a single-column list view in the captioned frame, whose items
// the user renames in place and adds, deletes and moves with the frame's standard
// buttons or their hot keys (Insert, Delete, Alt+Up, Alt+Down).
#include "platform/afx/ListCtrl.h"
#include "toolkit/bars/TKEditListBase.h"

// The list view of the editable list. Keys pressed with Alt reach a list view as
// system keys, which it does not report; they go to the frame's hot keys here.
class CTKEditListView : public CListCtrl {
public:
  CTKEditListBase* m_pOwner = nullptr;

protected:
  void OnSysKeyDown(UINT key, UINT repeatCount, UINT flags);

  DECLARE_MESSAGE_MAP()
};

class CTKEditListBox : public CTKEditListBase {
public:
  CTKEditListBox();
  ~CTKEditListBox() override;

  int GetCount() const override;
  int AddItem(const char* text, DWORD_PTR data = 0, int index = -1) override;
  BOOL RemoveItem(int index) override;
  CString GetItemText(int index) const override;
  DWORD_PTR GetItemData(int index) const override;
  void SetItemText(int index, const char* text) override;
  void SetItemData(int index, DWORD_PTR data) override;
  int GetSelItem() const override;
  BOOL SelectItem(int index) override;
  BOOL EditItem(int index) override;
  HWND GetListHwnd() const override { return m_wndList.m_hWnd; }
  CListCtrl& GetList() { return m_wndList; }

  void OnClickButton(int index) override;
  void OnEndEditLabel(const char* text) override;

  // Hooks for the list's users: a refusal keeps the item; the others follow a change.
  virtual BOOL OnBeforeRemoveItem(int) { return TRUE; }
  virtual void OnAfterAddItem(int) {}
  virtual void OnAfterRenameItem(int) {}
  virtual void OnAfterMoveItemUp(int) {}
  virtual void OnAfterMoveItemDown(int) {}

protected:
  BOOL CreateList(const CRect& rect) override;
  void OnSizeList(const CRect& rect) override;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
  void SwapItems(int first, int second);

  CTKEditListView m_wndList;
  int m_iEditedItem = -1;
};
