// Import of the uncompressed (and other) sound files libsndfile reads: every
// channel becomes a float wave track.
#pragma once

#include <sndfile.h>

#include <string>

#include "audiofiles/import/ImportFile.h"
#include "audiofiles/import/ImportFormat.h"

class PCMImportFormat final : public ImportFormat {
public:
  // Extensions: every libsndfile major format's, then the usual aliases.
  PCMImportFormat();
  std::string GetFormatDescription() override;
  // Opens the file with libsndfile; null when libsndfile does not know it.
  ImportFile* Open(const std::string& fileName) override;
};

class PCMImportFile final : public ImportFile {
public:
  // Takes over an open libsndfile handle and the information it filled.
  PCMImportFile(const std::string& fileName, SNDFILE* file, const SF_INFO& info);
  std::string GetFileDescription() override;
  int Import(TrackFactory* trackFactory, Track*** outTracks, int* outNumTracks) override;
  ~PCMImportFile() override;

private:
  std::string mName;
  SNDFILE* mFile;
  SF_INFO mInfo;
  // The tracks are float: libsndfile converts every subtype to it exactly
  // enough, and 24- and 32-bit files keep their resolution.
  SampleFormat mFormat = SampleFormatFloat;
};
