#include "audiofiles/import/ImportOGG.h"

#include <cstdint>
#include <cstring>

#include "audiofiles/import/ImportText.h"
#include "audiofiles/io/COGGStdioFile.h"
#include "core/model/WaveTrack.h"

namespace {

constexpr int kReadBufferBytes = 8192;
constexpr int kReadChunkBytes = 4096;
// Samples per channel between two progress reports.
constexpr std::int64_t kProgressInterval = 100000;

}  // namespace

OggImportFormat::OggImportFormat() { mExtensions.push_back("ogg"); }

std::string OggImportFormat::GetFormatDescription() { return import_text::kOggDescription; }

ImportFile* OggImportFormat::Open(const std::string& fileName) {
  auto* file = new COGGStdioFile;
  // Read-only, binary; others may read the file meanwhile but not write it.
  if (!file->Open(fileName, COGGStdioFile::modeRead | COGGStdioFile::typeBinary | 0x0020)) {
    delete file;
    return nullptr;
  }
  auto* vorbisFile = new OggVorbis_File;
  std::memset(vorbisFile, 0, sizeof *vorbisFile);
  if (ov_open(file->mStream, vorbisFile, nullptr, 0) < 0) {
    // On failure vorbisfile leaves the stream open for its owner to close.
    delete vorbisFile;
    delete file;
    return nullptr;
  }
  return new OggImportFile(file, vorbisFile);
}

OggImportFile::OggImportFile(COGGStdioFile* file, OggVorbis_File* vorbisFile)
    : mFile(file), mVorbisFile(vorbisFile) {}

OggImportFile::~OggImportFile() {
  ov_clear(mVorbisFile);  // closes the stream
  mFile->Detach();        // so the file object does not close it again
  delete mVorbisFile;
  delete mFile;
}

std::string OggImportFile::GetFileDescription() { return import_text::kOggDescription; }

std::string OggImportFile::ErrorText(long code) { return import_text::OggErrorText(code); }

int OggImportFile::Import(TrackFactory* trackFactory, Track*** outTracks, int* outNumTracks) {
  mErrorMessage.clear();
  auto damaged = [this](long code) {
    mErrorMessage = import_text::OggDamaged(code);
    return 0;
  };

  // Start at the first sample of the first logical stream.
  if (const int r = ov_pcm_seek(mVorbisFile, 0); r < 0) return damaged(r);
  const vorbis_info* vi = ov_info(mVorbisFile, -1);
  if (!vi || vi->channels < 1 || vi->rate < 1) return damaged(OV_EBADHEADER);
  const int channels = vi->channels;
  if (channels > kMaxImportChannels) {
    mErrorMessage = import_text::TooManyChannels(channels, kMaxImportChannels);
    return 0;
  }

  ImportedTracks tracks;
  *outNumTracks = channels;
  tracks.Make(trackFactory, channels, SampleFormatInt16, static_cast<double>(vi->rate));

  alignas(std::int16_t) char buffer[kReadBufferBytes];
  int firstStream = -1;
  std::int64_t sinceReport = 0;
  for (;;) {
    int bitstream = 0;
    const long bytes = ov_read(mVorbisFile, buffer, kReadChunkBytes, /*bigendianp=*/0,
                               /*word=*/2, /*sgned=*/1, &bitstream);
    if (bytes == 0) break;  // end of the file
    // A read error or a gap in the data: the file cannot be imported whole,
    // and a silently shortened import would look like the real thing.
    if (bytes < 0) return damaged(bytes);
    // Only the first logical stream of a chained file is imported, without
    // any samples of the next one.
    if (firstStream < 0)
      firstStream = bitstream;
    else if (bitstream != firstStream)
      break;

    const std::int32_t samples = static_cast<std::int32_t>(bytes / channels / 2);
    for (int c = 0; c < channels; ++c) {
      if (!tracks[c]->Append(buffer + c * 2, SampleFormatInt16, samples, static_cast<unsigned>(channels))) {
        mErrorMessage = import_text::kStoreFailed;
        return 0;
      }
    }

    sinceReport += samples;
    if (sinceReport > kProgressInterval && HasProgressCallback()) {
      sinceReport -= kProgressInterval;
      const double total = ov_time_total(mVorbisFile, bitstream);
      const double now = ov_time_tell(mVorbisFile);
      if (ReportProgress(total > 0.0 ? now / total : 0.0)) return 0;
    }
  }

  ReportDone();
  if (!tracks.FlushAll()) {
    mErrorMessage = import_text::kStoreFailed;
    return 0;
  }
  tracks.HandOut(outTracks, outNumTracks);
  return 1;
}
