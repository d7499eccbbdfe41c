#include "audiofiles/export/ExportMP3.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/io/COGGStdioFile.h"
#include "audiofiles/io/IoText.h"
#include "audiofiles/io/LameEncoder.h"
#include "core/model/SampleFormat.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "audiofiles/export/ExportEncodeOptions.h"
#include "audiofiles/export/ExportMixer.h"
#include "audiofiles/export/ExportSupport.h"
#include "audiofiles/export/ExportText.h"
#include "core/project/Project.h"

namespace {
constexpr unsigned kFileFlags =
    COGGStdioFile::modeCreate | COGGStdioFile::modeWrite | COGGStdioFile::typeBinary;
}  // namespace

int ExportMP3(Project* project, int /*stereo*/, const char* fileName, int selectedOnly, double t0,
              double t1) {
  const std::string name = fileName ? fileName : "";

  // An encoder of its own: a direct recording may be using the program-wide one.
  LameEncoder encoder;
  if (!encoder.Load()) {
    ShowExportMessage(io_text::kEncoderCannotOpen);
    return 0;
  }

  ExportTargetFile target;
  COGGStdioFile file;
  errno = 0;
  if (!target.Create(name) || !file.Open(target.TempPath(), kFileFlags)) {
    ShowExportMessage(
        export_text::CannotOpenTarget(ExportShownPath(name), errno ? std::strerror(errno) : ""));
    return 0;
  }

  FileEncodeOptions* options = GetExportEncodeOptions();
  const double rate = options->MP3SampleRate;
  encoder.SetBitrate(128);
  const int chunk = encoder.InitStream(options);
  if (chunk <= 0) {
    ShowExportMessage(export_text::Mp3SettingsRefused(encoder.GetLastError()));
    return 0;
  }
  const bool stereo = options->MP3ChannelMode != 0;
  const int channels = stereo ? 2 : 1;
  const int outSize = encoder.GetOutputBufferSize();
  std::vector<unsigned char> out(static_cast<std::size_t>(outSize > 0 ? outSize : 0) + 7200);

  int trackCount = 0;
  WaveTrack** trackArray = nullptr;
  TrackList* list = project ? project->GetTracks() : nullptr;
  if (list) list->GetWaveTracks(selectedOnly != 0, &trackCount, &trackArray);
  std::unique_ptr<WaveTrack*[]> tracks(trackArray);
  if (!ExportRatesConvertible(tracks.get(), trackCount, rate)) return 0;

  bool failed = false;
  auto put = [&](int bytes) {
    if (bytes < 0) {
      failed = true;  // the encoder lost its stream
      return;
    }
    if (bytes == 0) return;
    try {
      file.Write(out.data(), static_cast<std::size_t>(bytes));
    } catch (const StdioFileException&) {
      failed = true;
    }
  };

  {
    ExportProgress progress(t0, t1, export_text::kExportCaption, [&] {
      return export_text::ExportingMp3(selectedOnly != 0, ExportDisplayName(name));
    });
    ExportMixer mixer(trackCount, tracks.get(), list ? list->GetTimeTrack() : nullptr, t0, t1, channels,
                      chunk, true, rate, SampleFormatInt16);
    while (!failed && !progress.Cancelled()) {
      const int n = mixer.Process(chunk);
      if (n == 0) break;
      const short* samples = reinterpret_cast<const short*>(mixer.GetBuffer());
      int bytes;
      if (n < chunk)
        bytes = stereo ? encoder.EncodeSamples(samples, n * channels, out.data())
                       : encoder.EncodeMonoSamples(samples, n, out.data());
      else
        bytes =
            stereo ? encoder.EncodeChunk(samples, out.data()) : encoder.EncodeMonoChunk(samples, out.data());
      put(bytes);
      if (!failed) progress.Step(mixer.GetCurrentTime());
    }
    if (mixer.Failed()) failed = true;
  }

  if (failed) {
    // The file would be cut short: no flush, no file.
    encoder.CloseStream();
    file.Abort();
    ShowExportMessage(export_text::kWriteFailed);
    return 0;
  }
  put(encoder.Finish(out.data()));
  try {
    // The stream began with a blank frame kept for the information frame,
    // which only now can tell the length, seek table, delay and padding.
    const std::vector<unsigned char> info = encoder.GetInfoFrame();
    if (!failed && !info.empty()) {
      file.Seek(0, COGGStdioFile::begin);
      file.Write(info.data(), info.size());
    }
    file.Close();
  } catch (const StdioFileException&) {
    failed = true;
  }
  if (failed || !target.Commit()) {
    file.Abort();
    ShowExportMessage(export_text::kWriteFailed);
    return 0;
  }
  return 1;
}
