// Import of Ogg Vorbis files through vorbisfile: the first logical stream of
// the file, every channel a 16-bit wave track. A long stream is decoded in
// stretches on the helper threads.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <string>

#include "audiofiles/import/ImportFile.h"
#include "audiofiles/import/ImportFormat.h"

class COGGStdioFile;

class OggImportFormat final : public ImportFormat {
public:
  OggImportFormat();
  std::string GetFormatDescription() override;
  // Null when the file cannot be opened or vorbisfile does not take it.
  ImportFile* Open(const std::string& fileName) override;
};

class OggImportFile final : public ImportFile {
public:
  // Takes over both: the vorbisfile state reads (and, cleared, closes) the
  // file object's stream.
  OggImportFile(COGGStdioFile* file, OggVorbis_File* vorbisFile);
  std::string GetFileDescription() override;
  int Import(TrackFactory* trackFactory, Track*** outTracks, int* outNumTracks) override;
  ~OggImportFile() override;

  // The text of a vorbisfile error code, for messages.
  static std::string ErrorText(long code);

private:
  enum class Outcome { Decoded, Damaged, StoreFailed, Cancelled };
  Outcome ImportInOnePass(ImportedTracks& tracks, long* failure);
  Outcome ImportInStretches(ImportedTracks& tracks, std::int64_t total, std::int64_t stretchSamples,
                            long* failure);

  COGGStdioFile* mFile;
  OggVorbis_File* mVorbisFile;
};
