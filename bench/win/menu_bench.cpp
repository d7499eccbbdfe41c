// Opening and closing a popup menu under wine: a frame with a menu bar, and a popup of
// 30 items (three of them sub-menus, two separators) opened at a point, painted, and
// closed again, 200 times. Prints the time per open and close (mean, and the median
// of the rounds in wall and in CPU time of the whole process) and its ratio to the
// 5 ms it should stay under. Argument: the number of rounds (200). To compare two
// builds, run their benches in turns (A B A B ...) and compare the medians.
#include <windows.h>

#include "platform/afx/afxwin.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/MenuSound.h"
#include "toolkit/frames/TKFrameWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr double kGoalMs = 5.0;
constexpr int kItems = 30;

double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// CPU time of the whole process so far (all its threads), in milliseconds. Wine's
// process times tick only every 10 ms, too coarse for one round.
double CpuNow() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

// Thirty items: commands with shortcuts, a few sub-menus of five, two separators.
HMENU MakeMenu() {
  HMENU menu = ::CreatePopupMenu();
  for (int i = 0; i < kItems; ++i) {
    char text[32];
    if (i == 10 || i == 20) {
      ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (i % 9 == 4) {
      HMENU sub = ::CreatePopupMenu();
      for (int j = 0; j < 5; ++j) {
        std::snprintf(text, sizeof text, "Sub item &%d", j);
        ::AppendMenuA(sub, MF_STRING, 41000 + i * 10 + j, text);
      }
      std::snprintf(text, sizeof text, "&Sub-menu %d", i);
      ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text);
    } else {
      std::snprintf(text, sizeof text, "Command &%d\tCtrl+%c", i, 'A' + i % 26);
      ::AppendMenuA(menu, MF_STRING | (i % 7 == 3 ? MF_CHECKED : 0), 40000 + i, text);
    }
  }
  return menu;
}
}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
  CWinApp app("Tarvel");
  SetMenuSounds(FALSE);  // as the program runs
  if (argc > 2) CTKToolBar::s_bMenuShadows = FALSE;
  auto* frame = new CTKFrameWnd;
  HMENU frameMenu = ::CreateMenu();
  ::AppendMenuA(frameMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(MakeMenu()), "&File");
  if (!frame->Create(nullptr, "Menus", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 600))) return 1;
  HWND frameHwnd = frame->m_hWnd;
  ::SetMenu(frameHwnd, frameMenu);
  frame->EnableDocking(CBRS_ALIGN_ANY);
  CTKMenuBar menuBar;
  if (!menuBar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP)) return 1;
  frame->DockControlBar(&menuBar, AFX_IDW_DOCKBAR_TOP);
  frame->ShowWindow(SW_SHOWNORMAL);
  Pump();

  // Each round: the popup is made from its menu, placed, shown, painted and closed.
  double open = 0, close = 0, paint = 0;
  std::vector<double> walls, cpus;
  for (int i = 0; i < rounds; ++i) {
    const double cpuStart = CpuNow();
    const double start = Now();
    auto* popup = new CTKPopupMenu;
    // As a menu button's popup: its window is kept for the next round.
    popup->SetKeepWindowOnClose(TRUE);
    if (!popup->Create(frame, 100, 80, MakeMenu())) return 1;
    const double created = Now();
    ::UpdateWindow(popup->m_hWnd);
    const double shown = Now();
    paint += shown - created;
    popup->DestroyWindow();
    Pump();  // the closed popup is deleted from the message loop
    const double end = Now();
    close += end - shown;
    open += shown - start;
    walls.push_back(end - start);
    cpus.push_back(CpuNow() - cpuStart);
  }
  const double perRound = (open + close) / rounds;
  std::printf(
      "popup menu of %d items: %.3f ms to open and paint (%.3f of it painting), %.3f ms to close (%d "
      "rounds)\n",
      kItems, open / rounds, paint / rounds, close / rounds, rounds);
  std::printf("open and close: %.3f ms; ratio to the %.1f ms goal: %.2f\n", perRound, kGoalMs,
              perRound / kGoalMs);
  std::printf("median of the rounds: %.3f ms wall, %.3f ms CPU\n", Median(walls), Median(cpus));
  ::DestroyWindow(frameHwnd);
  return 0;
}
