#include "core/model/Envelope.h"

#include <algorithm>
#include <cmath>

#include "platform/seams/Diagnostics.h"

Envelope::Envelope() = default;
Envelope::~Envelope() = default;

void Envelope::Flatten(double value) {
  mPoints.clear();
  mDefaultValue = value;
}

void Envelope::SetTrackLen(double len) {
  mTrackLen = len;
  while (!mPoints.empty() && mPoints.back().t > len) mPoints.pop_back();
}

int Envelope::Insert(double t, double value) {
  const int len = GetNumberOfPoints();
  // Outside the envelope's range nothing is inserted.
  if (len > 0 && t < 0.0) return 0;
  if (len > 1 && t > mTrackLen) return len - 1;

  if (t < 0.0) t = 0.0;
  if (len > 1 && t > mTrackLen) t = mTrackLen;

  int i = 0;
  while (i < len && t > mPoints[i].t) ++i;
  if (i < len && mPoints[i].t == t) {
    mPoints[i].val = value;
    return i;
  }
  mPoints.insert(mPoints.begin() + i, ControlPoint{t, value});
  return i;
}

void Envelope::Delete(int index) {
  if (index >= 0 && index < GetNumberOfPoints()) mPoints.erase(mPoints.begin() + index);
}

void Envelope::CopyFrom(const Envelope* src, double t0, double t1) {
  mOffset = std::max(t0, src->mOffset);
  mTrackLen = std::min(t1, src->mOffset + src->mTrackLen) - mOffset;
  mPoints.clear();

  const int len = src->GetNumberOfPoints();
  int i = 0;
  // Skip the points before the copied range; if there were any, the curve's
  // value at the start of the range becomes a point.
  while (i < len && src->mOffset + src->mPoints[i].t <= t0) ++i;
  if (i > 0) mPoints.push_back({0.0, src->GetValue(mOffset)});

  while (i < len && src->mOffset + src->mPoints[i].t - mOffset < mTrackLen) {
    const double t = src->mPoints[i].t + src->mOffset - mOffset;
    // The point at 0 made above may coincide with a point in the range.
    if (!mPoints.empty() && mPoints.back().t >= t)
      mPoints.back().val = src->mPoints[i].val;
    else
      mPoints.push_back({t, src->mPoints[i].val});
    ++i;
  }

  // Points after the range: the curve's value at its end becomes a point.
  if (mTrackLen > 0 && i < len) {
    const double v = src->GetValue(mOffset + mTrackLen);
    if (!mPoints.empty() && mPoints.back().t >= mTrackLen)
      mPoints.back().val = v;
    else
      mPoints.push_back({mTrackLen, v});
  }
}

void Envelope::CollapseRegion(double t0, double t1) {
  t1 = std::min(t1, mOffset + mTrackLen) - mOffset;
  t0 = std::max(t0, mOffset) - mOffset;
  if (t1 < t0) return;  // the range lies outside the envelope
  const double removed = t1 - t0;

  std::vector<ControlPoint> kept;
  kept.reserve(mPoints.size());
  for (const ControlPoint& p : mPoints) {
    if (p.t >= t0 && p.t < t1) continue;
    if (p.t >= t1)
      kept.push_back({p.t - removed, p.val});
    else
      kept.push_back(p);
  }
  mPoints.swap(kept);
  mTrackLen -= removed;
}

void Envelope::Paste(double t0, const Envelope* src) {
  if (src == this) {  // pasting into itself reads the envelope as it was
    const Envelope copy = *src;
    Paste(t0, &copy);
    return;
  }
  const double oldLen = mTrackLen;
  // A paste before the envelope's start lands at its start, as the audio does.
  const double t = std::max(0.0, std::min(t0 - mOffset, mTrackLen));
  const double srcLen = src->mTrackLen;

  const double vHere = GetValue(t + mOffset);
  const double vStart = src->GetValue(src->mOffset);
  const double vEnd = src->GetValue(src->mOffset + srcLen);

  for (ControlPoint& p : mPoints)
    if (p.t > t) p.t += srcLen;
  mTrackLen += srcLen;

  // After the pasted range the old curve resumes: the pasted curve ends on
  // vEnd an epsilon before, the old one starts again on vHere.
  const bool inside = t < oldLen;
  if (inside) {
    Insert(t + srcLen - mTimeEpsilon, vEnd);
    Insert(t + srcLen, vHere);
  }
  if (t > 0) {
    Insert(t - mTimeEpsilon, vHere);
    Insert(t, vStart);
  }
  for (const ControlPoint& p : src->mPoints) {
    double at = t + p.t;
    // A source point at the very end of the source would replace the point
    // where the old curve resumes; it marks the end of the pasted curve, so
    // it goes to the epsilon before.
    if (inside && p.t >= srcLen) at = t + srcLen - mTimeEpsilon;
    Insert(at, p.val);
  }
}

