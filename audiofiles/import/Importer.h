// Turns a sound file on disk into new wave tracks. Knows three formats, tried
// in this order: the files libsndfile reads, Ogg Vorbis, MPEG audio. The
// formats whose extensions name the file are tried first, then every format.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audiofiles/import/ImportFile.h"

class ImportFormat;
class Track;
class TrackFactory;

class Importer {
public:
  Importer();
  Importer(const Importer&) = delete;
  Importer& operator=(const Importer&) = delete;
  ~Importer();

  // Imports fileName through trackFactory. Returns the number of tracks made
  // (at least 1) with *tracks a new array of them (both owned by the caller;
  // free the array with delete[]), or 0 with *tracks null and errorMessage
  // either set to the reason or, after a cancel, left as it was. Restarts the
  // program-wide stopwatch, which the progress callback may use to decide
  // when to show itself. Never throws.
  int Import(const std::string& fileName, TrackFactory* trackFactory, Track*** tracks,
             std::string& errorMessage, ImportProgressCallback progressCallback, void* userData);

  // The description of the file being imported ("MP3", "Ogg Vorbis", the
  // libsndfile format name); empty when no import runs.
  std::string GetFileDescription() const;

  // The formats in the order they are tried; the importer owns them.
  const std::vector<std::unique_ptr<ImportFormat>>& GetFormats() const { return mFormats; }

private:
  enum class Attempt { NotThisFormat, Imported, Failed };
  Attempt TryFormat(ImportFormat& format, const std::string& fileName, TrackFactory* trackFactory,
                    Track*** tracks, int* count, ImportProgressCallback progressCallback, void* userData,
                    std::string& reason, bool& cancelled);

  std::vector<std::unique_ptr<ImportFormat>> mFormats;
  ImportFile* mFile = nullptr;
};
