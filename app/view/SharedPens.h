#pragma once
// Process-wide pens and brushes of the waveform view, the track painter and the
// rulers: made together on first use; only the time-indicator ones are made again
// (when the colour scheme changes). User-interface thread only.
#include <windows.h>

class CDCStateGuard;

// Grip pairs and the time indicator: index 0 or 1 (the selected flag) picks the pen
// and brush.
void SelectGripPair1(CDCStateGuard& guard, BOOL selected);
void SelectGripPair2(CDCStateGuard& guard, BOOL selected);
void SelectTimeIndicator(CDCStateGuard& guard, BOOL flag);
// The black pen of the cursor line, with the inverting raster operation.
void SelectCursorPen(CDCStateGuard& guard, HDC dc);
// The 1-pixel pen RGB(110,110,220) of the envelope overlay.
HPEN GetEnvelopePen();
void UpdateTimeIndicatorColors();
