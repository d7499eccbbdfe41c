#pragma once
// The one view state of the program: the selection, the visible time range, the zoom
// and the scroll values of the wave frame. The application object holds it; the
// document, the view, the wave frame, the rulers and the track painter read and
// write it. The selection part is the project's selection (Selection), so the
// project's edits and undo states work on it directly.
#include "platform/afx/linux_headers_begin.h"
#include "core/project/Project.h"
#include "platform/afx/linux_headers_end.h"

struct ViewInfo : Selection {
  static constexpr double kNormalZoom = 44100.0 / 512.0;  // 86.1328125 pixels per second
  // Index of the follow-the-play-position flag in flags.
  static constexpr int kFollowPlayFlag = 2;

  int vpos = 0;                   // vertical offset in pixels (always 0: no vertical scrolling)
  double h = 0.0;                 // time at the left edge, seconds
  double screen = 1.0;            // width of the view, seconds
  double total = 1.0;             // scrollable length, seconds
  double zoom = kNormalZoom;      // pixels per second
  double lastZoom = kNormalZoom;  // zoom at the last scroll-bar update
  int sbarH = 0;                  // scroll position: zoom * h
  int sbarScreen = 1;             // scroll page: zoom * screen
  int sbarTotal = 1;              // scroll range: zoom * total
  int scrollStep = 16;
  unsigned char flags[4] = {1, 0, 1, 0};

  bool FollowsPlayPosition() const { return flags[kFollowPlayFlag] != 0; }
};

// Gives every field its start value.
void ResetViewInfo(ViewInfo* info);
