#pragma once
// Draws the project's tracks into the waveform view's memory image: one band per
// track, stacked from the top; wave tracks as a waveform (columns of minimum and
// maximum, or single samples joined by lines with dots when zoomed in far) or as a
// spectrum. Its colours come from the colour scheme and are made again by
// UpdateColors.
#include <windows.h>

#include "app/view/Ruler.h"

class CDCStateGuard;
class TrackList;
class WaveTrack;
class Track;
struct ViewInfo;

class TrackArtist {
public:
  TrackArtist();
  ~TrackArtist();
  TrackArtist(const TrackArtist&) = delete;
  TrackArtist& operator=(const TrackArtist&) = delete;

  // Paints the bands that meet clip; of them only the columns from clip.left to
  // clip.right, with the same pixels as a paint of the whole area.
  void DrawTracks(TrackList* tracks, CDCStateGuard& guard, HDC dc, const RECT& area, const RECT& clip,
                  const ViewInfo& info, bool drawEnvelope, bool bigPoints, bool drawGrips);
  void UpdateColors();
  void SetInset(int left, int top, int right, int bottom);

  // y of value v in a band of height h showing min .. max (decibel range dBr).
  static int GetWaveYPos(float value, float min, float max, int height, bool dB, bool outer, float dBr,
                         bool clip);
  // The spectrum colour of a value 0 .. 1.
  static void GetColorGradient(float value, bool selected, unsigned char* red, unsigned char* green,
                               unsigned char* blue);

private:
  void DrawWaveform(WaveTrack* track, CDCStateGuard& guard, HDC dc, const RECT& band, const ViewInfo& info,
                    bool dB, bool drawEnvelope, bool bigPoints, bool drawGrips);
  void DrawSpectrum(WaveTrack* track, HDC dc, const RECT& band, const ViewInfo& info, bool autocorrelation);
  // The background of every column and, with summaryColumns, the columns of minimum
  // and maximum; false when the track gave no column data (drawing ends there).
  bool DrawMinMaxColumns(WaveTrack* track, CDCStateGuard& guard, HDC dc, const RECT& area,
                         const ViewInfo& info, double tsc, bool drawEnvelope, bool dB, long long s0,
                         long long s1, bool summaryColumns);
  // The volume envelope over the waveform: short strokes at its upper and lower
  // curve, or at the band's edge where it leaves the band.
  void DrawEnvelope(WaveTrack* track, CDCStateGuard& guard, HDC dc, const RECT& area, const ViewInfo& info,
                    double tsc, bool dB);
  void DrawSamples(WaveTrack* track, CDCStateGuard& guard, HDC dc, const RECT& band, const RECT& area,
                   const ViewInfo& info, double tsc, bool dB, bool bigPoints);
  void DrawStartArrows(HDC dc, const RECT& band);
  void DrawGrips(CDCStateGuard& guard, HDC dc, const RECT& band);
  void DeleteSchemeObjects();

  int m_insetLeft = 0;
  int m_insetTop = 0;
  int m_insetRight = 0;
  int m_insetBottom = 0;
  // The columns DrawTracks was asked to paint, [left, right).
  int m_clipLeft = 0;
  int m_clipRight = 0;

  // Scheme colours.
  HBRUSH m_hBlankBrush = nullptr;
  HBRUSH m_hUnselectedBrush = nullptr;
  HBRUSH m_hSelectedBrush = nullptr;
  HPEN m_hBlankPen = nullptr;
  HPEN m_hUnselectedPen = nullptr;
  HPEN m_hSelectedPen = nullptr;
  HPEN m_hSamplePen = nullptr;
  HPEN m_hSelSamplePen = nullptr;
  HPEN m_hShadowPen = nullptr;
  HPEN m_hMutePen = nullptr;
  COLORREF m_sampleColor = 0;
  COLORREF m_selSampleColor = 0;
  // Fixed colours.
  HBRUSH m_hDotBrush = nullptr;
  HBRUSH m_hSelDotBrush = nullptr;
  HBRUSH m_hBlackBrush = nullptr;
  HBRUSH m_hGreyBrush = nullptr;
  HPEN m_hGreyPen = nullptr;

  Ruler m_vruler;
};
