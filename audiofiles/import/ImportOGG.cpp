#include "audiofiles/import/ImportOGG.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "audiofiles/import/ImportBlockWriter.h"
#include "audiofiles/import/ImportMemory.h"
#include "audiofiles/import/ImportStretches.h"
#include "audiofiles/import/ImportText.h"
#include "audiofiles/import/ImportWorkers.h"
#include "audiofiles/io/COGGStdioFile.h"
#include "core/model/WaveTrack.h"

namespace {

constexpr int kReadBufferBytes = 8192;
constexpr int kReadChunkBytes = 4096;
// Samples per channel between two progress reports.
constexpr std::int64_t kProgressInterval = 100000;
// How long the calling thread waits for a stretch before it shows the progress (and
// looks for a Cancel) again.
constexpr int kPollMs = 50;

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

namespace {

// One helper's own reading of the file: vorbisfile over the shared descriptor, read
// with pread at an offset of its own.
struct OggReader {
  int fd = -1;
  std::int64_t offset = 0;
  std::int64_t size = 0;
  OggVorbis_File vf{};
  bool open = false;
  long openError = 0;

  ~OggReader() {
    if (open) ov_clear(&vf);
  }

  static size_t Read(void* out, size_t size, size_t count, void* self) {
    auto* r = static_cast<OggReader*>(self);
    if (size == 0) return 0;
    const std::int64_t n = ReadFileAt(r->fd, r->offset, static_cast<unsigned char*>(out), size * count);
    if (n <= 0) return 0;
    r->offset += n;
    return static_cast<size_t>(n) / size;
  }
  static int Seek(void* self, ogg_int64_t offset, int whence) {
    auto* r = static_cast<OggReader*>(self);
    const std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? r->offset : r->size;
    if (base + offset < 0) return -1;
    r->offset = base + offset;
    return 0;
  }
  static long Tell(void* self) { return static_cast<long>(static_cast<OggReader*>(self)->offset); }

  bool Open(int descriptor) {
    if (open || openError) return open;
    fd = descriptor;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
      openError = OV_EREAD;
      return false;
    }
    size = st.st_size;
    const ov_callbacks callbacks{&OggReader::Read, &OggReader::Seek, nullptr, &OggReader::Tell};
    const int r = ov_open_callbacks(this, &vf, nullptr, 0, callbacks);
    if (r < 0) {
      openError = r;
      return false;
    }
    open = true;
    return true;
  }
};

// The samples of one stretch, a vector per channel.
struct OggStretch : StretchDecoding::Stretch {
  std::vector<ImportVector<std::int16_t>> channels;
  long error = 0;            // vorbisfile's error code when the decoding failed
  bool streamEnded = false;  // the first logical stream (or the file) ended in it
};

}  // namespace

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

  // A long first stream is decoded in stretches on the helper threads (vorbisfile
  // seeks to the sample, so each gives exactly what one pass gives there).
  const ImportConcurrency& concurrency = GetImportConcurrency();
  const ogg_int64_t total = ov_seekable(mVorbisFile) ? ov_pcm_total(mVorbisFile, 0) : -1;
  long failure = 0;
  const Outcome outcome = total >= concurrency.minParallelSamples
                              ? ImportInStretches(tracks, total, concurrency.stretchSamples, &failure)
                              : ImportInOnePass(tracks, &failure);
  switch (outcome) {
    case Outcome::Decoded:
      break;
    case Outcome::Damaged:
      return damaged(failure);
    case Outcome::StoreFailed:
      mErrorMessage = import_text::kStoreFailed;
      return 0;
    case Outcome::Cancelled:
      return 0;
  }
  ReportDone();
  return HandOutTracks(tracks, outTracks, outNumTracks);
}

OggImportFile::Outcome OggImportFile::ImportInOnePass(ImportedTracks& tracks, long* failure) {
  const int channels = tracks.Count();
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
    if (bytes < 0) {
      *failure = bytes;
      return Outcome::Damaged;
    }
    // Only the first logical stream of a chained file is imported, without
    // any samples of the next one.
    if (firstStream < 0)
      firstStream = bitstream;
    else if (bitstream != firstStream)
      break;

    const std::int32_t samples = static_cast<std::int32_t>(bytes / channels / 2);
    for (int c = 0; c < channels; ++c)
      if (!tracks[c]->Append(buffer + c * 2, SampleFormatInt16, samples, static_cast<unsigned>(channels)))
        return Outcome::StoreFailed;

    sinceReport += samples;
    if (sinceReport > kProgressInterval && HasProgressCallback()) {
      sinceReport -= kProgressInterval;
      const double total = ov_time_total(mVorbisFile, bitstream);
      const double now = ov_time_tell(mVorbisFile);
      if (ReportProgress(total > 0.0 ? now / total : 0.0)) return Outcome::Cancelled;
    }
  }
  return Outcome::Decoded;
}

