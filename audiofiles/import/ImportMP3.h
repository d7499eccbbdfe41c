// Import of MPEG audio files (layers I to III) decoded with libmad: every
// channel of the first frame becomes a float wave track. An encoder's
// information frame at the start is skipped (it is no audio), and the encoder
// delay and padding it tells are trimmed with the decoder's own delay, so the
// tracks hold exactly the samples that were encoded, in place. A long file is
// decoded in stretches on the helper threads (ImportMP3Stretches.h), with the
// same samples as one pass over it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "audiofiles/import/ImportFile.h"
#include "audiofiles/import/ImportFormat.h"

class ImportWorkers;
struct MP3StretchPlan;

class MP3ImportFormat final : public ImportFormat {
public:
  MP3ImportFormat();
  std::string GetFormatDescription() override;
  // Any readable regular file opens; whether it holds MPEG audio shows only
  // while decoding.
  ImportFile* Open(const std::string& fileName) override;
};

class MP3ImportFile final : public ImportFile {
public:
  // Takes over the open file.
  explicit MP3ImportFile(std::FILE* file);
  std::string GetFileDescription() override;
  // Damaged frames are skipped. A cancel ends decoding and keeps what was
  // decoded so far (the import succeeds when that is anything).
  int Import(TrackFactory* trackFactory, Track*** outTracks, int* outNumTracks) override;
  ~MP3ImportFile() override;

  // The bytes of the file that hold the frames: after any ID3v2 tags at the
  // start, before an ID3v1 tag at the end. Tag data can look like frame
  // headers, and one false frame at the start would set the channels and rate
  // of the whole import.
  static void FindAudioRange(std::FILE* file, std::int64_t length, std::int64_t* begin, std::int64_t* end);

  // An information frame at begin (see ImportMP3InfoFrame.h) is not audio:
  // moves begin past it. When it tells the encoder's delay and padding, the
  // samples a decoder gives before and after the source: *skip at the start,
  // *holdBack at the end (per channel).
  static void SkipInfoFrame(std::FILE* file, std::int64_t* begin, std::int64_t end, std::int64_t* skip,
                            std::size_t* holdBack);

private:
  struct Sink;
  enum class Outcome { Decoded, StoreFailed, ReadFailed, Broken };
  Outcome ImportInOnePass(std::int64_t begin, std::int64_t end, std::int64_t length, Sink& sink);
  Outcome ImportInStretches(const MP3StretchPlan& plan, std::int64_t length, ImportWorkers& workers,
                            Sink& sink);

  std::FILE* mFile;
};
