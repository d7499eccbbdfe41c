#include "app/view/SharedPens.h"

#include "app/view/DCStateGuard.h"
#include "app/view/ShellServices.h"

namespace {

struct SharedObjects {
  bool made = false;
  HPEN gripPen1[2] = {};
  HBRUSH gripBrush1[2] = {};
  HPEN gripPen2[2] = {};
  HBRUSH gripBrush2[2] = {};
  HPEN indicatorPen[2] = {};
  HBRUSH indicatorBrush[2] = {};
  HPEN cursorPen = nullptr;
  HPEN envelopePen = nullptr;
};
SharedObjects g_shared;

void MakeIndicator() {
  COLORREF color = SchemeColor(GetColorScheme().TimeIndicator);
  for (int i = 0; i < 2; ++i) {
    g_shared.indicatorPen[i] = ::CreatePen(PS_SOLID, 1, color);
    g_shared.indicatorBrush[i] = ::CreateSolidBrush(color);
  }
}

void MakeShared() {
  if (g_shared.made) return;
  g_shared.gripPen1[0] = ::CreatePen(PS_SOLID, 1, RGB(22, 0, 0));
  g_shared.gripBrush1[0] = ::CreateSolidBrush(RGB(22, 0, 0));
  g_shared.gripPen1[1] = ::CreatePen(PS_SOLID, 1, RGB(204, 204, 255));
  g_shared.gripBrush1[1] = ::CreateSolidBrush(RGB(204, 204, 255));
  g_shared.gripPen2[0] = ::CreatePen(PS_SOLID, 1, RGB(16, 0, 0));
  g_shared.gripBrush2[0] = ::CreateSolidBrush(RGB(16, 0, 0));
  g_shared.gripPen2[1] = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  g_shared.gripBrush2[1] = ::CreateSolidBrush(RGB(148, 148, 170));
  MakeIndicator();
  g_shared.cursorPen = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  g_shared.envelopePen = ::CreatePen(PS_SOLID, 1, RGB(110, 110, 220));
  g_shared.made = true;
}

int Index(BOOL flag) { return flag ? 1 : 0; }

}  // namespace

void SelectGripPair1(CDCStateGuard& guard, BOOL selected) {
  MakeShared();
  guard.SelectPen(g_shared.gripPen1[Index(selected)]);
  guard.SelectBrush(g_shared.gripBrush1[Index(selected)]);
}

void SelectGripPair2(CDCStateGuard& guard, BOOL selected) {
  MakeShared();
  guard.SelectPen(g_shared.gripPen2[Index(selected)]);
  guard.SelectBrush(g_shared.gripBrush2[Index(selected)]);
}

void SelectTimeIndicator(CDCStateGuard& guard, BOOL flag) {
  MakeShared();
  guard.SelectPen(g_shared.indicatorPen[Index(flag)]);
  guard.SelectBrush(g_shared.indicatorBrush[Index(flag)]);
}

void SelectCursorPen(CDCStateGuard& guard, HDC dc) {
  MakeShared();
  ::SetROP2(dc, R2_NOT);
  guard.SelectPen(g_shared.cursorPen);
}

HPEN GetEnvelopePen() {
  MakeShared();
  return g_shared.envelopePen;
}

void UpdateTimeIndicatorColors() {
  if (!g_shared.made) return;
  for (int i = 0; i < 2; ++i) {
    ::DeleteObject(g_shared.indicatorPen[i]);
    ::DeleteObject(g_shared.indicatorBrush[i]);
  }
  MakeIndicator();
}
