#include "toolkit/frames/TKToolDockBar.h"

#include "toolkit/frames/TKBaseControlBar.h"
#include "toolkit/frames/TKVisualManager.h"

namespace {
// Bars of other kinds overlap the bar before them by their border line.
constexpr int kBorderOverlap = 2;
}  // namespace

int CTKToolDockBar::Overlap(CControlBar* bar) const {
  return dynamic_cast<CTKBaseControlBar*>(bar) ? 0 : kBorderOverlap;
}

BOOL CTKToolDockBar::TakesWholeRow(CControlBar* bar) const {
  auto* base = dynamic_cast<CTKBaseControlBar*>(bar);
  return base && base->LookKind() == CTKBaseControlBar::kMenuBar;
}

BEGIN_MESSAGE_MAP(CTKToolDockBar, CDockBar)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CTKToolDockBar::OnEraseBkgnd(CDC*) { return TRUE; }

void CTKToolDockBar::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  CTKVisualManager::GetInstance()->PaintDockBarBackground(&dc, this, client);
}