void Envelope::InsertSpace(double t0, double tlen) {
  for (ControlPoint& p : mPoints)
    if (p.t > t0) p.t += tlen;
  mTrackLen += tlen;
}

double Envelope::GetValue(double t) const {
  double value;
  GetValues(&value, 1, t, 1.0);
  return value;
}

void Envelope::GetValues(double* buffer, int bufferLen, double t0, double tstep) const {
  double t = t0 - mOffset;
  const int len = GetNumberOfPoints();

  bool haveSegment = false;
  double tnext = 0.0;
  double value = 0.0, step = 0.0;

  for (int b = 0; b < bufferLen; ++b) {
    if (len <= 0) {
      buffer[b] = mDefaultValue;
    } else if (t <= mPoints[0].t) {
      buffer[b] = mPoints[0].val;
      haveSegment = false;
    } else if (t >= mPoints[len - 1].t) {
      buffer[b] = mPoints[len - 1].val;
      haveSegment = false;
    } else if (!haveSegment || t > tnext) {
      const int lo = SegmentStart(t), hi = lo + 1;
      const double tprev = mPoints[lo].t;
      tnext = mPoints[hi].t;
      double a, c;
      if (mDB) {
        a = mPoints[lo].val > 0 ? std::log10(mPoints[lo].val) : -4.6;
        c = mPoints[hi].val > 0 ? std::log10(mPoints[hi].val) : -4.6;
      } else {
        a = mPoints[lo].val;
        c = mPoints[hi].val;
      }
      const double dt = tnext - tprev;
      const double d = t - tprev;
      const double x = (d * c + (dt - d) * a) / dt;
      if (mDB) {
        value = std::pow(10.0, x);
        step = std::pow(10.0, (c - a) * tstep / dt);
      } else {
        value = x;
        step = (c - a) * tstep / dt;
      }
      haveSegment = true;
      buffer[b] = value;
    } else {
      if (mDB)
        value *= step;
      else
        value += step;
      buffer[b] = value;
    }
    t += tstep;
  }
}

double Envelope::LinearValueAt(double t) const {
  const int len = GetNumberOfPoints();
  if (len == 0) return mDefaultValue;
  if (t <= mPoints[0].t) return mPoints[0].val;
  if (t >= mPoints[len - 1].t) return mPoints[len - 1].val;
  const int lo = SegmentStart(t);
  const ControlPoint &a = mPoints[lo], &b = mPoints[lo + 1];
  return a.val + (b.val - a.val) * (t - a.t) / (b.t - a.t);
}

int Envelope::SegmentStart(double t) const {
  int lo = 0, hi = GetNumberOfPoints() - 1;
  while (lo + 1 < hi) {
    const int mid = (lo + hi) / 2;
    if (t < mPoints[mid].t)
      hi = mid;
    else
      lo = mid;
  }
  return lo;
}

double Envelope::Integral(double t0, double t1) const {
  if (t0 == t1) return 0.0;
  if (t0 > t1) {
    seams::Diagnostic("Odd things happening in Integral!\n", seams::DiagnosticStream::kStandardOutput);
    return mDefaultValue;
  }
  const int len = GetNumberOfPoints();
  if (len == 0) return (t1 - t0) * mDefaultValue;

  // First point later than t0.
  int lo = 0, hi = len;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (mPoints[mid].t <= t0)
      lo = mid + 1;
    else
      hi = mid;
  }
  double total = 0.0;
  double ta = t0, va = LinearValueAt(t0);
  for (int i = lo; i < len && mPoints[i].t < t1; ++i) {
    const double tb = mPoints[i].t, vb = mPoints[i].val;
    total += 0.5 * (va + vb) * (tb - ta);
    ta = tb;
    va = vb;
  }
  total += 0.5 * (va + LinearValueAt(t1)) * (t1 - ta);
  return total;
}

double Envelope::Average(double t0, double t1) const {
  if (t0 == t1) return GetValue(t0);
  return Integral(t0, t1) / (t1 - t0);
}
