#include "audiofiles/export/ExportOgg.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/io/COGGStdioFile.h"
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
// Frames mixed and handed to the encoder per step.
constexpr int kBlockFrames = 8192;

// The encoder's state, cleared in the reverse order of its making.
struct VorbisEncoder {
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  ogg_stream_state stream;
  bool infoUp = false;
  bool running = false;

  VorbisEncoder() {
    vorbis_info_init(&info);
    infoUp = true;
  }
  ~VorbisEncoder() {
    if (running) {
      ogg_stream_clear(&stream);
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
      vorbis_comment_clear(&comment);
    }
    if (infoUp) vorbis_info_clear(&info);
  }
};

}  // namespace

int ExportOgg(Project* project, int /*stereo*/, const char* fileName, int selectedOnly, double t0,
              double t1) {
  const std::string name = fileName ? fileName : "";

  ExportTargetFile target;
  COGGStdioFile file;
  errno = 0;
  if (!target.Create(name) || !file.Open(target.TempPath(), kFileFlags)) {
    ShowExportMessage(
        export_text::CannotOpenTarget(ExportShownPath(name), errno ? std::strerror(errno) : ""));
    return 0;
  }

  const FileEncodeOptions* options = GetExportEncodeOptions();
  const double rate = options->OGGSampleRate;
  const long bitRate = options->OGGBitRate;
  const bool stereo = options->OGGChannelMode == 1;
  const int channels = stereo ? 2 : 1;
  const float quality = static_cast<float>(options->OGGVBRQuality * 0.1);

  VorbisEncoder enc;
  int ret;
  if (options->OGGEncodeMode == 0) {
    ret = vorbis_encode_setup_managed(&enc.info, channels, static_cast<long>(rate + 0.5), -1, bitRate, -1);
    if (ret == 0) ret = vorbis_encode_ctl(&enc.info, OV_ECTL_RATEMANAGE_AVG, nullptr);
    if (ret == 0) ret = vorbis_encode_setup_init(&enc.info);
  } else {
    ret = vorbis_encode_init_vbr(&enc.info, channels, static_cast<long>(rate + 0.5), quality);
  }
  if (ret != 0) {
    ShowExportMessage(export_text::kOggEncoderFailed);
    return 0;
  }

  vorbis_comment_init(&enc.comment);
  vorbis_analysis_init(&enc.dsp, &enc.info);
  vorbis_block_init(&enc.dsp, &enc.block);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  ogg_stream_init(&enc.stream, std::rand());
  enc.running = true;

  bool failed = false;
  auto writePage = [&](const ogg_page& page) {
    try {
      file.Write(page.header, static_cast<std::size_t>(page.header_len));
      file.Write(page.body, static_cast<std::size_t>(page.body_len));
    } catch (const StdioFileException&) {
      failed = true;
    }
  };

  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&enc.dsp, &enc.comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&enc.stream, &header);
  ogg_stream_packetin(&enc.stream, &headerComment);
  ogg_stream_packetin(&enc.stream, &headerCode);
  ogg_page page;
  while (!failed && ogg_stream_flush(&enc.stream, &page) != 0) writePage(page);

  int trackCount = 0;
  WaveTrack** trackArray = nullptr;
  TrackList* list = project ? project->GetTracks() : nullptr;
  if (list) list->GetWaveTracks(selectedOnly != 0, &trackCount, &trackArray);
  std::unique_ptr<WaveTrack*[]> tracks(trackArray);
  if (!ExportRatesConvertible(tracks.get(), trackCount, rate)) return 0;

  {
    ExportProgress progress(t0, t1, export_text::kExportCaption,
                            [selectedOnly] { return export_text::ExportingOgg(selectedOnly != 0); });
    ExportMixer mixer(trackCount, tracks.get(), list ? list->GetTimeTrack() : nullptr, t0, t1, channels,
                      kBlockFrames, false, rate, SampleFormatFloat);
    bool eos = false;
    bool ending = false;
    while (!eos && !failed) {
      float** buffer = vorbis_analysis_buffer(&enc.dsp, kBlockFrames);
      // A cancel ends the stream after what was encoded, so the file stays whole.
      const int n = ending ? 0 : mixer.Process(kBlockFrames);
      if (n == 0) {
        vorbis_analysis_wrote(&enc.dsp, 0);
        ending = true;
      } else {
        for (int c = 0; c < channels; ++c)
          std::memcpy(buffer[c], mixer.GetChannelBuffer(c), sizeof(float) * n);
        vorbis_analysis_wrote(&enc.dsp, n);
      }
      while (!failed && vorbis_analysis_blockout(&enc.dsp, &enc.block) == 1) {
        vorbis_analysis(&enc.block, nullptr);
        vorbis_bitrate_addblock(&enc.block);
        ogg_packet packet;
        while (!failed && vorbis_bitrate_flushpacket(&enc.dsp, &packet)) {
          ogg_stream_packetin(&enc.stream, &packet);
          while (!failed && !eos && ogg_stream_pageout(&enc.stream, &page) != 0) {
            writePage(page);
            if (ogg_page_eos(&page)) eos = true;
          }
        }
        if (!ending && progress.Step(mixer.GetCurrentTime())) ending = true;
      }
    }
    // Mixing ran out of memory: the stream ended early and must not pass as whole.
    if (mixer.Failed()) failed = true;
  }

  if (failed) {
    // The stream would be cut short: no file.
    file.Abort();
    ShowExportMessage(export_text::kWriteFailed);
    return 0;
  }
  bool closed = true;
  try {
    file.Close();
  } catch (const StdioFileException&) {
    closed = false;
  }
  if (!closed || !target.Commit()) {
    ShowExportMessage(export_text::kCloseFailed);
    return 0;
  }
  return 1;
}
