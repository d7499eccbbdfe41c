#include "app/view/WaveFrame.h"

#include "app/view/SharedPens.h"
#include "app/view/ShellServices.h"
#include "app/view/TVLView.h"
#include "app/view/ViewInfo.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <climits>
#include <cmath>
#include "core/engine/AudioIO.h"
#include "core/model/Track.h"
#include "core/model/TrackList.h"
#include "core/project/Project.h"
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_DYNAMIC(CWaveView, CView)
IMPLEMENT_DYNCREATE(CWaveFrame, CView)

SIZE CWaveFrame::s_lastViewSize = {0, 0};

CWnd* CWaveView::GetScrollBarCtrl(int bar) const {
  auto* frame = dynamic_cast<CWaveFrame*>(GetParent());
  if (!frame) return nullptr;
  if (bar == SB_HORZ) return frame->GetHorzBar();
  if (bar == SB_VERT) return frame->GetVertBar();
  return nullptr;
}

BEGIN_MESSAGE_MAP(CWaveFrame, CView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_MOUSEWHEEL()
  ON_WM_MOUSEACTIVATE()
  ON_WM_ERASEBKGND()
  ON_COMMAND(ID_ZOOM_IN, OnZoomIn)
  ON_COMMAND(ID_ZOOM_OUT, OnZoomOut)
  ON_COMMAND(ID_ZOOM_NORMAL, OnZoomNormal)
  ON_COMMAND(ID_ZOOM_SELECTION, OnZoomSelection)
  ON_COMMAND(ID_ZOOM_FIT, OnZoomFit)
  ON_UPDATE_COMMAND_UI(ID_ZOOM_IN, OnUpdateHasTracks)
  ON_UPDATE_COMMAND_UI(ID_ZOOM_OUT, OnUpdateHasTracks)
  ON_UPDATE_COMMAND_UI(ID_ZOOM_NORMAL, OnUpdateHasTracks)
  ON_UPDATE_COMMAND_UI(ID_ZOOM_FIT, OnUpdateHasTracks)
  ON_UPDATE_COMMAND_UI(ID_ZOOM_SELECTION, OnUpdateZoomSelection)
END_MESSAGE_MAP()

CWaveFrame::CWaveFrame(ViewInfo* info) : m_pViewInfo(info ? info : ::GetViewInfo()) {}

BOOL CWaveFrame::Create(CWnd* parent, const CRuntimeClass* viewClass, CCreateContext* context) {
  const char* cls = RegisterProgramWindowClass("ZQYWaveFrame", 0);
  if (!CWnd::CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                      parent ? parent->m_hWnd : nullptr,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST))))
    return FALSE;
  CObject* object = viewClass ? viewClass->CreateObject() : nullptr;
  auto* view = dynamic_cast<CWnd*>(object);
  if (!view) {
    delete object;
    return FALSE;
  }
  // A view that fails to be made deletes itself with its window.
  if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, this, AFX_IDW_PANE_FIRST,
                    context))
    return FALSE;
  m_pView = view;
  view->SendMessage(WM_INITIALUPDATE);
  Relayout();
  return TRUE;
}

int CWaveFrame::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  if (!m_hBar.Create(this, WS_VISIBLE | SBS_HORZ) ||
      !m_vBar.CreateEx(0, "SCROLLBAR", "", WS_CHILD | SBS_VERT, 0, 0, 0, 0, m_hWnd, nullptr) ||
      !m_sizeBox.CreateEx(0, "SCROLLBAR", "", WS_CHILD | SBS_SIZEBOX, 0, 0, 0, 0, m_hWnd, nullptr))
    return -1;
  if (!m_timeRuler.Create(this, 1, m_pViewInfo) || !m_levelRuler.Create(this, 2, m_pViewInfo) ||
      !m_cross.Create(this, 3))
    return -1;
  return 0;
}

int CWaveFrame::OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message) {
  // The frame itself never becomes the active view: its view is.
  return CWnd::OnMouseActivate(topLevel, hitTest, message);
}

void CWaveFrame::SetProject(Project* project) {
  m_pProject = project;
  m_levelRuler.SetProject(project);
}

double CWaveFrame::EndTime() const {
  return m_pProject && m_pProject->GetTracks() ? m_pProject->GetTracks()->GetEndTime() : 0.0;
}

