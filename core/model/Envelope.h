// A gain curve over a track's time: control points and a default value.
#pragma once

#include <cstdint>
#include <vector>

struct ControlPoint {
  double t;    // seconds from the start of the envelope
  double val;  // gain factor
};

class Envelope {
public:
  Envelope();
  ~Envelope();

  Envelope(const Envelope&) = default;
  Envelope& operator=(const Envelope&) = default;

  // Deletes all points and sets the default value.
  void Flatten(double value);

  // Non-zero: interpolate in dB between points; zero: linearly.
  void SetInterpolateDB(bool db) { mDB = db; }
  bool GetInterpolateDB() const { return mDB; }

  // Stored for the views; nothing here reads it.
  void SetFirstFlag(bool flag) { mFirst = flag; }
  bool GetFirstFlag() const { return mFirst; }

  // The absolute time at which envelope time 0 lies.
  void SetOffset(double offset) { mOffset = offset; }
  double GetOffset() const { return mOffset; }

  // Sets the length and deletes every point later than it (a point exactly at
  // the length stays).
  void SetTrackLen(double len);
  double GetTrackLen() const { return mTrackLen; }

  double GetDefaultValue() const { return mDefaultValue; }

  // Inserts (or replaces the value of) a point at envelope time t; returns its
  // index. See the .cpp for the clamping rules.
  int Insert(double t, double value);
  // Deletes the point at index (nothing when out of range).
  void Delete(int index);

  int GetNumberOfPoints() const { return static_cast<int>(mPoints.size()); }
  const ControlPoint& GetPoint(int index) const { return mPoints[index]; }

  // Becomes the part of src between absolute times t0 and t1.
  void CopyFrom(const Envelope* src, double t0, double t1);
  // Removes the absolute time range t0 .. t1.
  void CollapseRegion(double t0, double t1);
  // Inserts src's whole range at absolute time t0.
  void Paste(double t0, const Envelope* src);
  // Opens a gap of tlen at envelope time t0.
  void InsertSpace(double t0, double tlen);

  // Value at absolute time t.
  double GetValue(double t) const;
  // len values from absolute time t0 in steps of tstep.
  void GetValues(double* buffer, int len, double t0, double tstep) const;

  // Area under the curve between envelope times t0 and t1 (linear between
  // points, flat outside them). With t0 > t1 it emits the diagnostic "Odd things
  // happening in Integral!\n" (to standard output unless a sink takes it) and gives the
  // default value.
  double Integral(double t0, double t1) const;
  // Integral(t0, t1) / (t1 - t0), or GetValue(t0) when t0 = t1.
  double Average(double t0, double t1) const;

  // The views' drawing hook (device context, rectangle, display parameters);
  // envelopes are not drawn, so it draws nothing.
  void Draw(std::uintptr_t dc, int left, int top, int right, int bottom, double h, double pps,
            bool dB) const {}

  static constexpr double kTimeEpsilon = 5e-06;

private:
  // Linear value at envelope time t, flat before the first and after the last
  // point (the curve Integral works on).
  double LinearValueAt(double t) const;
  // For envelope time t strictly between the first and the last point: the index
  // of the last point at or before t (the next point lies after t).
  int SegmentStart(double t) const;

  bool mFirst = true;
  std::vector<ControlPoint> mPoints;  // sorted by time, times distinct
  double mOffset = 0.0;
  double mTrackLen = 0.0;
  double mTimeEpsilon = kTimeEpsilon;
  double mDefaultValue = 1.0;
  bool mDB = true;
};
