#include "platform/afx/HeaderCtrl.h"

int CHeaderCtrl::HitTest(POINT point, UINT* flags) const {
  HDHITTESTINFO info{};
  info.pt = point;
  int item = static_cast<int>(::SendMessageA(m_hWnd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (flags) *flags = info.flags;
  return item;
}
