#include "audiofiles/export/ExportSoundFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "app/settings/FileEncodeOptions.h"
#include "core/model/SampleFormat.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "audiofiles/export/ExportEncodeOptions.h"
#include "audiofiles/export/ExportMixer.h"
#include "audiofiles/export/ExportSupport.h"
#include "audiofiles/export/ExportText.h"
#include "core/project/Project.h"

namespace {

// Frames mixed and written per step: 5 s at 44100 Hz.
constexpr int kBlockFrames = 220500;

constexpr int kFloatSubtype = SF_FORMAT_FLOAT;   // 6
constexpr int kPcm16Subtype = SF_FORMAT_PCM_16;  // 2

// What differs between the three members of the family.
struct SoundFileJob {
  TrackList* tracks = nullptr;
  bool selectedOnly = false;
  double t0 = 0.0, t1 = 0.0;
  int format = 0;
  double rate = 0.0;
  int channels = 1;
  std::string checkFailed;  // the format cannot be written
  // The file cannot be made; gets the system's or libsndfile's reason.
  std::function<std::string(const std::string& reason)> openFailed;
  // The file could not be written in full or closed; gets libsndfile's reason.
  std::function<std::string(const std::string& reason)> writeFailed;
  std::string caption;
  std::function<std::string()> text;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The container a file name's extension names among the four, 0 when none.
int ContainerOfName(const std::string& fileName) {
  const std::string name = ExportDisplayName(fileName);
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return 0;
  const std::string ext = Lower(name.substr(dot + 1));
  for (const settings::WavContainer& c : settings::WavContainers())
    if (ext == c.extension) return c.code;
  return 0;
}

int MixToSoundFile(const SoundFileJob& job, const std::string& fileName) {
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  info.samplerate = static_cast<int>(job.rate + 0.5);
  info.frames = static_cast<sf_count_t>((job.t1 - job.t0) * job.rate + 0.5);
  info.channels = job.channels;
  info.format = job.format;
  info.sections = 1;
  info.seekable = 0;
  if (!(job.rate >= 1.0) || info.samplerate < 1) {
    ShowExportMessage(job.checkFailed);
    return 0;
  }
  if (!sf_format_check(&info)) {
    info.format &= SF_FORMAT_TYPEMASK;
    if (!sf_format_check(&info)) {
      ShowExportMessage(job.checkFailed);
      return 0;
    }
  }

  int trackCount = 0;
  WaveTrack** trackArray = nullptr;
  if (job.tracks) job.tracks->GetWaveTracks(job.selectedOnly, &trackCount, &trackArray);
  std::unique_ptr<WaveTrack*[]> tracks(trackArray);

  if (!ExportRatesConvertible(tracks.get(), trackCount, job.rate)) return 0;

  // The samples and room for the container's header and chunks.
  const std::uint64_t bytesNeeded = static_cast<std::uint64_t>(std::max<sf_count_t>(info.frames, 0)) *
                                        static_cast<std::uint64_t>(info.channels) *
                                        (IsHighBitSubtype(info.format) ? 4u : 2u) +
                                    4096u;
  ExportTargetFile target;
  errno = 0;
  if (!target.Create(fileName, bytesNeeded)) {
    if (errno == ENOSPC)
      ShowExportMessage(job.writeFailed(export_text::kNoRoomInPlace));
    else
      ShowExportMessage(job.openFailed(errno ? std::strerror(errno) : ""));
    return 0;
  }
  SF_INFO openInfo = info;
  SNDFILE* sndFile = sf_open(target.TempPath().c_str(), SFM_WRITE, &openInfo);
  if (!sndFile) {
    const char* reason = sf_strerror(nullptr);
    ShowExportMessage(job.openFailed(reason ? reason : ""));
    return 0;
  }

  const SampleFormat mixFormat = IsHighBitSubtype(info.format) ? SampleFormatFloat : SampleFormatInt16;

  std::string failure;
  {
    ExportProgress progress(job.t0, job.t1, job.caption, job.text);
    ExportMixer mixer(trackCount, tracks.get(), job.tracks ? job.tracks->GetTimeTrack() : nullptr, job.t0,
                      job.t1, info.channels, kBlockFrames, true, job.rate, mixFormat);
    while (!progress.Cancelled()) {
      const int n = mixer.Process(kBlockFrames);
      if (n == 0) break;
      errno = 0;
      const sf_count_t written =
          mixFormat == SampleFormatFloat
              ? sf_writef_float(sndFile, reinterpret_cast<const float*>(mixer.GetBuffer()),
                                static_cast<sf_count_t>(n))
              : sf_writef_short(sndFile, reinterpret_cast<const short*>(mixer.GetBuffer()),
                                static_cast<sf_count_t>(n));
      if (written != n) {
        // A full disk or a size limit: the file would be cut short.
        const char* reason = sf_strerror(sndFile);
        failure = reason && *reason ? reason : std::strerror(errno ? errno : ENOSPC);
        break;
      }
      progress.Step(mixer.GetCurrentTime());
    }
    if (failure.empty() && mixer.Failed()) failure = export_text::kMixOutOfMemory;
  }

  const int closeError = sf_close(sndFile);
  if (failure.empty() && closeError != 0) failure = sf_error_number(closeError);
  if (!failure.empty()) {
    target.Discard();
    ShowExportMessage(job.writeFailed(failure));
    return 0;
  }
  if (!target.Commit()) {
    ShowExportMessage(job.writeFailed(std::strerror(errno)));
    return 0;
  }
  return 1;
}

}  // namespace

int GetDefaultSndFileFormat() { return SF_FORMAT_WAV | SF_FORMAT_PCM_16; }

int ExportSoundFile(Project* project, int /*stereo*/, const char* fileName, int selectedOnly, double t0,
                    double t1) {
  const std::string name = fileName ? fileName : "";
  const FileEncodeOptions* options = GetExportEncodeOptions();
  int container = options->WavFileFormat & SF_FORMAT_TYPEMASK;
  if (const int named = ContainerOfName(name)) container = named;
  const int format =
      container | (options->WavSampleFormat == SampleFormatFloat ? kFloatSubtype : kPcm16Subtype);
  const std::string formatName = GetFormatHeaderName(format & SF_FORMAT_TYPEMASK);

  SoundFileJob job;
  job.tracks = project ? project->GetTracks() : nullptr;
  job.selectedOnly = selectedOnly != 0;
  job.t0 = t0;
  job.t1 = t1;
  job.format = format;
  job.rate = static_cast<double>(options->WavSampleRate);
  job.channels = options->WavChannelMode == 1 ? 2 : 1;
  job.checkFailed = export_text::kFormatUnsupported;
  job.openFailed = [shown = ExportShownPath(name)](const std::string& reason) {
    return export_text::CannotExportTo(shown, reason);
  };
  job.writeFailed = export_text::WriteFailedBecause;
  job.caption = export_text::kExportCaption;
  job.text = [&]() {
    return export_text::ExportingSoundFile(selectedOnly != 0, formatName, ExportDisplayName(name));
  };
  return MixToSoundFile(job, name);
}

int MixSelectionToWav(Project* project, int stereo, const char* path, int selectedOnly, double t0,
                      double t1) {
  SoundFileJob job;
  job.tracks = project ? project->GetTracks() : nullptr;
  job.selectedOnly = selectedOnly != 0;
  job.t0 = t0;
  job.t1 = t1;
  job.format = GetDefaultSndFileFormat();
  job.rate = project ? project->GetRate() : 0.0;
  job.channels = stereo ? 2 : 1;
  job.checkFailed = export_text::kHandleError;
  job.openFailed = [](const std::string&) { return std::string(export_text::kHandleErrorLower); };
  job.writeFailed = [](const std::string&) { return std::string(export_text::kHandleError); };
  job.caption = export_text::kProcessSelectionCaption;
  job.text = [] { return std::string(export_text::kProcessingText); };
  return MixToSoundFile(job, path ? path : "");
}

int MixClipboardToWav(Project* project, int stereo, const char* path) {
  TrackList* clipboard = GetClipboardTracks();
  if (!clipboard) {
    ShowExportMessage(export_text::kHandleError);
    return 0;
  }
  SoundFileJob job;
  job.tracks = clipboard;
  job.selectedOnly = false;
  job.t0 = clipboard->GetStartTime();
  job.t1 = clipboard->GetEndTime();
  job.format = GetDefaultSndFileFormat();
  job.rate = project ? project->GetRate() : 0.0;
  job.channels = stereo ? 2 : 1;
  job.checkFailed = export_text::kHandleError;
  job.openFailed = [](const std::string&) { return std::string(export_text::kHandleError); };
  job.writeFailed = [](const std::string&) { return std::string(export_text::kHandleError); };
  job.caption = export_text::kProcessClipboardCaption;
  job.text = [] { return std::string(export_text::kProcessingText); };
  return MixToSoundFile(job, path ? path : "");
}
