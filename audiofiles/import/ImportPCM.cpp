#include "audiofiles/import/ImportPCM.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "audiofiles/import/ImportBlockWriter.h"
#include "audiofiles/import/ImportText.h"
#include "audiofiles/import/ImportWorkers.h"
#include "core/model/SampleFormat.h"
#include "core/model/WaveTrack.h"

namespace {

// Frames are read a block at a time: whole blocks then go from each
// channel's buffer to the track without being moved around in its append
// buffer. With many channels the reads get shorter, so the interleaved buffer
// stays within a few megabytes.
constexpr std::int64_t kReadBufferSamples = 1 << 20;

}  // namespace

PCMImportFormat::PCMImportFormat() { GetSupportedExtensions(mExtensions); }

std::string PCMImportFormat::GetFormatDescription() { return import_text::kPcmDescription; }

ImportFile* PCMImportFormat::Open(const std::string& fileName) {
  SF_INFO info{};
  SNDFILE* file = sf_open(fileName.c_str(), SFM_READ, &info);
  if (!file) return nullptr;
  return new PCMImportFile(fileName, file, info);
}

PCMImportFile::PCMImportFile(const std::string& fileName, SNDFILE* file, const SF_INFO& info)
    : mName(fileName), mFile(file), mInfo(info) {}

PCMImportFile::~PCMImportFile() { sf_close(mFile); }

std::string PCMImportFile::GetFileDescription() { return GetFormatHeaderName(mInfo.format); }

int PCMImportFile::Import(TrackFactory* trackFactory, Track*** outTracks, int* outNumTracks) {
  mErrorMessage.clear();
  const int channels = mInfo.channels;
  if (channels < 1 || mInfo.samplerate < 1) {
    mErrorMessage = import_text::DamagedHeader(channels, mInfo.samplerate);
    return 0;
  }
  if (channels > kMaxImportChannels) {
    mErrorMessage = import_text::TooManyChannels(channels, kMaxImportChannels);
    return 0;
  }

  ImportedTracks tracks;
  *outNumTracks = channels;
  tracks.Make(trackFactory, channels, mFormat, mInfo.samplerate);

  const std::int64_t block = tracks[0]->GetMaxBlockSize();
  const std::int64_t frames = std::max<std::int64_t>(1, std::min(block, kReadBufferSamples / channels));
  std::vector<float> buffer(static_cast<std::size_t>(frames * channels));
  std::vector<float> channelBuffer(static_cast<std::size_t>(frames));

  // The header's frame count only drives the progress estimate: a damaged
  // header may announce more or fewer frames than the file holds.
  const double total = mInfo.frames > 0 ? static_cast<double>(mInfo.frames) : 0.0;

  // A long file's blocks are written by helper threads while this one reads on.
  std::optional<ImportWorkers> workers;
  std::optional<ImportBlockWriter> writer;
  if (mInfo.frames >= GetImportConcurrency().minHelpedSamples) {
    workers.emplace();
    writer.emplace(tracks, *workers);
  }

  std::int64_t done = 0;
  for (;;) {
    const sf_count_t n = sf_readf_float(mFile, buffer.data(), frames);
    if (n <= 0) break;
    for (int c = 0; c < channels; ++c) {
      bool stored;
      if (writer) {
        stored = writer->Append(c, reinterpret_cast<ConstSamplePtr>(buffer.data() + c), SampleFormatFloat, n,
                                static_cast<unsigned>(channels));
      } else {
        const float* src = buffer.data() + c;
        for (sf_count_t i = 0; i < n; ++i) channelBuffer[i] = src[i * channels];
        stored = tracks[c]->Append(reinterpret_cast<ConstSamplePtr>(channelBuffer.data()), SampleFormatFloat,
                                   static_cast<std::int32_t>(n));
      }
      if (!stored) {
        mErrorMessage = import_text::kStoreFailed;
        return 0;
      }
    }
    done += n;
    if (total > 0.0 && ReportProgress(static_cast<double>(done) / total)) return 0;
    if (total <= 0.0 && ReportProgress(0.0)) return 0;
  }

  if (writer && !writer->Finish()) {
    mErrorMessage = import_text::kStoreFailed;
    return 0;
  }
  ReportDone();
  return HandOutTracks(tracks, outTracks, outNumTracks);
}
