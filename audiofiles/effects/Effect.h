// The base of every audio effect.
//
// An effect works on the selected wave tracks of a project between two times. The
// document finds it in the effect registry (EffectRegistry.h) and calls Apply, which
// builds the list of selected wave tracks, prepares the effect (Init), asks for its
// parameters (PromptUser), runs it (Process, End) and hands the possibly changed
// selection back. When Process fails or is cancelled, Apply puts every selected
// track back the way it was, so a failed or cancelled effect never leaves half-changed
// audio behind.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Track;
class TrackFactory;
class TrackList;
class WaveTrack;

namespace seams {
class ProgressWindow;
}

// low if value <= low, high if value >= high, else value.
double ClampDouble(double value, double low, double high);

class Effect {
public:
  // Bits of the flag word.
  enum : int {
    EffectFlagBuiltIn = 0x02,
    EffectFlagGenerator = 0x10,  // makes audio; the document adds a track when none is selected
    EffectFlagProcess = 0x20,    // changes existing audio
  };
  // The two flag words in use.
  static constexpr int ProcessEffectFlags = EffectFlagProcess | EffectFlagBuiltIn;      // 34
  static constexpr int GeneratorEffectFlags = EffectFlagGenerator | EffectFlagBuiltIn;  // 18

  Effect();

  // The menu name, for example "Amplify...".
  virtual std::string GetEffectName() const = 0;
  // A present-participle text, for example "Amplifying".
  virtual std::string GetEffectAction() const = 0;
  // The text recorded in the undo history and shown in the progress window.
  virtual std::string GetEffectDescription() const;
  virtual int GetEffectFlags() const;
  // Plays the effect applied to the first three seconds of the selection; changes
  // no track. Called from a parameter dialog, so it works on the selected tracks
  // and the selection of the running Apply.
  virtual void Preview();
  virtual ~Effect();
  // Prepares before any dialog; false stops the run.
  virtual bool Init();
  // Asks for the parameters; false means the user cancelled.
  virtual bool PromptUser();
  // Does the work on the selected tracks; false on failure or cancel.
  virtual bool Process() = 0;
  // Called after Process.
  virtual void End();

  // Runs the effect on the selected, not excluded wave tracks of `tracks` between
  // *t0 and *t1. parent is the window that owns dialogs (an opaque handle, 0 for
  // none); flags is the flag word of the command and changes nothing here. True on
  // success, with the effect's new selection written to *t0 and *t1; false leaves
  // the tracks and the selection as they were.
  bool Apply(std::uint32_t parent, int flags, TrackList* tracks, TrackFactory* factory, double* t0,
             double* t1);

  int GetEffectID() const { return mEffectID; }
  void SetEffectID(int id) { mEffectID = id; }

  // How long an effect runs before its progress window appears, in milliseconds.
  static constexpr std::uint32_t ProgressDelayMs = 500;

  Effect(const Effect&) = delete;
  Effect& operator=(const Effect&) = delete;

protected:
  // Reports the fraction (0..1) of the whole effect done; true when the user
  // cancelled. The progress window appears only after ProgressDelayMs.
  bool TotalProgress(double frac);
  // The fraction done of track whichTrack (0-based) of the selected tracks.
  bool TrackProgress(int whichTrack, double frac);

  // The selected wave tracks in list order.
  std::vector<WaveTrack*> GetSelectedWaveTracks() const;

  // The part of the selection that lies on one track: the selection's times
  // clipped to the track, and the samples [s0, s1) between them.
  struct TrackPart {
    double t0 = 0.0;
    double t1 = 0.0;
    std::int64_t s0 = 0;
    std::int64_t s1 = 0;
  };
  // Walks the selected wave tracks, numbering them from 0 (every one counts), and
  // calls process(number, track, part) for each one the selection reaches. The
  // first false from process ends the walk with false.
  bool ForEachTrackPart(
      const std::function<bool(int number, WaveTrack* track, const TrackPart& part)>& process);

  // One track the selection reaches, with its number and its part.
  struct TrackSlot {
    int number = 0;
    WaveTrack* track = nullptr;
    TrackPart part;
  };
  // The tracks of ForEachTrackPart, two at a time where two that the selection
  // reaches follow each other (the channels of a stereo pair), else one: process gets
  // one or two slots, in list order. The first false ends the walk with false.
  bool ForEachTrackPair(const std::function<bool(const std::vector<TrackSlot>& slots)>& process);

  std::uint32_t mParent = 0;
  TrackFactory* mFactory = nullptr;
  TrackList* mTracks = nullptr;      // the project's tracks
  TrackList* mWaveTracks = nullptr;  // the selected wave tracks; owned, the tracks are not
  double mT0 = 0.0;
  double mT1 = 0.0;
  int mNumTracks = 0;  // selected wave tracks
  int mNumGroups = 0;  // of those, the ones not linked to a partner (a stereo pair counts once)

private:
  void DeleteWaveTrackList();
  void DeleteProgress();

  int mEffectID = 0;
  std::unique_ptr<seams::ProgressWindow> mProgress;
};
