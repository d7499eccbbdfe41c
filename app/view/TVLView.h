#pragma once
// The waveform view of the single-document template. It lives in the wave frame,
// draws the project's tracks through the track painter into an off-screen bitmap,
// turns presses and drags into a time and track selection, moves the cursor and the
// selection with the keyboard, and on each refresh tick of the main frame follows
// the play position, draws the play indicator and the cursor line, and notices the
// end of a stream.
#include "app/view/RecordInfoWnd.h"
#include "app/view/RulerWnd.h"
#include "app/view/TrackArtist.h"
#include "app/view/WaveFrame.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CTVLDoc;
class Project;
class Track;
struct ViewInfo;

// Message 0x5F7 (wParam 1 shows the recording information display, other values
// hide it) and 0x5F9 (repaint the display; wParam the erase flag).
constexpr UINT WM_TVL_RECORDING_MODE = 0x5F7;
constexpr UINT WM_TVL_REPAINT_INFO = 0x5F9;

class CTVLView : public CWaveView {
  DECLARE_DYNCREATE(CTVLView)

public:
  CTVLView();
  ~CTVLView() override;

  CTVLDoc* GetDocument() const;
  CWaveFrame* GetWaveFrame() const;
  Project* GetProject() const;

  void OnDraw(CDC* dc) override;
  // A printed page: the picture the view shows, scaled to the page inside its margins.
  void OnPrint(CDC* dc, CPrintInfo* info) override;
  // Where that picture goes on a page of `page` device units at `dotsPerInch`.
  static CRect PrintedRect(const CSize& page, const CSize& dotsPerInch, const CSize& picture);
  void OnInitialUpdate() override;
  // The view, its document, then the wave frame (zoom commands).
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;

  // Posts 0x5F9 with flags to this view.
  void RequestRepaint(WPARAM flags);
  void RefreshWhileStreaming(int period);
  void OnColorSchemeChanged();

  // Time and pixels: the x of a time and the time at an x.
  int PositionOfTime(double t) const;
  double TimeOfPosition(int x) const;

  // The context menu: menu IDR_VIEW_CONTEXT's first popup at a screen point with this
  // view as owner, shown as the toolkit's popup menu through its context-menu
  // manager. A handler set here is given the menu instead (tests read its items).
  using ContextMenuHandler = std::function<void(CTVLView* view, HMENU popup, CPoint screenPoint)>;
  static void SetContextMenuHandler(ContextMenuHandler handler);

  HWND GetInfoDisplay() const { return m_infoDisplay.m_hWnd; }

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
  UINT OnGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTALLKEYS; }
  void OnContextMenu(CWnd* wnd, CPoint point);
  LRESULT OnRecordingMode(WPARAM wParam, LPARAM lParam);
  LRESULT OnRepaintInfo(WPARAM wParam, LPARAM lParam);

  void OnSelectAll();
  void OnSelectStartToCursor();
  void OnSelectCursorToEnd();
  void OnCursorToTrackStart();
  void OnCursorToTrackEnd();
  void OnCursorToSelectStart();
  void OnCursorToSelectEnd();
  void OnLocateSelect();
  // The view as it is shown, on the preview's pages.
  void OnFilePrintPreview();
  // Prints the view's picture on a page of the chosen printer; without a printer the
  // user is told so.
  void OnFilePrint();
  void OnUpdateIdleHasTracks(CCmdUI* ui);
  void OnUpdateIdleSelection(CCmdUI* ui);

private:
  // A line over the view's picture on the screen, one span a track at column x: the
  // cursor line (drawn inverting) or the play indicator.
  struct Overlay {
    int x = -1;  // -1: not on the screen
    std::vector<std::pair<int, int>> spans;
    BOOL recording = FALSE;  // the indicator: drawn with the recording pen
  };
  ViewInfo& Info() const;
  // The information display centred in a view of that size.
  void PlaceInfoDisplay(int cx, int cy);
  // The tracks (or the empty project's placeholder bars) of the client area into mem,
  // the columns of strip.
  void DrawPicture(HDC mem, const RECT& client, const RECT& strip);
  // The track under (x, y), its rectangle and 1-based number.
  Track* HitTest(int x, int y, RECT* rect, int* number) const;
  void ExtendTo(int x);
  void SelectTracksBetween(int first, int last);
  void DeselectAll();
  // Both draw through dc when given, else through a DC of their own.
  void DrawCursorLine(HDC dc = nullptr);
  void DrawPlayIndicator();
  // Moves an overlay to next: its old column gets the picture back, the new one the line.
  void MoveOverlay(HDC dc, Overlay& overlay, Overlay next, bool cursor);
  void DrawOverlay(HDC dc, const Overlay& overlay, bool cursor);
  // Column x of the picture back on the screen, with the lines that stand there.
  void RestoreColumn(HDC dc, int x);
  // While recording: invalidates the columns the tracks grew into since the last call.
  void InvalidateGrowth();
  void RefreshFrame();
  void ModifyState();
  void FollowPlayPosition();
  bool StreamOfProjectRuns() const;
  // The smallest start and the largest end of the selected, not excluded tracks.
  bool SelectedTrackRange(double* start, double* end) const;

  TrackArtist m_artist;
  COffscreen m_image{200, 200};
  CRecordInfoWnd m_infoDisplay;
  // The picture in m_image is whole and of this size; paints then redo only the
  // columns they are asked for.
  BOOL m_bImageValid = FALSE;
  SIZE m_imageSize{0, 0};
  Overlay m_cursor;
  Overlay m_indicator;
  // Each track's end time when the view last asked for the columns it grew into.
  std::vector<double> m_grownEnds;
  double m_selStart = 0.0;  // the anchor
  Track* m_pCapturedTrack = nullptr;
  RECT m_capturedRect{};
  int m_nCapturedNum = 0;
  CPoint m_mouseClickPoint;
  CPoint m_mouseMostRecent;
  BOOL m_bSelecting = FALSE;
  BOOL m_bAutoScrolling = FALSE;
  BOOL m_bIndicatorDrawnOnce = FALSE;
  BOOL m_bIndicatorVisible = FALSE;
  // The project's stream was seen capturing: the engine forgets its capture channels
  // when the stream stops, before the tick that takes the recording in.
  BOOL m_bStreamCaptured = FALSE;
  // A directly saving recording ran at the last refresh tick.
  bool m_bDirectRecording = false;
  int m_nTick = 0;
  static ContextMenuHandler s_contextMenu;

  DECLARE_MESSAGE_MAP()
};

// The main frame's active view when it is the waveform view, else null.
CTVLView* GetActiveTVLView();
