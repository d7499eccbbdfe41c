#pragma once
// The ruler engine of the time and level rulers: it chooses tick spacings for the
// visible range (minor ticks at least 16 pixels apart), formats their labels and
// draws the axis, the ticks and the labels that do not overlap.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

class Ruler {
public:
  enum Orientation { kHorizontal = 4, kVertical = 8 };
  enum Format { kIntFormat = 0, kRealFormat = 1, kTimeFormat = 2, kLinearDBFormat = 3 };

  Ruler();
  ~Ruler();
  Ruler(const Ruler&) = delete;
  Ruler& operator=(const Ruler&) = delete;

  void SetBounds(int left, int top, int right, int bottom);
  void SetRange(double min, double max);
  void SetOrientation(int orientation);
  void SetFormat(int format);
  void SetFlip(bool flip);
  void SetLabelEdges(bool labelEdges);
  void SetUnits(const std::string& units);

  void Draw(HDC dc);

  // The spacing rules and label texts, for a given value range per pixel.
  struct Spacing {
    double minor = 0.0;
    double major = 0.0;
    int digits = 0;
  };
  static Spacing FindSpacing(int format, double units);
  static std::string LabelText(int format, double value, const Spacing& spacing, const std::string& units);

  struct Tick {
    int pos;  // pixels from the start of the ruler
    std::string text;
    bool major;
  };
  // The ticks of the last Draw (labels that overlapped have empty texts).
  const std::vector<Tick>& Ticks() const { return m_ticks; }

private:
  void MakeFonts(HDC dc);
  void ComputeTicks(HDC dc);
  int Length() const;

  RECT m_bounds{-1, -1, -1, -1};
  HFONT m_hMinorFont = nullptr;
  HFONT m_hMajorFont = nullptr;
  double m_min = -100.0;
  double m_max = 100.0;
  int m_orientation = kHorizontal;
  int m_format = kTimeFormat;
  bool m_flip = false;
  bool m_labelEdges = false;
  int m_labelLayout = 0;
  std::string m_units;
  Spacing m_spacing;
  bool m_valid = false;
  std::vector<Tick> m_ticks;
};
