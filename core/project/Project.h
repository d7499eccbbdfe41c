#pragma once
// The editable recording held by each document: its track list with rate and sample
// format, the directory manager of its block files, its undo history, its importer
// and the token of the stream that plays or records it. Also the clipboard track list
// that Copy, Cut and Paste of every document of this running copy share.
#include <cstdint>
#include <memory>
#include <string>

#include "core/model/SampleFormat.h"
#include "core/model/UndoManager.h"

class DirManager;
class Importer;
class Track;
class TrackFactory;
class TrackList;

namespace seams {
class ProgressWindow;
}

// A time range of the project, seconds.
struct Selection {
  double t0 = 0.0;
  double t1 = 0.0;
};

class Project {
public:
  Project();
  virtual ~Project();
  Project(const Project&) = delete;
  Project& operator=(const Project&) = delete;

  // Imports a file into the project. On failure errorText (when given) says why.
  bool OpenFile(const std::string& fileName, std::string* errorText = nullptr);
  // Appends imported tracks (the array becomes the project's; it is freed here),
  // selects them and names them after the file.
  virtual void Import(const std::string& fileName, Track** tracks, int count);
  // Stops this project's stream and deletes every track.
  virtual void Clear();
  virtual void Paste(Selection* selection);
  virtual void DeleteSelection(Selection* selection);
  virtual void InitialUndoState(Selection* selection);
  virtual void PushState(const std::string& description, const std::string& shortDescription,
                         bool consolidate, Selection* selection);
  virtual void ModifyState(Selection* selection);
  // Replaces the project's tracks by duplicates of a state's tracks.
  virtual void PopState(TrackList* stateTracks, Selection* selection);
  virtual void SetStateTo(int n, Selection* selection);
  // Undo / Redo through the history; false when there is nothing to move to.
  bool Undo(Selection* selection);
  bool Redo(Selection* selection);

  // Reads another copy's clipboard sound file into the clipboard tracks.
  bool PasteFromClipboardFile(const std::string& fileName, double* rate);

  void SetStreamToken(int token) { mStreamToken = token; }
  int GetStreamToken() const { return mStreamToken; }
  // How the project plays: 2 in a loop, 0 once (the view follows only a playback that
  // ends).
  void SetPlayMode(int mode) { mPlayMode = mode; }
  int GetPlayMode() const { return mPlayMode; }
  // Loop playback of the whole project; false when it could not start.
  bool Play();
  // Records into two new wave tracks that replace the project's audio once the stream
  // has started; false (audio untouched) when it could not start.
  bool Record();
  void Stop();
  void SelectNone();
  // Rate and sample format from the sound device settings; clears modified.
  void ApplyDeviceOptions();

  TrackList* GetTracks() const { return mTracks; }
  TrackFactory* GetTrackFactory() const { return mTrackFactory; }
  DirManager* GetDirManager() const { return mDirManager; }
  UndoManager* GetUndoManager() { return &mUndoManager; }
  Importer* GetImporter() const { return mImporter; }
  double GetRate() const { return mRate; }
  void SetRate(double rate) { mRate = rate; }
  SampleFormat GetSampleFormat() const { return mSampleFormat; }
  bool IsModified() const { return mModified != 0; }
  bool IsRateUnsupported() const { return mRateUnsupported != 0; }
  const std::string& GetName() const { return mName; }
  void SetName(const std::string& name) { mName = name; }

  // The import progress: 1 to cancel, else 0.
  static int ImportProgress(void* project, float fraction);

private:
  void StopOwnStreamAndWait();

  std::string mName;
  DirManager* mDirManager = nullptr;
  double mRate = 44100.0;
  SampleFormat mSampleFormat = SampleFormatFloat;
  TrackList* mTracks = nullptr;
  UndoManager mUndoManager;
  int mModified = 0;
  int mStreamToken = -1;
  TrackFactory* mTrackFactory = nullptr;
  Importer* mImporter = nullptr;
  std::unique_ptr<seams::ProgressWindow> mProgress;
  int mRawImport = 0;
  bool mClosing = false;
  int mProcessing = 0;
  int mRateUnsupported = 0;
  int mPlayMode = 0;
};

// The clipboard of this running copy, shared by every project.
void CreateClipboardTrackList();
void DestroyClipboardTrackList();
void ClearClipboard();
TrackList* GetClipboardTracks();
double GetClipboardLength();
void SetClipboardLength(double seconds);