bool CWaveFrame::Recording() const {
  return m_pProject && gAudioIO && m_pProject->GetStreamToken() > 0 &&
         gAudioIO->IsStreamActiveToken(m_pProject->GetStreamToken()) && gAudioIO->GetNumCaptureChannels() > 0;
}

void CWaveFrame::Relayout() {
  RECT client;
  GetClientRect(&client);
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

void CWaveFrame::OnSize(UINT type, int cx, int cy) {
  const int L = kLevelRulerWidth, T = kTimeRulerHeight;
  if (cx <= L || cy <= T) return;
  const int barHeight = ::GetSystemMetrics(SM_CYHSCROLL);
  bool needBar = m_pViewInfo->sbarTotal > cx - L;
  bool showBar = needBar && cy > T + 2 * barHeight;
  int viewHeight = cy - T - (showBar ? barHeight : 0);
  // The layout runs again every few seconds while recording: a window already where it
  // goes is not moved (each move is a round of requests to the window system).
  auto place = [this](int slot, HWND child, int x, int y, int width, int height) {
    const RECT wanted{x, y, x + width, y + height};
    if (::EqualRect(&m_placed[slot], &wanted)) return;
    m_placed[slot] = wanted;
    ::MoveWindow(child, x, y, width, height, TRUE);
  };
  if (m_pView) place(0, m_pView->m_hWnd, L, T, cx - L, viewHeight);
  place(1, m_timeRuler.m_hWnd, L, 0, cx - L, T);
  place(2, m_levelRuler.m_hWnd, 0, T, L, cy - T);
  place(3, m_cross.m_hWnd, 0, 0, L, T);
  if (showBar) place(4, m_hBar.m_hWnd, L, cy - barHeight, cx - L, barHeight);
  const bool barShown = (::GetWindowLongA(m_hBar.m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
  if (barShown != showBar) ::ShowWindow(m_hBar.m_hWnd, showBar ? SW_SHOWNA : SW_HIDE);
  if (m_pView) {
    RECT view;
    m_pView->GetClientRect(&view);
    if (view.right != s_lastViewSize.cx || view.bottom != s_lastViewSize.cy) {
      s_lastViewSize = {view.right, view.bottom};
      FitTrackHeights();
    }
  }
}

void CWaveFrame::UpdateScrollBars() {
  if (!m_pProject || !m_pProject->GetTracks() || !m_pView) return;
  ViewInfo& v = *m_pViewInfo;
  RECT view;
  m_pView->GetClientRect(&view);
  v.screen = view.right / v.zoom;
  v.total = EndTime();
  if (Recording()) v.total += v.screen * 0.5;
  bool changed = false;
  if (v.total - v.screen < v.h) {
    v.h = v.total - v.screen;
    changed = true;
  }
  if (v.h < 0) {
    v.h = 0;
    changed = true;
  }
  v.sbarTotal = static_cast<int>(v.zoom * v.total);
  v.sbarScreen = static_cast<int>(v.zoom * v.screen);
  v.sbarH = static_cast<int>(v.zoom * v.h);
  v.vpos = 0;
  if (v.screen >= v.total && v.sbarH != 0) {
    v.sbarH = 0;
    SetBarPosition(0);
    RedrawAll(FALSE);
  }
  SCROLLINFO si{sizeof si,
                SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL,
                0,
                v.sbarTotal,
                static_cast<UINT>(v.sbarScreen),
                0,
                0};
  m_hBar.SetInfo(si);
  v.lastZoom = v.zoom;
  if (changed && v.screen < v.total) RedrawAll(FALSE);
}

bool CWaveFrame::SetZoom(double zoom) {
  ViewInfo& v = *m_pViewInfo;
  bool applied =
      zoom <= 6000000.0 && zoom > 0.001 && zoom * v.total <= INT_MAX && v.zoom * v.screen <= INT_MAX;
  if (applied) v.zoom = zoom;
  UpdateScrollBars();
  Relayout();
  return applied;
}

int CWaveFrame::MaxPosition() const {
  return std::max(0, m_pViewInfo->sbarTotal - m_pViewInfo->sbarScreen + 1);
}

void CWaveFrame::SetBarPosition(int position) {
  m_hBar.SetInfo(SCROLLINFO{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, position, 0});
  m_pViewInfo->sbarH = position;
}

void CWaveFrame::ScrollToTime(double t) {
  int position = static_cast<int>(t * m_pViewInfo->zoom);
  position = std::max(0, std::min(position, MaxPosition()));
  SetBarPosition(position);
  ScrollChanged();
}

void CWaveFrame::ScrollChanged() {
  ViewInfo& v = *m_pViewInfo;
  double h = v.sbarH / v.zoom;
  h = std::min(h, v.total - v.screen);
  h = std::max(h, 0.0);
  bool moved = h != v.h;
  v.h = h;
  v.vpos = 0;
  if (moved && !m_bRedrawSuppressed) RedrawAll(FALSE);
}

int CWaveFrame::LineStep() const { return std::max(1, m_pViewInfo->sbarScreen / 20); }

void CWaveFrame::OnHScroll(UINT code, UINT, CWnd*) {
  ViewInfo& v = *m_pViewInfo;
  int position = v.sbarH;
  switch (code) {
    case SB_LINELEFT:
      position -= LineStep();
      break;
    case SB_LINERIGHT:
      position += LineStep();
      break;
    case SB_PAGELEFT:
      position -= v.sbarScreen;
      break;
    case SB_PAGERIGHT:
      position += v.sbarScreen;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      ::GetScrollInfo(m_hBar.m_hWnd, SB_CTL, &si);
      position = si.nTrackPos;
      break;
    }
    case SB_LEFT:
      position = 0;
      break;
    case SB_RIGHT:
      position = MaxPosition();
      break;
    default:
      return;
  }
  position = std::max(0, std::min(position, MaxPosition()));
  if (position == v.sbarH) return;
  SetBarPosition(position);
  ScrollChanged();
}

void CWaveFrame::StepLeft() {
  m_bRedrawSuppressed = TRUE;
  OnHScroll(SB_LINELEFT, 0, nullptr);
  m_bRedrawSuppressed = FALSE;
}

void CWaveFrame::StepRight() {
  m_bRedrawSuppressed = TRUE;
  OnHScroll(SB_LINERIGHT, 0, nullptr);
  m_bRedrawSuppressed = FALSE;
}

int GetMouseWheelScrollLines() {
  static int s_lines = -1;
  if (s_lines >= 0) return s_lines;
  s_lines = 3;
  UINT lines = 0;
  // A mouse driver of its own answers for its wheel first.
  if (HWND driver = ::FindWindowA("MouseZ", "Magellan MSWHEEL")) {
    const UINT ask = ::RegisterWindowMessageA("MSH_SCROLL_LINES_MSG");
    s_lines = static_cast<int>(::SendMessageA(driver, ask, 0, 0));
  } else if (::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) {
    s_lines = static_cast<int>(lines);
  } else {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) == ERROR_SUCCESS) {
      char text[16] = {};
      DWORD size = sizeof text - 1;
      if (::RegQueryValueExA(key, "WheelScrollLines", nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                             &size) == ERROR_SUCCESS)
        s_lines = atoi(text);
      ::RegCloseKey(key);
    }
  }
  return s_lines;
}

