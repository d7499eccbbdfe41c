// The list of tracks held by a project, by each undo state and by the
// clipboard: one recording, at most two wave tracks.
#pragma once

#include <vector>

class Track;
class WaveTrack;

struct TrackListNode {
  Track* t;
  TrackListNode* next;
  TrackListNode* prev;
};

class TrackList {
public:
  TrackList();
  // Frees the nodes only; the tracks belong to whoever holds the list (see
  // Clear).
  virtual ~TrackList();

  TrackList(const TrackList&) = delete;
  TrackList& operator=(const TrackList&) = delete;

  // A new list holding the same track pointers in the same order (the
  // replacement rule of Add does not apply: the tracks are shared).
  static TrackList* CopyConstruct(const TrackList* list);

  // Appends t at the tail. A list holds one recording: when t is a wave track
  // and the list would then hold more than two wave tracks, every track
  // already in it leaves first, so new audio replaces the old. The decision
  // is taken once per piece of new audio: a linked wave track counts with the
  // partner that follows it, and that partner, arriving next, joins it
  // without a second replacement (so link the first track of a stereo pair
  // before adding it, or use AddGroup). The tracks that leave are handed back
  // through `removed` when it is given; otherwise they are destroyed.
  TrackListNode* Add(Track* t, std::vector<Track*>* removed = nullptr);

  // Adds the tracks of one recording, import, paste or copied list at once:
  // when the list together with their wave tracks would hold more than two
  // wave tracks, every track already in it leaves first (once), then all of
  // them are appended in order, so every channel of the new audio arrives
  // (linked or not, and even a group of more than two). Leaving tracks as in
  // Add.
  void AddGroup(Track* const* tracks, int count, std::vector<Track*>* removed = nullptr);

  // Takes t out of the list (not destroyed); false when it is not there.
  bool Remove(Track* t);
  bool Contains(const Track* t) const;

  // Frees every node, destroying the tracks too when asked.
  void Clear(bool deleteTracks = false);

  // Sets t's selected flag and its partner's (see GetLink).
  void Select(Track* t, bool selected = true);
  // The partner of t: the next track when t is linked and has a next, else
  // the previous track when that one is linked; null otherwise.
  Track* GetLink(Track* t) const;

  bool IsEmpty() const { return mHead == nullptr; }
  int GetCount() const;
  int GetWaveCount() const;

  double GetMinOffset() const;
  int GetHeight() const;
  double GetStartTime() const;
  double GetEndTime() const;

  // The first track of the time kind; none exists in this system.
  Track* GetTimeTrack() const;

  // A new array (free it with delete[]) of the wave tracks; with
  // selectedOnly, those selected and not excluded.
  void GetWaveTracks(bool selectedOnly, int* num, WaveTrack*** tracks) const;
  // The same as a vector; with selectedOnly, every selected wave track (the
  // excluded flag is not looked at).
  std::vector<WaveTrack*> GetWaveTrackArray(bool selectedOnly) const;

private:
  friend class TrackListIterator;

  TrackListNode* Append(Track* t);
  void Unlink(TrackListNode* node);
  // Empties the list, handing the tracks to `removed` or destroying them.
  void Evict(std::vector<Track*>* removed);

  TrackListNode* mHead = nullptr;
  TrackListNode* mTail = nullptr;
};

// Walks a list; used by value.
class TrackListIterator {
public:
  explicit TrackListIterator(TrackList* list = nullptr) : mList(list) {}

  // The first track (of `list` when given, which the iterator then walks),
  // null when the list is empty.
  Track* First(TrackList* list = nullptr);
  // The next track, null at the end.
  Track* Next();
  // Takes the current track out of the list (not destroyed) and returns the
  // one after it.
  Track* RemoveCurrent();

private:
  TrackList* mList;
  TrackListNode* mCur = nullptr;
};
