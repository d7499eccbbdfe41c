#pragma once
// A captioned frame for an editable list: a caption band with small buttons at its
// right (New, Delete, Move Item Up, Move Item Down and any added ones), each with an
// image, a tooltip and a hot key, over the list itself, which a derived class makes
// and fills. Clicks on the buttons and their hot keys in the list arrive as
// OnClickButton; the list's own notifications arrive as the other virtual calls.
#include "platform/afx/Static.h"
#include "platform/afx/afxwin.h"
#include "toolkit/frames/TKButton.h"

#include <commctrl.h>

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CTKEditListBase : public CStatic {
public:
  // The standard buttons, by bit.
  enum : UINT { kNewButton = 1, kDeleteButton = 2, kMoveUpButton = 4, kMoveDownButton = 8 };
  // Their commands.
  enum : int { kNewCommand = -11, kDeleteCommand = -12, kMoveUpCommand = -13, kMoveDownCommand = -14 };
  // Modifier bits of the hot keys.
  enum : UINT { kShift = 4, kCtrl = 8, kAlt = 16 };

  CTKEditListBase();
  ~CTKEditListBase() override;

  // Makes the frame as a child of the parent, or takes the place of a placeholder
  // control of a dialog (its rectangle, text and id).
  BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  BOOL ReplacePlaceholder(UINT id, CWnd* parent);

  BOOL SetStandardButtons(UINT bits = kNewButton | kDeleteButton | kMoveUpButton | kMoveDownButton);
  // Takes the bitmap (a 16 by 16 image on light grey, RGB 192 192 192).
  BOOL AddButton(HBITMAP image, const char* tooltip, UINT hotKey = 0, UINT modifiers = 0, int command = 0);
  int GetButtonCount() const { return static_cast<int>(m_buttons.size()); }
  CTKButton* GetButton(int index) const;
  int GetButtonCommand(int index) const;
  // The index of the button with the command, -1 when none.
  int FindButton(int command) const;
  UINT GetStandardButtons() const { return m_uiStandardButtons; }
  CRect GetCaptionRect() const { return m_rectCaption; }

  // The list, implemented by the derived class.
  virtual int GetCount() const = 0;
  virtual int AddItem(const char* text, DWORD_PTR data = 0, int index = -1) = 0;
  virtual BOOL RemoveItem(int index) = 0;
  virtual CString GetItemText(int index) const = 0;
  virtual DWORD_PTR GetItemData(int index) const = 0;
  virtual void SetItemText(int index, const char* text) = 0;
  virtual void SetItemData(int index, DWORD_PTR data) = 0;
  virtual int GetSelItem() const = 0;
  virtual BOOL SelectItem(int index) = 0;
  virtual BOOL EditItem(int index) = 0;
  virtual HWND GetListHwnd() const = 0;

  // Notifications.
  virtual void OnClickButton(int) {}
  virtual void OnKey(UINT, UINT) {}
  virtual void OnSelectionChanged() {}
  // Null text: the editing was cancelled.
  virtual void OnEndEditLabel(const char*) {}
  virtual void OnGetDispInfo(NMLVDISPINFOA*) {}
  virtual void OnBrowse() {}

  // Offers a key pressed in the list to the buttons' hot keys (with the modifiers held
  // now); TRUE when one took it, else the key goes to OnKey.
  BOOL ProcessHotKey(UINT key);

protected:
  // Makes the list inside the rectangle (client coordinates of the frame).
  virtual BOOL CreateList(const CRect& rect) = 0;
  virtual void OnSizeList(const CRect&) {}

  void Layout();
  CRect ListRect() const;
  // The modifiers held now, as hot-key bits.
  static UINT HeldModifiers();

  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // A list notification; TRUE when handled, with its result.
  virtual BOOL OnListNotify(NMHDR* header, LRESULT* result);

  void OnPaint();
  void OnSize(UINT type, int cx, int cy);
  void OnSetFocus(CWnd* oldWnd);
  void OnEnable(BOOL enable);
  LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

protected:
  struct ButtonEntry {
    CTKButton* button;
    UINT hotKey;
    UINT modifiers;
    int command;
  };
  std::vector<ButtonEntry> m_buttons;
  UINT m_uiStandardButtons = 0;
  HFONT m_hFont = nullptr;
  CFont m_fontCaption;
  CRect m_rectCaption;
  CRect m_rectButtons;
  SIZE m_sizeButton{20, 20};
  BOOL m_bNewItem = FALSE;

private:
  BOOL CreateFrameParts();
  void PaintCaption(CDC* dc);
};
