#include "app/view/TVLView.h"

#include "app/view/DCStateGuard.h"
#include "app/view/SharedPens.h"
#include "app/view/ShellServices.h"
#include "app/view/TVLDoc.h"
#include "app/view/ViewInfo.h"
#include "app/view/ViewText.h"
#include "audiofiles/dialogs/LocateSelectDlg.h"
#include "resources/resource.h"
#include "toolkit/bars/TKContextMenuManager.h"
#include "toolkit/frames/TKPrintPreviewView.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include "app/settings/AdvanceRecordSetting.h"
#include "core/engine/AudioIO.h"
#include "core/model/Track.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_DYNCREATE(CTVLView, CWaveView)

CTVLView::ContextMenuHandler CTVLView::s_contextMenu;

namespace {
constexpr int kInfoDisplayId = 65535;
constexpr int kKind3 = 3;
constexpr int kTimeTrackKind = 4;
}  // namespace

BEGIN_MESSAGE_MAP(CTVLView, CWaveView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_KEYDOWN()
  ON_WM_GETDLGCODE()
  ON_WM_CONTEXTMENU()
  ON_MESSAGE(WM_TVL_RECORDING_MODE, OnRecordingMode)
  ON_MESSAGE(WM_TVL_REPAINT_INFO, OnRepaintInfo)
  ON_COMMAND(ID_EDIT_SELECT_ALL, OnSelectAll)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
  ON_COMMAND(ID_SELECT_START_TO_CURSOR, OnSelectStartToCursor)
  ON_COMMAND(ID_SELECT_CURSOR_TO_END, OnSelectCursorToEnd)
  ON_COMMAND(ID_CURSOR_TO_TRACK_START, OnCursorToTrackStart)
  ON_COMMAND(ID_CURSOR_TO_TRACK_END, OnCursorToTrackEnd)
  ON_COMMAND(ID_CURSOR_TO_SELECT_START, OnCursorToSelectStart)
  ON_COMMAND(ID_CURSOR_TO_SELECT_END, OnCursorToSelectEnd)
  ON_COMMAND(ID_EDIT_LOCATE_SELECT, OnLocateSelect)
  ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateIdleHasTracks)
  ON_UPDATE_COMMAND_UI(ID_SELECT_START_TO_CURSOR, OnUpdateIdleHasTracks)
  ON_UPDATE_COMMAND_UI(ID_SELECT_CURSOR_TO_END, OnUpdateIdleHasTracks)
  ON_UPDATE_COMMAND_UI(ID_CURSOR_TO_TRACK_START, OnUpdateIdleHasTracks)
  ON_UPDATE_COMMAND_UI(ID_CURSOR_TO_TRACK_END, OnUpdateIdleHasTracks)
  ON_UPDATE_COMMAND_UI(ID_EDIT_LOCATE_SELECT, OnUpdateIdleHasTracks)
  ON_UPDATE_COMMAND_UI(ID_CURSOR_TO_SELECT_START, OnUpdateIdleSelection)
  ON_UPDATE_COMMAND_UI(ID_CURSOR_TO_SELECT_END, OnUpdateIdleSelection)
END_MESSAGE_MAP()

CTVLView::CTVLView() { m_artist.SetInset(1, 2, 2, 1); }

CTVLView::~CTVLView() {
  for (auto* list : {&m_indicatorPatches, &m_cursorPatches})
    for (Patch& p : *list) ::DeleteObject(p.bitmap);
}

CTVLDoc* CTVLView::GetDocument() const { return dynamic_cast<CTVLDoc*>(m_pDocument); }
CWaveFrame* CTVLView::GetWaveFrame() const {
  return dynamic_cast<CWaveFrame*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}
Project* CTVLView::GetProject() const {
  CTVLDoc* doc = GetDocument();
  return doc ? doc->GetProject() : nullptr;
}
ViewInfo& CTVLView::Info() const { return *::GetViewInfo(); }

BOOL CTVLView::OnCmdMsg(UINT id, int code, void* extra) {
  if (CWaveView::OnCmdMsg(id, code, extra)) return TRUE;
  CWaveFrame* frame = GetWaveFrame();
  return frame && frame->OnCmdMsg(id, code, extra);
}

void CTVLView::SetContextMenuHandler(ContextMenuHandler handler) { s_contextMenu = std::move(handler); }