BOOL CWaveFrame::OnMouseWheel(UINT flags, short delta, CPoint) {
  if (!(flags & MK_SHIFT)) return TRUE;
  int lines = -::MulDiv(delta, GetMouseWheelScrollLines(), WHEEL_DELTA);
  ScrollToTime(m_pViewInfo->h - lines * 50.0 / m_pViewInfo->zoom);
  return TRUE;
}

void CWaveFrame::RedrawAll(BOOL erase) {
  UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | (erase ? RDW_ERASE : 0);
  if (m_pView) ::RedrawWindow(m_pView->m_hWnd, nullptr, nullptr, flags);
  ::RedrawWindow(m_timeRuler.m_hWnd, nullptr, nullptr, flags);
  ::RedrawWindow(m_levelRuler.m_hWnd, nullptr, nullptr, flags);
}

void CWaveFrame::OnZoomIn() {
  ViewInfo& v = *m_pViewInfo;
  double oldH = v.h, oldScreen = v.screen;
  bool overlaps = v.t0 < v.h + v.screen && v.t1 > v.h;
  bool covers = v.t0 <= v.h && v.t1 >= v.h + v.screen;
  if (overlaps && !covers) {
    double point = (v.t0 + v.t1) / 2;
    if (point < v.h) point = v.h + (v.t1 - v.h) / 2;
    if (point > v.h + v.screen) point = (v.h + v.screen) - ((v.h + v.screen) - v.t0) / 2;
    SetZoom(2 * v.zoom);
    ScrollToTime(point - v.screen / 2);
  } else if (SetZoom(2 * v.zoom)) {
    ScrollToTime(oldH + (oldScreen - v.screen) / 2);
  }
  RedrawAll(FALSE);
}

