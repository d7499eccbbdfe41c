#include "audiofiles/import/ImportMP3.h"

#include <mad.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "audiofiles/import/ImportBlockWriter.h"
#include "audiofiles/import/ImportMP3Frames.h"
#include "audiofiles/import/ImportMP3InfoFrame.h"
#include "audiofiles/import/ImportMP3Stretches.h"
#include "audiofiles/import/ImportText.h"
#include "audiofiles/import/ImportWorkers.h"
#include "core/model/WaveTrack.h"

namespace {

// How long the calling thread waits for a stretch before it shows the progress
// (and looks for a Cancel) again.
constexpr int kPollMs = 50;

std::int64_t FileLength(std::FILE* file) {
  struct stat st {};
  if (fstat(fileno(file), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool ReadAt(std::FILE* file, std::int64_t at, unsigned char* out, std::size_t count) {
  return ReadFileAt(fileno(file), at, out, count) == static_cast<std::int64_t>(count);
}

}  // namespace

MP3ImportFormat::MP3ImportFormat() {
  for (const char* e : {"mp3", "mp2", "mpg", "mpeg"}) mExtensions.push_back(e);
}

std::string MP3ImportFormat::GetFormatDescription() { return import_text::kMp3Description; }

ImportFile* MP3ImportFormat::Open(const std::string& fileName) {
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return nullptr;
  // Only regular files: a device or a pipe could be endless.
  struct stat st {};
  if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  return new MP3ImportFile(file);
}

MP3ImportFile::MP3ImportFile(std::FILE* file) : mFile(file) {}

MP3ImportFile::~MP3ImportFile() { std::fclose(mFile); }

std::string MP3ImportFile::GetFileDescription() { return import_text::kMp3Description; }

void MP3ImportFile::FindAudioRange(std::FILE* file, std::int64_t length, std::int64_t* begin,
                                   std::int64_t* end) {
  *begin = 0;
  *end = length;
  unsigned char h[10];
  // ID3v2 tags (some files carry more than one, back to back). A tag that
  // claims to run past the end of the file is not taken for one.
  for (int tags = 0; tags < 16 && *begin + 10 <= length; ++tags) {
    if (!ReadAt(file, *begin, h, 10)) break;
    if (std::memcmp(h, "ID3", 3) != 0 || h[3] == 0xFF || h[4] == 0xFF ||
        ((h[6] | h[7] | h[8] | h[9]) & 0x80) != 0)
      break;
    const std::int64_t size = (static_cast<std::int64_t>(h[6]) << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
    const std::int64_t total = 10 + size + ((h[5] & 0x10) ? 10 : 0);
    if (*begin + total > length) break;
    *begin += total;
  }
  if (length - *begin >= 128 && ReadAt(file, length - 128, h, 3) && std::memcmp(h, "TAG", 3) == 0)
    *end = length - 128;
}

void MP3ImportFile::SkipInfoFrame(std::FILE* file, std::int64_t* begin, std::int64_t end, std::int64_t* skip,
                                  std::size_t* holdBack) {
  *skip = 0;
  *holdBack = 0;
  // The longest layer III frame: 320 kbit/s at 32 kHz, padded.
  unsigned char head[1441];
  const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(sizeof(head), end - *begin));
  if (want < 4) return;
  const std::int64_t read = ReadFileAt(fileno(file), *begin, head, want);
  if (read < 4) return;
  const std::size_t got = static_cast<std::size_t>(read);
  MP3InfoFrame info;
  if (!ReadMP3InfoFrame(head, got, &info) || info.frameBytes > end - *begin) return;
  *begin += info.frameBytes;
  if (info.hasGapless) {
    *skip = info.encoderDelay + kMP3DecoderDelay;
    *holdBack = static_cast<std::size_t>(std::max(0, info.encoderPadding - kMP3DecoderDelay));
  }
}

// Where the decoded samples go, in order: the tracks (made at the first frame, from
// its channels and rate), without the encoder's and the decoder's delay at the start
// and the encoder's padding at the end.
struct MP3ImportFile::Sink {
  TrackFactory* factory = nullptr;
  ImportWorkers* workers = nullptr;  // when set, the helpers write the blocks
  ImportedTracks tracks;
  std::optional<ImportBlockWriter> writer;
  int channels = 0;
  ImportVector<float> left, right;

  // Gapless trimming, from the stream's information frame: samples still to drop at
  // the start (the encoder's and the decoder's delay), and samples held back per
  // channel, never appended unless more audio follows them (the encoder's padding,
  // less the decoder's delay that moved it later).
  std::int64_t skip = 0;
  std::size_t holdBack = 0;
  std::vector<std::vector<float>> held;

  void Begin(int frameChannels, int rate) {
    // The first frame decides the channels and the rate of the tracks.
    channels = std::min(frameChannels, 2);
    tracks.Make(factory, channels, SampleFormatFloat, rate);
    held.resize(static_cast<std::size_t>(channels));
    if (workers) writer.emplace(tracks, *workers);
  }

  // One frame of one pass.
  bool Frame(const mad_pcm& pcm) {
    if (pcm.channels < 1) return true;
    if (channels == 0) Begin(pcm.channels, static_cast<int>(pcm.samplerate));
    left.clear();
    right.clear();
    // A mono frame in a stereo file feeds both tracks, not stale samples.
    AppendMP3Frame(pcm, left, right);
    return Take(left.data(), right.data(), left.size());
  }

  // The frames of one stretch.
  bool Stretch(const MP3Stretch& s) {
    if (s.firstOffset < 0 || s.left.empty()) return true;
    if (channels == 0) Begin(s.channels, s.rate);
    return Take(s.left.data(), s.right.data(), s.left.size());
  }

  bool Take(const float* l, const float* r, std::size_t n) {
    const std::size_t dropped =
        static_cast<std::size_t>(std::min<std::int64_t>(skip, static_cast<std::int64_t>(n)));
    skip -= static_cast<std::int64_t>(dropped);
    for (int c = 0; c < channels; ++c)
      if (!Hold(c, (c == 0 ? l : r) + dropped, n - dropped)) return false;
    return true;
  }

  // Appends what is more than holdBack samples before the end of what came so far.
  bool Hold(int c, const float* samples, std::size_t n) {
    if (n == 0) return true;
    std::vector<float>& h = held[static_cast<std::size_t>(c)];
    if (h.size() + n <= holdBack) {
      h.insert(h.end(), samples, samples + n);
      return true;
    }
    const std::size_t out = h.size() + n - holdBack;
    const std::size_t fromHeld = std::min(out, h.size());
    if (!Write(c, h.data(), fromHeld) || !Write(c, samples, out - fromHeld)) return false;
    h.erase(h.begin(), h.begin() + static_cast<std::ptrdiff_t>(fromHeld));
    h.insert(h.end(), samples + (out - fromHeld), samples + n);
    return true;
  }

  bool Write(int c, const float* samples, std::size_t n) {
    if (n == 0) return true;
    const auto data = reinterpret_cast<ConstSamplePtr>(samples);
    if (writer) return writer->Append(c, data, SampleFormatFloat, static_cast<std::int64_t>(n));
    return tracks[c]->Append(data, SampleFormatFloat, static_cast<std::int32_t>(n));
  }

  // Every sample taken is in the tracks (or waits in their append buffers).
  bool Finish() { return !writer || writer->Finish(); }
};

MP3ImportFile::Outcome MP3ImportFile::ImportInOnePass(std::int64_t begin, std::int64_t end,
                                                      std::int64_t length, Sink& sink) {
  MP3FrameReader reader(fileno(mFile), begin, end);
  reader.SetBeforeRead([this, length](const MP3FrameReader& r) {
    return ReportProgress(length > 0 ? static_cast<double>(r.Position()) / static_cast<double>(length) : 1.0);
  });
  for (;;) {
    switch (reader.Next()) {
      case MP3FrameReader::Result::Frame:
        if (!sink.Frame(reader.Pcm())) return Outcome::StoreFailed;
        break;
      case MP3FrameReader::Result::End:
        ReportDone();
        return Outcome::Decoded;
      case MP3FrameReader::Result::Stopped:
        return Outcome::Decoded;  // cancelled: what was decoded so far stays
      case MP3FrameReader::Result::ReadError:
        return Outcome::ReadFailed;
      case MP3FrameReader::Result::Broken:
        return Outcome::Broken;
    }
  }
}

MP3ImportFile::Outcome MP3ImportFile::ImportInStretches(const MP3StretchPlan& plan, std::int64_t length,
                                                        ImportWorkers& workers, Sink& sink) {
  const int fd = fileno(mFile);
  StretchDecoding decoding(
      workers, plan.Count(),
      [fd, &plan](int, int index, std::unique_ptr<StretchDecoding::Stretch> reuse,
                  const std::function<bool()>& stopping) {
        return std::unique_ptr<StretchDecoding::Stretch>(DecodeMP3Stretch(
            fd, plan, index, std::unique_ptr<MP3Stretch>(static_cast<MP3Stretch*>(reuse.release())),
            stopping));
      });
  std::unique_ptr<MP3Stretch> previous;
  for (int k = 0; k < plan.Count(); ++k) {
    const double fraction =
        static_cast<double>(plan.cuts[static_cast<std::size_t>(k)]) / static_cast<double>(length);
    std::unique_ptr<MP3Stretch> s;
    while (!s) {
      s.reset(static_cast<MP3Stretch*>(decoding.Take(kPollMs).release()));
      if (!s && ReportProgress(fraction)) {
        decoding.Stop();
        return Outcome::Decoded;  // cancelled: what was decoded so far stays
      }
    }
    if (previous && !MP3StretchesJoin(*previous, *s)) {
      decoding.Recycle(std::move(s));
      s = ContinueMP3Stretch(*previous, plan, k);
    }
    decoding.Recycle(std::move(previous));
    if (!sink.Stretch(*s)) return Outcome::StoreFailed;
    switch (s->ended) {
      case MP3FrameReader::Result::Frame:
        break;
      case MP3FrameReader::Result::End:
        decoding.Stop();
        ReportDone();
        return Outcome::Decoded;
      case MP3FrameReader::Result::Stopped:
        return Outcome::Decoded;
      case MP3FrameReader::Result::ReadError:
        return Outcome::ReadFailed;
      case MP3FrameReader::Result::Broken:
        return Outcome::Broken;
    }
    if (ReportProgress(fraction)) {
      decoding.Stop();
      return Outcome::Decoded;
    }
    // Its samples are in the tracks; what goes on is its probe and its decoder.
    previous = std::move(s);
  }
  ReportDone();
  return Outcome::Decoded;
}

int MP3ImportFile::Import(TrackFactory* trackFactory, Track*** outTracks, int* outNumTracks) {
  mErrorMessage.clear();
  const std::int64_t length = FileLength(mFile);
  if (length < 0) return 0;
  std::int64_t begin = 0, end = 0;
  FindAudioRange(mFile, length, &begin, &end);

  // The helpers go after the sink, whose block writer waits for them.
  std::optional<ImportWorkers> workers;
  Sink sink;
  sink.factory = trackFactory;
  SkipInfoFrame(mFile, &begin, end, &sink.skip, &sink.holdBack);

  MP3StretchPlan plan;
  Outcome outcome;
  if (PlanMP3Stretches(fileno(mFile), begin, end, GetImportConcurrency(), &plan)) {
    workers.emplace();
    sink.workers = &*workers;
    outcome = ImportInStretches(plan, length, *workers, sink);
  } else {
    outcome = ImportInOnePass(begin, end, length, sink);
  }
  if (outcome == Outcome::Decoded && !sink.Finish()) outcome = Outcome::StoreFailed;

  *outNumTracks = sink.tracks.Count();
  switch (outcome) {
    case Outcome::StoreFailed:
      mErrorMessage = import_text::kStoreFailed;
      return 0;
    case Outcome::ReadFailed:
      mErrorMessage = import_text::kReadIncomplete;
      return 0;
    case Outcome::Broken:
      return 0;
    case Outcome::Decoded:
      break;
  }
  if (sink.tracks.Empty()) return 0;  // no MPEG audio in it
  return HandOutTracks(sink.tracks, outTracks, outNumTracks);
}