OggImportFile::Outcome OggImportFile::ImportInStretches(ImportedTracks& tracks, std::int64_t total,
                                                        std::int64_t stretchSamples, long* failure) {
  const int channels = tracks.Count();
  const int fd = fileno(mFile->mStream);
  stretchSamples = std::max<std::int64_t>(1, stretchSamples);
  const int count = static_cast<int>((total + stretchSamples - 1) / stretchSamples);

  ImportWorkers workers;
  std::vector<std::unique_ptr<OggReader>> readers(static_cast<std::size_t>(workers.Count()));
  for (auto& r : readers) r = std::make_unique<OggReader>();
  ImportBlockWriter writer(tracks, workers);
  StretchDecoding decoding(
      workers, count,
      [&, fd, channels, total, stretchSamples, count](int worker, int index,
                                                      std::unique_ptr<StretchDecoding::Stretch> reuse,
                                                      const std::function<bool()>& stopping) {
        std::unique_ptr<OggStretch> s(reuse ? static_cast<OggStretch*>(reuse.release()) : new OggStretch);
        s->error = 0;
        s->streamEnded = false;
        OggReader& reader = *readers[static_cast<std::size_t>(worker)];
        if (!reader.Open(fd)) {
          s->error = reader.openError;
          return std::unique_ptr<StretchDecoding::Stretch>(std::move(s));
        }
        const std::int64_t from = index * stretchSamples;
        // The last stretch reads on to the end of the first stream, as one pass does.
        const std::int64_t to = index + 1 < count ? std::min(total, from + stretchSamples) : -1;
        s->channels.resize(static_cast<std::size_t>(channels));
        for (auto& c : s->channels) {
          c.clear();
          c.reserve(static_cast<std::size_t>(stretchSamples));
        }
        if (const int r = ov_pcm_seek(&reader.vf, from); r < 0) {
          s->error = r;
          return std::unique_ptr<StretchDecoding::Stretch>(std::move(s));
        }
        alignas(std::int16_t) char buffer[kReadBufferBytes];
        std::int64_t at = from;
        while ((to < 0 || at < to) && !stopping()) {
          int bitstream = 0;
          const long bytes = ov_read(&reader.vf, buffer, kReadChunkBytes, 0, 2, 1, &bitstream);
          if (bytes < 0) {
            s->error = bytes;
            break;
          }
          if (bytes == 0 || bitstream != 0) {
            s->streamEnded = true;
            break;
          }
          std::int64_t samples = bytes / channels / 2;
          if (to >= 0) samples = std::min(samples, to - at);
          const auto* words = reinterpret_cast<const std::int16_t*>(buffer);
          for (int c = 0; c < channels; ++c) {
            ImportVector<std::int16_t>& out = s->channels[static_cast<std::size_t>(c)];
            for (std::int64_t i = 0; i < samples; ++i) out.push_back(words[i * channels + c]);
          }
          at += samples;
        }
        if (to < 0 && !stopping()) s->streamEnded = true;
        return std::unique_ptr<StretchDecoding::Stretch>(std::move(s));
      });

  for (int k = 0; k < count; ++k) {
    std::unique_ptr<OggStretch> s;
    while (!s) {
      s.reset(static_cast<OggStretch*>(decoding.Take(kPollMs).release()));
      if (!s && ReportProgress(static_cast<double>(k) / count)) return Outcome::Cancelled;
    }
    if (s->error < 0) {
      *failure = s->error;
      return Outcome::Damaged;
    }
    for (int c = 0; c < channels; ++c) {
      const ImportVector<std::int16_t>& samples = s->channels[static_cast<std::size_t>(c)];
      if (!writer.Append(c, reinterpret_cast<ConstSamplePtr>(samples.data()), SampleFormatInt16,
                         static_cast<std::int64_t>(samples.size())))
        return Outcome::StoreFailed;
    }
    if (s->streamEnded) break;
    decoding.Recycle(std::move(s));
    if (ReportProgress(static_cast<double>(k + 1) / count)) return Outcome::Cancelled;
  }
  decoding.Stop();
  return writer.Finish() ? Outcome::Decoded : Outcome::StoreFailed;
}
