// Laying out a frame's docked bars under wine: a frame with four toolbars of eight
// buttons (two rows at the top, one at the bottom, one on the left) and two sizing
// bars sharing a row on the right, resized 500 times to sizes that change every
// bar's row; each resize lays every side out again. Prints the time per layout and
// its ratio to the 2 ms it should stay under. Argument: the number of resizes (500).
#include <windows.h>

#include "platform/afx/afxwin.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKSizingControlBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr double kGoalMs = 2.0;

double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

int main(int argc, char** argv) {
  const int resizes = argc > 1 ? std::atoi(argv[1]) : 500;
  CWinApp app("Tarvel");
  auto* frame = new CTKFrameWnd;
  if (!frame->Create(nullptr, "Docking", WS_OVERLAPPEDWINDOW, CRect(0, 0, 900, 700))) return 1;
  HWND frameHwnd = frame->m_hWnd;
  frame->EnableDocking(CBRS_ALIGN_ANY);
  std::vector<std::unique_ptr<CTKToolBar>> toolBars;
  const UINT sides[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM,
                        AFX_IDW_DOCKBAR_LEFT};
  for (int i = 0; i < 4; ++i) {
    auto bar = std::make_unique<CTKToolBar>();
    if (!bar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER, AFX_IDW_TOOLBAR + 10 + i))
      return 1;
    for (UINT b = 0; b < 8; ++b) bar->InsertButton(new CTKToolbarButton(40001 + b, -1, "B"));
    bar->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(bar.get(), sides[i]);
    toolBars.push_back(std::move(bar));
  }
  CTKSizingControlBar levels, meter;
  CTKSizingControlBar* sizing[] = {&levels, &meter};
  for (int i = 0; i < 2; ++i) {
    if (!sizing[i]->Create(i ? "Meter" : "Levels", frame, CSize(160, 200), TRUE,
                           AFX_IDW_CONTROLBAR_FIRST + 40 + i, WS_CHILD | WS_VISIBLE | CBRS_RIGHT))
      return 1;
    sizing[i]->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(sizing[i], AFX_IDW_DOCKBAR_RIGHT);
  }
  // The second sizing bar joins the first one's row.
  CRect first;
  levels.GetWindowRect(&first);
  first.OffsetRect(0, first.Height() - 10);
  frame->DockControlBar(&meter, AFX_IDW_DOCKBAR_RIGHT, &first);
  frame->ShowWindow(SW_SHOWNORMAL);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);

  // Each resize sends WM_SIZE, whose handling lays the frame out.
  const double start = Now();
  for (int i = 0; i < resizes; ++i) {
    const int width = 600 + (i * 37) % 500, height = 450 + (i * 53) % 300;
    ::SetWindowPos(frameHwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const double perLayout = (Now() - start) / resizes;
  // The layout alone, without the resize itself.
  const double layoutStart = Now();
  for (int i = 0; i < resizes; ++i) frame->RecalcLayout();
  const double perRecalc = (Now() - layoutStart) / resizes;
  std::printf("resize and layout of 4 toolbars and 2 sizing bars: %.3f ms each (%d resizes)\n", perLayout,
              resizes);
  std::printf("layout alone: %.3f ms each\n", perRecalc);
  std::printf("ratio to the %.1f ms goal: %.2f (resize and layout), %.2f (layout alone)\n", kGoalMs,
              perLayout / kGoalMs, perRecalc / kGoalMs);
  ::DestroyWindow(frameHwnd);
  return 0;
}
