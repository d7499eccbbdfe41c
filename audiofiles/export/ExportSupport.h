#pragma once
// What every exporter shares: the file that takes the target's name only when the
// export went through, the progress window that appears once an export has run for
// half a second, and the message boxes.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace seams {
class ProgressWindow;
}

// An export writes into a temporary file beside its target and renames it onto the
// target at the end, so a failed export neither leaves a truncated file that looks
// complete nor destroys the file it would have replaced.
class ExportTargetFile {
public:
  ExportTargetFile() = default;
  // Removes the temporary file unless it was committed.
  ~ExportTargetFile();
  ExportTargetFile(const ExportTargetFile&) = delete;
  ExportTargetFile& operator=(const ExportTargetFile&) = delete;

  // Creates an empty temporary file in the target's folder; false (errno set) when
  // the folder cannot take it, or when the target is a file this user may not write.
  // A target that is a symbolic link is written through: the link's destination is
  // replaced, not the link. In a folder that takes no new file, an existing writable
  // target is written in place: its old contents are kept in memory and put back when
  // the export fails; when bytesNeeded (0: not known) cannot fit in its place (the
  // disk's free room and the old file's own, and the process's file-size limit), the
  // target is left alone and Create fails with ENOSPC.
  bool Create(const std::string& target, std::uint64_t bytesNeeded = 0);
  const std::string& TempPath() const { return mTemp; }
  const std::string& TargetPath() const { return mTarget; }

  // Puts the temporary file in the target's place; false when that fails (the
  // temporary file is then removed and the target left as it was).
  bool Commit();
  // Removes the temporary file.
  void Discard();

private:
  std::string mTarget;      // as given
  std::string mRealTarget;  // what the rename replaces
  std::string mTemp;        // the file being written
  bool mOpen = false;
  bool mInPlace = false;      // mTemp is the target itself
  std::vector<char> mBackup;  // in place: the target's old contents
};

// The progress frame of an export: the program-wide stopwatch starts with the export;
// after each block, once more than 500 ms have passed, the window is made with its
// caption and text and a range of 0 to 1000; from then on each step moves the bar to
// the share of t0..t1 done and pumps messages (Escape cancels).
class ExportProgress {
public:
  ExportProgress(double t0, double t1, std::string caption, std::function<std::string()> text);
  // Hides the window when it was shown.
  ~ExportProgress();
  ExportProgress(const ExportProgress&) = delete;
  ExportProgress& operator=(const ExportProgress&) = delete;

  // One step after a block, at mix time `now`; true once the user has cancelled.
  bool Step(double now);
  bool Cancelled() const { return mCancelled; }
  bool WasShown() const { return mWindow != nullptr; }

private:
  double mT0, mT1;
  std::string mCaption;
  std::function<std::string()> mText;
  std::unique_ptr<seams::ProgressWindow> mWindow;
  bool mCancelled = false;
};

// The frames an export of t0..t1 at rate holds: (t1 - t0) x rate, rounded; 0 for an
// empty or reversed range. The mixer may hand out more when it resamples (it fills its
// whole buffer); the exporters write no more than this.
std::int64_t ExportFrameCount(double t0, double t1, double rate);

class WaveTrack;

// True when every track can be converted to rate (the converter takes factors from
// 1/12 to 12); otherwise says which rates cannot be converted and gives false, so an
// export never writes silence or nothing in place of a track.
bool ExportRatesConvertible(WaveTrack* const* tracks, int count, double rate);

// The part of a path after its last folder separator ('\' or '/'); the whole path
// when it has none.
std::string ExportDisplayName(const std::string& path);
// The whole path as the user sees it in the program's dialogs (the settings
// platform's view: a Windows path under the window tier).
std::string ExportShownPath(const std::string& path);

// A message box with an OK button.
void ShowExportMessage(const std::string& text);