int CTVLView::OnCreate(LPCREATESTRUCT cs) {
  if (CView::OnCreate(cs) == -1) return -1;
  if (!m_infoDisplay.Create(this, kInfoDisplayId, RECT{0, 0, 440, 120})) return -1;
  if (CWaveFrame* frame = GetWaveFrame()) frame->SetProject(GetProject());
  return 0;
}

void CTVLView::OnInitialUpdate() {
  ::ShowWindow(m_infoDisplay.m_hWnd, IsDirectToFileMode() ? SW_SHOW : SW_HIDE);
  CView::OnInitialUpdate();
}

void CTVLView::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  ::SetWindowPos(m_infoDisplay.m_hWnd, nullptr, (cx - 440) / 2, (cy - 120) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CTVLView::PositionOfTime(double t) const { return static_cast<int>((t - Info().h) * Info().zoom + 0); }

double CTVLView::TimeOfPosition(int x) const { return x / Info().zoom + Info().h; }

void CTVLView::OnDraw(CDC* dc) {
  RECT update;
  ::GetClipBox(dc->m_hDC, &update);
  RECT client;
  GetClientRect(&client);
  if (client.right <= 0 || client.bottom <= 0) return;
  m_image.Begin(dc->m_hDC, client.right, client.bottom);
  HDC mem = m_image.DC();
  const ColorSchemeOptions& scheme = GetColorScheme();
  HBRUSH background = ::CreateSolidBrush(SchemeColor(scheme.ControlBar));
  ::FillRect(mem, &client, background);
  ::DeleteObject(background);
  Project* project = GetProject();
  TrackList* tracks = project ? project->GetTracks() : nullptr;
  if (!tracks || tracks->IsEmpty()) {
    HBRUSH bar = ::CreateSolidBrush(SchemeColor(scheme.DarkShade));
    int h2 = (client.bottom - 8) / 2;
    RECT first{1, 2, client.right - 2, 2 + h2};
    RECT second{1, 5 + h2, client.right - 2, 6 + 2 * h2};
    ::FillRect(mem, &first, bar);
    ::FillRect(mem, &second, bar);
    ::DeleteObject(bar);
  } else {
    CDCStateGuard guard(mem);
    RECT area{0, 1 - Info().vpos, client.right, client.bottom};
    m_artist.DrawTracks(tracks, guard, mem, area, update, Info(), false, false, false);
  }
  ForgetPatches(m_cursorPatches, update);
  ForgetPatches(m_indicatorPatches, update);
  ::BitBlt(dc->m_hDC, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
  m_image.End();
  if (!m_bSelecting && Info().t0 == Info().t1) DrawCursorLine();
}

void CTVLView::ForgetPatches(std::vector<Patch>& patches, const RECT& region) {
  for (auto it = patches.begin(); it != patches.end();) {
    if (it->x >= region.left && it->x < region.right) {
      ::DeleteObject(it->bitmap);
      it = patches.erase(it);
    } else {
      ++it;
    }
  }
}

void CTVLView::RestorePatches(std::vector<Patch>& patches, HDC given) {
  if (patches.empty()) return;
  HDC dc = given ? given : ::GetDC(m_hWnd);
  HDC mem = ::CreateCompatibleDC(dc);
  for (Patch& p : patches) {
    HGDIOBJ old = ::SelectObject(mem, p.bitmap);
    ::BitBlt(dc, p.x, p.y, 1, p.height, mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteObject(p.bitmap);
  }
  ::DeleteDC(mem);
  if (!given) ::ReleaseDC(m_hWnd, dc);
  patches.clear();
}

void CTVLView::SavePatchAndDraw(HDC dc, std::vector<Patch>& patches, int x, int top, int bottom) {
  if (bottom <= top) return;
  HDC mem = ::CreateCompatibleDC(dc);
  HBITMAP bitmap = ::CreateCompatibleBitmap(dc, 1, bottom - top);
  HGDIOBJ old = ::SelectObject(mem, bitmap);
  ::BitBlt(mem, 0, 0, 1, bottom - top, dc, x, top, SRCCOPY);
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
  patches.push_back({x, top, bitmap, bottom - top});
  ::MoveToEx(dc, x, top, nullptr);
  ::LineTo(dc, x, bottom);
}

void CTVLView::DrawCursorLine() {
  RestorePatches(m_cursorPatches);
  Project* project = GetProject();
  if (!project) return;
  int x = static_cast<int>((Info().t0 - Info().h) * Info().zoom) + 1;
  if (x < 1) return;
  HDC dc = ::GetDC(m_hWnd);
  {
    CDCStateGuard guard(dc);
    int oldRop = ::GetROP2(dc);
    SelectCursorPen(guard, dc);
    int y = 1 - Info().vpos;
    TrackListIterator it(project->GetTracks());
    for (Track* t = it.First(); t; t = it.Next()) {
      int kind = t->GetKind();
      if (kind != kTimeTrackKind && kind != kKind3)
        SavePatchAndDraw(dc, m_cursorPatches, x, y + 2, y + t->GetHeight() - 2);
      y += t->GetHeight();
    }
    ::SetROP2(dc, oldRop);
  }
  ::ReleaseDC(m_hWnd, dc);
}

bool CTVLView::StreamOfProjectRuns() const {
  Project* project = GetProject();
  return project && gAudioIO && project->GetStreamToken() > 0 &&
         gAudioIO->IsStreamActiveToken(project->GetStreamToken());
}

void CTVLView::DrawPlayIndicator() {
  Project* project = GetProject();
  double position = 0;
  if (project && gAudioIO) position = gAudioIO->GetStreamTime() - gAudioIO->GetStreamStartTime();
  if (!project || !gAudioIO || position < Info().h || position > Info().h + Info().screen) {
    RestorePatches(m_indicatorPatches);
    return;
  }
  const int x = static_cast<int>((position - Info().h) * Info().zoom) + 1;
  const BOOL recording = gAudioIO->GetNumCaptureChannels() > 0;
  // Where the indicator goes, one column for each track.
  std::vector<std::pair<int, int>> columns;
  int y = 1 - Info().vpos;
  TrackListIterator it(project->GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) {
    if (t->GetKind() != kKind3 && t->GetHeight() > 4) columns.push_back({y + 2, y + t->GetHeight() - 2});
    y += t->GetHeight();
  }
  // Still standing where it goes (no paint has covered a column of it): nothing to do.
  bool standing = recording == m_bIndicatorRecording && columns.size() == m_indicatorPatches.size();
  for (size_t i = 0; standing && i < columns.size(); ++i) {
    const Patch& p = m_indicatorPatches[i];
    standing = p.x == x && p.y == columns[i].first && p.y + p.height == columns[i].second;
  }
  if (standing) return;
  HDC dc = ::GetDC(m_hWnd);
  RestorePatches(m_indicatorPatches, dc);
  {
    CDCStateGuard guard(dc);
    SelectTimeIndicator(guard, recording ? FALSE : TRUE);
    for (const auto& [top, bottom] : columns) SavePatchAndDraw(dc, m_indicatorPatches, x, top, bottom);
  }
  m_bIndicatorRecording = recording;
  ::ReleaseDC(m_hWnd, dc);
}

Track* CTVLView::HitTest(int x, int y, RECT* rect, int* number) const {
  Project* project = GetProject();
  if (number) *number = 0;
  if (!project) return nullptr;
  RECT client;
  GetClientRect(&client);
  int top = 1 - Info().vpos;
  int n = 0;
  TrackListIterator it(project->GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) {
    ++n;
    int bottom = top + t->GetHeight();
    if (y >= top && y < bottom && x >= 1 && x < client.right - 2) {
      if (rect) *rect = {1, top - 1, client.right - 2, bottom};
      if (number) *number = n;
      return t;
    }
    top = bottom;
  }
  if (number && y >= top) *number = n;
  return nullptr;
}

void CTVLView::DeselectAll() {
  if (Project* project = GetProject()) project->SelectNone();
}

void CTVLView::ExtendTo(int x) {
  double t = std::max(0.0, TimeOfPosition(x));
  Info().t0 = std::min(m_selStart, t);
  Info().t1 = std::max(m_selStart, t);
}

void CTVLView::SelectTracksBetween(int first, int last) {
  Project* project = GetProject();
  if (!project) return;
  if (first > last) std::swap(first, last);
  int n = 0;
  TrackListIterator it(project->GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) {
    ++n;
    if (n >= first && n <= last) t->SetSelected(true);
  }
}

void CTVLView::OnLButtonDown(UINT flags, CPoint point) {
  ::SetCapture(m_hWnd);
  ::SetFocus(m_hWnd);
  RECT rect;
  int number = 0;
  Track* track = HitTest(point.x, point.y, &rect, &number);
  if (!track) {
    DeselectAll();
    Invalidate(FALSE);
    return;
  }
  m_pCapturedTrack = track;
  m_capturedRect = rect;
  m_nCapturedNum = number;
  m_mouseClickPoint = m_mouseMostRecent = point;
  if (flags & MK_SHIFT) {
    double t = TimeOfPosition(point.x);
    m_selStart = std::fabs(t - Info().t1) <= std::fabs(t - Info().t0) ? Info().t0 : Info().t1;
    ExtendTo(point.x);
  } else {
    DeselectAll();
    Info().t0 = Info().t1 = m_selStart = std::max(0.0, TimeOfPosition(point.x));
    if (Project* project = GetProject()) project->GetTracks()->Select(track, true);
  }
  m_bSelecting = TRUE;
  DrawCursorLine();
  Invalidate(FALSE);
}

void CTVLView::OnMouseMove(UINT flags, CPoint point) {
  if (!m_bAutoScrolling) m_mouseMostRecent = point;
  if (!(flags & MK_LBUTTON) || !m_bSelecting || !m_pCapturedTrack) return;
  if (::GetCapture() != m_hWnd && !m_bAutoScrolling) return;
  int anchorX = PositionOfTime(m_selStart);
  if (std::abs(point.x - anchorX) < 5) return;
  ExtendTo(point.x);
  int number = 0;
  HitTest(std::max(1, std::min(point.x, static_cast<int>(m_capturedRect.right) - 1)), point.y, nullptr,
          &number);
  if (number > 0) SelectTracksBetween(m_nCapturedNum, number);
  Invalidate(FALSE);
}

void CTVLView::OnLButtonUp(UINT, CPoint point) {
  if (!m_bAutoScrolling) {
    m_mouseMostRecent = point;
    ModifyState();
  }
  m_pCapturedTrack = nullptr;
  m_bSelecting = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  Invalidate(FALSE);
}

void CTVLView::OnLButtonDblClk(UINT, CPoint) {
  Project* project = GetProject();
  if (!project || project->GetTracks()->IsEmpty()) return;
  Info().t0 = Info().h;
  Info().t1 = Info().h + Info().screen;
  RefreshFrame();
  ModifyState();
}

void CTVLView::OnKeyDown(UINT key, UINT, UINT) {
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  ViewInfo& v = Info();
  const double step = 1.0 / v.zoom;
  CWaveFrame* frame = GetWaveFrame();
  Project* project = GetProject();
  double end = project ? project->GetTracks()->GetEndTime() : 0.0;
  switch (key) {
    case VK_PRIOR:
      if (frame) frame->ScrollToTime(v.h - v.screen + v.screen / 6);
      return;
    case VK_NEXT:
      if (frame) frame->ScrollToTime(v.h + v.screen - v.screen / 6);
      return;
    case VK_HOME:
      if (shift) {
        v.t0 = 0;
      } else {
        v.t0 = v.t1 = 0;
      }
      if (frame) frame->ScrollToTime(0);
      break;
    case VK_END:
      if (shift) {
        v.t1 = end;
      } else {
        v.t0 = v.t1 = end;
      }
      if (frame) frame->ScrollToTime(end - v.screen);
      break;
    case VK_LEFT:
      if (!shift) {
        if (v.t0 != v.t1) {
          v.t1 = v.t0;
        } else {
          v.t0 = std::max(0.0, v.t0 - step);
          v.t1 = std::max(0.0, v.t1 - step);
        }
      } else if (v.t0 <= m_selStart && v.t1 <= m_selStart) {
        v.t0 = std::max(0.0, v.t0 - step);
      } else {
        v.t1 = std::max(v.t0, v.t1 - step);
      }
      break;
    case VK_RIGHT:
      if (!shift) {
        if (v.t0 != v.t1) {
          v.t0 = v.t1;
        } else {
          v.t0 += step;
          v.t1 += step;
        }
      } else if (v.t0 >= m_selStart && v.t1 >= m_selStart) {
        v.t1 += step;
      } else {
        v.t0 = std::min(v.t1, v.t0 + step);
      }
      break;
    default:
      return;
  }
  Invalidate(FALSE);
}

namespace {
// The toolkit's context-menu manager; a program without one (no workspace made it)
// gets one for the rest of the run.
CTKContextMenuManager* ContextMenus() {
  if (!GetContextMenuManager()) {
    static CTKContextMenuManager own;
    (void)own;
  }
  return GetContextMenuManager();
}
}  // namespace

void CTVLView::OnContextMenu(CWnd*, CPoint point) {
  if (s_contextMenu) {
    HMENU menu = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_VIEW_CONTEXT));
    if (!menu) return;
    if (HMENU popup = ::GetSubMenu(menu, 0)) s_contextMenu(this, popup, point);
    ::DestroyMenu(menu);
    return;
  }
  CTKContextMenuManager* menus = ContextMenus();
  if (!menus->GetMenuById(IDR_VIEW_CONTEXT) &&
      !menus->AddMenu(view_text::kViewContextMenuName, IDR_VIEW_CONTEXT))
    return;
  // The commands go to the frame, which routes them to this view, its document and
  // the frame's and the application's own handlers.
  menus->ShowPopupMenu(IDR_VIEW_CONTEXT, point.x, point.y, this);
}

LRESULT CTVLView::OnRecordingMode(WPARAM wParam, LPARAM) {
  ::ShowWindow(m_infoDisplay.m_hWnd, wParam == 1 ? SW_SHOW : SW_HIDE);
  ::InvalidateRect(m_infoDisplay.m_hWnd, nullptr, TRUE);
  return 0;
}

LRESULT CTVLView::OnRepaintInfo(WPARAM wParam, LPARAM) {
  ::InvalidateRect(m_infoDisplay.m_hWnd, nullptr, wParam ? TRUE : FALSE);
  return 0;
}

void CTVLView::RequestRepaint(WPARAM flags) { PostMessage(WM_TVL_REPAINT_INFO, flags, 0); }

void CTVLView::RefreshFrame() {
  if (CWaveFrame* frame = GetWaveFrame())
    frame->RedrawAll(FALSE);
  else
    Invalidate(FALSE);
}

void CTVLView::ModifyState() {
  if (Project* project = GetProject())
    if (!project->GetTracks()->IsEmpty()) project->ModifyState(&Info());
}

bool CTVLView::SelectedTrackRange(double* start, double* end) const {
  Project* project = GetProject();
  if (!project) return false;
  double first = 1000000.0, last = -1000000.0;
  bool any = false;
  TrackListIterator it(project->GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) {
    if (!t->GetSelected() || t->GetExcluded()) continue;
    first = std::min(first, t->GetOffset());
    last = std::max(last, t->GetEndTime());
    any = true;
  }
  if (!any) return false;  // nothing selected: the commands leave the selection alone
  *start = first;
  *end = last;
  return true;
}

void CTVLView::OnSelectAll() {
  Project* project = GetProject();
  if (!project) return;
  TrackListIterator it(project->GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) t->SetSelected(true);
  Info().t0 = project->GetTracks()->GetStartTime();
  Info().t1 = project->GetTracks()->GetEndTime();
  RefreshFrame();
}

void CTVLView::OnSelectStartToCursor() {
  double start, end;
  if (SelectedTrackRange(&start, &end)) Info().t0 = start;
  RefreshFrame();
}

void CTVLView::OnSelectCursorToEnd() {
  double start, end;
  if (SelectedTrackRange(&start, &end)) Info().t1 = end;
  RefreshFrame();
}

void CTVLView::OnCursorToTrackStart() {
  double start, end;
  if (SelectedTrackRange(&start, &end)) Info().t0 = Info().t1 = std::max(0.0, start);
  RefreshFrame();
}

void CTVLView::OnCursorToTrackEnd() {
  double start, end;
  if (SelectedTrackRange(&start, &end)) Info().t0 = Info().t1 = std::max(0.0, end);
  RefreshFrame();
}

void CTVLView::OnCursorToSelectStart() {
  Info().t1 = Info().t0;
  RefreshFrame();
}

void CTVLView::OnCursorToSelectEnd() {
  Info().t0 = Info().t1;
  RefreshFrame();
}

void CTVLView::OnFilePrintPreview() { StartLibraryPrintPreview(this); }

void CTVLView::OnLocateSelect() {
  Project* project = GetProject();
  if (!project) return;
  double times[2] = {Info().t0, Info().t1};
  CLocateSelectDlg dialog(
      times, [project] { return project->GetTracks()->GetEndTime(); }, this);
  if (dialog.DoModal() == 0) return;
  Info().t0 = times[0];
  Info().t1 = times[1];
  RefreshFrame();
  ModifyState();
}

void CTVLView::OnUpdateIdleHasTracks(CCmdUI* ui) {
  ui->Enable(HasCommandState(kStateIdle | kStateHasTracks));
}
void CTVLView::OnUpdateIdleSelection(CCmdUI* ui) {
  ui->Enable(HasCommandState(kStateIdle | kStateSelection));
}

void CTVLView::OnColorSchemeChanged() {
  m_artist.UpdateColors();
  Invalidate(FALSE);
}

void CTVLView::FollowPlayPosition() {
  Project* project = GetProject();
  CWaveFrame* frame = GetWaveFrame();
  bool runs = StreamOfProjectRuns();
  if (project && frame && gAudioIO && Info().FollowsPlayPosition() && runs && !gAudioIO->IsPaused()) {
    double position = gAudioIO->GetStreamTime() - gAudioIO->GetStreamStartTime();
    if (position >= 0 && (position < Info().h || position > Info().h + Info().screen))
      frame->ScrollToTime(position);
  }
}

void CTVLView::RefreshWhileStreaming(int) {
  m_nTick = (m_nTick + 1) % 1000;
  const int c = m_nTick;
  Project* project = GetProject();
  CWaveFrame* frame = GetWaveFrame();
  if (!project) return;
  const bool empty = project->GetTracks()->IsEmpty();
  const bool direct = IsDirectToFileMode();
  ::ShowWindow(m_infoDisplay.m_hWnd, empty && direct ? SW_SHOWNA : SW_HIDE);
  if (c % 10 == 0 && direct && gAudioIO && gAudioIO->IsStreamActive() &&
      gAudioIO->GetNumCaptureChannels() > 0)
    ::InvalidateRect(m_infoDisplay.m_hWnd, nullptr, FALSE);

  if (m_bSelecting && m_pCapturedTrack && frame) {
    if (m_mouseMostRecent.x > m_capturedRect.right) {
      m_bAutoScrolling = TRUE;
      frame->StepRight();
    } else if (m_mouseMostRecent.x < m_capturedRect.left) {
      m_bAutoScrolling = TRUE;
      frame->StepLeft();
    }
    if (m_bAutoScrolling) {
      OnMouseMove(MK_LBUTTON, m_mouseMostRecent);
      m_bAutoScrolling = FALSE;
    }
  }

  const int token = project->GetStreamToken();
  if (StreamOfProjectRuns() && gAudioIO->GetNumCaptureChannels() > 0) m_bStreamCaptured = TRUE;
  if (token > 0 && gAudioIO && !gAudioIO->IsStreamActiveToken(token)) PostStopToControlPanel();
  if (token > 0 && gAudioIO && !gAudioIO->IsTokenCurrent(token)) {
    if (gAudioIO->GetNumCaptureChannels() > 0 || m_bStreamCaptured) {
      m_bStreamCaptured = FALSE;
      for (WaveTrack* w : project->GetTracks()->GetWaveTrackArray(false)) w->Flush();
      project->PushState(view_text::kRecordHistory, view_text::kRecord, false, &Info());
    }
    if (frame) {
      frame->UpdateScrollBars();
      frame->Relayout();
    }
    project->SetStreamToken(0);
    if (frame) {
      frame->UpdateScrollBars();
      frame->RedrawAll(FALSE);
    }
  }

  const bool runs = StreamOfProjectRuns();
  if (gAudioIO && !gAudioIO->IsPaused() && (m_bIndicatorVisible || runs)) {
    FollowPlayPosition();
    DrawPlayIndicator();
  }
  m_bIndicatorVisible = runs;

  if (c % 10 == 0 && !empty && Info().t0 == Info().t1 && !m_bSelecting) DrawCursorLine();

  if (runs && gAudioIO->GetNumCaptureChannels() > 0 && frame) {
    if (!m_bIndicatorDrawnOnce) {
      frame->RedrawAll(FALSE);
      m_bIndicatorDrawnOnce = TRUE;
    } else {
      if (c % 5 == 0) Invalidate(FALSE);
      if (c % 40 == 0) {
        frame->UpdateScrollBars();
        frame->Relayout();
      }
    }
  }
}

CTVLView* GetActiveTVLView() {
  CWnd* main = AfxGetMainWnd();
  auto* frame = main ? dynamic_cast<CFrameWnd*>(main) : nullptr;
  return frame ? dynamic_cast<CTVLView*>(frame->GetActiveView()) : nullptr;
}
