#pragma once
// The project's history: a list of states, each a full copy of the track list (the
// tracks duplicated, their blocks shared by reference) with its selection and
// description. Undo and Redo move through the states; discarding a state releases
// its block references.
#include <string>
#include <vector>

class TrackList;

struct UndoState {
  TrackList* tracks = nullptr;  // owned with its tracks
  std::string description;
  std::string shortDescription;
  double sel0 = 0.0;
  double sel1 = 0.0;
};

class UndoManager {
public:
  UndoManager() = default;
  ~UndoManager();
  UndoManager(const UndoManager&) = delete;
  UndoManager& operator=(const UndoManager&) = delete;

  // Records a new state of copies of the tracks. With consolidate, a push of the same
  // description as the last push replaces the current state instead (at most two such
  // replacements in a row, so a run makes one state for every three pushes).
  void PushState(const TrackList* tracks, double sel0, double sel1, const std::string& description,
                 const std::string& shortDescription, bool consolidate = false);
  // Replaces the current state's tracks and selection; nothing without a state.
  void ModifyState(const TrackList* tracks, double sel0, double sel1);
  // The previous / next state's tracks (still owned here) and selection. Ask
  // UndoAvailable / RedoAvailable first; null when there is none.
  TrackList* Undo(double* sel0, double* sel1);
  TrackList* Redo(double* sel0, double* sel1);
  // Moves to state n (1-based); the selection is that of the state after it when
  // there is one, else its own. Null for an n out of range.
  TrackList* SetStateTo(int n, double* sel0, double* sel1);

  bool UndoAvailable() const { return mCurrent > 0; }
  bool RedoAvailable() const { return mCurrent < static_cast<int>(mStates.size()) - 1; }
  int GetCurrentStateNumber() const { return mCurrent + 1; }
  int GetNumStates() const { return static_cast<int>(mStates.size()); }
  // The short description of state n (1-based); empty when out of range.
  std::string GetDescription(int n) const;
  bool UnsavedChanges() const { return mSaved != mCurrent; }
  void StateSaved() { mSaved = mCurrent; }
  void ClearStates();

private:
  static TrackList* DuplicateTracks(const TrackList* tracks);
  static void DestroyState(UndoState* state);
  void ForgetLastPush();

  int mCurrent = -1;
  int mSaved = -1;
  std::vector<UndoState*> mStates;
  std::string mLastDescription;
  int mConsolidationCount = 0;
};
