#pragma once
// The common controls' header ("SysHeader32"): the column headings of a report list.
#include "platform/afx/Wnd.h"

#include <commctrl.h>

class CHeaderCtrl : public CWnd {
public:
  CHeaderCtrl() = default;

  int GetItemCount() const { return static_cast<int>(::SendMessageA(m_hWnd, HDM_GETITEMCOUNT, 0, 0)); }
  BOOL GetItemRect(int index, RECT* rect) const {
    return static_cast<BOOL>(::SendMessageA(m_hWnd, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect)));
  }
  BOOL GetItem(int index, HDITEMA* item) const {
    return static_cast<BOOL>(::SendMessageA(m_hWnd, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(item)));
  }
  // The item under a client point, -1 when none; `flags` gets the HHT_* part.
  int HitTest(POINT point, UINT* flags = nullptr) const;
  HIMAGELIST GetImageList() const {
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, HDM_GETIMAGELIST, 0, 0));
  }
};
