#include "audiofiles/import/ImportMP3Stretches.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "audiofiles/import/ImportWorkers.h"

namespace {

// The frames at the start that tell the file's bytes per sample.
constexpr int kSampleFrames = 64;
constexpr std::int64_t kSampleBytes = 65536;
// How far past a planned cut its frame is looked for.
constexpr std::int64_t kCutSearchBytes = 16384;
// Layer III takes up to 511 bytes of a frame's data from the frames before it; the
// decoding of a stretch starts that far before its cut, and a few frames more, so
// that the filters carry the same state by the cut.
constexpr std::int64_t kReservoirBytes = 511;
constexpr int kLeadFrames = 3;

// Decodes frames into s: those starting before from are the lead-in (dropped), those
// at or after until (when until >= 0) the probe, after which it stops.
void CollectFrames(MP3FrameReader& reader, std::int64_t from, std::int64_t until, MP3Stretch& s,
                   const std::function<bool()>& stopping) {
  for (;;) {
    if (stopping && stopping()) {
      s.ended = MP3FrameReader::Result::Stopped;
      return;
    }
    const MP3FrameReader::Result r = reader.Next();
    if (r != MP3FrameReader::Result::Frame) {
      s.ended = r;
      return;
    }
    const mad_pcm& pcm = reader.Pcm();
    if (pcm.channels < 1) continue;
    const std::int64_t at = reader.FrameOffset();
    if (at < from) continue;
    if (until >= 0 && at >= until) {
      if (s.probeOffset < 0) {
        s.probeOffset = at;
        s.probeChannels = pcm.channels;
        s.probeRate = static_cast<int>(pcm.samplerate);
      }
      AppendMP3Frame(pcm, s.probeLeft, s.probeRight);
      if (++s.probeFrames == kMP3ProbeFrames) {
        s.ended = MP3FrameReader::Result::Frame;
        return;
      }
      continue;
    }
    if (s.firstOffset < 0) {
      s.firstOffset = at;
      s.channels = pcm.channels;
      s.rate = static_cast<int>(pcm.samplerate);
    }
    AppendMP3Frame(pcm, s.left, s.right);
    if (s.headFrames < kMP3ProbeFrames) {
      ++s.headFrames;
      s.headSamples = s.left.size();
    }
  }
}

// The bytes per sample of the frames at offset first (a chain's start).
double BytesPerSample(int fd, std::int64_t first, std::int64_t end) {
  std::vector<unsigned char> bytes(static_cast<std::size_t>(std::min(kSampleBytes, end - first)));
  const std::int64_t got = ReadFileAt(fd, first, bytes.data(), bytes.size());
  std::int64_t p = 0, samples = 0;
  for (int frames = 0; frames < kSampleFrames && got > 0 && p + 4 <= got; ++frames) {
    MP3FrameHeader h;
    if (!ReadMP3FrameHeader(&bytes[static_cast<std::size_t>(p)], &h)) break;
    p += h.bytes;
    samples += h.samples;
  }
  return samples > 0 ? static_cast<double>(p) / static_cast<double>(samples) : 0.0;
}

// Where the decoding of the stretch cut at `cut` starts: at a frame far enough before
// it, or, when no frames lead to the cut, that many bytes before it (libmad then finds
// the frames by itself).
std::int64_t LeadIn(int fd, std::int64_t begin, std::int64_t cut, std::int64_t end) {
  unsigned char head[4] = {};
  MP3FrameHeader h;
  const int frameBytes =
      ReadFileAt(fd, cut, head, sizeof head) == 4 && ReadMP3FrameHeader(head, &h) ? h.bytes : 0;
  const std::int64_t from = std::max(begin, cut - (2 * kReservoirBytes + kLeadFrames * frameBytes));
  const std::int64_t frame = FindMP3FrameChain(fd, from, cut, end);
  return frame >= 0 && MP3FramesReach(fd, frame, cut) ? frame : from;
}

}  // namespace

