// The base of every track of a project's track list.
#pragma once

#include <cstdint>
#include <string>

class DirManager;

class Track {
public:
  // Kinds reported by GetKind.
  enum Kind { None = 0, Wave = 1, Time = 4 };

  // Takes one reference on dirManager (which may be null) for the track's
  // lifetime.
  explicit Track(DirManager* dirManager);
  // A copy of orig's settings (see Init) with a fresh change counter.
  Track(const Track& orig);
  Track& operator=(const Track&) = delete;
  // Drops the directory-manager reference.
  virtual ~Track();

  // The operations of a track kind; the base does nothing and reports
  // failure. The new tracks of Cut, Copy and Duplicate belong to the caller.
  virtual Track* Duplicate() const = 0;
  virtual void SetOffset(double t) { mOffset = t; }
  virtual bool Cut(double t0, double t1, Track** dest) { return false; }
  virtual bool Copy(double t0, double t1, Track** dest) { return false; }
  virtual bool Clear(double t0, double t1) { return false; }
  virtual bool Paste(double t, const Track* src) { return false; }
  virtual bool Silence(double t0, double t1) { return false; }
  virtual bool InsertSilence(double t, double len) { return false; }
  virtual int GetKind() const { return None; }
  // True when the track's data could not be loaded.
  virtual bool GetErrorOpening() const { return false; }
  virtual double GetStartTime() const { return 0.0; }
  virtual double GetEndTime() const { return 0.0; }

  double GetOffset() const { return mOffset; }

  int GetHeight() const { return mHeight; }
  void SetHeight(int h) { mHeight = h; }

  std::string GetName() const { return mName; }
  void SetName(const std::string& name) { mName = name; }

  bool GetSelected() const { return mSelected; }
  void SetSelected(bool s) { mSelected = s; }

  // A linked track forms a stereo pair with the track after it in the list.
  bool GetLinked() const { return mLinked; }
  void SetLinked(bool l) { mLinked = l; }

  // 0 left, 1 right, 2 mono.
  enum { LeftChannel = 0, RightChannel = 1, MonoChannel = 2 };
  int GetChannel() const { return mChannel; }
  void SetChannel(int c) { mChannel = c; }

  // A selected track with this flag set is left out of the selected wave
  // tracks of TrackList::GetWaveTracks.
  bool GetExcluded() const { return mExcluded; }
  void SetExcluded(bool e) { mExcluded = e; }

  // Two settings the views keep with the track; copied with it.
  int GetViewSetting(int i) const { return mViewSettings[i & 1]; }
  void SetViewSetting(int i, int v) { mViewSettings[i & 1] = v; }

  // Every edit adds 1; display caches compare it to know they are stale.
  int GetChangeCounter() const { return mChangeCounter; }
  void MarkChanged() { mChangeCounter = static_cast<int>(static_cast<unsigned>(mChangeCounter) + 1u); }

  DirManager* GetDirManager() const { return mDirManager; }

protected:
  // Copies the settings of orig (height, name, selected, linked, channel,
  // offset, view settings, excluded) and takes a reference on its directory
  // manager in place of this track's.
  void Init(const Track& orig);

  int mHeight = 136;
  std::string mName;
  bool mSelected = false;
  int mChangeCounter = 0;
  bool mLinked = false;
  int mChannel = MonoChannel;
  double mOffset = 0.0;
  int mViewSettings[2] = {0, 0};
  bool mExcluded = false;
  DirManager* mDirManager = nullptr;
};
