// The track list: the one-recording rule of Add, the tracks that leave, links,
// selection, time range and iteration.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/Track.h"
#include "core/model/TrackList.h"

namespace {

// A track of a chosen kind that counts its destructions.
class FakeTrack : public Track {
public:
  FakeTrack(const std::string& name, int kind, int* destroyed, bool linked = false, double start = 0.0,
            double end = 0.0)
      : Track(nullptr), mKind(kind), mDestroyed(destroyed), mStart(start), mEnd(end) {
    SetName(name);
    SetLinked(linked);
  }
  ~FakeTrack() override {
    if (mDestroyed) ++*mDestroyed;
  }
  Track* Duplicate() const override { return nullptr; }
  int GetKind() const override { return mKind; }
  double GetStartTime() const override { return mStart; }
  double GetEndTime() const override { return mEnd; }

private:
  int mKind;
  int* mDestroyed;
  double mStart, mEnd;
};

std::string Names(TrackList& list) {
  std::string s;
  TrackListIterator it(&list);
  for (Track* t = it.First(); t; t = it.Next()) s += (s.empty() ? "" : ",") + t->GetName();
  return s;
}

class TrackListTest : public ::testing::Test {
protected:
  FakeTrack* Wave(const std::string& name, bool linked = false) {
    return new FakeTrack(name, Track::Wave, &destroyed, linked);
  }
  FakeTrack* Other(const std::string& name) { return new FakeTrack(name, Track::None, &destroyed); }
  void TearDown() override { list.Clear(true); }

  int destroyed = 0;
  TrackList list;
};

}  // namespace

TEST_F(TrackListTest, SecondMonoTrackJoinsThirdReplacesAndTheOldAreDestroyed) {
  list.Add(Wave("a"));
  list.Add(Wave("b"));
  EXPECT_EQ(Names(list), "a,b");
  list.Add(Wave("c"));
  EXPECT_EQ(Names(list), "c");
  EXPECT_EQ(destroyed, 2);  // nothing leaks
}

TEST_F(TrackListTest, StereoPairReplacedByAThirdTrack) {
  list.Add(Wave("L", true));
  list.Add(Wave("R"));
  list.Add(Other("x"));  // not a wave track: no replacement
  EXPECT_EQ(Names(list), "L,R,x");
  list.Add(Wave("m"));
  EXPECT_EQ(Names(list), "m");
  EXPECT_EQ(destroyed, 3);  // every kind leaves
}

// Adding a stereo pair, one track after the other, to a list holding one wave
// track used to keep only the pair's second channel (the first replacement
// happened between the two) and to lose the removed tracks for good.
TEST_F(TrackListTest, StereoPairAddedToAOneTrackListArrivesWhole) {
  list.Add(Wave("old"));
  list.Add(Wave("L", true));
  list.Add(Wave("R"));
  EXPECT_EQ(Names(list), "L,R");
  EXPECT_EQ(destroyed, 1);

  // A second pair into the full list replaces it once, again whole.
  list.Add(Wave("L2", true));
  list.Add(Wave("R2"));
  EXPECT_EQ(Names(list), "L2,R2");
  EXPECT_EQ(destroyed, 3);
}

TEST_F(TrackListTest, GroupAddReplacesOnceEvenForUnlinkedChannels) {
  list.Add(Wave("old"));
  Track* group[] = {Wave("m1"), Wave("m2")};
  list.AddGroup(group, 2);
  EXPECT_EQ(Names(list), "m1,m2");
  EXPECT_EQ(destroyed, 1);

  Track* three[] = {Wave("c1", true), Wave("c2"), Wave("c3")};
  list.AddGroup(three, 3);
  EXPECT_EQ(Names(list), "c1,c2,c3");
  EXPECT_EQ(destroyed, 3);

  // Room enough: nothing leaves.
  TrackList other;
  Track* one[] = {Wave("solo")};
  other.AddGroup(one, 1);
  Track* two[] = {Wave("more")};
  other.AddGroup(two, 1);
  EXPECT_EQ(Names(other), "solo,more");
  other.Clear(true);
}

TEST_F(TrackListTest, LeavingTracksCanBeHandedBack) {
  list.Add(Wave("a"));
  list.Add(Wave("b"));
  std::vector<Track*> removed;
  list.Add(Wave("c"), &removed);
  ASSERT_EQ(removed.size(), 2u);
  EXPECT_EQ(removed[0]->GetName(), "a");
  EXPECT_EQ(removed[1]->GetName(), "b");
  EXPECT_EQ(destroyed, 0);
  for (Track* t : removed) delete t;
}

TEST_F(TrackListTest, CopyConstructSharesTracksAndOwnsOnlyNodes) {
  list.Add(Wave("L", true));
  list.Add(Wave("R"));
  TrackList* copy = TrackList::CopyConstruct(&list);
  EXPECT_EQ(Names(*copy), "L,R");
  TrackListIterator a(&list), b(copy);
  EXPECT_EQ(a.First(), b.First());
  delete copy;
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(Names(list), "L,R");
}

TEST_F(TrackListTest, LinksAndSelection) {
  Track* l = Wave("L", true);
  Track* r = Wave("R");
  Track* m = Wave("m");
  list.Add(l);
  list.Add(r);
  EXPECT_EQ(list.GetLink(l), r);
  EXPECT_EQ(list.GetLink(r), l);
  list.Select(r, true);
  EXPECT_TRUE(l->GetSelected());
  EXPECT_TRUE(r->GetSelected());
  list.Select(l, false);
  EXPECT_FALSE(r->GetSelected());

  TrackList single;
  single.Add(m);
  EXPECT_EQ(single.GetLink(m), nullptr);
  single.Select(m);
  EXPECT_TRUE(m->GetSelected());
  single.Clear(true);
}

TEST_F(TrackListTest, TimeRangeHeightAndEmptyList) {
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetStartTime(), 0.0);
  EXPECT_EQ(list.GetEndTime(), 0.0);
  EXPECT_EQ(list.GetMinOffset(), 0.0);
  EXPECT_EQ(list.GetHeight(), 0);
  EXPECT_EQ(list.GetTimeTrack(), nullptr);

  list.Add(new FakeTrack("a", Track::Wave, &destroyed, false, 1.5, 4.0));
  list.Add(new FakeTrack("b", Track::Wave, &destroyed, false, 0.5, 3.0));
  EXPECT_FALSE(list.IsEmpty());
  EXPECT_EQ(list.GetStartTime(), 0.5);
  EXPECT_EQ(list.GetEndTime(), 4.0);
  EXPECT_EQ(list.GetHeight(), 2 * 136);
}

TEST_F(TrackListTest, IteratorRemovesAndListRemoves) {
  Track* a = Other("a");
  Track* b = Other("b");
  Track* c = Other("c");
  list.Add(a);
  list.Add(b);
  list.Add(c);
  TrackListIterator it(&list);
  it.First();
  EXPECT_EQ(it.Next(), b);
  EXPECT_EQ(it.RemoveCurrent(), c);
  EXPECT_EQ(it.Next(), nullptr);
  EXPECT_EQ(Names(list), "a,c");
  EXPECT_TRUE(list.Remove(a));
  EXPECT_FALSE(list.Remove(a));
  EXPECT_EQ(Names(list), "c");
  EXPECT_FALSE(list.Contains(a));
  delete a;
  delete b;
  EXPECT_EQ(destroyed, 2);
}