bool PlanMP3Stretches(int fd, std::int64_t begin, std::int64_t end, const ImportConcurrency& concurrency,
                      MP3StretchPlan* plan) {
  const std::int64_t first = FindMP3FrameChain(fd, begin, std::min(end, begin + kSampleBytes), end);
  if (first < 0) return false;
  const double bytesPerSample = BytesPerSample(fd, first, end);
  if (!(bytesPerSample > 0.0)) return false;
  if (static_cast<double>(end - begin) < bytesPerSample * static_cast<double>(concurrency.minParallelSamples))
    return false;

  const std::int64_t stretchBytes =
      std::max<std::int64_t>(1, static_cast<std::int64_t>(bytesPerSample * concurrency.stretchSamples));
  MP3StretchPlan p;
  p.end = end;
  p.bytesPerSample = bytesPerSample;
  p.cuts.push_back(begin);
  p.leadIns.push_back(begin);
  // The last stretch is at least half as long as the others.
  for (std::int64_t target = begin + stretchBytes; target + stretchBytes / 2 < end; target += stretchBytes) {
    const std::int64_t cut = FindMP3FrameChain(fd, target, target + kCutSearchBytes, end);
    if (cut <= p.cuts.back()) continue;
    p.cuts.push_back(cut);
    p.leadIns.push_back(LeadIn(fd, begin, cut, end));
  }
  if (p.Count() < 2) return false;
  *plan = std::move(p);
  return true;
}

void MP3Stretch::Clear() {
  left.clear();
  right.clear();
  probeLeft.clear();
  probeRight.clear();
  firstOffset = probeOffset = -1;
  channels = rate = probeChannels = probeRate = 0;
  headFrames = probeFrames = 0;
  headSamples = 0;
  ended = MP3FrameReader::Result::Frame;
  reader.reset();
}

std::unique_ptr<MP3Stretch> DecodeMP3Stretch(int fd, const MP3StretchPlan& plan, int index,
                                             std::unique_ptr<MP3Stretch> reuse,
                                             const std::function<bool()>& stopping) {
  std::unique_ptr<MP3Stretch> s = reuse ? std::move(reuse) : std::make_unique<MP3Stretch>();
  s->Clear();
  const std::int64_t until = index + 1 < plan.Count() ? plan.cuts[static_cast<std::size_t>(index) + 1] : -1;
  const std::int64_t bytes = (until >= 0 ? until : plan.end) - plan.cuts[static_cast<std::size_t>(index)];
  const std::size_t expected =
      static_cast<std::size_t>(static_cast<double>(bytes) / plan.bytesPerSample) + 2 * kMP3MaxFrameSamples;
  s->left.reserve(expected);
  s->right.reserve(expected);
  s->reader = std::make_unique<MP3FrameReader>(fd, plan.leadIns[static_cast<std::size_t>(index)], plan.end);
  CollectFrames(*s->reader, plan.cuts[static_cast<std::size_t>(index)], until, *s, stopping);
  return s;
}

bool MP3StretchesJoin(const MP3Stretch& previous, const MP3Stretch& next) {
  if (previous.ended != MP3FrameReader::Result::Frame || next.firstOffset != previous.probeOffset ||
      next.channels != previous.probeChannels || next.rate != previous.probeRate ||
      next.headSamples != previous.probeLeft.size())
    return false;
  const std::size_t bytes = next.headSamples * sizeof(float);
  return std::memcmp(next.left.data(), previous.probeLeft.data(), bytes) == 0 &&
         std::memcmp(next.right.data(), previous.probeRight.data(), bytes) == 0;
}

std::unique_ptr<MP3Stretch> ContinueMP3Stretch(MP3Stretch& previous, const MP3StretchPlan& plan, int index) {
  auto s = std::make_unique<MP3Stretch>();
  s->reader = std::move(previous.reader);
  s->left = std::move(previous.probeLeft);
  s->right = std::move(previous.probeRight);
  s->firstOffset = previous.probeOffset;
  s->channels = previous.probeChannels;
  s->rate = previous.probeRate;
  s->headFrames = previous.probeFrames;
  s->headSamples = s->left.size();
  if (previous.ended != MP3FrameReader::Result::Frame || !s->reader) {
    s->ended = previous.ended == MP3FrameReader::Result::Frame ? MP3FrameReader::Result::End : previous.ended;
    return s;
  }
  const std::int64_t until = index + 1 < plan.Count() ? plan.cuts[static_cast<std::size_t>(index) + 1] : -1;
  CollectFrames(*s->reader, std::numeric_limits<std::int64_t>::min(), until, *s, nullptr);
  return s;
}
