#pragma once
// Pixel work that GDI does not offer: lightening, greying, two-colour gradients and
// soft shadows, done in a 32-bit DIB section copied from the DC and back; and the
// colour arithmetic (percent scaling, mixing, HLS conversions) every look uses.
#include "platform/afx/afxwin.h"

class DrawManager {
public:
  explicit DrawManager(CDC& dc) : m_dc(dc) {}
  virtual ~DrawManager() = default;

  // percent -1 moves every pixel a third of the way to the highlight colour; other
  // percents scale the channels. Pixels matching the transparent colour (within the
  // tolerance when it is above 0) stay.
  BOOL LightenRect(const RECT& rect, int percent = -1, COLORREF transparent = (COLORREF)-1,
                   int tolerance = 0);
  // Turns the rectangle grey by lightness, then lightens (percent -1) or scales it.
  BOOL TintRectHls(const RECT& rect, int percent = -1, COLORREF transparent = (COLORREF)-1);
  // direction 0: start colour at the left, finish at the right; otherwise start at
  // the bottom, finish at the top. The flat percents keep solid bands at the ends.
  void PaintGradient(const RECT& rect, COLORREF start, COLORREF finish, int direction,
                     int firstFlatPercent = 0, int secondFlatPercent = 0);
  // A shadow of the given depth right of (or left of) and below the rectangle. The
  // strips, when given, keep the drawn shadow so the next paint only draws them back.
  BOOL PaintShadow(const RECT& rect, int depth, int firstPercent, int secondPercent, CBitmap* bottomStrip,
                   CBitmap* sideStrip, BOOL shadowOnRight);

  static COLORREF ScaleColorPercent(COLORREF color, int percent);
  static COLORREF ScaleColorPercents(COLORREF color, int redPercent, int greenPercent, int bluePercent);
  static COLORREF ScaleColorChannels(COLORREF color, double red, double green, double blue);
  static COLORREF MixColors(COLORREF first, COLORREF second, int percent);
  static double HueToChannel(double m1, double m2, double hue);
  static BYTE HueToRgb(float m1, float m2, float hue);
  static COLORREF HlsToRgb(double hue, double lightness, double saturation);
  static COLORREF HlsDegreesToRgb(double hue, double lightness, double saturation);
  static void RgbToHls(COLORREF color, double* hue, double* saturation, double* lightness);

private:
  CDC& m_dc;
};
