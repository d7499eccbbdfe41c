// Envelope values at its points and between them, and its editing operations.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/model/Envelope.h"

namespace {

constexpr double eps = Envelope::kTimeEpsilon;

std::vector<ControlPoint> Points(const Envelope& e) {
  std::vector<ControlPoint> v;
  for (int i = 0; i < e.GetNumberOfPoints(); ++i) v.push_back(e.GetPoint(i));
  return v;
}

void ExpectSortedAndDistinct(const Envelope& e) {
  for (int i = 1; i < e.GetNumberOfPoints(); ++i) EXPECT_LT(e.GetPoint(i - 1).t, e.GetPoint(i).t) << i;
}

}  // namespace

TEST(Envelope, NoPointsGivesTheDefaultEverywhere) {
  Envelope e;
  EXPECT_EQ(e.GetValue(-3.0), 1.0);
  EXPECT_EQ(e.GetValue(0.0), 1.0);
  EXPECT_EQ(e.GetValue(1e6), 1.0);
  e.Flatten(0.5);
  double buf[4];
  e.GetValues(buf, 4, 0.0, 0.25);
  for (double v : buf) EXPECT_EQ(v, 0.5);
}

TEST(Envelope, ValuesAtPointsAndBetweenThem) {
  struct Case {
    bool db;
    double t;
    double expected;
  };
  // Points (0, 1.0) and (1, 0.01); before the first and after the last the
  // curve is flat.
  const Case cases[] = {
      {true, 0.5, 0.1},
      {false, 0.5, 0.505},
      {true, 0.0, 1.0},
      {true, 1.0, 0.01},
      {false, -2.0, 1.0},
      {false, 7.0, 0.01},
      {true, 0.25, std::pow(10.0, -0.5)},
      {false, 0.25, 0.7525},
  };
  for (const Case& c : cases) {
    Envelope e;
    e.SetTrackLen(1.0);
    e.SetInterpolateDB(c.db);
    e.Insert(0.0, 1.0);
    e.Insert(1.0, 0.01);
    EXPECT_NEAR(e.GetValue(c.t), c.expected, 1e-9) << c.db << " " << c.t;
  }
}

TEST(Envelope, ZeroCountsAsMinus46DecibelsUnderDbInterpolation) {
  Envelope e;
  e.SetTrackLen(1.0);
  e.Insert(0.0, 0.0);
  e.Insert(1.0, 1.0);
  // Halfway between log10 = -4.6 and 0.
  EXPECT_NEAR(e.GetValue(0.5), std::pow(10.0, -2.3), 1e-12);
}

TEST(Envelope, OffsetShiftsTheCurve) {
  Envelope e;
  e.SetTrackLen(2.0);
  e.SetInterpolateDB(false);
  e.Insert(0.0, 0.0);
  e.Insert(2.0, 1.0);
  e.SetOffset(10.0);
  EXPECT_NEAR(e.GetValue(11.0), 0.5, 1e-12);
  EXPECT_NEAR(e.GetValue(1.0), 0.0, 1e-12);
}

TEST(Envelope, SteppedValuesMatchSingleValuesAcrossSegments) {
  for (bool db : {false, true}) {
    Envelope e;
    e.SetInterpolateDB(db);
    e.SetTrackLen(4.0);
    e.Insert(0.5, 0.2);
    e.Insert(1.0, 1.0);
    e.Insert(2.5, 0.05);
    e.Insert(3.0, 0.8);
    e.SetOffset(1.0);
    const int n = 500;
    std::vector<double> buf(n);
    e.GetValues(buf.data(), n, 0.9, 0.01);  // starts before the first point
    for (int i = 0; i < n; ++i) EXPECT_NEAR(buf[i], e.GetValue(0.9 + i * 0.01), 1e-9) << db << " " << i;
  }
}

