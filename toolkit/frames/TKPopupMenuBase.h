#pragma once
// A popup menu as the looks see it: the window that hosts a popup menu bar.
#include "platform/afx/afxwin.h"

class CTKBaseControlBar;

class CTKPopupMenuBase : public CWnd {
public:
  CTKBaseControlBar* m_parentBar = nullptr;  // the bar whose button opened it

  // Where a screen point lies: kInside, on the right or bottom shadow, on the logo
  // band, outside, or on the special area. The base answers from the window only.
  enum { kInside = 0, kRightShadow = 1, kBottomShadow = 2, kLogo = 3, kOutside = 4, kSpecialArea = 5 };
  virtual int HitTest(POINT screen) const {
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    return ::PtInRect(&rect, screen) ? kInside : kOutside;
  }
  // The screen rectangle of the button that opened the popup, empty for none.
  virtual CRect OpenerButtonRect() const { return CRect(0, 0, 0, 0); }
  // The popup belongs to a menu bar (a click elsewhere is then used up by closing it).
  virtual BOOL IsOpenedFromMenuBar() const { return FALSE; }
  // The popup stays open when the user clicks elsewhere.
  virtual BOOL KeepsOpenOnClickOutside() const { return FALSE; }
  virtual void CloseMenu() { ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0); }
  // The bar of this popup's chain under a screen point (a parent popup's items, then the
  // bar the chain was opened from), null when none; the base has no chain.
  virtual CWnd* MenuBarAt(POINT) const { return nullptr; }
  // A plain menu copy of the items, made while accessibility support is on (readers of
  // the screen know plain menus); the popup owns it. The base has no items to copy.
  virtual HMENU CreateTempMenu() { return nullptr; }
  virtual void DestroyTempMenu() {}
};

// What a popup asks its frame when an accessibility client wants the popup's object
// (the frame's registered "TKM_GETOBGECT" message, lParam this request).
struct TKAccessibleObjectRequest {
  CWnd* popup;
  WPARAM flags;  // WM_GETOBJECT's wParam
  LONG objectId;
  int childCountKind;
  int currentChild;  // 0: the popup itself, else the item index + 1
};