void CWaveFrame::OnZoomOut() {
  ViewInfo& v = *m_pViewInfo;
  double oldH = v.h, oldScreen = v.screen;
  if (SetZoom(v.zoom / 2)) ScrollToTime(oldH + (oldScreen - v.screen) / 2);
  RedrawAll(FALSE);
}

void CWaveFrame::OnZoomNormal() {
  SetZoom(ViewInfo::kNormalZoom);
  RedrawAll(FALSE);
}

void CWaveFrame::OnZoomSelection() {
  ViewInfo& v = *m_pViewInfo;
  if (v.t1 <= v.t0) return;
  SetZoom(v.zoom * v.screen / (v.t1 - v.t0));
  ScrollToTime(v.t0);
  RedrawAll(FALSE);
}

void CWaveFrame::OnZoomFit() {
  ZoomToFit();
  RedrawAll(FALSE);
}

void CWaveFrame::OnUpdateHasTracks(CCmdUI* ui) { ui->Enable(HasCommandState(kStateHasTracks)); }

void CWaveFrame::OnUpdateZoomSelection(CCmdUI* ui) {
  ui->Enable(HasCommandState(kStateHasTracks | kStateSelection));
}

void CWaveFrame::DivideTrackHeights() {
  if (!m_pProject || !m_pView) return;
  RECT view;
  m_pView->GetClientRect(&view);
  int height = view.bottom;
  int waves = 0;
  TrackListIterator it(m_pProject->GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) {
    if (t->GetKind() == Track::Wave)
      ++waves;
    else
      height -= t->GetHeight();
  }
  if (waves == 0) return;
  int each = std::max(40, height / waves);
  for (Track* t = it.First(); t; t = it.Next())
    if (t->GetKind() == Track::Wave) t->SetHeight(each);
}

void CWaveFrame::ZoomToFit() {
  double end = EndTime();
  if (!m_pProject || !m_pView || end <= 0) return;
  DivideTrackHeights();
  RECT view;
  m_pView->GetClientRect(&view);
  SetZoom(view.right / end);
  ScrollToTime(0);
}

void CWaveFrame::FitTrackHeights() {
  if (!m_pProject) return;
  DivideTrackHeights();
  UpdateScrollBars();
  // The layout calls this when the view's size changed; the nested layout finds the
  // size it stored and stops there.
  static bool s_inFit = false;
  if (!s_inFit) {
    s_inFit = true;
    Relayout();
    s_inFit = false;
  }
  RedrawAll(TRUE);
  if (!m_pProject->GetTracks()->IsEmpty()) m_pProject->ModifyState(m_pViewInfo);
}

void CWaveFrame::OnRefreshTick(int period) {
  if (auto* view = dynamic_cast<CTVLView*>(m_pView)) view->RefreshWhileStreaming(period);
}

void CWaveFrame::OnColorSchemeChanged() {
  if (auto* view = dynamic_cast<CTVLView*>(m_pView)) view->OnColorSchemeChanged();
  UpdateTimeIndicatorColors();
  m_timeRuler.Invalidate(FALSE);
}

SIZE CWaveFrame::GetMinSize() const {
  return {kLevelRulerWidth + 2 * ::GetSystemMetrics(SM_CXVSCROLL) + 4,
          kTimeRulerHeight + 2 * ::GetSystemMetrics(SM_CYHSCROLL) + 105};
}

BOOL CWaveFrame::OnCmdMsg(UINT id, int code, void* extra) { return CWnd::OnCmdMsg(id, code, extra); }