TEST(Envelope, InsertReplacesClampsAndRefuses) {
  Envelope e;
  e.SetTrackLen(2.0);
  EXPECT_EQ(e.Insert(-1.0, 0.3), 0);  // no points yet: clamped to 0
  EXPECT_EQ(e.GetPoint(0).t, 0.0);
  EXPECT_EQ(e.Insert(5.0, 0.4), 1);  // one point: no upper clamp
  EXPECT_EQ(e.GetPoint(1).t, 5.0);
  EXPECT_EQ(e.Insert(1.0, 0.5), 1);
  EXPECT_EQ(e.GetNumberOfPoints(), 3);
  // Same time: value replaced, count unchanged.
  EXPECT_EQ(e.Insert(1.0, 0.9), 1);
  EXPECT_EQ(e.GetNumberOfPoints(), 3);
  EXPECT_EQ(e.GetPoint(1).val, 0.9);
  // Outside the range with points present: nothing inserted.
  EXPECT_EQ(e.Insert(-0.5, 0.1), 0);
  EXPECT_EQ(e.Insert(3.0, 0.1), 2);
  EXPECT_EQ(e.GetNumberOfPoints(), 3);
}

TEST(Envelope, SetTrackLenDeletesLaterPointsOnly) {
  Envelope e;
  e.SetTrackLen(10.0);
  for (double t : {1.0, 2.0, 3.0, 4.0, 5.0}) e.Insert(t, t / 10);
  e.SetTrackLen(2.0);
  ASSERT_EQ(e.GetNumberOfPoints(), 2);  // three beyond 2.0 gone; 2.0 stays
  EXPECT_EQ(e.GetPoint(1).t, 2.0);
  EXPECT_EQ(e.GetTrackLen(), 2.0);
}

TEST(Envelope, PasteIntoTheMiddleOfAFlatEnvelope) {
  Envelope dst, src;
  dst.SetTrackLen(4.0);
  src.SetTrackLen(2.0);
  dst.Paste(1.0, &src);
  EXPECT_EQ(dst.GetTrackLen(), 6.0);
  const auto p = Points(dst);
  ASSERT_EQ(p.size(), 4u);
  const double times[] = {1 - eps, 1, 3 - eps, 3};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(p[i].t, times[i], 1e-12);
    EXPECT_EQ(p[i].val, 1.0);
  }
}

TEST(Envelope, PastedCurveIsFollowedByTheOldOne) {
  // dst: linear ramp 0 -> 1 over 4 s; src: points (0, 0.5) and (2, 0.25),
  // its last point exactly at its length.
  Envelope dst, src;
  dst.SetInterpolateDB(false);
  src.SetInterpolateDB(false);
  dst.SetTrackLen(4.0);
  dst.Insert(0.0, 0.0);
  dst.Insert(4.0, 1.0);
  src.SetTrackLen(2.0);
  src.Insert(0.0, 0.5);
  src.Insert(2.0, 0.25);
  dst.Paste(2.0, &src);
  ExpectSortedAndDistinct(dst);
  EXPECT_EQ(dst.GetTrackLen(), 6.0);
  EXPECT_NEAR(dst.GetValue(1.0), 0.25, 1e-5);        // old curve before
  EXPECT_NEAR(dst.GetValue(2.0), 0.5, 1e-9);         // pasted start
  EXPECT_NEAR(dst.GetValue(3.0), 0.375, 1e-5);       // pasted middle
  EXPECT_NEAR(dst.GetValue(4.0 - eps), 0.25, 1e-9);  // pasted end
  EXPECT_NEAR(dst.GetValue(4.0), 0.5, 1e-9);         // old curve resumes
  EXPECT_NEAR(dst.GetValue(5.0), 0.75, 1e-9);
  EXPECT_NEAR(dst.GetValue(6.0), 1.0, 1e-9);
}

