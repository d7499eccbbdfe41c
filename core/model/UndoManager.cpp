#include "core/model/UndoManager.h"

#include "core/model/Track.h"
#include "core/model/TrackList.h"

UndoManager::~UndoManager() { ClearStates(); }

TrackList* UndoManager::DuplicateTracks(const TrackList* tracks) {
  auto* copy = new TrackList;
  if (!tracks) return copy;
  std::vector<Track*> duplicates;
  TrackListIterator it(const_cast<TrackList*>(tracks));
  for (Track* t = it.First(); t; t = it.Next())
    if (Track* d = t->Duplicate()) duplicates.push_back(d);
  // All at once, so a stereo pair stays one recording in the copy.
  copy->AddGroup(duplicates.data(), static_cast<int>(duplicates.size()));
  return copy;
}

void UndoManager::DestroyState(UndoState* state) {
  if (!state) return;
  if (state->tracks) {
    state->tracks->Clear(true);
    delete state->tracks;
  }
  delete state;
}

void UndoManager::ClearStates() {
  for (UndoState* state : mStates) DestroyState(state);
  mStates.clear();
  mCurrent = -1;
  mSaved = -1;
  mConsolidationCount = 0;
}

void UndoManager::PushState(const TrackList* tracks, double sel0, double sel1, const std::string& description,
                            const std::string& shortDescription, bool consolidate) {
  if (consolidate && mCurrent >= 0 && description == mLastDescription && mConsolidationCount < 2) {
    ++mConsolidationCount;
    ModifyState(tracks, sel0, sel1);
    if (mSaved == mCurrent) mSaved = -1;
    return;
  }
  mConsolidationCount = 0;
  while (static_cast<int>(mStates.size()) > mCurrent + 1) {
    DestroyState(mStates.back());
    mStates.pop_back();
  }
  auto* state = new UndoState;
  state->tracks = DuplicateTracks(tracks);
  state->description = description;
  state->shortDescription = shortDescription;
  state->sel0 = sel0;
  state->sel1 = sel1;
  mStates.push_back(state);
  ++mCurrent;
  if (mSaved >= mCurrent) mSaved = -1;
  mLastDescription = description;
}

void UndoManager::ModifyState(const TrackList* tracks, double sel0, double sel1) {
  if (mCurrent < 0) return;
  UndoState* state = mStates[mCurrent];
  TrackList* replacement = DuplicateTracks(tracks);
  state->tracks->Clear(true);
  delete state->tracks;
  state->tracks = replacement;
  state->sel0 = sel0;
  state->sel1 = sel1;
}

void UndoManager::ForgetLastPush() {
  mLastDescription.clear();
  mConsolidationCount = 0;
}

TrackList* UndoManager::Undo(double* sel0, double* sel1) {
  if (!UndoAvailable()) return nullptr;
  --mCurrent;
  ForgetLastPush();
  *sel0 = mStates[mCurrent]->sel0;
  *sel1 = mStates[mCurrent]->sel1;
  return mStates[mCurrent]->tracks;
}

TrackList* UndoManager::Redo(double* sel0, double* sel1) {
  if (!RedoAvailable()) return nullptr;
  ++mCurrent;
  ForgetLastPush();
  *sel0 = mStates[mCurrent]->sel0;
  *sel1 = mStates[mCurrent]->sel1;
  return mStates[mCurrent]->tracks;
}

TrackList* UndoManager::SetStateTo(int n, double* sel0, double* sel1) {
  if (n < 1 || n > static_cast<int>(mStates.size())) return nullptr;
  mCurrent = n - 1;
  ForgetLastPush();
  // The selection of the edit that left this state (the next state's), else the
  // state's own.
  const UndoState* from =
      mCurrent + 1 < static_cast<int>(mStates.size()) ? mStates[mCurrent + 1] : mStates[mCurrent];
  *sel0 = from->sel0;
  *sel1 = from->sel1;
  return mStates[mCurrent]->tracks;
}

std::string UndoManager::GetDescription(int n) const {
  if (n < 1 || n > static_cast<int>(mStates.size())) return std::string();
  return mStates[n - 1]->shortDescription;
}
