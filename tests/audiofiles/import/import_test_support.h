#pragma once
// Shared by the importer tests: the shared track project (a fresh temporary
// folder holding the block files of a directory manager, a track factory on it),
// files made by sox, lame and oggenc, and readers of what an import produced.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audiofiles/import/Importer.h"
#include "core/model/DirManager.h"
#include "core/model/Track.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/TrackProject.h"

namespace importtest {

using testsupport::HaveProgram;
using testsupport::ReadBytes;
using testsupport::Shell;
using testsupport::WriteBytes;

// Raw little-endian 32-bit floats, as "sox file -t f32 -" writes them.
inline std::vector<float> ReadFloats(const std::string& path) {
  std::vector<unsigned char> b = ReadBytes(path);
  std::vector<float> f(b.size() / 4);
  std::memcpy(f.data(), b.data(), f.size() * 4);
  return f;
}

inline std::vector<std::int16_t> ReadShorts(const std::string& path) {
  std::vector<unsigned char> b = ReadBytes(path);
  std::vector<std::int16_t> s(b.size() / 2);
  std::memcpy(s.data(), b.data(), s.size() * 2);
  return s;
}

struct Imported {
  int count = 0;
  std::vector<std::unique_ptr<WaveTrack>> tracks;
  std::string error;
};

// The samples of a track (blocks and append buffer flushed), as floats.
inline std::vector<float> Samples(const WaveTrack& t) {
  std::vector<float> s(static_cast<std::size_t>(t.GetNumSamples()));
  if (!s.empty()) {
    EXPECT_TRUE(t.Get(reinterpret_cast<SamplePtr>(s.data()), SampleFormatFloat, 0,
                      static_cast<std::int32_t>(s.size())));
  }
  return s;
}

inline std::vector<std::int16_t> Shorts(const WaveTrack& t) {
  std::vector<std::int16_t> s(static_cast<std::size_t>(t.GetNumSamples()));
  if (!s.empty()) {
    EXPECT_TRUE(t.Get(reinterpret_cast<SamplePtr>(s.data()), SampleFormatInt16, 0,
                      static_cast<std::int32_t>(s.size())));
  }
  return s;
}

struct CancelAt {
  int at;  // the call that answers "stop" (1 = the first)
  int calls = 0;
  static int Callback(void* self, float) {
    auto* c = static_cast<CancelAt*>(self);
    return ++c->calls >= c->at ? 1 : 0;
  }
};

// The shared track project: a temporary folder with a "blocks" folder as the
// program-wide temporary folder, a directory manager and a track factory on it.
class ImportTest : public ::testing::Test {
protected:
  std::string Path(const std::string& name) const { return project / name; }

  // Files in the block folder: what the tracks alive still hold.
  int BlockFilesOnDisk() const { return project.BlockFilesOnDisk(); }

  // A cancel at the at-th progress call: nothing is imported, the error stays as it
  // was, no other format is tried after the user said stop and no block is left.
  void ExpectCancelLeavesNothing(const std::string& path, int at) {
    CancelAt cancel{at};
    auto r = Import(path, &CancelAt::Callback, &cancel, "unchanged");
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(r.error, "unchanged");
    EXPECT_EQ(cancel.calls, at);
    EXPECT_EQ(BlockFilesOnDisk(), 0);
  }

  Imported Import(const std::string& path, ImportProgressCallback cb = nullptr, void* userData = nullptr,
                  const std::string& initialError = "Import Error!!") {
    Imported r;
    Track** tracks = nullptr;
    r.error = initialError;
    r.count = importer.Import(path, factory, &tracks, r.error, cb, userData);
    if (r.count > 0) {
      EXPECT_NE(tracks, nullptr);
      for (int i = 0; i < r.count; ++i) {
        EXPECT_EQ(tracks[i]->GetKind(), Track::Wave);
        r.tracks.emplace_back(static_cast<WaveTrack*>(tracks[i]));
      }
      delete[] tracks;
    } else {
      EXPECT_EQ(tracks, nullptr);
    }
    return r;
  }

  // A file written by libsndfile: frames x channels samples, sample i of
  // channel c being Value(i, c) / 128 (exact in every subtype from 8 bits
  // up, so the import must give it back exactly).
  static int Value(std::int64_t i, int c) { return static_cast<int>((i * 37 + c * 1001) % 255) - 127; }
  bool WriteSndfile(const std::string& path, int format, int channels, int rate, std::int64_t frames) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    // Integers for the integer subtypes (libsndfile shifts them down to the
    // file's width), floats for the float subtypes.
    std::vector<int> ints(static_cast<std::size_t>(frames * channels));
    std::vector<float> floats(ints.size());
    for (std::int64_t i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c) {
        ints[static_cast<std::size_t>(i * channels + c)] = Value(i, c) * (1 << 24);
        floats[static_cast<std::size_t>(i * channels + c)] = Value(i, c) / 128.0f;
      }
    const int subtype = format & SF_FORMAT_SUBMASK;
    const bool ok = (subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE)
                        ? sf_writef_float(f, floats.data(), frames) == frames
                        : sf_writef_int(f, ints.data(), frames) == frames;
    sf_close(f);
    return ok;
  }

  testsupport::TrackProject project;
  const std::string blocks = project.blocks();
  TrackFactory* factory = project.factory();
  Importer importer;
};

// Skips the test when an outside program is missing.
#define REQUIRE_PROGRAM(name)                                                       \
  do {                                                                              \
    if (!::importtest::HaveProgram(name)) GTEST_SKIP() << name " is not installed"; \
  } while (0)

}  // namespace importtest