TEST(Envelope, PasteAtTheEndAndBeforeTheStart) {
  Envelope dst, src;
  dst.SetTrackLen(1.0);
  src.SetTrackLen(1.0);
  src.Insert(0.5, 0.5);
  dst.Paste(1.0, &src);  // at the end: no resume points
  EXPECT_EQ(dst.GetTrackLen(), 2.0);
  ASSERT_EQ(dst.GetNumberOfPoints(), 3);
  EXPECT_NEAR(dst.GetPoint(0).t, 1.0 - eps, 1e-12);
  EXPECT_NEAR(dst.GetPoint(2).t, 1.5, 1e-12);

  Envelope d2;
  d2.SetOffset(5.0);
  d2.SetTrackLen(2.0);
  d2.Paste(3.0, &src);  // before the start: lands at the start
  EXPECT_EQ(d2.GetTrackLen(), 3.0);
  ExpectSortedAndDistinct(d2);
  EXPECT_NEAR(d2.GetValue(5.5), 0.5, 1e-9);
  EXPECT_NEAR(d2.GetValue(6.5), 1.0, 1e-9);
}

TEST(Envelope, PasteIntoItselfDoublesTheCurve) {
  Envelope e;
  e.SetInterpolateDB(false);
  e.SetTrackLen(2.0);
  e.Insert(0.0, 0.0);
  e.Insert(2.0, 1.0);
  e.Paste(2.0, &e);
  EXPECT_EQ(e.GetTrackLen(), 4.0);
  ExpectSortedAndDistinct(e);
  EXPECT_NEAR(e.GetValue(1.0), 0.5, 1e-5);
  EXPECT_NEAR(e.GetValue(3.0), 0.5, 1e-5);
}

TEST(Envelope, CopyFromTakesThePartAndInterpolatesItsEnds) {
  Envelope src;
  src.SetInterpolateDB(false);
  src.SetOffset(1.0);
  src.SetTrackLen(4.0);
  src.Insert(0.0, 0.0);
  src.Insert(2.0, 1.0);
  src.Insert(4.0, 0.0);

  Envelope part;
  part.CopyFrom(&src, 2.0, 4.0);  // absolute 2..4 = envelope 1..3
  EXPECT_EQ(part.GetOffset(), 2.0);
  EXPECT_EQ(part.GetTrackLen(), 2.0);
  const auto p = Points(part);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_NEAR(p[0].t, 0.0, 1e-12);
  EXPECT_NEAR(p[0].val, 0.5, 1e-12);
  EXPECT_NEAR(p[1].t, 1.0, 1e-12);
  EXPECT_NEAR(p[1].val, 1.0, 1e-12);
  EXPECT_NEAR(p[2].t, 2.0, 1e-12);
  EXPECT_NEAR(p[2].val, 0.5, 1e-12);

  // A range starting before the source: offset is the source's.
  Envelope whole;
  whole.CopyFrom(&src, 0.0, 100.0);
  EXPECT_EQ(whole.GetOffset(), 1.0);
  EXPECT_EQ(whole.GetTrackLen(), 4.0);
  // The point at 4.0 is not before the end, so the end value is added there.
  ASSERT_EQ(whole.GetNumberOfPoints(), 3);
  EXPECT_NEAR(whole.GetPoint(2).t, 4.0, 1e-12);
  EXPECT_NEAR(whole.GetPoint(2).val, 0.0, 1e-12);
}

