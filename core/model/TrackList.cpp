#include "core/model/TrackList.h"

#include <algorithm>

#include "core/model/Track.h"
#include "core/model/WaveTrack.h"

namespace {

bool IsWave(const Track* t) { return t && t->GetKind() == Track::Wave; }

}  // namespace

TrackList::TrackList() = default;

TrackList::~TrackList() { Clear(false); }

TrackList* TrackList::CopyConstruct(const TrackList* list) {
  // Appended as they stand: the copy shares the tracks, so the replacement
  // rule (which could destroy tracks the source still holds) must not apply.
  TrackList* copy = new TrackList;
  for (TrackListNode* n = list->mHead; n; n = n->next) copy->Append(n->t);
  return copy;
}

TrackListNode* TrackList::Append(Track* t) {
  TrackListNode* node = new TrackListNode{t, nullptr, mTail};
  if (mTail)
    mTail->next = node;
  else
    mHead = node;
  mTail = node;
  return node;
}

void TrackList::Unlink(TrackListNode* node) {
  if (node->prev)
    node->prev->next = node->next;
  else
    mHead = node->next;
  if (node->next)
    node->next->prev = node->prev;
  else
    mTail = node->prev;
  delete node;
}

void TrackList::Evict(std::vector<Track*>* removed) {
  while (mHead) {
    Track* t = mHead->t;
    Unlink(mHead);
    if (removed)
      removed->push_back(t);
    else
      delete t;
  }
}

TrackListNode* TrackList::Add(Track* t, std::vector<Track*>* removed) {
  if (IsWave(t)) {
    // The second track of a stereo pair joins its partner: the replacement,
    // if any, happened when the partner arrived.
    const bool completesPair = mTail && IsWave(mTail->t) && mTail->t->GetLinked();
    if (!completesPair) {
      const int incoming = t->GetLinked() ? 2 : 1;
      if (GetWaveCount() + incoming > 2) Evict(removed);
    }
  }
  return Append(t);
}

void TrackList::AddGroup(Track* const* tracks, int count, std::vector<Track*>* removed) {
  int incoming = 0;
  for (int i = 0; i < count; ++i)
    if (IsWave(tracks[i])) ++incoming;
  if (incoming > 0 && GetWaveCount() + incoming > 2) Evict(removed);
  for (int i = 0; i < count; ++i) Append(tracks[i]);
}

bool TrackList::Remove(Track* t) {
  for (TrackListNode* n = mHead; n; n = n->next)
    if (n->t == t) {
      Unlink(n);
      return true;
    }
  return false;
}

bool TrackList::Contains(const Track* t) const {
  for (TrackListNode* n = mHead; n; n = n->next)
    if (n->t == t) return true;
  return false;
}

void TrackList::Clear(bool deleteTracks) {
  while (mHead) {
    Track* t = mHead->t;
    Unlink(mHead);
    if (deleteTracks) delete t;
  }
}

Track* TrackList::GetLink(Track* t) const {
  for (TrackListNode* n = mHead; n; n = n->next) {
    if (n->t != t) continue;
    if (t->GetLinked() && n->next) return n->next->t;
    if (n->prev && n->prev->t->GetLinked()) return n->prev->t;
    return nullptr;
  }
  return nullptr;
}

void TrackList::Select(Track* t, bool selected) {
  t->SetSelected(selected);
  if (Track* partner = GetLink(t)) partner->SetSelected(selected);
}

int TrackList::GetCount() const {
  int count = 0;
  for (TrackListNode* n = mHead; n; n = n->next) ++count;
  return count;
}

int TrackList::GetWaveCount() const {
  int count = 0;
  for (TrackListNode* n = mHead; n; n = n->next)
    if (IsWave(n->t)) ++count;
  return count;
}

double TrackList::GetMinOffset() const {
  if (!mHead) return 0.0;
  double m = mHead->t->GetOffset();
  for (TrackListNode* n = mHead->next; n; n = n->next) m = std::min(m, n->t->GetOffset());
  return m;
}

int TrackList::GetHeight() const {
  int h = 0;
  for (TrackListNode* n = mHead; n; n = n->next) h += n->t->GetHeight();
  return h;
}

double TrackList::GetStartTime() const {
  if (!mHead) return 0.0;
  double m = mHead->t->GetStartTime();
  for (TrackListNode* n = mHead->next; n; n = n->next) m = std::min(m, n->t->GetStartTime());
  return m;
}

double TrackList::GetEndTime() const {
  if (!mHead) return 0.0;
  double m = mHead->t->GetEndTime();
  for (TrackListNode* n = mHead->next; n; n = n->next) m = std::max(m, n->t->GetEndTime());
  return m;
}

Track* TrackList::GetTimeTrack() const {
  for (TrackListNode* n = mHead; n; n = n->next)
    if (n->t->GetKind() == Track::Time) return n->t;
  return nullptr;
}

void TrackList::GetWaveTracks(bool selectedOnly, int* num, WaveTrack*** tracks) const {
  std::vector<WaveTrack*> v;
  for (TrackListNode* n = mHead; n; n = n->next)
    if (IsWave(n->t) && (!selectedOnly || (n->t->GetSelected() && !n->t->GetExcluded())))
      v.push_back(static_cast<WaveTrack*>(n->t));
  *num = static_cast<int>(v.size());
  *tracks = new WaveTrack*[v.size() ? v.size() : 1];
  std::copy(v.begin(), v.end(), *tracks);
}

std::vector<WaveTrack*> TrackList::GetWaveTrackArray(bool selectedOnly) const {
  std::vector<WaveTrack*> v;
  for (TrackListNode* n = mHead; n; n = n->next)
    if (IsWave(n->t) && (!selectedOnly || n->t->GetSelected())) v.push_back(static_cast<WaveTrack*>(n->t));
  return v;
}

Track* TrackListIterator::First(TrackList* list) {
  if (list) mList = list;
  mCur = mList ? mList->mHead : nullptr;
  return mCur ? mCur->t : nullptr;
}

Track* TrackListIterator::Next() {
  if (mCur) mCur = mCur->next;
  return mCur ? mCur->t : nullptr;
}

Track* TrackListIterator::RemoveCurrent() {
  if (!mCur) return nullptr;
  TrackListNode* next = mCur->next;
  mList->Unlink(mCur);
  mCur = next;
  return mCur ? mCur->t : nullptr;
}
