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

#include <commdlg.h>
#include <winspool.h>

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
// The information display's smallest size.
constexpr int kInfoDisplayWidth = 440;
constexpr int kInfoDisplayHeight = 120;
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
  ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
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

CTVLView::~CTVLView() = default;

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
  if (!m_infoDisplay.Create(this, kInfoDisplayId, RECT{0, 0, kInfoDisplayWidth, kInfoDisplayHeight}))
    return -1;
  if (CWaveFrame* frame = GetWaveFrame()) frame->SetProject(GetProject());
  return 0;
}

void CTVLView::OnInitialUpdate() {
  ::ShowWindow(m_infoDisplay.m_hWnd, IsDirectToFileMode() ? SW_SHOW : SW_HIDE);
  CView::OnInitialUpdate();
}

void CTVLView::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  PlaceInfoDisplay(cx, cy);
}

void CTVLView::PlaceInfoDisplay(int cx, int cy) {
  // Centred in the view, as wide as its lines need.
  const int width = m_infoDisplay.FittingWidth(kInfoDisplayWidth);
  ::SetWindowPos(m_infoDisplay.m_hWnd, nullptr, (cx - width) / 2, (cy - kInfoDisplayHeight) / 2, width,
                 kInfoDisplayHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

int CTVLView::PositionOfTime(double t) const { return static_cast<int>((t - Info().h) * Info().zoom + 0); }

double CTVLView::TimeOfPosition(int x) const { return x / Info().zoom + Info().h; }

void CTVLView::OnDraw(CDC* dc) {
  RECT update;
  ::GetClipBox(dc->m_hDC, &update);
  RECT client;
  GetClientRect(&client);
  if (client.right <= 0 || client.bottom <= 0) return;
  const bool remade = m_image.Begin(dc->m_hDC, client.right, client.bottom);
  // Once the picture is whole, a paint redoes only the columns it is asked for, from
  // top to bottom, so the picture stays whole for the lines drawn over it.
  const bool whole =
      remade || !m_bImageValid || m_imageSize.cx != client.right || m_imageSize.cy != client.bottom;
  RECT strip = client;
  if (!whole) {
    strip.left = std::max(0, static_cast<int>(update.left));
    strip.right = std::min(client.right, update.right);
  }
  if (strip.right <= strip.left) {
    m_image.End();
    return;
  }
  HDC mem = m_image.DC();
  DrawPicture(mem, client, strip);
  ::BitBlt(dc->m_hDC, strip.left, 0, strip.right - strip.left, client.bottom, mem, strip.left, 0, SRCCOPY);
  m_image.End();
  m_bImageValid = TRUE;
  m_imageSize = {client.right, client.bottom};
  // The lines in the painted columns are gone from the screen: the cursor line comes
  // back where the selection puts it, the indicator at the next tick that draws it.
  if (m_cursor.x >= strip.left && m_cursor.x < strip.right) m_cursor.x = -1;
  if (m_indicator.x >= strip.left && m_indicator.x < strip.right) m_indicator.x = -1;
  if (!m_bSelecting && Info().t0 == Info().t1) DrawCursorLine();
}

void CTVLView::DrawPicture(HDC mem, const RECT& client, const RECT& strip) {
  const ColorSchemeOptions& scheme = GetColorScheme();
  HBRUSH background = ::CreateSolidBrush(SchemeColor(scheme.ControlBar));
  ::FillRect(mem, &strip, background);
  ::DeleteObject(background);
  Project* project = GetProject();
  TrackList* tracks = project ? project->GetTracks() : nullptr;
  if (!tracks || tracks->IsEmpty()) {
    HBRUSH bar = ::CreateSolidBrush(SchemeColor(scheme.DarkShade));
    int h2 = (client.bottom - 8) / 2;
    for (RECT r : {RECT{1, 2, client.right - 2, 2 + h2}, RECT{1, 5 + h2, client.right - 2, 6 + 2 * h2}}) {
      r.left = std::max(r.left, strip.left);
      r.right = std::min(r.right, strip.right);
      if (r.right > r.left) ::FillRect(mem, &r, bar);
    }
    ::DeleteObject(bar);
  } else {
    CDCStateGuard guard(mem);
    RECT area{0, 1 - Info().vpos, client.right, client.bottom};
    m_artist.DrawTracks(tracks, guard, mem, area, strip, Info(), false, false, false);
  }
}

CRect CTVLView::PrintedRect(const CSize& page, const CSize& dotsPerInch, const CSize& picture) {
  // Half an inch of margin on every side; the picture as wide as the rest of the page
  // allows, keeping its proportions, at the top of the page.
  const int marginX = std::max(1, static_cast<int>(dotsPerInch.cx) / 2);
  const int marginY = std::max(1, static_cast<int>(dotsPerInch.cy) / 2);
  const int roomX = std::max(1, static_cast<int>(page.cx) - 2 * marginX);
  const int roomY = std::max(1, static_cast<int>(page.cy) - 2 * marginY);
  if (picture.cx <= 0 || picture.cy <= 0) return CRect(marginX, marginY, marginX, marginY);
  // Printer pixels are not always square: the picture keeps its shape on paper.
  const double inchX = static_cast<double>(roomX) / std::max<LONG>(dotsPerInch.cx, 1);
  const double inchY = static_cast<double>(roomY) / std::max<LONG>(dotsPerInch.cy, 1);
  double widthInches = inchX;
  double heightInches = widthInches * picture.cy / picture.cx;
  if (heightInches > inchY) {
    heightInches = inchY;
    widthInches = heightInches * picture.cx / picture.cy;
  }
  const int width = static_cast<int>(widthInches * dotsPerInch.cx);
  const int height = static_cast<int>(heightInches * dotsPerInch.cy);
  return CRect(marginX, marginY, marginX + width, marginY + height);
}

void CTVLView::OnPrint(CDC* dc, CPrintInfo* info) {
  RECT client;
  GetClientRect(&client);
  if (!info || client.right <= 0 || client.bottom <= 0) return;
  // The view's picture as the screen shows it, scaled onto the page inside its margins.
  HDC screen = ::GetDC(m_hWnd);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
  ::ReleaseDC(m_hWnd, screen);
  HGDIOBJ old = ::SelectObject(mem, bitmap);
  DrawPicture(mem, client, client);
  const CRect target = PrintedRect(info->m_pageSize, info->m_dotsPerInch, CSize(client.right, client.bottom));
  const int oldMode = ::SetStretchBltMode(dc->m_hDC, HALFTONE);
  ::StretchBlt(dc->m_hDC, target.left, target.top, target.Width(), target.Height(), mem, 0, 0, client.right,
               client.bottom, SRCCOPY);
  ::SetStretchBltMode(dc->m_hDC, oldMode);
  ::FrameRect(dc->m_hDC, &target, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  ::SelectObject(mem, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(mem);
}

void CTVLView::OnFilePrint() {
  char name[256] = "";
  DWORD size = sizeof name;
  if (!::GetDefaultPrinterA(name, &size)) {
    AfxMessageBox(view_text::kNoPrinter, MB_OK | MB_ICONINFORMATION);
    return;
  }
  PRINTDLGA choice{};
  choice.lStructSize = sizeof choice;
  choice.hwndOwner = ::GetAncestor(m_hWnd, GA_ROOT);
  choice.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION;
  if (!::PrintDlgA(&choice) || !choice.hDC) return;
  CPrintInfo info;
  info.m_pageSize = CSize(::GetDeviceCaps(choice.hDC, HORZRES), ::GetDeviceCaps(choice.hDC, VERTRES));
  info.m_dotsPerInch =
      CSize(::GetDeviceCaps(choice.hDC, LOGPIXELSX), ::GetDeviceCaps(choice.hDC, LOGPIXELSY));
  info.m_rectDraw = CRect(0, 0, info.m_pageSize.cx, info.m_pageSize.cy);
  info.m_nCurPage = 1;
  CString title = GetDocument() ? GetDocument()->GetTitle() : CString();
  DOCINFOA doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = title;
  bool printed = false;
  if (::StartDocA(choice.hDC, &doc) > 0) {
    if (::StartPage(choice.hDC) > 0) {
      CDC dc(choice.hDC);
      OnPrint(&dc, &info);
      dc.Detach();
      printed = ::EndPage(choice.hDC) > 0;
    }
    if (printed)
      ::EndDoc(choice.hDC);
    else
      ::AbortDoc(choice.hDC);
  }
  ::DeleteDC(choice.hDC);
  if (choice.hDevMode) ::GlobalFree(choice.hDevMode);
  if (choice.hDevNames) ::GlobalFree(choice.hDevNames);
  if (!printed) AfxMessageBox(view_text::kPrintFailed, MB_OK | MB_ICONEXCLAMATION);
}

void CTVLView::DrawOverlay(HDC dc, const Overlay& overlay, bool cursor) {
  if (overlay.x < 0) return;
  CDCStateGuard guard(dc);
  const int oldRop = ::GetROP2(dc);
  if (cursor)
    SelectCursorPen(guard, dc);
  else
    SelectTimeIndicator(guard, overlay.recording ? FALSE : TRUE);
  for (const auto& [top, bottom] : overlay.spans) {
    if (bottom <= top) continue;
    ::MoveToEx(dc, overlay.x, top, nullptr);
    ::LineTo(dc, overlay.x, bottom);
  }
  ::SetROP2(dc, oldRop);
}

void CTVLView::RestoreColumn(HDC dc, int x) {
  if (!m_bImageValid || x < 0) return;
  HBITMAP picture = m_image.Bitmap();
  if (!picture) return;
  HDC mem = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(mem, picture);
  ::BitBlt(dc, x, 0, 1, m_imageSize.cy, mem, x, 0, SRCCOPY);
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
  // A line standing in the same column is drawn again, the indicator over the cursor.
  if (m_cursor.x == x) DrawOverlay(dc, m_cursor, true);
  if (m_indicator.x == x) DrawOverlay(dc, m_indicator, false);
}

void CTVLView::MoveOverlay(HDC given, Overlay& overlay, Overlay next, bool cursor) {
  if (next.x == overlay.x && next.spans == overlay.spans && next.recording == overlay.recording) return;
  HDC dc = given ? given : ::GetDC(m_hWnd);
  const int old = overlay.x;
  overlay.x = -1;
  RestoreColumn(dc, old);
  overlay = std::move(next);
  DrawOverlay(dc, overlay, cursor);
  if (!given) ::ReleaseDC(m_hWnd, dc);
}

void CTVLView::DrawCursorLine(HDC dc) {
  Overlay next;
  Project* project = GetProject();
  const int x = static_cast<int>((Info().t0 - Info().h) * Info().zoom) + 1;
  if (project && x >= 1) {
    next.x = x;
    int y = 1 - Info().vpos;
    TrackListIterator it(project->GetTracks());
    for (Track* t = it.First(); t; t = it.Next()) {
      int kind = t->GetKind();
      if (kind != kTimeTrackKind && kind != kKind3) next.spans.push_back({y + 2, y + t->GetHeight() - 2});
      y += t->GetHeight();
    }
  }
  MoveOverlay(dc, m_cursor, std::move(next), true);
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
  Overlay next;
  if (project && gAudioIO && position >= Info().h && position <= Info().h + Info().screen) {
    next.x = static_cast<int>((position - Info().h) * Info().zoom) + 1;
    next.recording = gAudioIO->GetNumCaptureChannels() > 0;
    int y = 1 - Info().vpos;
    TrackListIterator it(project->GetTracks());
    for (Track* t = it.First(); t; t = it.Next()) {
      if (t->GetKind() != kKind3 && t->GetHeight() > 4) next.spans.push_back({y + 2, y + t->GetHeight() - 2});
      y += t->GetHeight();
    }
  }
  // Standing where it goes (no paint has covered it): nothing is drawn.
  MoveOverlay(nullptr, m_indicator, std::move(next), false);
}

void CTVLView::InvalidateGrowth() {
  Project* project = GetProject();
  if (!project) return;
  std::vector<double> ends;
  TrackListIterator it(project->GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) ends.push_back(t->GetEndTime());
  if (ends.size() != m_grownEnds.size()) {
    m_grownEnds = std::move(ends);
    Invalidate(FALSE);
    return;
  }
  // From the column of each track's last end (its partly filled column and the
  // blank after it change) to the column of its new end.
  const ViewInfo& v = Info();
  RECT client;
  GetClientRect(&client);
  int left = client.right, right = 0;
  for (size_t i = 0; i < ends.size(); ++i) {
    if (ends[i] == m_grownEnds[i]) continue;
    const double from = std::min(ends[i], m_grownEnds[i]), to = std::max(ends[i], m_grownEnds[i]);
    left = std::min(left, static_cast<int>(std::floor((from - v.h) * v.zoom)) - 1);
    right = std::max(right, static_cast<int>(std::ceil((to - v.h) * v.zoom)) + 3);
  }
  m_grownEnds = std::move(ends);
  left = std::max(0, left);
  right = std::min(static_cast<int>(client.right), right);
  if (right <= left) return;
  RECT strip{left, 0, right, client.bottom};
  ::InvalidateRect(m_hWnd, &strip, FALSE);
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
  // A looping playback (or mode 1) never moves the view: it stays where the user put it.
  const int mode = project ? project->GetPlayMode() : 0;
  if (project && frame && gAudioIO && Info().FollowsPlayPosition() && mode != 1 && mode != 2 && runs &&
      !gAudioIO->IsPaused()) {
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
  // Shown or hidden only when that changes: showing a shown window still asks the
  // window system, twice a tick.
  const bool showInfo = empty && direct;
  if (((::GetWindowLongA(m_infoDisplay.m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0) != showInfo)
    ::ShowWindow(m_infoDisplay.m_hWnd, showInfo ? SW_SHOWNA : SW_HIDE);
  const bool directRecording =
      direct && gAudioIO && gAudioIO->IsStreamActive() && gAudioIO->GetNumCaptureChannels() > 0;
  // Once more when the recording has ended, so the strip does not keep its last
  // running values.
  if ((c % 10 == 0 && directRecording) || (m_bDirectRecording && !directRecording))
    ::InvalidateRect(m_infoDisplay.m_hWnd, nullptr, FALSE);
  m_bDirectRecording = directRecording;

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
      if (c % 5 == 0) InvalidateGrowth();
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