TEST(Envelope, CutAndPasteBackKeepsTheCutPartAndTheCurveAroundIt) {
  Envelope e;
  e.SetInterpolateDB(false);
  e.SetTrackLen(6.0);
  e.Insert(0.0, 0.1);
  e.Insert(1.0, 0.9);
  e.Insert(3.0, 0.3);
  e.Insert(5.0, 0.7);
  auto original = [](double t) {
    if (t <= 1) return 0.1 + 0.8 * t;
    if (t <= 3) return 0.9 - 0.3 * (t - 1);
    if (t <= 5) return 0.3 + 0.2 * (t - 3);
    return 0.7;
  };

  Envelope cut;
  cut.CopyFrom(&e, 2.0, 4.0);
  e.CollapseRegion(2.0, 4.0);
  EXPECT_EQ(e.GetTrackLen(), 4.0);
  // The point at 3 went; the one at 5 moved to 3.
  ASSERT_EQ(e.GetNumberOfPoints(), 3);
  EXPECT_NEAR(e.GetPoint(2).t, 3.0, 1e-12);
  const Envelope collapsed = e;

  e.Paste(2.0, &cut);
  EXPECT_EQ(e.GetTrackLen(), 6.0);
  ExpectSortedAndDistinct(e);
  for (double t : {0.0, 0.5, 1.0})  // before: untouched
    EXPECT_NEAR(e.GetValue(t), original(t), 1e-9) << t;
  // The cut part, where it was (its end now lies an epsilon early).
  for (double t : {2.0, 2.5, 3.0, 3.5, 4.0 - eps}) EXPECT_NEAR(e.GetValue(t), original(t), 1e-5) << t;
  for (double t : {4.0, 4.5, 5.0, 6.0})  // after: the collapsed curve resumes
    EXPECT_NEAR(e.GetValue(t), collapsed.GetValue(t - 2.0), 1e-9) << t;
}

TEST(Envelope, CollapseRangeIsClippedToTheEnvelope) {
  Envelope e;
  e.SetOffset(1.0);
  e.SetTrackLen(2.0);
  e.Insert(0.5, 0.5);
  e.Insert(1.5, 0.25);
  e.CollapseRegion(0.0, 1.75);  // before the start: only 1.0 .. 1.75 goes
  EXPECT_NEAR(e.GetTrackLen(), 1.25, 1e-12);
  ASSERT_EQ(e.GetNumberOfPoints(), 1);
  EXPECT_NEAR(e.GetPoint(0).t, 0.75, 1e-12);
  e.CollapseRegion(10.0, 12.0);  // wholly after: nothing
  EXPECT_NEAR(e.GetTrackLen(), 1.25, 1e-12);
}

TEST(Envelope, InsertSpaceMovesLaterPoints) {
  Envelope e;
  e.SetTrackLen(3.0);
  e.Insert(1.0, 0.2);
  e.Insert(2.0, 0.4);
  e.InsertSpace(1.0, 0.5);  // the point at 1.0 itself stays
  EXPECT_EQ(e.GetTrackLen(), 3.5);
  EXPECT_EQ(e.GetPoint(0).t, 1.0);
  EXPECT_EQ(e.GetPoint(1).t, 2.5);
}

TEST(Envelope, IntegralAndAverage) {
  Envelope e;
  EXPECT_NEAR(e.Integral(1.0, 3.0), 2.0, 1e-12);  // no points: default 1.0
  e.SetTrackLen(4.0);
  e.Insert(1.0, 0.0);
  e.Insert(3.0, 1.0);  // flat 0 before 1, ramp to 1 at 3, flat 1 after
  EXPECT_NEAR(e.Integral(0.0, 4.0), 0.0 + 1.0 + 1.0, 1e-12);
  EXPECT_NEAR(e.Integral(2.0, 2.5), 0.5 * (0.5 + 0.75) * 0.5, 1e-12);
  EXPECT_NEAR(e.Integral(1.5, 3.5), 0.5 * (0.25 + 1.0) * 1.5 + 0.5, 1e-12);
  EXPECT_EQ(e.Integral(2.0, 2.0), 0.0);
  EXPECT_NEAR(e.Average(0.0, 4.0), 0.5, 1e-12);
  e.SetInterpolateDB(false);
  EXPECT_NEAR(e.Average(2.0, 2.0), 0.5, 1e-12);

  testing::internal::CaptureStdout();
  const double v = e.Integral(2.0, 1.0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Odd things happening in Integral!\n");
  EXPECT_EQ(v, 1.0);
}
