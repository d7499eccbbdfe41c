// An MP3 file decoded in stretches at once, giving exactly the samples of one pass
// over the file.
//
// The file is cut at frames; each stretch holds the frames from its cut to the next.
// A frame's samples depend on the frames before it (layer III takes part of a frame's
// data from the frames before it, and the decoder's filters carry over from frame to
// frame), so the decoding of a stretch starts a few frames before its cut and drops
// their samples: by its cut the decoder is where one pass would be. That is checked,
// not assumed: each stretch decodes the first frames past its end too (its probe),
// and the next stretch must begin with the same frame and exactly the same samples.
// When it does not (damaged data near the cut), the stretch before decodes on
// instead, just as one pass would have.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "audiofiles/import/ImportMP3Frames.h"
#include "audiofiles/import/ImportMemory.h"
#include "audiofiles/import/ImportStretches.h"

struct ImportConcurrency;

// Frames past a stretch's end that the next one must begin with.
constexpr int kMP3ProbeFrames = 2;

struct MP3StretchPlan {
  // Where each stretch's first frame starts (the first at begin), and where its
  // decoding starts.
  std::vector<std::int64_t> cuts;
  std::vector<std::int64_t> leadIns;
  std::int64_t end = 0;  // the end of the frames
  double bytesPerSample = 0;
  int Count() const { return static_cast<int>(cuts.size()); }
};

// Cuts bytes [begin, end) of the file into stretches of about
// concurrency.stretchSamples samples. False when the file is too short for it (or its
// frames have no known length): it is decoded in one pass then.
bool PlanMP3Stretches(int fd, std::int64_t begin, std::int64_t end, const ImportConcurrency& concurrency,
                      MP3StretchPlan* plan);

struct MP3Stretch : StretchDecoding::Stretch {
  // The samples of the stretch's frames, left and right (a mono frame fills both).
  ImportVector<float> left, right;
  // Its first frame: where it starts, its channels and rate.
  std::int64_t firstOffset = -1;
  int channels = 0;
  int rate = 0;
  // Samples per channel of its first kMP3ProbeFrames frames.
  int headFrames = 0;
  std::size_t headSamples = 0;
  // The first frames past the next cut.
  ImportVector<float> probeLeft, probeRight;
  std::int64_t probeOffset = -1;
  int probeChannels = 0;
  int probeRate = 0;
  int probeFrames = 0;
  // How the decoding ended: Frame when it stopped after the probe (the file goes on).
  MP3FrameReader::Result ended = MP3FrameReader::Result::Frame;
  // Where the decoding stopped, for decoding on.
  std::unique_ptr<MP3FrameReader> reader;

  // Empty again, keeping the memory of its samples.
  void Clear();
};

// Decodes stretch index of the plan (on a helper thread), into reuse when given.
std::unique_ptr<MP3Stretch> DecodeMP3Stretch(int fd, const MP3StretchPlan& plan, int index,
                                             std::unique_ptr<MP3Stretch> reuse,
                                             const std::function<bool()>& stopping);
// Whether next begins exactly where previous's probe says one pass goes on.
bool MP3StretchesJoin(const MP3Stretch& previous, const MP3Stretch& next);
// Stretch index as one pass gives it: previous's decoding goes on from its probe.
std::unique_ptr<MP3Stretch> ContinueMP3Stretch(MP3Stretch& previous, const MP3StretchPlan& plan, int index);
